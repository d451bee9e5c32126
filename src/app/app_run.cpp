// The run command: learning until a stop criterion holds, and testing.
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <sstream>

#include "app.h"
#include "korvalin.h"
#include "outfile.h"
#include "result_file.h"
#include "signals.h"

namespace {

// The error curve is written aside and put in place of the previous curve
// only together with the network it belongs to: in the foreground when the
// run ends, in a learning child when the parent takes its report, to which
// the child hands the finished curve. A run that is aborted (its process
// ended) or whose report fails leaves the previous curve, which belongs to
// the network that is kept. Write failures are reported once, and the curve
// is then given up.
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
    if (!File.IsOpen()) return;
    const bool child = App.Background.InChild();
    TFinishedFile done;
    if (!(child ? File.Finish(done) : File.Commit()))
      App.ShowMsg(File.ErrorMsg(WriteError), Error);
    else if (child)
      App.Background.HandOver(done);
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

// Hears every epoch: the status line every UpdateCycle epochs and the
// error curve; in a learning child the report request that ends the run,
// in the foreground Ctrl-C.
class TLearningReport : public TLearnObserver {
 public:
  TLearningReport(TApplication& app, TErrorCurve& curve, bool child) : App(app), Curve(curve), Child(child) {}

  bool Requested = false;    // the run ended at the parent's request
  bool Interrupted = false;  // the run ended at Ctrl-C

  void BeforeEpoch() override {
    if (Child) App.Background.HoldReports();
  }

  bool AfterEpoch(const TEpochStatus& status) override {
    App.Epoch = status.Epoch;
    App.Misclassified = status.Misclassified;
    App.TotalError = status.Error;
    const int patterns = App.Task->NumberOfPatterns;
    const int cycle = App.Parameters.UpdateCycle;
    if (cycle > 0 && (status.Epoch == 1 || status.Epoch % cycle == 0)) {
      if (App.PipeMode)
        App.PrintLearningStatus(std::cout, "[Learning status]", True);
      else
        App.PrintLearningStatus(std::cout, nullptr, False);
    }
    Curve.Line(status.Epoch, status.Error, status.Misclassified,
               static_cast<float>(status.Misclassified * 100.0 / patterns));
    if (Child) {
      // Nothing may wait in a buffer: the child can be ended at any moment.
      Curve.Flush();
      std::cout.flush();
      // Asked to report: the report is all the parent wants now; the final
      // results belong to a learning run that ends by itself.
      if (App.Background.ReportRequested()) {
        Curve.Commit();
        Requested = true;
        return false;
      }
    } else if (TakeInterrupt()) {
      Interrupted = true;
      return false;
    }
    // Without patterns an epoch has nothing to learn from.
    return patterns > 0;
  }

 private:
  TApplication& App;
  TErrorCurve& Curve;
  bool Child;
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
  else if (!Background.Start([this] {
             Learning();
             Background.Report({Epoch, Misclassified, TotalError}, *Net);
           }))
    Learning();
}

void TApplication::Learning() {
  const bool child = Background.InChild();
  // Ctrl-C in the foreground stops learning after the current epoch, as
  // 'stop' does in the background.
  const TInterruptible interruptible;
  // One write at a terminal: the child shares it with the parent's prompt
  // and the echo of what the user types next.
  std::cout << " Starting the learning process.\n\n";
  if (child) std::cout.flush();

  TErrorCurve curve(*this);
  curve.Open(DefaultName(ErrorCurveFile));

  TotalError = 0.0f;
  Epoch = 0;
  const std::time_t started = std::time(nullptr);
  TLearningReport report(*this, curve, child);
  const TLearnResult learnt = Learn(*Net, *Task, Parameters.Settings(), report);
  if (learnt.Diverged > 0) {
    Epoch = learnt.Epoch;
    Misclassified = learnt.Misclassified;
    TotalError = learnt.Error;
    std::ostringstream msg;
    msg << " Learning stopped in epoch " << learnt.Diverged
        << ": the total error or a parameter of the net is no longer a finite number.\n"
        << " The net is kept as it was ";
    if (Epoch == 0)
      msg << "before learning.";
    else
      msg << "after epoch " << Epoch << ".";
    PrintMsg(msg, Error);
  }
  if (report.Requested) return;
  const std::time_t finished = std::time(nullptr);
  if (child) Background.Announce();
  curve.Commit();

  if (report.Interrupted) {
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

void TApplication::TakeReport(TChildReport& report) {
  Net = std::move(report.Net);
  Epoch = report.Status.Epoch;
  Misclassified = report.Status.Misclassified;
  TotalError = report.Status.TotalError;
  if (PipeMode) {
    PrintLearningStatus(std::cout, "[Learning status]", True);
    std::cout.flush();
  }
}

void TApplication::Testing() {
  const std::string resultName = DefaultName(ResultFile);
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
  const TTestTotals totals = TestNet(*Net, *Task, [&](int p, const TOutcome& o) {
    if (open) WriteTestRecord(file.Stream(), *Task, *Net, p, o);
    if (Task->ClassInfo) record->Targets.push_back(Task->Patterns[p].Class);
    record->Computed.push_back(o.Decision == TDecision::Decided ? o.Best : 0);
  });
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
