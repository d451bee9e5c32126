#include "command.h"

#include <cctype>
#include <cstring>

const TCmdDef StdCommands[6] = {
    {"help", 1, 0, 1},
    {"cd", 3, 1, 1},
    {"!", 2, 0, 10},
    {"exit", CmdEndLoop, 0, 0},
    {"quit", CmdEndLoop, 0, 0},
    {"", 0, 0, 0},
};

static bool IsWhite(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

TCommand::TCommand(const std::string& line, const TCmdDef* table)
    : CmdTable(table), CmdID(0), NumArgs(0), ParseStatus(ParseValid), MinArgs(0), MaxArgs(0) {
  const std::size_t end = line.size();
  std::size_t p = 0;
  const auto skipWhite = [&] {
    while (p < end && IsWhite(line[p])) p++;
  };
  skipWhite();

  int count = 0;
  if (p < end && line[p] == '!') {
    Words[0] = "!";
    count = 1;
    p++;
    skipWhite();
    if (p < end) Words[count++] = line.substr(p);
  } else {
    while (count < MaxWords) {
      skipWhite();
      if (p == end) break;
      const std::size_t start = p;
      while (p < end && !IsWhite(line[p])) p++;
      Words[count++] = line.substr(start, p - start);
    }
  }
  if (count == 0) return;

  NumArgs = count - 1;
  ParseStatus = ParseUnknownCommand;
  if (table == nullptr) return;
  for (const TCmdDef* row = table; row->Name[0] != '\0'; row++) {
    if (Words[0] == row->Name) {
      CmdID = row->ID;
      MinArgs = row->MinArgs;
      MaxArgs = row->MaxArgs;
      ParseStatus = (NumArgs >= MinArgs && NumArgs <= MaxArgs) ? ParseValid : ParseArgCountWrong;
      break;
    }
  }
}

const char* TCommand::Arg(int i) const {
  if (i < 1 || i > NumArgs) return "";
  return Words[i].c_str();
}

const char* TCommand::GetOption(const char* option) const {
  if (option == nullptr) return nullptr;
  std::size_t len = std::strlen(option);
  for (int i = 1; i <= NumArgs; i++)
    if (Words[i].compare(0, len, option) == 0) return Words[i].c_str() + len;
  return nullptr;
}
