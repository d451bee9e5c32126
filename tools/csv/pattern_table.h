// A pattern set held as the tools build it, and its pattern-file writer.
#pragma once

#include <ostream>
#include <string>
#include <vector>

struct TPatternTable {
  int NumberOfInputs = 0;
  int NumberOfClasses = 0;
  std::string Name;                     // at most 79 bytes
  std::vector<std::string> InputNames;  // 0-based; empty for no VARNAMES section
  std::vector<std::string> ClassNames;  // 0-based; filled exactly when InputNames is
  bool ClassInfo = true;
  std::vector<float> Values;  // NumberOfInputs values per pattern, row by row
  std::vector<int> Classes;   // class of each pattern, 1-based; unused without ClassInfo

  int NumberOfPatterns() const { return static_cast<int>(Classes.size()); }
};

// Writes the table as a pattern file: the comment lines (each prefixed
// "% "), DIMENSIONS, NAME, VARNAMES when there are names, NOCLASS when the
// table has no class information, PATTERNS and END. Class vectors are
// written as 1 at the pattern's class and 0 elsewhere. Returns the
// stream's state after a flush.
bool WritePatternFile(std::ostream& out, const TPatternTable& table,
                      const std::vector<std::string>& comments);

// Writes the table to the file `fileName`, which is replaced only when the
// whole file was written. False on failure, with the message in `error`.
bool SavePatternFile(const std::string& fileName, const TPatternTable& table,
                     const std::vector<std::string>& comments, std::string& error);
