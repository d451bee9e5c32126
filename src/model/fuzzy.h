// Triangular fuzzy sets with optional shoulders, and the partition of one
// input variable into such sets.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "containers.h"
#include "lrntask.h"
#include "stdutils.h"

// Label of set `index` in a partition of `count` sets; "" when out of range.
const char* DefaultFuzzySetName(int index, int count);

extern const char FuzzySetNames[7][7][20];

class TFuzzySet {
 public:
  char Name[20];
  float a;
  float b;
  float c;
  Boolean LeftShouldered;
  Boolean RightShouldered;

  TFuzzySet();
  TFuzzySet(const char* name, float a, float b, float c, Boolean left, Boolean right);

  // 1 at the peak also when b == c (no 0/0).
  float Membership(float x) const;
  void Adapt(float da, float db, float dc);
};

// Reads the line of one set, "a b c left right  label", into `set`: returns
// how many of the five numbers the line holds, 5 when the set was read (the
// label trimmed and cut to 19 characters, the flags as they stand), or -1
// when a malformed number left the stream failed.
int ReadFuzzySet(std::istream& in, TFuzzySet& set);

// The shortest decimal text that reads back as the same float.
std::string ExactText(float value);

// Network files hold set parameters with six decimals; `exact` writes
// ExactText instead, for copies that must leave a network unchanged.
void WriteFuzzySet(std::ostream& out, const TFuzzySet& set, bool exact);
std::ostream& operator<<(std::ostream& out, const TFuzzySet& set);

class TPartition {
 public:
  int NumberOfSets;
  float Lower;
  float Upper;
  // Sets 1..NumberOfSets; element 0 is never read.
  std::vector<TFuzzySet> Sets;

  TPartition();
  TPartition(TBound range, int count);

  TVector<float> GetMembershipVector(float x) const;
  float MaxMembership(float x, int& index) const;
  void Adapt(int set, float da, float db, float dc);
  // A moving foot with no neighbour beyond it is limited only by the range.
  void AdaptConstrained(int set, float x, float da, float db, float dc);
};

void WritePartition(std::ostream& out, const TPartition& partition, bool exact);
std::ostream& operator<<(std::ostream& out, const TPartition& partition);
