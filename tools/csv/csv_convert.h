// Conversion of a table of delimited text with a header row into a
// pattern table.
#pragma once

#include <istream>
#include <string>
#include <vector>

#include "pattern_table.h"

// The table is held in memory until its dimensions are known; a larger
// one (1 GiB of values) is refused rather than allowed to exhaust memory.
constexpr std::size_t CsvMaxValues = std::size_t(1) << 28;

struct TCsvOptions {
  char Delimiter = 0;                // 0: detected from the header row
  std::string ClassColumn;           // header name or 1-based index; empty: the last column
  bool NoClass = false;              // the patterns carry no classes
  std::vector<std::string> Skip;     // columns left out, by header name or 1-based index
  std::vector<std::string> Classes;  // class names in the order to use; required with NoClass
  std::string Name;                  // the pattern set's name
  std::size_t MaxValues = CsvMaxValues;
};

// Conversion stops after this many errors in the data rows.
constexpr std::size_t CsvMaxErrors = 20;
// More distinct labels than this mean a column that does not hold classes;
// every pattern would otherwise carry a class vector that long.
constexpr std::size_t CsvMaxClasses = 1000;


// Reads the whole input into `table`. Returns false when the input cannot
// be used; `errors` then holds why, each naming its line. `notes` receives
// what the user should know about a successful conversion (renamed
// columns, missing values, the class order).
bool ConvertCsv(std::istream& in, const TCsvOptions& options, TPatternTable& table,
                std::vector<std::string>& errors, std::vector<std::string>& notes);

// Column `spec` of `header`: an exact header name first, else a 1-based
// index; -1 when it names no column.
int FindColumn(const std::vector<std::string>& header, const std::string& spec);
