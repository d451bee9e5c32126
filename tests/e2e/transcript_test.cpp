// Runs every transcript of tests/transcripts (format in its README): the
// program is started in a scratch directory on the files, arguments,
// environment and input the transcript gives, and its standard output,
// standard error, exit status and files must match the transcript exactly.
// With KORVALIN_UPDATE_TRANSCRIPTS=1 the expected parts are rewritten from
// what the program did instead.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "e2e_util.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const std::string kTranscripts = std::string(KORVALIN_SOURCE_DIR) + "/tests/transcripts";

struct Section {
  std::string kind;                // word after "== "
  std::vector<std::string> words;  // the header's further words
  std::string rest;                // the header after the kind, as written
  std::string body;                // lines up to the next header, verbatim
  bool noEol = false;              // header ends in "noeol": the body's last line end is not part of it
  bool implicit = false;           // not in the file: the default result
  std::string Text() const {
    return noEol && !body.empty() && body.back() == '\n' ? body.substr(0, body.size() - 1) : body;
  }
};

struct Transcript {
  std::string preamble;  // free text before the first header
  std::vector<Section> sections;
};

Transcript Parse(const std::string& text) {
  Transcript t;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("== ", 0) == 0) {
      Section s;
      std::istringstream words(line.substr(3));
      words >> s.kind;
      for (std::string w; words >> w;) s.words.push_back(w);
      std::getline(std::istringstream(line.substr(3 + s.kind.size())) >> std::ws, s.rest);
      if (!s.words.empty() && s.words.back() == "noeol") {
        s.noEol = true;
        s.words.pop_back();
        s.rest.erase(s.rest.rfind("noeol"));
        while (!s.rest.empty() && s.rest.back() == ' ') s.rest.pop_back();
      }
      t.sections.push_back(s);
    } else {
      (t.sections.empty() ? t.preamble : t.sections.back().body) += line + (in.eof() ? "" : "\n");
    }
  }
  return t;
}

// "@DIR@" is the scratch directory, "^@" a NUL, "@<n>*<c>@" n times the character c.
std::string Expand(const std::string& text, const std::string& dir) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t star = text[i] == '@' ? text.find('*', i + 1) : std::string::npos;
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    if (text.compare(i, 5, "@DIR@") == 0) {
      out += dir;
      i += 5;
    } else if (text.compare(i, 2, "^@") == 0) {
      out += '\0';
      i += 2;
    } else if (star != std::string::npos && star + 2 < text.size() && text[star + 2] == '@' && star > i + 1 &&
               std::all_of(text.begin() + i + 1, text.begin() + star, digit)) {
      out.append(std::stoul(text.substr(i + 1, star - i - 1)), text[star + 1]);
      i = star + 3;
    } else {
      out += text[i++];
    }
  }
  return out;
}

// The inverse of Expand for output taken into a transcript.
std::string Contract(const std::string& text, const std::string& dir) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t run = 1;
    while (i + run < text.size() && text[i + run] == text[i]) run++;
    if (text.compare(i, dir.size(), dir) == 0) {
      out += "@DIR@";
      i += dir.size();
    } else if (text[i] == '\0') {
      out += "^@";
      i++;
    } else if (run >= 40 && text[i] != '\n') {
      out += "@" + std::to_string(run) + "*" + text[i] + "@";
      i += run;
    } else {
      out += text[i++];
    }
  }
  return out;
}

// Every entry below `root`, directories with a trailing '/', one per line, sorted.
std::string Listing(const std::string& root) {
  std::vector<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(root))
    names.push_back(fs::relative(e.path(), root).string() + (e.is_directory() ? "/" : ""));
  std::sort(names.begin(), names.end());
  std::string out;
  for (const std::string& n : names) out += n + "\n";
  return out;
}

// Line diff of expected and actual text ("-" expected only, "+" actual only)
// with three lines of context, NULs shown as ^@.
std::string Diff(const std::string& expected, const std::string& actual) {
  auto lines = [](const std::string& text) {
    std::vector<std::string> v;
    std::string shown;
    for (char c : text) shown += c == '\0' ? std::string("^@") : std::string(1, c);
    std::istringstream in(shown);
    for (std::string l; std::getline(in, l);) v.push_back(l);
    if (!shown.empty() && shown.back() != '\n') v.back() += "  (no line end)";
    return v;
  };
  const std::vector<std::string> a = lines(expected), b = lines(actual);
  std::size_t head = 0, tail = 0;
  while (head < a.size() && head < b.size() && a[head] == b[head]) head++;
  while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) tail++;
  const std::size_t n = a.size() - head - tail, m = b.size() - head - tail;
  // Longest common subsequence of the differing middle, when it is small enough.
  std::vector<std::vector<int>> common(n + 1, std::vector<int>(n * m <= 4000000 ? m + 1 : 1, 0));
  for (std::size_t i = n; n * m <= 4000000 && i-- > 0;)
    for (std::size_t j = m; j-- > 0;)
      common[i][j] =
          a[head + i] == b[head + j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  std::string out = head > 3 ? "  ... " + std::to_string(head - 3) + " equal lines\n" : "";
  for (std::size_t k = head > 3 ? head - 3 : 0; k < head; k++) out += "  " + a[k] + "\n";
  for (std::size_t i = 0, j = 0; i < n || j < m;) {
    const bool small = n * m <= 4000000;
    if (small && i < n && j < m && a[head + i] == b[head + j]) {
      out += "  " + a[head + i++] + "\n";
      j++;
    } else if (j < m && (i == n || (small && common[i][j + 1] >= common[i + 1][j]))) {
      out += "+ " + b[head + j++] + "\n";
    } else {
      out += "- " + a[head + i++] + "\n";
    }
  }
  for (std::size_t k = a.size() - tail; k < a.size() && k < a.size() - tail + 3; k++) out += "  " + a[k] + "\n";
  if (tail > 3) out += "  ... " + std::to_string(tail - 3) + " equal lines\n";
  return out;
}

