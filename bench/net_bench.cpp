// Times the network's hot paths on a pattern file: net_bench FILE [RUNS]
//   create: Best-mode creation keeping every rule, with the connection
//           check and the evaluation (log to /dev/null);
//   test:   a test pass without report through the 200 best rules;
//   learn:  the first learning epoch of a freshly created 200-rule network
//           (weights Free, no intersection constraint, all rates 0.01).
// Every input gets 5 fuzzy sets. Prints each run and the medians of the
// process's CPU time. A third argument (create, test, learn) times only that.
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

#include "fuzzynet.h"
#include "lrntask.h"

namespace {

// Process CPU time: the machine is shared, and wall time mostly measures the neighbours.
struct Clock {
  using time_point = double;
  static double now() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
  }
};

double Ms(double from, double to) { return to - from; }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::unique_ptr<TFuzzyPerceptron> Create(const TLearningTask& task, int maxRules, std::ostream& log) {
  int notCreated = 0;
  auto net = std::make_unique<TFuzzyPerceptron>(task, maxRules, Best, TVector<int>(task.NumberOfInputs, 5),
                                                WeightedSum, notCreated, log);
  net->EvaluateRules(task, Best, log);
  return net;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
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
  std::vector<double> create, test, learn;
  for (int r = 1; r <= runs; r++) {
    auto t0 = Clock::now();
    int allRules = 0;
    if (only.empty() || only == "create") allRules = Create(task, task.NumberOfPatterns, log)->NumberOfRules;
    auto t1 = Clock::now();
    create.push_back(Ms(t0, t1));
    if (only == "create") continue;

    auto net = Create(task, 200, log);
    float error = 0.0f;
    t0 = Clock::now();
    int wrong = 0;
    if (only != "learn") wrong = net->Test(task, error);
    t1 = Clock::now();
    test.push_back(Ms(t0, t1));

    TLearningParameters params;
    params.LearningWeights = Free;
    params.FsIntersect = False;
    params.Sigma = params.SigmaA = params.SigmaB = params.SigmaC = 0.01f;
    float learnError = 0.0f;
    t0 = Clock::now();
    const int learnWrong = net->Learn(task, params, learnError);
    t1 = Clock::now();
    learn.push_back(Ms(t0, t1));
    std::printf("run %d: create %.1f ms (%d rules), test %.2f ms (%d wrong, error %g), learn %.2f ms (%d wrong)\n", r,
                create.back(), allRules, test.back(), wrong, static_cast<double>(error), learn.back(),
                learnWrong);
  }
  std::printf("median of %d: create %.1f ms, test %.2f ms, learn %.2f ms\n", runs, Median(create), Median(test),
              Median(learn));
  return 0;
}
