#include <algorithm>
#include <cmath>
#include <cstdint>

#include "decision.h"
#include "fuzzynet.h"
#include "fuzzynet_index.h"

namespace {

inline int CountTrailingZeros(std::uint64_t bits) { return __builtin_ctzll(bits); }

inline float Lower(float a, float b) { return b < a ? b : a; }

// The smallest of memb[slot[0..n-1]] (n >= 1), in four independent chains,
// each starting from the first value.
template <typename TSlot>
inline float Minimum(const float* memb, const TSlot* slot, int n) {
  float m0 = memb[slot[0]], m1 = m0, m2 = m0, m3 = m0;
  int j = 1;
  for (; j + 3 < n; j += 4) {
    m0 = Lower(m0, memb[slot[j]]);
    m1 = Lower(m1, memb[slot[j + 1]]);
    m2 = Lower(m2, memb[slot[j + 2]]);
    m3 = Lower(m3, memb[slot[j + 3]]);
  }
  for (; j < n; j++) m0 = Lower(m0, memb[slot[j]]);
  return Lower(Lower(m0, m1), Lower(m2, m3));
}

// Activations of the candidate rules (the set bits of the live words of
// `cand`), in rule order; `slots` holds n membership slots per rule.
// Every candidate has all its degrees non-zero, so degrees that compare
// equal are the same float, and the four-chain minimum is the sequential
// scan's bit for bit: each chain starts from the first degree, so a NaN
// there stays the result and a later NaN is passed over, as in the scan.
// Learning needs the first input holding the minimum as well; for that the
// plain scan is faster than finding it afterwards.
template <typename TSlot>
void Activate(const float* memb, const TSlot* slots, int n, const std::uint64_t* cand, const int* live,
              int liveCount, bool keepMinInput, float* ruleAct, int* minInput, std::vector<int>& fired) {
  for (int t = 0; t < liveCount; t++) {
    const int w = live[t];
    for (std::uint64_t bits = cand[w]; bits != 0; bits &= bits - 1)
      fired.push_back(w * 64 + CountTrailingZeros(bits) + 1);
  }
  // The rows of the rules a few places ahead are fetched while a rule is
  // evaluated: with many rules they come from far in memory.
  constexpr std::size_t kAhead = 8;
  const std::size_t count = fired.size();
  for (std::size_t f = 0; f < count; f++) {
    if (f + kAhead < count) __builtin_prefetch(slots + static_cast<std::size_t>(fired[f + kAhead] - 1) * n);
    const int r = fired[f];
    const TSlot* slot = slots + static_cast<std::size_t>(r - 1) * n;
    if (keepMinInput) {
      float act = memb[slot[0]];
      int first = 1;
      for (int j = 1; j < n; j++) {
        const float d = memb[slot[j]];
        if (d < act) {
          act = d;
          first = j + 1;
        }
      }
      ruleAct[r - 1] = act;
      minInput[r - 1] = first;
    } else {
      ruleAct[r - 1] = Minimum(memb, slot, n);
    }
  }
}

}  // namespace

