#include "fuzzynet.h"

#include <string>

#include "fuzzynet_index.h"

const char* const kwParameters = "PARAMETERS";
const char* const kwVarNames = "VARNAMES";
const char* const kwUseSum = "USESUM";
const char* const kwUseMaximum = "USEMAXIMUM";
const char* const kwNames = "NAMES";
const char* const kwFuzzy = "FUZZY";
const char* const kwMatrix = "MATRIX";
const char* const kwWeights = "WEIGHTS";
const char* const kwEndNet = "END";

TFuzzyPerceptron::~TFuzzyPerceptron() = default;

void TFuzzyPerceptron::CreateVariableNames(int inputs, int classes) {
  InputNames.assign(1, std::string());
  ClassNames.assign(1, std::string());
  for (int i = 1; i <= inputs; i++) InputNames.push_back("Input_" + std::to_string(i));
  for (int k = 1; k <= classes; k++) ClassNames.push_back("Class_" + std::to_string(k));
}

void TFuzzyPerceptron::RulesChanged() { Index.reset(); }

void TFuzzyPerceptron::WeightsChanged() {
  if (Index) Index->WeightsValid = false;
}

TFuzzyPerceptron::TRuleIndex& TFuzzyPerceptron::CurrentIndex() {
  if (!Index || Index->Rules != NumberOfRules || Index->Inputs != NumberOfInputs() ||
      Index->Classes != NumberOfClasses()) {
    if (!Index) Index = std::make_unique<TRuleIndex>();
    Index->Build(*this, NumberOfRules);
    // Propagation writes entries 1..NumberOfRules and leaves every rule it
    // does not evaluate at 0.
    if (RuleActivation.Dimension() < NumberOfRules) RuleActivation = TVector<float>(NumberOfRules, 0.0f);
    if (MinInput.Dimension() < NumberOfRules) MinInput.ChangeDimension(NumberOfRules);
    for (int r = 0; r < RuleActivation.Dimension(); r++) RuleActivation.Data[r] = 0.0f;
  }
  return *Index;
}

void TFuzzyPerceptron::ReplaceRules(std::vector<TRule> rules) {
  Rules.clear();
  Rules.resize(1);
  Rules.reserve(rules.size() + 1);
  for (TRule& rule : rules) Rules.push_back(std::make_unique<TRule>(std::move(rule)));
  NumberOfRules = static_cast<int>(rules.size());
  RuleActivation = NumberOfRules >= 1 ? TVector<float>(NumberOfRules, 0.0f) : TVector<float>();
  MinInput = NumberOfRules >= 1 ? TVector<int>(NumberOfRules, 0) : TVector<int>();
  RulesChanged();
}
