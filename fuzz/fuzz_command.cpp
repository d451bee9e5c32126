// The command parser against the application's table, and the checks of
// the shell frame and the application that run before any command.
#include <cstring>

#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TQuietApplication& app = fuzz::App();
  const std::string line = fuzz::Text(data, size);
  TCommand cmd(line, ValidCommands());
  fuzz::Require(cmd.NumArgs >= 0 && cmd.NumArgs < TCommand::MaxWords);
  fuzz::Require(cmd.ParseStatus >= ParseValid && cmd.ParseStatus <= ParseArgCountWrong);
  for (int i = -1; i <= TCommand::MaxWords + 1; i++) fuzz::Require(cmd.Arg(i) != nullptr);
  cmd.GetOption("-r");
  fuzz::Require(cmd.Name() != nullptr);

  TCommand copy(cmd);
  TCommand assigned("", StdCommands);
  assigned = copy;
  fuzz::Require(std::strcmp(assigned.Name(), cmd.Name()) == 0 && assigned.NumArgs == cmd.NumArgs);

  app.CheckCommand(assigned);
  // The argument checks run only on commands with a valid argument count.
  if (assigned.ParseStatus == ParseValid) fuzz::Require(app.CheckCmdArgs(assigned) <= assigned.NumArgs);

  TCommand plain(line, StdCommands);
  app.TCmdApplication::CheckCommand(plain);
  return 0;
}
