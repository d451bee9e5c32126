// Pruning of a rule base on a pattern set.
//
// The pruner keeps its own copy of the rule base and, per pattern, the
// rules that fire for it with their activations. A candidate change is
// judged by recomputing only the patterns it can affect: those where a
// changed rule fires before or after the change and, when a rule goes under
// a weighted sum, those where its class has any rule firing (the class's
// weight sum changes). Outputs are recomputed with the float operations of
// propagation, in rule order, so every count is exact.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "decision.h"
#include "fuzzynet_internal.h"
#include "korvalin.h"
#include "stop.h"

namespace {

struct TPruneRule {
  std::vector<int> Ant;  // per input (0-based); below 1: don't care
  int Class = 0;         // outside 1..classes it feeds no output
  float Weight = 0.0f;
  bool Alive = true;
};

// The pattern set seen through the network's partitions; fixed while pruning.
struct TData {
  int Inputs = 0, Classes = 0, Patterns = 0, Slots = 0, Words = 0;
  bool Maximum = false;
  std::vector<int> Offset;             // per input: its first slot; Inputs + 1 entries
  std::vector<float> Memb;             // Slots memberships per pattern, pattern after pattern
  std::vector<std::uint64_t> NonZero;  // Words words per slot: the patterns with a non-zero membership
  std::vector<std::uint64_t> All;      // Words words: every pattern
  std::vector<int> Target;             // per pattern: its class
  std::vector<int> ClassPatterns;      // per class (0-based): its patterns
};

// ---- Everything pruning reads from or writes to the network. ----

TData ReadData(const TFuzzyPerceptron& net, const TLearningTask& task) {
  TData d;
  d.Inputs = net.NumberOfInputs();
  d.Classes = net.NumberOfClasses();
  d.Patterns = task.NumberOfPatterns;
  d.Maximum = TNetAccess::Aggregation(net) == Maximum;
  d.Offset.assign(static_cast<std::size_t>(d.Inputs) + 1, 0);
  for (int j = 0; j < d.Inputs; j++) {
    const int sets = TNetAccess::Partition(net, j + 1).NumberOfSets;
    d.Offset[j + 1] = d.Offset[j] + (sets > 0 ? sets : 0);
  }
  d.Slots = d.Offset[d.Inputs];
  d.Words = (d.Patterns + 63) / 64;
  const std::size_t words = d.Words;
  d.Memb.assign(static_cast<std::size_t>(d.Patterns) * d.Slots, 0.0f);
  d.NonZero.assign(static_cast<std::size_t>(d.Slots) * words, 0);
  d.All.assign(words, 0);
  d.Target.assign(d.Patterns, 0);
  d.ClassPatterns.assign(d.Classes, 0);
  const float missing = task.MissingValue;
  for (int p = 0; p < d.Patterns; p++) {
    StopPoint();
    const TPattern pattern = task.Patterns[p + 1];
    d.All[p / 64] |= std::uint64_t(1) << (p % 64);
    d.Target[p] = pattern.Class;
    if (pattern.Class >= 1 && pattern.Class <= d.Classes) d.ClassPatterns[pattern.Class - 1]++;
    float* memb = d.Memb.data() + static_cast<std::size_t>(p) * d.Slots;
    for (int j = 0; j < d.Inputs; j++) {
      const int sets = d.Offset[j + 1] - d.Offset[j];
      const bool present = j < pattern.Input.Dimension();
      const float x = present ? pattern.Input[j + 1] : 0.0f;
      if (!present || (missing != 0.0f && x == missing)) {
        for (int s = 0; s < sets; s++) memb[d.Offset[j] + s] = 1.0f;
      } else if (sets > 0) {
        const TVector<float> m = TNetAccess::Partition(net, j + 1).GetMembershipVector(x);
        for (int s = 0; s < sets; s++) memb[d.Offset[j] + s] = m.Data[s];
      }
    }
    for (int slot = 0; slot < d.Slots; slot++)
      if (memb[slot] != 0.0f) d.NonZero[static_cast<std::size_t>(slot) * words + p / 64] |= std::uint64_t(1) << (p % 64);
  }
  return d;
}

std::vector<TPruneRule> ReadRules(const TFuzzyPerceptron& net) {
  std::vector<TPruneRule> rules(net.NumberOfRules());
  const int inputs = net.NumberOfInputs();
  for (int r = 1; r <= net.NumberOfRules(); r++) {
    const TRule& rule = TNetAccess::Rule(net, r);
    TPruneRule& to = rules[r - 1];
    to.Ant.assign(inputs, 0);
    for (int j = 0; j < inputs && j < rule.Antecedent.Dimension(); j++) to.Ant[j] = rule.Antecedent.Data[j];
    to.Class = rule.Class;
    to.Weight = TNetAccess::Weight(net, r);
  }
  return rules;
}

void WriteRules(TFuzzyPerceptron& net, const std::vector<TPruneRule>& rules) {
  std::vector<TRule> kept;
  std::vector<float> weights;
  for (const TPruneRule& rule : rules) {
    if (!rule.Alive) continue;
    TRule r;
    r.Antecedent = TVector<int>(static_cast<int>(rule.Ant.size()), 0);
    for (std::size_t j = 0; j < rule.Ant.size(); j++) r.Antecedent.Data[j] = rule.Ant[j];
    r.Class = rule.Class;
    kept.push_back(std::move(r));
    weights.push_back(rule.Weight);
  }
  TNetAccess::ReplaceRules(net, std::move(kept), std::move(weights));
}

// ---- The pruner's model of the network. ----

struct TFire {
  int Pattern;
  float Act;
};
struct TTerm {
  int Rule;
  int Class;  // the rule's, kept here for the sums that walk a pattern's terms
  float Act;
};

// A change of some rules: each gets a new antecedent or goes.
struct TChange {
  struct TItem {
    int Rule;
    bool Remove;
    std::vector<int> Ant;
    std::vector<TFire> Fire;  // where the new antecedent fires
  };
  std::vector<TItem> Items;  // in rule order
  bool Removal = false;      // a rule removed for its own sake, not merged
};

// What a change would give. The error is the change of the total error,
// summed in double precision: it only ranks candidates.
struct TVerdict {
  bool Valid = true;  // false when a class's weight sum would not be finite
  int Misclassified = 0;
  double Error = 0.0;
};

bool Better(const TVerdict& a, const TVerdict& b) {
  if (a.Valid != b.Valid) return a.Valid;
  if (a.Misclassified != b.Misclassified) return a.Misclassified < b.Misclassified;
  return a.Error < b.Error;
}

std::string KeyOf(int cls, const std::vector<int>& ant) {
  std::string key(reinterpret_cast<const char*>(&cls), sizeof cls);
  for (int s : ant) {
    const int e = s < 1 ? 0 : s;
    key.append(reinterpret_cast<const char*>(&e), sizeof e);
  }
  return key;
}

class TModel {
 public:
  explicit TModel(const TData& data, std::vector<TPruneRule> rules) : D(&data), Rules(std::move(rules)) {
    const int n = static_cast<int>(Rules.size());
    Fire.assign(n, {});
    Fired.assign(D->Patterns, {});
    for (int r = 0; r < n; r++) {
      StopPoint();
      if (!Rules[r].Alive) continue;
      ComputeFire(Rules[r].Ant, Fire[r]);
      for (const TFire& f : Fire[r]) Fired[f.Pattern].push_back(TTerm{r, Rules[r].Class, f.Act});
      Keys[KeyOf(Rules[r].Class, Rules[r].Ant)].push_back(r);
    }
    Den = WeightSums(nullptr);
    Correct.assign(D->Patterns, 0);
    Err.assign(D->Patterns, 0.0f);
    const std::size_t width = D->Classes;
    Num.assign(static_cast<std::size_t>(D->Patterns) * width, 0.0f);
    Out.assign(static_cast<std::size_t>(D->Patterns) * width, 0.0f);
    for (int p = 0; p < D->Patterns; p++) {
      StopPoint();
      float* num = Num.data() + p * width;
      float* out = Out.data() + p * width;
      Sums(Fired[p], num);
      for (std::size_t k = 0; k < width; k++) out[k] = Divided(num[k], Den[k]);
      Judge(p, out, Correct[p], Err[p]);
      Misclassified += Correct[p] ? 0 : 1;
    }
    Mark.assign(D->Patterns, -1);
    ItemOf.assign(n, -1);
  }

