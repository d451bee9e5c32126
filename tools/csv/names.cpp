#include "names.h"

#include <set>

#include "stdutils.h"

std::string Utf8Prefix(const std::string& text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = maxBytes;
  // Step back over continuation bytes (10xxxxxx) to a character start.
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) end--;
  return text.substr(0, end);
}

std::string CleanName(const std::string& name, const std::string& fallback) {
  std::string clean = name;
  StrTrim(clean);
  for (char& c : clean)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
  return clean.empty() ? fallback : clean;
}

std::vector<std::string> MakeUniqueNames(const std::vector<std::string>& names,
                                         std::vector<std::string>& changed) {
  std::vector<std::string> result(names.size());
  std::vector<bool> settled(names.size(), false);
  std::set<std::string> taken;
  for (std::size_t i = 0; i < names.size(); i++) {
    if (names[i].size() <= NameMaxLength && taken.insert(names[i]).second) {
      result[i] = names[i];
      settled[i] = true;
    }
  }
  for (std::size_t i = 0; i < names.size(); i++) {
    if (settled[i]) continue;
    std::string candidate = Utf8Prefix(names[i], NameMaxLength);
    for (int n = 2; !taken.insert(candidate).second; n++) {
      std::string suffix = "~" + std::to_string(n);
      candidate = Utf8Prefix(names[i], NameMaxLength - suffix.size()) + suffix;
    }
    result[i] = candidate;
    changed.push_back(names[i] + " -> " + candidate);
  }
  return result;
}