void TFuzzyPerceptron::TRuleIndex::Build(const TFuzzyPerceptron& net, int capacity) {
  Inputs = net.NumberOfInputs();
  Classes = net.NumberOfClasses();
  if (capacity < net.NumberOfRules()) capacity = net.NumberOfRules();
  Words = (capacity + 63) / 64;

  SetOffset.assign(static_cast<std::size_t>(Inputs) + 1, 0);
  int slots = 0;
  for (int j = 0; j < Inputs; j++) {
    SetOffset[j] = slots;
    int count = j + 1 < static_cast<int>(net.Partitions.size()) ? net.Partitions[j + 1].NumberOfSets : 0;
    if (count < 0) count = 0;
    slots += count;
  }
  SetOffset[Inputs] = slots;
  OneSlot = slots;

  const std::size_t words = Words;
  Masks.assign(static_cast<std::size_t>(slots) * words, 0);
  DontCare.assign(static_cast<std::size_t>(Inputs) * words, 0);
  Usable.assign(words, 0);
  // Rules still to come grow these as they arrive: creation's capacity is
  // only an upper bound.
  SmallSlots = OneSlot <= 255;
  Slot.clear();
  SmallSlot.clear();
  if (SmallSlots)
    SmallSlot.reserve(static_cast<std::size_t>(net.NumberOfRules()) * Inputs);
  else
    Slot.reserve(static_cast<std::size_t>(net.NumberOfRules()) * Inputs);
  Entries.assign(Inputs, 0);
  Class.clear();
  Class.reserve(capacity);
  NegativeZero = OutsideUnit = false;

  SlotRules.assign(static_cast<std::size_t>(slots) + 1, 0);
  DontCareRules.assign(Inputs, 0);
  Memb.assign(static_cast<std::size_t>(slots) + 1, 0.0f);
  Memb[OneSlot] = 1.0f;
  Cand.assign(words, 0);
  Live.assign(words, 0);
  Order.assign(Inputs, 0);
  Passing.assign(Inputs, 0);
  DropPasses();
  TouchedFrom.assign(static_cast<std::size_t>(Inputs) + 1, 0);
  Touched.assign(static_cast<std::size_t>(slots) + Inputs, nullptr);
  Fired.clear();
  Fired.reserve(capacity);
  Num.assign(Classes, 0.0f);
  Err.assign(Classes, 0.0f);
  Out.assign(Classes, 0.0f);
  Lo.assign(Classes, 0.0);
  Hi.assign(Classes, 0.0);
  WeightsValid = false;
  WeightSum.assign(Classes, 0.0f);
  WeightsFinite.assign(Classes, 1);
  ClassRules.assign(Classes, 0);
  Active.clear();
  Emptied.clear();

  Rules = 0;
  // Listed once at the end: one insertion per class would take time
  // quadratic in the classes.
  Listed = false;
  for (int r = 1; r <= net.NumberOfRules(); r++) Add(net, r);
  // The network's outputs of the others may still hold what an earlier
  // rule base gave them.
  for (int k = 1; k <= Classes; k++) (ClassRules[k - 1] > 0 ? Active : Emptied).push_back(k);
  Listed = true;
  SparseClasses = static_cast<int>(Active.size()) < Classes;
}

void TFuzzyPerceptron::TRuleIndex::Reserve(int capacity) {
  const int words = (capacity + 63) / 64;
  if (words <= Words) return;
  auto widen = [&](std::vector<std::uint64_t>& rows, std::size_t count) {
    std::vector<std::uint64_t> wide(count * words, 0);
    for (std::size_t row = 0; row < count; row++)
      std::copy_n(rows.begin() + static_cast<std::ptrdiff_t>(row * Words), Words,
                  wide.begin() + static_cast<std::ptrdiff_t>(row * words));
    rows.swap(wide);
  };
  widen(Masks, static_cast<std::size_t>(OneSlot));
  widen(DontCare, static_cast<std::size_t>(Inputs));
  widen(Usable, 1);
  Cand.assign(words, 0);
  Live.assign(words, 0);
  Words = words;
}

void TFuzzyPerceptron::TRuleIndex::Add(const TFuzzyPerceptron& net, int r) {
  Rules = r;
  const std::size_t word = static_cast<std::size_t>(r - 1) / 64;
  const std::uint64_t bit = std::uint64_t(1) << ((r - 1) % 64);
  const TRule* rule = r < static_cast<int>(net.Rules.size()) ? net.Rules[r].get() : nullptr;
  bool usable = rule != nullptr && rule->Antecedent.Dimension() == Inputs;
  int* entries = Entries.data();
  for (int j = 0; j < Inputs; j++) {
    const int count = SetOffset[j + 1] - SetOffset[j];
    const int entry = usable ? rule->Antecedent.Data[j] : 0;
    if (entry < 1) {
      entries[j] = OneSlot;
      DontCare[static_cast<std::size_t>(j) * Words + word] |= bit;
      for (int s = 0; s < count; s++) Masks[static_cast<std::size_t>(SetOffset[j] + s) * Words + word] |= bit;
    } else if (entry <= count) {
      entries[j] = SetOffset[j] + entry - 1;
      Masks[static_cast<std::size_t>(SetOffset[j] + entry - 1) * Words + word] |= bit;
    } else {
      // A set the partition does not have: the rule can never be evaluated.
      entries[j] = OneSlot;
      usable = false;
    }
  }
  if (usable) Usable[word] |= bit;
  for (int j = 0; j < Inputs; j++) {
    const int entry = entries[j];
    if (SmallSlots)
      SmallSlot.push_back(static_cast<std::uint8_t>(entry));
    else
      Slot.push_back(entry);
    if (entry == OneSlot) {
      DontCareRules[j]++;
      for (int s = SetOffset[j]; s < SetOffset[j + 1]; s++) SlotRules[s]++;
    } else {
      SlotRules[entry]++;
    }
  }
  Class.push_back(0);
  SetClass(r, rule != nullptr ? rule->Class : 0);
  const float w = r <= static_cast<int>(net.Weights.size()) ? net.Weights[r - 1] : 0.0f;
  NoteWeight(w);
  // The new rule comes last in its class, so its weight extends the sum in rule order.
  const int k = Class[r - 1];
  if (WeightsValid && k != 0) {
    WeightSum[k - 1] += w;
    WeightsFinite[k - 1] = std::isfinite(WeightSum[k - 1]) ? 1 : 0;
  }
}

