// A plain, rule-by-rule model of the classifier that the network's indexed
// fast paths must match bit for bit: every rule is visited, memberships
// come from TPartition::GetMembershipVector, sums run over all rules.
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
        if (j == 1 || d < act) {
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
    for (int k = 1; k <= Classes; k++) Out[k] = Aggregation == Maximum ? best[k] : (den[k] != 0.0f ? num[k] / den[k] : 0.0f);
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
    std::vector<std::vector<float>> sums(Rules(), std::vector<float>(Classes + 1, 0.0f));
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      Propagate(task.Patterns[p].Input.data(), task.MissingValue);
      for (int r = 0; r < Rules(); r++) sums[r][task.Patterns[p].Class] += Act[r];
    }
    for (int r = 0; r < Rules(); r++) {
      int best = 1;
      for (int k = 2; k <= Classes; k++)
        if (sums[r][k] > sums[r][best]) best = k;
      Class[r] = best;
    }
  }

  void Evaluate(const TLearningTask& task, TRuleMode mode) {
    std::vector<std::pair<float, int>> perf;
    for (int r = 0; r < Rules(); r++) perf.emplace_back(0.0f, r + 1);
    for (int p = 1; p <= task.NumberOfPatterns; p++) {
      Propagate(task.Patterns[p].Input.data(), task.MissingValue);
      int c;
      const bool ok = CheckOutput(task.Patterns[p].Class, c);
      for (int r = 0; r < Rules(); r++) {
        if (ok && Class[r] == c)
          perf[r].first += Act[r];
        else
          perf[r].first -= Act[r];
      }
    }
    std::stable_sort(perf.begin(), perf.end(), [](auto& a, auto& b) { return a.first > b.first; });
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
  struct TChange {
    bool Empty = true, Removal = false;
    std::vector<std::vector<int>> Ante;
    std::vector<char> Alive;
  };
  struct TVerdict {
    bool Valid = false;
    int Wrong = 0;
    double Error = 0.0;  // the change of the total error, summed in pattern order
    std::vector<float> Errors;
  };

  TRefNet Net;
  const TLearningTask& Task;
  TPruneOptions Options;
  std::vector<char> Alive;
  TVerdict Now;
  int Merged = 0;

  TRefPruner(const TRefNet& net, const TLearningTask& task, const TPruneOptions& options)
      : Net(net), Task(task), Options(options), Alive(net.Rules(), 1) {
    Now = Judge(Change());
  }

  TRefNet Kept(const TChange& c) const {
    TRefNet out = Net;
    out.Ante.clear(), out.Class.clear(), out.Weight.clear();
    for (int r = 0; r < Net.Rules(); r++)
      if (c.Alive[r]) out.Ante.push_back(c.Ante[r]), out.Class.push_back(Net.Class[r]), out.Weight.push_back(Net.Weight[r]);
    return out;
  }
  TChange Change(bool removal = false) const { return TChange{false, removal, Net.Ante, Alive}; }
  int Rules() const { return Net.Rules(); }

  TVerdict Judge(const TChange& c) const {
    TRefNet net = Kept(c);
    std::vector<float> den(net.Classes + 1, 0.0f);
    for (int r = 0; r < net.Rules(); r++)
      if (net.Class[r] >= 1 && net.Class[r] <= net.Classes) den[net.Class[r]] += net.Weight[r];
    TVerdict v;
    v.Valid = std::all_of(den.begin(), den.end(), [](float d) { return std::isfinite(d); });
    for (int p = 1; p <= Task.NumberOfPatterns; p++) {
      net.Propagate(Task.Patterns[p].Input.data(), Task.MissingValue);
      int computed;
      v.Wrong += net.CheckOutput(Task.Patterns[p].Class, computed) ? 0 : 1;
      v.Errors.push_back(net.Error(Task.Patterns[p].Class));
      if (!Now.Errors.empty()) v.Error += static_cast<double>(v.Errors.back()) - static_cast<double>(Now.Errors[p - 1]);
    }
    return v;
  }
  static bool Better(const TVerdict& a, const TVerdict& b) {
    if (a.Valid != b.Valid) return a.Valid;
    return a.Wrong != b.Wrong ? a.Wrong < b.Wrong : a.Error < b.Error;
  }

  // Input `input` out of `rules`; of the rules of a class then equal to a
  // changed one, the first stays and the others go.
  TChange Reshape(const std::vector<int>& rules, int input) const {
    TChange c = Change();
    for (int r : rules) c.Ante[r][input] = 0;
    auto key = [&](int r) {
      std::vector<int> k(c.Ante[r]);
      for (int& e : k) e = std::max(e, 0);
      return std::make_pair(Net.Class[r], k);
    };
    for (int r : rules)
      for (int s = 0, first = -1; s < Rules(); s++)
        if (c.Alive[s] && key(s) == key(r)) {
          if (first >= 0) c.Alive[s] = 0;
          first = first < 0 ? s : first;
        }
    return c;
  }
  // A class with patterns keeps its last rule.
  TChange Removal(int r) const {
    const int k = Net.Class[r];
    int left = 0;
    for (int s = 0; s < Rules(); s++) left += Alive[s] && Net.Class[s] == k;
    TChange c = Change(true);
    c.Empty = !Alive[r] || (k >= 1 && k <= Net.Classes && Task.ClassCount[k] > 0 && left < 2);
    c.Alive[r] = 0;
    return c;
  }
  std::vector<int> AliveWith(int input) const {
    std::vector<int> rules;
    for (int r = 0; r < Rules(); r++)
      if (Alive[r] && (input == 0 || Net.Ante[r][input] >= 1)) rules.push_back(r);
    return rules;
  }
  void Apply(const TChange& c, const TVerdict& v) {
    for (int r = 0; r < Rules(); r++) Merged += Alive[r] && !c.Alive[r] && !c.Removal ? 1 : 0;
    Net.Ante = c.Ante, Alive = c.Alive, Now = v;
  }

  template <typename TMake>
  bool Greedy(int count, TMake make) {
    std::vector<int> order(count);
    std::vector<TVerdict> scores(count);
    for (int i = 0; i < count; i++) {
      order[i] = i;
      if (Options.Order == TPruneOrder::Ranked && !make(i).Empty) scores[i] = Judge(make(i));
    }
    if (Options.Order == TPruneOrder::Ranked)
      std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Better(scores[a], scores[b]); });
    bool kept = false;
    for (int i : order) {
      const TChange c = make(i);
      const TVerdict v = c.Empty ? TVerdict() : Judge(c);
      if (!v.Valid || v.Wrong > Now.Wrong || (!Options.Lax && v.Wrong == Now.Wrong && v.Error > 0.0)) continue;
      Apply(c, v);
      kept = true;
    }
    return kept;
  }

  void Rounds() {
    for (bool changed = true; changed;) {
      changed = false;
      std::vector<int> used;
      for (int j = 1; j <= Net.Inputs; j++)
        if (!AliveWith(j).empty()) used.push_back(j);
      if (Options.Inputs)
        changed = Greedy(static_cast<int>(used.size()), [&](int i) { return Reshape(AliveWith(used[i]), used[i]); });
      std::vector<std::pair<int, int>> entries;
      for (int r : AliveWith(0))
        for (int j = 1; j <= Net.Inputs; j++)
          if (Net.Ante[r][j] >= 1) entries.emplace_back(r, j);
      if (Options.Entries)
        changed = Greedy(static_cast<int>(entries.size()), [&](int i) {
          const auto [r, j] = entries[i];
          return Alive[r] && Net.Ante[r][j] >= 1 ? Reshape({r}, j) : TChange();
        }) || changed;
      const std::vector<int> rules = AliveWith(0);
      if (Options.Rules) changed = Greedy(static_cast<int>(rules.size()), [&](int i) { return Removal(rules[i]); }) || changed;
    }
  }

  // Then, down to the rule limit, the rule whose removal costs least each time.
  void Run() {
    Rounds();
    bool removed = false;
    while (Options.MaxRules > 0 && static_cast<int>(AliveWith(0).size()) > Options.MaxRules) {
      int best = -1;
      TVerdict score;
      for (int r = 0; r < Rules(); r++) {
        const TVerdict v = Removal(r).Empty ? TVerdict() : Judge(Removal(r));
        if (v.Valid && (best < 0 || Better(v, score))) best = r, score = v;
      }
      if (best < 0) break;
      Apply(Removal(best), score);
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
