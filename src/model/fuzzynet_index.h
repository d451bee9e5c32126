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
#include <memory>
#include <utility>
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
  // Slot in bytes instead, when every slot fits in one: a quarter of the
  // memory that propagation walks for each rule that fires.
  bool SmallSlots = false;
  std::vector<std::uint8_t> SmallSlot;
  std::vector<int> Entries;         // scratch for Add
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

  // The classes that rules conclude (1-based, ascending). A class without
  // rules has the output +0 after every propagation, and its entries of
  // WeightSum, Num and Out are 0 as well; while there is such a class
  // (Sparse), the work per pattern over the classes leaves them out.
  std::vector<int> ClassRules;  // per class (0-based): the rules concluding it
  std::vector<int> Active;
  bool Listed = false;          // Active follows ClassRules (Build lists it once at its end)
  bool SparseClasses = false;   // Active does not hold every class
  std::vector<int> Emptied;     // classes whose last rule went since their entries were last cleared
  bool Sparse() const { return SparseClasses; }
  // f(k) for every 0-based class k whose output a propagation computes.
  template <typename TF>
  void ForClasses(TF f) const {
    if (Sparse())
      for (int k : Active) f(k - 1);
    else
      for (int k = 0; k < Classes; k++) f(k);
  }
  // Clears the entries of the classes emptied, the network's outputs among them.
  void ClearEmptied(TFuzzyPerceptron& net) {
    if (!Emptied.empty()) ClearEmptiedClasses(net);
  }
  void ClearEmptiedClasses(TFuzzyPerceptron& net);

  void Build(const TFuzzyPerceptron& net, int capacity);
  // Indexes rule `r` (= Rules + 1) of `net`; the capacity must allow it.
  void Add(const TFuzzyPerceptron& net, int r);
  // Room for `capacity` rules, the rules indexed kept.
  void Reserve(int capacity);
  // A rule's new class, in the passes' blocks too; what the connection
  // check prepared no longer holds.
  void SetClass(int r, int cls);
  // Drops the passes' blocks and what was prepared, for changes they do
  // not follow (weights, fuzzy sets).
  void DropPasses();
  void UpdateWeightSums(const float* weights);
  void NoteWeight(float w) {
    if (w == 0.0f && std::signbit(w)) NegativeZero = true;
    if (!(w >= 0.0f && w <= 1.0f)) OutsideUnit = true;
  }

  // The memberships of one pattern's values, the masks of the sets they
  // touch and the order of the inputs for Intersect.
  void Touch(TFuzzyPerceptron& net, const float* pattern, int dimension, float missing);
  int Ordered = 0;                  // inputs that Intersect filters by
  // After Touch: Cand and the first `return` entries of Live hold the rules that fire.
  int Intersect();
  // After Touch and Intersect: the rest of TFuzzyPerceptron::PropagateValues.
  void Propagate(TFuzzyPerceptron& net, int liveCount, bool keepMinInput);
  // After Touch: the product over the inputs of the number of sets each
  // value touches (all of them for a missing value).
  double TouchedProduct() const;
  // After Intersect: of the rules that fire, those of class `cls`.
  int CountFiring(int liveCount, int cls) const;


  struct TBlocks;
  std::unique_ptr<TBlocks> Blocks;  // built by passes over a whole pattern set

  // Passes over a whole pattern set with Blocks (see fuzzynet_create.cpp).
  struct TPrepared;
  // The connection check's sums, per class and position; with `prepared`,
  // the rule evaluation with the classes as they are, too.
  void Pass(TFuzzyPerceptron& net, const TLearningTask& task, float* byPosition, TPrepared* prepared);
  // The rule evaluation's sums, per position: from scratch, or from what
  // the connection check prepared (Prepared).
  void Evaluate(TFuzzyPerceptron& net, const TLearningTask& task, float* performance);
  void Finish(TFuzzyPerceptron& net, const TLearningTask& task, float* performance);
  // Whether outputs can be judged from sums in block order (no negative
  // or infinite weight, finite weight sums).
  bool Judgeable(const TFuzzyPerceptron& net);
  // The rules that fire for a pattern into Blocks->FiredPos/Act/Cls: by the
  // blocks when `kernel` allows and they can, else (`propagated`) by a
  // propagation in rule order. Returns how many.
  int FireAll(TFuzzyPerceptron& net, const TPattern& pattern, float missing, bool kernel, bool& propagated);
  // Whether the pattern is classified correctly (CheckOutput) with the
  // current classes, its fired rules listed by FireAll; `sums`, when given,
  // receives the output sums (weighted sums) or outputs (maximum).
  int Classify(TFuzzyPerceptron& net, const TPattern& pattern, float missing, int fired, bool propagated,
               float* sums);
  // Adds the fired rules' terms of a pattern to the evaluation's sums.
  void Account(int correct, int target, int fired, float* performance) const;
  static void LeaveLast(TFuzzyPerceptron& net, const TLearningTask& task);
  // Whether outputs from these sums of the pattern's `terms` terms (block
  // order) classify it correctly: 1, 0 or -1 when they cannot tell.
  int Judge(const float* sums, int terms, int target);
  std::vector<float> Out;           // per class: output sums in block order
  std::vector<double> Lo, Hi;       // per class: bounds on the sums in rule order

  // The rule evaluation that the connection check prepares.
  struct TPrepared {
    const TLearningTask* Task = nullptr;  // the pattern set it went over
    std::vector<float> Performance;    // per position of Blocks, with the classes before reconnection
    std::vector<std::pair<int, int>> Reconnected;  // rules whose class the check changed, with the class before
    int Classes = 0;
    std::vector<float> Sums;           // per pattern, Classes entries: the output sums, in block order
    int Terms = 0;                     // the most rules that fired for one pattern
    std::vector<char> Correct;         // per pattern: its classification, with the classes before reconnection
  };
  std::unique_ptr<TPrepared> Prepared;
};

