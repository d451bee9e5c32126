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

enum TParamType { ptFloat = 0, ptInt = 1, ptBoolean = 2, ptChoice = 3 };

struct TParamDef {
  const char* Name;
  TParamType Type;
  void* Location;  // member of SwapParam; null marks the end of the table
};

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

  TLearningParameters();

  // What the network needs of these for creation and learning.
  TNetSettings Settings() const;

  static TParamDef GetDefinition(const char* name);
  int ChangeParameter(const char* name, const char* value);
  int PrintParameter(std::ostream& out, const char* name) const;
  void PrintAll(std::ostream& out) const;
  void SaveToFile(std::ostream& out) const;
  static void PrintErrorMsg(std::ostream& out, int code, const char* name);
};

extern TLearningParameters SwapParam;
extern const TParamDef ValidParameters[15];

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
int SplitParamLine(const char* line, std::string& name, std::string& value);

// Reads configuration lines into `params`: comments and blank lines are
// skipped, a faulty line (too long, no '=', unknown name, bad value) changes
// nothing and is handed to `report` as the text of one error message, and
// reading always goes on to the end of the stream.
void ReadParameterLines(std::istream& in, TLearningParameters& params,
                        const std::function<void(const std::string&)>& report);
