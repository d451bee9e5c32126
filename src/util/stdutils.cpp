#include "stdutils.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

const char StreamErrorMsg[5][25] = {
    "",
    "Can't open '%s' (%s).",
    "Can't create '%s' (%s).",
    "Error reading '%s' (%s).",
    "Error writing '%s' (%s).",
};

char FileErrorMsgText[256];

const char* FileErrorMsg(const char* fileName, TStreamError kind) {
  return FileErrorMsg(fileName, kind, std::strerror(errno));
}

const char* FileErrorMsg(const char* fileName, TStreamError kind, const char* why) {
  std::string reason = why;
  if (!reason.empty() && reason.back() == '\n') reason.pop_back();
  int row = kind < 0 ? -kind : kind;
  if (row > 4) row = 0;
  std::string name = fileName;
  // A name too long for the buffer loses its middle, not the reason after
  // it: the start and the end of a path say the most about it.
  const std::size_t format = std::strlen(StreamErrorMsg[row]);  // two "%s" included
  const std::size_t fixed = (format >= 4 ? format - 4 : 0) + reason.size();
  if (fixed + name.size() >= sizeof FileErrorMsgText && fixed + 3 + 2 < sizeof FileErrorMsgText) {
    const std::size_t keep = sizeof FileErrorMsgText - 1 - fixed - 3;
    name = name.substr(0, keep - keep / 2) + "..." + name.substr(name.size() - keep / 2);
  }
  std::snprintf(FileErrorMsgText, sizeof FileErrorMsgText, StreamErrorMsg[row], name.c_str(), reason.c_str());
  return FileErrorMsgText;
}

int stricmp(const char* a, const char* b) {
  for (;; a++, b++) {
    int ca = std::tolower(static_cast<unsigned char>(*a));
    int cb = std::tolower(static_cast<unsigned char>(*b));
    if (ca != cb) return 1;
    if (ca == 0) return 0;
  }
}

static bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

void StrTrim(char* text) {
  std::size_t n = std::strlen(text);
  while (n > 0 && IsBlank(text[n - 1])) n--;
  std::size_t start = 0;
  while (start < n && IsBlank(text[start])) start++;
  std::memmove(text, text + start, n - start);
  text[n - start] = '\0';
}

void StrTrim(std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) end--;
  std::size_t start = 0;
  while (start < end && IsBlank(text[start])) start++;
  text = text.substr(start, end - start);
}

const char* IsSubString(const char* text, const char* pattern, TCompareMode mode) {
  if (mode == CaseSensitive) return std::strstr(text, pattern);
  std::string t(text), p(pattern);
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (char& c : p) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::size_t at = t.find(p);
  return at == std::string::npos ? nullptr : text + at;
}

std::string VisibleNul(const std::string& text) {
  std::string shown;
  for (char c : text) {
    if (c == '\0')
      shown += "\\0";
    else
      shown += c;
  }
  return shown;
}

Boolean IsCommentChar(int c) { return (c == '#' || c == '%') ? True : False; }

// File stream buffers throw on a read error (reading a directory, say);
// istream's own members turn that into badbit, and so do these readers.
void IgnoreComments(std::istream& in) {
  std::streambuf* sb = in.rdbuf();
  if (!in.good() || sb == nullptr) {
    in.setstate(std::ios::failbit);
    return;
  }
  std::ios::iostate state = std::ios::goodbit;
  try {
    for (;;) {
      int c = sb->sbumpc();
      if (c == std::char_traits<char>::eof()) {
        state = std::ios::eofbit | std::ios::failbit;
        break;
      }
      if (IsCommentChar(c)) {
        do c = sb->sbumpc();
        while (c != std::char_traits<char>::eof() && c != '\n');
        if (c == std::char_traits<char>::eof()) {
          state = std::ios::eofbit | std::ios::failbit;
          break;
        }
        continue;
      }
      if (IsBlank(static_cast<char>(c))) continue;
      if (sb->sungetc() == std::char_traits<char>::eof()) state = std::ios::badbit;
      break;
    }
  } catch (...) {
    state = std::ios::badbit;
  }
  if (state != std::ios::goodbit) in.setstate(state);
}

bool GetLine(std::istream& in, std::string& line, std::size_t maxLen) {
  line.clear();
  std::istream::sentry guard(in, true);
  if (!guard) return false;
  std::streambuf* sb = in.rdbuf();
  std::ios::iostate state = std::ios::goodbit;
  bool ok = false;
  try {
    for (;;) {
      int c = sb->sgetc();
      if (c == std::char_traits<char>::eof()) {
        // A final line without a newline is still a line; nothing at all is end of file.
        state = line.empty() ? (std::ios::eofbit | std::ios::failbit) : std::ios::eofbit;
        ok = !line.empty();
        break;
      }
      if (c == '\n') {
        sb->sbumpc();
        ok = true;
        break;
      }
      if (line.size() >= maxLen) {
        state = std::ios::failbit;
        break;
      }
      line.push_back(static_cast<char>(c));
      sb->sbumpc();
    }
  } catch (...) {
    state = std::ios::badbit;
    ok = false;
  }
  if (state != std::ios::goodbit) in.setstate(state);
  return ok;
}

