#include "fuzzynet.h"

void TFuzzyPerceptron::PrintPartitions(std::ostream& out, const char* header, bool exact) const {
  if (header != nullptr) out << header << '\n';
  const int inputs = NumberOfInputs();
  for (int i = 1; i <= inputs && i < static_cast<int>(Partitions.size()); i++) {
    WritePartition(out, Partitions[i], exact);
    out << '\n';
  }
}

void TFuzzyPerceptron::PrintRules(std::ostream& out, const char* header) const {
  if (header != nullptr) out << header << '\n';
  const int inputs = NumberOfInputs();
  auto name = [](const std::vector<std::string>& names, int i) -> const char* {
    return i >= 1 && i < static_cast<int>(names.size()) ? names[i].c_str() : "";
  };
  for (int r = 1; r <= NumberOfRules(); r++) {
    const TRule& rule = *Rules[r];
    out << "#Rule " << r << ":" << '\n' << "IF   ";
    for (int j = 1; j <= inputs; j++) {
      const int s = j <= rule.Antecedent.Dimension() ? rule.Antecedent[j] : 0;
      out << name(InputNames, j) << " IS ";
      if (s < 1)
        out << "don't_care";
      else if (j < static_cast<int>(Partitions.size()) && s <= Partitions[j].NumberOfSets)
        out << Partitions[j].Sets[s].Name;
      if (j < inputs) {
        out << " AND ";
        if (j % 2 == 0) out << '\n' << "     ";
      }
    }
    out << '\n' << "THEN " << name(ClassNames, rule.Class) << '\n' << '\n';
  }
}
