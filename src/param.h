// The fourteen learning parameters, addressable by their configuration keys.
#pragma once

#include <ostream>
#include <string>

#include "stdutils.h"

enum TRuleMode : int { Simple = 0, Best = 1, BestPerClass = 2 };
enum TWeightMode : int { Fixed = 0, Normalized = 1, Free = 2 };
enum TAggregationFunc : int { WeightedSum = 0, Maximum = 1 };

std::ostream& operator<<(std::ostream& out, TRuleMode mode);
std::ostream& operator<<(std::ostream& out, TWeightMode mode);
std::ostream& operator<<(std::ostream& out, TAggregationFunc func);

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

  static TParamDef GetDefinition(const char* name);
  int ChangeParameter(const char* name, const char* value);
  int PrintParameter(std::ostream& out, const char* name) const;
  void PrintAll(std::ostream& out) const;
  void SaveToFile(std::ostream& out) const;
  static void PrintErrorMsg(std::ostream& out, int code, const char* name);
};

extern TLearningParameters SwapParam;
extern const TParamDef ValidParameters[15];

// Splits "name = value" into trimmed parts; -3 when the line holds no '='.
int SplitParamLine(const char* line, std::string& name, std::string& value);