  const std::vector<TPruneRule>& RuleBase() const { return Rules; }
  const TPruneRule& Rule(int r) const { return Rules[r]; }
  int NumberOfRules() const { return static_cast<int>(Rules.size()); }
  int Misclassified = 0;

  int AliveRules() const {
    int count = 0;
    for (const TPruneRule& r : Rules) count += r.Alive ? 1 : 0;
    return count;
  }
  int RulesOfClass(int k) const {
    int count = 0;
    for (const TPruneRule& r : Rules) count += r.Alive && r.Class == k ? 1 : 0;
    return count;
  }
  bool Uses(int j) const {
    for (const TPruneRule& r : Rules)
      if (r.Alive && r.Ant[j] >= 1) return true;
    return false;
  }

  // The change that gives every rule of `rules` (ascending) the antecedent
  // `ants` holds for it. A rule that becomes equal to another rule of its
  // class merges with it: the one that comes first stays.
  TChange Reshape(const std::vector<int>& rules, std::vector<std::vector<int>> ants) const {
    // Per new antecedent, its rules: the changed ones and the others that have it already.
    std::unordered_map<std::string, std::vector<int>> groups;
    for (std::size_t i = 0; i < rules.size(); i++) {
      const std::string key = KeyOf(Rules[rules[i]].Class, ants[i]);
      auto placed = groups.emplace(key, std::vector<int>());
      if (placed.second) {
        auto found = Keys.find(key);
        if (found != Keys.end())
          for (int other : found->second)
            if (!std::binary_search(rules.begin(), rules.end(), other)) placed.first->second.push_back(other);
      }
      placed.first->second.push_back(rules[i]);
    }
    std::vector<char> stays(Rules.size(), 0);
    std::vector<int> goes;
    for (const auto& group : groups) {
      const int first = *std::min_element(group.second.begin(), group.second.end());
      stays[first] = 1;
      for (int r : group.second)
        if (r != first && !std::binary_search(rules.begin(), rules.end(), r)) goes.push_back(r);
    }
    TChange change;
    for (std::size_t i = 0; i < rules.size(); i++) {
      if (stays[rules[i]])
        change.Items.push_back(TChange::TItem{rules[i], false, std::move(ants[i]), {}});
      else
        change.Items.push_back(TChange::TItem{rules[i], true, {}, {}});
    }
    for (int r : goes) change.Items.push_back(TChange::TItem{r, true, {}, {}});
    std::sort(change.Items.begin(), change.Items.end(),
              [](const TChange::TItem& a, const TChange::TItem& b) { return a.Rule < b.Rule; });
    return change;
  }

