// Scratch files for tests: a fresh directory that goes with everything in
// it, and whole-file reads.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

// The whole file, "" when it cannot be read.
inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TScratchDir {
 public:
  TScratchDir() {
    char pattern[] = "/tmp/korvalin-test.XXXXXX";
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
  std::string operator/(const std::string& name) const { return Dir + "/" + name; }
  // Writes `text` to `name` (parent directories made); returns its path.
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string path = *this / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!(out << text)) throw std::runtime_error("cannot write " + path);
    return path;
  }

 private:
  std::string Dir;
};
