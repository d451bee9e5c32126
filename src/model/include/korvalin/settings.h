// The settings of creation and learning, and the table that describes each
// of them once for every front end: its configuration key, its Python name,
// its type, default and values, and the texts the command program writes
// about it. The command program reads and shows settings through the
// table, the Python module builds its parameters' checks and documentation
// from it, and CheckSettings checks by it.
#pragma once

#include <climits>
#include <cstddef>
#include <vector>

namespace korvalin {

// How creation selects rules, how a class combines the activations of its
// rules, and how conclusion weights learn. The values are the numbers of
// the modes' words in the table (Setting::Word).
enum class RuleMode : int { Simple = 0, Best = 1, BestPerClass = 2 };
enum class Aggregation : int { WeightedSum = 0, Maximum = 1 };
enum class WeightMode : int { Fixed = 0, Normalized = 1, Free = 2 };

// What creation and learning need to know. Construction gives every field
// that the table describes its default.
struct NetSettings {
  NetSettings();
  // Creation.
  int FSetsPerVariable;           // sets of every input not named in SetsPerInput
  std::vector<int> SetsPerInput;  // 0-based per input; empty: FSetsPerVariable for all
  ::korvalin::RuleMode RuleMode;
  ::korvalin::Aggregation Aggregation;
  int MaxRules = 0;               // below 1: as many as there are patterns
  // Learning.
  WeightMode Weights;
  float Sigma, SigmaA, SigmaB, SigmaC;
  bool FsIntersect;               // keep neighbouring sets crossing at 0.5
  int MaxEpoch;
  float StopAtPercent;            // stop once misclassified percent <= this
  int StopAtMisclassified;        // stop once misclassified <= this
};

enum class SettingType { Int, Float, Boolean, Choice };

// A setting's field of NetSettings.
struct SettingField {
  double (*Get)(const NetSettings& settings);
  void (*Set)(NetSettings& settings, double value);
};

// One setting. Values pass through the table as doubles, which hold every
// int, float and choice number exactly: a Boolean is 0 or 1, a Choice the
// number of its word. Floats are finite; any whole number is a value of an
// Int, and one outside [Lowest, Highest] is taken and used as the nearest
// of the two (a count of 12 fuzzy sets gives 7).
struct Setting {
  const char* Name;        // configuration key, written in this letter case
  const char* PythonName;  // the Python estimator's parameter; null: none
  SettingType Type;
  double Default;
  int Lowest, Highest;     // Int: the values used
  // Choice: the word of value i, read in any letter case; null past the last.
  const char* (*Word)(int i);
  const char* Comment;     // configuration file lines above it, or null
  const char* Help;        // the first line of its help section, without the default
  const char* Doc;         // what it sets, in one line
  // Null functions for a setting of the command program alone, which keeps
  // it itself.
  SettingField Field;
};

struct SettingTable {
  const Setting* First;
  std::size_t Size;
  const Setting* begin() const { return First; }
  const Setting* end() const { return First + Size; }
};

// The rows in the order of 'show config' and of the configuration file.
const SettingTable& AllSettings();

// The value that an Int setting's value gives.
inline int UsedValue(const Setting& row, int value) {
  return value < row.Lowest ? row.Lowest : value > row.Highest ? row.Highest : value;
}

// Whether `value` is one of `row`: a whole number in the range of int, a
// number finite in single precision, 0 or 1, or the number of a word.
bool IsValue(const Setting& row, double value);

// Null when every setting of the table holds one of its values, else the
// reason.
const char* CheckSettings(const NetSettings& settings);

}  // namespace korvalin
