// Files for unit tests: a fresh directory that goes with everything in it,
// and whole-file reads.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

class TScratchDir {
 public:
  TScratchDir() {
    char pattern[] = "/tmp/korvalin-unit.XXXXXX";
    if (mkdtemp(pattern) == nullptr) throw std::runtime_error("mkdtemp failed");
    Dir = std::filesystem::canonical(pattern).string();
  }
  ~TScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(Dir, ignored);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;
  const std::string& Path() const { return Dir; }

 private:
  std::string Dir;
};

// The whole file, "" when it cannot be read.
inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
