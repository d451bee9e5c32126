// Command lines and the tables they are looked up in.
#pragma once

#include <string>

// One row of a command table. A table ends with a row whose Name is empty.
// ID CmdEndLoop (-1) ends the command loop, 0 means "no command".
struct TCmdDef {
  char Name[12];  // at most 11 characters
  int ID;
  int MinArgs;
  int MaxArgs;
};

constexpr int CmdEndLoop = -1;

// help, cd, !, exit, quit and the end mark; application tables end with these rows.
extern const TCmdDef StdCommands[6];

// Values of TCommand::ParseStatus.
constexpr int ParseValid = 0;
constexpr int ParseUnknownCommand = 1;
constexpr int ParseArgCountWrong = 2;

// One parsed command line: a command name and up to five arguments, split at
// white space without quoting. A line whose first non-blank character is '!'
// is the command "!" with the rest of the line, verbatim, as its one argument.
// Words beyond the sixth are dropped. The identifier is set from the table
// even when the argument count is out of range.
class TCommand {
 public:
  static constexpr int MaxWords = 6;

  const TCmdDef* CmdTable;  // not owned
  int CmdID;
  int NumArgs;
  std::string Words[MaxWords];  // slot 0 the name, 1..NumArgs the arguments, others empty
  int ParseStatus;
  int MinArgs;
  int MaxArgs;

  // A NUL in the line is an ordinary character of its word.
  TCommand(const std::string& line, const TCmdDef* table);
  TCommand(const char* line, const TCmdDef* table) : TCommand(std::string(line == nullptr ? "" : line), table) {}

  int ID() const { return CmdID; }
  int ArgCount() const { return NumArgs; }
  // Never null: "" for an empty line or an index outside 1..ArgCount().
  const char* Name() const { return Words[0].c_str(); }
  const char* Arg(int i) const;

  // The value of an option written at the start of an argument: for option
  // "-r", the argument "-r30" gives "30" and "-r" alone gives "". The first
  // argument beginning with the option counts; an argument that merely
  // contains it elsewhere (a file named my-rules.net) does not. Null when no
  // argument begins with the option.
  const char* GetOption(const char* option) const;
};
