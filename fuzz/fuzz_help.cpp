// The help reader on a generated help file. The input's first line is the
// topic asked for, the rest the help file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One directory for the run, memory-backed when available: the file is rewritten for every input.
  static const std::string dir = [] {
    // Plain buffers, which the clean-up at exit can still read after `dir` is gone.
    static char shm[] = "/dev/shm/korvalin-fuzz-help-XXXXXX", tmp[] = "/tmp/korvalin-fuzz-help-XXXXXX";
    static const char* made = mkdtemp(shm) != nullptr ? shm : mkdtemp(tmp);
    fuzz::Require(made != nullptr);
    std::atexit([] {
      std::remove((std::string(made) + "/fuzzhelp.hlp").c_str());
      rmdir(made);
    });
    return std::string(made) + "/";
  }();
  TQuietApplication& app = fuzz::App();
  app.ProgramPath = dir;
  app.ProgramName = "fuzzhelp";
  const std::string text = fuzz::Text(data, size);
  const size_t newline = text.find('\n');
  const std::string topic = newline == std::string::npos ? text : text.substr(0, newline);
  const std::string file = newline == std::string::npos ? std::string() : text.substr(newline + 1);
  fuzz::Require(static_cast<bool>(std::ofstream(dir + "fuzzhelp.hlp", std::ios::binary) << file));
  app.PrintHelp(topic.c_str());
  app.PrintHelp("");
  app.PrintHelp("contents");
  return 0;
}
