#include "modes.h"

#include "stop.h"

namespace {

void SelectBest(const std::vector<TRankedRule>& ranked, int maxRules, int, std::vector<int>& chosen) {
  for (int i = 0; i < maxRules && i < static_cast<int>(ranked.size()); i++) chosen.push_back(ranked[i].Rule);
}

// Below one rule per class every class in turn gets its best rule until
// maxRules are taken, so the network never ends up empty.
void SelectBestPerClass(const std::vector<TRankedRule>& ranked, int maxRules, int classes, std::vector<int>& chosen) {
  std::vector<char> taken(ranked.size() + 1, 0);
  int quota = classes >= 1 ? maxRules / classes : 0;
  if (quota < 1) quota = 1;
  for (int k = 1; k <= classes && static_cast<int>(chosen.size()) < maxRules; k++) {
    StopPoint();
    int count = 0;
    for (const TRankedRule& v : ranked) {
      if (count == quota || static_cast<int>(chosen.size()) == maxRules) break;
      if (v.Class == k && !taken[v.Rule]) {
        taken[v.Rule] = 1;
        chosen.push_back(v.Rule);
        count++;
      }
    }
  }
}

constexpr TRuleModeKind RuleModeRows[] = {
    {Simple, "Simple", nullptr},
    {Best, "Best", SelectBest},
    {BestPerClass, "BestPerClass", SelectBestPerClass},
};

constexpr TAggregationKind AggregationRows[] = {
    {WeightedSum, "WeightedSum", "USESUM", TModeFunctions::WeightedSumOutputs},
    {Maximum, "Maximum", "USEMAXIMUM", TModeFunctions::MaximumOutputs},
};

static_assert(InValueOrder(RuleModeRows) && InValueOrder(AggregationRows));

template <typename TKind>
const char* WordOf(const TKindTable<TKind>& table, int i) {
  return i >= 0 && static_cast<std::size_t>(i) < table.Size ? table.First[i].Name : nullptr;
}

}  // namespace

const TKindTable<TRuleModeKind> RuleModes = KindTable(RuleModeRows);
const TKindTable<TAggregationKind> Aggregations = KindTable(AggregationRows);

const char* RuleModeWord(int i) { return WordOf(RuleModes, i); }
const char* AggregationWord(int i) { return WordOf(Aggregations, i); }
const char* WeightModeWord(int i) { return WordOf(WeightModes, i); }

namespace korvalin {
std::ostream& operator<<(std::ostream& out, RuleMode mode) { return out << RuleModes[mode].Name; }
std::ostream& operator<<(std::ostream& out, Aggregation func) { return out << Aggregations[func].Name; }
std::ostream& operator<<(std::ostream& out, WeightMode mode) { return out << WeightModes[mode].Name; }
}  // namespace korvalin
