#include <cstring>

#include "cmdapp.h"
#include "infile.h"

namespace {

// Help lines are kept up to this length; the rest of a longer line is
// dropped, so no line can stop the search or the listing.
constexpr std::size_t MaxHelpLine = 4095;

bool IsTopicLine(const std::string& line) { return line.compare(0, 7, "\\topic ") == 0; }

}  // namespace

void TCmdApplication::PrintHelp(const char* topic) {
  if (topic == nullptr) topic = "";
  std::string file = ProgramPath + ProgramName + ".hlp";
  TInputFile in;
  if (!in.Open(file)) {
    ShowMsg(FileErrorMsg(file, OpenError), Error);
    return;
  }
  std::string trimmed = topic;
  StrTrim(trimmed);
  bool contents = stricmp(topic, "contents") == 0;
  bool general = trimmed.empty();

  std::ostringstream msg;
  std::string line;
  bool haveLine = false;
  if (contents) {
    haveLine = GetLineCut(in, line, MaxHelpLine);
  } else {
    // The general text opens with a bare "\topic" line.
    std::string key = general ? std::string("\\topic") : "\\topic " + trimmed;
    bool found = false;
    while (GetLineCut(in, line, MaxHelpLine))
      if (line == key) {
        found = true;
        break;
      }
    if (!found && !in.ReadFailed()) {
      ShowMsg(" No help for '" + std::string(topic) + "' available.", Information);
      return;
    }
    if (OutputRedirected) msg << "[Help]\n";
    // Adjacent topic lines name one section.
    haveLine = GetLineCut(in, line, MaxHelpLine);
    while (haveLine && IsTopicLine(line)) haveLine = GetLineCut(in, line, MaxHelpLine);
    while (haveLine && !IsTopicLine(line)) {
      msg << line << '\n';
      haveLine = GetLineCut(in, line, MaxHelpLine);
    }
  }
  if (general || contents) {
    msg << (contents ? "[Help contents]" : " The following help topics are available:\n") << '\n';
    while (haveLine) {
      if (IsTopicLine(line)) msg << '\t' << line.substr(7) << '\n';
      haveLine = GetLineCut(in, line, MaxHelpLine);
    }
  }
  if (in.ReadFailed()) {
    ShowMsg(in.ReadErrorMsg(), Error);
    return;
  }
  msg << '\n';
  PrintMsg(msg, PagedText);
}
