#include "lrntask.h"

#include <limits>

#include "numread.h"

const char* const kwDimensions = "DIMENSIONS";
const char* const kwName = "NAME";
const char* const kwVariableNames = "VARNAMES";
const char* const kwBounds = "INRANGES";
const char* const kwNoClassInfo = "NOCLASS";
const char* const kwPattern = "PATTERNS";
const char* const kwEndPattern = "END";

namespace {

constexpr std::size_t kKeywordLineMax = 79;
constexpr std::size_t kNameLineMax = 79;
constexpr std::size_t kLabelMax = 29;

// Declared dimensions beyond this are refused before anything is sized by
// them: a pattern set without patterns still gets one range per input and
// one counter per class, and so does every network built from it.
constexpr int kMaxDimension = 1000000;

void PrintLabel(std::ostream& out, const std::vector<std::string>& names, int index) {
  out << "\t Label: ";
  if (static_cast<std::size_t>(index) < names.size())
    out << "'" << names[index] << "'";
  else
    out << "No label defined.";
  out << '\n';
}

}  // namespace

TLearningTask::TLearningTask()
    : NumberOfInputs(0),
      NumberOfClasses(0),
      NumberOfPatterns(0),
      ClassInfo(True),
      MissingValue(std::numeric_limits<float>::denorm_min()),
      NumberOfMissingValues(0) {}

TLearningTask::TLearningTask(std::istream& in, TLoadStatus& status, std::ostringstream& messages)
    : NumberOfInputs(0),
      NumberOfClasses(0),
      NumberOfPatterns(0),
      ClassInfo(True),
      MissingValue(std::numeric_limits<float>::denorm_min()),
      NumberOfMissingValues(0) {
  status = LoadOk;
  std::vector<TBound> ranges;
  bool haveRanges = false;
  std::string line;

  IgnoreComments(in);
  if (GetLine(in, line, kKeywordLineMax)) {
    StrTrim(line);
    if (line == kwDimensions) {
      int inputs = 0, classes = 0;
      if (ReadInt(in, inputs) && ReadInt(in, classes)) {
        NumberOfInputs = inputs;
        NumberOfClasses = classes;
      } else if (inputs != 0) {
        NumberOfInputs = inputs;
      }
    }
  }
  bool tooLarge = NumberOfInputs > kMaxDimension || NumberOfClasses > kMaxDimension;
  if (NumberOfInputs < 1 || NumberOfClasses < 0 || tooLarge) {
    messages << "No or invalid pattern dimensions specified!" << '\n';
    status = LoadError;
    // Leaves the stream at the offending count so that the caller names its line.
    if (tooLarge) in.setstate(std::ios::failbit);
    return;
  }
  Patterns.Inputs = NumberOfInputs;

  IgnoreComments(in);
  while (in.good()) {
    if (!GetLine(in, line, kKeywordLineMax)) break;
    StrTrim(line);
    if (line == kwVariableNames) {
      ReadNames(in);
    } else if (line == kwBounds) {
      haveRanges = ReadRanges(in, ranges);
    } else if (line == kwName) {
      if (GetLine(in, line, kNameLineMax)) Name = line;
    } else if (line == kwNoClassInfo) {
      ClassInfo = False;
    } else if (line == kwPattern) {
      ReadPatterns(in);
    } else if (line == kwEndPattern) {
      break;
    } else {
      messages << "Unkwown keyword \"" << line << "\" ignored." << '\n';
      status = LoadWarning;
    }
    IgnoreComments(in);
  }
  if (!in.good()) return;

  // Without classes there is nothing to classify by; marking the set
  // unclassified keeps every class-indexed use away from it.
  if (NumberOfClasses == 0) ClassInfo = False;
  if (ClassCount.Dimension() == 0 && NumberOfClasses > 0) ClassCount = TVector<int>(NumberOfClasses, 0);
  ComputeBounds(haveRanges ? &ranges : nullptr);
}

void TLearningTask::ReadNames(std::istream& in) {
  InputNames.assign(1, std::string());
  ClassNames.assign(1, std::string());
  std::string line;
  for (int i = 1; i <= NumberOfInputs + NumberOfClasses; i++) {
    if (!GetLine(in, line, kLabelMax)) {
      InputNames.clear();
      ClassNames.clear();
      return;
    }
    StrTrim(line);
    (i <= NumberOfInputs ? InputNames : ClassNames).push_back(line);
  }
}

bool TLearningTask::ReadRanges(std::istream& in, std::vector<TBound>& ranges) const {
  ranges.assign(1, TBound{0.0f, 0.0f});
  for (int i = 1; i <= NumberOfInputs; i++) {
    TBound range;
    if (!ReadFloat(in, range.Lower) || !ReadFloat(in, range.Upper)) return false;
    ranges.push_back(range);
  }
  return true;
}

