#include "param.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

namespace {

using P = TLearningParameters;

// Like atoi, but a number outside the range of int is refused rather than
// wrapped: it cannot be what was meant.
bool ReadInt(const char* text, int& result) {
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
  if (value == 0 && std::strcmp(text, "0") != 0) return false;
  result = static_cast<int>(value);
  return true;
}

// Like atof rounded to single precision; values that are not finite once
// rounded (nan, inf, 1e40) would poison every later computation.
bool ReadFloat(const char* text, float& result) {
  float value = static_cast<float>(std::atof(text));
  if (!std::isfinite(value)) return false;
  if (value == 0.0f && std::strcmp(text, "0.0") != 0 && std::strcmp(text, "0") != 0) return false;
  result = value;
  return true;
}

bool ReadBoolean(const char* text, Boolean& result) {
  if (stricmp(text, "YES") == 0 || stricmp(text, "Y") == 0) {
    result = True;
    return true;
  }
  if (stricmp(text, "NO") == 0 || stricmp(text, "N") == 0) {
    result = False;
    return true;
  }
  return false;
}

// `text` as a value of `row`; false when it is none.
bool ReadValue(const TParamDef& row, const char* text, double& value) {
  switch (row.Type) {
    case korvalin::SettingType::Int: {
      int i = 0;
      if (!ReadInt(text, i)) return false;
      value = i;
      return true;
    }
    case korvalin::SettingType::Float: {
      float f = 0.0f;
      if (!ReadFloat(text, f)) return false;
      value = f;
      return true;
    }
    case korvalin::SettingType::Boolean: {
      Boolean b = False;
      if (!ReadBoolean(text, b)) return false;
      value = b ? 1.0 : 0.0;
      return true;
    }
    case korvalin::SettingType::Choice:
      for (int i = 0; row.Word(i) != nullptr; i++)
        if (stricmp(text, row.Word(i)) == 0) {
          value = i;
          return true;
        }
      return false;
  }
  return false;
}

// Where the program keeps its own settings.
struct TOwnParameter {
  const char* Name;
  int P::*Number;
  Boolean P::*Flag;
};
const TOwnParameter OwnParameters[] = {
    {"Update_Cycle", &P::UpdateCycle, nullptr},
    {"CreateLogFile", nullptr, &P::CreateLogFile},
};

const TOwnParameter* OwnParameter(const TParamDef& row) {
  for (const TOwnParameter& own : OwnParameters)
    if (std::strcmp(own.Name, row.Name) == 0) return &own;
  return nullptr;
}

void Assign(P& p, const TParamDef& row, double value) {
  if (row.Field.Set != nullptr) {
    row.Field.Set(p.Net, value);
  } else if (const TOwnParameter* own = OwnParameter(row)) {
    if (own->Number != nullptr) p.*own->Number = static_cast<int>(value);
    if (own->Flag != nullptr) p.*own->Flag = value != 0.0 ? True : False;
  }
}

}  // namespace

std::string ParamText(const TParamDef& row, double value) {
  switch (row.Type) {
    case korvalin::SettingType::Boolean: return value != 0.0 ? "Yes" : "No";
    case korvalin::SettingType::Choice: {
      const char* word = row.Word(static_cast<int>(value));
      return word != nullptr ? word : "";
    }
    default: break;
  }
  // Six significant digits for floats, which the configuration file relies on.
  std::ostringstream text;
  if (row.Type == korvalin::SettingType::Int)
    text << static_cast<int>(value);
  else
    text << value;
  return text.str();
}

TLearningParameters::TLearningParameters() {
  for (const TParamDef& row : korvalin::AllSettings())
    if (row.Field.Set == nullptr) Assign(*this, row, row.Default);
}

const TParamDef* TLearningParameters::GetDefinition(const char* name) {
  for (const TParamDef& row : korvalin::AllSettings())
    if (stricmp(name, row.Name) == 0) return &row;
  return nullptr;
}

