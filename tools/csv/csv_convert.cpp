#include "csv_convert.h"

#include <map>
#include <sstream>

#include "cell_value.h"
#include "csv_reader.h"
#include "names.h"
#include "stdutils.h"

int FindColumn(const std::vector<std::string>& header, const std::string& spec) {
  std::string wanted = spec;
  StrTrim(wanted);
  for (std::size_t i = 0; i < header.size(); i++) {
    std::string name = header[i];
    StrTrim(name);
    if (name == wanted) return static_cast<int>(i);
  }
  if (wanted.empty() || wanted.size() > 9 || wanted.find_first_not_of("0123456789") != std::string::npos)
    return -1;
  long index = std::stol(wanted);
  if (index < 1 || index > static_cast<long>(header.size())) return -1;
  return static_cast<int>(index - 1);
}

namespace {

std::string Quoted(const std::string& text) {
  // Long cells are cut so that one bad cell cannot flood the terminal.
  return "'" + (text.size() > 40 ? Utf8Prefix(text, 37) + "..." : text) + "'";
}

std::string ColumnLabel(const std::vector<std::string>& header, int column) {
  return "column " + std::to_string(column + 1) + " (" + Quoted(header[column]) + ")";
}

// Names as written: cleaned, then cut and made distinct.
std::vector<std::string> FitNames(const std::vector<std::string>& raw, const char* fallbackStem,
                                  const char* what, std::vector<std::string>& notes) {
  std::vector<std::string> cleaned;
  for (std::size_t i = 0; i < raw.size(); i++)
    cleaned.push_back(CleanName(raw[i], fallbackStem + std::to_string(i + 1)));
  std::vector<std::string> changed;
  std::vector<std::string> result = MakeUniqueNames(cleaned, changed);
  for (const std::string& change : changed) notes.push_back(std::string(what) + " renamed: " + change);
  return result;
}

}  // namespace

