// A plain, rule-by-rule model of the classifier that the network's indexed
// fast paths must match bit for bit: every rule is visited, memberships
// come from TPartition::GetMembershipVector, sums run over all rules; and
// pruning as a search that tests every candidate on the whole pattern set.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fuzzynet_internal.h"
#include "korvalin.h"

struct TRefNet {
  int Inputs = 0, Classes = 0, MaxRules = 0;
  TAggregationFunc Aggregation = WeightedSum;
  std::vector<TPartition> Parts;  // 1-based
  std::vector<std::vector<int>> Ante;  // 0-based rules, 1-based entries
  std::vector<int> Class;
  std::vector<float> Weight;
  std::vector<float> Act, In, Out;
  std::vector<int> MinIn;

  int Rules() const { return static_cast<int>(Class.size()); }

  // Copies a network's state (e.g. one read from a file).
  explicit TRefNet(const TFuzzyPerceptron& net)
      : Inputs(net.NumberOfInputs()), Classes(net.NumberOfClasses()), MaxRules(TNetAccess::MaxRules(net)),
        Aggregation(TNetAccess::Aggregation(net)) {
    Parts.assign(1, TPartition());
    for (int i = 1; i <= Inputs; i++) Parts.push_back(TNetAccess::Partition(net, i));
    for (int r = 1; r <= net.NumberOfRules(); r++) {
      std::vector<int> a(Inputs + 1);
      for (int j = 1; j <= Inputs; j++) a[j] = TNetAccess::Rule(net, r).Antecedent[j];
      Ante.push_back(a);
      Class.push_back(TNetAccess::Rule(net, r).Class);
      Weight.push_back(TNetAccess::Weight(net, r));
    }
    Out.assign(Classes + 1, 0.0f);
  }

  TRefNet() = default;

  void Propagate(const float* x, float missing) {
    In.assign(x, x + Inputs);
    std::vector<TVector<float>> m(Inputs + 1);
    for (int i = 1; i <= Inputs; i++) {
      if (missing != 0.0f && x[i - 1] == missing)
        m[i] = TVector<float>(Parts[i].NumberOfSets, 1.0f);
      else
        m[i] = Parts[i].GetMembershipVector(x[i - 1]);
    }
    Act.assign(Rules(), 0.0f);
    MinIn.assign(Rules(), 0);
    for (int r = 0; r < Rules(); r++) {
      float act = 0.0f;
      int first = 0;
      for (int j = 1; j <= Inputs; j++) {
        const float d = Ante[r][j] < 1 ? 1.0f : m[j][Ante[r][j]];
        // A zero degree leaves the rule unfired even after a NaN one, as in the network's index.
        if (j == 1 || d < act || d == 0.0f) {
          act = d;
          first = j;
        }
      }
      Act[r] = act;
      MinIn[r] = first;
    }
    Sum();
  }

  // The class outputs from the rules' activations.
  void Sum() {
    std::vector<float> num(Classes + 1, 0.0f), den(Classes + 1, 0.0f), best(Classes + 1, 0.0f);
    for (int r = 0; r < Rules(); r++) {
      const int k = Class[r] >= 1 && Class[r] <= Classes ? Class[r] : 0;
      num[k] += Weight[r] * Act[r];
      den[k] += Weight[r];
      if (Act[r] > best[k]) best[k] = Act[r];
    }
    Out.assign(Classes + 1, 0.0f);
    for (int k = 1; k <= Classes; k++)
      Out[k] = Aggregation == Maximum ? best[k] : (den[k] != 0.0f ? num[k] / den[k] : 0.0f);
  }

  bool CheckOutput(int target, int& computed) const {
    computed = 1;
    for (int k = 2; k <= Classes; k++)
      if (Out[k] > Out[computed]) computed = k;
    for (int k = 1; k <= Classes; k++)
      if (k != computed && Out[k] == Out[computed]) return false;
    return computed == target && Out[computed] > 0.0f;
  }

  float Error(int target) const {
    float e = 0.0f;
    for (int k = 1; k <= Classes; k++) {
      const float t = k == target ? 1.0f : 0.0f;
      e += (t - Out[k]) * (t - Out[k]);
    }
    return e;
  }

