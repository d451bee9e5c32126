// Shared pieces of the fuzz targets: one application object whose messages
// are kept, and a way to turn the fuzzer's bytes into text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../tests/quiet_app.h"

namespace fuzz {

inline std::string Text(const uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Aborts so that libFuzzer records the input; used for broken invariants.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

// One application object for the whole run: its construction prints the
// banner and a warning, once.
inline TQuietApplication& App() {
  static TQuietApplication* app = new TQuietApplication();
  app->Messages.clear();
  return *app;
}

}  // namespace fuzz
