#include <gtest/gtest.h>

#include "command.h"

namespace {

// A table like an application's: its own rows, then the standard ones.
const TCmdDef kTable[] = {
    {"load", 10, 1, 2}, {"create", 14, 1, 3}, {"help", 1, 0, 1}, {"cd", 3, 1, 1},
    {"!", 2, 0, 10},    {"exit", -1, 0, 0},   {"quit", -1, 0, 0}, {"", 0, 0, 0},
};

}  // namespace

TEST(TCommand, LooksUpNamesExactlyAndChecksArgumentCounts) {
  struct Case {
    const char* line;
    int id, status, args;
  } cases[] = {
      {"", 0, ParseValid, 0},
      {"  \t \r\n", 0, ParseValid, 0},
      {"help", 1, ParseValid, 0},
      {"Help", 0, ParseUnknownCommand, 0},
      {"help a b", 1, ParseArgCountWrong, 2},
      {"cd", 3, ParseArgCountWrong, 0},
      {"exit now", -1, ParseArgCountWrong, 1},  // the identifier survives a bad count
      {"quit", -1, ParseValid, 0},
      {"helpxxxxxxxxx", 0, ParseUnknownCommand, 0},
      {"help a b c d e f g", 1, ParseArgCountWrong, 5},  // words past the sixth are dropped
      {"\tcd   /tmp  ", 3, ParseValid, 1},
  };
  for (const Case& k : cases) {
    TCommand c(k.line, StdCommands);
    EXPECT_EQ(c.ID(), k.id) << k.line;
    EXPECT_EQ(c.ParseStatus, k.status) << k.line;
    EXPECT_EQ(c.ArgCount(), k.args) << k.line;
  }
  EXPECT_STREQ(TCommand(" ", StdCommands).Name(), "");
  TCommand c("help a b c d e f g", StdCommands);
  EXPECT_STREQ(c.Arg(5), "e");
  EXPECT_STREQ(c.Arg(6), "");
  EXPECT_STREQ(c.Arg(0), "");
  EXPECT_STREQ(c.Arg(-1), "");
  EXPECT_EQ(c.MinArgs, 0);
  EXPECT_EQ(c.MaxArgs, 1);
}

TEST(TCommand, FindsRowsOfALargerTable) {
  TCommand load("load pattern \"my file\"", kTable);
  EXPECT_EQ(load.ID(), 10);
  EXPECT_EQ(load.ParseStatus, ParseArgCountWrong);  // quotes do not group words
  EXPECT_STREQ(load.Arg(2), "\"my");
  EXPECT_EQ(TCommand("cd x", kTable).ID(), 3);
  EXPECT_EQ(TCommand("save", kTable).ParseStatus, ParseUnknownCommand);
}

TEST(TCommand, ShellEscapeTakesTheRestOfTheLineVerbatim) {
  TCommand a("  !ls -l  'a  b'  ", StdCommands);
  EXPECT_EQ(a.ID(), 2);
  EXPECT_STREQ(a.Name(), "!");
  EXPECT_EQ(a.ArgCount(), 1);
  EXPECT_STREQ(a.Arg(1), "ls -l  'a  b'  ");

  TCommand b("!   date", StdCommands);
  EXPECT_STREQ(b.Arg(1), "date");

  TCommand alone(" ! \t", StdCommands);
  EXPECT_EQ(alone.ID(), 2);
  EXPECT_EQ(alone.ArgCount(), 0);
  EXPECT_EQ(alone.ParseStatus, ParseValid);

  TCommand later("help !x", StdCommands);  // not at the start: an ordinary word
  EXPECT_EQ(later.ID(), 1);
  EXPECT_STREQ(later.Arg(1), "!x");
}

TEST(TCommand, OptionsCountOnlyAtTheStartOfAnArgument) {
  TCommand c("create net my-rules.net -r30 -r5", kTable);
  ASSERT_NE(c.GetOption("-r"), nullptr);
  EXPECT_STREQ(c.GetOption("-r"), "30");
  EXPECT_STREQ(TCommand("create net -r", kTable).GetOption("-r"), "");
  EXPECT_EQ(TCommand("create net my-rules.net", kTable).GetOption("-r"), nullptr);
  EXPECT_EQ(TCommand("create", kTable).GetOption("-r"), nullptr);
  // Only arguments are searched, never the command name.
  EXPECT_EQ(TCommand("-rx", kTable).GetOption("-r"), nullptr);
}