bool IsResult(const std::string& kind) {
  return kind == "stdout" || kind == "stderr" || kind == "exit" || kind == "expect" || kind == "files";
}

class Transcripts : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcripts, Match) {
  const std::string path = kTranscripts + "/" + GetParam();
  Transcript t = Parse(ReadFile(path));
  TempDir scratch, tmp;
  const std::string dir = fs::canonical(scratch.Path()).string();
  RunSpec spec;
  spec.cwd = dir;
  spec.env["KVLPATH"] = dir;
  spec.env["TMPDIR"] = tmp.Path();
  spec.env["SHELL"] = std::nullopt;
  spec.env["HOME"] = "/nonexistent";  // no path is shown shortened to "~"
  spec.timeoutSeconds = 30;
  for (const Section& s : t.sections) {
    const std::string arg = s.words.empty() ? "" : Expand(s.words[0], dir);
    if (s.kind == "program") {
      ASSERT_EQ(arg, "shell") << "unknown program";
      spec.program = KORVALIN_SHELL_BIN;
    } else if (s.kind == "link") {
      const std::string target = spec.program;
      spec.program = fs::path(dir) / arg;
      fs::create_directories(fs::path(spec.program).parent_path());
      fs::create_symlink(target, spec.program);
      spec.argv0 = arg;
    } else if (s.kind == "args") {
      for (const std::string& w : s.words) spec.args.push_back(Expand(w, dir));
    } else if (s.kind == "env") {
      const std::string setting = Expand(s.rest, dir);
      const std::size_t eq = setting.find('=');
      if (setting[0] == '-')
        spec.env[setting.substr(1)] = std::nullopt;
      else
        spec.env[setting.substr(0, eq)] = setting.substr(eq + 1);
    } else if (s.kind == "mkdir") {
      fs::create_directories(fs::path(dir) / arg);
    } else if (s.kind == "copy") {
      fs::copy_file(std::string(KORVALIN_TEST_DATA) + "/" + arg,
                    fs::path(dir) / (s.words.size() > 1 ? s.words[1] : arg));
    } else if (s.kind == "file") {
      scratch.Write(arg, Expand(s.Text(), dir));
    } else if (s.kind == "stdin") {
      spec.input = Expand(s.Text(), dir);
    } else if (!IsResult(s.kind)) {
      FAIL() << "unknown section '" << s.kind << "' in " << path;
    }
  }
  RunResult r = RunProgram(spec);
  ASSERT_FALSE(r.timedOut) << "timed out; output so far:\n" << r.out << r.err;

  // Expected results; standard error is empty and the exit status 0 unless a section says otherwise.
  for (const char* kind : {"stdout", "stderr", "exit"})
    if (std::none_of(t.sections.begin(), t.sections.end(), [&](const Section& s) { return s.kind == kind; }))
      t.sections.push_back({kind, {}, "", kind == std::string("exit") ? "0\n" : "", false, true});
  auto actual = [&](const Section& s) -> std::string {
    if (s.kind == "stdout") return r.out;
    if (s.kind == "stderr") return r.err;
    if (s.kind == "exit")
      return (r.signal != 0 ? "signal " + std::to_string(r.signal) : std::to_string(r.exitCode)) + "\n";
    if (s.kind == "files") return Listing(dir);
    return ReadFile(fs::path(dir) / Expand(s.words.at(0), dir));
  };
  if (std::getenv("KORVALIN_UPDATE_TRANSCRIPTS") != nullptr) {
    std::string text = t.preamble;
    for (Section& s : t.sections) {
      if (IsResult(s.kind)) {
        std::string got = Contract(actual(s), dir);
        if (s.implicit && got == s.body && s.kind != "stdout") continue;
        s.noEol = !got.empty() && got.back() != '\n';
        s.body = got + (s.noEol ? "\n" : "");
      }
      text += "== " + s.kind + (s.rest.empty() ? "" : " " + s.rest) + (s.noEol ? " noeol" : "") + "\n" + s.body;
    }
    WriteFile(path, text);
    return;
  }
  for (const Section& s : t.sections) {
    if (!IsResult(s.kind)) continue;
    std::string expected = Expand(s.Text(), dir), got = actual(s);
    EXPECT_TRUE(expected == got) << "== " << s.kind << (s.rest.empty() ? "" : " " + s.rest)
                                 << " differs (- expected, + actual):\n"
                                 << Diff(expected, got);
  }
  EXPECT_TRUE(fs::is_empty(tmp.Path())) << "temporary files left behind";
}

std::vector<std::string> TranscriptFiles() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(kTranscripts))
    if (e.path().extension() == ".t") names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

INSTANTIATE_TEST_SUITE_P(, Transcripts, ::testing::ValuesIn(TranscriptFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(0, info.param.size() - 2);
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
