// The pattern set and its file reader.
#pragma once

#include <istream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "containers.h"
#include "stdutils.h"

enum TLoadStatus { LoadOk = 0, LoadWarning = -1, LoadError = -2 };

struct TBound {
  float Lower;
  float Upper;
};

extern const char* const kwDimensions;
extern const char* const kwName;
extern const char* const kwVariableNames;
extern const char* const kwBounds;
extern const char* const kwNoClassInfo;
extern const char* const kwPattern;
extern const char* const kwEndPattern;

// Read-only 1-based view of one pattern's inputs inside the set's flat store.
class TInputView {
 public:
  TInputView(const float* data, int dim) : Data(data), Dim(dim) {}
  float operator[](int i) const { return Data[i - 1]; }
  int Dimension() const { return Dim; }
  const float* data() const { return Data; }

 private:
  const float* Data;
  int Dim;
};

struct TPattern {
  TInputView Input;
  int Class;  // 1..NumberOfClasses, or -1 without class information
};

// All patterns of a set, stored row by row in one array so that a pattern
// costs its floats and one int.
class TPatternStore {
 public:
  int Inputs = 0;
  std::vector<float> Values;
  std::vector<int> Classes;

  TPattern operator[](int p) const {
    return TPattern{TInputView(Values.data() + static_cast<std::size_t>(p - 1) * Inputs, Inputs),
                    Classes[p - 1]};
  }
  int Count() const { return static_cast<int>(Classes.size()); }
};

class TLearningTask {
 public:
  int NumberOfInputs;
  int NumberOfClasses;
  int NumberOfPatterns;
  std::string Name;                     // at most 79 characters
  std::vector<std::string> InputNames;  // 1-based; empty when the file has none
  std::vector<std::string> ClassNames;  // 1-based; empty when the file has none
  Boolean ClassInfo;
  TPatternStore Patterns;     // Patterns[p], p = 1..NumberOfPatterns
  std::vector<TBound> Bounds;  // 1-based
  TVector<int> ClassCount;
  float MissingValue;
  int NumberOfMissingValues;  // counted by ComputeBounds

  // Reads a pattern file. The load failed when `in` is no longer good
  // afterwards or `status` is LoadError; after `in.clear()`, `in.tellg()` is
  // then the offset where reading stopped. Dimensions above 1,000,000 are
  // refused; storage grows with what is read, never with declared counts.
  TLearningTask(std::istream& in, TLoadStatus& status, std::ostringstream& messages);
  // An empty set with class information, to be filled in memory.
  TLearningTask();
  TLearningTask(const TLearningTask& task) = default;
  TLearningTask& operator=(const TLearningTask&) = delete;

  Boolean NamesAvail() const;
  void PrintInfo(std::ostream& out, const char* header, const char* fileName, Boolean full) const;
  // Takes the 1-based given ranges (or null) and widens the data's ranges by
  // them, releasing their storage. A feature without any non-missing value
  // gets its given range in ascending order, or [0, 0]: never an inverted one.
  void ComputeBounds(std::vector<TBound>* ranges);

 private:
  void ReadNames(std::istream& in);
  bool ReadRanges(std::istream& in, std::vector<TBound>& ranges) const;
  void ReadPatterns(std::istream& in);
};