bool GetLineCut(std::istream& in, std::string& line, std::size_t maxLen) {
  line.clear();
  if (!in.good()) {
    in.setstate(std::ios::failbit);
    return false;
  }
  if (GetLine(in, line, maxLen)) return true;
  if (in.bad() || in.eof()) return false;
  // Longer than maxLen: keep the head, skip the rest of the line.
  in.clear();
  in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
  return !in.bad();
}

void PrintErrorLine(std::ostream& out, std::istream& in, long position) {
  in.clear();
  in.seekg(0, std::ios::beg);
  // Lines are read whole, whatever their length, so the count always
  // reaches the position or the end of the file.
  std::string line;
  long total = 0;
  long n = 0;
  bool ok = false;
  do {
    ok = static_cast<bool>(std::getline(in, line));
    if (!ok) break;
    total += static_cast<long>(line.size()) + 1;
    n++;
  } while (in.good() && total <= position);
  if (ok && in.good()) {
    if (line.size() > 127) line.resize(127);
    out << "Line " << n << ": \"" << line << "\"";
  } else if (in.eof()) {
    out << "Unexpected end of file.";
  } else {
    out << "Error occured at file position " << position << " (line number is unkwown, read error again).";
  }
}

void SplitPath(const std::string& path, std::string& dir, std::string& name, std::string& ext) {
  dir.clear();
  name.clear();
  ext.clear();
  if (path.empty()) return;
  std::size_t baseStart;
  std::size_t slash = path.rfind('/');
  if (slash != std::string::npos)
    baseStart = slash + 1;
  else
    baseStart = (path[0] == '~') ? 1 : 0;
  std::string base = path.substr(baseStart);
  std::size_t dot = base.rfind('.');
  if (dot != std::string::npos) {
    ext = base.substr(dot);
    base.resize(dot);
  }
  name = base;
  dir = path.substr(0, baseStart);
}

std::string ReplaceExt(const std::string& fileName, const std::string& ext) {
  std::string dest = fileName;
  std::size_t slash = dest.rfind('/');
  std::size_t baseStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = dest.rfind('.');
  if (dot != std::string::npos && dot >= baseStart) dest.resize(dot);
  return dest + ext;
}

std::string CurrentDirectory() {
  std::vector<char> buf(256);
  for (;;) {
    if (getcwd(buf.data(), buf.size()) != nullptr) return std::string(buf.data());
    if (errno != ERANGE || buf.size() > (1u << 20)) return std::string();
    buf.resize(buf.size() * 2);
  }
}

std::string AbsPath(const std::string& path) {
  std::string dir, name, ext;
  SplitPath(path, dir, name, ext);
  if (!dir.empty() && dir[0] == '~') {
    const char* home = std::getenv("HOME");
    if (home != nullptr) dir = std::string(home) + dir.substr(1);
  }
  if (!dir.empty() && dir[0] != '.') return dir + name + ext;

  std::string resolved;
  if (!dir.empty()) {
    std::string target = dir;
    if (target.size() > 1 && target.back() == '/') target.pop_back();
    // Come back through a descriptor: it works even when the working
    // directory's name is too long or cannot be determined.
    int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (here >= 0) {
      if (chdir(target.c_str()) == 0) {
        resolved = CurrentDirectory();
        if (fchdir(here) != 0) {
          // Nothing sensible to do; the caller's directory has vanished.
        }
      }
      close(here);
    }
  }
  if (resolved.empty()) resolved = CurrentDirectory();
  if (resolved.empty() || resolved.back() != '/') resolved += '/';
  return resolved + name + ext;
}

std::string RelPath(const std::string& path) {
  if (path.empty() || path[0] == '.') return path;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0' && path.compare(0, std::strlen(home), home) == 0)
    return "~" + path.substr(std::strlen(home));
  // Only a whole directory prefix stands for "."; /home/user2/x seen from
  // /home/u must not turn into ".ser2/x", which names another file.
  std::string cwd = CurrentDirectory();
  if (cwd.empty() || path.compare(0, cwd.size(), cwd) != 0) return path;
  if (cwd.back() == '/') return "./" + path.substr(cwd.size());
  if (path.size() == cwd.size() || path[cwd.size()] == '/') return "." + path.substr(cwd.size());
  return path;
}
