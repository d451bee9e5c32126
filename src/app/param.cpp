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

// The words of the choices, for the values 0, 1, ...; they print as the
// model names them.
const char* const WeightWords[] = {"fixed", "normalized", "free", nullptr};
const char* const RuleWords[] = {"simple", "best", "bestperclass", nullptr};
const char* const AggregationWords[] = {"WeightedSum", "Maximum", nullptr};

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

// The number of the word `text` (any letter case) among `words`, or -1.
int ChoiceIndex(const char* const* words, const char* text) {
  for (int i = 0; words[i] != nullptr; i++)
    if (stricmp(text, words[i]) == 0) return i;
  return -1;
}

// The accessors of a member, one pair per kind of value.
template <int P::*M>
constexpr TParamAccess IntMember() {
  return {ptInt, [](const TParamDef&, P& p, const char* text) { return ReadInt(text, p.*M); },
          [](const TParamDef&, const P& p, std::ostream& out) { out << p.*M; }};
}

template <float P::*M>
constexpr TParamAccess FloatMember() {
  return {ptFloat, [](const TParamDef&, P& p, const char* text) { return ReadFloat(text, p.*M); },
          [](const TParamDef&, const P& p, std::ostream& out) {
            // Formatted apart so that the caller's stream settings cannot change
            // the six significant digits that the configuration file relies on.
            std::ostringstream text;
            text << static_cast<double>(p.*M);
            out << text.str();
          }};
}

template <Boolean P::*M>
constexpr TParamAccess BooleanMember() {
  return {ptBoolean, [](const TParamDef&, P& p, const char* text) { return ReadBoolean(text, p.*M); },
          [](const TParamDef&, const P& p, std::ostream& out) { out << (p.*M != 0 ? "Yes" : "No"); }};
}

template <typename TEnum, TEnum P::*M>
constexpr TParamAccess ChoiceMember() {
  return {ptChoice,
          [](const TParamDef& row, P& p, const char* text) {
            const int i = ChoiceIndex(row.Words, text);
            if (i >= 0) p.*M = static_cast<TEnum>(i);
            return i >= 0;
          },
          [](const TParamDef&, const P& p, std::ostream& out) { out << p.*M; }};
}

const TParamDef Rows[] = {
    {"MaxEpoch", IntMember<&P::MaxEpoch>(), "100", nullptr, "# General learning parameters",
     "MaxEpoch = <whole number>"},
    {"Stop_At_Percent", FloatMember<&P::StopAtPercent>(), "0", nullptr, nullptr, "Stop_At_Percent = <number>"},
    {"Stop_At_Misclassified", IntMember<&P::StopAtMisclassified>(), "0", nullptr, nullptr,
     "Stop_At_Misclassified = <whole number>"},
    {"Update_Cycle", IntMember<&P::UpdateCycle>(), "5", nullptr, "# Update cycle for screen/log update",
     "Update_Cycle = <whole number>"},
    {"CreateLogFile", BooleanMember<&P::CreateLogFile>(), "Yes", nullptr, "# Create a logfile during net creation?",
     "CreateLogFile = Yes | No"},
    {"sigma", FloatMember<&P::Sigma>(), "0.01", nullptr,
     "# Learning rates\n"
     "# (for the conclusion weights and the parameter a, b, c of the fuzzy sets):",
     "sigma = <number>"},
    {"sigma_a", FloatMember<&P::SigmaA>(), "0.01", nullptr, nullptr, "sigma_a = <number>"},
    {"sigma_b", FloatMember<&P::SigmaB>(), "0.01", nullptr, nullptr, "sigma_b = <number>"},
    {"sigma_c", FloatMember<&P::SigmaC>(), "0.01", nullptr, nullptr, "sigma_c = <number>"},
    // Three sets give every input the labels small, medium and large.
    {"FSetsPerVariable", IntMember<&P::FSetsPerVariable>(), "3", nullptr,
     "# Fuzzy sets per input variable (2 <= x <= 7)", "FSetsPerVariable = <whole number from 2 to 7>"},
    {"FsIntersect_0.5", BooleanMember<&P::FsIntersect>(), "No", nullptr, "# Fuzzy sets must intersect at 0.5 ?",
     "FsIntersect_0.5 = Yes | No"},
    {"Learning_Weights", ChoiceMember<TWeightMode, &P::LearningWeights>(), "fixed", WeightWords,
     "# Learning conclusion weights\n"
     "# Possible values are: fixed, normalized or free",
     "Learning_Weights = fixed | normalized | free"},
    {"Learning_Rules", ChoiceMember<TRuleMode, &P::LearningRules>(), "simple", RuleWords,
     "# Learning rules\n"
     "# Possible values are: simple, best or bestperclass",
     "Learning_Rules = simple | best | bestperclass"},
    {"AggregationFunc", ChoiceMember<TAggregationFunc, &P::AggregationFunc>(), "WeightedSum", AggregationWords,
     "# The aggregation function to be used (weightedsum or maximum)", "AggregationFunc = WeightedSum | Maximum"},
};

}  // namespace

const TParamTable ValidParameters = {Rows, sizeof Rows / sizeof Rows[0]};

TLearningParameters::TLearningParameters() {
  for (const TParamDef& row : ValidParameters) row.Access.Read(row, *this, row.Default);
}

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

const TParamDef* TLearningParameters::GetDefinition(const char* name) {
  for (const TParamDef& row : ValidParameters)
    if (stricmp(name, row.Name) == 0) return &row;
  return nullptr;
}

int TLearningParameters::ChangeParameter(const std::string& name, const std::string& value) {
  const TParamDef* row = name.find('\0') == std::string::npos ? GetDefinition(name.c_str()) : nullptr;
  if (row == nullptr) return ParamUnknownName;
  if (value.find('\0') != std::string::npos) return ParamInvalidValue;
  return row->Access.Read(*row, *this, value.c_str()) ? 0 : ParamInvalidValue;
}

int TLearningParameters::PrintParameter(std::ostream& out, const char* name) const {
  const TParamDef* row = GetDefinition(name);
  if (row == nullptr) return ParamUnknownName;
  out << ' ' << row->Name << " = ";
  row->Access.Write(*row, *this, out);
  out << '\0';
  return 0;
}

void TLearningParameters::PrintAll(std::ostream& out) const {
  for (const TParamDef& row : ValidParameters) {
    PrintParameter(out, row.Name);
    out << '\n';
  }
}

void TLearningParameters::SaveToFile(std::ostream& out) const {
  for (const TParamDef& row : ValidParameters) {
    // A comment opens a group of parameters; an empty line parts the groups.
    if (row.Comment != nullptr) out << (&row == ValidParameters.begin() ? "" : "\n") << row.Comment << '\n';
    out << row.Name << " = ";
    row.Access.Write(row, *this, out);
    out << '\n';
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