  // Judges `change` against the current model; Apply or Discard follows.
  TVerdict Evaluate(TChange& change) {
    const bool weighted = !D->Maximum;
    std::vector<char> classGoes(D->Classes, 0);
    bool denChanged = false;
    for (std::size_t i = 0; i < change.Items.size(); i++) {
      TChange::TItem& item = change.Items[i];
      ItemOf[item.Rule] = static_cast<int>(i);
      const std::vector<TFire>& before = Fire[item.Rule];
      if (item.Remove) {
        for (const TFire& f : before) Touch(f.Pattern, true);
        const int k = Rules[item.Rule].Class;
        if (weighted && k >= 1 && k <= D->Classes) {
          classGoes[k - 1] = 1;
          denChanged = true;
        }
        continue;
      }
      ComputeFire(item.Ant, item.Fire);
      // Only the patterns where the rule's activation changes.
      std::size_t b = 0;
      for (const TFire& f : item.Fire) {
        for (; b < before.size() && before[b].Pattern < f.Pattern; b++) Touch(before[b].Pattern, true);
        if (b < before.size() && before[b].Pattern == f.Pattern) {
          if (before[b].Act != f.Act) Touch(f.Pattern, true);
          b++;
        } else {
          Touch(f.Pattern, true);
        }
      }
      for (; b < before.size(); b++) Touch(before[b].Pattern, true);
    }
    TVerdict verdict;
    NewDen = Den;
    if (denChanged) {
      NewDen = WeightSums(&change);
      for (int k = 0; k < D->Classes; k++) {
        if (!classGoes[k]) continue;
        if (!std::isfinite(NewDen[k])) verdict.Valid = false;
        // Every pattern where the class has an output sees the new sum.
        for (int r = 0; r < NumberOfRules(); r++)
          if (Rules[r].Alive && Rules[r].Class == k + 1)
            for (const TFire& f : Fire[r]) Touch(f.Pattern, false);
      }
    }
    // The new activations of the affected patterns, each pattern's in rule order.
    const std::size_t affected = Affected.size();
    NewStart.assign(affected + 1, 0);
    for (const TChange::TItem& item : change.Items)
      for (const TFire& f : item.Fire)
        if (Mark[f.Pattern] >= 0) NewStart[Mark[f.Pattern] + 1]++;
    for (std::size_t i = 0; i < affected; i++) NewStart[i + 1] += NewStart[i];
    NewTerms.resize(NewStart[affected]);
    NewFill.assign(NewStart.begin(), NewStart.end() - 1);
    for (const TChange::TItem& item : change.Items)
      for (const TFire& f : item.Fire)
        if (Mark[f.Pattern] >= 0) NewTerms[NewFill[Mark[f.Pattern]]++] = TTerm{item.Rule, Rules[item.Rule].Class, f.Act};

    // Only the outputs of the changed rules' classes change.
    std::vector<int> classes;
    for (const TChange::TItem& item : change.Items) {
      const int k = Rules[item.Rule].Class;
      if (k >= 1 && k <= D->Classes && std::find(classes.begin(), classes.end(), k) == classes.end())
        classes.push_back(k);
    }
    const std::size_t width = D->Classes;
    NewCorrect.resize(affected);
    NewErr.resize(affected);
    NewNum.resize(affected * width);
    NewOut.resize(affected * width);
    verdict.Misclassified = Misclassified;
    for (std::size_t i = 0; i < affected; i++) {
      StopPoint();
      const int p = Affected[i];
      float* num = NewNum.data() + i * width;
      float* out = NewOut.data() + i * width;
      std::copy_n(Num.data() + static_cast<std::size_t>(p) * width, width, num);
      std::copy_n(Out.data() + static_cast<std::size_t>(p) * width, width, out);
      // Where no changed rule fires, before or after, a class's sum stays.
      for (int k : classes) {
        if (TermsChanged[i]) num[k - 1] = ClassSum(p, k);
        out[k - 1] = Divided(num[k - 1], NewDen[k - 1]);
      }
      Judge(p, out, NewCorrect[i], NewErr[i]);
      verdict.Misclassified += (Correct[p] ? 1 : 0) - (NewCorrect[i] ? 1 : 0);
      verdict.Error += static_cast<double>(NewErr[i]) - static_cast<double>(Err[p]);
    }
    return verdict;
  }

