#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "fuzzynet.h"
#include "fuzzynet_index.h"
#include "numread.h"

namespace {

constexpr std::size_t kKeywordLineMax = 79;

// Reads `count` trimmed name lines; false when the stream failed on the way.
bool ReadNameLines(std::istream& in, int count, std::vector<std::string>& names) {
  names.assign(1, std::string());
  std::string line;
  for (int i = 1; i <= count; i++) {
    if (!GetLine(in, line, MaxNetNameLength)) return false;
    StrTrim(line);
    names.push_back(line);
  }
  return true;
}

// The aggregation whose line in the file is `line`; null for none.
const TAggregationKind* AggregationNamed(const std::string& line) {
  for (const TAggregationKind& kind : Aggregations)
    if (line == kind.Keyword) return &kind;
  return nullptr;
}

}  // namespace

// Sections are read into local stores that grow only as their data
// arrives, and the network is assembled from them after END, once they are
// known to fit together: a header that declares far more than the file
// holds fails as a read error before it can claim memory.
TFuzzyPerceptron::TFuzzyPerceptron(std::istream& in, TLoadStatus& status, std::ostringstream& messages)
    : MaxRules(0), AggregationFunc(WeightedSum) {
  status = LoadOk;
  Rules.resize(1);
  Partitions.resize(1);

  std::string line;
  IgnoreComments(in);
  if (!GetLine(in, line, kKeywordLineMax)) line.clear();
  StrTrim(line);
  if (line != kwParameters) {
    messages << "Net parameter section missing!" << '\n';
    status = LoadError;
    return;
  }
  int inputs = 0, rules = 0, classes = 0, maxRules = 0;
  if (ReadInt(in, inputs) && ReadInt(in, rules) && ReadInt(in, classes)) ReadInt(in, maxRules);
  const bool tooLarge = inputs > MaxNetInputs || classes > MaxNetClasses;
  if (inputs < 1 || rules < 1 || classes < 1 || tooLarge) {
    messages << "No or invalid net parameters specified!" << '\n';
    status = LoadError;
    // Leaves the stream at the offending count so that the caller names its line.
    if (tooLarge) in.setstate(std::ios::failbit);
    return;
  }
  MaxRules = maxRules;

  std::vector<std::string> inputNames, classNames;
  bool haveNames = false;
  std::vector<TPartition> partitions;
  bool haveFuzzy = false;
  std::vector<int> matrix;  // row by row: input 1's entries for rules 1..rules first
  bool haveMatrix = false;
  std::vector<std::pair<int, float>> weights;
  bool haveWeights = false;
  const long long matrixSize = static_cast<long long>(inputs) * rules;

  IgnoreComments(in);
  while (in.good()) {
    if (!GetLine(in, line, kKeywordLineMax)) break;
    StrTrim(line);
    if (line == kwVarNames) {
      haveNames = ReadNameLines(in, inputs, inputNames) && ReadNameLines(in, classes, classNames);
    } else if (const TAggregationKind* kind = AggregationNamed(line)) {
      AggregationFunc = kind->Mode;
    } else if (line == kwNames) {
      // Accepted for older files; it carries no section.
    } else if (line == kwFuzzy) {
      partitions.assign(1, TPartition());
      for (int i = 1; i <= inputs && in.good(); i++) {
        IgnoreComments(in);
        TPartition partition(in);
        if (in.fail()) {
          messages << "Invalid fuzzy partition of input " << i << "!" << '\n';
          status = LoadError;
          break;
        }
        partitions.push_back(std::move(partition));
      }
      haveFuzzy = true;
    } else if (line == kwMatrix) {
      matrix.clear();
      int entry;
      for (long long e = 0; e < matrixSize && ReadInt(in, entry); e++) matrix.push_back(entry);
      haveMatrix = true;
    } else if (line == kwWeights) {
      weights.clear();
      int cls;
      float weight;
      for (int r = 1; r <= rules && ReadInt(in, cls) && ReadFloat(in, weight); r++) weights.emplace_back(cls, weight);
      haveWeights = true;
    } else if (line == kwEndNet) {
      break;
    } else {
      status = LoadWarning;
      messages << "Unkwown keyword \"" << line << "\" ignored." << '\n';
    }
    IgnoreComments(in);
  }

  // A failed stream is the caller's read error; the sections may be incomplete.
  if (in.fail() || status == LoadError) return;

  const char* missing = !haveFuzzy ? "Fuzzy set section missing!"
                        : !haveMatrix ? "Connection matrix section missing!"
                        : !haveWeights ? "Conclusion weight section missing!"
                                       : nullptr;
  if (missing != nullptr) {
    messages << missing << '\n';
    status = LoadError;
    return;
  }
  // Only a section cut short by the end of the stream can be incomplete here.
  if (static_cast<int>(partitions.size()) != inputs + 1 || static_cast<long long>(matrix.size()) != matrixSize ||
      static_cast<int>(weights.size()) != rules) {
    in.setstate(std::ios::failbit);
    return;
  }
  for (int i = 1; i <= inputs; i++)
    for (int r = 1; r <= rules; r++) {
      const int entry = matrix[static_cast<std::size_t>(i - 1) * rules + (r - 1)];
      if (entry > partitions[i].NumberOfSets) {
        messages << "Rule " << r << " uses fuzzy set " << entry << " of input " << i << ", which has only "
                 << partitions[i].NumberOfSets << " sets!" << '\n';
        status = LoadError;
        return;
      }
    }
  for (int r = 1; r <= rules; r++) {
    const int cls = weights[r - 1].first;
    if (cls < 1 || cls > classes) {
      messages << "Rule " << r << " points to class " << cls << ", which does not exist!" << '\n';
      status = LoadError;
      return;
    }
  }

  InputActivation = TVector<float>(inputs, 0.0f);
  OutputActivation = TVector<float>(classes, 0.0f);
  if (haveNames) {
    InputNames = std::move(inputNames);
    ClassNames = std::move(classNames);
  } else {
    CreateVariableNames(inputs, classes);
  }
  Partitions = std::move(partitions);
  Rules.reserve(static_cast<std::size_t>(rules) + 1);
  Weights.reserve(static_cast<std::size_t>(rules));
  for (int r = 1; r <= rules; r++) {
    auto rule = std::make_unique<TRule>();
    rule->Antecedent = TVector<int>(inputs, 0);
    for (int i = 1; i <= inputs; i++) rule->Antecedent.Data[i - 1] = matrix[static_cast<std::size_t>(i - 1) * rules + (r - 1)];
    rule->Class = weights[r - 1].first;
    Rules.push_back(std::move(rule));
    Weights.push_back(weights[r - 1].second);
  }
  RuleActivation = TVector<float>(rules, 0.0f);
  MinInput = TVector<int>(rules, 0);
}

