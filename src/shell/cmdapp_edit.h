// Line editing and history for the interactive command loop, when a person
// types at a terminal.
//
// Driving programs read the plain prompt (with its NUL) and expect input to
// be taken as sent, so the editor is used only when standard input and
// output are both terminals that echo, and TERM names a terminal that can
// move its cursor (not "dumb"). Builds without the editing library never
// make an editor.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cmdapp_input.h"

// What Tab may put in place of the word before the cursor.
struct TCompletion {
  std::vector<std::string> Words;  // candidates; those that begin with the word, in any case, are offered
  bool FileNames = false;          // offer the names of files instead
};
// Gets the line up to the beginning of that word.
using TCompleter = std::function<TCompletion(const std::string& before)>;

class TLineEditor {
 public:
  // An editor for this process's terminal, or null when input is to be read
  // plainly. The editing library keeps its state per process: make one at
  // a time.
  static std::unique_ptr<TLineEditor> ForTerminal();
  // Tab asks `completer` (may be empty: no completion).
  void CompleteWith(TCompleter completer);
  ~TLineEditor();
  TLineEditor(const TLineEditor&) = delete;
  TLineEditor& operator=(const TLineEditor&) = delete;

  // Shows `prompt` and lets the user edit one line; the result as for
  // TFdLineReader::ReadLine, whose limit, end-of-input and extra-descriptor
  // contracts hold here too. When a call of `ready` ends the background work
  // (the extra descriptor changes), what it printed is followed by the
  // prompt and the line typed so far, drawn again on a fresh line. Lines
  // accepted within the limit enter the history and its file.
  TFdLineReader::TResult ReadLine(const std::string& prompt, std::string& line, std::size_t maxLen,
                                  const TFdLineReader::TExtraFd& extraFd, const TFdLineReader::TExtraReady& ready);

 private:
  explicit TLineEditor(std::string historyFile);
  void Remember(const std::string& line);

  std::string HistoryFile;  // "" when the history is not kept in a file
  TCompleter Completer;
  std::string LastRemembered;
};

// "$HOME/.korvalin_history"; "" when HOME is unset or empty.
std::string HistoryFilePath();
