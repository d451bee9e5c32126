// What the network makes of the patterns, for people and for programs:
// predictions as CSV, the confusion matrix of the last test, and the
// explanation of one pattern's decision.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <sstream>

#include "app.h"
#include "korvalin.h"
#include "outfile.h"

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + '"';
}

std::string Number(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", x);
  return text;
}

std::string Fraction(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", x);
  return text;
}

const std::string& NameOf(const std::vector<std::string>& names, int k) {
  static const std::string none;
  return k >= 1 && k <= static_cast<int>(names.size()) ? names[static_cast<std::size_t>(k - 1)] : none;
}

}  // namespace

bool TApplication::NetFitsPatterns(const std::string& what) {
  if (!Net || !Task) {
    std::ostringstream msg;
    msg << "Can't execute '" << what << "': ";
    if (!Net && !Task)
      msg << "No pattern file loaded and no net defined.\n";
    else if (!Net)
      msg << "No net defined.\n";
    else
      msg << "No pattern file loaded.\n";
    PrintMsg(msg, Error);
    return false;
  }
  if (Net->NumberOfInputs() != Task->NumberOfInputs || Net->NumberOfClasses() != Task->NumberOfClasses) {
    ShowMsg("Can't execute '" + what + "': pattern and net have incompatible dimensions.\n", Error);
    return false;
  }
  return true;
}

void TApplication::SavePredictions(const TCommand& cmd) {
  if (!NetFitsPatterns("save predictions")) return;
  const bool named = cmd.ArgCount() >= 2;
  const std::string name = FullPath(named ? cmd.Arg(2) : DefaultName(PredictionFile));
  const std::string display = RelPath(name);
  if (!named && !MayReplace(name, PredictionFile, true)) return;
  TOutputFile file;
  if (!file.Open(name)) {
    ShowMsg(file.ErrorMsg(CreateError), Error);
    return;
  }
  const TNetNames names = NamesOf(*Net);
  std::ostream& out = file.Stream();
  WriteHeader(out, PredictionFile);
  out << (Task->ClassInfo ? ",target" : "") << '\n';
  TestNet(*Net, *Task, [&](int p, const TOutcome& o) {
    const bool decided = o.Decision == TDecision::Decided;
    double sum = 0.0;
    for (float x : o.Outputs)
      if (x > 0.0f) sum += x;
    const double share = decided && sum > 0.0 ? o.Outputs[static_cast<std::size_t>(o.Best - 1)] / sum : 0.0;
    out << p << ',' << (decided ? CsvField(NameOf(names.Classes, o.Best)) : "") << ',' << Number(share) << ','
        << o.Rule << ',' << Number(o.Activation);
    if (Task->ClassInfo) out << ',' << CsvField(NameOf(names.Classes, Task->Patterns[p].Class));
    out << '\n';
  });
  if (!file.Commit()) {
    ShowMsg(file.ErrorMsg(WriteError), Error);
    return;
  }
  ShowMsg(" Predictions have been saved to " + display + ".\n", Information);
}