void TFuzzyPerceptron::TRuleIndex::SetClass(int r, int cls) {
  const int old = Class[r - 1];
  const int now = (cls >= 1 && cls <= Classes) ? cls : 0;
  Class[r - 1] = now;
  if (old != 0 && old != now && --ClassRules[old - 1] == 0) {
    if (Listed) Active.erase(std::lower_bound(Active.begin(), Active.end(), old));
    Emptied.push_back(old);
    WeightSum[old - 1] = 0.0f;
    WeightsFinite[old - 1] = 1;
  }
  if (now != 0 && old != now && ClassRules[now - 1]++ == 0 && Listed)
    Active.insert(std::lower_bound(Active.begin(), Active.end(), now), now);
  SparseClasses = static_cast<int>(Active.size()) < Classes;
  if (Blocks && Blocks->Position[r - 1] >= 0) Blocks->Class[Blocks->Position[r - 1]] = Class[r - 1];
  Prepared.reset();
}

void TFuzzyPerceptron::TRuleIndex::DropPasses() {
  Blocks.reset();
  Prepared.reset();
}

void TFuzzyPerceptron::TRuleIndex::UpdateWeightSums(const float* weights) {
  ForClasses([this](int k) { WeightSum[k] = 0.0f; });
  for (int r = 0; r < Rules; r++) {
    const int k = Class[r];
    if (k != 0) WeightSum[k - 1] += weights[r];
  }
  // A finite sum implies finite weights, and then a rule that does not fire
  // contributes w * 0 = +-0 to its class's numerator, which changes nothing.
  ForClasses([this](int k) { WeightsFinite[k] = std::isfinite(WeightSum[k]) ? 1 : 0; });
  WeightsValid = true;
}

void TFuzzyPerceptron::TRuleIndex::ClearEmptiedClasses(TFuzzyPerceptron& net) {
  for (int k : Emptied) net.OutputActivation.Data[k - 1] = Num[k - 1] = Out[k - 1] = 0.0f;
  Emptied.clear();
}

void TFuzzyPerceptron::TRuleIndex::Touch(TFuzzyPerceptron& net, const float* pattern, int dimension, float missing) {
  const int n = Inputs;
  float* input = net.InputActivation.Data;

  // Memberships of every input, and the rule masks of the sets each touches.
  int touchedCount = 0;
  int ordered = 0;
  std::fill(Memb.begin(), Memb.begin() + OneSlot, 0.0f);
  for (int j = 0; j < n; j++) {
    TouchedFrom[j] = touchedCount;
    float* memb = Memb.data() + SetOffset[j];
    const int count = SetOffset[j + 1] - SetOffset[j];
    const bool present = j < dimension;
    const float x = present ? pattern[j] : 0.0f;
    input[j] = x;
    if (!present || (missing != 0.0f && x == missing)) {
      // A missing value satisfies every set of its input fully: no rule is excluded.
      for (int s = 0; s < count; s++) memb[s] = 1.0f;
      continue;
    }
    // The same scan as TPartition::GetMembershipVector, without its vector.
    const TFuzzySet* sets = net.Partitions[j + 1].Sets.data();
    int i = 1;
    while (i <= count && x > sets[i].c) i++;
    int passing = 0;
    for (; i <= count && sets[i].a <= x; i++) {
      const float m = sets[i].Membership(x);
      memb[i - 1] = m;
      if (m != 0.0f) {
        const int slot = SetOffset[j] + i - 1;
        Touched[touchedCount++] = Masks.data() + static_cast<std::size_t>(slot) * Words;
        passing += SlotRules[slot];
      }
    }
    if (touchedCount == TouchedFrom[j]) {
      Touched[touchedCount++] = DontCare.data() + static_cast<std::size_t>(j) * Words;
      passing = DontCareRules[j];
    }
    Passing[j] = passing;
    // Insertion by selectivity: intersecting the narrowest input first
    // leaves the fewest words for the others.
    int at = ordered++;
    while (at > 0 && Passing[Order[at - 1]] > passing) {
      Order[at] = Order[at - 1];
      at--;
    }
    Order[at] = j;
  }
  TouchedFrom[n] = touchedCount;
  Ordered = ordered;
}

