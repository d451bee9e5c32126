#include "param.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <sstream>

TLearningParameters SwapParam;

const TParamDef ValidParameters[15] = {
    {"MaxEpoch", ptInt, &SwapParam.MaxEpoch},
    {"Stop_At_Percent", ptFloat, &SwapParam.StopAtPercent},
    {"Stop_At_Misclassified", ptInt, &SwapParam.StopAtMisclassified},
    {"Update_Cycle", ptInt, &SwapParam.UpdateCycle},
    {"CreateLogFile", ptBoolean, &SwapParam.CreateLogFile},
    {"sigma", ptFloat, &SwapParam.Sigma},
    {"sigma_a", ptFloat, &SwapParam.SigmaA},
    {"sigma_b", ptFloat, &SwapParam.SigmaB},
    {"sigma_c", ptFloat, &SwapParam.SigmaC},
    {"FSetsPerVariable", ptInt, &SwapParam.FSetsPerVariable},
    {"FsIntersect_0.5", ptBoolean, &SwapParam.FsIntersect},
    {"Learning_Weights", ptChoice, &SwapParam.LearningWeights},
    {"Learning_Rules", ptChoice, &SwapParam.LearningRules},
    {"AggregationFunc", ptChoice, &SwapParam.AggregationFunc},
    {"", ptInt, nullptr},
};

TLearningParameters::TLearningParameters()
    : MaxEpoch(100),
      StopAtPercent(0.0f),
      StopAtMisclassified(0),
      UpdateCycle(5),
      CreateLogFile(True),
      Sigma(0.01f),
      SigmaA(0.01f),
      SigmaB(0.01f),
      SigmaC(0.01f),
      // Three sets give every input the labels small, medium and large.
      FSetsPerVariable(3),
      FsIntersect(False),
      LearningWeights(Fixed),
      LearningRules(Simple),
      AggregationFunc(WeightedSum) {}

TNetSettings TLearningParameters::Settings() const {
  TNetSettings s;
  s.FSetsPerVariable = FSetsPerVariable;
  s.RuleMode = LearningRules;
  s.Aggregation = AggregationFunc;
  s.Weights = LearningWeights;
  s.Sigma = Sigma;
  s.SigmaA = SigmaA;
  s.SigmaB = SigmaB;
  s.SigmaC = SigmaC;
  s.FsIntersect = FsIntersect != False;
  s.MaxEpoch = MaxEpoch;
  s.StopAtPercent = StopAtPercent;
  s.StopAtMisclassified = StopAtMisclassified;
  return s;
}

TParamDef TLearningParameters::GetDefinition(const char* name) {
  const TParamDef* row = ValidParameters;
  while (row->Location != nullptr) {
    if (stricmp(name, row->Name) == 0) return *row;
    row++;
  }
  return *row;
}

namespace {

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

// The number of the choice word `text` (any letter case) for the row
// named `rowName`, or -1 when the row offers no such word.
int ChoiceIndex(const char* rowName, const char* text) {
  static const struct {
    const char* Row;
    const char* Words[3];
  } choices[] = {
      {"Learning_Weights", {"fixed", "normalized", "free"}},
      {"Learning_Rules", {"simple", "best", "bestperclass"}},
      {"AggregationFunc", {"WeightedSum", "Maximum", nullptr}},
  };
  for (const auto& choice : choices) {
    if (std::strcmp(rowName, choice.Row) != 0) continue;
    for (int i = 0; i < 3 && choice.Words[i] != nullptr; i++)
      if (stricmp(text, choice.Words[i]) == 0) return i;
  }
  return -1;
}

bool ReadChoice(const char* rowName, const char* text, const void* location) {
  int i = ChoiceIndex(rowName, text);
  if (i < 0) return false;
  if (location == &SwapParam.LearningWeights)
    SwapParam.LearningWeights = static_cast<TWeightMode>(i);
  else if (location == &SwapParam.LearningRules)
    SwapParam.LearningRules = static_cast<TRuleMode>(i);
  else if (location == &SwapParam.AggregationFunc)
    SwapParam.AggregationFunc = static_cast<TAggregationFunc>(i);
  else
    return false;
  return true;
}

// The value of a row of SwapParam as PrintParameter and SaveToFile show it.
void WriteValue(std::ostream& out, const TParamDef& def) {
  switch (def.Type) {
    case ptInt:
      out << *static_cast<const int*>(def.Location);
      break;
    case ptFloat: {
      // Formatted apart so that the caller's stream settings cannot change
      // the six significant digits that the configuration file relies on.
      std::ostringstream text;
      text << static_cast<double>(*static_cast<const float*>(def.Location));
      out << text.str();
      break;
    }
    case ptBoolean:
      out << (*static_cast<const Boolean*>(def.Location) != 0 ? "Yes" : "No");
      break;
    case ptChoice:
      if (def.Location == &SwapParam.LearningWeights)
        out << SwapParam.LearningWeights;
      else if (def.Location == &SwapParam.LearningRules)
        out << SwapParam.LearningRules;
      else if (def.Location == &SwapParam.AggregationFunc)
        out << SwapParam.AggregationFunc;
      break;
  }
}

}  // namespace

