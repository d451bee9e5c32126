// An application whose messages are kept instead of shown, for the unit
// tests and the fuzz targets. No configuration file is read at start.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app.h"

class TQuietApplication : public TApplication {
 public:
  TQuietApplication() : TApplication(1, Argv()) {}
  // Composed as usual, then kept: paging through the system's command
  // interpreter would cost a process per message.
  void PrintMsg(std::ostringstream& msg, TMessageType type) override {
    Messages.emplace_back(type, msg.str());
    msg.str("");
    msg.clear();
  }
  std::vector<std::pair<TMessageType, std::string>> Messages;

 private:
  static const char* const* Argv() {
    static const char* const argv[] = {"korvalin", nullptr};
    setenv("KVLPATH", "/nonexistent-korvalin-dir", 1);
    return argv;
  }
};
