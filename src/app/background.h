// Background learning: a forked child learns while the parent keeps the
// command loop, and sends back a report (its learning status and its
// network) through a pipe. One TBackgroundLearning owns all of it on both
// sides: the child, the pipe, the flags its signal handlers set, the report
// as it arrives and the stop window of the child's learning loop.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <atomic>
#include <functional>
#include <istream>
#include <memory>
#include <string>

#include "cmdapp.h"
#include "korvalin.h"
#include "outfile.h"

// Where learning stands: the status line of a report.
struct TLearningStatus {
  int Epoch = 0;
  int Misclassified = 0;
  float TotalError = 0.0f;
};

// A report taken in from a child.
struct TChildReport {
  TLearningStatus Status;
  std::unique_ptr<TFuzzyPerceptron> Net;
};

class TBackgroundLearning {
 public:
  // Messages go to `shell`; `take` receives every report that was read
  // whole, before the child is ended.
  TBackgroundLearning(TCmdApplication& shell, std::function<void(TChildReport&)> take);
  // Ends a child that is still learning, without its report.
  ~TBackgroundLearning();
  TBackgroundLearning(const TBackgroundLearning&) = delete;
  TBackgroundLearning& operator=(const TBackgroundLearning&) = delete;

  // Parent. Forks a child that runs `learn`, which ends by calling Report,
  // and then waits for the parent to end it. False, after an Error saying
  // that learning runs in the foreground instead, when no child could be
  // made: the caller then learns itself.
  bool Start(const std::function<void()>& learn);
  // A child is learning or has a report to take in.
  bool Running() const { return Child > 0; }
  // This process is the learning child.
  bool InChild() const { return Child == 0; }

  // The pipe the command loop watches while it waits for a line (-1 when
  // there is no child), and what it calls when the pipe is readable: takes
  // what has arrived and, once the child has closed the pipe, the report.
  int Descriptor() const;
  void Serve();
  // Takes in a report that the child has begun or announced, waiting for
  // its end, so that the command about to run sees the outcome of learning.
  void Collect();
  // For 'stop': wakes the child should it be stopped, asks it for its report
  // and returns once the report has been taken in and the child has ended
  // (true), or once the child is found gone without a report, which is
  // reported (false); Running() is false then. After a second of waiting it
  // says so; Ctrl-C meanwhile takes the request back, unless the child is
  // reporting already, and leaves the child learning (false).
  bool Stop();
  // For 'abort' and the end of the program: ends the child, if any, and
  // drops its report.
  void Abort();
  // Reads a report (status line, the file it carries, then the network in
  // its text form), hands it to `take` and puts the file in place. False,
  // after an Error, with `take` not called and the file removed, when it
  // cannot be read.
  bool Take(std::istream& report);

  // Child. Holds report requests back while an epoch is computed, so that a
  // report only ever describes a network between two epochs.
  void HoldReports();
  // Ends the stop window after an epoch and its output: serves a request
  // that came meanwhile and tells whether the parent asked for a report.
  // Ends the child at once, leaving no temporary file, when the parent has
  // gone, since nobody would take a report.
  bool ReportRequested();
  // Tells the parent that learning is over and a report follows, before the
  // child prints its final results, so that a command typed after those
  // results waits for the report instead of meeting the learning gate.
  void Announce();
  // A finished file (the error curve) that the report carries: the parent
  // puts it in place once it has taken the report, and removes it when the
  // report fails; a child ended without its report being taken, or
  // orphaned, removes it itself.
  void HandOver(const TFinishedFile& file);
  // Writes the report and closes the pipe, so that the parent sees where it
  // ends; announces it first if need be.
  void Report(const TLearningStatus& status, const TFuzzyPerceptron& net);

 private:
  TCmdApplication& Shell;
  std::function<void(TChildReport&)> TakeReport;
  pid_t Child = -1;     // -1 none; the child's id in the parent; 0 inside the child
  int ReadFd = -1;      // parent: the pipe's read end, non-blocking
  int WriteFd = -1;     // child: the pipe's write end
  std::string Arrived;  // parent: what has arrived of the report
  bool Announced = false;  // child: the parent has been told
  TFinishedFile Carried;   // child: what the report carries

  // What the signal handlers record, hence static. The report request is a
  // word of memory shared with the child (null until made), which the child
  // looks at between epochs only; SIGUSR1 sets it too.
  enum : int { NoRequest, ReportWanted, Reporting };
  static std::atomic<int>* Request;
  static volatile sig_atomic_t AnnouncementSeen;  // parent: SIGUSR2 came
  // Child: the process that forked it, told from whoever adopts an orphan
  // and from whoever else sends it a signal.
  static pid_t Parent;
  static const char* volatile CarriedTemp;  // child: Carried.Temp once handed over
  static void OnReportRequest(int);
  static void OnAnnouncement(int);
  [[noreturn]] static void OnEnd(int sig, siginfo_t* info, void*);

  [[noreturn]] void RunChild(const std::function<void()>& learn);
  enum TArrival { ReportOpen, ReportClosed };
  TArrival Drain();
  void WaitForClose();
  // Once the child has closed the pipe: takes the report in and ends the
  // child. True when a report was taken.
  bool TakeArrived();
  // Ends the child and closes the parent's side; the child's wait status.
  int EndChild();
};
