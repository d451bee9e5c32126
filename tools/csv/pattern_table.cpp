#include "pattern_table.h"

#include "cell_value.h"
#include "outfile.h"

bool WritePatternFile(std::ostream& out, const TPatternTable& table,
                      const std::vector<std::string>& comments) {
  for (const std::string& line : comments) out << "% " << line << '\n';
  out << "DIMENSIONS\n" << table.NumberOfInputs << ' ' << table.NumberOfClasses << '\n';
  out << "NAME\n" << table.Name << '\n';
  if (!table.InputNames.empty()) {
    out << "VARNAMES\n";
    for (const std::string& name : table.InputNames) out << name << '\n';
    for (const std::string& name : table.ClassNames) out << name << '\n';
  }
  if (!table.ClassInfo) out << "NOCLASS\n";
  out << "PATTERNS\n" << table.NumberOfPatterns() << '\n';
  std::string line;
  for (int p = 0; p < table.NumberOfPatterns(); p++) {
    line.clear();
    const float* row = table.Values.data() + static_cast<std::size_t>(p) * table.NumberOfInputs;
    for (int i = 0; i < table.NumberOfInputs; i++) {
      if (i > 0) line += ' ';
      line += FormatValue(row[i]);
    }
    if (table.ClassInfo) {
      line += "  ";
      for (int k = 1; k <= table.NumberOfClasses; k++) line += (k == table.Classes[p]) ? " 1" : " 0";
    }
    out << line << '\n';
  }
  out << "END\n";
  out.flush();
  return static_cast<bool>(out);
}

bool SavePatternFile(const std::string& fileName, const TPatternTable& table,
                     const std::vector<std::string>& comments, std::string& error) {
  TOutputFile file;
  if (!file.Open(fileName)) {
    error = file.ErrorMsg(CreateError);
    return false;
  }
  WritePatternFile(file.Stream(), table, comments);
  if (!file.Commit()) {
    error = file.ErrorMsg(WriteError);
    return false;
  }
  return true;
}
