#include "result_file.h"

void WriteTestRecord(std::ostream& out, const TLearningTask& task, const TFuzzyPerceptron& net, int pattern,
                     const TOutcome& outcome) {
  const int target = task.Patterns[pattern].Class;
  out << "# Pattern " << pattern << ":" << '\n' << "\tOutput: ";
  for (float o : outcome.Outputs) out << o << '\t';
  out << '\n';
  if (task.ClassInfo) {
    out << "\tTarget: ";
    for (int k = 1; k <= static_cast<int>(outcome.Outputs.size()); k++) out << (k == target ? 1 : 0) << '\t';
    out << '\n' << "\tPattern error : " << outcome.Error << '\n';
  }
  const bool decided = outcome.Decision == TDecision::Decided;
  out << "\tComputed class: ";
  if (decided)
    out << net.ClassName(outcome.Best) << " (Class " << outcome.Best << ")" << '\n';
  else
    out << "undecided (" << UndecidedReason(net, outcome) << ")" << '\n';
  if (task.ClassInfo)
    out << "\tClassification: " << (outcome.Correct ? "correct" : decided ? "false" : "undecided") << '\n';
  out << '\n';
}