int TFuzzyPerceptron::TRuleIndex::Intersect() {
  const int words = (Rules + 63) / 64;
  const int ordered = Ordered;
  // The rules every input lets through; Live lists the non-zero words in
  // ascending order, so rules are found in rule order.
  std::uint64_t* cand = Cand.data();
  int* live = Live.data();
  int liveCount = 0;
  for (int w = 0; w < words; w++) {
    cand[w] = Usable[w];
    liveCount += cand[w] != 0;
  }
  // While most words still hold candidates, passes over the whole array
  // (which vectorise) are cheaper than walking the list of live words.
  int o = 0;
  for (; o < ordered && liveCount * 2 >= words && liveCount > 0; o++) {
    const int j = Order[o];
    const std::uint64_t* const* masks = Touched.data() + TouchedFrom[j];
    const int touched = TouchedFrom[j + 1] - TouchedFrom[j];
    if (touched == 1) {
      const std::uint64_t* m0 = masks[0];
      for (int w = 0; w < words; w++) cand[w] &= m0[w];
    } else if (touched == 2) {
      const std::uint64_t* m0 = masks[0];
      const std::uint64_t* m1 = masks[1];
      for (int w = 0; w < words; w++) cand[w] &= m0[w] | m1[w];
    } else {
      for (int w = 0; w < words; w++) {
        std::uint64_t any = 0;
        for (int m = 0; m < touched; m++) any |= masks[m][w];
        cand[w] &= any;
      }
    }
    liveCount = 0;
    for (int w = 0; w < words; w++) liveCount += cand[w] != 0;
  }
  liveCount = 0;
  for (int w = 0; w < words; w++) {
    live[liveCount] = w;
    liveCount += cand[w] != 0;
  }
  for (; o < ordered && liveCount > 0; o++) {
    const int j = Order[o];
    const std::uint64_t* const* masks = Touched.data() + TouchedFrom[j];
    const int touched = TouchedFrom[j + 1] - TouchedFrom[j];
    int kept = 0;
    if (touched == 1) {
      const std::uint64_t* m0 = masks[0];
      for (int t = 0; t < liveCount; t++) {
        const int w = live[t];
        const std::uint64_t v = cand[w] & m0[w];
        cand[w] = v;
        live[kept] = w;
        kept += v != 0;
      }
    } else if (touched == 2) {
      const std::uint64_t* m0 = masks[0];
      const std::uint64_t* m1 = masks[1];
      for (int t = 0; t < liveCount; t++) {
        const int w = live[t];
        const std::uint64_t v = cand[w] & (m0[w] | m1[w]);
        cand[w] = v;
        live[kept] = w;
        kept += v != 0;
      }
    } else {
      for (int t = 0; t < liveCount; t++) {
        const int w = live[t];
        std::uint64_t any = 0;
        for (int m = 0; m < touched; m++) any |= masks[m][w];
        const std::uint64_t v = cand[w] & any;
        cand[w] = v;
        live[kept] = w;
        kept += v != 0;
      }
    }
    liveCount = kept;
  }
  return liveCount;
}

double TFuzzyPerceptron::TRuleIndex::TouchedProduct() const {
  double product = 1.0;
  // Touch leaves a non-zero membership exactly in the sets a value touches
  // (every set of a missing value's input holds 1).
  for (int j = 0; j < Inputs; j++) {
    int touched = 0;
    for (int s = SetOffset[j]; s < SetOffset[j + 1]; s++) touched += Memb[s] != 0.0f;
    product *= touched;
  }
  return product;
}

int TFuzzyPerceptron::TRuleIndex::CountFiring(int liveCount, int cls) const {
  int count = 0;
  for (int t = 0; t < liveCount; t++) {
    const int w = Live[t];
    for (std::uint64_t bits = Cand[w]; bits != 0; bits &= bits - 1)
      count += Class[w * 64 + CountTrailingZeros(bits)] == cls;
  }
  return count;
}

void TFuzzyPerceptron::PropagateValues(const float* pattern, int dimension, float missing, bool keepMinInput) {
  TRuleIndex& ix = CurrentIndex();
  ix.Touch(*this, pattern, dimension, missing);
  ix.Propagate(*this, ix.Intersect(), keepMinInput);
}

