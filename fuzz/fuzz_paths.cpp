// The path utilities. The input is a path, optionally followed by a NUL and
// an extension for ReplaceExt.
#include <unistd.h>

#include "fuzz_util.h"
#include "stdutils.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string start = [] {
    setenv("HOME", "/tmp/korvalin-fuzz-home", 1);
    return CurrentDirectory();
  }();
  const std::string text = fuzz::Text(data, size);
  const size_t nul = text.find('\0');
  const std::string path = nul == std::string::npos ? text : text.substr(0, nul);
  const std::string ext = nul == std::string::npos ? std::string(".err") : text.substr(nul + 1);

  std::string dir, name, extension;
  SplitPath(path, dir, name, extension);
  fuzz::Require(dir + name + extension == path);

  fuzz::Require(ReplaceExt(path, ext).size() <= path.size() + ext.size());

  const std::string absolute = AbsPath(path);
  fuzz::Require(CurrentDirectory() == start);
  RelPath(absolute);
  RelPath(path);
  AbsPath(RelPath(absolute));
  fuzz::Require(CurrentDirectory() == start);
  return 0;
}
