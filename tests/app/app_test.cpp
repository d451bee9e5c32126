// The application's own parts: the shipped help file against the command
// and parameter tables, taking in a learning child's report, the output
// kinds' headers, and the file readers on a byte-order mark and on a
// failing read.
#include "app.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <regex>
#include <vector>

#include "../quiet_app.h"
#include "../scratch_dir.h"
#include "korvalin.h"

namespace {

// Takes the report a learning child sends: status line, the names of the
// file it carries, then the network.
struct TQuietApp : TQuietApplication {
  Boolean Take(const std::string& report) {
    std::istringstream in(report);
    return Background.Take(in);
  }
};

// The first `good` bytes of a text, then a read that throws, as a file
// stream buffer does when read(2) fails.
struct TFailingBuf : std::streambuf {
  std::string Text;
  TFailingBuf(const std::string& text, std::size_t good) : Text(text, 0, good) {
    setg(Text.data(), Text.data(), Text.data() + Text.size());
  }
  int_type underflow() override { throw std::ios_base::failure("read"); }
};

}  // namespace

// The shipped help file has a section for every command and parameter, and
// a parameter's section opens with the row's help line and its default; a
// choice's help line lists the words of its modes.
TEST(Tables, EveryCommandAndParameterHasItsHelpSection) {
  std::istringstream help(ReadText(std::string(KORVALIN_SOURCE_DIR) + "/help/korvalin.hlp"));
  std::map<std::string, std::string> firstLine;  // topic: the first line of its section
  std::vector<std::string> pending;
  for (std::string line; std::getline(help, line);) {
    if (line.compare(0, 7, "\\topic ") == 0) {
      pending.push_back(line.substr(7));
      continue;
    }
    for (const std::string& topic : pending) firstLine[topic] = line;
    pending.clear();
  }
  for (const TCmdDef* row = ValidCommands(); row->Name[0] != '\0'; row++)
    EXPECT_EQ(firstLine.count(row->Name), 1u) << row->Name;

  for (const TParamDef& row : korvalin::AllSettings()) {
    ASSERT_EQ(firstLine.count(row.Name), 1u) << row.Name;
    std::smatch m;
    const std::string& line = firstLine[row.Name];
    ASSERT_TRUE(std::regex_match(line, m, std::regex(" (.*[^ ]) +default: (.*)"))) << line;
    EXPECT_EQ(m[1], row.Help);
    EXPECT_EQ(stricmp(m[2].str().c_str(), ParamText(row, row.Default).c_str()), 0) << line;
    std::string words;
    for (int i = 0; row.Type == korvalin::SettingType::Choice && row.Word(i) != nullptr; i++)
      words += (i > 0 ? " | " : std::string(row.Name) + " = ") + row.Word(i);
    if (!words.empty()) {
      EXPECT_EQ(stricmp(words.c_str(), row.Help), 0) << row.Help;
    }
  }
}