  void Apply(TChange& change, const TVerdict& verdict) {
    for (std::size_t i = 0; i < Affected.size(); i++) {
      const int p = Affected[i];
      Merge(p, Fired[p]);
      Correct[p] = NewCorrect[i];
      Err[p] = NewErr[i];
      std::copy_n(NewNum.data() + i * D->Classes, D->Classes, Num.data() + static_cast<std::size_t>(p) * D->Classes);
      std::copy_n(NewOut.data() + i * D->Classes, D->Classes, Out.data() + static_cast<std::size_t>(p) * D->Classes);
    }
    for (TChange::TItem& item : change.Items) {
      TPruneRule& rule = Rules[item.Rule];
      Unkey(item.Rule);
      if (item.Remove) {
        rule.Alive = false;
        Fire[item.Rule].clear();
      } else {
        rule.Ant = std::move(item.Ant);
        Fire[item.Rule] = std::move(item.Fire);
        Keys[KeyOf(rule.Class, rule.Ant)].push_back(item.Rule);
      }
    }
    Den = NewDen;
    Misclassified = verdict.Misclassified;
    Discard(change);
  }

  void Discard(const TChange& change) {
    for (int p : Affected) Mark[p] = -1;
    Affected.clear();
    TermsChanged.clear();
    for (const TChange::TItem& item : change.Items) ItemOf[item.Rule] = -1;
  }

 private:
  const TData* D;
  std::vector<TPruneRule> Rules;
  std::vector<std::vector<TFire>> Fire;   // per rule: where it fires, in pattern order
  std::vector<std::vector<TTerm>> Fired;  // per pattern: the rules that fire, in rule order
  std::vector<float> Den;                 // per class: the weight sum of its rules, in rule order
  std::vector<char> Correct;
  std::vector<float> Err;
  std::vector<float> Num;  // per pattern, per class: the weighted sum (or the maximum) of its rules that fire
  std::vector<float> Out;  // per pattern, per class: the output
  std::unordered_map<std::string, std::vector<int>> Keys;  // alive rules by class and antecedent

