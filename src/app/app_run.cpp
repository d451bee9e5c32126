// The run command: learning until a stop criterion holds, and testing.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <sstream>

#include "app.h"
#include "app_background.h"
#include "fuzzynet.h"
#include "korvalin.h"
#include "outfile.h"
#include "signals.h"

namespace {

// The error curve is written aside and put in place of the previous curve
// only when the run ends with a report: a run that is aborted (its process
// ended) leaves the previous curve, which belongs to the network that is kept.
// Write failures are reported once, and the curve is then given up.
class TErrorCurve {
 public:
  explicit TErrorCurve(TApplication& app) : App(app) {}

  void Open(const std::string& name) {
    if (!App.MayReplace(name, TApplication::ErrorCurveFile, false)) return;
    if (!File.Open(name)) {
      App.ShowMsg(File.ErrorMsg(CreateError), Error);
      return;
    }
    App.WriteErrorHeader(File.Stream());
  }

  void Line(int epoch, float error, int misclassified, float percent) {
    if (!File.IsOpen()) return;
    char line[160];
    std::snprintf(line, sizeof line, "%5i \t %8.3f \t %5i \t %5.2f \n", epoch, static_cast<double>(error),
                  misclassified, static_cast<double>(percent));
    File.Stream() << line;
    GiveUpOnFailure();
  }

  void Flush() {
    if (!File.IsOpen()) return;
    File.Stream().flush();
    GiveUpOnFailure();
  }

  void Commit() {
    if (File.IsOpen() && !File.Commit()) App.ShowMsg(File.ErrorMsg(WriteError), Error);
  }

 private:
  TApplication& App;
  TOutputFile File;

  void GiveUpOnFailure() {
    if (!File.Failed()) return;
    App.ShowMsg(File.ErrorMsg(WriteError), Error);
    File.Discard();
  }
};

// The parameters that learning changes (the points of the fuzzy sets and
// the conclusion weights) as the last epoch that left them all finite had
// them, so that a diverging run can hand back a usable network.
class TLearntState {
 public:
  // Copies the parameters; false, keeping the earlier copy, when one of
  // them is not finite.
  bool Take(const TFuzzyPerceptron& net) {
    Scratch.clear();
    bool finite = true;
    auto keep = [this, &finite](float value) {
      finite = finite && std::isfinite(value);
      Scratch.push_back(value);
    };
    for (std::size_t i = 1; i < net.Partitions.size(); i++) {
      const TPartition& partition = net.Partitions[i];
      for (int s = 1; s <= partition.NumberOfSets; s++) {
        keep(partition.Sets[s].a);
        keep(partition.Sets[s].b);
        keep(partition.Sets[s].c);
      }
    }
    for (int r = 1; r <= net.NumberOfRules; r++) keep(net.Rules[r]->Weight);
    if (finite) Values.swap(Scratch);
    return finite;
  }

  void Restore(TFuzzyPerceptron& net) const {
    if (Values.empty()) return;  // nothing finite was ever taken
    std::size_t k = 0;
    for (std::size_t i = 1; i < net.Partitions.size(); i++) {
      TPartition& partition = net.Partitions[i];
      for (int s = 1; s <= partition.NumberOfSets; s++) {
        partition.Sets[s].a = Values[k++];
        partition.Sets[s].b = Values[k++];
        partition.Sets[s].c = Values[k++];
      }
    }
    for (int r = 1; r <= net.NumberOfRules; r++) net.Rules[r]->Weight = Values[k++];
    net.RulesChanged();
  }

 private:
  std::vector<float> Values, Scratch;
};

}  // namespace

void TApplication::Start(const TCommand& cmd) {
  if (!NetFitsPatterns("run")) return;
  if (std::string(cmd.Arg(1)) == "test") {
    Testing();
    return;
  }
  if (!Task->ClassInfo) {
    ShowMsg("Can't execute 'run learning': pattern set contains no class information. \n", Error);
    return;
  }
  // Only a person at a terminal or a driving program in pipe mode can go on
  // while learning runs in the background. Commands piped in plainly would
  // meet the learning gate, and their end would throw the learning away.
  if (BatchMode || (!PipeMode && !isatty(STDIN_FILENO)))
    Learning();
  else
    BackgroundLearning();
}

