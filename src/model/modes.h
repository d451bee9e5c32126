// How rules are selected, how conclusion weights learn and how a class
// combines its rules; the words are those of the configuration file.
#pragma once

#include <ostream>

enum TRuleMode : int { Simple = 0, Best = 1, BestPerClass = 2 };
enum TWeightMode : int { Fixed = 0, Normalized = 1, Free = 2 };
enum TAggregationFunc : int { WeightedSum = 0, Maximum = 1 };

std::ostream& operator<<(std::ostream& out, TRuleMode mode);
std::ostream& operator<<(std::ostream& out, TWeightMode mode);
std::ostream& operator<<(std::ostream& out, TAggregationFunc func);
