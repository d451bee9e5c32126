// An output file that replaces its target only once it is completely and
// successfully written, so that a failed save never destroys the old file.
#pragma once

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
  // Starts afresh on `fd` (not owned), forgetting any earlier failure.
  void Attach(int fd);
  int FirstErrno() const { return Errno; }

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  int Fd = -1;
  int Errno = 0;
  std::vector<char> Buffer;
  bool Drain();
};

class TOutputFile {
 public:
  TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;
  // Removes the temporary file of a write that was not committed.
  ~TOutputFile();

  // Prepares writing `fileName`. A missing or regular target is written to
  // a fresh temporary file in the same directory; anything else (the null
  // device, a fifo) is written directly. A target that may not be written
  // is refused like one that cannot be created. False when no file can be created;
  // ErrorMsg(CreateError) then says why.
  bool Open(const std::string& fileName);
  bool IsOpen() const { return Fd >= 0; }
  std::ostream& Stream() { return Out; }

  // Flushes and closes the file, checking both, and renames it over the
  // target. A new file gets the access rights rw-rw-r-- less the creation
  // mask, a replaced one keeps the rights it had. False
  // when any step failed: the target is then as it was before, the
  // temporary file is gone, and ErrorMsg(WriteError) says why.
  bool Commit();

  // FileErrorMsg for the target name and the reason of the last failure.
  const char* ErrorMsg(TStreamError kind) const;

 private:
  std::string Target;    // the name as given, for messages
  std::string Final;     // the file that the temporary file replaces
  std::string TempName;  // empty when writing directly
  int Fd = -1;
  TFdOutBuf Buf;
  std::ostream Out;
  int Errno = 0;

  void Discard();
};
