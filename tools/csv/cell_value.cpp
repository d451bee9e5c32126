#include "cell_value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "stdutils.h"

const char* const MissingValueText = "1.4e-45";

bool IsMissingText(const std::string& trimmed) {
  if (trimmed.empty() || trimmed == "?") return true;
  return stricmp(trimmed.c_str(), "NA") == 0 || stricmp(trimmed.c_str(), "NaN") == 0;
}

TCellKind ParseCell(const std::string& cell, bool decimalComma, float& value) {
  std::string text = cell;
  StrTrim(text);
  if (IsMissingText(text)) {
    value = MissingValueMarker;
    return TCellKind::Missing;
  }
  if (decimalComma) {
    std::size_t comma = text.find(',');
    if (comma != std::string::npos && text.find(',', comma + 1) == std::string::npos &&
        text.find('.') == std::string::npos)
      text[comma] = '.';
  }
  // from_chars takes no sign '+', which written numbers often carry.
  std::size_t start = 0;
  if (text.size() > 1 && text[0] == '+' && text[1] != '-') start = 1;
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ptr != last || (ec != std::errc() && ec != std::errc::result_out_of_range)) return TCellKind::Invalid;
  if (ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow cannot be stored.
    double wide = std::strtod(std::string(first, last).c_str(), nullptr);
    if (std::fabs(wide) >= 1.0) return TCellKind::OutOfRange;
    value = std::signbit(wide) ? -0.0f : 0.0f;
    return TCellKind::Number;
  }
  if (!std::isfinite(value)) return TCellKind::Invalid;
  return TCellKind::Number;
}

std::string FormatValue(float value) {
  if (value == MissingValueMarker) return MissingValueText;
  char buffer[32];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return "0";
  return std::string(buffer, ptr);
}
