// The fuzzy-set reader, and the operations that learning
// and propagation apply to what they read.
#include <cstring>

#include "fuzz_util.h"
#include "fuzzy.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  std::istringstream in(text);
  TPartition partition;
  partition.Sets.resize(1);
  // Set lines make the partition; shorter lines (a partition's count and range) are passed over.
  for (TFuzzySet set; partition.NumberOfSets < 64;) {
    const int numbers = ReadFuzzySet(in, set);
    if (numbers < 0) break;
    if (numbers < 5) continue;
    fuzz::Require(std::memchr(set.Name, '\0', sizeof set.Name) != nullptr);
    for (float x : {set.a, set.b, set.c, 0.0f, (set.a + set.c) / 2}) {
      const float m = set.Membership(x);
      fuzz::Require(!(m < 0.0f) && !(m > 1.0f));
    }
    partition.Sets.push_back(set);
    partition.NumberOfSets++;
  }
  if (partition.NumberOfSets < 1) return 0;
  partition.Lower = partition.Sets[1].a;
  partition.Upper = partition.Sets.back().c;
  std::ostringstream out;
  out << partition;

  const float points[] = {partition.Lower, partition.Upper, (partition.Lower + partition.Upper) / 2,
                          partition.Sets[1].b, 1.4e-45f, -1.0f};
  for (float x : points) {
    TVector<float> memberships = partition.GetMembershipVector(x);
    fuzz::Require(memberships.Dimension() == partition.NumberOfSets);
    int index = 0;
    partition.MaxMembership(x, index);
    fuzz::Require(index >= 1 && index <= partition.NumberOfSets);
  }
  // Learning moves sets by small amounts; the direction comes from the input.
  const float step = (size % 2 == 0) ? 0.05f : -0.05f;
  for (int s = 1; s <= partition.NumberOfSets && s <= 64; s++) {
    TPartition moved(partition);
    moved.Adapt(s, step, -step, step);
    TPartition constrained(partition);
    constrained.AdaptConstrained(s, partition.Sets[s].b + step, step, -step, step);
    constrained.AdaptConstrained(s, partition.Sets[s].b - step, -step, step, -step);
  }
  return 0;
}