  // Scratch of one evaluation.
  std::vector<int> Mark;    // per pattern: its place in Affected, or -1
  std::vector<int> ItemOf;  // per rule: its item in the change, or -1
  std::vector<int> Affected;
  std::vector<int> NewStart, NewFill;  // per affected pattern: its new terms in NewTerms
  std::vector<TTerm> NewTerms;
  std::vector<float> NewDen;
  std::vector<char> NewCorrect;
  std::vector<float> NewErr;
  std::vector<float> NewNum, NewOut;  // as Num and Out, per affected pattern
  std::vector<char> TermsChanged;     // per affected pattern: a changed rule fires there, before or after
  std::vector<std::uint64_t> Bits;
  std::vector<int> ActiveSlots;
  std::vector<TTerm> MergeScratch;

  void Touch(int p, bool terms) {
    if (Mark[p] >= 0) {
      TermsChanged[Mark[p]] |= terms ? 1 : 0;
      return;
    }
    Mark[p] = static_cast<int>(Affected.size());
    Affected.push_back(p);
    TermsChanged.push_back(terms ? 1 : 0);
  }

  void Unkey(int r) {
    auto found = Keys.find(KeyOf(Rules[r].Class, Rules[r].Ant));
    if (found == Keys.end()) return;
    std::vector<int>& list = found->second;
    list.erase(std::remove(list.begin(), list.end(), r), list.end());
    if (list.empty()) Keys.erase(found);
  }

  // The patterns where a rule with antecedent `ant` fires, with its
  // activation: the smallest degree of its entries, which are all non-zero.
  // An entry naming a set its input lacks keeps the rule from firing at all.
  void ComputeFire(const std::vector<int>& ant, std::vector<TFire>& fire) {
    fire.clear();
    ActiveSlots.clear();
    for (int j = 0; j < D->Inputs; j++) {
      if (ant[j] < 1) continue;
      if (ant[j] > D->Offset[j + 1] - D->Offset[j]) return;
      ActiveSlots.push_back(D->Offset[j] + ant[j] - 1);
    }
    const std::size_t words = D->Words;
    Bits = D->All;
    std::uint64_t* bits = Bits.data();
    for (int slot : ActiveSlots) {
      const std::uint64_t* nz = D->NonZero.data() + static_cast<std::size_t>(slot) * words;
      for (std::size_t w = 0; w < words; w++) bits[w] &= nz[w];
    }
    const bool firstInputUsed = ant[0] >= 1;
    const int* slots = ActiveSlots.data();
    const int count = static_cast<int>(ActiveSlots.size());
    for (std::size_t w = 0; w < words; w++) {
      for (std::uint64_t left = bits[w]; left != 0; left &= left - 1) {
        const int p = static_cast<int>(w * 64) + __builtin_ctzll(left);
        const float* memb = D->Memb.data() + static_cast<std::size_t>(p) * D->Slots;
        // Propagation scans every input, a don't-care one as degree 1,
        // from the first input's degree on: skipping the degrees of 1
        // changes nothing, even where a NaN degree stands first.
        float act = 1.0f;
        int i = 0;
        if (firstInputUsed) act = memb[slots[i++]];
        for (; i < count; i++) {
          const float m = memb[slots[i]];
          act = m < act ? m : act;
        }
        fire.push_back(TFire{p, act});
      }
    }
  }

  // Per class, the weights of its rules summed in rule order, without the
  // rules that `change` removes.
  std::vector<float> WeightSums(const TChange* change) const {
    std::vector<float> den(D->Classes, 0.0f);
    for (int r = 0; r < NumberOfRules(); r++) {
      const bool goes = !Rules[r].Alive || (change != nullptr && ItemOf[r] >= 0 && change->Items[ItemOf[r]].Remove);
      const int k = Rules[r].Class;
      if (!goes && k >= 1 && k <= D->Classes) den[k - 1] += Rules[r].Weight;
    }
    return den;
  }