void TFuzzyPerceptron::TRuleIndex::Propagate(TFuzzyPerceptron& net, int liveCount, bool keepMinInput) {
  TRuleIndex& ix = *this;
  const int n = ix.Inputs;
  float* ruleAct = net.RuleActivation.Data;
  int* minInput = net.MinInput.Data;

  for (int r : ix.Fired) ruleAct[r - 1] = 0.0f;
  ix.Fired.clear();
  ix.ClearEmptied(net);
  const std::uint64_t* cand = ix.Cand.data();
  const int* live = ix.Live.data();

  const float* memb = ix.Memb.data();
  if (ix.SmallSlots)
    Activate(memb, ix.SmallSlot.data(), n, cand, live, liveCount, keepMinInput, ruleAct, minInput, ix.Fired);
  else
    Activate(memb, ix.Slot.data(), n, cand, live, liveCount, keepMinInput, ruleAct, minInput, ix.Fired);

  Aggregations[net.AggregationFunc].Outputs(net, keepMinInput);
}

void TModeFunctions::MaximumOutputs(TFuzzyPerceptron& net, bool) {
  const TFuzzyPerceptron::TRuleIndex& ix = *net.Index;
  const float* ruleAct = net.RuleActivation.Data;
  float* out = net.OutputActivation.Data;
  ix.ForClasses([out](int k) { out[k] = 0.0f; });
  for (int r : ix.Fired) {
    const int k = ix.Class[r - 1];
    if (k != 0 && ruleAct[r - 1] > out[k - 1]) out[k - 1] = ruleAct[r - 1];
  }
}

void TModeFunctions::WeightedSumOutputs(TFuzzyPerceptron& net, bool learning) {
  TFuzzyPerceptron::TRuleIndex& ix = *net.Index;
  const float* ruleAct = net.RuleActivation.Data;
  const float* weight = net.Weights.data();
  float* out = net.OutputActivation.Data;
  const int classes = ix.Classes;
  if (!ix.WeightsValid) ix.UpdateWeightSums(weight);
  float* num = ix.Num.data();
  if (classes <= 4 && !learning) {
    // The sums in registers, each taking a term for every rule: +0 for the
    // rules of other classes. A sum that starts at +0 is never -0, and such
    // a sum plus +0 is itself, so these are the rule-order sums bit for bit.
    // Measured faster than the sums in memory in the passes that do not
    // learn, and slower in learning, so learning keeps the sums in memory.
    float n0 = 0.0f, n1 = 0.0f, n2 = 0.0f, n3 = 0.0f;
    for (int r : ix.Fired) {
      const int k = ix.Class[r - 1];
      const float term = weight[r - 1] * ruleAct[r - 1];
      n0 += k == 1 ? term : 0.0f;
      n1 += k == 2 ? term : 0.0f;
      n2 += k == 3 ? term : 0.0f;
      n3 += k == 4 ? term : 0.0f;
    }
    const float sums[4] = {n0, n1, n2, n3};
    for (int k = 0; k < classes; k++) num[k] = sums[k];
  } else {
    ix.ForClasses([num](int k) { num[k] = 0.0f; });
    for (int r : ix.Fired) {
      const int k = ix.Class[r - 1];
      if (k != 0) num[k - 1] += weight[r - 1] * ruleAct[r - 1];
    }
  }
  ix.ForClasses([&](int k) {
    if (!ix.WeightsFinite[k]) {
      // inf * 0 is NaN: with such weights every rule of the class counts.
      float sum = 0.0f;
      for (int r = 1; r <= ix.Rules; r++)
        if (ix.Class[r - 1] == k + 1) sum += weight[r - 1] * ruleAct[r - 1];
      num[k] = sum;
    }
    const float den = ix.WeightSum[k];
    out[k] = den != 0.0f ? num[k] / den : 0.0f;
  });
}

Boolean TFuzzyPerceptron::CheckOutput(int target, int& computedClass) const {
  const float* out = OutputActivation.Data;
  TDecision decision;
  if (Index && Index->Sparse()) {
    // The classes without rules hold +0: of a run of them only the first
    // can become the best, and none ties with an output above 0.
    decision = DecideOver(
        out,
        [&](auto visit) {
          int next = 1;  // the first class not visited yet
          for (int k : Index->Active) {
            if (next < k) visit(next);
            visit(k);
            next = k + 1;
          }
          if (next <= NumberOfClasses()) visit(next);
        },
        computedClass);
  } else {
    decision = Decide(out, NumberOfClasses(), computedClass);
  }
  return decision == TDecision::Decided && computedClass == target ? True : False;
}

