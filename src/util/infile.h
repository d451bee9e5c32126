// A text file opened for reading that tells a failed read from the end of
// the file and keeps the reason, which file streams would throw or lose.
#pragma once

#include <fstream>
#include <istream>
#include <string>

class TInputFile : public std::istream {
 public:
  TInputFile();
  TInputFile(const TInputFile&) = delete;
  TInputFile& operator=(const TInputFile&) = delete;

  // Opens `name`, skipping a UTF-8 byte-order mark at its start; false with
  // errno set when the file cannot be opened.
  bool Open(const std::string& name);
  // A failed read leaves the stream bad, as it would a file stream, but
  // nothing is thrown and the text ends there: later reads find the end of
  // the file, so that nothing after a gap is taken for the file's text.
  bool ReadFailed() const { return Buffer.Errno != 0; }
  // "Error reading '<name>' (<reason>)."
  const char* ReadErrorMsg() const;

 private:
  class TBuffer : public std::filebuf {
   public:
    std::istream* Owner = nullptr;
    int Errno = 0;
    void SkipByteOrderMark();

   protected:
    int_type underflow() override;
    std::streamsize xsgetn(char* s, std::streamsize n) override;
  };
  TBuffer Buffer;
  std::string Name;
};