  // The sum (or maximum) of class `k` at affected pattern `p` once the
  // change under evaluation is made: its rules' terms in rule order, as Sums
  // forms it.
  float ClassSum(int p, int k) const {
    const TTerm* fresh = NewTerms.data() + NewStart[Mark[p]];
    const TTerm* freshEnd = NewTerms.data() + NewStart[Mark[p] + 1];
    float out = 0.0f;
    auto add = [&](const TTerm& t) {
      if (t.Class != k) return;
      if (D->Maximum) {
        if (t.Act > out) out = t.Act;
      } else {
        out += Rules[t.Rule].Weight * t.Act;
      }
    };
    for (const TTerm& t : Fired[p]) {
      for (; fresh != freshEnd && fresh->Rule < t.Rule; fresh++) add(*fresh);
      if (ItemOf[t.Rule] < 0) add(t);
    }
    for (; fresh != freshEnd; fresh++) add(*fresh);
    return out;
  }

  // The rules firing for affected pattern `p` once the change under
  // evaluation is made, in rule order.
  void Merge(int p, std::vector<TTerm>& terms) {
    MergeScratch.clear();
    const TTerm* fresh = NewTerms.data() + NewStart[Mark[p]];
    const TTerm* freshEnd = NewTerms.data() + NewStart[Mark[p] + 1];
    for (const TTerm& t : Fired[p]) {
      for (; fresh != freshEnd && fresh->Rule < t.Rule; fresh++) MergeScratch.push_back(*fresh);
      if (ItemOf[t.Rule] < 0) MergeScratch.push_back(t);
    }
    for (; fresh != freshEnd; fresh++) MergeScratch.push_back(*fresh);
    terms.swap(MergeScratch);
  }

  // Per class, the weighted sum (or the maximum) of the activations of its
  // rules that fire, as propagation forms them, in rule order.
  void Sums(const std::vector<TTerm>& terms, float* num) const {
    const int classes = D->Classes;
    std::fill(num, num + classes, 0.0f);
    for (const TTerm& t : terms) {
      const int k = t.Class;
      if (k < 1 || k > classes) continue;
      if (D->Maximum) {
        if (t.Act > num[k - 1]) num[k - 1] = t.Act;
      } else {
        num[k - 1] += Rules[t.Rule].Weight * t.Act;
      }
    }
  }

  // A class's output from its sum: under a weighted sum divided by the
  // weights of all the class's rules (0 without any).
  float Divided(float num, float den) const {
    if (D->Maximum) return num;
    return den != 0.0f ? num / den : 0.0f;
  }

  // The class decision and the pattern error, as testing forms them.
  void Judge(int p, const float* out, char& correct, float& error) const {
    const int target = D->Target[p];
    int best = 0;
    correct = Decide(out, D->Classes, best) == TDecision::Decided && best == target ? 1 : 0;
    error = PatternError(out, D->Classes, target);
  }
};

}  // namespace

namespace {

// Pruning's model disagrees with the network it models: a fault of the
// pruner, reported as an error instead of a result that cannot be trusted.
[[noreturn, maybe_unused]] void OutOfStep(int model, int network) {
  throw std::logic_error("the pruner's model is out of step with the network (" + std::to_string(model) +
                         " misclassified patterns against " + std::to_string(network) + ")");
}

int InputsUsed(const std::vector<TPruneRule>& rules, int inputs) {
  int used = 0;
  for (int j = 0; j < inputs; j++) {
    bool any = false;
    for (const TPruneRule& r : rules) any = any || (r.Alive && r.Ant[j] >= 1);
    used += any ? 1 : 0;
  }
  return used;
}

int EntriesUsed(const std::vector<TPruneRule>& rules) {
  int entries = 0;
  for (const TPruneRule& r : rules)
    if (r.Alive)
      for (int s : r.Ant) entries += s >= 1 ? 1 : 0;
  return entries;
}

bool Acceptable(const TVerdict& v, const TModel& model, bool lax) {
  if (!v.Valid || v.Misclassified > model.Misclassified) return false;
  return lax || v.Misclassified < model.Misclassified || v.Error <= 0.0;
}

class TPruner {
 public:
  TPruner(const TData& data, std::vector<TPruneRule> rules, const TPruneOptions& options,
          const std::function<void(const TPruneProgress&)>& progress)
      : D(data), Options(options), Progress(progress), Model(data, std::move(rules)) {}

  void Run() {
    Rounds();
    if (Options.MaxRules > 0 && Model.AliveRules() > Options.MaxRules && Cap()) Rounds();
  }

