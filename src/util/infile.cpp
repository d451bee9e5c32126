#include "infile.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "stdutils.h"

TInputFile::TInputFile() : std::istream(nullptr) {
  rdbuf(&Buffer);
  Buffer.Owner = this;
}

bool TInputFile::Open(const std::string& name) {
  Name = name;
  Buffer.Errno = 0;
  if (Buffer.open(name, std::ios::in) == nullptr) return false;
  clear();
  Buffer.SkipByteOrderMark();
  return true;
}

const char* TInputFile::ReadErrorMsg() const {
  return FileErrorMsg(Name.c_str(), ReadError, std::strerror(Buffer.Errno));
}

void TInputFile::TBuffer::SkipByteOrderMark() {
  // Only a mark within the first block read counts: a regular file delivers
  // its first three bytes at once.
  if (sgetc() != traits_type::eof() && egptr() - gptr() >= 3 && std::memcmp(gptr(), "\xEF\xBB\xBF", 3) == 0) gbump(3);
}

TInputFile::TBuffer::int_type TInputFile::TBuffer::underflow() {
  if (Errno != 0) return traits_type::eof();
  try {
    return std::filebuf::underflow();
  } catch (const std::ios_base::failure& e) {
    // The file buffer throws with the error number of the failed read.
    const std::error_code code = e.code();
    Errno = code.category() != std::iostream_category() && code.value() > 0 ? code.value() : EIO;
    Owner->setstate(std::ios::badbit);
    return traits_type::eof();
  }
}

// The file buffer reads large blocks past its buffer and throws on their
// failure; taking them through underflow keeps every read in one place.
std::streamsize TInputFile::TBuffer::xsgetn(char* s, std::streamsize n) { return std::streambuf::xsgetn(s, n); }
