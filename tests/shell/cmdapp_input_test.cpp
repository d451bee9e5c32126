#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "cmdapp_input.h"

namespace {

// A pipe whose write end is fed by a forked writer following a script of
// (delay in ms, descriptor index, text) steps.
struct Step {
  int delayMs;
  int which;  // 0 the input pipe, 1 the background pipe
  std::string text;
};

class Pipes {
 public:
  int in[2]{-1, -1}, bg[2]{-1, -1};
  pid_t writer = -1;

  Pipes() {
    EXPECT_EQ(pipe(in), 0);
    EXPECT_EQ(pipe(bg), 0);
  }
  void Feed(const std::vector<Step>& steps) {
    writer = fork();
    if (writer == 0) {
      close(in[0]);
      close(bg[0]);
      for (const Step& s : steps) {
        usleep(static_cast<useconds_t>(s.delayMs) * 1000);
        int fd = s.which == 0 ? in[1] : bg[1];
        if (write(fd, s.text.data(), s.text.size()) < 0) _exit(1);
      }
      _exit(0);
    }
    close(in[1]);
    close(bg[1]);
    in[1] = bg[1] = -1;
  }
  ~Pipes() {
    for (int fd : {in[0], in[1], bg[0], bg[1]})
      if (fd >= 0) close(fd);
    if (writer > 0) waitpid(writer, nullptr, 0);
  }
};

void NoteSignal(int) {}

}  // namespace

TEST(TFdLineReader, ServesTheBackgroundDescriptorAndKeepsAPartialLine) {
  Pipes p;
  p.Feed({{0, 0, "hel"}, {30, 1, "AB"}, {30, 1, "C"}, {30, 0, "p\n"}});
  TFdLineReader reader(p.in[0]);
  std::string seen;
  int bgFd = p.bg[0];
  auto extra = [&bgFd] { return bgFd; };
  auto ready = [&] {
    char buf[16];
    ssize_t n = read(bgFd, buf, sizeof buf);
    if (n > 0)
      seen.append(buf, static_cast<std::size_t>(n));
    else
      bgFd = -1;  // at its end the descriptor is no longer watched
  };
  std::string line;
  ASSERT_EQ(reader.ReadLine(line, 254, extra, ready), TFdLineReader::LineRead);
  EXPECT_EQ(line, "help");
  EXPECT_EQ(seen, "ABC");
  EXPECT_EQ(reader.ReadLine(line, 254, extra, ready), TFdLineReader::EndOfInput);
}

TEST(TFdLineReader, InvalidBackgroundDescriptorDoesNotSpin) {
  Pipes p;
  p.Feed({{50, 0, "x\n"}});
  TFdLineReader reader(p.in[0]);
  int calls = 0;
  std::string line;
  ASSERT_EQ(reader.ReadLine(line, 254, [] { return 1000; }, [&calls] { calls++; }), TFdLineReader::LineRead);
  EXPECT_EQ(line, "x");
  EXPECT_EQ(calls, 0);
}

TEST(TFdLineReader, ResumesAfterSignalsInterruptTheWait) {
  struct sigaction sa {}, old{};
  sa.sa_handler = NoteSignal;  // no SA_RESTART: poll and read return EINTR
  sigemptyset(&sa.sa_mask);
  ASSERT_EQ(sigaction(SIGALRM, &sa, &old), 0);
  Pipes p;
  p.Feed({{150, 0, "late"}, {100, 0, " line\n"}});
  struct itimerval every10ms {};
  every10ms.it_interval.tv_usec = 10000;
  every10ms.it_value.tv_usec = 10000;
  setitimer(ITIMER_REAL, &every10ms, nullptr);
  TFdLineReader reader(p.in[0]);
  std::string line;
  TFdLineReader::TResult got = reader.ReadLine(line, 254);
  struct itimerval off {};
  setitimer(ITIMER_REAL, &off, nullptr);
  sigaction(SIGALRM, &old, nullptr);
  EXPECT_EQ(got, TFdLineReader::LineRead);
  EXPECT_EQ(line, "late line");
}