void TApplication::Learning() {
  const bool child = ChildPid == 0;
  // Ctrl-C in the foreground stops learning after the current epoch, as
  // 'stop' does in the background.
  const TInterruptible interruptible;
  bool interrupted = false;
  std::cout << " Starting the learning process.\n" << '\n';
  if (child) std::cout.flush();

  TErrorCurve curve(*this);
  curve.Open(ReplaceExt(NetFileName, appDefaultErrorExt));

  TLearntState finite;
  finite.Take(*Net);
  int finiteMisclassified = 0;
  float finiteError = 0.0f;

  TotalError = 0.0f;
  Epoch = 0;
  const TNetSettings settings = Parameters.Settings();
  const std::time_t started = std::time(nullptr);
  for (;;) {
    if (child) HoldReportRequests();
    Epoch++;
    Misclassified = Net->Learn(*Task, settings, TotalError);
    if (!std::isfinite(TotalError) || !finite.Take(*Net)) {
      finite.Restore(*Net);
      std::ostringstream msg;
      msg << " Learning stopped in epoch " << Epoch
          << ": the total error or a parameter of the net is no longer a finite number.\n"
          << " The net is kept as it was ";
      Epoch--;
      if (Epoch == 0)
        msg << "before learning.";
      else
        msg << "after epoch " << Epoch << ".";
      PrintMsg(msg, Error);
      Misclassified = finiteMisclassified;
      TotalError = finiteError;
      break;
    }
    finiteMisclassified = Misclassified;
    finiteError = TotalError;
    const float percent = static_cast<float>(Misclassified * 100.0 / Task->NumberOfPatterns);
    if (Parameters.UpdateCycle > 0 && (Epoch == 1 || Epoch % Parameters.UpdateCycle == 0)) {
      if (PipeMode)
        PrintLearningStatus(std::cout, "[Learning status]", True);
      else
        PrintLearningStatus(std::cout, nullptr, False);
    }
    curve.Line(Epoch, TotalError, Misclassified, percent);
    if (child) {
      // Nothing may wait in a buffer: the child can be ended at any moment.
      curve.Flush();
      std::cout.flush();
      // Asked to report: the report is all the parent wants now; the final
      // results below belong to a learning run that ends by itself.
      if (ReportRequested()) {
        curve.Commit();
        return;
      }
    } else if (TakeInterrupt()) {
      interrupted = true;
      break;
    }
    if (Epoch >= Parameters.MaxEpoch) break;
    if (Misclassified <= Parameters.StopAtMisclassified) break;
    if (!(percent > Parameters.StopAtPercent)) break;
  }
  const std::time_t finished = std::time(nullptr);
  if (child) AnnounceReport();
  curve.Commit();

  if (interrupted) {
    if (PipeMode) PrintLearningStatus(std::cout, "[Learning status]", True);
    std::ostringstream msg;
    msg << "Learning process stopped after " << Epoch << " epochs.\n";
    PrintMsg(msg, Information);
    return;
  }
  if (!OutputRedirected) {
    std::ostringstream msg;
    msg << "\n Net was trained for " << Epoch << " epochs." << '\n'
        << " Execution time: " << static_cast<long>(finished - started) << " s \n"
        << '\n';
    PrintMsg(msg, Information);
  }
  PrintLearningStatus(std::cout, "[Learning results]", PipeMode);
  if (child) std::cout.flush();
}

void TApplication::Testing() {
  const std::string resultName = ReplaceExt(NetFileName, appDefaultResultExt);
  const std::string shownName = RelPath(resultName);
  TOutputFile file;
  bool open = MayReplace(resultName, ResultFile, false);
  if (open && !file.Open(resultName)) {
    open = false;
    ShowMsg(file.ErrorMsg(CreateError), Error);
  }
  if (open) WriteResultHeader(file.Stream());

  std::cout << " Propagating patterns...\n" << '\n';
  auto record = std::make_unique<TTestRecord>();
  record->PatternFile = PatternFileName;
  record->NetFile = NetFileName;
  record->ClassNames = NamesOf(*Net).Classes;
  const auto keep = [this, &record](int p, const TOutcome& o) {
    if (Task->ClassInfo) record->Targets.push_back(Task->Patterns[p].Class);
    record->Computed.push_back(o.Decision == TDecision::Decided ? o.Best : 0);
  };
  const TTestTotals totals = open ? TestNet(*Net, *Task, file.Stream(), keep) : TestNet(*Net, *Task, keep);
  TotalError = totals.Error;
  Misclassified = totals.Misclassified;
  LastTest = std::move(record);

  // The file is complete before the summary names it, so that a failed
  // write is never announced as a result file.
  bool written = false;
  if (open) {
    PrintTestResults(file.Stream(), "[Test results]", nullptr);
    file.Stream() << '\n';
    written = file.Commit();
  }
  PrintTestResults(std::cout, "[Test results]", PipeMode && written ? shownName.c_str() : nullptr);
  if (written && !PipeMode) ShowMsg(" \n See " + shownName + " for detailed test results.\n", Information);
  if (open && !written) ShowMsg(file.ErrorMsg(WriteError), Error);
}
