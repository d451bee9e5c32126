#include "outfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

#include "signals.h"

namespace {

mode_t CreationMode() {
  mode_t mask = umask(0);
  umask(mask);
  return static_cast<mode_t>(0664) & ~mask;
}

int LastErrno() { return errno != 0 ? errno : EIO; }

// A write with SIGPIPE held back, so that a reader that has gone fails the
// write (EPIPE) instead of ending the process.
ssize_t WriteQuietly(int fd, const char* data, std::size_t size) {
  sigset_t pipeSignal, former, pending;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  sigprocmask(SIG_BLOCK, &pipeSignal, &former);
  sigpending(&pending);
  const bool pendingBefore = sigismember(&pending, SIGPIPE) == 1;
  const ssize_t n = write(fd, data, size);
  const int err = errno;
  if (n < 0 && err == EPIPE && !pendingBefore) {
    const struct timespec none = {0, 0};
    sigtimedwait(&pipeSignal, nullptr, &none);
  }
  sigprocmask(SIG_SETMASK, &former, nullptr);
  errno = err;
  return n;
}

void FlushStandardStreams() {
  std::cout.flush();
  std::cerr.flush();
  std::fflush(stdout);
  std::fflush(stderr);
}

enum TDescriptorPath { NoDescriptor, OwnDescriptor, OtherDescriptor };

// Whether `path` names an open descriptor (/dev/stdout, /dev/fd/N,
// /proc/self/fd/N, /proc/PID/fd/N) and, for this process's own, which.
TDescriptorPath DescriptorNamed(const std::string& path, int& fd) {
  static const char* const streams[] = {"/dev/stdin", "/dev/stdout", "/dev/stderr"};
  for (int i = 0; i < 3; i++) {
    if (path == streams[i]) {
      fd = i;
      return OwnDescriptor;
    }
  }
  std::string rest;
  bool own = true;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/", "/proc/thread-self/fd/"}) {
    if (path.compare(0, std::strlen(prefix), prefix) == 0) {
      rest = path.substr(std::strlen(prefix));
      break;
    }
  }
  if (rest.empty() && path.compare(0, 6, "/proc/") == 0) {
    const char* p = path.c_str() + 6;
    char* end = nullptr;
    const long pid = std::strtol(p, &end, 10);
    if (end == p || !std::isdigit(static_cast<unsigned char>(*p)) || std::strncmp(end, "/fd/", 4) != 0)
      return NoDescriptor;
    own = pid == getpid();
    rest = end + 4;
  }
  if (rest.empty() || rest.size() > 9) return NoDescriptor;
  for (char c : rest)
    if (!std::isdigit(static_cast<unsigned char>(c))) return NoDescriptor;
  fd = std::atoi(rest.c_str());
  return own ? OwnDescriptor : OtherDescriptor;
}

bool ReadLink(const std::string& path, std::string& target) {
  std::vector<char> text(4096);
  const ssize_t n = readlink(path.c_str(), text.data(), text.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= text.size()) return false;
  target.assign(text.data(), static_cast<std::size_t>(n));
  return true;
}

bool IsPipeOrSocket(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode));
}

// ".korvalin.<target's name>.": the temporary files of one target. The name
// is cut so that the whole stays within the name limit of the directory.
std::string TempPrefix(const std::string& targetName) { return ".korvalin." + targetName.substr(0, 100) + "."; }

// Removes the temporary files of this target that no write will finish: the
// rest of the name must be "<pid>.XXXXXX", the file ours, and its writer gone
// (this process writes one target at a time) or the file a day old.
void RemoveStaleTemps(const std::string& dir, const std::string& prefix) {
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return;
  const std::time_t dayAgo = std::time(nullptr) - 24 * 60 * 60;
  while (const dirent* entry = readdir(d)) {
    const char* name = entry->d_name;
    if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
    const char* rest = name + prefix.size();
    char* end = nullptr;
    const long pid = std::strtol(rest, &end, 10);
    if (!std::isdigit(static_cast<unsigned char>(*rest)) || *end != '.' || std::strlen(end + 1) != 6) continue;
    const std::string path = dir + name;
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) continue;
    const bool writerGone = pid == getpid() || (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
    if (writerGone || info.st_mtime < dayAgo) unlink(path.c_str());
  }
  closedir(d);
}

}  // namespace

TFdOutBuf::TFdOutBuf() : Buffer(1 << 16) { setp(Buffer.data(), Buffer.data() + Buffer.size()); }

void TFdOutBuf::Attach(int fd, bool quietPipe) {
  Fd = fd;
  Errno = 0;
  QuietPipe = quietPipe;
  setp(Buffer.data(), Buffer.data() + Buffer.size());
}