  void Rounds() {
    for (bool changed = true; changed;) {
      changed = false;
      if (Options.Inputs) changed = PruneInputs() || changed;
      if (Options.Entries) changed = PruneEntries() || changed;
      if (Options.Rules) changed = PruneRules() || changed;
    }
  }

  // Down to the rule limit: each time the rule whose removal costs least,
  // whatever it costs.
  bool Cap() {
    int removed = 0, tried = 0;
    while (Model.AliveRules() > Options.MaxRules) {
      TChange best;
      TVerdict bestScore;
      bestScore.Valid = false;
      for (int r = 0; r < Model.NumberOfRules(); r++) {
        StopPoint();
        if (!Model.Rule(r).Alive || !MayGo(r)) continue;
        TChange c;
        c.Removal = true;
        c.Items.push_back(TChange::TItem{r, true, {}, {}});
        const TVerdict v = Model.Evaluate(c);
        Model.Discard(c);
        tried++;
        if (v.Valid && (!bestScore.Valid || Better(v, bestScore))) {
          best = std::move(c);
          bestScore = v;
        }
      }
      if (!bestScore.Valid) break;
      const TVerdict v = Model.Evaluate(best);
      Model.Apply(best, v);
      Check();
      removed++;
    }
    Report(TPruneStage::Limit, tried, removed);
    return removed > 0;
  }

  // A class with patterns keeps its last rule.
  bool MayGo(int r) const {
    const int k = Model.Rule(r).Class;
    return !(k >= 1 && k <= D.Classes && D.ClassPatterns[k - 1] > 0 && Model.RulesOfClass(k) < 2);
  }

  const TModel& Result() const { return Model; }
  int Merged = 0;

 private:
  const TData& D;
  TPruneOptions Options;
  const std::function<void(const TPruneProgress&)>& Progress;
  TModel Model;

  void Report(TPruneStage stage, int tried, int removed) const {
    if (!Progress) return;
    TPruneProgress p;
    p.Stage = stage;
    p.Tried = tried;
    p.Removed = removed;
    p.Misclassified = Model.Misclassified;
    p.Rules = Model.AliveRules();
    Progress(p);
  }

  // Tries the candidates 0..count-1 (made by `make`, which may return an
  // empty change for one that no longer applies) in the order of the
  // options, keeping each that is acceptable; returns how many were kept.
  // A rule that goes in a change of antecedents has merged into another.
  template <typename TMake>
  int Greedy(int count, TMake make) {
    std::vector<int> order(count);
    for (int i = 0; i < count; i++) order[i] = i;
    if (Options.Order == TPruneOrder::Ranked) {
      // Scored once on the model as it is: the most promising first.
      std::vector<TVerdict> scores(count);
      for (int i = 0; i < count; i++) {
        StopPoint();
        TChange c = make(i);
        if (c.Items.empty()) {
          scores[i].Valid = false;
          continue;
        }
        scores[i] = Model.Evaluate(c);
        Model.Discard(c);
      }
      std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Better(scores[a], scores[b]); });
    }
    int kept = 0;
    for (int i : order) {
      StopPoint();
      TChange c = make(i);
      if (c.Items.empty()) continue;
      const TVerdict v = Model.Evaluate(c);
      if (!Acceptable(v, Model, Options.Lax)) {
        Model.Discard(c);
        continue;
      }
      for (const TChange::TItem& item : c.Items) Merged += item.Remove && !c.Removal ? 1 : 0;
      Model.Apply(c, v);
      Check();
      kept++;
    }
    return kept;
  }

  // In checking builds, the model after every step against one built afresh.
  void Check() const {
#ifdef KORVALIN_CHECK_INDEX
    const TModel fresh(D, Model.RuleBase());
    if (fresh.Misclassified != Model.Misclassified) OutOfStep(Model.Misclassified, fresh.Misclassified);
#endif
  }

  bool PruneInputs() {
    std::vector<int> used;
    for (int j = 0; j < D.Inputs; j++)
      if (Model.Uses(j)) used.push_back(j);
    const int removed = Greedy(static_cast<int>(used.size()), [&](int i) {
      const int j = used[i];
      std::vector<int> rules;
      std::vector<std::vector<int>> ants;
      for (int r = 0; r < Model.NumberOfRules(); r++) {
        const TPruneRule& rule = Model.Rule(r);
        if (!rule.Alive || rule.Ant[j] < 1) continue;
        rules.push_back(r);
        ants.push_back(rule.Ant);
        ants.back()[j] = 0;
      }
      return Model.Reshape(rules, std::move(ants));
    });
    Report(TPruneStage::Inputs, static_cast<int>(used.size()), removed);
    return removed > 0;
  }

  bool PruneEntries() {
    std::vector<std::pair<int, int>> entries;
    for (int r = 0; r < Model.NumberOfRules(); r++)
      if (Model.Rule(r).Alive)
        for (int j = 0; j < D.Inputs; j++)
          if (Model.Rule(r).Ant[j] >= 1) entries.emplace_back(r, j);
    const int removed = Greedy(static_cast<int>(entries.size()), [&](int i) {
      const auto [r, j] = entries[i];
      const TPruneRule& rule = Model.Rule(r);
      if (!rule.Alive || rule.Ant[j] < 1) return TChange();
      std::vector<std::vector<int>> ants(1, rule.Ant);
      ants[0][j] = 0;
      return Model.Reshape({r}, std::move(ants));
    });
    Report(TPruneStage::Entries, static_cast<int>(entries.size()), removed);
    return removed > 0;
  }

  bool PruneRules() {
    std::vector<int> rules;
    for (int r = 0; r < Model.NumberOfRules(); r++)
      if (Model.Rule(r).Alive) rules.push_back(r);
    const int removed = Greedy(static_cast<int>(rules.size()), [&](int i) {
      const int r = rules[i];
      TChange c;
      c.Removal = true;
      if (Model.Rule(r).Alive && MayGo(r)) c.Items.push_back(TChange::TItem{r, true, {}, {}});
      return c;
    });
    Report(TPruneStage::Rules, static_cast<int>(rules.size()), removed);
    return removed > 0;
  }
};

}  // namespace

