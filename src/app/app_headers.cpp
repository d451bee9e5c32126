#include "app.h"

void TApplication::WriteNetHeader(std::ostream& out) const {
  out << "#\n"
      << "# " << VersionString << " network definition file\n"
      << "#\n";
}

void TApplication::WriteRuleHeader(std::ostream& out) const {
  out << "#\n"
      << "# " << VersionString << " rule definition file\n"
      << "#\n";
}

void TApplication::WriteLogHeader(std::ostream& out, int maxRules) const {
  out << "#\n"
      << "# " << VersionString << " net creation log file\n"
      << "#\n"
      << "# Pattern used: " << PatternFileName << '\n'
      << "# Maximum number of rules to create: " << maxRules << '\n'
      << "# Rule creation/evaluation mode: " << Parameters.Net.RuleMode << '\n'
      << "#\n";
}

void TApplication::WriteResultHeader(std::ostream& out) const {
  out << "#\n"
      << "# " << VersionString << " test result file\n"
      << "#\n"
      << "# Pattern tested: " << PatternFileName << '\n'
      << "# Network used  : " << NetFileName << '\n'
      << "#\n";
}

void TApplication::WriteErrorHeader(std::ostream& out) const {
  out << "#\n"
      << "# " << VersionString << " error file\n"
      << "#\n"
      << "# Network trained : " << NetFileName << '\n'
      << "# Pattern used    : " << PatternFileName << '\n'
      << "#\n"
      << "# This file contains the error values and number of misclassifications \n"
      << "# the network above made while be trained with the specified pattern.\n"
      << "# To draw the error curve, use GNUPLOT for example.\n"
      << "#\n"
      << "# Format of each line: \n"
      << "#   <number of epoch> <total error> <number of misclass.>" << " <misclass. in percent>\n"
      << "#\n";
}