bool TFdOutBuf::Drain() {
  const char* p = pbase();
  const char* end = pptr();
  while (p < end && Errno == 0) {
    const std::size_t size = static_cast<std::size_t>(end - p);
    ssize_t n = QuietPipe ? WriteQuietly(Fd, p, size) : write(Fd, p, size);
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
  ReleaseTempFile(TempSlot);
  TempSlot = -1;
  Adopted = false;
}

bool TOutputFile::Finish(TFinishedFile& done) {
  done = TFinishedFile{Target, Final, std::string()};
  const bool ok = Close();
  if (ok) done.Temp.swap(TempName);
  Discard();
  return ok;
}

void TOutputFile::Adopt(const TFinishedFile& done) {
  Discard();
  Target = done.Target;
  Final = done.Final;
  TempName = done.Temp;
  Errno = 0;
  Reason = nullptr;
  Adopted = true;
  TempSlot = HoldTempFile(TempName.c_str());
}

bool TOutputFile::Open(const std::string& fileName) {
  Discard();
  Target = fileName;
  Final = fileName;
  Errno = 0;
  Reason = nullptr;
  SharedStream = false;
  Out.clear();

  // Links are followed one at a time: a descriptor named on the way is
  // written through, and the end of a dangling link is what gets created.
  std::string path = fileName;
  for (int hops = 0; hops < 40; hops++) {
    int fd = -1;
    const TDescriptorPath named = DescriptorNamed(path, fd);
    if (named != NoDescriptor) {
      Final = path;
      return named == OwnDescriptor ? WriteThrough(fd) : OpenInPlace(O_APPEND);
    }
    struct stat link;
    std::string to;
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode) || !ReadLink(path, to)) break;
    if (to[0] != '/') {
      const std::size_t slash = path.rfind('/');
      to = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + to;
    }
    path = to;
  }
  Final = path;

  struct stat info;
  std::memset(&info, 0, sizeof info);
  const bool exists = stat(Final.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) {
    Errno = LastErrno();
    return false;
  }
  if (exists) {
    // The file that standard output or error is redirected to is written
    // there, after what they hold, not replaced under them.
    for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
      struct stat stream;
      if (fstat(fd, &stream) == 0 && stream.st_dev == info.st_dev && stream.st_ino == info.st_ino)
        return WriteThrough(fd);
    }
  }
  if (exists && !S_ISREG(info.st_mode)) return OpenInPlace(0);
  if (exists && access(Final.c_str(), W_OK) != 0) {
    // A file its owner has made read-only is not replaced behind its back.
    Errno = LastErrno();
    return false;
  }
  return OpenTemporary(exists, info);
}

bool TOutputFile::WriteThrough(int fd) {
  const int mode = fcntl(fd, F_GETFL);
  if (mode < 0 || (mode & O_ACCMODE) == O_RDONLY) {
    Errno = EBADF;
    return false;
  }
  Fd = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (Fd < 0) {
    Errno = LastErrno();
    return false;
  }
  // What the program has written to the stream comes first.
  SharedStream = fd <= STDERR_FILENO;
  if (SharedStream) FlushStandardStreams();
  Buf.Attach(Fd, IsPipeOrSocket(Fd));
  return true;
}

bool TOutputFile::OpenInPlace(int mode) {
  struct stat info;
  const bool known = stat(Final.c_str(), &info) == 0;
  if (known && S_ISSOCK(info.st_mode)) {
    struct sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (Final.size() >= sizeof address.sun_path) {
      Errno = ENAMETOOLONG;
      return false;
    }
    std::memcpy(address.sun_path, Final.c_str(), Final.size());
    Fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Fd >= 0 && connect(Fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
      Errno = LastErrno();
      close(Fd);
      Fd = -1;
      return false;
    }
  } else {
    // Without O_NONBLOCK, opening a FIFO that no process reads would wait
    // for a reader for ever.
    Fd = open(Final.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC | mode);
    if (Fd >= 0) fcntl(Fd, F_SETFL, fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
  }
  if (Fd < 0) {
    Errno = LastErrno();
    if (Errno == ENXIO && known && S_ISFIFO(info.st_mode)) Reason = "no process reads from it";
    return false;
  }
  Buf.Attach(Fd, IsPipeOrSocket(Fd));
  return true;
}

bool TOutputFile::OpenTemporary(bool exists, const struct stat& info) {
  std::string dir, name, ext;
  SplitPath(Final, dir, name, ext);
  const std::string prefix = TempPrefix(name + ext);
  RemoveStaleTemps(dir, prefix);
  const std::string pattern = dir + prefix + std::to_string(getpid()) + ".XXXXXX";
  std::vector<char> temp(pattern.begin(), pattern.end());
  temp.push_back('\0');
  // A signal that ended the process between the file's creation and its
  // holding would leave the file behind: signals wait meanwhile.
  sigset_t all, former;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &former);
  Fd = mkostemp(temp.data(), O_CLOEXEC);
  Errno = Fd < 0 ? LastErrno() : 0;
  if (Fd >= 0) TempSlot = HoldTempFile(temp.data());
  pthread_sigmask(SIG_SETMASK, &former, nullptr);
  if (Fd < 0) return false;
  TempName = temp.data();
  if (exists) {
    // The replacement keeps what a file truncated in place would keep: its
    // owner and group where this process may give them (as root), then its
    // rights, which a change of owner may have cut.
    if (fchown(Fd, info.st_uid, info.st_gid) != 0 && fchown(Fd, static_cast<uid_t>(-1), info.st_gid) != 0) {
      // Not permitted: the file becomes this user's, as any new file would.
    }
    fchmod(Fd, info.st_mode & 07777);
  } else {
    fchmod(Fd, CreationMode());
  }
  Buf.Attach(Fd);
  return true;
}

bool TOutputFile::Close() {
  if (Fd < 0) {
    if (Errno == 0) Errno = EBADF;
    return false;
  }
  if (SharedStream) FlushStandardStreams();
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
  return ok;
}

bool TOutputFile::Commit() {
  bool ok = Adopted || Close();
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
  errno = ErrorNumber();
  return Reason != nullptr ? FileErrorMsg(Target.c_str(), kind, Reason) : FileErrorMsg(Target, kind);
}
