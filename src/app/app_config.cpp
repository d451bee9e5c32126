#include "app.h"

int TApplication::LoadParameters(std::istream& in) {
  TLearningParameters read = Parameters;
  const int valid = ReadParameterLines(in, read, [this](const std::string& text) { ShowMsg(text, Error); });
  if (in.bad()) return -1;
  Parameters = read;
  return valid;
}

void TApplication::SaveParameters(std::ostream& out) const {
  WriteHeader(out, ConfigFile);
  Parameters.SaveToFile(out);
}
