#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>

#include "cmdapp.h"

namespace {

// Records messages instead of showing them.
class Recorder : public TCmdApplication {
 public:
  std::vector<std::pair<TMessageType, std::string>> Messages;

  using TCmdApplication::TCmdApplication;
  void PrintMsg(std::ostringstream& msg, TMessageType type) override {
    Messages.emplace_back(type, msg.str());
    msg.str("");
  }
};

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
    Recorder app(1, argv);
    app.ExecuteCommand(TCommand("cd /", StdCommands));
    EXPECT_EQ(CurrentDirectory(), "/");
    ASSERT_EQ(app.Messages.size(), 1u);
    EXPECT_EQ(app.Messages[0].first, Information);
    EXPECT_EQ(app.Messages[0].second, " Working directory set to '/'.");
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

namespace {

// Serves a background pipe while the loop waits, as background learning does.
class Background : public TCmdApplication {
 public:
  int Fd = -1;
  using TCmdApplication::TCmdApplication;
  int BackgroundFd() const override { return Fd; }
  void BackgroundReady() override {
    char c;
    if (read(Fd, &c, 1) == 1)
      ShowMsg(std::string("background ") + c, Information);
    else
      Fd = -1;
  }
};

}  // namespace

TEST(TCmdApplication, InteractiveLoopServesTheBackgroundHookMidLine) {
  int in[2], bg[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(bg), 0);
  pid_t writer = fork();
  if (writer == 0) {
    auto put = [](int fd, const char* text) {
      usleep(30000);
      if (write(fd, text, std::strlen(text)) < 0) _exit(1);
    };
    put(in[1], "cd");
    put(bg[1], "X");
    put(in[1], " /\nexit\n");
    _exit(0);
  }
  close(in[1]);
  close(bg[1]);
  int savedIn = dup(0);
  dup2(in[0], 0);
  close(in[0]);
  std::string out;
  {
    CoutCapture capture;
    const char* argv[] = {"korvalin", nullptr};
    Background app(1, argv);
    app.OutputRedirected = True;
    app.Fd = bg[0];
    app.Run();
    out = capture.Str();
  }
  dup2(savedIn, 0);
  close(savedIn);
  close(bg[0]);
  waitpid(writer, nullptr, 0);
  const std::string prompt = std::string("korvalin> ") + '\0';
  EXPECT_EQ(out, prompt + "[Information]\nbackground X\n[end]\n" +
                     "[Information]\n Working directory set to '/'.\n[end]\n" + prompt);
}
