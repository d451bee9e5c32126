// Reading delimited text (comma, semicolon or tab separated values) record
// by record, with double-quoted fields that may hold delimiters, doubled
// quotes and line breaks.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

// A record longer than this is rejected rather than held in memory.
constexpr std::size_t CsvMaxRecordLength = 16u * 1024u * 1024u;

struct TCsvRecord {
  std::vector<std::string> Fields;
  long Line = 0;  // physical line on which the record starts, from 1
};

class TCsvReader {
 public:
  // `firstLine` is the number of the input's first line in the whole file.
  TCsvReader(std::istream& in, char delimiter, long firstLine = 1)
      : In(in), Delimiter(delimiter), CurrentLine(firstLine) {}

  // Reads the next record that is not blank. Returns false at the end of the
  // input, or on a malformed record, in which case Error() says why and
  // where; no further record is read after an error.
  bool Next(TCsvRecord& record);
  const std::string& Error() const { return ErrorText; }
  // The physical line count so far, for a message about the whole input.
  long Line() const { return CurrentLine; }

 private:
  std::istream& In;
  char Delimiter;
  long CurrentLine;
  std::string ErrorText;
  bool Failed = false;
};

// The first line of the input, up to its unquoted line break (consumed),
// without a leading UTF-8 byte-order mark and a trailing carriage return.
// Fails (returns false) at the end of the input or past CsvMaxRecordLength.
bool ReadHeaderLine(std::istream& in, std::string& line);

// The delimiter that occurs most often outside quotes in `line` among
// ',', ';' and tab; ',' when none occurs. Ties go to the earlier of the three.
char DetectDelimiter(const std::string& line);
