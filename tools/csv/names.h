// Names of inputs and classes as pattern files hold them: one line each,
// at most NameMaxLength bytes, distinct within their table.
#pragma once

#include <string>
#include <vector>

constexpr std::size_t NameMaxLength = 29;

// The longest prefix of `text` of at most `maxBytes` bytes that does not
// cut a UTF-8 character apart.
std::string Utf8Prefix(const std::string& text, std::size_t maxBytes);

// Trims the name, turns control characters into '_' and gives an empty
// name `fallback`.
std::string CleanName(const std::string& name, const std::string& fallback);

// Makes the names fit and distinct, keeping their order. Names that already
// fit and are the first of their text stay as they are; a longer name is
// cut to the limit, and a name that would then repeat another gets the end
// "~2", "~3", ... in place of its last characters. `changed` receives, for
// every name altered, "old -> new".
std::vector<std::string> MakeUniqueNames(const std::vector<std::string>& names,
                                         std::vector<std::string>& changed);
