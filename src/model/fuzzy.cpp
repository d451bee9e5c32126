#include "fuzzy.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

#include "numread.h"

const char FuzzySetNames[7][7][20] = {
    {"dont_care"},
    {"small", "large"},
    {"small", "medium", "large"},
    {"very_small", "small", "large", "very_large"},
    {"very_small", "small", "medium", "large", "very_large"},
    {"very_small", "medium_small", "small", "large", "medium_large", "very_large"},
    {"very_small", "medium_small", "small", "medium", "large", "medium_large", "very_large"},
};

namespace {

// Movements keep a peak this far (in units of the variable) from its feet.
constexpr float kMargin = 0.1f;

constexpr std::size_t kNameMax = sizeof(TFuzzySet::Name) - 1;

// Characters of a set line's label field that are looked at; anything
// beyond is discarded with the rest of the line.
constexpr std::size_t kLabelFieldMax = 256;

void CopyName(char (&dest)[20], const char* name) {
  std::size_t n = name == nullptr ? 0 : std::strlen(name);
  if (n > kNameMax) n = kNameMax;
  if (n > 0) std::memcpy(dest, name, n);
  dest[n] = '\0';
}

// Takes the rest of the current line (the newline is consumed). Reaching
// the end of input sets eofbit, as a line read would; a stream buffer that
// throws on a read error leaves the stream bad.
std::string RestOfLine(std::istream& in) {
  std::string text;
  std::istream::sentry guard(in, true);
  if (!guard) return text;
  std::streambuf* sb = in.rdbuf();
  try {
    for (int c = sb->sgetc();; c = sb->snextc()) {
      if (c == std::char_traits<char>::eof()) {
        in.setstate(std::ios::eofbit);
        return text;
      }
      if (c == '\n') {
        sb->sbumpc();
        return text;
      }
      if (text.size() < kLabelFieldMax) text.push_back(static_cast<char>(c));
    }
  } catch (...) {
    in.setstate(std::ios::badbit);
    return text;
  }
}

}  // namespace

const char* DefaultFuzzySetName(int index, int count) {
  if (count < 1 || count > 7 || index < 1 || index > count) return "";
  return FuzzySetNames[count - 1][index - 1];
}

TFuzzySet::TFuzzySet() : Name{}, a(0.0f), b(0.0f), c(0.0f), LeftShouldered(False), RightShouldered(False) {}

TFuzzySet::TFuzzySet(const char* name, float a_, float b_, float c_, Boolean left, Boolean right)
    : Name{}, a(a_), b(b_), c(c_), LeftShouldered(left), RightShouldered(right) {
  CopyName(Name, name);
}

int ReadFuzzySet(std::istream& in, TFuzzySet& set) {
  float abc[3];
  int flags[2];
  const int numbers = ReadLine(
      in, 5, [&](int k) { return k < 3 ? ReadFloat(in, abc[k]) : ReadInt(in, flags[k - 3]); }, false);
  if (numbers < 5) return numbers;
  set = TFuzzySet(nullptr, abc[0], abc[1], abc[2], flags[0], flags[1]);
  // Trimming before cutting keeps every label the writer can produce.
  std::string label = RestOfLine(in);
  StrTrim(label);
  CopyName(set.Name, label.c_str());
  // Cutting (at the length limit or at a NUL) can bare white space that
  // the writer would save and the next read would drop.
  StrTrim(set.Name);
  return 5;
}

float TFuzzySet::Membership(float x) const {
  if (x < a || x > c) return 0.0f;
  if (x < b) return LeftShouldered ? 1.0f : (x - a) / (b - a);
  if (RightShouldered) return 1.0f;
  // b == c here means x sits on the peak of a degenerate slope.
  if (c == b) return 1.0f;
  return (c - x) / (c - b);
}

void TFuzzySet::Adapt(float da, float db, float dc) {
  if (LeftShouldered || a + da > b - kMargin) da = 0.0f;
  if (RightShouldered || c + dc < b + kMargin) dc = 0.0f;
  if ((a + da) + kMargin > b + db || (c + dc) - kMargin < b + db) db = 0.0f;
  a += da;
  b += db;
  c += dc;
}

std::string ExactText(float value) {
  char text[64];
  const std::to_chars_result r = std::to_chars(text, text + sizeof text, value);
  return std::string(text, r.ptr);
}

void WriteFuzzySet(std::ostream& out, const TFuzzySet& set, bool exact) {
  char line[512];
  const int n = exact ? std::snprintf(line, sizeof line, "%s\t%s\t%s\t%i %i  %s\n", ExactText(set.a).c_str(),
                                      ExactText(set.b).c_str(), ExactText(set.c).c_str(), set.LeftShouldered,
                                      set.RightShouldered, set.Name)
                      : std::snprintf(line, sizeof line, "%f\t%f\t%f\t%i %i  %s\n", static_cast<double>(set.a),
                                      static_cast<double>(set.b), static_cast<double>(set.c), set.LeftShouldered,
                                      set.RightShouldered, set.Name);
  if (n < 0 || static_cast<std::size_t>(n) >= sizeof line) {
    out.setstate(std::ios::failbit);
    return;
  }
  out.write(line, n);
}

