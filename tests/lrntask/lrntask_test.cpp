#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "lrntask.h"

namespace {

// One load as the load command does it: the stream's state decides, and a
// failed stream is located with PrintErrorLine.
struct TLoad {
  std::unique_ptr<TLearningTask> Task;
  TLoadStatus Status = LoadOk;
  std::string Messages;
  bool StreamGood = false;
  std::string Where;  // PrintErrorLine's text when the stream failed
};

TLoad LoadFrom(std::istream& in) {
  TLoad r;
  std::ostringstream messages;
  r.Task = std::make_unique<TLearningTask>(in, r.Status, messages);
  r.Messages = messages.str();
  r.StreamGood = in.good();
  if (!r.StreamGood) {
    in.clear();
    long pos = static_cast<long>(in.tellg());
    std::ostringstream where;
    PrintErrorLine(where, in, pos);
    r.Where = where.str();
    if (!r.Where.empty() && r.Where.back() == '\0') r.Where.pop_back();
  }
  return r;
}

TLoad Load(const std::string& text) {
  std::istringstream in(text);
  return LoadFrom(in);
}

bool Loaded(const TLoad& r) { return r.StreamGood && r.Status != LoadError; }

unsigned Bits(float x) {
  unsigned u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

const std::string kHead = "DIMENSIONS\n2 3\n";

}  // namespace

TEST(PatternFile, SampleFileLoadsCompletely) {
  std::ifstream in(KORVALIN_TEST_DATA "/two_features.pat");
  TLoad r = LoadFrom(in);
  ASSERT_TRUE(Loaded(r)) << r.Where;
  EXPECT_EQ(r.Status, LoadOk);
  EXPECT_EQ(r.Messages, "");
  const TLearningTask& t = *r.Task;
  EXPECT_EQ(t.NumberOfInputs, 2);
  EXPECT_EQ(t.NumberOfClasses, 2);
  EXPECT_EQ(t.NumberOfPatterns, 3);
  EXPECT_EQ(t.Name, "two-feature sample");
  ASSERT_TRUE(t.NamesAvail());
  EXPECT_EQ(t.InputNames[2], "height");
  EXPECT_EQ(t.ClassNames[1], "small");
  EXPECT_EQ(t.Patterns[2].Input[1], 9.0f);
  EXPECT_EQ(t.Patterns[2].Class, 2);
  EXPECT_EQ(t.ClassCount[1], 2);
  EXPECT_EQ(t.ClassCount[2], 1);
  EXPECT_EQ(t.Bounds[1].Lower, 0.0f);
  EXPECT_EQ(t.Bounds[1].Upper, 10.0f);
  EXPECT_EQ(Bits(t.MissingValue), 1u);

  TLearningTask copy(t);
  EXPECT_EQ(copy.Patterns[3].Input[2], 1.0f);
  EXPECT_NE(copy.Patterns[3].Input.data(), t.Patterns[3].Input.data());
  EXPECT_EQ(copy.ClassNames[2], "large");
}

TEST(PatternFile, InvalidDimensions) {
  for (const char* text : {"", "% only a comment\n", "NAME\nx\n", "DIMENSIONS 4 3\nEND\n", "DIMENSIONS\n0 2\nEND\n",
                           "DIMENSIONS\n2 -1\nEND\n", "DIMENSIONS\nx 2\nEND\n"}) {
    TLoad r = Load(text);
    EXPECT_EQ(r.Status, LoadError) << text;
    EXPECT_EQ(r.Messages, "No or invalid pattern dimensions specified!\n") << text;
  }
  EXPECT_EQ(Load("").Where, "Unexpected end of file.");

  TLoad r = Load("DIMENSIONS\n\n4 3\nPATTERNS\n0\nEND\n");
  ASSERT_TRUE(Loaded(r));
  EXPECT_EQ(r.Task->NumberOfInputs, 4);
  EXPECT_EQ(r.Task->NumberOfClasses, 3);
}

TEST(PatternFile, UnknownKeywordsAreWarnedAndSkipped) {
  TLoad r = Load(kHead + "patterns\nDIMENSIONS\n4 3\n  NOCLASS  \nEND\n");
  ASSERT_TRUE(Loaded(r));
  EXPECT_EQ(r.Status, LoadWarning);
  EXPECT_EQ(r.Messages,
            "Unkwown keyword \"patterns\" ignored.\n"
            "Unkwown keyword \"DIMENSIONS\" ignored.\n"
            "Unkwown keyword \"4 3\" ignored.\n");
  EXPECT_EQ(r.Task->NumberOfInputs, 2);
  EXPECT_EQ(r.Task->ClassInfo, False);
}

TEST(PatternFile, ClassVectorsTakeTheFirstLargestEntry) {
  TLoad r = Load(kHead + "PATTERNS\n4\n1 1  0 1 0\n2 2  1 0 1\n3 3  0 0 0\n4 4 -5 -2 -3 % last\nEND\n");
  ASSERT_TRUE(Loaded(r)) << r.Where;
  const TLearningTask& t = *r.Task;
  EXPECT_EQ(t.Patterns[1].Class, 2);
  EXPECT_EQ(t.Patterns[2].Class, 1);
  EXPECT_EQ(t.Patterns[3].Class, 1);
  EXPECT_EQ(t.Patterns[4].Class, 2);
  EXPECT_EQ(t.ClassCount[1], 2);
  EXPECT_EQ(t.ClassCount[2], 2);
  EXPECT_EQ(t.ClassCount[3], 0);
}

TEST(PatternFile, NoClassPatternsAndLaterSectionsReplaceEarlier) {
  TLoad r = Load(kHead + "PATTERNS\n1\n9 9 1 0 0\nNOCLASS\nPATTERNS\n2\n1 2\n3 4\nNAME\nfirst\nNAME\nsecond\nEND\n");
  ASSERT_TRUE(Loaded(r)) << r.Where;
  const TLearningTask& t = *r.Task;
  EXPECT_EQ(t.NumberOfPatterns, 2);
  EXPECT_EQ(t.Patterns[1].Input[1], 1.0f);
  EXPECT_EQ(t.Patterns[1].Class, -1);
  EXPECT_EQ(t.Patterns[2].Class, -1);
  EXPECT_EQ(t.ClassCount.Dimension(), 3);
  EXPECT_EQ(t.ClassCount[1], 0);
  EXPECT_EQ(t.Name, "second");
  EXPECT_EQ(t.Bounds[2].Lower, 2.0f);
}

TEST(PatternFile, BoundsFromDataWidenedByRanges) {
  const std::string data = "PATTERNS\n3\n2 -4 1 0 0\n-1 -2 1 0 0\n5 -3 1 0 0\n";
  TLoad plain = Load(kHead + data + "END\n");
  ASSERT_TRUE(Loaded(plain));
  EXPECT_EQ(plain.Task->Bounds[1].Lower, -1.0f);
  EXPECT_EQ(plain.Task->Bounds[1].Upper, 5.0f);
  EXPECT_EQ(plain.Task->Bounds[2].Lower, -4.0f);
  EXPECT_EQ(plain.Task->Bounds[2].Upper, -2.0f);

  TLoad narrow = Load(kHead + "INRANGES\n0 4\n-3 -3\n" + data + "END\n");
  ASSERT_TRUE(Loaded(narrow));
  EXPECT_EQ(narrow.Task->Bounds[1].Lower, -1.0f);
  EXPECT_EQ(narrow.Task->Bounds[1].Upper, 5.0f);

  TLoad wide = Load(kHead + data + "INRANGES\n-3 10 -8 0\nEND\n");
  ASSERT_TRUE(Loaded(wide));
  EXPECT_EQ(wide.Task->Bounds[1].Lower, -3.0f);
  EXPECT_EQ(wide.Task->Bounds[1].Upper, 10.0f);
  EXPECT_EQ(wide.Task->Bounds[2].Lower, -8.0f);
  EXPECT_EQ(wide.Task->Bounds[2].Upper, 0.0f);
}

TEST(PatternFile, MissingValuesAreSkippedAndCounted) {
  // 1e-45 rounds to the marker too; the smallest other values do not.
  TLoad r = Load(kHead + "PATTERNS\n4\n1.4e-45 7  1 0 0\n3 1e-45  1 0 0\n-1e-50 4  1 0 0\n2.8e-45 1e-45 1 0 0\nEND\n");
  ASSERT_TRUE(Loaded(r)) << r.Where;
  const TLearningTask& t = *r.Task;
  EXPECT_EQ(Bits(t.Patterns[1].Input[1]), 1u);
  EXPECT_EQ(Bits(t.Patterns[3].Input[1]), 0x80000000u);
  EXPECT_EQ(t.NumberOfMissingValues, 3);
  EXPECT_EQ(t.Bounds[1].Lower, -0.0f);
  EXPECT_EQ(t.Bounds[1].Upper, 3.0f);
  EXPECT_EQ(t.Bounds[2].Lower, 4.0f);
  EXPECT_EQ(t.Bounds[2].Upper, 7.0f);
}

TEST(PatternFile, FeatureWithoutValuesGetsAnUninvertedRange) {
  const std::string data = "PATTERNS\n2\n1.4e-45 1  1 0 0\n1.4e-45 2  1 0 0\n";
  TLoad none = Load(kHead + data + "END\n");
  ASSERT_TRUE(Loaded(none));
  EXPECT_EQ(none.Task->Bounds[1].Lower, 0.0f);
  EXPECT_EQ(none.Task->Bounds[1].Upper, 0.0f);
  TLoad given = Load(kHead + "INRANGES\n5 1\n0 3\n" + data + "END\n");
  ASSERT_TRUE(Loaded(given));
  EXPECT_EQ(given.Task->Bounds[1].Lower, 1.0f);
  EXPECT_EQ(given.Task->Bounds[1].Upper, 5.0f);
  TLoad empty = Load(kHead + "END\n");
  ASSERT_TRUE(Loaded(empty));
  EXPECT_EQ(empty.Task->NumberOfPatterns, 0);
  EXPECT_EQ(empty.Task->Bounds[2].Lower, 0.0f);
  EXPECT_EQ(empty.Task->ClassCount.Dimension(), 3);
}

TEST(PatternFile, ZeroClassesMeansUnclassified) {
  TLoad r = Load("DIMENSIONS\n2 0\nPATTERNS\n2\n1 2\n3 4\nEND\n");
  ASSERT_TRUE(Loaded(r)) << r.Where;
  EXPECT_EQ(r.Task->ClassInfo, False);
  EXPECT_EQ(r.Task->Patterns[2].Class, -1);
  EXPECT_EQ(r.Task->ClassCount.Dimension(), 0);
  std::ostringstream out;
  r.Task->PrintInfo(out, nullptr, "f", True);
  EXPECT_NE(out.str().find("Not available (unclassified patterns).\n"), std::string::npos);
}

TEST(PatternFile, ReadErrorsNameTheLine) {
  struct Case {
    std::string Text;
    std::string Where;
  } cases[] = {
      {kHead + "PATTERNS\n2\n1 2 0 0 1\n1 x 0 0 1\nEND\n", "Line 6: \"1 x 0 0 1\""},
      {kHead + "PATTERNS\n1\n1 2 0 % comment inside\n0 1\nEND\n", "Line 5: \"1 2 0 % comment inside\""},
      {kHead + "PATTERNS\n1\n1 2 0 1.5 0\nEND\n", "Line 5: \"1 2 0 1.5 0\""},
      {kHead + "PATTERNS\n1\n1e39 2 0 0 1\nEND\n", "Line 5: \"1e39 2 0 0 1\""},
      {kHead + "PATTERNS\n-1\nEND\n", "Line 4: \"-1\""},
      {kHead + "PATTERNS\n1\n1 2 0 0 1\n", "Unexpected end of file."},
      {kHead + "PATTERNS\n1\n1 2 0 0 1\nEND", "Unexpected end of file."},
      {kHead + std::string(80, 'K') + "\nEND\n", "Line 3: \"" + std::string(80, 'K') + "\""},
      {kHead + "NAME\n" + std::string(80, 'n') + "\nEND\n", "Line 4: \"" + std::string(80, 'n') + "\""},
      {kHead + "VARNAMES\na\n" + std::string(30, 'b') + "\nc\nd\ne\nEND\n", "Line 5: \"" + std::string(30, 'b') + "\""},
      {kHead + "INRANGES\n0 1\n2\nEND\n", "Line 6: \"END\""},
      {kHead + "PATTERNS\n2000000000\n1 2 0 0 1\n", "Unexpected end of file."},
      {kHead + "PATTERNS\n2000000000\n1 2 0 0 1\nEND\n", "Line 6: \"END\""},
      {kHead + "PATTERNS\n99999999999\nEND\n", "Line 4: \"99999999999\""},
  };
  for (const Case& c : cases) {
    TLoad r = Load(c.Text);
    EXPECT_FALSE(r.StreamGood) << c.Text;
    EXPECT_EQ(r.Where, c.Where) << c.Text;
  }
}

TEST(PatternFile, LongestAllowedLines) {
  const std::string name(27, 'v');
  TLoad r = Load(kHead + std::string(79, 'K') + "\nNAME\n" + std::string(79, 'n') + "\nVARNAMES\n  " + name +
                 "\nb\nc\nd\ne\nEND\n");
  ASSERT_TRUE(Loaded(r)) << r.Where;
  EXPECT_EQ(r.Status, LoadWarning);
  EXPECT_EQ(r.Task->Name, std::string(79, 'n'));
  EXPECT_EQ(r.Task->InputNames[1], std::string(27, 'v'));  // 29 characters, trimmed
}

TEST(PatternFile, HugeDeclaredDimensionsFailWithoutAllocating) {
  TLoad r = Load("DIMENSIONS\n100000000 3\nPATTERNS\n1\n1 2 3\nEND\n");
  EXPECT_EQ(r.Status, LoadError);
  EXPECT_FALSE(r.StreamGood);
  EXPECT_EQ(r.Where, "Line 2: \"100000000 3\"");
  TLoad classes = Load("DIMENSIONS\n1 2000000000\nEND\n");
  EXPECT_EQ(classes.Status, LoadError);
  EXPECT_FALSE(classes.StreamGood);
}

TEST(PrintInfo, ShortAndDetailedLayouts) {
  std::ifstream in(KORVALIN_TEST_DATA "/two_features.pat");
  TLoad r = LoadFrom(in);
  ASSERT_TRUE(Loaded(r));
  const std::string head =
      "Pattern loaded from     : /p/two.pat\n"
      "Number of input features: 2\n"
      "Number of classes       : 2\n"
      "Number of patterns      : 3\n"
      "Classified patterns     : Yes\n";
  std::ostringstream brief;
  r.Task->PrintInfo(brief, "[Pattern dimensions]", "/p/two.pat", False);
  EXPECT_EQ(brief.str(), "[Pattern dimensions]\n" + head);

  std::ostringstream full;
  r.Task->PrintInfo(full, nullptr, "/p/two.pat", True);
  EXPECT_EQ(full.str(), head +
                            "Missing values          : 0\n\n"
                            "\n# Name of the pattern set:\ntwo-feature sample\n\n"
                            "# Input features\n"
                            "Input feature 1: \n\t Label: 'width'\n\t Range: [0,10]\n\n"
                            "Input feature 2: \n\t Label: 'height'\n\t Range: [0,5]\n\n"
                            "\n# Class information\n"
                            "Class 1: \n\t Label: 'small'\n\t Number of patterns: 2\n\n"
                            "Class 2: \n\t Label: 'large'\n\t Number of patterns: 1\n\n");
}

TEST(PrintInfo, UnnamedUnclassifiedWithMissingValues) {
  TLoad r = Load("DIMENSIONS\n1 2\nNOCLASS\nPATTERNS\n2\n1.4e-45\n0.25\nEND\n");
  ASSERT_TRUE(Loaded(r));
  std::ostringstream out;
  r.Task->PrintInfo(out, "[Patterninfo]", "x", True);
  EXPECT_EQ(out.str(),
            "[Patterninfo]\n"
            "Pattern loaded from     : x\n"
            "Number of input features: 1\n"
            "Number of classes       : 2\n"
            "Number of patterns      : 2\n"
            "Classified patterns     : No\n"
            "Missing values          : 1 (missing values are denoted as '1.4013e-45')\n\n"
            "\n# Name of the pattern set:\n\n\n"
            "# Input features\n"
            "Input feature 1: \n\t Label: No label defined.\n\t Range: [0.25,0.25]\n\n"
            "\n# Class information\n"
            "Not available (unclassified patterns).\n");
}
