#include "modes.h"

std::ostream& operator<<(std::ostream& out, TRuleMode mode) {
  switch (mode) {
    case Simple: return out << "Simple";
    case Best: return out << "Best";
    case BestPerClass: return out << "BestPerClass";
  }
  return out;
}

std::ostream& operator<<(std::ostream& out, TWeightMode mode) {
  switch (mode) {
    case Fixed: return out << "Fixed";
    case Normalized: return out << "Normalized";
    case Free: return out << "Free";
  }
  return out;
}

std::ostream& operator<<(std::ostream& out, TAggregationFunc func) {
  switch (func) {
    case WeightedSum: return out << "WeightedSum";
    case Maximum: return out << "Maximum";
  }
  return out;
}
