// Shared pieces of the fuzz targets: an application object whose messages
// go nowhere, and a way to turn the fuzzer's bytes into text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "app.h"

namespace fuzz {

inline std::string Text(const uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// Aborts so that libFuzzer records the input; used for broken invariants.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

// Messages are composed as usual and then dropped: the targets look for
// crashes and broken invariants, not for texts, and paging through the
// system's command interpreter would cost a process per run.
class TQuietApplication : public TApplication {
 public:
  TQuietApplication() : TApplication(1, Argv()) {}
  void PrintMsg(std::ostringstream& msg, TMessageType) override {
    Messages += msg.str();
    msg.str("");
    msg.clear();
  }
  std::string Messages;

 private:
  static const char* const* Argv() {
    static const char* const argv[] = {"korvalin", nullptr};
    // No configuration file is read at start.
    setenv("KVLPATH", "/nonexistent-korvalin-fuzz", 1);
    return argv;
  }
};

// One application object for the whole run: its construction prints the
// banner and a warning, once.
inline TQuietApplication& App() {
  static TQuietApplication* app = new TQuietApplication();
  app->Messages.clear();
  return *app;
}

}  // namespace fuzz
