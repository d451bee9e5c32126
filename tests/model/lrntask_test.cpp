#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "lrntask.h"

namespace {

// One load as the load command judges it, with PrintErrorLine's location
// of a failed stream.
struct TLoad {
  std::unique_ptr<TLearningTask> Task;
  TLoadStatus Status = LoadOk;
  std::string Messages;
  std::string Where;  // empty when the stream stayed good
  bool Ok() const { return Where.empty() && Status != LoadError; }
};

TLoad Load(const std::string& text) {
  std::istringstream in(text);
  TLoad r;
  std::ostringstream messages;
  r.Task = std::make_unique<TLearningTask>(in, r.Status, messages);
  r.Messages = messages.str();
  if (!in.good()) {
    in.clear();
    std::ostringstream where;
    PrintErrorLine(where, in, static_cast<long>(in.tellg()));
    r.Where = where.str();
    r.Where.pop_back();  // the terminating NUL
  }
  return r;
}

const std::string kHead = "DIMENSIONS\n2 3\n";

std::string Range(const TLearningTask& t, int i) {
  std::ostringstream s;
  s << t.Bounds[i].Lower << ' ' << t.Bounds[i].Upper;
  return s.str();
}

}  // namespace

TEST(PatternFile, ClassVectorsNoClassAndZeroClasses) {
  TLoad r = Load(kHead + "PATTERNS\n4\n1 1  0 1 0\n2 2  1 0 1\n3 3  0 0 0\n4 4 -5 -2 -3\nEND\n");
  ASSERT_TRUE(r.Ok()) << r.Where;
  const int expected[] = {2, 1, 1, 2};
  for (int p = 1; p <= 4; p++) EXPECT_EQ(r.Task->Patterns[p].Class, expected[p - 1]) << p;
  EXPECT_EQ(r.Task->ClassCount[2], 2);

  // NOCLASS applies to the PATTERNS read after it, which replaces the first.
  TLoad n = Load(kHead + "PATTERNS\n1\n9 9 1 0 0\nNOCLASS\nPATTERNS\n2\n1 2\n3 4\nEND\n");
  ASSERT_TRUE(n.Ok()) << n.Where;
  EXPECT_EQ(n.Task->Patterns[2].Class, -1);
  EXPECT_EQ(n.Task->ClassCount[1], 0);
  EXPECT_EQ(Range(*n.Task, 1), "1 3");

  // Without classes the set counts as unclassified, so nothing indexes by class.
  TLoad z = Load("DIMENSIONS\n2 0\nPATTERNS\n1\n1 2\nEND\n");
  ASSERT_TRUE(z.Ok()) << z.Where;
  EXPECT_EQ(z.Task->ClassInfo, False);
  EXPECT_EQ(z.Task->Patterns[1].Class, -1);
}
