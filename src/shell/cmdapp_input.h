// Line input from a raw file descriptor, for the interactive command loop.
//
// The loop must stay responsive to a second descriptor (the background
// learning pipe) while it waits for the user, so it does not read through
// iostreams: it keeps its own buffer and waits with poll() on both.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class TFdLineReader {
 public:
  // Interrupted: Ctrl-C while waiting (signals.h); the part of a line read
  // so far is dropped.
  enum TResult { LineRead, LineTooLong, EndOfInput, Interrupted };

  // Returns the descriptor to watch besides the input, or -1 for none. It is
  // asked again before every wait, so it may change between waits.
  using TExtraFd = std::function<int()>;
  // Called whenever that descriptor is readable while a line is awaited.
  using TExtraReady = std::function<void()>;

  explicit TFdLineReader(int fd) : Fd(fd) {}

  // Reads the next line (without its newline). A line of more than maxLen
  // characters is consumed whole, up to and including its newline, and
  // reported as LineTooLong with `line` empty. A last line without newline
  // is returned as a line; EndOfInput follows it. Reads and waits that a
  // signal interrupts are resumed. A read error counts as end of input.
  // Text read but not yet returned stays buffered between calls, also across
  // calls of `ready`.
  TResult ReadLine(std::string& line, std::size_t maxLen, const TExtraFd& extraFd = nullptr,
                   const TExtraReady& ready = nullptr);

  // True when a complete line is buffered and ReadLine will not wait.
  bool LineBuffered() const;

 private:
  int Fd;
  std::vector<char> Buffer;  // unread input, from Start on
  std::size_t Start = 0;
  bool AtEnd = false;

  // Waits until the input is readable (serving the extra descriptor meanwhile)
  // and appends what one read gives.
  enum TFill { Filled, NoMore, FillInterrupted };
  TFill Fill(const TExtraFd& extraFd, const TExtraReady& ready);
};

enum TWaitResult { InputReady, InputFailed, WaitInterrupted };

// Waits until `fd` is readable or hung up, calling `ready` whenever the
// descriptor that `extraFd` names is readable meanwhile (both as for
// TFdLineReader::ReadLine). Waits that a signal interrupts are resumed; a
// Ctrl-C that signals.h records ends the wait (WaitInterrupted). InputFailed
// when `fd` is invalid or the wait fails otherwise.
TWaitResult WaitForInput(int fd, const TFdLineReader::TExtraFd& extraFd, const TFdLineReader::TExtraReady& ready);
