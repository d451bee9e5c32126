// The learning parameters, addressable by their configuration keys: the
// rows of the model's settings table (korvalin/settings.h).
#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <ostream>
#include <string>

#include "korvalin.h"
#include "korvalin/settings.h"
#include "stdutils.h"

using TParamDef = korvalin::Setting;

class TLearningParameters {
 public:
  // The model's settings. Creation's MaxRules and SetsPerInput are not
  // parameters: 'create' gives them.
  TNetSettings Net;
  // The program's own settings: the rows without a field of TNetSettings.
  int UpdateCycle;
  Boolean CreateLogFile;

  // The table's defaults.
  TLearningParameters();

  // What the network needs of these for creation and learning.
  TNetSettings Settings() const { return Net; }

  // The row named `name` in any letter case; null when there is none.
  static const TParamDef* GetDefinition(const char* name);
  // The value of the parameter of `row` (see korvalin::Setting).
  double Value(const TParamDef& row) const;
  // 0, or ParamUnknownName or ParamInvalidValue with nothing changed (a
  // name or value holding a NUL is refused whole, not read up to the NUL).
  // Numbers are taken as given: no range is checked.
  int ChangeParameter(const std::string& name, const std::string& value);
  // " <name> = <value>" and a NUL, the value followed by " (<n> used)" when
  // it is a whole number that is used as another; ParamUnknownName,
  // writing nothing.
  int PrintParameter(std::ostream& out, const char* name) const;
  void PrintAll(std::ostream& out) const;
  void SaveToFile(std::ostream& out) const;
  static void PrintErrorMsg(std::ostream& out, int code, const std::string& name);
};

// A value of `row` as 'show' and the configuration file write it.
std::string ParamText(const TParamDef& row, double value);

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
