// Times the network's hot paths on a pattern file: net_bench FILE [RUNS [PHASE]]
//   create: Best-mode creation keeping every rule, with the connection
//           check and the evaluation (log to /dev/null);
//   test:   a test pass without report through the 200 best rules;
//   learn:  the first learning epoch of a freshly created 200-rule network
//           (weights Free, no intersection constraint, all rates 0.01).
// Every input gets 5 fuzzy sets. Prints each run and the medians of CPU
// and wall time. A third argument (create, test, learn) times only that.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "korvalin.h"

namespace {

// Process CPU time and wall time: the machine is shared, and wall time
// also measures the neighbours.
struct TTime {
  double Cpu, Wall;
};

TTime Now() {
  timespec cpu;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
  const double wall = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
  return TTime{static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6, wall};
}

struct TSeries {
  std::vector<double> Cpu, Wall;
  void Add(TTime from, TTime to) {
    Cpu.push_back(to.Cpu - from.Cpu);
    Wall.push_back(to.Wall - from.Wall);
  }
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::unique_ptr<TFuzzyPerceptron> Create(const TLearningTask& task, int maxRules, std::ostream& log) {
  TNetSettings settings;
  settings.RuleMode = Best;
  settings.FSetsPerVariable = 5;
  settings.MaxRules = maxRules;
  TCreateReport report;
  return CreateNet(task, settings, log, report);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RUNS [create|test|learn]]\n", argv[0]);
    return 2;
  }
  int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::string only = argc > 3 ? argv[3] : "";  // create, test or learn: skip the other timings
  if (runs < 1) runs = 1;
  std::ifstream in(argv[1]);
  TLoadStatus status;
  std::ostringstream messages;
  TLearningTask task(in, status, messages);
  if (!in.good() || status == LoadError) {
    std::fprintf(stderr, "loading %s failed\n", argv[1]);
    return 1;
  }
  std::ofstream log("/dev/null");
  TSeries create, test, learn;
  for (int r = 1; r <= runs; r++) {
    TTime t0 = Now();
    int allRules = 0;
    if (only.empty() || only == "create") allRules = Create(task, task.NumberOfPatterns, log)->NumberOfRules();
    create.Add(t0, Now());
    std::printf("run %d: create %.1f ms cpu (%d rules)", r, create.Cpu.back(), allRules);
    if (only != "create") {
      auto net = Create(task, 200, log);
      TTestTotals totals;
      t0 = Now();
      if (only != "learn") totals = TestNet(*net, task);
      test.Add(t0, Now());

      TNetSettings params;
      params.Weights = Free;
      params.FsIntersect = false;
      params.Sigma = params.SigmaA = params.SigmaB = params.SigmaC = 0.01f;
      float learnError = 0.0f;
      t0 = Now();
      const int learnWrong = LearnEpoch(*net, task, params, learnError);
      learn.Add(t0, Now());
      std::printf(", test %.2f ms cpu (%d wrong, error %g), learn %.2f ms cpu (%d wrong)", test.Cpu.back(), totals.Misclassified,
                  static_cast<double>(totals.Error), learn.Cpu.back(), learnWrong);
    }
    std::printf("\n");
  }
  const char* names[] = {"create", "test", "learn"};
  const TSeries* series[] = {&create, &test, &learn};
  for (int i = 0; i < 3; i++)
    if (!series[i]->Cpu.empty())
      std::printf("median of %d: %s %.2f ms cpu, %.2f ms wall\n", runs, names[i], Median(series[i]->Cpu),
                  Median(series[i]->Wall));
  return 0;
}
