#include <gtest/gtest.h>

#include <iostream>

#include "cmdapp.h"

namespace {

// Captures what goes to std::cout while it lives.
class CoutCapture {
 public:
  CoutCapture() : Old(std::cout.rdbuf(Text.rdbuf())) {}
  ~CoutCapture() { std::cout.rdbuf(Old); }
  std::string Str() const { return Text.str(); }

 private:
  std::ostringstream Text;
  std::streambuf* Old;
};

}  // namespace

TEST(TCmdApplication, ArgumentsOutOfRangeAreEmptyAndNoArgumentsAtAllAreSafe) {
  const char* argv[] = {"some/dir/prog.exe", "-p", nullptr};
  TCmdApplication app(2, argv);
  EXPECT_EQ(app.ProgramPath, CurrentDirectory() + "/some/dir/");
  EXPECT_STREQ(app.Arg(0), "");
  EXPECT_STREQ(app.Arg(1), "-p");
  EXPECT_STREQ(app.Arg(2), "");
  TCmdApplication none(0, nullptr);
  EXPECT_EQ(none.ArgCount(), 0);
  EXPECT_EQ(none.Prompt, "> ");
}

TEST(TCmdApplication, DestructorRestoresTheStartDirectory) {
  std::string start = CurrentDirectory();
  {
    const char* argv[] = {"korvalin", nullptr};
    TCmdApplication app(1, argv);
    CoutCapture out;
    app.ExecuteCommand(TCommand("cd /", StdCommands));
    EXPECT_EQ(CurrentDirectory(), "/");
  }
  EXPECT_EQ(CurrentDirectory(), start);
}

TEST(TCmdApplication, PrintMsgTakesTextUpToNulAndDropsOneNewline) {
  const char* argv[] = {"korvalin", nullptr};
  TCmdApplication app(1, argv);
  app.OutputRedirected = True;
  CoutCapture out;
  std::ostringstream msg;
  msg << " done\n\n" << std::ends << "junk after the end";
  app.PrintMsg(msg, Warning);
  EXPECT_EQ(msg.str(), "");  // consumed: the stream can carry the next message
  msg << "second";
  app.PrintMsg(msg, Information);
  msg << std::ends;
  app.PrintMsg(msg, Error);
  EXPECT_EQ(out.Str(), "[Warning]\n done\n\n[end]\n[Information]\nsecond\n[end]\n[Error]\n\n[end]\n");
}

TEST(TCmdApplication, OutOfMemoryEndsTheProgram) {
  EXPECT_EXIT(OutOfMemory(), ::testing::ExitedWithCode(1), "^\nkorvalin: Out of memory!\n$");
}