  void Create(const TLearningTask& task, int maxRules, TRuleMode mode, int sets, int& notCreated) {
    Inputs = task.NumberOfInputs;
    Classes = task.NumberOfClasses;
    MaxRules = std::min(std::max(maxRules, 1), task.NumberOfPatterns);
    Parts.assign(1, TPartition());
    for (int i = 1; i <= Inputs; i++) Parts.emplace_back(task.Bounds[i], sets);
    const int limit = mode == Simple ? MaxRules : task.NumberOfPatterns;
    notCreated = 0;
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      const TPattern pat = task.Patterns[p];
      if (Rules() > 0) {
        Propagate(pat.Input.data(), task.MissingValue);
        int c;
        if (CheckOutput(pat.Class, c) && Out[c] > (mode == Simple ? 0.0f : 0.5f)) continue;
      }
      std::vector<int> a(Inputs + 1, 0);
      for (int j = 1; j <= Inputs; j++) Parts[j].MaxMembership(pat.Input[j], a[j]);
      if (std::find(Ante.begin(), Ante.end(), a) != Ante.end()) continue;
      if (Rules() >= limit) {
        notCreated++;
        continue;
      }
      Ante.push_back(a);
      Class.push_back(pat.Class);
      Weight.push_back(1.0f);
    }
    const std::vector<std::vector<float>> sums = ClassSums(task);
    for (int r = 0; r < Rules(); r++) {
      int best = 1;
      for (int k = 2; k <= Classes; k++)
        if (sums[r][k] > sums[r][best]) best = k;
      Class[r] = best;
    }
  }

  // Per rule, per class: its activations summed over the class's patterns.
  std::vector<std::vector<float>> ClassSums(const TLearningTask& task) {
    std::vector<std::vector<float>> sums(Rules(), std::vector<float>(Classes + 1, 0.0f));
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      Propagate(task.Patterns[p].Input.data(), task.MissingValue);
      for (int r = 0; r < Rules(); r++) sums[r][task.Patterns[p].Class] += Act[r];
    }
    return sums;
  }

  // The rules' performances with their numbers, the best first, as SortValidators sorts them.
  std::vector<std::pair<float, int>> Ranking(const TLearningTask& task) {
    std::vector<std::pair<float, int>> perf;
    for (int r = 0; r < Rules(); r++) perf.emplace_back(0.0f, r + 1);
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      Propagate(task.Patterns[p].Input.data(), task.MissingValue);
      int c;
      const bool ok = CheckOutput(task.Patterns[p].Class, c);
      for (int r = 0; r < Rules(); r++)  // taken away, not added negated, as a NaN's sign must stay
        perf[r].first = ok && Class[r] == c ? perf[r].first + Act[r] : perf[r].first - Act[r];
    }
    std::stable_sort(perf.begin(), perf.end(),
                     [](auto& a, auto& b) { return a.first != b.first && !(b.first > a.first); });
    return perf;
  }

  void Evaluate(const TLearningTask& task, TRuleMode mode) {
    const std::vector<std::pair<float, int>> perf = Ranking(task);
    if (Rules() <= MaxRules || mode == Simple) return;
    std::vector<int> chosen;
    if (mode == Best) {
      for (int i = 0; i < MaxRules; i++) chosen.push_back(perf[i].second);
    } else {
      const int quota = std::max(1, MaxRules / Classes);
      for (int k = 1; k <= Classes; k++) {
        int n = 0;
        for (auto& v : perf)
          if (n < quota && static_cast<int>(chosen.size()) < MaxRules && Class[v.second - 1] == k) {
            chosen.push_back(v.second);
            n++;
          }
      }
    }
    TRefNet old = *this;
    Ante.clear();
    Class.clear();
    Weight.clear();
    for (int r : chosen) {
      Ante.push_back(old.Ante[r - 1]);
      Class.push_back(old.Class[r - 1]);
      Weight.push_back(old.Weight[r - 1]);
    }
  }

  float Step(int target, const TNetSettings& prm, bool& correct) {
    std::vector<float> e(Classes + 1);
    for (int k = 1; k <= Classes; k++) e[k] = (k == target ? 1.0f : 0.0f) - Out[k];
    for (int r = 0; r < Rules(); r++) {
      const float o = Act[r];
      const float ek = e[Class[r]];
      const float delta = static_cast<float>(static_cast<double>(o * ek * Weight[r]) * (1.0 - o));
      if (prm.Weights != Fixed) {
        Weight[r] = Weight[r] + prm.Sigma * ek * o;
        if (prm.Weights == Normalized) Weight[r] = std::min(1.0f, std::max(0.0f, Weight[r]));
      }
      if (o > 0.0f) {
        const int j = MinIn[r];
        const int s = Ante[r][j];
        if (s < 1) continue;
        const TFuzzySet& f = Parts[j].Sets[s];
        const float x = In[j - 1];
        const float sign = x > f.b ? 1.0f : x < f.b ? -1.0f : 0.0f;
        const float db = prm.SigmaB * delta * (f.c - f.a) * sign;
        const float da = -prm.SigmaA * delta * (f.c - f.a) + db;
        const float dc = prm.SigmaC * delta * (f.c - f.a) + db;
        if (prm.FsIntersect)
          Parts[j].AdaptConstrained(s, x, da, db, dc);
        else
          Parts[j].Adapt(s, da, db, dc);
      }
    }
    int c;
    correct = CheckOutput(target, c);
    return Error(target);
  }

  int Learn(const TLearningTask& task, const TNetSettings& prm, float& error) {
    float total = 0.0f;
    int wrong = 0;
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      Propagate(task.Patterns[p].Input.data(), task.MissingValue);
      bool ok;
      total += Step(task.Patterns[p].Class, prm, ok);
      if (!ok) wrong++;
    }
    error = total;
    return wrong;
  }
};