double TLearningParameters::Value(const TParamDef& row) const {
  if (row.Field.Get != nullptr) return row.Field.Get(Net);
  const TOwnParameter* own = OwnParameter(row);
  if (own == nullptr) return row.Default;
  return own->Number != nullptr ? *this.*own->Number : (*this.*own->Flag != False ? 1.0 : 0.0);
}

int TLearningParameters::ChangeParameter(const std::string& name, const std::string& value) {
  const TParamDef* row = name.find('\0') == std::string::npos ? GetDefinition(name.c_str()) : nullptr;
  if (row == nullptr) return ParamUnknownName;
  double number = 0.0;
  if (value.find('\0') != std::string::npos || !ReadValue(*row, value.c_str(), number)) return ParamInvalidValue;
  Assign(*this, *row, number);
  return 0;
}

int TLearningParameters::PrintParameter(std::ostream& out, const char* name) const {
  const TParamDef* row = GetDefinition(name);
  if (row == nullptr) return ParamUnknownName;
  const double value = Value(*row);
  out << ' ' << row->Name << " = " << ParamText(*row, value);
  if (row->Type == korvalin::SettingType::Int) {
    const int used = korvalin::UsedValue(*row, static_cast<int>(value));
    if (used != value) out << " (" << used << " used)";
  }
  out << '\0';
  return 0;
}

void TLearningParameters::PrintAll(std::ostream& out) const {
  for (const TParamDef& row : korvalin::AllSettings()) {
    PrintParameter(out, row.Name);
    out << '\n';
  }
}

void TLearningParameters::SaveToFile(std::ostream& out) const {
  for (const TParamDef& row : korvalin::AllSettings()) {
    // A comment opens a group of parameters; an empty line parts the groups.
    if (row.Comment != nullptr) out << (&row == korvalin::AllSettings().begin() ? "" : "\n") << row.Comment << '\n';
    out << row.Name << " = " << ParamText(row, Value(row)) << '\n';
  }
}

void TLearningParameters::PrintErrorMsg(std::ostream& out, int code, const std::string& name) {
  switch (code) {
    case ParamUnknownName: out << "Unkwown parameter name '" << name << "'."; break;
    case ParamInvalidValue: out << "Invalid value format."; break;
    case ParamNoAssignment: out << "Assignment missing."; break;
    case ParamLineTooLong: out << "Line too long (more than " << MaxParamLineLength << " characters)."; break;
    case ParamNameTooLong: out << "Parameter name too long (more than " << MaxParamNameLength << " characters)."; break;
    case ParamValueTooLong: out << "Value too long (more than " << MaxParamValueLength << " characters)."; break;
    default: break;
  }
  out << '\n';
}

int SplitParamLine(const std::string& line, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos) return ParamNoAssignment;
  std::string left = line.substr(0, equals);
  std::string right = line.substr(equals + 1);
  StrTrim(left);
  StrTrim(right);
  if (left.size() > MaxParamNameLength) return ParamNameTooLong;
  if (right.size() > MaxParamValueLength) return ParamValueTooLong;
  name = left;
  value = right;
  return 0;
}

int ReadParameterLines(std::istream& in, TLearningParameters& params,
                       const std::function<void(const std::string&)>& report) {
  int valid = 0;
  std::string line, name, value;
  for (long number = 1; !in.eof(); number++) {
    int code = 0;
    if (!GetLine(in, line, MaxParamLineLength)) {
      if (in.eof() || in.bad()) break;
      // Longer than a line may be: drop the rest of it and go on.
      in.clear();
      in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      code = ParamLineTooLong;
    } else {
      StrTrim(line);
      if (line.empty() || IsCommentChar(line[0])) continue;
      code = SplitParamLine(line, name, value);
      if (code == 0) code = params.ChangeParameter(name, value);
    }
    if (code == 0) {
      valid++;
    } else {
      std::ostringstream msg;
      msg << "Syntax error in configuration file " << "(line " << number << "): " << '\n';
      TLearningParameters::PrintErrorMsg(msg, code, name);
      report(msg.str());
    }
  }
  return valid;
}
