// korvalin-csv: turns a table with a header row into a pattern file, and
// splits a pattern file into stratified folds for cross-validation.
#include <iostream>
#include <string>
#include <vector>

#include "csv_convert.h"
#include "folds_split.h"
#include "infile.h"
#include "stdutils.h"

namespace {

const char* const Usage =
    "usage: korvalin-csv [options] INPUT.csv [OUTPUT.pat]\n"
    "       korvalin-csv --folds K [--seed S] [--prefix PREFIX] INPUT.pat\n"
    "\n"
    "Converts a table of comma, semicolon or tab separated values with a header\n"
    "row into a pattern file (written to standard output without OUTPUT or with\n"
    "'-'; INPUT '-' reads standard input). Empty cells and NA, ? and NaN become\n"
    "missing values. Class labels of any text become classes in order of first\n"
    "appearance. With ';' or tab as delimiter, a decimal comma is accepted.\n"
    "\n"
    "  -d, --delimiter C    ',', ';' or 'tab' (default: detected from the header)\n"
    "  -c, --class COLUMN   class column, by header name or 1-based index\n"
    "                       (default: the last column)\n"
    "  -s, --skip COLUMNS   leave these columns out (names or indices, comma-separated)\n"
    "  -C, --classes NAMES  the classes, in this order (comma-separated); every\n"
    "                       label must be one of them\n"
    "  -n, --noclass        the patterns have no classes: every column is an input\n"
    "                       (except a column given with --class, which is left out);\n"
    "                       needs --classes naming the network's classes\n"
    "  -N, --name TEXT      name of the pattern set (default: the input's file name)\n"
    "\n"
    "  -k, --folds K        split the pattern file INPUT into K folds, each class\n"
    "                       dealt evenly over them, and write PREFIX-train-I.pat and\n"
    "                       PREFIX-test-I.pat for I = 1..K\n"
    "      --seed S         seed of the shuffle before dealing (default 1); the same\n"
    "                       file and seed always give the same folds\n"
    "      --prefix PREFIX  default: INPUT without its extension\n"
    "  -h, --help           show this text\n";

int UsageError(const std::string& message) {
  std::cerr << "korvalin-csv: " << message << "\n" << "Try 'korvalin-csv --help'.\n";
  return 2;
}

std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = list.find(',', start);
    items.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

bool ParseCount(const std::string& text, long low, long high, long& value) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stol(text);
  return value >= low && value <= high;
}

std::string BaseName(const std::string& path, bool withExtension) {
  std::string dir, name, ext;
  SplitPath(path, dir, name, ext);
  return withExtension ? name + ext : name;
}

int Convert(const std::string& input, const std::string& output, TCsvOptions options) {
  TInputFile file;
  std::istream* in = &std::cin;
  if (input != "-") {
    if (!file.Open(input)) {
      std::cerr << "korvalin-csv: " << FileErrorMsg(input, OpenError) << "\n";
      return 1;
    }
    in = &file;
  }
  const std::string shownInput = input == "-" ? "standard input" : input;
  if (options.Name.empty()) options.Name = input == "-" ? "converted table" : BaseName(input, false);

  TPatternTable table;
  std::vector<std::string> errors, notes;
  bool ok = ConvertCsv(*in, options, table, errors, notes);
  if (file.ReadFailed() || in->bad()) {
    std::cerr << "korvalin-csv: " << (file.ReadFailed() ? file.ReadErrorMsg() : FileErrorMsg(shownInput, ReadError))
              << "\n";
    return 1;
  }
  if (!ok) {
    for (const std::string& error : errors) std::cerr << "korvalin-csv: " << shownInput << ": " << error << "\n";
    return 1;
  }

  std::vector<std::string> comments = {"converted by korvalin-csv from " + (input == "-" ? shownInput : BaseName(input, true))};
  if (output.empty() || output == "-") {
    if (!WritePatternFile(std::cout, table, comments)) {
      std::cerr << "korvalin-csv: " << FileErrorMsg("standard output", WriteError) << "\n";
      return 1;
    }
  } else {
    std::string error;
    if (!SavePatternFile(output, table, comments, error)) {
      std::cerr << "korvalin-csv: " << error << "\n";
      return 1;
    }
  }
  for (const std::string& note : notes) std::cerr << "korvalin-csv: note: " << note << "\n";
  std::cerr << "korvalin-csv: " << table.NumberOfPatterns() << " patterns, " << table.NumberOfInputs
            << " inputs, " << table.NumberOfClasses << " classes";
  if (!table.ClassNames.empty()) {
    std::cerr << " (";
    for (std::size_t k = 0; k < table.ClassNames.size(); k++)
      std::cerr << (k > 0 ? ", " : "") << table.ClassNames[k];
    std::cerr << ")";
  }
  if (!table.ClassInfo) std::cerr << ", no class information";
  std::cerr << "\n";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TCsvOptions options;
  long folds = 0;
  unsigned long seed = 1;
  std::string prefix;
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (int i = 1; i < argc; i++) {
    std::string arg = argv[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      std::cout << Usage;
      return 0;
    }
    if (arg == "-n" || arg == "--noclass") {
      options.NoClass = true;
      continue;
    }
    // Every other option takes a value, as the next argument or after '='.
    std::string value;
    std::size_t equals = arg.find('=');
    if (arg.compare(0, 2, "--") == 0 && equals != std::string::npos) {
      value = arg.substr(equals + 1);
      arg.erase(equals);
    } else if (i + 1 < argc) {
      value = argv[++i];
    } else {
      return UsageError("option '" + arg + "' needs a value");
    }
    if (arg == "-d" || arg == "--delimiter") {
      if (value == "tab" || value == "\\t" || value == "\t") options.Delimiter = '\t';
      else if (value == "," || value == ";") options.Delimiter = value[0];
      else return UsageError("delimiter '" + value + "' is not one of ',', ';' or 'tab'");
    } else if (arg == "-c" || arg == "--class") {
      options.ClassColumn = value;
    } else if (arg == "-s" || arg == "--skip") {
      for (const std::string& column : SplitList(value)) options.Skip.push_back(column);
    } else if (arg == "-C" || arg == "--classes") {
      for (const std::string& name : SplitList(value)) options.Classes.push_back(name);
    } else if (arg == "-N" || arg == "--name") {
      options.Name = value;
    } else if (arg == "-k" || arg == "--folds") {
      if (!ParseCount(value, 2, 1000000, folds)) return UsageError("the number of folds must be at least 2");
    } else if (arg == "--seed") {
      long s = 0;
      if (!ParseCount(value, 0, 4294967295L, s)) return UsageError("the seed must be a whole number from 0 to 4294967295");
      seed = static_cast<unsigned long>(s);
    } else if (arg == "--prefix") {
      prefix = value;
    } else {
      return UsageError("unknown option '" + arg + "'");
    }
  }

  if (folds > 0) {
    if (files.size() != 1) return UsageError("--folds needs exactly one pattern file");
    if (prefix.empty()) {
      std::string dir, name, ext;
      SplitPath(files[0], dir, name, ext);
      prefix = dir + name;
    }
    return SplitIntoFolds(files[0], static_cast<int>(folds), seed, prefix);
  }
  if (files.empty() || files.size() > 2) return UsageError("give one input file and at most one output file");
  return Convert(files[0], files.size() == 2 ? files[1] : std::string(), options);
}
