// Small text, path and file-error helpers shared by every module.
#pragma once

#include <cstddef>
#include <istream>
#include <ostream>
#include <string>

// The program's own truth type: 0 false, 1 true, stored as a 32-bit int.
typedef int Boolean;
constexpr Boolean False = 0;
constexpr Boolean True = 1;

// Kind of a file failure; its absolute value selects the row of StreamErrorMsg.
enum TStreamError { OpenError = -1, CreateError = -2, ReadError = -3, WriteError = -4 };

enum TCompareMode { CaseSensitive = 0, IgnoreCase = 1 };

extern const char StreamErrorMsg[5][25];

// Holds the last text made by FileErrorMsg; every call overwrites it.
extern char FileErrorMsgText[256];

// "Can't open '<name>' (<system error text>)." and its siblings, built from
// errno as it is at the call. Texts longer than the buffer are cut.
const char* FileErrorMsg(const char* fileName, TStreamError kind);
// The same with a reason of the caller's in place of the system's.
const char* FileErrorMsg(const char* fileName, TStreamError kind, const char* reason);
inline const char* FileErrorMsg(const std::string& fileName, TStreamError kind) {
  return FileErrorMsg(fileName.c_str(), kind);
}

// 0 when equal ignoring letter case, otherwise 1 (not an ordering).
int stricmp(const char* a, const char* b);

void StrTrim(char* text);
void StrTrim(std::string& text);

// Where `pattern` first occurs in `text` (optionally ignoring case), or null.
const char* IsSubString(const char* text, const char* pattern, TCompareMode mode);

Boolean IsCommentChar(int c);

// `text` with every NUL written as "\0", for messages that echo input.
std::string VisibleNul(const std::string& text);

// Skips white space and '#'/'%' comments up to the next token. Leaves the
// stream failed (end of file) when nothing but comments and blanks remain.
void IgnoreComments(std::istream& in);

// Reads one line like istream::getline into a buffer of maxLen+1
// characters: a line of more than maxLen characters leaves the stream
// failed with the first maxLen characters taken. The newline is consumed.
bool GetLine(std::istream& in, std::string& line, std::size_t maxLen);

// Reads one whole line, however long, keeping its first maxLen characters
// and dropping the rest. False when nothing is left to read.
bool GetLineCut(std::istream& in, std::string& line, std::size_t maxLen);

// Names the line holding byte offset `position` of the stream's text:
// "Line n: "<text>"", or why it cannot be named.
void PrintErrorLine(std::ostream& out, std::istream& in, long position);

// /a/b/c.d.e -> "/a/b/", "c.d", ".e"; a leading '~' belongs to the directory.
void SplitPath(const std::string& path, std::string& dir, std::string& name, std::string& ext);

// nets/iris.net + ".err" -> nets/iris.err; run.1/iris + ".err" -> run.1/iris.err
std::string ReplaceExt(const std::string& fileName, const std::string& ext);

// Expands '~' and makes names relative to the working directory absolute.
std::string AbsPath(const std::string& path);

// Display form: HOME prefix as "~" (a plain text prefix), else the working
// directory as "." when the path lies below it.
std::string RelPath(const std::string& path);

// The process's working directory, or "" when it cannot be determined.
std::string CurrentDirectory();