void TApplication::ShowConfusion() {
  if (!LastTest) {
    ShowMsg(" Can't show confusion. No test has been run ('run test').", Error);
    return;
  }
  const TTestRecord& test = *LastTest;
  if (test.Targets.empty() && !test.Computed.empty()) {
    ShowMsg(" Can't show confusion. The patterns of the last test have no class information.", Error);
    return;
  }
  const int classes = static_cast<int>(test.ClassNames.size());
  // counts[t][c]: target t (0-based), computed c (1-based, 0 undecided).
  std::vector<std::vector<long>> counts(static_cast<std::size_t>(classes), std::vector<long>(classes + 1, 0));
  std::vector<long> computedAs(static_cast<std::size_t>(classes) + 1, 0);
  long undecided = 0;
  for (std::size_t p = 0; p < test.Targets.size(); p++) {
    const int t = test.Targets[p], c = test.Computed[p];
    if (t < 1 || t > classes || c < 0 || c > classes) continue;
    counts[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(c)]++;
    computedAs[static_cast<std::size_t>(c)]++;
    if (c == 0) undecided++;
  }

  const std::string corner = "target \\ computed";
  std::size_t first = corner.size();
  for (const std::string& n : test.ClassNames) first = std::max(first, n.size());
  std::vector<std::size_t> width(static_cast<std::size_t>(classes) + 1, std::string("undecided").size());
  for (int c = 1; c <= classes; c++)
    width[static_cast<std::size_t>(c)] = std::max<std::size_t>(test.ClassNames[static_cast<std::size_t>(c - 1)].size(),
                                                                std::to_string(test.Targets.size()).size());
  std::ostringstream msg;
  msg << "[Confusion]\n"
      << "Test of " << RelPath(test.NetFile) << " on " << RelPath(test.PatternFile) << ", " << test.Targets.size()
      << " patterns:\n"
      << std::left << std::setw(static_cast<int>(first)) << corner << std::right;
  for (int c = 1; c <= classes; c++)
    msg << "  " << std::setw(static_cast<int>(width[static_cast<std::size_t>(c)]))
        << test.ClassNames[static_cast<std::size_t>(c - 1)];
  msg << "  " << "undecided" << '\n';
  for (int t = 1; t <= classes; t++) {
    msg << std::left << std::setw(static_cast<int>(first)) << test.ClassNames[static_cast<std::size_t>(t - 1)]
        << std::right;
    for (int c = 1; c <= classes; c++)
      msg << "  " << std::setw(static_cast<int>(width[static_cast<std::size_t>(c)]))
          << counts[static_cast<std::size_t>(t - 1)][static_cast<std::size_t>(c)];
    msg << "  " << std::setw(static_cast<int>(width[0])) << counts[static_cast<std::size_t>(t - 1)][0] << '\n';
  }

  // Recall over a class's patterns, precision over the patterns decided for
  // it; "-" where there are none. Balanced accuracy: the mean recall of the
  // classes that have patterns.
  msg << '\n' << std::left << std::setw(static_cast<int>(first)) << "class" << std::right << "  recall  precision\n";
  double recalls = 0.0;
  int present = 0;
  for (int k = 1; k <= classes; k++) {
    const std::vector<long>& row = counts[static_cast<std::size_t>(k - 1)];
    long patterns = 0;
    for (long n : row) patterns += n;
    const long hits = row[static_cast<std::size_t>(k)];
    const long decidedFor = computedAs[static_cast<std::size_t>(k)];
    msg << std::left << std::setw(static_cast<int>(first)) << test.ClassNames[static_cast<std::size_t>(k - 1)]
        << std::right << "  " << std::setw(6)
        << (patterns > 0 ? Fraction(static_cast<double>(hits) / patterns) : "-") << "  " << std::setw(9)
        << (decidedFor > 0 ? Fraction(static_cast<double>(hits) / decidedFor) : "-") << '\n';
    if (patterns > 0) {
      recalls += static_cast<double>(hits) / patterns;
      present++;
    }
  }
  msg << "Balanced accuracy : " << (present > 0 ? Fraction(recalls / present) : "-") << '\n'
      << "Undecided patterns: " << undecided << '\n';
  PrintMsg(msg, PagedText);
}

void TApplication::Explain(const TCommand& cmd) {
  if (!NetFitsPatterns("explain")) return;
  const long n = std::strtol(cmd.Arg(1), nullptr, 10);
  if (n < 1 || n > Task->NumberOfPatterns) {
    std::ostringstream msg;
    msg << "Can't explain pattern " << cmd.Arg(1) << ": the pattern set has " << Task->NumberOfPatterns
        << " patterns.\n";
    PrintMsg(msg, Error);
    return;
  }
  const TPattern pattern = Task->Patterns[static_cast<int>(n)];
  const int inputs = pattern.Input.Dimension();
  const float missing = Task->MissingValue;
  const auto isMissing = [missing](float x) { return missing != 0.0f && x == missing; };
  const TNetNames names = NamesOf(*Net);
  const std::vector<TFiring> firings = ::Explain(*Net, pattern.Input.data(), inputs, missing);
  const TOutcome o = Classify(*Net, pattern.Input.data(), inputs, missing);

  std::ostringstream msg;
  msg << "[Explanation]\n" << "Pattern " << n << " of " << RelPath(PatternFileName);
  if (Task->ClassInfo) msg << ", class " << NameOf(names.Classes, pattern.Class) << " (Class " << pattern.Class << ")";
  msg << "\nInputs:";
  for (int i = 1; i <= inputs; i++) {
    msg << (i > 1 ? ", " : " ") << NameOf(names.Inputs, i) << " = ";
    if (isMissing(pattern.Input[i]))
      msg << "missing";
    else
      msg << pattern.Input[i];
  }
  msg << '\n';
  if (firings.empty()) msg << "No rule fires.\n";
  for (const TFiring& f : firings) {
    msg << "Rule " << f.Rule << " (THEN " << NameOf(names.Classes, f.Class) << ") fires with activation "
        << f.Activation << ":\n";
    for (std::size_t j = 0; j < f.Sets.size(); j++) {
      if (f.Sets[j] < 1) continue;
      const std::vector<std::string>& sets = names.Sets[j];
      msg << " " << names.Inputs[j] << " IS " << NameOf(sets, f.Sets[j]) << ": " << f.Memberships[j];
      if (isMissing(pattern.Input[static_cast<int>(j) + 1])) msg << " (missing value)";
      msg << '\n';
    }
  }
  msg << "Class outputs:\n";
  for (std::size_t k = 0; k < o.Outputs.size(); k++) msg << " " << names.Classes[k] << ": " << o.Outputs[k] << '\n';
  msg << "Decision: ";
  if (o.Decision == TDecision::Decided)
    msg << NameOf(names.Classes, o.Best) << " (Class " << o.Best << "), by rule " << o.Rule << " (activation "
        << o.Activation << ")\n";
  else
    msg << "undecided, " << UndecidedReason(*Net, o) << '\n';
  PrintMsg(msg, PagedText);
}