float TFuzzyPerceptron::ComputePatternError(int target) const {
  const int classes = NumberOfClasses();
  const float* out = OutputActivation.Data;
  if (!(Index && Index->Sparse())) return PatternError(out, classes, target);
  // A class without rules adds +0, which changes no sum of squares, but
  // for the target, which adds 1 in its place.
  return PatternErrorOver(out, target, [&](auto visit) {
    bool added = !(target >= 1 && target <= classes && Index->ClassRules[target - 1] == 0);
    for (int k : Index->Active) {
      if (!added && target < k) visit(target);
      added = added || target < k;
      visit(k);
    }
    if (!added) visit(target);
  });
}

void TFuzzyPerceptron::TRuleIndex::TBlocks::Build(const TFuzzyPerceptron& net, const TRuleIndex& ix) {
  Inputs = ix.Inputs;
  Slots = ix.OneSlot;
  SetOffset = ix.SetOffset;
  const int n = Inputs;
  auto slot = [&ix, n](int r, int j) {
    const std::size_t at = static_cast<std::size_t>(r) * n + j;
    return ix.SmallSlots ? static_cast<int>(ix.SmallSlot[at]) : ix.Slot[at];
  };
  std::vector<int> order;
  order.reserve(ix.Rules);
  for (int r = 0; r < ix.Rules; r++)
    if ((ix.Usable[r / 64] >> (r % 64)) & 1) order.push_back(r);
  // By class first: a pattern's firing rules are mostly of one class, and
  // so are the connection check's sums it adds to.
  const int* cls = ix.Class.data();
  std::stable_sort(order.begin(), order.end(), [&slot, n, cls](int a, int b) {
    if (cls[a] != cls[b]) return cls[a] < cls[b];
    for (int j = 0; j < n; j++)
      if (slot(a, j) != slot(b, j)) return slot(a, j) < slot(b, j);
    return false;
  });
  Count = static_cast<int>(order.size());
  Blocks = (Count + 63) / 64;
  SumWords = (Blocks + 63) / 64;
  // Rows for the don't-care entries only when some rule has one.
  bool dontCare = false;
  for (int pos = 0; pos < Count && !dontCare; pos++)
    for (int j = 0; j < n; j++) dontCare = dontCare || slot(order[pos], j) == ix.OneSlot;
  Stride = Slots + (dontCare ? Inputs : 0);
  Position.assign(ix.Rules, -1);
  Class.assign(Count, 0);
  RuleAt.assign(Count, 0);
  Bits.assign(static_cast<std::size_t>(Blocks) * Stride, 0);
  RowRules.assign(static_cast<std::size_t>(Slots) + Inputs, 0);
  for (int pos = 0; pos < Count; pos++) {
    const int r = order[pos];
    Position[r] = pos;
    Class[pos] = ix.Class[r];
    RuleAt[pos] = r;
    std::uint64_t* block = Bits.data() + static_cast<std::size_t>(pos / 64) * Stride;
    const std::uint64_t bit = std::uint64_t(1) << (pos % 64);
    for (int j = 0; j < n; j++) {
      const int s = slot(r, j);
      const int row = s == ix.OneSlot ? Slots + j : s;
      block[row] |= bit;
      RowRules[row]++;
    }
  }
  Summary.assign(static_cast<std::size_t>(Stride) * SumWords, 0);
  Tail.assign(static_cast<std::size_t>(SumWords) + 1, 0);
  for (int b = 0; b < Blocks; b++) {
    const std::uint64_t bit = std::uint64_t(1) << (b % 64);
    Tail[b / 64] |= bit;
    for (int row = 0; row < Stride; row++)
      if (Bits[static_cast<std::size_t>(b) * Stride + row] != 0)
        Summary[static_cast<std::size_t>(row) * SumWords + b / 64] |= bit;
  }
  // The positions of the last block, for a pattern that filters nothing.
  Tail[SumWords] = Count % 64 == 0 ? ~std::uint64_t(0) : (std::uint64_t(1) << (Count % 64)) - 1;

  Degrees.assign(Slots, TDegree{0.0f, 0});
  Filter.assign(static_cast<std::size_t>(Slots) + Inputs, 0);
  RowCount.assign(Inputs, 0);
  Order.assign(Inputs, 0);
  Pair.assign(2 * static_cast<std::size_t>(Inputs), 0);
  Cand.assign(SumWords, 0);
  BlockList.assign(Blocks, 0);
  SumList.assign(SumWords, 0);
  FiredPos.assign(Count, 0);
  FiredAct.assign(Count, 0.0f);
  FiredCls.assign(Count, 0);
  UnitWeights = std::all_of(RuleAt.begin(), RuleAt.end(), [&net](int r) { return net.Weights[r] == 1.0f; });
}

