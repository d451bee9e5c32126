#include "app.h"

int TApplication::LoadParameters(std::istream& in) {
  return ReadParameterLines(in, Parameters, [this](const std::string& text) { ShowMsg(text, Error); });
}

void TApplication::SaveParameters(std::ostream& out) const {
  out << "# " << VersionString << " configuration file\n"
      << "# Note: Blank lines and lines beginning with '#' or '%'\n"
      << "#       allowed and ignored.\n"
      << "\n";
  Parameters.SaveToFile(out);
}
