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

std::string Counted(int count, const char* unit) {
  return std::to_string(count) + ' ' + unit + (count == 1 ? "" : "s");
}

// The lines of the sections, each checked against the dimensions, and the
// messages that refuse a file whose lines disagree with them.
class TNetText {
 public:
  TNetText(std::istream& in, TLoadStatus& status, std::ostringstream& messages)
      : In(in), Status(status), Messages(messages) {}

  bool Refuse(const std::string& message) {
    Messages << message << '\n';
    Status = LoadError;
    return false;
  }
  bool Holds(const std::string& what, int found, int expected, const char* unit, const char* why) {
    return Refuse(what + " holds " + Counted(found, unit) + ", " + std::to_string(expected) + " expected (" + why +
                  ")!");
  }
  static std::string GoesOn(const std::string& section, int count, const char* unit, const char* why) {
    return section + " goes on after its " + Counted(count, unit) + " (" + why + ")!";
  }

  // Goes to the next line of a section that holds `expected` of them, of
  // which `found` were read: false when the stream failed, or, refusing
  // the file, when that line holds no numbers.
  bool NextLine(const std::string& section, int found, int expected, const char* unit, const char* why) {
    IgnoreComments(In);
    if (!In.good()) return false;
    return NumberFollows(In) || Holds(section, found, expected, unit, why);
  }

  // Refuses the partition of `input`, unless a message refused the file already.
  bool Invalid(int input) {
    return Status == LoadError ? false : Refuse("Invalid fuzzy partition of input " + std::to_string(input) + "!");
  }

  // The partition of `input` (of `inputs`): its set count on a line, its
  // range on the next, then a line per set. False when the file was refused
  // (and the stream maybe failed).
  bool ReadPartition(int input, int inputs, TPartition& partition) {
    partition.Sets.resize(1);
    if (!NextLine("Fuzzy set section", input - 1, inputs, "partition", "one per input")) return Invalid(input);
    const std::string of = "Fuzzy partition of input " + std::to_string(input);
    int count = 0;
    int values = ReadLine(In, 1, [&](int) { return ReadInt(In, count); });
    if (values > 0 && count < 1) In.setstate(std::ios::failbit);
    if (In.fail()) return Invalid(input);
    if (values != 1) return Holds(of + ": the set count line", values, 1, "value", "the number of sets");
    float range[2];
    values = ReadLine(In, 2, [&](int k) { return ReadFloat(In, range[k]); });
    if (In.fail()) return Invalid(input);
    if (values != 2) return Holds(of + ": the range line", values, 2, "value", "lower and upper bound");
    partition.Lower = range[0];
    partition.Upper = range[1];
    // a, b and c are taken in any order: learning over a range a few float
    // steps wide crosses them, and membership is defined for every order.
    for (int s = 1; s <= count; s++) {
      if (!NextLine(of, s - 1, count, "set", "its set count")) return Invalid(input);
      TFuzzySet set;
      const int numbers = ReadFuzzySet(In, set);
      if (numbers < 0) return Invalid(input);
      const std::string which = of + ": set " + std::to_string(s);
      if (numbers < 5) return Holds(which, numbers, 5, "value", "a, b, c and two shoulder flags");
      for (Boolean flag : {set.LeftShouldered, set.RightShouldered})
        if (flag != False && flag != True)
          return Refuse(which + " has the shoulder flag " + std::to_string(flag) + ", 0 or 1 expected!");
      partition.Sets.push_back(set);
      partition.NumberOfSets = s;
    }
    return true;
  }

 private:
  std::istream& In;
  TLoadStatus& Status;
  std::ostringstream& Messages;
};

}  // namespace

