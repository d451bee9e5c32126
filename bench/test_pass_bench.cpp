// Times the command program's test pass of a given network on a pattern
// file: TestNet with a listener, what 'run test' computes (without its
// result file), and the bare propagation pass of the network (the class
// outputs of every row, as ClassOutputs gives them).
//   test_pass_bench PATTERNS NET [RUNS]
// Prints every run's process CPU times and the medians in milliseconds, and
// the misclassified count, so that other timings can be checked against it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "korvalin.h"

namespace {
double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PATTERNS NET [RUNS]\n", argv[0]);
    return 2;
  }
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  std::ifstream patterns(argv[1]), netFile(argv[2]);
  TLoadStatus status;
  std::ostringstream messages;
  TLearningTask task(patterns, status, messages);
  if (!patterns.good() || status == LoadError) {
    std::fprintf(stderr, "loading %s failed\n", argv[1]);
    return 1;
  }
  auto net = ReadNet(netFile, status, messages);
  if (!net) {
    std::fprintf(stderr, "loading %s failed\n", argv[2]);
    return 1;
  }
  std::vector<double> pass, bare;
  std::vector<float> outputs(static_cast<std::size_t>(task.NumberOfPatterns) * net->NumberOfClasses());
  int wrong = 0;
  for (int r = 1; r <= runs; r++) {
    double start = CpuMs();
    wrong = TestNet(*net, task, [](int, const TOutcome&) {}).Misclassified;
    pass.push_back(CpuMs() - start);
    start = CpuMs();
    ClassOutputs(*net, task.Patterns.Values.data(), task.NumberOfPatterns, task.NumberOfInputs, task.MissingValue,
                 outputs.data());
    bare.push_back(CpuMs() - start);
    std::printf("run %d: test pass %.1f ms cpu, bare pass %.1f ms cpu\n", r, pass.back(), bare.back());
  }
  std::sort(pass.begin(), pass.end());
  std::sort(bare.begin(), bare.end());
  std::printf("median of %d: test pass %.1f ms cpu, bare pass %.1f ms cpu; %d of %d misclassified\n", runs,
              pass[pass.size() / 2], bare[bare.size() / 2], wrong, task.NumberOfPatterns);
  return 0;
}