bool TFuzzyPerceptron::TRuleIndex::TBlocks::Prepare(const TFuzzyPerceptron& net, const float* pattern, int dimension,
                                                    float missing, const std::uint64_t* onlySummary) {
  DegreeCount = 0;
  Filters = 0;
  Nothing = false;
  Limited = onlySummary != nullptr;
  // A limited search narrows the candidate blocks input by input, and stops
  // as soon as none is left: for a few rules, most patterns end there.
  const std::size_t words = SumWords;
  std::uint64_t* cand = Cand.data();
  int* word = SumList.data();
  int wordCount = 0;
  if (Limited)
    for (std::size_t q = 0; q < words; q++) {
      cand[q] = Tail[q] & onlySummary[q];
      word[wordCount] = static_cast<int>(q);
      wordCount += cand[q] != 0;
    }
  for (int j = 0; j < Inputs; j++) {
    const bool present = j < dimension;
    const float x = present ? pattern[j] : 0.0f;
    // A missing value satisfies every set of its input fully: degree 1 for
    // every rule, no rule excluded.
    if (!present || (missing != 0.0f && x == missing)) continue;
    const int count = SetOffset[j + 1] - SetOffset[j];
    const TFuzzySet* sets = net.Partitions[j + 1].Sets.data();
    int* rows = Filter.data() + SetOffset[j] + j;
    int used = 0;
    // The same scan as TPartition::GetMembershipVector.
    int i = 1;
    while (i <= count && x > sets[i].c) i++;
    for (; i <= count && sets[i].a <= x; i++) {
      const float m = sets[i].Membership(x);
      if (m == 0.0f) continue;
      if (!(m <= 1.0f)) return false;
      const int slot = SetOffset[j] + i - 1;
      rows[used++] = slot;
      if (m < 1.0f) Degrees[DegreeCount++] = TDegree{m, slot};
    }
    if (RowRules[Slots + j] != 0) rows[used++] = Slots + j;
    if (used == 0) Nothing = true;  // no rule passes this input
    if (Limited) {
      int kept = 0;
      for (int t = 0; t < wordCount; t++) {
        const int q = word[t];
        std::uint64_t any = 0;
        for (int u = 0; u < used; u++) any |= Summary[static_cast<std::size_t>(rows[u]) * words + q];
        cand[q] &= any;
        word[kept] = q;
        kept += cand[q] != 0;
      }
      wordCount = kept;
      if (wordCount == 0) Nothing = true;
    }
    if (Nothing) return true;
    RowCount[j] = used;
    Order[Filters++] = j;
  }
  Sorted = false;
  // Most inputs let one or two rows through: those filters as pairs of
  // rows (a single row twice), for the block loop.
  Narrow = true;
  for (int f = 0; f < Filters; f++) {
    const int j = Order[f];
    const int* rows = Filter.data() + SetOffset[j] + j;
    Narrow = Narrow && RowCount[j] <= 2;
    Pair[2 * f] = rows[0];
    Pair[2 * f + 1] = RowCount[j] >= 2 ? rows[1] : rows[0];
  }
  LimitedWords = wordCount;
  return true;
}

