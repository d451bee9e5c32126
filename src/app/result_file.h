// The result file's record of one tested pattern.
#pragma once

#include <ostream>

#include "korvalin.h"

// "# Pattern <n>:", its outputs; with class information its target,
// pattern error and verdict ("correct", "false" or "undecided"); and its
// computed class, or "undecided" with the reason when no class alone has the
// highest positive output. The verdicts never disagree with TestNet's
// Misclassified count.
void WriteTestRecord(std::ostream& out, const TLearningTask& task, const TFuzzyPerceptron& net, int pattern,
                     const TOutcome& outcome);