// Pruning as the greedy search of TPruneOptions, every candidate judged by
// testing the whole rule base anew. Rules that go are only marked, so that
// "the first of equal rules" keeps meaning the first in the network.
struct TRefPruner {
  struct TState {  // a rule base (none when Ante is empty: then not Valid), and how it tests
    std::vector<std::vector<int>> Ante;
    std::vector<char> Alive;
    bool Removal = false, Valid = false;
    int Wrong = 0;
    double Error = 0.0;  // the change of the total error, summed in pattern order
    std::vector<float> Errors;
  };
  TRefNet Net;
  const TLearningTask& Task;
  TPruneOptions Options;
  TState Now;
  int Merged = 0;

  TRefPruner(const TRefNet& net, const TLearningTask& task, const TPruneOptions& options)
      : Net(net), Task(task), Options(options) {
    Now.Ante = net.Ante, Now.Alive.assign(net.Rules(), 1);
    Now = Judged(Now);
  }

  int Rules() const { return Net.Rules(); }
  TRefNet Kept(const TState& s) const {
    TRefNet net = Net;
    net.Ante.clear(), net.Class.clear(), net.Weight.clear();
    for (int r = 0; r < Rules(); r++)
      if (s.Alive[r])
        net.Ante.push_back(s.Ante[r]), net.Class.push_back(Net.Class[r]), net.Weight.push_back(Net.Weight[r]);
    return net;
  }
  // (The weights of the tests are far from summing to infinity, which would
  // make a rule base invalid.)
  TState Judged(TState s) const {
    if (s.Ante.empty()) return TState();
    TRefNet net = Kept(s);
    s.Valid = true, s.Wrong = 0, s.Error = 0.0, s.Errors.clear();
    for (int p = 1; p <= Task.NumberOfPatterns; p++) {
      int computed;
      net.Propagate(Task.Patterns[p].Input.data(), Task.MissingValue);
      s.Wrong += net.CheckOutput(Task.Patterns[p].Class, computed) ? 0 : 1;
      s.Errors.push_back(net.Error(Task.Patterns[p].Class));
      if (!Now.Errors.empty()) s.Error += static_cast<double>(s.Errors.back()) - static_cast<double>(Now.Errors[p - 1]);
    }
    return s;
  }
  static bool Better(const TState& a, const TState& b) {
    if (a.Valid != b.Valid) return a.Valid;
    return a.Wrong != b.Wrong ? a.Wrong < b.Wrong : a.Error < b.Error;
  }
  void Take(const TState& s) {
    for (int r = 0; r < Rules(); r++) Merged += Now.Alive[r] && !s.Alive[r] && !s.Removal ? 1 : 0;
    Now = s, Now.Removal = false;
  }

