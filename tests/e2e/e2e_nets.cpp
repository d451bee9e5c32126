#include "e2e_nets.h"

#include <cstdio>
#include <sstream>

#include "e2e_util.h"

namespace e2e {

std::string NetworkText(const NetSpec& spec) {
  std::ostringstream out;
  const int inputs = static_cast<int>(spec.ranges.size());
  out << "PARAMETERS\n"
      << inputs << '\t' << spec.rules.size() << '\t' << spec.classes << '\t' << spec.rules.size() << "\n\n"
      << "USESUM\n\nFUZZY\n";
  char line[200];
  for (const auto& [lower, upper] : spec.ranges) {
    out << spec.setsPerInput << '\n';
    std::snprintf(line, sizeof line, "%f\t%f\n", static_cast<double>(lower), static_cast<double>(upper));
    out << line;
    const float step = (upper - lower) / static_cast<float>(spec.setsPerInput + 1);
    for (int s = 1; s <= spec.setsPerInput; s++) {
      const float b = lower + static_cast<float>(s) * step;
      std::snprintf(line, sizeof line, "%f\t%f\t%f\t%i %i  set%d\n", static_cast<double>(b - step),
                    static_cast<double>(b), static_cast<double>(b + step), s == 1 ? 1 : 0,
                    s == spec.setsPerInput ? 1 : 0, s);
      out << line;
    }
    out << '\n';
  }
  out << "MATRIX\n";
  for (int i = 0; i < inputs; i++) {
    for (const NetRule& rule : spec.rules) out << rule.sets[static_cast<std::size_t>(i)] << '\t';
    out << '\n';
  }
  out << "\nWEIGHTS\n";
  for (const NetRule& rule : spec.rules) {
    std::snprintf(line, sizeof line, "%4i   %.6f\n", rule.cls, static_cast<double>(rule.weight));
    out << line;
  }
  out << "\nEND\n";
  return out.str();
}

std::string SyntheticPatterns(int patterns, int inputs, int classes) {
  std::ostringstream out;
  out << "DIMENSIONS\n" << inputs << ' ' << classes << "\nPATTERNS\n" << patterns << '\n';
  unsigned state = 12345;
  for (int p = 0; p < patterns; p++) {
    for (int i = 0; i < inputs; i++) {
      state = state * 1103515245u + 12345u;
      out << static_cast<double>((state >> 8) % 1000) / 1000.0 << ' ';
    }
    for (int k = 0; k < classes; k++) out << (p % classes == k ? " 1" : " 0");
    out << '\n';
  }
  out << "END\n";
  return out.str();
}

}  // namespace e2e
