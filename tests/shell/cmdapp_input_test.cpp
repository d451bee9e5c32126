// The prompt's line reader serves another descriptor while it waits for a
// line, without disturbing a line partly read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "cmdapp_input.h"

TEST(TFdLineReader, ServesTheBackgroundWhileALineIsPartlyRead) {
  int in[2], bg[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(bg), 0);
  ASSERT_EQ(write(in[1], "hel", 3), 3);
  ASSERT_EQ(write(bg[1], "AB", 2), 2);
  // Each serving brings the next piece: more background data, then the line's end.
  std::string seen;
  auto ready = [&] {
    char buf[16];
    const ssize_t n = read(bg[0], buf, sizeof buf);
    seen.append(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
    if (write(seen == "AB" ? bg[1] : in[1], seen == "AB" ? "C" : "p\n", seen == "AB" ? 1 : 2) < 0) ADD_FAILURE();
  };
  TFdLineReader reader(in[0]);
  std::string line;
  ASSERT_EQ(reader.ReadLine(line, 254, [&] { return bg[0]; }, ready), TFdLineReader::LineRead);
  EXPECT_EQ(line, "help");
  EXPECT_EQ(seen, "ABC");
  // A descriptor that poll finds invalid is not served again and again.
  int calls = 0;
  ASSERT_EQ(write(in[1], "x\n", 2), 2);
  ASSERT_EQ(reader.ReadLine(line, 254, [] { return 1000; }, [&calls] { calls++; }), TFdLineReader::LineRead);
  EXPECT_EQ(line, "x");
  EXPECT_EQ(calls, 0);
  close(in[1]);
  EXPECT_EQ(reader.ReadLine(line, 254), TFdLineReader::EndOfInput);
  // So is a descriptor that fails to read (a directory's).
  const int dir = open("/", O_RDONLY | O_DIRECTORY);
  EXPECT_EQ(TFdLineReader(dir).ReadLine(line, 254), TFdLineReader::EndOfInput);
  for (int fd : {in[0], bg[0], bg[1], dir}) close(fd);
}
