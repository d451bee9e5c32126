#include "cmdapp_edit.h"

#include <cstdlib>
#include <utility>

#ifdef KORVALIN_LINE_EDITING
#include <editline/readline.h>
#include <fcntl.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <strings.h>

#include "stdutils.h"
#endif

std::string HistoryFilePath() {
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return "";
  std::string path = home;
  if (path.back() != '/') path += '/';
  return path + ".korvalin_history";
}

TLineEditor::TLineEditor(std::string historyFile) : HistoryFile(std::move(historyFile)) {}

TLineEditor::~TLineEditor() = default;

void TLineEditor::CompleteWith(TCompleter completer) { Completer = std::move(completer); }

#ifndef KORVALIN_LINE_EDITING

std::unique_ptr<TLineEditor> TLineEditor::ForTerminal() { return nullptr; }

TFdLineReader::TResult TLineEditor::ReadLine(const std::string&, std::string& line, std::size_t,
                                             const TFdLineReader::TExtraFd&, const TFdLineReader::TExtraReady&) {
  line.clear();
  return TFdLineReader::EndOfInput;
}

void TLineEditor::Remember(const std::string&) {}

#else

namespace {

constexpr int HistoryEntries = 500;
// Far more than HistoryEntries lines within the command limit take, even
// with every character escaped; a larger file is not one this program wrote.
constexpr off_t HistoryFileLimit = 1 << 20;

// What one ReadLine shares with the library's callbacks, which take no context.
struct TEditing {
  const TFdLineReader::TExtraFd* ExtraFd = nullptr;
  const TFdLineReader::TExtraReady* Ready = nullptr;
  bool Done = false;  // the library has handed over a line, or the end
  bool GotLine = false;
  bool Ended = false;  // the terminal hung up or failed
  bool Interrupted = false;  // Ctrl-C: the line is dropped
  std::string Line;
};

TEditing* Current = nullptr;
// The completer of the editor reading a line, if it has one.
const TCompleter* Completing = nullptr;

// The words offered for the word being completed, one per call (the
// library frees each); `state` 0 begins a new completion.
std::vector<std::string> Offered;
char* NextOffered(const char*, int state) {
  static std::size_t next = 0;
  if (state == 0) next = 0;
  if (next >= Offered.size()) return nullptr;
  return strdup(Offered[next++].c_str());
}

char** CompleteWord(const char* text, int start, int) {
  if (Completing == nullptr || !*Completing) {
    rl_attempted_completion_over = 1;
    return nullptr;
  }
  const std::string before(rl_line_buffer, static_cast<std::size_t>(start < 0 ? 0 : start));
  const TCompletion completion = (*Completing)(before);
  // Null without "over" lets the library complete file names.
  if (completion.FileNames) return nullptr;
  rl_attempted_completion_over = 1;
  Offered.clear();
  const std::size_t typed = std::strlen(text);
  for (const std::string& word : completion.Words)
    if (word.size() >= typed && strncasecmp(word.c_str(), text, typed) == 0) Offered.push_back(word);
  if (Offered.empty()) return nullptr;
  return rl_completion_matches(text, NextOffered);
}

void TakeLine(char* text) {
  if (Current != nullptr) {
    Current->Done = true;
    if (text != nullptr) {
      Current->GotLine = true;
      Current->Line = text;
    }
  }
  std::free(text);
}

// The background work has printed its last words where the cursor was; they
// end with a line end, so the cursor is at the start of a line, unless the
// user typed in between. The editor draws the prompt and line from there.
void Redraw() {
  std::fputs("\r", stdout);
  std::fflush(stdout);
  rl_forced_update_display();
}

// One byte from the terminal, waiting for it while serving the extra
// descriptor; false when the terminal has hung up or failed.
bool ReadByte(TEditing& editing, unsigned char& byte) {
  const TFdLineReader::TExtraReady serve = [&editing] {
    const int before = (*editing.ExtraFd)();
    if (*editing.Ready) (*editing.Ready)();
    if ((*editing.ExtraFd)() != before) Redraw();
  };
  while (!editing.Ended) {
    const TWaitResult wait = WaitForInput(STDIN_FILENO, *editing.ExtraFd, serve);
    if (wait == WaitInterrupted) {
      editing.Interrupted = true;
      return false;
    }
    if (wait == InputFailed) break;
    const ssize_t got = read(STDIN_FILENO, &byte, 1);
    if (got == 1) return true;
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    break;
  }
  editing.Ended = true;
  return false;
}

// The editor's source of characters. It waits for the terminal itself, so
// the extra descriptor is served even while the editor waits in the middle
// of a key sequence. The library takes each result as one wide character,
// so multibyte input is decoded here; a byte that is no valid character
// goes on as it is.
int NextChar(FILE*) {
  if (Current == nullptr) return EOF;
  std::mbstate_t state{};
  for (;;) {
    unsigned char byte = 0;
    if (!ReadByte(*Current, byte)) return EOF;
    const char narrow = static_cast<char>(byte);
    wchar_t wide = 0;
    const std::size_t used = std::mbrtowc(&wide, &narrow, 1, &state);
    if (used == static_cast<std::size_t>(-2)) continue;
    if (used == static_cast<std::size_t>(-1)) return byte;
    return static_cast<int>(wide);
  }
}

// Characters are decoded as UTF-8, the terminal's encoding in all but old
// set-ups. Either that locale or "C" is in force afterwards, both of which
// classify single bytes alike, so the rest of the program reads as before.
void UseUtf8Characters() {
  for (const char* name : {"", "C.UTF-8"}) {
    const char* set = std::setlocale(LC_CTYPE, name);
    if (set != nullptr && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
  }
  std::setlocale(LC_CTYPE, "C");
}

bool EditableTerminal() {
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return false;
  const char* term = std::getenv("TERM");
  if (term == nullptr || *term == '\0' || std::strcmp(term, "dumb") == 0) return false;
  // A terminal that does not echo is driven by a program or reads a secret.
  struct termios modes {};
  return tcgetattr(STDIN_FILENO, &modes) == 0 && (modes.c_lflag & ECHO) != 0;
}

}  // namespace

std::unique_ptr<TLineEditor> TLineEditor::ForTerminal() {
  if (!EditableTerminal()) return nullptr;
  UseUtf8Characters();
  rl_readline_name = "korvalin";
  rl_getc_function = NextChar;
  rl_attempted_completion_function = CompleteWord;
  using_history();
  stifle_history(HistoryEntries);
  std::string file = HistoryFilePath();
  struct stat about {};
  if (!file.empty() && stat(file.c_str(), &about) == 0) {
    // Something else in its place (a directory, a device, a pipe that would
    // block) is neither read nor overwritten.
    if (S_ISREG(about.st_mode) && about.st_size <= HistoryFileLimit)
      read_history(file.c_str());
    else
      file.clear();
  }
  return std::unique_ptr<TLineEditor>(new TLineEditor(file));
}

TFdLineReader::TResult TLineEditor::ReadLine(const std::string& prompt, std::string& line, std::size_t maxLen,
                                             const TFdLineReader::TExtraFd& extraFd,
                                             const TFdLineReader::TExtraReady& ready) {
  line.clear();
  TEditing editing;
  editing.ExtraFd = &extraFd;
  editing.Ready = &ready;
  Current = &editing;
  Completing = &Completer;
  // Installed for one line only: commands then run on a terminal in its
  // usual modes (the shell escape, the pager).
  rl_callback_handler_install(prompt.c_str(), TakeLine);
  while (!editing.Done && !editing.Ended && !editing.Interrupted) rl_callback_read_char();
  if (editing.Interrupted) rl_replace_line("", 0);
  rl_callback_handler_remove();
  Current = nullptr;
  Completing = nullptr;
  if (editing.Interrupted) return TFdLineReader::Interrupted;
  if (!editing.GotLine) return TFdLineReader::EndOfInput;
  if (editing.Line.size() > maxLen) return TFdLineReader::LineTooLong;
  Remember(editing.Line);
  line = std::move(editing.Line);
  return TFdLineReader::LineRead;
}

void TLineEditor::Remember(const std::string& line) {
  std::string trimmed = line;
  StrTrim(trimmed);
  if (trimmed.empty() || line == LastRemembered) return;
  add_history(line.c_str());
  LastRemembered = line;
  if (HistoryFile.empty()) return;
  // Commands name private files: a new history file is its owner's alone.
  // Opening without blocking first keeps a pipe put in its place from
  // holding the session; write failures only cost the file.
  const int fd = open(HistoryFile.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
  if (fd < 0) return;
  close(fd);
  write_history(HistoryFile.c_str());
}

#endif
