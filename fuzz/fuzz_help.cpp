// The help reader on a generated help file. The input's first line is the
// topic asked for, the rest the help file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "fuzz_util.h"

namespace {

std::string HelpDirectory() {
  static std::string dir;
  if (dir.empty()) {
    // Memory-backed when available: the file is rewritten for every input.
    char pattern[] = "/dev/shm/korvalin-fuzz-help-XXXXXX";
    char fallback[] = "/tmp/korvalin-fuzz-help-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) made = mkdtemp(fallback);
    fuzz::Require(made != nullptr);
    dir = std::string(made) + "/";
    std::atexit([] {
      std::remove((dir + "fuzzhelp.hlp").c_str());
      rmdir(dir.c_str());
    });
  }
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::TQuietApplication& app = fuzz::App();
  app.ProgramPath = HelpDirectory();
  app.ProgramName = "fuzzhelp";
  const std::string text = fuzz::Text(data, size);
  const size_t newline = text.find('\n');
  const std::string topic = newline == std::string::npos ? text : text.substr(0, newline);
  const std::string file = newline == std::string::npos ? std::string() : text.substr(newline + 1);
  {
    std::ofstream out(app.ProgramPath + app.ProgramName + ".hlp", std::ios::binary | std::ios::trunc);
    out << file;
    fuzz::Require(static_cast<bool>(out));
  }
  app.PrintHelp(topic.c_str());
  app.PrintHelp("");
  app.PrintHelp("contents");
  return 0;
}
