// Command lines against a command table, and the frame's last resort.
#include <gtest/gtest.h>

#include "cmdapp.h"
#include "command.h"

namespace {

// A table like an application's: its own rows, then the standard ones.
const TCmdDef kTable[] = {
    {"load", 10, 1, 2}, {"create", 14, 1, 3}, {"help", 1, 0, 1}, {"cd", 3, 1, 1},
    {"!", 2, 0, 10},    {"exit", -1, 0, 0},   {"quit", -1, 0, 0}, {"", 0, 0, 0},
};

}  // namespace

TEST(TCommand, WordsNamesArgumentCountsAndOptions) {
  struct Case {
    const char* line;
    int id, status, args;
    const char *last, *option;  // the last argument; the value of -r, or null
  } cases[] = {
      {"  \t \r\n", 0, ParseValid, 0, "", nullptr},
      {"Help", 0, ParseUnknownCommand, 0, "", nullptr},
      {"help a b", 1, ParseArgCountWrong, 2, "b", nullptr},
      {"exit now", -1, ParseArgCountWrong, 1, "now", nullptr},  // the identifier survives a bad count
      {"help a b c d e f g", 1, ParseArgCountWrong, 5, "e", nullptr},  // words past the sixth are dropped
      {"\tcd   /tmp  ", 3, ParseValid, 1, "/tmp", nullptr},
      {"load pattern \"my file\"", 10, ParseArgCountWrong, 3, "file\"", nullptr},  // no quoting
      {"  !ls -l  'a  b'  ", 2, ParseValid, 1, "ls -l  'a  b'  ", nullptr},  // the rest of the line, verbatim
      {"help !x", 1, ParseValid, 1, "!x", nullptr},  // not at the start: an ordinary word
      {"create net my-rules.net -r30 -r5", 14, ParseArgCountWrong, 4, "-r5", "30"},
      {"create net -r", 14, ParseValid, 2, "-r", ""},
      {"create net my-rules.net", 14, ParseValid, 2, "my-rules.net", nullptr},  // only at an argument's start
  };
  for (const Case& k : cases) {
    TCommand c(k.line, kTable);
    EXPECT_EQ(c.ID(), k.id) << k.line;
    EXPECT_EQ(c.ParseStatus, k.status) << k.line;
    EXPECT_EQ(c.ArgCount(), k.args) << k.line;
    EXPECT_STREQ(c.Arg(c.ArgCount()), k.last) << k.line;
    EXPECT_STREQ(c.Arg(c.ArgCount() + 1), "") << k.line;
    const char* option = c.GetOption("-r");
    EXPECT_EQ(option == nullptr ? std::string("null") : option, k.option == nullptr ? "null" : k.option) << k.line;
  }
}

TEST(TCmdApplication, ACommandThatThrowsIsReportedAsAnError) {
  static const char* const argv[] = {"korvalin", nullptr};
  struct TThrowing : TCmdApplication {
    std::string Shown;
    TThrowing() : TCmdApplication(1, argv) {
      TCommand current("", Commands);
      DoLine("help", current);
    }
    void ExecuteCommand(const TCommand&) override { throw std::runtime_error("boom"); }
    void PrintMsg(std::ostringstream& msg, TMessageType type) override { Shown += (type == Error ? "E " : "") + msg.str(); }
  } app;
  EXPECT_EQ(app.Shown, "E Can't execute 'help': (boom).\n");
}