int TLearningParameters::ChangeParameter(const char* name, const char* value) {
  TParamDef def = GetDefinition(name);
  if (def.Location == nullptr) return -1;
  SwapParam = *this;
  bool ok = false;
  switch (def.Type) {
    case ptInt: ok = ReadInt(value, *static_cast<int*>(def.Location)); break;
    case ptFloat: ok = ReadFloat(value, *static_cast<float*>(def.Location)); break;
    case ptBoolean: ok = ReadBoolean(value, *static_cast<Boolean*>(def.Location)); break;
    case ptChoice: ok = ReadChoice(def.Name, value, def.Location); break;
  }
  if (!ok) return -2;
  *this = SwapParam;
  return 0;
}

int TLearningParameters::PrintParameter(std::ostream& out, const char* name) const {
  TParamDef def = GetDefinition(name);
  if (def.Location == nullptr) return -1;
  SwapParam = *this;
  out << ' ' << def.Name << " = ";
  WriteValue(out, def);
  out << '\0';
  return 0;
}

void TLearningParameters::PrintAll(std::ostream& out) const {
  for (const TParamDef* row = ValidParameters; row->Location != nullptr; row++) {
    PrintParameter(out, row->Name);
    out << '\n';
  }
}

void TLearningParameters::SaveToFile(std::ostream& out) const {
  SwapParam = *this;
  auto line = [&out](int row) {
    out << ValidParameters[row].Name << " = ";
    WriteValue(out, ValidParameters[row]);
    out << '\n';
  };
  out << "# General learning parameters\n";
  line(0);
  line(1);
  line(2);
  out << "\n# Update cycle for screen/log update\n";
  line(3);
  out << "\n# Create a logfile during net creation?\n";
  line(4);
  out << "\n# Learning rates\n"
         "# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):\n";
  line(5);
  line(6);
  line(7);
  line(8);
  out << "\n# Fuzzy sets per input variable (2 <= x <= 7)\n";
  line(9);
  out << "\n# Fuzzy sets must intersect at 0.5 ?\n";
  line(10);
  out << "\n# Learning conclusion weights\n"
         "# Possible values are: fixed, normalized or free\n";
  line(11);
  out << "\n# Learning rules\n"
         "# Possible values are: simple, best or bestperclass\n";
  line(12);
  out << "\n# The aggregation function to be used (weightedsum or maximum)\n";
  line(13);
}

void TLearningParameters::PrintErrorMsg(std::ostream& out, int code, const char* name) {
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

int SplitParamLine(const char* line, std::string& name, std::string& value) {
  name.clear();
  value.clear();
  const char* equals = std::strchr(line, '=');
  if (equals == nullptr) return ParamNoAssignment;
  std::string left(line, static_cast<std::size_t>(equals - line));
  std::string right(equals + 1);
  StrTrim(left);
  StrTrim(right);
  if (left.size() > MaxParamNameLength) return ParamNameTooLong;
  if (right.size() > MaxParamValueLength) return ParamValueTooLong;
  name = left;
  value = right;
  return 0;
}

void ReadParameterLines(std::istream& in, TLearningParameters& params,
                        const std::function<void(const std::string&)>& report) {
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
      code = SplitParamLine(line.c_str(), name, value);
      if (code == 0) code = params.ChangeParameter(name.c_str(), value.c_str());
    }
    if (code != 0) {
      std::ostringstream msg;
      msg << "Syntax error in configuration file " << "(line " << number << "): " << '\n';
      TLearningParameters::PrintErrorMsg(msg, code, name.c_str());
      report(msg.str());
    }
  }
}
