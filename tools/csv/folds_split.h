// Deterministic stratified splitting of a pattern set into folds for
// cross-validation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The fold (0 .. folds-1) of every pattern, given the patterns' classes.
// The patterns of each class, in a shuffled order fixed by the seed, are
// dealt to the folds in turn, the dealing going on from class to class, so
// that every fold holds each class to within one pattern and the folds'
// sizes differ by at most one. The same classes and seed give the same
// folds on every platform.
std::vector<int> AssignFolds(const std::vector<int>& classes, int folds, std::uint32_t seed);

// Reads the pattern file `fileName` and writes, for every fold I, the
// pattern files PREFIX-train-I.pat (all other folds) and PREFIX-test-I.pat
// (fold I), patterns in their original order. Reports to standard error;
// returns the process exit status.
int SplitIntoFolds(const std::string& fileName, int folds, unsigned long seed, const std::string& prefix);