// The usable rules in the order of their classes and antecedents, for
// passes over whole pattern sets. Rules with equal leading entries sit
// together, so the rules that fire for one pattern share few 64-rule
// blocks, where the order of creation scatters them over all of them: for
// a million patterns of 12 inputs, 178 of 2724 blocks per pattern against
// nearly every one. A summary bit per block and (input, set) finds those
// blocks; within a block the masks of the sets, taken from the lowest degree
// up, hand every rule its activation (see Fire).
//
// Rules come out block by block, not in rule order: fit for sums per rule
// over the patterns, which keep pattern order, not for sums over rules.
struct TFuzzyPerceptron::TRuleIndex::TBlocks {
  int Inputs = 0;
  int Slots = 0;     // (input, set) pairs, as in the rule-order index
  int Count = 0;     // rules indexed
  int Blocks = 0;    // 64-rule blocks
  int SumWords = 0;  // words of a summary: one bit per block
  int Stride = 0;    // words per block: one mask per slot, then, when there are
                     // any, one per input for its don't-care rules

  std::vector<int> SetOffset;      // as in the rule-order index
  std::vector<int> Position;       // per rule (0-based): its position, or -1 when it is not indexed
  std::vector<int> Class;          // per position, as in the rule-order index
  std::vector<int> RuleAt;         // per position: its rule (0-based)
  std::vector<std::uint64_t> Bits; // per block, Stride words
  std::vector<std::uint64_t> Summary;  // per mask row (slot, then don't-care of each input): SumWords words
  std::vector<int> RowRules;       // per mask row: the rules in it
  std::vector<std::uint64_t> Tail; // SumWords words: a summary of every block; then the positions of the last block

  // Per pattern, from Prepare.
  struct TDegree {
    float Value;
    int Slot;
  };
  std::vector<TDegree> Degrees;  // degrees below 1, ascending once Sorted (Fire sorts them when it needs them)
  int DegreeCount = 0;
  bool Sorted = false;
  std::vector<int> Filter;       // per input j, from SetOffset[j] + j: the mask rows it lets through
  std::vector<int> RowCount;     // per input: how many
  std::vector<int> Order;        // the filtering inputs (not missing)
  int Filters = 0;
  std::vector<int> Pair;         // per filter, in Order: two of its rows (one twice when it has one)
  bool Narrow = false;           // no filter has more than two rows
  bool Nothing = false;          // some input lets no rule through
  bool Limited = false;          // Prepare narrowed the candidate blocks (Cand, SumList)...
  int LimitedWords = 0;          // ...to this many summary words
  std::vector<std::uint64_t> Cand;  // candidate blocks
  std::vector<int> BlockList;       // the same, listed
  std::vector<int> SumList;         // the summary words still holding candidates

  // Rules that fired, from Fire.
  std::vector<int> FiredPos;
  std::vector<float> FiredAct;
  std::vector<int> FiredCls;      // their classes
  bool UnitWeights = false;       // every weight is 1 (then 1 * a is a, exactly: the product is left out)

  void Build(const TFuzzyPerceptron& net, const TRuleIndex& ix);
  // The degrees and filters for one pattern; false when a degree the rules
  // could see is NaN or above 1: the caller then takes the rule-order path,
  // whose minimum keeps the order of the inputs. `onlySummary`, the block
  // summary of a set of positions (see NewSet), limits the search to them.
  bool Prepare(const TFuzzyPerceptron& net, const float* pattern, int dimension, float missing,
               const std::uint64_t* onlySummary = nullptr);
  // Lists the rules that fire for the prepared pattern with their
  // activations (FiredPos, FiredAct, FiredCls); `only`, when given, a bitset
  // over the positions, with its block summary `onlySummary`, limits the
  // search to its rules (the same as Prepare's). Returns how many fired.
  int Fire(const std::uint64_t* only = nullptr, const std::uint64_t* onlySummary = nullptr);
  // A bitset over the positions, with its block summary behind Blocks words.
  std::vector<std::uint64_t> NewSet() const {
    return std::vector<std::uint64_t>(static_cast<std::size_t>(Blocks) + SumWords, 0);
  }
  void AddToSet(std::vector<std::uint64_t>& set, int position) const {
    set[static_cast<std::size_t>(position / 64)] |= std::uint64_t(1) << (position % 64);
    set[static_cast<std::size_t>(Blocks) + position / 4096] |= std::uint64_t(1) << ((position / 64) % 64);
  }
};
