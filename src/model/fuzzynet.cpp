#include "fuzzynet.h"

#include <string>

#include "fuzzynet_index.h"

const char* const kwParameters = "PARAMETERS";
const char* const kwVarNames = "VARNAMES";
const char* const kwNames = "NAMES";
const char* const kwFuzzy = "FUZZY";
const char* const kwMatrix = "MATRIX";
const char* const kwWeights = "WEIGHTS";
const char* const kwEndNet = "END";

TFuzzyPerceptron::~TFuzzyPerceptron() = default;

namespace {
const std::string& NameAt(const std::vector<std::string>& names, int i) {
  static const std::string none;
  return i >= 1 && i < static_cast<int>(names.size()) ? names[i] : none;
}
}  // namespace

const std::string& TFuzzyPerceptron::InputName(int input) const { return NameAt(InputNames, input); }

const std::string& TFuzzyPerceptron::ClassName(int cls) const { return NameAt(ClassNames, cls); }

TBound TFuzzyPerceptron::InputRange(int input) const {
  if (input < 1 || input >= static_cast<int>(Partitions.size())) return TBound{0.0f, 0.0f};
  return TBound{Partitions[input].Lower, Partitions[input].Upper};
}

void TFuzzyPerceptron::CreateVariableNames(int inputs, int classes) {
  InputNames.assign(1, std::string());
  ClassNames.assign(1, std::string());
  for (int i = 1; i <= inputs; i++) InputNames.push_back("Input_" + std::to_string(i));
  for (int k = 1; k <= classes; k++) ClassNames.push_back("Class_" + std::to_string(k));
}

void TFuzzyPerceptron::SetClass(int rule, int cls) {
  Rules[rule]->Class = cls;
  if (!Index) return;
  Index->SetClass(rule, cls);
  WeightsChanged();
}

void TFuzzyPerceptron::SetWeight(int rule, float weight) {
  Weights[rule - 1] = weight;
  if (!Index) return;
  Index->NoteWeight(weight);
  Index->DropPasses();
  WeightsChanged();
}

void TFuzzyPerceptron::SetAntecedent(int rule, int input, int set) {
  Rules[rule]->Antecedent[input] = set;
  Index.reset();
}

// Everything is made before anything is replaced: a failed allocation
// leaves the network as it was.
void TFuzzyPerceptron::ReplaceRules(std::vector<TRule> rules, std::vector<float> weights) {
  weights.resize(rules.size(), 0.0f);
  std::vector<std::unique_ptr<TRule>> fresh(1);
  fresh.reserve(rules.size() + 1);
  for (TRule& rule : rules) fresh.push_back(std::make_unique<TRule>(std::move(rule)));
  const int count = static_cast<int>(rules.size());
  TVector<float> activation = count >= 1 ? TVector<float>(count, 0.0f) : TVector<float>();
  TVector<int> minInput = count >= 1 ? TVector<int>(count, 0) : TVector<int>();
  Rules.swap(fresh);
  Weights.swap(weights);
  RuleActivation = std::move(activation);
  MinInput = std::move(minInput);
  Index.reset();
}

// The index depends on the partitions' set counts only, which stay; what
// was prepared from the memberships does not.
void TFuzzyPerceptron::SetFuzzySet(int input, int set, const TFuzzySet& value) {
  Partitions[input].Sets[set] = value;
  if (Index) Index->DropPasses();
}

void TFuzzyPerceptron::WeightsChanged() {
  if (Index) Index->WeightsValid = false;
}

void TFuzzyPerceptron::RebuildIndex() {
  if (!Index) Index = std::make_unique<TRuleIndex>();
  Index->Build(*this, NumberOfRules());
  // Propagation writes the entries of the rules it evaluates and leaves
  // every other rule at 0.
  if (RuleActivation.Dimension() < NumberOfRules()) RuleActivation = TVector<float>(NumberOfRules(), 0.0f);
  if (MinInput.Dimension() < NumberOfRules()) MinInput.ChangeDimension(NumberOfRules());
  for (int r = 0; r < RuleActivation.Dimension(); r++) RuleActivation.Data[r] = 0.0f;
}

TFuzzyPerceptron::TRuleIndex& TFuzzyPerceptron::CurrentIndex() {
  if (!Index) RebuildIndex();
  return *Index;
}

const std::vector<int>& TFuzzyPerceptron::FiredRules() const { return Index->Fired; }