const char* CheckPrune(const TFuzzyPerceptron& net, const TLearningTask& task) {
  if (!task.ClassInfo || task.NumberOfClasses < 1) return "the pattern set has no class information";
  if (task.NumberOfPatterns < 1) return "the pattern set has no patterns";
  if (net.NumberOfInputs() != task.NumberOfInputs || net.NumberOfClasses() != task.NumberOfClasses)
    return "pattern set and network have different dimensions";
  if (net.NumberOfInputs() < 1) return "the network has no inputs";
  if (net.NumberOfRules() < 1) return "the network has no rules";
  std::vector<float> sums(net.NumberOfClasses(), 0.0f);
  for (int r = 1; r <= net.NumberOfRules(); r++) {
    const int k = TNetAccess::Rule(net, r).Class;
    if (k >= 1 && k <= net.NumberOfClasses()) sums[k - 1] += TNetAccess::Weight(net, r);
  }
  for (float s : sums)
    if (!std::isfinite(s)) return "the network has conclusion weights too large to sum";
  return nullptr;
}

TPruneReport Prune(TFuzzyPerceptron& net, const TLearningTask& task, const TPruneOptions& options,
                   const std::function<void(const TPruneProgress&)>& progress, const TStopRequest& stop) {
  TPruneReport report;
  std::vector<TPruneRule> before;
  const bool pruned = RunStoppable(
      stop,
      [&] {
        report.Before = TestNet(net, task);
        const TData data = ReadData(net, task);
        std::vector<TPruneRule> rules = ReadRules(net);
        report.RulesBefore = static_cast<int>(rules.size());
        report.InputsBefore = InputsUsed(rules, data.Inputs);
        report.EntriesBefore = EntriesUsed(rules);
        TPruner pruner(data, rules, options, progress);
        pruner.Run();
        const std::vector<TPruneRule>& result = pruner.Result().RuleBase();
        before.swap(rules);
        WriteRules(net, result);
        report.RulesAfter = net.NumberOfRules();
        report.InputsAfter = InputsUsed(result, data.Inputs);
        report.EntriesAfter = EntriesUsed(result);
        report.Merged = pruner.Merged;
        report.After = TestNet(net, task);
#ifdef KORVALIN_CHECK_INDEX
        if (report.After.Misclassified != pruner.Result().Misclassified)
          OutOfStep(pruner.Result().Misclassified, report.After.Misclassified);
#endif
      },
      report.Stopped, report.Error);
  // The network as it was; its rules only change once pruning is done.
  if (!pruned && !before.empty()) WriteRules(net, before);
  return report;
}
