#include "outfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace {

mode_t CreationMode() {
  mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0664) & ~mask;
}

int LastErrno() { return errno != 0 ? errno : EIO; }

}  // namespace

TFdOutBuf::TFdOutBuf() : Buffer(1 << 16) { setp(Buffer.data(), Buffer.data() + Buffer.size()); }

void TFdOutBuf::Attach(int fd) {
  Fd = fd;
  Errno = 0;
  setp(Buffer.data(), Buffer.data() + Buffer.size());
}

bool TFdOutBuf::Drain() {
  const char* p = pbase();
  const char* end = pptr();
  while (p < end && Errno == 0) {
    ssize_t n = write(Fd, p, static_cast<std::size_t>(end - p));
    if (n < 0) {
      if (errno == EINTR) continue;
      Errno = LastErrno();
    } else {
      p += n;
    }
  }
  setp(Buffer.data(), Buffer.data() + Buffer.size());
  return Errno == 0;
}

TFdOutBuf::int_type TFdOutBuf::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (!traits_type::eq_int_type(c, traits_type::eof())) {
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
  }
  return traits_type::not_eof(c);
}

int TFdOutBuf::sync() { return Drain() ? 0 : -1; }

TOutputFile::TOutputFile() : Out(&Buf) {}

TOutputFile::~TOutputFile() { Discard(); }

void TOutputFile::Discard() {
  if (Fd >= 0) {
    close(Fd);
    Fd = -1;
  }
  if (!TempName.empty()) {
    unlink(TempName.c_str());
    TempName.clear();
  }
}

bool TOutputFile::Open(const std::string& fileName) {
  Discard();
  Target = fileName;
  Final = fileName;
  Errno = 0;
  Out.clear();

  struct stat info;
  if (lstat(fileName.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    // Replace the file the link points to, not the link.
    char* resolved = realpath(fileName.c_str(), nullptr);
    if (resolved != nullptr) {
      Final = resolved;
      std::free(resolved);
    }
  }
  bool exists = stat(Final.c_str(), &info) == 0;
  if (exists && !S_ISREG(info.st_mode)) {
    Fd = open(Final.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0664);
  } else if (exists && access(Final.c_str(), W_OK) != 0) {
    // A file its owner has made read-only is not replaced behind its back.
    Fd = -1;
  } else {
    // A short fixed prefix keeps the temporary name within the name limit
    // of the directory whatever the target's name.
    std::string dir, name, ext;
    SplitPath(Final, dir, name, ext);
    std::vector<char> pattern(dir.begin(), dir.end());
    const char tail[] = ".korvalin.XXXXXX";
    pattern.insert(pattern.end(), tail, tail + sizeof tail);
    Fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (Fd >= 0) {
      TempName = pattern.data();
      // The replacement keeps the rights of the file it replaces, as a
      // file truncated in place would; a new file gets rw-rw-r-- less the mask.
      fchmod(Fd, exists ? (info.st_mode & 07777) : CreationMode());
    }
  }
  if (Fd < 0) {
    Errno = LastErrno();
    return false;
  }
  Buf.Attach(Fd);
  return true;
}

bool TOutputFile::Commit() {
  if (Fd < 0) {
    if (Errno == 0) Errno = EBADF;
    return false;
  }
  Out.flush();
  bool ok = Buf.FirstErrno() == 0 && Out.good();
  if (!ok) Errno = Buf.FirstErrno() != 0 ? Buf.FirstErrno() : EIO;
  int fd = Fd;
  Fd = -1;
  errno = 0;
  if (close(fd) != 0 && ok) {
    ok = false;
    Errno = LastErrno();
  }
  if (ok && !TempName.empty()) {
    if (std::rename(TempName.c_str(), Final.c_str()) != 0) {
      ok = false;
      Errno = LastErrno();
    } else {
      TempName.clear();
    }
  }
  Discard();
  return ok;
}

const char* TOutputFile::ErrorMsg(TStreamError kind) const {
  errno = Errno;
  return FileErrorMsg(Target, kind);
}
