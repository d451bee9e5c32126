// Every output byte of creation, learning and testing, pinned. A fixed
// pattern set (5 inputs, 3 classes, some missing values) is created and
// trained through the real program in each rule mode, weight mode and
// aggregation function, with and without the 0.5-intersection constraint.
// Speed work must leave every checksum as it is. A deliberate change of
// behaviour re-pins them: the failure message prints the new sums.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "e2e_util.h"

using namespace e2e;

namespace {

// The files one run leaves, in the order of the pinned checksums: the creation and selection account, the network as
// created, the error curve of the learning run, the test of the trained network and its rule listing, the trained
// network, and the test of that network read back from its file.
const char* const kFiles[] = {"det.log", "det.net", "det.err", "det.res", "det.rul", "trained.net", "trained.res"};

struct Case {
  const char *rules, *weights, *aggregation;
  int intersect;     // 1 with the 0.5-intersection constraint
  const char* sums;  // of kFiles, in order, blank-separated
};

// The run is long enough for the fuzzy sets to move in every case, and the
// rule limit below the number of candidates, so that Simple refuses rules
// and the two selecting modes choose.
const Case kCases[] = {
    {"simple", "fixed", "WeightedSum", 0, "3f9b6ad7 56f2a8a1 500e6c60 82388e77 40623e0f f1df9231 ac939d0b"},
    {"simple", "fixed", "Maximum", 1, "2b1a9dd2 5ae0311a d74e1156 27305902 40623e0f febe41f1 f6c7f2d2"},
    {"simple", "normalized", "WeightedSum", 1, "3f9b6ad7 56f2a8a1 8c947a03 703f0c87 40623e0f 3e9385d2 d846daa4"},
    {"simple", "normalized", "Maximum", 0, "2b1a9dd2 5ae0311a 0843b954 7be2a71d 40623e0f c9f12678 4d6797f4"},
    {"simple", "free", "WeightedSum", 0, "3f9b6ad7 56f2a8a1 e8183751 7477de90 40623e0f 90d25311 7ed870d0"},
    {"simple", "free", "Maximum", 1, "2b1a9dd2 5ae0311a 7141aa35 96ff0b9e 40623e0f dc0d54bc 942405ce"},
    {"best", "fixed", "WeightedSum", 1, "3a24d80a 15a32a33 2504b53e 49c53384 459752cb 325a18fd 0cde26e3"},
    {"best", "fixed", "Maximum", 0, "db94536e f6e64c0c cfc63c35 755e2c11 72b59e9e 62838eaa 4c9bf32e"},
    {"best", "normalized", "WeightedSum", 0, "3a24d80a 15a32a33 1b6f3a7a f86c072a 459752cb 918251e2 16a7cbea"},
    {"best", "normalized", "Maximum", 1, "db94536e f6e64c0c d1f729a6 e97fa292 72b59e9e b5d9b8fc 41371f99"},
    {"best", "free", "WeightedSum", 1, "3a24d80a 15a32a33 21048658 0a2265ad 459752cb 1852f4fa 06032931"},
    {"best", "free", "Maximum", 0, "db94536e f6e64c0c 04983b5e d69d4663 72b59e9e 4a434967 4f97c1a5"},
    {"bestperclass", "fixed", "WeightedSum", 0, "e27b6317 c10cf03a b269f88b 771f3fce f510b068 33f050b9 b19c6b1c"},
    {"bestperclass", "fixed", "Maximum", 1, "e0567442 10de48d4 7f7174f3 4de190a8 60ef571b 21a63109 d679792d"},
    {"bestperclass", "normalized", "WeightedSum", 1, "e27b6317 c10cf03a 61acb5ca 34b9c0db f510b068 674cddec 74ffd9c5"},
    {"bestperclass", "normalized", "Maximum", 0, "e0567442 10de48d4 2d116365 43b69f59 60ef571b d9ce56a9 d74db256"},
    {"bestperclass", "free", "WeightedSum", 0, "e27b6317 c10cf03a 3ecc9a7f ebd29fd9 f510b068 a84740b7 df191caa"},
    {"bestperclass", "free", "Maximum", 1, "e0567442 10de48d4 25a064bc d694aef0 60ef571b 1ad2a02e e4612696"},
};

// The file without its leading header block, which names absolute paths.
std::string Body(std::string text) {
  while (!text.empty() && text[0] == '#') text.erase(0, std::min(text.find('\n'), text.size() - 1) + 1);
  return text;
}

// 32-bit FNV-1a: enough to notice any change of a file.
std::string Checksum(const std::string& text) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", static_cast<unsigned>(h));
  return hex;
}

std::string Commands(const Case& c) {
  return std::string("set Learning_Rules = ") + c.rules + "\nset Learning_Weights = " + c.weights +
         "\nset AggregationFunc = " + c.aggregation + "\nset FsIntersect_0.5 = " + (c.intersect ? "yes" : "no") +
         "\nset MaxEpoch = 25\nset Update_Cycle = 0\nset sigma = 0.05\nset FSetsPerVariable = 4\n"
         "load pattern det.pat\nset NumberOfFSets[3] = 3\nset NumberOfFSets[5] = 2\ncreate net -r12\n"
         "run learning\nrun test\nsave rules\nsave net trained.net\nload net trained.net\nrun test\n";
}

class Determinism : public ::testing::TestWithParam<Case> {};

TEST_P(Determinism, OutputFilesKeepTheirChecksums) {
  const Case& c = GetParam();
  TScratchDir tmp;
  tmp.Write("det.pat", ReadText(std::string(KORVALIN_TEST_DATA) + "/determinism.pat"));
  tmp.Write("cmds", Commands(c));
  RunSpec spec = In(tmp, {"cmds"});
  spec.timeoutSeconds = 120;
  RunResult r = RunProgram(spec);
  ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
  ASSERT_EQ(r.out.find("[Error]"), std::string::npos) << r.out;
  std::string sums;
  for (const char* file : kFiles) {
    ASSERT_TRUE(FileExists(tmp / file)) << file << "\n" << r.out;
    sums += (sums.empty() ? "" : " ") + Checksum(Body(ReadText(tmp / file)));
  }
  EXPECT_EQ(sums, c.sums) << "checksums of det.log ... trained.res, in order";
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
  const Case& c = info.param;
  return std::string(c.rules) + "_" + c.weights + "_" + c.aggregation + (c.intersect ? "_Intersect" : "");
}

INSTANTIATE_TEST_SUITE_P(AllModes, Determinism, ::testing::ValuesIn(kCases), CaseName);

}  // namespace