void TLearningTask::ReadPatterns(std::istream& in) {
  Patterns.Values.clear();
  Patterns.Classes.clear();
  NumberOfPatterns = 0;
  ClassCount = NumberOfClasses > 0 ? TVector<int>(NumberOfClasses, 0) : TVector<int>();

  int count;
  if (!ReadInt(in, count)) return;
  if (count < 0) {
    in.setstate(std::ios::failbit);
    return;
  }
  const bool withClass = ClassInfo && NumberOfClasses > 0;
  // Storage grows with what is actually read: the declared count is not
  // trusted for allocation.
  for (int p = 0; p < count; p++) {
    const std::size_t start = Patterns.Values.size();
    bool ok = true;
    for (int i = 1; i <= NumberOfInputs && ok; i++) {
      float x;
      ok = ReadFloat(in, x);
      if (ok) Patterns.Values.push_back(x);
    }
    int cls = -1;
    if (withClass && ok) {
      // Position of the first largest entry of the class vector.
      int best = 0;
      for (int k = 1; k <= NumberOfClasses && ok; k++) {
        int v;
        ok = ReadInt(in, v);
        if (ok && (k == 1 || v > best)) {
          best = v;
          cls = k;
        }
      }
    }
    if (!ok) {
      Patterns.Values.resize(start);
      break;
    }
    Patterns.Classes.push_back(cls);
    if (cls > 0) ClassCount[cls]++;
    NumberOfPatterns = p + 1;
  }
  Patterns.Values.shrink_to_fit();
  Patterns.Classes.shrink_to_fit();
}

Boolean TLearningTask::NamesAvail() const { return InputNames.empty() ? False : True; }

void TLearningTask::ComputeBounds(std::vector<TBound>* ranges) {
  const float highest = std::numeric_limits<float>::max();
  Bounds.assign(static_cast<std::size_t>(NumberOfInputs) + 1, TBound{highest, -highest});
  std::vector<char> seen(static_cast<std::size_t>(NumberOfInputs) + 1, 0);
  NumberOfMissingValues = 0;
  const float* x = Patterns.Values.data();
  for (int p = 1; p <= NumberOfPatterns; p++) {
    for (int i = 1; i <= NumberOfInputs; i++, x++) {
      if (*x == MissingValue) {
        NumberOfMissingValues++;
        continue;
      }
      TBound& b = Bounds[i];
      if (!(*x > b.Lower)) b.Lower = *x;
      if (!(*x < b.Upper)) b.Upper = *x;
      seen[i] = 1;
    }
  }
  const bool given = ranges != nullptr && ranges->size() > static_cast<std::size_t>(NumberOfInputs);
  for (int i = 1; i <= NumberOfInputs; i++) {
    TBound& b = Bounds[i];
    if (given) {
      const TBound& r = (*ranges)[i];
      if (seen[i]) {
        if (r.Lower < b.Lower) b.Lower = r.Lower;
        if (r.Upper > b.Upper) b.Upper = r.Upper;
      } else {
        // Only the given pair describes this feature; take it in either order.
        b.Lower = r.Lower < r.Upper ? r.Lower : r.Upper;
        b.Upper = r.Lower < r.Upper ? r.Upper : r.Lower;
      }
    } else if (!seen[i]) {
      // No value at all: an empty range at 0 rather than an inverted one.
      b.Lower = 0.0f;
      b.Upper = 0.0f;
    }
  }
  if (ranges != nullptr) std::vector<TBound>().swap(*ranges);
}

void TLearningTask::PrintInfo(std::ostream& out, const char* header, const char* fileName, Boolean full) const {
  if (header != nullptr) out << header << '\n';
  out << "Pattern loaded from     : " << (fileName != nullptr ? fileName : "") << '\n'
      << "Number of input features: " << NumberOfInputs << '\n'
      << "Number of classes       : " << NumberOfClasses << '\n'
      << "Number of patterns      : " << NumberOfPatterns << '\n'
      << "Classified patterns     : " << (ClassInfo ? "Yes" : "No") << '\n';
  if (!full) return;

  out << "Missing values          : " << NumberOfMissingValues;
  if (NumberOfMissingValues >= 1)
    out << " (missing values are denoted as '" << static_cast<double>(MissingValue) << "')";
  out << '\n' << '\n';
  out << "\n# Name of the pattern set:\n" << Name << '\n' << '\n';

  out << "# Input features" << '\n';
  for (int i = 1; i <= NumberOfInputs; i++) {
    out << "Input feature " << i << ": " << '\n';
    PrintLabel(out, InputNames, i);
    out << "\t Range: [";
    if (static_cast<std::size_t>(i) < Bounds.size())
      out << static_cast<double>(Bounds[i].Lower) << "," << static_cast<double>(Bounds[i].Upper);
    out << "]" << '\n' << '\n';
  }

  out << "\n# Class information" << '\n';
  if (!ClassInfo) {
    out << "Not available (unclassified patterns)." << '\n';
    return;
  }
  for (int k = 1; k <= NumberOfClasses; k++) {
    out << "Class " << k << ": " << '\n';
    PrintLabel(out, ClassNames, k);
    out << "\t Number of patterns: " << (k <= ClassCount.Dimension() ? ClassCount[k] : 0) << '\n' << '\n';
  }
}
