// Propagation state derived from a network's rule base (internal to the
// network): a cache that the network keeps current through every change of
// its rules, never a second copy of what they hold.
//
// For every (input, set) pair a bitset over the rules marks those whose
// premise is satisfied by a non-zero membership in that set, don't-care
// entries included. ANDing, per input, the union of the bitsets of the sets
// the input value touches yields exactly the rules with a non-zero
// activation; all other rules have activation 0, and skipping them is exact
// wherever they would only add +0 to a sum that starts at +0.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "fuzzynet.h"

struct TFuzzyPerceptron::TRuleIndex {
  int Inputs = 0;
  int Classes = 0;
  int Rules = 0;     // rules indexed, 1..Rules
  int Words = 0;     // 64-bit words per bitset, with room for every rule to be added

  std::vector<int> SetOffset;       // per input j (0-based): first slot of its sets; Inputs+1 entries
  std::vector<std::uint64_t> Masks; // per slot: Words words
  std::vector<std::uint64_t> DontCare;  // per input: Words words, the rules that ignore it
  std::vector<std::uint64_t> Usable;    // Words words: rules whose every entry names an existing set
  std::vector<int> Slot;            // rule-major, Inputs entries per rule: membership slot of the
                                    // rule's set, or OneSlot for a don't-care entry
  int OneSlot = 0;                  // a slot that always holds 1
  // Slot again in bytes, when every slot fits in one: a quarter of the
  // memory that propagation walks for each rule that fires.
  bool SmallSlots = false;
  std::vector<std::uint8_t> SmallSlot;
  std::vector<int> Class;           // per rule (0-based rule); 0 when outside 1..Classes
  // Whether some weight is -0, or lies outside [0, 1]: only then can a
  // weight step change a rule that does not fire.
  bool NegativeZero = false;
  bool OutsideUnit = false;

  // Per-propagation scratch, reused.
  std::vector<float> Memb;          // per slot, plus OneSlot
  std::vector<int> SlotRules;       // per slot: rules whose premise it satisfies
  std::vector<int> DontCareRules;   // per input: rules that ignore it
  std::vector<const std::uint64_t*> Touched;  // masks of the sets each input value touches
  std::vector<int> TouchedFrom;     // per input: first entry in Touched; Inputs+1 entries
  std::vector<int> Order;           // inputs to intersect, most selective first
  std::vector<int> Passing;         // per input: rules its touched sets let through (estimate)
  std::vector<std::uint64_t> Cand;
  std::vector<int> Live;            // words of Cand still non-zero
  std::vector<int> Fired;           // rules with an activation written by the last propagation
  std::vector<float> Num;           // per class (0-based): weighted-sum numerators
  std::vector<float> Err;           // per class (0-based): learning's output errors

  // Per-class sums of the network's weights over all of the class's rules,
  // in rule order.
  bool WeightsValid = false;
  std::vector<float> WeightSum;
  std::vector<char> WeightsFinite;

  void Build(const TFuzzyPerceptron& net, int capacity);
  // Indexes rule `r` (= Rules + 1) of `net`; the capacity must allow it.
  void Add(const TFuzzyPerceptron& net, int r);
  void SetClass(int r, int cls) { Class[r - 1] = (cls >= 1 && cls <= Classes) ? cls : 0; }
  void UpdateWeightSums(const float* weights);
  void NoteWeight(float w) {
    if (w == 0.0f && std::signbit(w)) NegativeZero = true;
    if (!(w >= 0.0f && w <= 1.0f)) OutsideUnit = true;
  }
};