std::ostream& operator<<(std::ostream& out, const TFuzzySet& set) {
  WriteFuzzySet(out, set, false);
  return out;
}

TPartition::TPartition() : NumberOfSets(0), Lower(0.0f), Upper(0.0f) {}

TPartition::TPartition(TBound range, int count) : NumberOfSets(count), Lower(range.Lower), Upper(range.Upper) {
  if (NumberOfSets > 7) NumberOfSets = 7;
  if (NumberOfSets < 1) NumberOfSets = 1;
  Sets.resize(static_cast<std::size_t>(NumberOfSets) + 1);
  const float step = (Upper - Lower) / static_cast<float>(NumberOfSets + 1);
  float p = Lower;
  for (int i = 1; i <= NumberOfSets; i++) {
    TFuzzySet& s = Sets[i];
    CopyName(s.Name, DefaultFuzzySetName(i, NumberOfSets));
    s.a = p;
    s.b = p + step;
    s.c = p + (step + step);
    s.LeftShouldered = i == 1 ? True : False;
    s.RightShouldered = i == NumberOfSets ? True : False;
    p = s.b;
  }
  Sets[NumberOfSets].c = Upper;
}

TVector<float> TPartition::GetMembershipVector(float x) const {
  if (NumberOfSets < 1) return TVector<float>();
  TVector<float> m(NumberOfSets, 0.0f);
  int i = 1;
  while (i <= NumberOfSets && x > Sets[i].c) i++;
  for (; i <= NumberOfSets && Sets[i].a <= x; i++) m[i] = Sets[i].Membership(x);
  return m;
}

float TPartition::MaxMembership(float x, int& index) const {
  index = 1;
  if (NumberOfSets < 1) return 0.0f;
  float best = Sets[1].Membership(x);
  for (int i = 2; i <= NumberOfSets; i++) {
    float m = Sets[i].Membership(x);
    if (m > best) {
      best = m;
      index = i;
    }
  }
  return best;
}

void TPartition::Adapt(int set, float da, float db, float dc) {
  TFuzzySet& s = Sets[set];
  if (s.a + da < Lower) da = 0.0f;
  if (s.c + dc > Upper) dc = 0.0f;
  s.Adapt(da, db, dc);
}

void TPartition::AdaptConstrained(int set, float x, float da, float db, float dc) {
  TFuzzySet& s = Sets[set];
  const bool hasLeft = set > 1;
  const bool hasRight = set < NumberOfSets;
  if (x > s.b) {
    da = 0.0f;
    if (s.c + dc > Upper || s.c + dc < s.b + kMargin || s.RightShouldered) {
      dc = 0.0f;
    } else if (hasRight) {
      // Middle of the right neighbour's falling slope: the difference is a
      // float, halving and subtraction are double, as stored networks expect.
      const TFuzzySet& n = Sets[set + 1];
      const float width = n.c - n.b;
      const double middle = static_cast<double>(n.c) - static_cast<double>(width) / 2.0;
      if (static_cast<double>(s.c + dc) > middle) dc = static_cast<float>(middle - static_cast<double>(s.c));
    }
  } else {
    dc = 0.0f;
    if (s.a + da < Lower || s.a + da > s.b - kMargin || s.LeftShouldered) {
      da = 0.0f;
    } else if (hasLeft) {
      const TFuzzySet& p = Sets[set - 1];
      const float width = p.b - p.a;
      const double middle = static_cast<double>(p.b) - static_cast<double>(width) / 2.0;
      if (static_cast<double>(s.a + da) < middle) da = static_cast<float>(middle - static_cast<double>(s.a));
    }
  }
  if ((s.a + da) + kMargin > s.b + db || (s.c + dc) - kMargin < s.b + db) db = 0.0f;
  s.a += da;
  s.b += db;
  s.c += dc;

  // Neighbours follow so that adjacent sets keep crossing at 0.5.
  if (hasLeft) {
    Sets[set - 1].c = s.b;
    Sets[set - 1].b = s.a;
    if (set > 2) Sets[set - 2].c = s.a;
  }
  if (hasRight) {
    Sets[set + 1].a = s.b;
    Sets[set + 1].b = s.c;
    if (set <= NumberOfSets - 2) Sets[set + 2].a = s.c;
  }
}

void WritePartition(std::ostream& out, const TPartition& partition, bool exact) {
  out << partition.NumberOfSets << '\n';
  if (exact)
    out << ExactText(partition.Lower) << '\t' << ExactText(partition.Upper) << '\n';
  else
    out << static_cast<double>(partition.Lower) << '\t' << static_cast<double>(partition.Upper) << '\n';
  for (int i = 1; i <= partition.NumberOfSets; i++) WriteFuzzySet(out, partition.Sets[i], exact);
}

std::ostream& operator<<(std::ostream& out, const TPartition& partition) {
  WritePartition(out, partition, false);
  return out;
}
