#include <cmath>

#include "fuzzynet.h"
#include "fuzzynet_index.h"
#include "korvalin.h"
#include "stop.h"

namespace {

float NormalizedStep(float w, float change) {
  w = w + change;
  if (w > 1.0f)
    w = 1.0f;
  else if (w < 0.0f)
    w = 0.0f;
  return w;
}

float FreeStep(float w, float change) { return w + change; }

}  // namespace

template <float (*Step)(float, float), bool Unit>
float TFuzzyPerceptron::FuzzyErrorBP(int target, const TNetSettings& params, Boolean& correct) {
  TRuleIndex& ix = CurrentIndex();
  float* e = ix.Err.data();
  const float* out = OutputActivation.Data;
  ix.ForClasses([=](int k) { e[k] = (k + 1 == target ? 1.0f : 0.0f) - out[k]; });

  const float* activation = RuleActivation.Data;
  float* weights = Weights.data();
  if constexpr (Step != nullptr) {
    // A rule that does not fire steps its weight by (s*e)*0 = +-0, which
    // changes it only if it is -0, lies outside [0, 1] under a step that
    // keeps weights there, or the step is not finite; otherwise such rules
    // are skipped. The errors of the classes without rules, 1 or 0, give
    // finite steps when Sigma is finite.
    bool finite = !ix.Sparse() || std::isfinite(params.Sigma);
    ix.ForClasses([&](int k) { finite = finite && std::isfinite(params.Sigma * e[k]); });
    if (!finite || ix.NegativeZero || (Unit && ix.OutsideUnit)) {
      ix.NegativeZero = ix.OutsideUnit = false;
      for (int r = 1; r <= ix.Rules; r++) {
        const int k = ix.Class[r - 1];
        const float o = activation[r - 1];
        if (k != 0 && o == 0.0f) {  // rules that fired step below
          const float w = Step(weights[r - 1], (params.Sigma * e[k - 1]) * o);
          weights[r - 1] = w;
        }
        ix.NoteWeight(weights[r - 1]);
      }
    }
    WeightsChanged();
  }

  // Rules are visited in rule order: a later rule adapts the sets as
  // earlier rules of the same step have left them.
  for (int r : ix.Fired) {
    const int k = ix.Class[r - 1];
    if (k == 0) continue;
    const float o = activation[r - 1];
    const float ek = e[k - 1];
    const TRule& rule = *Rules[r];
    const float product = (o * ek) * weights[r - 1];
    const float delta = static_cast<float>(static_cast<double>(product) * (1.0 - static_cast<double>(o)));
    if constexpr (Step != nullptr) {
      const float w = Step(weights[r - 1], (params.Sigma * ek) * o);
      weights[r - 1] = w;
      ix.NoteWeight(w);
    }
    if (!(o > 0.0f)) continue;
    const int j = MinInput.Data[r - 1];
    const int s = rule.Antecedent.Data[j - 1];
    if (s < 1) continue;
    TPartition& partition = Partitions[j];
    const TFuzzySet& set = partition.Sets[s];
    const float x = InputActivation.Data[j - 1];
    const float width = set.c - set.a;
    const float sign = x > set.b ? 1.0f : (x < set.b ? -1.0f : 0.0f);
    const float db = ((params.SigmaB * delta) * width) * sign;
    const float da = ((-params.SigmaA * delta) * width) + db;
    const float dc = ((params.SigmaC * delta) * width) + db;
    if (params.FsIntersect)
      partition.AdaptConstrained(s, x, da, db, dc);
    else
      partition.Adapt(s, da, db, dc);
  }

  int computed;
  correct = CheckOutput(target, computed);
  return ComputePatternError(target);
}

template <float (*Step)(float, float), bool Unit>
int TFuzzyPerceptron::LearnWith(const TLearningTask& task, const TNetSettings& params, float& error) {
  if (!task.ClassInfo) return 0;
  // Learning steps weights and sets in place, which the passes' blocks and
  // what they prepared do not follow.
  if (Index) Index->DropPasses();
  float total = 0.0f;
  int misclassified = 0;
  for (int p = 1; p <= task.NumberOfPatterns; p++) {
    StopPoint();
    const TPattern pattern = task.Patterns[p];
    PropagateValues(pattern.Input.data(), pattern.Input.Dimension(), task.MissingValue);
    Boolean correct;
    total += FuzzyErrorBP<Step, Unit>(pattern.Class, params, correct);
    if (!correct) misclassified++;
  }
  error = total;
  return misclassified;
}

template <float (*Step)(float, float), bool Unit>
int TModeFunctions::Learn(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings,
                          float& error) {
  return net.LearnWith<Step, Unit>(task, settings, error);
}

namespace {
constexpr TWeightModeKind WeightModeRows[] = {
    {Fixed, "Fixed", TModeFunctions::Learn<nullptr, false>},
    {Normalized, "Normalized", TModeFunctions::Learn<NormalizedStep, true>},
    {Free, "Free", TModeFunctions::Learn<FreeStep, false>},
};
static_assert(InValueOrder(WeightModeRows));
}  // namespace

const TKindTable<TWeightModeKind> WeightModes = KindTable(WeightModeRows);

int TFuzzyPerceptron::Learn(const TLearningTask& task, const TNetSettings& settings, float& error) {
  return WeightModes[settings.Weights].Learn(*this, task, settings, error);
}