// A report that is not taken leaves the network and removes the error
// curve that it carries, which takes its place only with the network.
TEST(LearningReport, TakenInWholeOrNotAtAll) {
  TQuietApp app;
  const std::string net = ReadText(std::string(KORVALIN_TEST_DATA) + "/small.net"), none(3, '\0');
  ASSERT_TRUE(app.Take("12\t3\tinf\n" + none + net));  // a diverged run's error comes back too
  EXPECT_EQ(app.Epoch, 12);
  EXPECT_EQ(app.Misclassified, 3);
  EXPECT_TRUE(std::isinf(app.TotalError));
  TScratchDir dir;
  const std::string curve = dir / "x.err", temp = dir / ".korvalin.x.err.1.abcdef";
  auto carrying = [&](const std::string& text) {
    dir.Write(".korvalin.x.err.1.abcdef", text);
    return curve + '\0' + curve + '\0' + temp + '\0';
  };
  ASSERT_TRUE(app.Take("7\t2\t1.25\n" + carrying("taken") + net));
  EXPECT_EQ(ReadText(curve), "taken");
  const TFuzzyPerceptron* kept = app.Net.get();
  ASSERT_NE(kept, nullptr);
  for (const std::string& broken : {"seven\t2\t1.0\n" + none + net, "8\t1\n" + none + net, std::string("8\t1\t0.5\n"),
                                    "8\t1\t0.5\n" + curve + '\0' + net,
                                    "8\t1\t0.5\n" + carrying("dropped") + net.substr(0, net.find("MATRIX") + 12),
                                    "8\t1\t0.5\n" + carrying("dropped") + net.substr(0, net.rfind("END"))}) {
    app.Messages.clear();
    EXPECT_FALSE(app.Take(broken)) << broken;
    EXPECT_EQ(app.Net.get(), kept);
    EXPECT_EQ(app.Epoch * 100 + app.Misclassified, 702);
    EXPECT_EQ(app.TotalError, 1.25f);
    ASSERT_EQ(app.Messages.size(), 1u) << broken;
    EXPECT_EQ(app.Messages[0].first, Error);
  }
  EXPECT_EQ(ReadText(curve), "taken");
  EXPECT_FALSE(std::filesystem::exists(temp));
}

// Every output kind's header is recognised as that kind's and no other's,
// so that a row whose header the guard cannot read is caught.
TEST(OutputKinds, AHeaderIsRecognisedByItsOwnKindAlone) {
  TQuietApp app;
  TScratchDir dir;
  const int kinds = TApplication::PredictionFile + 1;
  for (int written = 0; written < kinds; written++) {
    std::ostringstream header;
    app.WriteHeader(header, static_cast<TApplication::TFileKind>(written));
    dir.Write("file", header.str() + "\n1 2 3\n");
    for (int asked = 0; asked < kinds; asked++)
      EXPECT_EQ(app.MayReplace(dir / "file", static_cast<TApplication::TFileKind>(asked), false), asked == written)
          << header.str() << " as " << asked;
  }
}

// Wherever the read fails, no reader lets the failure escape, each leaves
// the stream bad, and the parameters stay as they were.
TEST(Readers, AFailingReadAnywhereLeavesTheStreamBad) {
  TQuietApp app;
  std::ostringstream before, after;
  app.SaveParameters(before);
  const std::string data = std::string(KORVALIN_TEST_DATA) + "/", pattern = ReadText(data + "two_features.pat"),
                    net = ReadText(data + "small.net"), config = ReadText(data + "run_learning_korvalin.cfg");
  for (const std::string* text : {&pattern, &net, &config}) {
    for (std::size_t good = 0; good < text->size(); good++) {
      TFailingBuf buf(*text, good);
      std::istream in(&buf);
      TLoadStatus status;
      std::ostringstream messages;
      int valid = -1;
      EXPECT_NO_THROW(valid = text == &config ? app.LoadParameters(in)
                              : text == &net  ? (ReadNet(in, status, messages), -1)
                                              : (TLearningTask(in, status, messages), -1));
      EXPECT_TRUE(in.bad() && valid == -1) << good << " bytes of\n" << *text;
    }
  }
  app.SaveParameters(after);
  EXPECT_EQ(after.str(), before.str());
}

TEST(Readers, AByteOrderMarkIsNoPartOfTheText) {
  TScratchDir dir;
  TQuietApp app;
  const std::string data = std::string(KORVALIN_TEST_DATA) + "/";
  for (const auto& [kind, text] : {std::pair<std::string, std::string>{"pattern", ReadText(data + "two_features.pat")},
                                   {"net", ReadText(data + "small.net")},
                                   {"config", "MaxEpoch = 7\n"}})
    app.Load(TCommand("load " + kind + " " + dir.Write(kind, "\xEF\xBB\xBF" + text), ValidCommands()));
  EXPECT_TRUE(app.Messages.empty()) << app.Messages[0].second;
  EXPECT_TRUE(app.Task && app.Net && app.Parameters.Net.MaxEpoch == 7);
}