int TFuzzyPerceptron::TRuleIndex::TBlocks::Fire(const std::uint64_t* only, const std::uint64_t* onlySummary) {
  if (Nothing || Count == 0) return 0;
  // Locals throughout: the stores to the lists below could otherwise alias
  // any member and force reloads.
  const int filters = Filters;
  const bool narrow = Narrow;
  const int* pair = Pair.data();
  const std::size_t words = SumWords;
  const std::uint64_t* summary = Summary.data();

  // The blocks that hold, for every filtering input, some rule it lets
  // through; a limited search walks only the summary words it has.
  std::uint64_t* cand = Cand.data();
  int* word = SumList.data();
  int wordCount = 0;
  if (Limited) {
    wordCount = LimitedWords;  // narrowed by Prepare already
  } else {
    for (std::size_t q = 0; q < words; q++) {
      cand[q] = onlySummary != nullptr ? Tail[q] & onlySummary[q] : Tail[q];
      word[wordCount] = static_cast<int>(q);
      wordCount += cand[q] != 0;
    }
  }
  for (int f = 0; f < filters && wordCount > 0 && !Limited; f++) {
    const int j = Order[f];
    const int* rows = Filter.data() + SetOffset[j] + j;
    const int used = RowCount[j];
    const std::uint64_t* s0 = summary + static_cast<std::size_t>(pair[2 * f]) * words;
    const std::uint64_t* s1 = summary + static_cast<std::size_t>(pair[2 * f + 1]) * words;
    int kept = 0;
    for (int t = 0; t < wordCount; t++) {
      const int q = word[t];
      std::uint64_t any = s0[q] | s1[q];
      for (int u = 2; u < used; u++) any |= summary[static_cast<std::size_t>(rows[u]) * words + q];
      cand[q] &= any;
      word[kept] = q;
      kept += cand[q] != 0;
    }
    wordCount = kept;
  }
  int listed = 0;
  int* list = BlockList.data();
  for (int t = 0; t < wordCount; t++)
    for (std::uint64_t bits = cand[word[t]]; bits != 0; bits &= bits - 1)
      list[listed++] = word[t] * 64 + CountTrailingZeros(bits);

  if (listed == 0) return 0;
  if (!Sorted) {
    // The degrees from the lowest up (insertion: there are few).
    TDegree* d = Degrees.data();
    for (int i = 1; i < DegreeCount; i++) {
      const TDegree v = d[i];
      int at = i;
      for (; at > 0 && d[at - 1].Value > v.Value; at--) d[at] = d[at - 1];
      d[at] = v;
    }
    Sorted = true;
  }
  const std::size_t stride = Stride;
  const std::uint64_t* all = Bits.data();
  const TDegree* degrees = Degrees.data();
  const int degreeCount = DegreeCount;
  const int lastBlock = Blocks - 1;
  const std::uint64_t lastMask = Tail[words];
  const int* cls = Class.data();
  int* firedPos = FiredPos.data();
  float* firedAct = FiredAct.data();
  int* firedCls = FiredCls.data();
  int fired = 0;
  for (int t = 0; t < listed; t++) {
    // The blocks lie far apart in memory: the next one is fetched while
    // this one is worked on.
    const char* next = reinterpret_cast<const char*>(all + (t + 1 < listed ? list[t + 1] : list[t]) * stride);
    for (std::size_t at = 0; at < stride * sizeof(std::uint64_t); at += 64) __builtin_prefetch(next + at);

    const int b = list[t];
    const std::uint64_t* block = all + static_cast<std::size_t>(b) * stride;
    std::uint64_t c = only != nullptr ? only[b] : b == lastBlock ? lastMask : ~std::uint64_t(0);
    if (narrow) {
      // Without early exits: the blocks listed mostly hold rules that fire.
      for (int f = 0; f < filters; f++) c &= block[pair[2 * f]] | block[pair[2 * f + 1]];
    } else {
      for (int f = 0; f < filters && c != 0; f++) {
        const int j = Order[f];
        const int* rows = Filter.data() + SetOffset[j] + j;
        std::uint64_t any = 0;
        for (int u = 0; u < RowCount[j]; u++) any |= block[rows[u]];
        c &= any;
      }
    }
    // Each rule's activation is its lowest degree: taking the degrees from
    // the lowest up, the first set of the rule's that turns up gives it.
    // Degrees of 1 (a value on a peak or shoulder, a missing value, a
    // don't-care entry) leave what remains at 1. Without NaN the minimum is
    // the same whatever order the degrees are taken in, and degrees that
    // compare equal are the same float (none is zero).
    const int base = b * 64;
    for (int d = 0; d < degreeCount && c != 0; d++) {
      std::uint64_t got = c & block[degrees[d].Slot];
      c &= ~got;
      const float value = degrees[d].Value;
      for (; got != 0; got &= got - 1) {
        const int pos = base + CountTrailingZeros(got);
        firedPos[fired] = pos;
        firedCls[fired] = cls[pos];
        firedAct[fired++] = value;
      }
    }
    for (; c != 0; c &= c - 1) {
      const int pos = base + CountTrailingZeros(c);
      firedPos[fired] = pos;
      firedCls[fired] = cls[pos];
      firedAct[fired++] = 1.0f;
    }
  }
  return fired;
}