bool ConvertCsv(std::istream& in, const TCsvOptions& options, TPatternTable& table,
                std::vector<std::string>& errors, std::vector<std::string>& notes) {
  std::string headerLine;
  if (!ReadHeaderLine(in, headerLine)) {
    errors.push_back(headerLine.size() >= CsvMaxRecordLength
                         ? "line 1: header row longer than " + std::to_string(CsvMaxRecordLength) + " characters"
                         : std::string("line 1: no header row"));
    return false;
  }
  char delimiter = options.Delimiter != 0 ? options.Delimiter : DetectDelimiter(headerLine);
  std::istringstream headerStream(headerLine);
  TCsvReader headerReader(headerStream, delimiter);
  TCsvRecord header;
  if (!headerReader.Next(header)) {
    errors.push_back(headerReader.Error().empty() ? "line 1: no header row" : headerReader.Error());
    return false;
  }
  const int columns = static_cast<int>(header.Fields.size());

  int classColumn = -1;
  if (!options.NoClass || !options.ClassColumn.empty()) {
    if (options.ClassColumn.empty()) {
      classColumn = columns - 1;
    } else {
      classColumn = FindColumn(header.Fields, options.ClassColumn);
      if (classColumn < 0) {
        errors.push_back("line 1: no column " + Quoted(options.ClassColumn) + " for the classes");
        return false;
      }
    }
  }
  std::vector<bool> skipped(columns, false);
  for (const std::string& spec : options.Skip) {
    int column = FindColumn(header.Fields, spec);
    if (column < 0) {
      errors.push_back("line 1: no column " + Quoted(spec) + " to skip");
      return false;
    }
    skipped[column] = true;
  }
  std::vector<int> inputColumns;
  std::vector<std::string> rawInputNames;
  for (int c = 0; c < columns; c++) {
    if (c == classColumn || skipped[c]) continue;
    inputColumns.push_back(c);
    rawInputNames.push_back(header.Fields[c]);
  }
  if (inputColumns.empty()) {
    errors.push_back("line 1: no input columns left (" + std::to_string(columns) + " columns in the header)");
    return false;
  }
  if (options.NoClass && options.Classes.empty()) {
    errors.push_back("patterns without classes need the class names of the network they are for (--classes)");
    return false;
  }

  // Labels keep their first-appearance order unless the user fixed it.
  std::vector<std::string> labels;
  std::map<std::string, int> classOf;
  for (const std::string& label : options.Classes) {
    std::string key = label;
    StrTrim(key);
    if (classOf.count(key) != 0) {
      errors.push_back("class " + Quoted(key) + " is listed twice in --classes");
      return false;
    }
    labels.push_back(key);
    classOf[key] = static_cast<int>(labels.size());
  }
  const bool fixedClasses = !options.Classes.empty();

  const bool decimalComma = delimiter != ',';
  const int inputs = static_cast<int>(inputColumns.size());
  table = TPatternTable();
  table.NumberOfInputs = inputs;
  table.ClassInfo = !options.NoClass;
  long missing = 0;

  long headerLines = 1;
  for (char c : headerLine)
    if (c == '\n') headerLines++;
  TCsvReader reader(in, delimiter, 1 + headerLines);
  TCsvRecord record;
  std::vector<float> row(inputs);
  while (errors.size() < CsvMaxErrors && reader.Next(record)) {
    const std::string where = "line " + std::to_string(record.Line) + ": ";
    if (static_cast<int>(record.Fields.size()) != columns) {
      errors.push_back(where + std::to_string(record.Fields.size()) + " fields, but the header has " +
                       std::to_string(columns));
      continue;
    }
    bool rowOk = true;
    for (int i = 0; i < inputs && rowOk; i++) {
      const int column = inputColumns[i];
      switch (ParseCell(record.Fields[column], decimalComma, row[i])) {
        case TCellKind::Number:
          break;
        case TCellKind::Missing:
          missing++;
          break;
        case TCellKind::Invalid:
          errors.push_back(where + Quoted(record.Fields[column]) + " in " + ColumnLabel(header.Fields, column) +
                           " is not a number");
          rowOk = false;
          break;
        case TCellKind::OutOfRange:
          errors.push_back(where + Quoted(record.Fields[column]) + " in " + ColumnLabel(header.Fields, column) +
                           " is too large for a single-precision number");
          rowOk = false;
          break;
      }
    }
    if (!rowOk) continue;
    int cls = -1;
    if (classColumn >= 0 && table.ClassInfo) {
      std::string label = record.Fields[classColumn];
      StrTrim(label);
      if (IsMissingText(label)) {
        errors.push_back(where + "no class label in " + ColumnLabel(header.Fields, classColumn));
        continue;
      }
      auto found = classOf.find(label);
      if (found != classOf.end()) {
        cls = found->second;
      } else if (fixedClasses) {
        errors.push_back(where + "class " + Quoted(label) + " is not among the classes given");
        continue;
      } else if (labels.size() >= CsvMaxClasses) {
        errors.push_back(where + "more than " + std::to_string(CsvMaxClasses) + " different labels in " +
                         ColumnLabel(header.Fields, classColumn) + "; choose the class column with --class");
        break;
      } else {
        labels.push_back(label);
        cls = classOf[label] = static_cast<int>(labels.size());
      }
    }
    if (table.Values.size() + row.size() > options.MaxValues) {
      errors.push_back(where + "the table has more than " + std::to_string(options.MaxValues) + " values");
      break;
    }
    table.Values.insert(table.Values.end(), row.begin(), row.end());
    table.Classes.push_back(cls);
  }
  if (!reader.Error().empty() && errors.size() < CsvMaxErrors) errors.push_back(reader.Error());
  if (errors.size() >= CsvMaxErrors) errors.push_back("too many errors; conversion stopped at line " +
                                                      std::to_string(reader.Line()));
  if (!errors.empty()) return false;
  if (table.NumberOfPatterns() == 0) {
    errors.push_back("no data rows after the header");
    return false;
  }

  table.NumberOfClasses = static_cast<int>(labels.size());
  table.InputNames = FitNames(rawInputNames, "Input_", "input", notes);
  table.ClassNames = FitNames(labels, "Class_", "class", notes);
  table.Name = Utf8Prefix(CleanName(options.Name, ""), 79);
  if (missing > 0) notes.push_back(std::to_string(missing) + " missing values written as " + MissingValueText);
  return true;
}
