// The run command: learning until a stop criterion holds, and testing.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <iostream>
#include <sstream>

#include "app.h"
#include "app_background.h"
#include "fuzzynet.h"
#include "korvalin.h"
#include "outfile.h"

namespace {

// The error curve is written straight to its file, not through a temporary
// file: a learning child may be ended at any moment, and the curve is meant
// to be watched while it grows.
class TErrorCurve {
 public:
  TErrorCurve() : Out(&Buf) {}
  TErrorCurve(const TErrorCurve&) = delete;
  TErrorCurve& operator=(const TErrorCurve&) = delete;
  ~TErrorCurve() { Close(); }

  bool Open(const std::string& name) {
    Fd = open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0664);
    if (Fd < 0) return false;
    Buf.Attach(Fd);
    return true;
  }
  bool IsOpen() const { return Fd >= 0; }
  std::ostream& Stream() { return Out; }

  void Line(int epoch, float error, int misclassified, float percent) {
    char line[160];
    std::snprintf(line, sizeof line, "%5i \t %8.3f \t %5i \t %5.2f \n", epoch, static_cast<double>(error),
                  misclassified, static_cast<double>(percent));
    Out << line;
  }

  void Close() {
    if (Fd < 0) return;
    Out.flush();
    close(Fd);
    Fd = -1;
  }

 private:
  int Fd = -1;
  TFdOutBuf Buf;
  std::ostream Out;
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
  std::cout << " Starting the learning process.\n" << '\n';
  if (child) std::cout.flush();

  TErrorCurve curve;
  if (curve.Open(ReplaceExt(NetFileName, appDefaultErrorExt))) WriteErrorHeader(curve.Stream());

  TotalError = 0.0f;
  Epoch = 0;
  const TNetSettings settings = Parameters.Settings();
  const std::time_t started = std::time(nullptr);
  for (;;) {
    if (child) HoldReportRequests();
    Epoch++;
    Misclassified = Net->Learn(*Task, settings, TotalError);
    const float percent = static_cast<float>(Misclassified * 100.0 / Task->NumberOfPatterns);
    if (Parameters.UpdateCycle > 0 && (Epoch == 1 || Epoch % Parameters.UpdateCycle == 0)) {
      if (PipeMode)
        PrintLearningStatus(std::cout, "[Learning status]", True);
      else
        PrintLearningStatus(std::cout, nullptr, False);
    }
    if (curve.IsOpen()) curve.Line(Epoch, TotalError, Misclassified, percent);
    if (child) {
      // Nothing may wait in a buffer: the child can be ended at any moment.
      std::cout.flush();
      curve.Stream().flush();
      // Asked to report: the report is all the parent wants now; the final
      // results below belong to a learning run that ends by itself.
      if (ReportRequested()) return;
    }
    if (Epoch >= Parameters.MaxEpoch) break;
    if (Misclassified <= Parameters.StopAtMisclassified) break;
    if (!(percent > Parameters.StopAtPercent)) break;
  }
  const std::time_t finished = std::time(nullptr);
  if (child) AnnounceReport();

  if (!OutputRedirected) {
    std::ostringstream msg;
    msg << "\n Net was trained for " << Epoch << " epochs." << '\n'
        << " Execution time: " << static_cast<long>(finished - started) << " s \n"
        << '\n';
    PrintMsg(msg, Information);
  }
  PrintLearningStatus(std::cout, "[Learning results]", PipeMode);
  curve.Close();
  if (child) std::cout.flush();
}

void TApplication::Testing() {
  const std::string resultName = ReplaceExt(NetFileName, appDefaultResultExt);
  const std::string shownName = RelPath(resultName);
  TOutputFile file;
  const bool open = file.Open(resultName);
  if (open)
    WriteResultHeader(file.Stream());
  else
    ShowMsg(file.ErrorMsg(CreateError), Error);

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
