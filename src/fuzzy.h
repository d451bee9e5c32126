// Triangular fuzzy sets with optional shoulders, and the partition of one
// input variable into such sets.
#pragma once

#include <istream>
#include <ostream>
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
  explicit TFuzzySet(std::istream& in);

  float Membership(float x) const;
  void Adapt(float da, float db, float dc);
};

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
  explicit TPartition(std::istream& in);

  TVector<float> GetMembershipVector(float x) const;
  float MaxMembership(float x, int& index) const;
  void Adapt(int set, float da, float db, float dc);
  void AdaptConstrained(int set, float x, float da, float db, float dc);
};

std::ostream& operator<<(std::ostream& out, const TPartition& partition);
