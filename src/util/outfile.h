// An output file that replaces its target only once it is completely and
// successfully written, so that a failed save never destroys the old file.
#pragma once

#include <sys/stat.h>

#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "stdutils.h"

// Buffered output to a file descriptor that keeps the reason of the first
// failed write, which iostreams would otherwise lose.
class TFdOutBuf : public std::streambuf {
 public:
  TFdOutBuf();
  // Starts afresh on `fd` (not owned), forgetting any earlier failure. With
  // `quietPipe` a reader that has gone makes the write fail (EPIPE) instead
  // of ending the process by SIGPIPE.
  void Attach(int fd, bool quietPipe = false);
  int FirstErrno() const { return Errno; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  int Fd = -1;
  int Errno = 0;
  bool QuietPipe = false;
  std::vector<char> Buffer;
  bool Drain();
};

// A write completed in a temporary file that has not yet taken its target's
// place: what TOutputFile::Finish hands over, possibly to another process.
struct TFinishedFile {
  std::string Target, Final, Temp;  // as TOutputFile names them; Temp empty: nothing to put in place
};

class TOutputFile {
 public:
  TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;
  // Removes the temporary file of a write that was not committed.
  ~TOutputFile();

  // Prepares writing `fileName`. Symbolic links are followed to the file
  // they end at, which is created when it does not exist (the links stay).
  // A missing or regular target is written to a fresh temporary file in its
  // directory. Everything else is written in place and never renamed over:
  // a device, a FIFO (one that no process reads is refused at once instead
  // of waited for), a socket, and a standard stream of this process, named
  // as /dev/stdout, /proc/self/fd/N or as the file it is redirected to.
  // A target that may not be written is refused like one that cannot be
  // created. False when no file can be created; ErrorMsg(CreateError) then
  // says why.
  //
  // Temporary files are named after their target and their writer's process
  // id; one whose writer has gone (killed before it could clean up), or that
  // has lain untouched for a day, is removed by the next write to the same
  // target. A signal that ends the program removes the file (signals.h).
  bool Open(const std::string& fileName);
  bool IsOpen() const { return Fd >= 0; }
  std::ostream& Stream() { return Out; }
  // True once a write has failed (noticed when the buffer was last emptied).
  bool Failed() const { return Buf.FirstErrno() != 0; }

  // Flushes and closes the file, checking both, and renames it over the
  // target. A new file gets the access rights rw-rw-r-- less the creation
  // mask; a replaced one keeps its rights, and its owner and group as far
  // as the process may set them. False when any step failed: the target is
  // then as it was before, the temporary file is gone, and
  // ErrorMsg(WriteError) says why.
  bool Commit();
  // Gives the write up: the target stays as it was (unless written in place).
  void Discard();
  // Flushes and closes the file like Commit, but leaves the temporary file
  // unrenamed in `done`, for Adopt to take over; this object and the signal
  // handlers no longer remove it. False as Commit.
  bool Finish(TFinishedFile& done);
  // Takes over a finished write: Commit puts it in place, Discard (and the
  // destructor and an ending signal) removes it.
  void Adopt(const TFinishedFile& done);

  // The error number of the last failure.
  int ErrorNumber() const { return Errno != 0 ? Errno : Buf.FirstErrno(); }
  // FileErrorMsg for the target name and the reason of the last failure.
  const char* ErrorMsg(TStreamError kind) const;

 private:
  std::string Target;    // the name as given, for messages
  std::string Final;     // the file that the temporary file replaces
  std::string TempName;  // empty when writing directly
  int TempSlot = -1;     // the temporary file's slot in signals.h
  int Fd = -1;
  bool SharedStream = false;  // a standard stream that std::cout or std::cerr also write
  TFdOutBuf Buf;
  std::ostream Out;
  int Errno = 0;
  const char* Reason = nullptr;  // when set, says why instead of Errno
  bool Adopted = false;          // holds a finished write, no descriptor

  // Flushes and closes the descriptor, checking both.
  bool Close();

  // Writes through a duplicate of this process's descriptor `fd`.
  bool WriteThrough(int fd);
  // Opens a target that is not a regular file; `mode` adds to the open flags.
  bool OpenInPlace(int mode);
  bool OpenTemporary(bool exists, const struct stat& info);
};
