// The classifier's whole API: pattern sets in, networks out, and every
// outcome as plain data. Nothing here prints; callers format. A network
// (TFuzzyPerceptron) tells its dimensions, names, input ranges and listings;
// everything else happens through the functions below.
#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzzynet.h"  // TFuzzyPerceptron
#include "lrntask.h"   // TLearningTask: a pattern set and its file reader
#include "modes.h"

// What creation and learning need to know (TNetSettings) and its check,
// with the table of the settings: korvalin/settings.h.
using korvalin::CheckSettings;

// A pattern set from rows in memory: `inputs` floats per row (NaN or
// `missing` for a missing value), classes 1..classes (or none when
// `classes` is empty). Names may be empty for the defaults.
std::unique_ptr<TLearningTask> MakeTask(const float* rows, int patterns, int inputs, const int* classes,
                                        int numberOfClasses, const std::vector<std::string>& inputNames,
                                        const std::vector<std::string>& classNames);

// Errors. The functions below do not end the process for anything: what
// they cannot do they report (a null network with the reason, an error
// text), and a failed allocation throws std::bad_alloc out of them.
//
// A long call (creation, learning, pruning) can be stopped by its caller:
// it asks the caller's stop request, a TStopRequest, now and then, at least
// about every 50 ms of work, and ends early, reporting that it stopped, once
// that returns true. An empty request is never asked.
using TStopRequest = std::function<bool()>;

// Creation: the initial rule base, then selection. `log` receives the
// creation log. `progress` (may be empty) hears after each stage. Null,
// with the reason in the report, when the pattern set has no inputs or
// when creation was stopped.
enum class TCreateStage { RulesCreated, RulesSelected };
struct TCreateReport {
  int Created = 0;     // rules in the initial rule base
  int NotCreated = 0;  // rules that Simple mode could not add
  int Selected = 0;    // rules kept
  bool Stopped = false;  // the stop request ended creation
  std::string Error;     // why there is no network; "" when there is one
};
std::unique_ptr<TFuzzyPerceptron> CreateNet(const TLearningTask& task, const TNetSettings& settings,
                                            std::ostream& log, TCreateReport& report,
                                            const std::function<void(TCreateStage, int rules)>& progress = {},
                                            const TStopRequest& stop = {});

// Learning. One epoch: every pattern once, the fuzzy sets (and weights)
// adapted; returns the misclassified count and sets `error`.
int LearnEpoch(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings, float& error);

struct TEpochStatus {
  int Epoch = 0;
  float Error = 0.0f;
  int Misclassified = 0;
  float Percent = 0.0f;  // of the patterns
  bool Stopped = false;  // StopRequested ended learning during epoch Epoch + 1
};
// Hears from Learn; the default does nothing and never stops.
class TLearnObserver {
 public:
  virtual ~TLearnObserver() = default;
  virtual void BeforeEpoch() {}
  // False stops learning after this epoch.
  virtual bool AfterEpoch(const TEpochStatus& status) { (void)status; return true; }
  // The stop request of learning (see TStopRequest): true ends learning
  // at once, in the middle of an epoch; the network goes back to the last
  // complete epoch.
  virtual bool StopRequested() { return false; }
};
// What Learn hands back: the status of the epoch whose network it leaves,
// and whether learning diverged.
struct TLearnResult : TEpochStatus {
  // The epoch that drove the total error or a parameter of the network
  // beyond finite numbers, 0 when none did. Learning stops there and the
  // network goes back to the epoch before (before learning for epoch 1);
  // the observer does not hear of the diverging epoch.
  int Diverged = 0;
};
// Epochs until a stop criterion of `settings` holds, the observer stops or
// learning diverges.
TLearnResult Learn(TFuzzyPerceptron& net, const TLearningTask& task, const TNetSettings& settings,
                   TLearnObserver& observer);

// Testing. A pattern is decided when exactly one class has the highest
// output and that output is positive.
enum class TDecision { Decided, NoRuleFired, Tie };
struct TOutcome {
  std::vector<float> Outputs;  // per class, 0-based
  int Best = 0;                // first class with the highest output (1-based)
  TDecision Decision = TDecision::NoRuleFired;
  bool Correct = false;        // decided for the pattern's own class
  float Error = 0.0f;          // summed squared output error; 0 without classes
  int Rule = 0;                // deciding rule (1-based), 0 when undecided
  float Activation = 0.0f;     // its activation
};
struct TTestTotals {
  int Patterns = 0;
  int Misclassified = 0;  // patterns not Correct (with class information)
  int Undecided = 0;
  float Error = 0.0f;     // summed in pattern order
};
// Propagates every pattern in order; `each` (may be empty) hears every
// pattern's outcome as it is computed.
TTestTotals TestNet(TFuzzyPerceptron& net, const TLearningTask& task,
                    const std::function<void(int pattern, const TOutcome&)>& each = {});
