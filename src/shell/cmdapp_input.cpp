#include "cmdapp_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "signals.h"

bool TFdLineReader::LineBuffered() const {
  return Start < Buffer.size() && std::memchr(Buffer.data() + Start, '\n', Buffer.size() - Start) != nullptr;
}

TWaitResult WaitForInput(int fd, const TFdLineReader::TExtraFd& extraFd, const TFdLineReader::TExtraReady& ready) {
  // A descriptor poll() calls invalid is left out for the rest of this wait,
  // so a stale descriptor cannot make the loop spin.
  int invalidFd = -1;
  for (;;) {
    struct pollfd fds[3];
    fds[0] = {fd, POLLIN, 0};
    fds[1] = {InterruptFd(), POLLIN, 0};  // poll() skips a negative descriptor
    nfds_t n = 2;
    int extra = extraFd ? extraFd() : -1;
    if (extra >= 0 && extra != fd && extra != invalidFd) fds[n++] = {extra, POLLIN, 0};
    int rc = poll(fds, n, -1);
    if (rc < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      return InputFailed;
    }
    if (fds[1].revents != 0 && TakeInterrupt()) return WaitInterrupted;
    if (n == 3 && fds[2].revents != 0) {
      if (fds[2].revents & POLLNVAL)
        invalidFd = extra;
      else if (ready)
        ready();
    }
    if (fds[0].revents == 0) continue;
    return (fds[0].revents & POLLNVAL) == 0 ? InputReady : InputFailed;
  }
}

TFdLineReader::TFill TFdLineReader::Fill(const TExtraFd& extraFd, const TExtraReady& ready) {
  if (AtEnd) return NoMore;
  for (;;) {
    const TWaitResult wait = WaitForInput(Fd, extraFd, ready);
    if (wait == WaitInterrupted) return FillInterrupted;
    if (wait == InputFailed) {
      AtEnd = true;
      return NoMore;
    }
    char chunk[4096];
    ssize_t got = read(Fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      AtEnd = true;
      return NoMore;
    }
    if (got == 0) {
      AtEnd = true;
      return NoMore;
    }
    // Drop what earlier lines consumed before growing the buffer.
    if (Start > 0) {
      Buffer.erase(Buffer.begin(), Buffer.begin() + static_cast<std::ptrdiff_t>(Start));
      Start = 0;
    }
    Buffer.insert(Buffer.end(), chunk, chunk + got);
    return Filled;
  }
}

TFdLineReader::TResult TFdLineReader::ReadLine(std::string& line, std::size_t maxLen,
                                               const TExtraFd& extraFd, const TExtraReady& ready) {
  line.clear();
  bool tooLong = false;
  for (;;) {
    std::size_t avail = Buffer.size() - Start;
    const char* begin = avail > 0 ? Buffer.data() + Start : "";
    const char* nl = avail > 0 ? static_cast<const char*>(std::memchr(begin, '\n', avail)) : nullptr;
    std::size_t take = nl != nullptr ? static_cast<std::size_t>(nl - begin) : avail;
    // An over-long line is discarded as it arrives, so it never grows the
    // buffer beyond one read.
    if (!tooLong) {
      if (line.size() + take > maxLen)
        tooLong = true;
      else
        line.append(begin, take);
    }
    Start += take;
    if (nl != nullptr) {
      Start++;
      if (tooLong) {
        line.clear();
        return LineTooLong;
      }
      return LineRead;
    }
    const TFill fill = Fill(extraFd, ready);
    if (fill == FillInterrupted) {
      line.clear();
      return Interrupted;
    }
    if (fill == NoMore) {
      if (tooLong) {
        line.clear();
        return LineTooLong;
      }
      return line.empty() ? EndOfInput : LineRead;
    }
  }
}
