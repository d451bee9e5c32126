// The output files: one row per kind, the headers written from the rows and
// the guard that reads them back.
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "app.h"

namespace {

// In the order of TFileKind. A header's first "%s" stands for VersionString
// and the file is recognised by the end of that line; a header without, a
// table's first line, is recognised at the start of the file.
const TOutputKind Kinds[] = {
    {".net", false, "#\n# %s network definition file\n#\n", "a network file", "net",
     &TApplication::SaveNetRulesOrConfig},
    {".rul", false, "#\n# %s rule definition file\n#\n", "a rule file", "rules", &TApplication::SaveNetRulesOrConfig},
    {".cfg", false,
     "# %s configuration file\n"
     "# Note: Blank lines and lines beginning with '#' or '%'\n"
     "#       allowed and ignored.\n"
     "\n",
     "a configuration file", "config", &TApplication::SaveNetRulesOrConfig},
    {".log", false, "#\n# %s net creation log file\n#\n", "a net creation log", nullptr, nullptr},
    {".res", false, "#\n# %s test result file\n#\n", "a test result file", nullptr, nullptr},
    {".err", false, "#\n# %s error file\n#\n", "an error curve file", nullptr, nullptr},
    {".csv", true, "pattern,class,share,rule,activation", "predictions", "predictions", &TApplication::SavePredictions},
};
static_assert(sizeof Kinds / sizeof Kinds[0] == TApplication::PredictionFile + 1, "a row for every kind");

// The header's line that holds the version, from the version on: the words
// that end that line (" network definition file"); empty for a table.
std::string HeaderWords(const TOutputKind& kind) {
  const std::string header = kind.Header;
  const std::size_t at = header.find("%s");
  if (at == std::string::npos) return "";
  return header.substr(at + 2, header.find('\n', at) - at - 2);
}

// Whether `text`, the start of a file, begins as a file of `kind`: within
// its first two lines "# <program and version> <words>", or for a table its
// header as the start of its first line.
bool HasHeader(const std::string& text, const TOutputKind& kind) {
  std::istringstream in(text);
  std::string line;
  const std::string end = HeaderWords(kind);
  if (end.empty()) return std::getline(in, line) && line.compare(0, std::strlen(kind.Header), kind.Header) == 0;
  for (int i = 0; i < 2 && std::getline(in, line); i++) {
    const std::size_t n = end.size();
    if (line.compare(0, 2, "# ") == 0 && line.size() > n && line.compare(line.size() - n, n, end) == 0) return true;
  }
  return false;
}

}  // namespace

const TOutputKind& OutputKind(TApplication::TFileKind kind) { return Kinds[kind]; }

std::vector<const char*> SaveWords() {
  std::vector<const char*> words;
  for (const TOutputKind& kind : Kinds)
    if (kind.SaveWord != nullptr) words.push_back(kind.SaveWord);
  return words;
}

void TApplication::Save(const TCommand& cmd) {
  const std::string word = cmd.Arg(1);
  for (const TOutputKind& kind : Kinds)
    if (kind.SaveWord != nullptr && word == kind.SaveWord) (this->*kind.Save)(cmd);
}

std::string TApplication::DefaultName(TFileKind kind) const {
  return ReplaceExt(Kinds[kind].AfterPattern ? PatternFileName : NetFileName, Kinds[kind].Ext);
}

void TApplication::WriteHeader(std::ostream& out, TFileKind kind) const {
  const std::string header = Kinds[kind].Header;
  const std::size_t at = header.find("%s");
  if (at == std::string::npos) {
    out << header;
    return;
  }
  out << header.substr(0, at) << VersionString << header.substr(at + 2);
}

void TApplication::NoteFile(const std::string& name, TFileKind kind) { KnownFiles.insert({kind, name}); }

bool TApplication::MayReplace(const std::string& name, TFileKind kind, bool nameable) {
  struct stat info;
  if (stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) return true;
  if (KnownFiles.count({kind, name}) != 0) return true;
  std::ifstream file(name, std::ios::binary);
  if (!file) return true;  // what cannot be read is left to the write to find out
  // A configuration written by hand is recognised by its lines, which are
  // few: the first 64 KB hold them.
  std::string start(kind == ConfigFile ? 1 << 16 : 512, '\0');
  file.read(&start[0], static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<std::size_t>(file.gcount()));
  const TOutputKind& row = Kinds[kind];
  if (HasHeader(start, row)) return true;
  if (kind == ConfigFile) {
    std::istringstream lines(start);
    TLearningParameters scratch;
    if (ReadParameterLines(lines, scratch, [](const std::string&) {}) > 0) return true;
  }
  std::ostringstream msg;
  if (HeaderWords(row).empty()) {
    // A table is written by its save command alone, which can name the file.
    msg << "Can't save " << row.Name << ": " << RelPath(name) << " exists and holds no " << row.Name << ".\n"
        << " Name the file to write: 'save " << row.Name << " <file>'.\n";
  } else {
    msg << "Won't replace '" << RelPath(name) << "': it is not " << row.Name << ".";
    if (nameable) msg << "\n Name the file in the command to replace it.";
  }
  PrintMsg(msg, Error);
  return false;
}

void TApplication::WriteLogHeader(std::ostream& out, int maxRules) const {
  WriteHeader(out, LogFile);
  out << "# Pattern used: " << PatternFileName << '\n'
      << "# Maximum number of rules to create: " << maxRules << '\n'
      << "# Rule creation/evaluation mode: " << Parameters.Net.RuleMode << '\n'
      << "#\n";
}

void TApplication::WriteResultHeader(std::ostream& out) const {
  WriteHeader(out, ResultFile);
  out << "# Pattern tested: " << PatternFileName << '\n'
      << "# Network used  : " << NetFileName << '\n'
      << "#\n";
}

void TApplication::WriteErrorHeader(std::ostream& out) const {
  WriteHeader(out, ErrorCurveFile);
  out << "# Network trained : " << NetFileName << '\n'
      << "# Pattern used    : " << PatternFileName << '\n'
      << "#\n"
      << "# This file contains the error values and number of misclassifications \n"
      << "# the network above made while be trained with the specified pattern.\n"
      << "# To draw the error curve, use GNUPLOT for example.\n"
      << "#\n"
      << "# Format of each line: \n"
      << "#   <number of epoch> <total error> <number of misclass.>" << " <misclass. in percent>\n"
      << "#\n";
}
