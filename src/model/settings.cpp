#include "korvalin/settings.h"

#include <cfloat>
#include <cmath>
#include <string>
#include <type_traits>

#include "modes.h"

namespace korvalin {
namespace {

using N = NetSettings;

template <typename T>
struct TMember;
template <typename T>
struct TMember<T N::*> {
  using Type = T;
};

template <auto M>
double Get(const N& s) {
  using T = typename TMember<decltype(M)>::Type;
  if constexpr (std::is_enum_v<T>)
    return static_cast<int>(s.*M);
  else
    return static_cast<double>(s.*M);
}

template <auto M>
void Set(N& s, double value) {
  using T = typename TMember<decltype(M)>::Type;
  if constexpr (std::is_enum_v<T>)
    s.*M = static_cast<T>(static_cast<int>(value));
  else if constexpr (std::is_same_v<T, bool>)
    s.*M = value != 0.0;
  else
    s.*M = static_cast<T>(value);
}

template <auto M>
constexpr SettingField Field() {
  return {Get<M>, Set<M>};
}

constexpr SettingType Int = SettingType::Int, Float = SettingType::Float, Boolean = SettingType::Boolean,
                      Choice = SettingType::Choice;
constexpr int Low = INT_MIN, High = INT_MAX;

const Setting Rows[] = {
    {"MaxEpoch", "max_epoch", Int, 100, Low, High, nullptr, "# General learning parameters",
     "MaxEpoch = <whole number>", "Most learning epochs; at least one always runs", Field<&N::MaxEpoch>()},
    {"Stop_At_Percent", "stop_at_percent", Float, 0, 0, 0, nullptr, nullptr, "Stop_At_Percent = <number>",
     "Stop once at most this percentage of the patterns is misclassified", Field<&N::StopAtPercent>()},
    {"Stop_At_Misclassified", "stop_at_misclassified", Int, 0, Low, High, nullptr, nullptr,
     "Stop_At_Misclassified = <whole number>", "Stop once at most this many patterns are misclassified",
     Field<&N::StopAtMisclassified>()},
    {"Update_Cycle", nullptr, Int, 5, Low, High, nullptr, "# Update cycle for screen/log update",
     "Update_Cycle = <whole number>", "Epochs between the status lines of learning; 0 or less: none", {}},
    {"CreateLogFile", nullptr, Boolean, 1, 0, 0, nullptr, "# Create a logfile during net creation?",
     "CreateLogFile = Yes | No", "Write the log of net creation", {}},
    {"sigma", "sigma", Float, 0.01, 0, 0, nullptr,
     "# Learning rates\n"
     "# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):",
     "sigma = <number>", "Learning rate of the conclusion weights", Field<&N::Sigma>()},
    {"sigma_a", "sigma_a", Float, 0.01, 0, 0, nullptr, nullptr, "sigma_a = <number>",
     "Learning rate of the left feet a of the fuzzy sets", Field<&N::SigmaA>()},
    {"sigma_b", "sigma_b", Float, 0.01, 0, 0, nullptr, nullptr, "sigma_b = <number>",
     "Learning rate of the peaks b of the fuzzy sets", Field<&N::SigmaB>()},
    {"sigma_c", "sigma_c", Float, 0.01, 0, 0, nullptr, nullptr, "sigma_c = <number>",
     "Learning rate of the right feet c of the fuzzy sets", Field<&N::SigmaC>()},
    // Three sets give every input the labels small, medium and large. A
    // partition holds 1 to 7 sets (1: one dont_care set).
    {"FSetsPerVariable", "fuzzy_sets", Int, 3, 1, 7, nullptr, "# Fuzzy sets per input variable (2 <= x <= 7)",
     "FSetsPerVariable = <whole number from 2 to 7>",
     "Fuzzy sets of every input; a count outside 1 to 7 gives the nearest, 0 or less one dont_care set",
     Field<&N::FSetsPerVariable>()},
    {"FsIntersect_0.5", "fs_intersect", Boolean, 0, 0, 0, nullptr, "# Fuzzy sets must intersect at 0.5 ?",
     "FsIntersect_0.5 = Yes | No", "Keep neighbouring fuzzy sets crossing at 0.5 while learning",
     Field<&N::FsIntersect>()},
    {"Learning_Weights", "weight_mode", Choice, 0, 0, 0, WeightModeWord,
     "# Learning conclusion weights\n"
     "# Possible values are: fixed, normalized or free",
     "Learning_Weights = fixed | normalized | free", "How conclusion weights learn", Field<&N::Weights>()},
    {"Learning_Rules", "rule_mode", Choice, 0, 0, 0, RuleModeWord,
     "# Learning rules\n"
     "# Possible values are: simple, best or bestperclass",
     "Learning_Rules = simple | best | bestperclass", "How rules are selected", Field<&N::RuleMode>()},
    {"AggregationFunc", "aggregation", Choice, 0, 0, 0, AggregationWord,
     "# The aggregation function to be used (weightedsum or maximum)", "AggregationFunc = WeightedSum | Maximum",
     "How a class output combines its rules", Field<&N::Aggregation>()},
};

const SettingTable Table = {Rows, sizeof Rows / sizeof Rows[0]};

}  // namespace

const SettingTable& AllSettings() { return Table; }

NetSettings::NetSettings() {
  for (const Setting& row : Table)
    if (row.Field.Set != nullptr) row.Field.Set(*this, row.Default);
}

bool IsValue(const Setting& row, double value) {
  switch (row.Type) {
    case Int: return value == std::floor(value) && value >= INT_MIN && value <= INT_MAX;
    case Float: return std::fabs(value) <= FLT_MAX;
    case Boolean: return value == 0.0 || value == 1.0;
    case Choice: return value == std::floor(value) && value >= 0.0 && value < INT_MAX && row.Word(static_cast<int>(value));
  }
  return false;
}

const char* CheckSettings(const NetSettings& settings) {
  static const std::vector<std::string> reasons = [] {
    std::vector<std::string> texts;
    for (const Setting& row : Table) texts.push_back("invalid value of " + std::string(row.Name));
    return texts;
  }();
  for (std::size_t i = 0; i < Table.Size; i++) {
    const Setting& row = Table.First[i];
    if (row.Field.Get != nullptr && !IsValue(row, row.Field.Get(settings))) return reasons[i].c_str();
  }
  return nullptr;
}

}  // namespace korvalin