// Whether every number the text form holds can be read back: a weight or
// set that learning drove to infinity would be written as "inf" and make
// the saved file unreadable.
bool TFuzzyPerceptron::Writable() const {
  if (NumberOfRules() < 1) return false;
  for (float w : Weights)
    if (!std::isfinite(w)) return false;
  for (std::size_t i = 1; i < Partitions.size(); i++) {
    const TPartition& p = Partitions[i];
    if (!std::isfinite(p.Lower) || !std::isfinite(p.Upper)) return false;
    for (int s = 1; s <= p.NumberOfSets; s++)
      if (!std::isfinite(p.Sets[s].a) || !std::isfinite(p.Sets[s].b) || !std::isfinite(p.Sets[s].c)) return false;
  }
  return true;
}

void TFuzzyPerceptron::Write(std::ostream& out, bool exact) const {
  if (!Writable()) {
    out.setstate(std::ios::failbit);
    return;
  }
  const int inputs = NumberOfInputs();
  const int classes = NumberOfClasses();
  const int rules = NumberOfRules();
  auto name = [](const std::vector<std::string>& names, int i) -> const std::string& {
    static const std::string none;
    return i < static_cast<int>(names.size()) ? names[i] : none;
  };

  out.setf(std::ios::fixed, std::ios::floatfield);
  out << "% This are the network parameters:" << '\n'
      << "% <Input dimension> <number of rules> <output dimension> <max. rules>" << '\n'
      << kwParameters << '\n'
      << inputs << '\t' << rules << '\t' << classes << '\t' << MaxRules << '\n'
      << '\n'
      << kwVarNames << '\n';
  for (int i = 1; i <= inputs; i++) out << name(InputNames, i) << '\n';
  for (int k = 1; k <= classes; k++) out << name(ClassNames, k) << '\n';
  out << '\n'
      << "% The aggregation function to be used:" << '\n'
      << Aggregations[AggregationFunc].Keyword << '\n'
      << '\n'
      << "% This are the parameters of the (triangular) fuzzy sets:" << '\n'
      << "% <a>   <b>   <c>    <LeftShouldered>  <RightShouldered>  [name]" << '\n';
  PrintPartitions(out, kwFuzzy, exact);
  out << "% This is the connection matrix:" << '\n' << kwMatrix << '\n';
  for (int i = 1; i <= inputs; i++) {
    for (int r = 1; r <= rules; r++) out << Rules[r]->Antecedent[i] << '\t';
    out << '\n';
  }
  out << '\n'
      << "% This are the conclusion weights:" << '\n'
      << "% For each rule: <output class> <conclusion weight>" << '\n'
      << kwWeights << '\n';
  char text[96];
  for (int r = 1; r <= rules; r++) {
    const int cls = Rules[r]->Class;
    const float weight = Weights[r - 1];
    const int n = exact ? std::snprintf(text, sizeof text, "%4i   %s\n", cls, ExactText(weight).c_str())
                        : std::snprintf(text, sizeof text, "%4i   %.6f\n", cls, static_cast<double>(weight));
    if (n < 0 || static_cast<std::size_t>(n) >= sizeof text) {
      out.setstate(std::ios::failbit);
      return;
    }
    out.write(text, n);
  }
  out << '\n' << kwEndNet << '\n';
}
