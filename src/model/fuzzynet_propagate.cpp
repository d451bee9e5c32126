#include <algorithm>
#include <cmath>
#include <cstdint>

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
  Slot.clear();
  // Rules still to come grow it as they arrive: creation's capacity is
  // only an upper bound.
  Slot.reserve(static_cast<std::size_t>(net.NumberOfRules()) * Inputs);
  SmallSlots = OneSlot <= 255;
  SmallSlot.clear();
  if (SmallSlots) SmallSlot.reserve(static_cast<std::size_t>(net.NumberOfRules()) * Inputs);
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
  TouchedFrom.assign(static_cast<std::size_t>(Inputs) + 1, 0);
  Touched.assign(static_cast<std::size_t>(slots) + Inputs, nullptr);
  Fired.clear();
  Fired.reserve(capacity);
  Num.assign(Classes, 0.0f);
  Err.assign(Classes, 0.0f);
  WeightsValid = false;
  WeightSum.assign(Classes, 0.0f);
  WeightsFinite.assign(Classes, 1);

  Rules = 0;
  for (int r = 1; r <= net.NumberOfRules(); r++) Add(net, r);
}

void TFuzzyPerceptron::TRuleIndex::Add(const TFuzzyPerceptron& net, int r) {
  Rules = r;
  const std::size_t word = static_cast<std::size_t>(r - 1) / 64;
  const std::uint64_t bit = std::uint64_t(1) << ((r - 1) % 64);
  const TRule* rule = r < static_cast<int>(net.Rules.size()) ? net.Rules[r].get() : nullptr;
  bool usable = rule != nullptr && rule->Antecedent.Dimension() == Inputs;
  for (int j = 0; j < Inputs; j++) {
    const int count = SetOffset[j + 1] - SetOffset[j];
    const int entry = usable ? rule->Antecedent.Data[j] : 0;
    if (entry < 1) {
      Slot.push_back(OneSlot);
      DontCare[static_cast<std::size_t>(j) * Words + word] |= bit;
      for (int s = 0; s < count; s++) Masks[static_cast<std::size_t>(SetOffset[j] + s) * Words + word] |= bit;
    } else if (entry <= count) {
      Slot.push_back(SetOffset[j] + entry - 1);
      Masks[static_cast<std::size_t>(SetOffset[j] + entry - 1) * Words + word] |= bit;
    } else {
      // A set the partition does not have: the rule can never be evaluated.
      Slot.push_back(OneSlot);
      usable = false;
    }
  }
  if (usable) Usable[word] |= bit;
  for (int j = 0; j < Inputs; j++) {
    const int entry = Slot[static_cast<std::size_t>(r - 1) * Inputs + j];
    if (SmallSlots) SmallSlot.push_back(static_cast<std::uint8_t>(entry));
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

void TFuzzyPerceptron::TRuleIndex::UpdateWeightSums(const float* weights) {
  for (int k = 0; k < Classes; k++) WeightSum[k] = 0.0f;
  for (int r = 0; r < Rules; r++) {
    const int k = Class[r];
    if (k != 0) WeightSum[k - 1] += weights[r];
  }
  // A finite sum implies finite weights, and then a rule that does not fire
  // contributes w * 0 = +-0 to its class's numerator, which changes nothing.
  for (int k = 0; k < Classes; k++) WeightsFinite[k] = std::isfinite(WeightSum[k]) ? 1 : 0;
  WeightsValid = true;
}

void TFuzzyPerceptron::PropagateValues(const float* pattern, int dimension, float missing, bool keepMinInput) {
  TRuleIndex& ix = CurrentIndex();
  const int n = ix.Inputs;
  const int words = (ix.Rules + 63) / 64;
  float* input = InputActivation.Data;
  float* ruleAct = RuleActivation.Data;
  const float* weight = Weights.data();
  int* minInput = MinInput.Data;

  for (int r : ix.Fired) ruleAct[r - 1] = 0.0f;
  ix.Fired.clear();

  // Memberships of every input, and the rule masks of the sets each touches.
  int touchedCount = 0;
  int ordered = 0;
  std::fill(ix.Memb.begin(), ix.Memb.begin() + ix.OneSlot, 0.0f);
  for (int j = 0; j < n; j++) {
    ix.TouchedFrom[j] = touchedCount;
    float* memb = ix.Memb.data() + ix.SetOffset[j];
    const int count = ix.SetOffset[j + 1] - ix.SetOffset[j];
    const bool present = j < dimension;
    const float x = present ? pattern[j] : 0.0f;
    input[j] = x;
    if (!present || (missing != 0.0f && x == missing)) {
      // A missing value satisfies every set of its input fully: no rule is excluded.
      for (int s = 0; s < count; s++) memb[s] = 1.0f;
      continue;
    }
    // The same scan as TPartition::GetMembershipVector, without its vector.
    const TFuzzySet* sets = Partitions[j + 1].Sets.data();
    int i = 1;
    while (i <= count && x > sets[i].c) i++;
    int passing = 0;
    for (; i <= count && sets[i].a <= x; i++) {
      const float m = sets[i].Membership(x);
      memb[i - 1] = m;
      if (m != 0.0f) {
        const int slot = ix.SetOffset[j] + i - 1;
        ix.Touched[touchedCount++] = ix.Masks.data() + static_cast<std::size_t>(slot) * ix.Words;
        passing += ix.SlotRules[slot];
      }
    }
    if (touchedCount == ix.TouchedFrom[j]) {
      ix.Touched[touchedCount++] = ix.DontCare.data() + static_cast<std::size_t>(j) * ix.Words;
      passing = ix.DontCareRules[j];
    }
    ix.Passing[j] = passing;
    // Insertion by selectivity: intersecting the narrowest input first
    // leaves the fewest words for the others.
    int at = ordered++;
    while (at > 0 && ix.Passing[ix.Order[at - 1]] > passing) {
      ix.Order[at] = ix.Order[at - 1];
      at--;
    }
    ix.Order[at] = j;
  }
  ix.TouchedFrom[n] = touchedCount;

  // The rules every input lets through; Live lists the non-zero words in
  // ascending order, so rules are found in rule order.
  std::uint64_t* cand = ix.Cand.data();
  int* live = ix.Live.data();
  int liveCount = 0;
  for (int w = 0; w < words; w++) {
    cand[w] = ix.Usable[w];
    liveCount += cand[w] != 0;
  }
  // While most words still hold candidates, passes over the whole array
  // (which vectorise) are cheaper than walking the list of live words.
  int o = 0;
  for (; o < ordered && liveCount * 2 >= words && liveCount > 0; o++) {
    const int j = ix.Order[o];
    const std::uint64_t* const* masks = ix.Touched.data() + ix.TouchedFrom[j];
    const int touched = ix.TouchedFrom[j + 1] - ix.TouchedFrom[j];
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
    const int j = ix.Order[o];
    const std::uint64_t* const* masks = ix.Touched.data() + ix.TouchedFrom[j];
    const int touched = ix.TouchedFrom[j + 1] - ix.TouchedFrom[j];
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

  const float* memb = ix.Memb.data();
  if (ix.SmallSlots)
    Activate(memb, ix.SmallSlot.data(), n, cand, live, liveCount, keepMinInput, ruleAct, minInput, ix.Fired);
  else
    Activate(memb, ix.Slot.data(), n, cand, live, liveCount, keepMinInput, ruleAct, minInput, ix.Fired);

  float* out = OutputActivation.Data;
  const int classes = ix.Classes;
  if (AggregationFunc == Maximum) {
    for (int k = 0; k < classes; k++) out[k] = 0.0f;
    for (int r : ix.Fired) {
      const int k = ix.Class[r - 1];
      if (k != 0 && ruleAct[r - 1] > out[k - 1]) out[k - 1] = ruleAct[r - 1];
    }
    return;
  }
  if (!ix.WeightsValid) ix.UpdateWeightSums(weight);
  float* num = ix.Num.data();
  if (classes <= 4 && !keepMinInput) {
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
    for (int k = 0; k < classes; k++) num[k] = 0.0f;
    for (int r : ix.Fired) {
      const int k = ix.Class[r - 1];
      if (k != 0) num[k - 1] += weight[r - 1] * ruleAct[r - 1];
    }
  }
  for (int k = 0; k < classes; k++) {
    if (!ix.WeightsFinite[k]) {
      // inf * 0 is NaN: with such weights every rule of the class counts.
      float sum = 0.0f;
      for (int r = 1; r <= ix.Rules; r++)
        if (ix.Class[r - 1] == k + 1) sum += weight[r - 1] * ruleAct[r - 1];
      num[k] = sum;
    }
    const float den = ix.WeightSum[k];
    out[k] = den != 0.0f ? num[k] / den : 0.0f;
  }
}

Boolean TFuzzyPerceptron::CheckOutput(int target, int& computedClass) const {
  const int classes = NumberOfClasses();
  computedClass = 0;
  if (classes < 1) return False;
  const float* out = OutputActivation.Data;
  int best = 1;
  for (int k = 2; k <= classes; k++)
    if (out[k - 1] > out[best - 1]) best = k;
  computedClass = best;
  const float highest = out[best - 1];
  for (int k = 1; k <= classes; k++)
    if (k != best && out[k - 1] == highest) return False;
  return (best == target && highest > 0.0f) ? True : False;
}

float TFuzzyPerceptron::ComputePatternError(int target) const {
  const int classes = NumberOfClasses();
  const float* out = OutputActivation.Data;
  float error = 0.0f;
  for (int k = 1; k <= classes; k++) {
    const float d = (k == target ? 1.0f : 0.0f) - out[k - 1];
    error += d * d;
  }
  return error;
}
