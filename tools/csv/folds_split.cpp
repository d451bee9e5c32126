#include "folds_split.h"

#include <iostream>
#include <map>
#include <random>
#include <sstream>

#include "infile.h"
#include "lrntask.h"
#include "names.h"
#include "pattern_table.h"
#include "stdutils.h"

namespace {

// Uniform in 0 .. bound-1 from the raw 32-bit outputs, by rejection, so
// that no library distribution (whose algorithm varies) is involved.
std::uint32_t Below(std::mt19937& random, std::uint32_t bound) {
  const std::uint64_t range = 1ull << 32;
  const std::uint64_t limit = range - range % bound;
  for (;;) {
    std::uint64_t r = random();
    if (r < limit) return static_cast<std::uint32_t>(r % bound);
  }
}

}  // namespace

std::vector<int> AssignFolds(const std::vector<int>& classes, int folds, std::uint32_t seed) {
  std::map<int, std::vector<int>> members;
  for (std::size_t p = 0; p < classes.size(); p++) members[classes[p]].push_back(static_cast<int>(p));
  std::mt19937 random(seed);
  std::vector<int> fold(classes.size(), 0);
  int next = 0;
  for (auto& entry : members) {
    std::vector<int>& list = entry.second;
    for (std::size_t i = list.size(); i > 1; i--)
      std::swap(list[i - 1], list[Below(random, static_cast<std::uint32_t>(i))]);
    for (int p : list) {
      fold[p] = next;
      next = (next + 1) % folds;
    }
  }
  return fold;
}

namespace {

TPatternTable EmptyLike(const TLearningTask& task, const std::string& name) {
  TPatternTable table;
  table.NumberOfInputs = task.NumberOfInputs;
  table.NumberOfClasses = task.NumberOfClasses;
  table.Name = Utf8Prefix(name, 79);
  if (task.NamesAvail()) {
    table.InputNames.assign(task.InputNames.begin() + 1, task.InputNames.end());
    table.ClassNames.assign(task.ClassNames.begin() + 1, task.ClassNames.end());
  }
  return table;
}

void Append(TPatternTable& table, const TLearningTask& task, int p) {
  TPattern pattern = task.Patterns[p];
  for (int i = 1; i <= task.NumberOfInputs; i++) table.Values.push_back(pattern.Input[i]);
  table.Classes.push_back(pattern.Class);
}

bool WriteTable(const std::string& fileName, const TPatternTable& table, const std::vector<std::string>& comments) {
  std::string error;
  if (SavePatternFile(fileName, table, comments, error)) return true;
  std::cerr << "korvalin-csv: " << error << "\n";
  return false;
}

}  // namespace

int SplitIntoFolds(const std::string& fileName, int folds, unsigned long seed, const std::string& prefix) {
  TInputFile in;
  if (!in.Open(fileName)) {
    std::cerr << "korvalin-csv: " << FileErrorMsg(fileName, OpenError) << "\n";
    return 1;
  }
  TLoadStatus status = LoadOk;
  std::ostringstream messages;
  TLearningTask task(in, status, messages);
  if (in.ReadFailed()) {
    std::cerr << "korvalin-csv: " << in.ReadErrorMsg() << "\n";
    return 1;
  }
  if (!in.good() || status == LoadError) {
    std::ostringstream report;
    report << messages.str() << "Reading patterns from " << fileName << " failed.";
    if (!in.good()) {
      report << ' ';
      PrintErrorLine(report, in, static_cast<long>(in.tellg()));
    }
    std::cerr << "korvalin-csv: " << report.str() << "\n";
    return 1;
  }
  if (!task.ClassInfo) {
    std::cerr << "korvalin-csv: " << fileName << ": the patterns have no classes to split by\n";
    return 1;
  }
  if (task.NumberOfPatterns < folds) {
    std::cerr << "korvalin-csv: " << fileName << ": " << task.NumberOfPatterns << " patterns cannot make "
              << folds << " folds\n";
    return 1;
  }

  std::vector<int> classes;
  for (int p = 1; p <= task.NumberOfPatterns; p++) classes.push_back(task.Patterns[p].Class);
  std::vector<int> fold = AssignFolds(classes, folds, static_cast<std::uint32_t>(seed));

  std::string dir, base, ext;
  SplitPath(fileName, dir, base, ext);
  for (int f = 0; f < folds; f++) {
    const std::string number = std::to_string(f + 1);
    const std::string of = " of " + std::to_string(folds);
    TPatternTable train = EmptyLike(task, task.Name + " (train " + number + of + ")");
    TPatternTable test = EmptyLike(task, task.Name + " (test " + number + of + ")");
    for (int p = 1; p <= task.NumberOfPatterns; p++) Append(fold[p - 1] == f ? test : train, task, p);
    const std::vector<std::string> comments = {
        "fold " + number + of + " of " + base + ext + ", seed " + std::to_string(seed)};
    const std::string trainName = prefix + "-train-" + number + ".pat";
    const std::string testName = prefix + "-test-" + number + ".pat";
    if (!WriteTable(trainName, train, comments) || !WriteTable(testName, test, comments)) return 1;
    std::cerr << "korvalin-csv: " << trainName << " (" << train.NumberOfPatterns() << " patterns), " << testName
              << " (" << test.NumberOfPatterns() << " patterns)\n";
  }
  return 0;
}