  // The rules alive; with `input` above 0, those with an entry for it.
  std::vector<int> With(int input) const {
    std::vector<int> rules;
    for (int r = 0; r < Rules(); r++)
      if (Now.Alive[r] && (input == 0 || Now.Ante[r][input] >= 1)) rules.push_back(r);
    return rules;
  }
  // Input `input` out of `rules`; of the rules of a class then equal to a
  // changed one, the first stays and the others go.
  TState Reshaped(const std::vector<int>& rules, int input) const {
    TState s = Now;
    for (int r : rules) s.Ante[r][input] = 0;
    auto key = [&](int r) {
      std::vector<int> k(s.Ante[r]);
      for (int& e : k) e = std::max(e, 0);
      k[0] = Net.Class[r];
      return k;
    };
    for (int r : rules)
      for (int t = 0, first = -1; t < Rules(); t++)
        if (s.Alive[t] && key(t) == key(r)) {
          if (first >= 0) s.Alive[t] = 0;
          first = first < 0 ? t : first;
        }
    return s;
  }
  // A class with patterns keeps its last rule.
  TState Removed(int r) const {
    TState s = Now;
    s.Removal = true, s.Alive[r] = 0;
    const int k = Net.Class[r];
    const std::vector<int> alive = With(0);
    const bool last = k >= 1 && k <= Net.Classes && Task.ClassCount[k] > 0 &&
                      std::count_if(alive.begin(), alive.end(), [&](int t) { return Net.Class[t] == k; }) < 2;
    if (!Now.Alive[r] || last) s.Ante.clear();
    return s;
  }

  template <typename TMake>
  bool Greedy(int count, TMake make) {
    std::vector<int> order(count);
    std::vector<TState> scores(count);
    for (int i = 0; i < count; i++) {
      order[i] = i;
      if (Options.Order == TPruneOrder::Ranked) scores[i] = Judged(make(i));
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Better(scores[a], scores[b]); });
    bool kept = false;
    for (int i : order) {
      const TState s = Judged(make(i));
      if (!s.Valid || s.Wrong > Now.Wrong || (!Options.Lax && s.Wrong == Now.Wrong && s.Error > 0.0)) continue;
      Take(s);
      kept = true;
    }
    return kept;
  }
  void Rounds() {
    for (bool changed = true; changed;) {
      std::vector<int> used;
      std::vector<std::pair<int, int>> entries;
      for (int j = 1; j <= Net.Inputs; j++)
        if (!With(j).empty()) used.push_back(j);
      changed = Options.Inputs && Greedy(used.size(), [&](int i) { return Reshaped(With(used[i]), used[i]); });
      for (int r : With(0))
        for (int j = 1; j <= Net.Inputs; j++)
          if (Now.Ante[r][j] >= 1) entries.emplace_back(r, j);
      changed = (Options.Entries && Greedy(entries.size(), [&](int i) {
                  const auto [r, j] = entries[i];
                  return Now.Alive[r] && Now.Ante[r][j] >= 1 ? Reshaped({r}, j) : TState();
                })) || changed;
      const std::vector<int> rules = With(0);
      changed = (Options.Rules && Greedy(rules.size(), [&](int i) { return Removed(rules[i]); })) || changed;
    }
  }
  // Then, down to the rule limit, the rule whose removal costs least each time.
  void Run() {
    Rounds();
    bool removed = false;
    while (Options.MaxRules > 0 && static_cast<int>(With(0).size()) > Options.MaxRules) {
      TState best;
      for (int r = 0; r < Rules(); r++) {
        const TState s = Judged(Removed(r));
        if (Better(s, best)) best = s;
      }
      if (!best.Valid) break;
      Take(best);
      removed = true;
    }
    if (removed) Rounds();
  }
};

// A pattern file of `patterns` clustered patterns; a share of the values
// are written as the missing-value marker.
inline std::string MakePatternText(int patterns, int inputs, int classes, unsigned seed, double missingShare) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> noise(0.0, 1.2);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<std::vector<double>> centre(classes + 1, std::vector<double>(inputs + 1));
  for (auto& c : centre)
    for (double& v : c) v = unit(rng) * 10.0;
  std::ostringstream text;
  text << "DIMENSIONS\n" << inputs << " " << classes << "\nPATTERNS\n" << patterns << "\n";
  char value[40];
  for (int p = 1; p <= patterns; p++) {
    const int k = 1 + static_cast<int>(rng() % classes);
    for (int i = 1; i <= inputs; i++) {
      if (unit(rng) < missingShare) {
        text << "1.4e-45 ";
        continue;
      }
      std::snprintf(value, sizeof value, "%.3f ", centre[k][i] + noise(rng));
      text << value;
    }
    for (int c = 1; c <= classes; c++) text << (c == k ? " 1" : " 0");
    text << "\n";
  }
  text << "END\n";
  return text.str();
}
