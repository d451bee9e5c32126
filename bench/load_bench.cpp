// Times loading a pattern file: load_bench FILE [RUNS]
// Prints every run and the median in milliseconds; a failed load exits 1.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "korvalin.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s FILE [RUNS]\n", argv[0]);
    return 2;
  }
  int runs = argc > 2 ? std::atoi(argv[2]) : 5;
  if (runs < 1) runs = 1;
  std::vector<double> ms;
  for (int r = 0; r < runs; r++) {
    auto start = std::chrono::steady_clock::now();
    std::ifstream in(argv[1]);
    TLoadStatus status;
    std::ostringstream messages;
    TLearningTask task(in, status, messages);
    auto stop = std::chrono::steady_clock::now();
    if (!in.good() || status == LoadError) {
      std::fprintf(stderr, "loading %s failed\n", argv[1]);
      return 1;
    }
    ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    std::printf("run %d: %.1f ms (%d patterns x %d inputs, %zu bytes of values)\n", r + 1, ms.back(),
                task.NumberOfPatterns, task.NumberOfInputs, task.Patterns.Values.capacity() * sizeof(float));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("median of %d: %.1f ms\n", runs, ms[ms.size() / 2]);
  return 0;
}
