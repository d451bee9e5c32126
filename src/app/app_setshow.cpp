#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

#include "app.h"

namespace {

// printf-style formatting into a string of any length.
std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
  va_end(again);
  return text;
}

// atoi without its undefined overflow: out-of-range numbers saturate.
int LeadingInt(const char* text) {
  errno = 0;
  long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Misclassified patterns in percent, and the mean error; both 0 for a set
// without patterns rather than a division by zero.
float Percent(int misclassified, int patterns) {
  return patterns > 0 ? static_cast<float>(misclassified * 100.0 / patterns) : 0.0f;
}
float MeanError(float total, int patterns) { return patterns > 0 ? total / static_cast<float>(patterns) : 0.0f; }

}  // namespace

void TApplication::Set(const TCommand& cmd) {
  std::string name = cmd.Arg(1);
  std::string value = cmd.Arg(3);
  std::ostringstream msg;

  if (IsSubString(name.c_str(), "NumberOfFSets", IgnoreCase) == name.c_str()) {
    std::size_t open = name.find('[');
    if (open == std::string::npos) {
      msg << "Missing open brace ('[')." << '\n';
    } else if (name.back() != ']') {
      msg << "Missing close brace (']').\n";
    } else {
      std::string index = name.substr(open + 1, name.size() - open - 2);
      int i = LeadingInt(index.c_str());
      if (i < 1 || i > NumberOfFSets.Dimension()) {
        msg << "Invalid Index " << index << ".\n";
      } else {
        // A single input takes only the counts that are used as given.
        const TParamDef& sets = *TLearningParameters::GetDefinition("FSetsPerVariable");
        int n = LeadingInt(value.c_str());
        if (n != korvalin::UsedValue(sets, n))
          msg << "Invalid Value " << value << ".\n";
        else
          NumberOfFSets[i] = n;
      }
    }
    if (!msg.str().empty()) PrintMsg(msg, Error);
    return;
  }

  int previous = Parameters.Net.FSetsPerVariable;
  int code = Parameters.ChangeParameter(name, value);
  if (code != 0) {
    msg << "Setting Parameter " << name << " to " << value << " failed.";
    TLearningParameters::PrintErrorMsg(msg, code, name);
    PrintMsg(msg, Warning);
    return;
  }
  if (Parameters.Net.FSetsPerVariable != previous && NumberOfFSets.Dimension() > 0)
    NumberOfFSets = TVector<int>(NumberOfFSets.Dimension(), Parameters.Net.FSetsPerVariable);
}

void TApplication::Show(const TCommand& cmd) {
  const char* word = cmd.Arg(1);
  std::ostringstream msg;

  if (stricmp(word, "config") == 0) {
    std::cout << "[Configuration]" << '\n';
    Parameters.PrintAll(std::cout);
    std::cout << '\n';
    std::cout.flush();
    return;
  }

  bool netView = false;
  for (const char* view : {"fuzzy", "rules", "ranges", "inputnames", "classnames"})
    if (stricmp(word, view) == 0) netView = true;
  if (netView) {
    if (!Net) {
      msg << " Can't show '" << word << "'." << " No net loaded or defined.";
      PrintMsg(msg, Error);
    } else if (stricmp(word, "fuzzy") == 0) {
      Net->PrintPartitions(std::cout, "[Fuzzy]");
      std::cout.flush();
    } else if (stricmp(word, "rules") == 0) {
      Net->PrintRules(msg, "[Rules]");
      PrintMsg(msg, PagedText);
    } else if (stricmp(word, "ranges") == 0) {
      msg << "[Ranges]" << '\n';
      for (int i = 1; i <= Net->NumberOfInputs(); i++)
        msg << static_cast<double>(Net->InputRange(i).Lower) << '\t' << static_cast<double>(Net->InputRange(i).Upper)
            << '\n';
      PrintMsg(msg, PagedText);
    } else {
      bool inputs = stricmp(word, "inputnames") == 0;
      msg << (inputs ? "[InputNames]" : "[ClassNames]") << '\n';
      int count = inputs ? Net->NumberOfInputs() : Net->NumberOfClasses();
      for (int i = 1; i <= count; i++) msg << (inputs ? Net->InputName(i) : Net->ClassName(i)) << '\n';
      PrintMsg(msg, PagedText);
    }
    return;
  }

  if (stricmp(word, "confusion") == 0) {
    ShowConfusion();
    return;
  }

  if (stricmp(word, "patterninfo") == 0) {
    if (Task) {
      Task->PrintInfo(msg, "[Patterninfo]", PatternFileName.c_str(), True);
      PrintMsg(msg, PagedText);
    } else {
      msg << " Can't show pattern info. No pattern file loaded.\n";
      PrintMsg(msg, Error);
    }
    return;
  }

  if (stricmp(word, "NumberOfFSets") == 0) {
    std::cout << " NumberOfFSets = <";
    for (int i = 1; i <= NumberOfFSets.Dimension(); i++) std::cout << (i > 1 ? ", " : "") << NumberOfFSets[i];
    std::cout << ">";
    std::cout.flush();
    return;
  }

  int code = Parameters.PrintParameter(std::cout, word);
  std::cout.flush();
  if (code != 0) {
    TLearningParameters::PrintErrorMsg(msg, code, word);
    PrintMsg(msg, Error);
  }
}

void TApplication::PrintNetInfo(std::ostream& out, const char* header) const {
  if (!Net) return;
  if (header != nullptr) out << header << '\n';
  out << "Net loaded from       : " << NetFileName << '\n'
      << "Number of input units : " << Net->NumberOfInputs() << '\n'
      << "Number of rule units  : " << Net->NumberOfRules() << '\n'
      << "Number of output units: " << Net->NumberOfClasses() << '\n';
}

void TApplication::PrintLearningStatus(std::ostream& out, const char* header, Boolean longForm) const {
  if (!Net || !Task || Task->NumberOfPatterns < 1) return;
  int patterns = Task->NumberOfPatterns;
  float percent = Percent(Misclassified, patterns);
  if (header != nullptr) out << header << '\n';
  if (longForm) {
    out << "Epoch                 : " << Epoch << '\n'
        << Format(" Misclassified patterns: %i(%.2f%%)", Misclassified, static_cast<double>(percent)) << '\n'
        << Format(" Total error           : %.3f", static_cast<double>(TotalError)) << '\n'
        << Format(" Mean error            : %.3f\n", static_cast<double>(MeanError(TotalError, patterns))) << '\n';
    if (PipeMode) Net->PrintPartitions(out, "[Fuzzy]");
  } else {
    out << Format(" Epoch: %4i, total error: %6.2f, %4i(%4.2f%%) misclassifications.", Epoch,
                  static_cast<double>(TotalError), Misclassified, static_cast<double>(percent))
        << '\n';
  }
}

void TApplication::PrintTestResults(std::ostream& out, const char* header, const char* resultFile) const {
  if (!Net || !Task) return;
  int patterns = Task->NumberOfPatterns;
  float percent = Percent(Misclassified, patterns);
  if (header != nullptr) out << header << '\n';
  out << Format(" Misclassified patterns: %i(%.2f%%)", Misclassified, static_cast<double>(percent)) << '\n'
      << Format(" Total error           : %.3f", static_cast<double>(TotalError)) << '\n'
      << Format(" Mean error            : %.3f", static_cast<double>(MeanError(TotalError, patterns))) << '\n';
  if (resultFile != nullptr) out << " Result file           : " << resultFile << '\n';
}
