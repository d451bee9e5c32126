#include "csv_reader.h"

#include <sstream>

namespace {

bool IsBlankText(const std::string& s) {
  for (char c : s)
    if (c != ' ' && c != '\t') return false;
  return true;
}

}  // namespace

bool TCsvReader::Next(TCsvRecord& record) {
  using Traits = std::char_traits<char>;
  std::streambuf* sb = In.rdbuf();
  if (Failed || sb == nullptr) return false;
  for (;;) {
    record.Fields.clear();
    record.Line = CurrentLine;
    std::string field;
    std::size_t length = 0;
    bool quoted = false;       // inside an open quoted section
    bool wasQuoted = false;    // the current field had a quoted section
    bool afterQuote = false;   // a quoted section closed; only blanks may follow
    bool sawAny = false;
    bool lastQuoted = false;  // whether the record's last field was quoted
    int c;
    for (;;) {
      c = sb->sbumpc();
      if (c == Traits::eof()) break;
      sawAny = true;
      if (++length > CsvMaxRecordLength) {
        ErrorText = "line " + std::to_string(record.Line) + ": record longer than " +
                    std::to_string(CsvMaxRecordLength) + " characters";
        Failed = true;
        return false;
      }
      char ch = static_cast<char>(c);
      if (quoted) {
        if (ch == '"') {
          if (sb->sgetc() == '"') {
            sb->sbumpc();
            field.push_back('"');
          } else {
            quoted = false;
            afterQuote = true;
          }
        } else {
          if (ch == '\n') CurrentLine++;
          field.push_back(ch);
        }
        continue;
      }
      if (ch == '\r' && sb->sgetc() == '\n') continue;
      if (ch == '\n' || ch == Delimiter) {
        record.Fields.push_back(field);
        field.clear();
        lastQuoted = wasQuoted;
        wasQuoted = afterQuote = false;
        if (ch == '\n') {
          CurrentLine++;
          break;
        }
        continue;
      }
      if (afterQuote) {
        if (ch == ' ' || ch == '\t') continue;
        ErrorText = "line " + std::to_string(CurrentLine) + ": text after the closing quote of field " +
                    std::to_string(record.Fields.size() + 1);
        Failed = true;
        return false;
      }
      // A quote opens a quoted section only at the start of a field (blanks
      // before it are dropped); elsewhere it is an ordinary character.
      if (ch == '"' && !wasQuoted && IsBlankText(field)) {
        field.clear();
        quoted = wasQuoted = true;
        continue;
      }
      field.push_back(ch);
    }
    if (quoted) {
      ErrorText = "line " + std::to_string(record.Line) + ": quoted field not closed before the end of the input";
      Failed = true;
      return false;
    }
    if (c == Traits::eof()) {
      if (!sawAny) return false;
      record.Fields.push_back(field);
      lastQuoted = wasQuoted;
    }
    bool blank = record.Fields.size() == 1 && !lastQuoted && IsBlankText(record.Fields[0]);
    if (!blank) return true;
    if (c == Traits::eof()) return false;
  }
}

bool ReadHeaderLine(std::istream& in, std::string& line) {
  using Traits = std::char_traits<char>;
  line.clear();
  std::streambuf* sb = in.rdbuf();
  if (sb == nullptr) return false;
  bool quoted = false;
  for (;;) {
    int c = sb->sbumpc();
    if (c == Traits::eof()) break;
    char ch = static_cast<char>(c);
    if (ch == '"') quoted = !quoted;
    if (ch == '\n' && !quoted) break;
    if (line.size() >= CsvMaxRecordLength) return false;
    line.push_back(ch);
  }
  if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return !line.empty();
}

char DetectDelimiter(const std::string& line) {
  const char candidates[] = {',', ';', '\t'};
  int counts[3] = {0, 0, 0};
  bool quoted = false;
  for (char ch : line) {
    if (ch == '"') quoted = !quoted;
    if (quoted) continue;
    for (int i = 0; i < 3; i++)
      if (ch == candidates[i]) counts[i]++;
  }
  int best = 0;
  for (int i = 1; i < 3; i++)
    if (counts[i] > counts[best]) best = i;
  return candidates[best];
}