// Sections are read into local stores that grow only as their data
// arrives, and the network is assembled from them after END, once they are
// known to fit together: a header that declares far more than the file
// holds fails as a read error or a short line before it can claim memory.
// Each data line must hold what the dimensions give it, and a line of
// numbers after a section's last refuses the file, so that a count that
// disagrees with the data cannot shift it into another network.
TFuzzyPerceptron::TFuzzyPerceptron(std::istream& in, TLoadStatus& status, std::ostringstream& messages)
    : MaxRules(0), AggregationFunc(WeightedSum) {
  status = LoadOk;
  Rules.resize(1);
  Partitions.resize(1);
  TNetText text(in, status, messages);

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
  // What refuses a line of numbers after the section just read; a line
  // that follows the names directly is a name too many.
  std::string goesOn = TNetText::GoesOn("Net parameter section", 4, "value", "inputs, rules, classes, max. rules");
  bool namesGoOn = false;

  IgnoreComments(in);
  while (in.good()) {
    if (!goesOn.empty() && NumberFollows(in)) {
      text.Refuse(goesOn);
      break;
    }
    goesOn.clear();
    const bool afterNames = namesGoOn;
    namesGoOn = false;
    if (!GetLine(in, line, kKeywordLineMax)) break;
    StrTrim(line);
    if (line == kwVarNames) {
      haveNames = ReadNameLines(in, inputs, inputNames) && ReadNameLines(in, classes, classNames);
      namesGoOn = haveNames && !LineEnds(in);
    } else if (const TAggregationKind* kind = AggregationNamed(line)) {
      AggregationFunc = kind->Mode;
    } else if (line == kwNames) {
      // Accepted for older files; it carries no section.
    } else if (line == kwFuzzy) {
      partitions.assign(1, TPartition());
      for (int i = 1; i <= inputs; i++) {
        TPartition partition;
        if (!text.ReadPartition(i, inputs, partition)) break;
        partitions.push_back(std::move(partition));
      }
      haveFuzzy = true;
      goesOn = TNetText::GoesOn("Fuzzy set section", inputs, "partition", "one per input");
    } else if (line == kwMatrix) {
      matrix.clear();
      for (int i = 1; i <= inputs; i++) {
        if (!text.NextLine("Connection matrix", i - 1, inputs, "row", "one per input")) break;
        const int values = ReadLine(in, rules, [&](int) {
          int entry;
          if (!ReadInt(in, entry)) return false;
          matrix.push_back(entry);
          return true;
        });
        if (values < 0) break;
        if (values != rules) {
          text.Holds("Connection matrix row " + std::to_string(i), values, rules, "value", "one per rule");
          break;
        }
      }
      haveMatrix = true;
      goesOn = TNetText::GoesOn("Connection matrix", inputs, "row", "one per input");
    } else if (line == kwWeights) {
      weights.clear();
      for (int r = 1; r <= rules; r++) {
        if (!text.NextLine("Conclusion weight section", r - 1, rules, "line", "one per rule")) break;
        int cls = 0;
        float weight = 0.0f;
        const int values = ReadLine(in, 2, [&](int k) { return k == 0 ? ReadInt(in, cls) : ReadFloat(in, weight); });
        if (values < 0) break;
        if (values != 2) {
          text.Holds("Conclusion weight line " + std::to_string(r), values, 2, "value", "class and weight");
          break;
        }
        weights.emplace_back(cls, weight);
      }
      haveWeights = true;
      goesOn = TNetText::GoesOn("Conclusion weight section", rules, "line", "one per rule");
    } else if (line == kwEndNet) {
      break;
    } else if (afterNames) {
      text.Refuse(TNetText::GoesOn("Variable name section", inputs + classes, "name", "one per input and class"));
    } else {
      status = LoadWarning;
      messages << "Unkwown keyword \"" << line << "\" ignored." << '\n';
    }
    if (status == LoadError) break;
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
      if (entry < 0) {
        messages << "Rule " << r << " uses fuzzy set " << entry << " of input " << i << ", which does not exist!"
                 << '\n';
        status = LoadError;
        return;
      }
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
