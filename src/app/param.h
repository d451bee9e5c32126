// The fourteen learning parameters, addressable by their configuration keys.
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "korvalin.h"
#include "modes.h"
#include "stdutils.h"

class TLearningParameters;
struct TParamDef;

enum TParamType { ptFloat = 0, ptInt = 1, ptBoolean = 2, ptChoice = 3 };

// How a row reaches its member: the value's type and the member's reader
// and writer, made for that member (see param.cpp). Read leaves the member
// as it was when the text is no value of the type.
struct TParamAccess {
  TParamType Type;
  bool (*Read)(const TParamDef& row, TLearningParameters& params, const char* text);
  void (*Write)(const TParamDef& row, const TLearningParameters& params, std::ostream& out);
};

// One learning parameter. Adding a parameter is a member, a row of
// ValidParameters and a help section.
struct TParamDef {
  const char* Name;  // configuration key, written in this letter case
  TParamAccess Access;
  const char* Default;       // the value at construction, as text
  const char* const* Words;  // choices: the words of the values 0, 1, ..., null-terminated, read in any letter case
  const char* Comment;       // configuration file lines above the parameter, or null
  const char* Help;          // its help section's first line, without the default
};

// The rows in member order, the order of 'show config' and of the
// configuration file. Numbers are taken as given: no range is checked.
struct TParamTable {
  const TParamDef* First;
  std::size_t Size;
  const TParamDef* begin() const { return First; }
  const TParamDef* end() const { return First + Size; }
};
extern const TParamTable ValidParameters;

class TLearningParameters {
 public:
  int MaxEpoch;
  float StopAtPercent;
  int StopAtMisclassified;
  int UpdateCycle;
  Boolean CreateLogFile;
  float Sigma;
  float SigmaA;
  float SigmaB;
  float SigmaC;
  int FSetsPerVariable;
  Boolean FsIntersect;
  TWeightMode LearningWeights;
  TRuleMode LearningRules;
  TAggregationFunc AggregationFunc;

  // The defaults of ValidParameters.
  TLearningParameters();

  // What the network needs of these for creation and learning.
  TNetSettings Settings() const;

  // The row named `name` in any letter case; null when there is none.
  static const TParamDef* GetDefinition(const char* name);
  // 0, or ParamUnknownName or ParamInvalidValue with nothing changed (a
  // name or value holding a NUL is refused whole, not read up to the NUL).
  int ChangeParameter(const std::string& name, const std::string& value);
  // " <name> = <value>" and a NUL; ParamUnknownName, writing nothing.
  int PrintParameter(std::ostream& out, const char* name) const;
  void PrintAll(std::ostream& out) const;
  void SaveToFile(std::ostream& out) const;
  static void PrintErrorMsg(std::ostream& out, int code, const std::string& name);
};

// Error codes of ChangeParameter and SplitParamLine, written by PrintErrorMsg.
constexpr int ParamUnknownName = -1;
constexpr int ParamInvalidValue = -2;
constexpr int ParamNoAssignment = -3;
constexpr int ParamLineTooLong = -4;
constexpr int ParamNameTooLong = -5;
constexpr int ParamValueTooLong = -6;

// Limits of a configuration line and of its trimmed name and value parts.
constexpr std::size_t MaxParamLineLength = 254;
constexpr std::size_t MaxParamNameLength = 127;
constexpr std::size_t MaxParamValueLength = 125;

// Splits "name = value" into trimmed parts; -3 when the line holds no '=',
// -5 or -6 when the name or the value is longer than its limit (both
// outputs are then empty).
int SplitParamLine(const std::string& line, std::string& name, std::string& value);

// Reads configuration lines into `params`: comments and blank lines are
// skipped, a faulty line (too long, no '=', unknown name, bad value) changes
// nothing and is handed to `report` as the text of one error message, and
// reading always goes on to the end of the stream. Returns the number of
// lines that set a parameter.
int ReadParameterLines(std::istream& in, TLearningParameters& params,
                        const std::function<void(const std::string&)>& report);
