// What a pattern's class outputs say: the decision and the pattern error,
// computed here alone, so that testing, learning, creation and pruning
// never count differently. `out[k - 1]` is the output of class k.
//
// The ...Over forms take the classes through `forClasses(visit)`, which
// calls visit(k) for ascending class numbers: the sparse passes leave out
// classes without rules, whose outputs hold +0 (see each form for which).
#pragma once

#include "korvalin.h"

// Decided when exactly one class has the highest output and that output is
// positive; `best` is the first class with the highest output (0 without
// classes). Classes left out must not be first of a run of classes without
// rules: one of them stands for the rest.
template <typename ForClasses>
inline TDecision DecideOver(const float* out, ForClasses forClasses, int& best) {
  best = 0;
  forClasses([&](int k) {
    if (best == 0 || out[k - 1] > out[best - 1]) best = k;
  });
  if (best == 0 || !(out[best - 1] > 0.0f)) return TDecision::NoRuleFired;
  const float highest = out[best - 1];
  bool tie = false;
  forClasses([&](int k) { tie = tie || (k != best && out[k - 1] == highest); });
  return tie ? TDecision::Tie : TDecision::Decided;
}

// The summed squared difference between the outputs and the target's
// one-hot vector (target 0: all zero), in class order. Classes left out
// must not include the target.
template <typename ForClasses>
inline float PatternErrorOver(const float* out, int target, ForClasses forClasses) {
  float error = 0.0f;
  forClasses([&](int k) {
    const float d = (k == target ? 1.0f : 0.0f) - out[k - 1];
    error += d * d;
  });
  return error;
}

// Every class from 1 to `classes`.
struct TAllClasses {
  int Classes;
  template <typename Visit>
  void operator()(Visit visit) const {
    for (int k = 1; k <= Classes; k++) visit(k);
  }
};

inline TDecision Decide(const float* out, int classes, int& best) {
  return DecideOver(out, TAllClasses{classes}, best);
}
inline float PatternError(const float* out, int classes, int target) {
  return PatternErrorOver(out, target, TAllClasses{classes});
}