// Why an outcome is undecided, as the result file words it: "no rule
// fired" or "tie between A and B" (the tied classes' names); "" when decided.
std::string UndecidedReason(const TFuzzyPerceptron& net, const TOutcome& outcome);
// One row of `inputs` values (fewer: the rest missing). Here and below a
// NaN counts as missing as well as `missing`.
TOutcome Classify(TFuzzyPerceptron& net, const float* row, int inputs, float missing);
// The class outputs alone for `patterns` rows of `inputs` values, as
// Classify computes them: `outputs` receives patterns x classes floats, row
// by row. Much faster than an outcome per row when only outputs are wanted.
void ClassOutputs(TFuzzyPerceptron& net, const float* rows, int patterns, int inputs, float missing, float* outputs);

// Why a row got its outputs: every rule that fires.
struct TFiring {
  int Rule = 0;
  int Class = 0;
  float Activation = 0.0f;
  std::vector<int> Sets;           // per input (0-based): the set used, 0 = don't care
  std::vector<float> Memberships;  // per input: its membership (1 for don't care)
};
std::vector<TFiring> Explain(TFuzzyPerceptron& net, const float* row, int inputs, float missing);

// The names a network gives its inputs, classes and fuzzy sets, all
// 0-based (Sets[i][s] is set s+1 of input i+1), for callers that print.
struct TNetNames {
  std::vector<std::string> Inputs;
  std::vector<std::string> Classes;
  std::vector<std::vector<std::string>> Sets;
};
TNetNames NamesOf(const TFuzzyPerceptron& net);

// The network's text form, whose last line is kwEndNet. ReadNet returns
// null on LoadError or when it leaves the stream failed or at its end, with
// the reasons in `messages`. WriteNet (switching `out` to fixed notation)
// returns false, having written nothing and set `out` failed, when the
// network has no text form that reads back. Files hold six decimals;
// `exact` writes every number so that ReadNet restores the network bit for
// bit (for copies, such as pickles).
std::unique_ptr<TFuzzyPerceptron> ReadNet(std::istream& in, TLoadStatus& status, std::ostringstream& messages);
bool WriteNet(std::ostream& out, const TFuzzyPerceptron& net, bool exact = false);

// What a network is, for callers that hold it without looking inside.
struct TNetInfo {
  int Inputs = 0, Classes = 0, Rules = 0, MaxRules = 0;
  TAggregationFunc Aggregation = WeightedSum;
  std::vector<std::string> InputNames, ClassNames;  // 0-based
};
TNetInfo Describe(const TFuzzyPerceptron& net);

// Pruning: shorter rules, fewer inputs and fewer rules, found greedily on a
// pattern set. A change is kept only when it does not make the
// classification worse: fewer misclassified patterns (undecided ones
// included), or as many and a total error no larger. Rules that become
// equal to an earlier rule of their class merge into it, and every class
// with patterns keeps at least one rule. Exact and deterministic: the
// counts are those TestNet gives.
enum class TPruneStage { Inputs, Entries, Rules, Limit };
enum class TPruneOrder {
  Ranked,     // every candidate scored once, then tried in the order of its score
  Sequential  // candidates tried in rule and input order
};
struct TPruneOptions {
  bool Inputs = true;   // an input out of every rule at once
  bool Entries = true;  // single antecedent entries
  bool Rules = true;    // whole rules
  TPruneOrder Order = TPruneOrder::Ranked;
  // Keeps a change whenever the misclassified count does not rise, however
  // the total error goes: shorter rules, fitted less closely.
  bool Lax = false;
  // Above 0: when pruning leaves more rules, the rules whose removal costs
  // least go, at whatever cost, until no more are left; then pruning goes on.
  int MaxRules = 0;
};
struct TPruneProgress {
  TPruneStage Stage = TPruneStage::Inputs;
  int Tried = 0;          // candidates tried in this stage
  int Removed = 0;        // inputs, entries or rules removed in this stage
  int Misclassified = 0;  // now
  int Rules = 0;          // now
};
struct TPruneReport {
  int InputsBefore = 0, InputsAfter = 0;  // inputs some rule uses
  int RulesBefore = 0, RulesAfter = 0;
  int EntriesBefore = 0, EntriesAfter = 0;  // antecedent entries that are not "don't care"
  int Merged = 0;                           // rules merged into an equal one
  TTestTotals Before, After;
  bool Stopped = false;  // the stop request ended pruning
  std::string Error;     // when not "": pruning failed or was stopped, and the network is as it was
};
// Null when `net` can be pruned on `task`, else why not.
const char* CheckPrune(const TFuzzyPerceptron& net, const TLearningTask& task);
// `progress` (may be empty) hears after every stage pass.
TPruneReport Prune(TFuzzyPerceptron& net, const TLearningTask& task, const TPruneOptions& options,
                   const std::function<void(const TPruneProgress&)>& progress = {},
                   const TStopRequest& stop = {});
