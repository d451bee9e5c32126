// Runs every transcript of tests/transcripts (format in its README): the
// program starts in a scratch directory on the files, arguments,
// environment and input the transcript gives, and its standard output,
// standard error, exit status and files must match the transcript exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>

#include "e2e_util.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

const std::string kTranscripts = std::string(KORVALIN_SOURCE_DIR) + "/tests/transcripts";

struct Section {
  std::string kind, rest;          // the word after "== ", and the header's further words ("noeol" excluded)
  std::vector<std::string> words;  // `rest` split at blanks
  std::string body;                // lines up to the next header, verbatim
  bool noEol = false;              // the body's last line end is not part of it
  std::string Text() const { return noEol && !body.empty() ? body.substr(0, body.size() - 1) : body; }
};

// Lines before the first header describe the transcript and are skipped.
std::vector<Section> Parse(const std::string& text) {
  std::vector<Section> sections;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("== ", 0) != 0) {
      if (!sections.empty()) sections.back().body += line + (in.eof() ? "" : "\n");
      continue;
    }
    Section s;
    std::istringstream words(line.substr(3));
    words >> s.kind;
    for (std::string w; words >> w;) s.words.push_back(w);
    s.noEol = !s.words.empty() && s.words.back() == "noeol";
    if (s.noEol) s.words.pop_back();
    for (const std::string& w : s.words) s.rest += (s.rest.empty() ? "" : " ") + w;
    sections.push_back(s);
  }
  return sections;
}

// "@DIR@" is the scratch directory, "^@" a NUL, "@<n>*<c>@" n times the character c.
std::string Expand(const std::string& text, const std::string& dir) {
  static const std::regex token(R"(@DIR@|\^@|@(\d+)\*(.)@)");
  std::string out;
  std::size_t done = 0;
  for (std::sregex_iterator m(text.begin(), text.end(), token), end; m != end; ++m) {
    const std::string found = m->str();
    out += text.substr(done, m->position() - done);
    out += found == "@DIR@" ? dir
           : found == "^@"  ? std::string(1, '\0')
                            : std::string(std::stoul(m->str(1)), m->str(2)[0]);
    done = m->position() + m->length();
  }
  return out + text.substr(done);
}

// The program's banner, and the note that its configuration file is missing,
// which every run prints: left out of the comparison unless a transcript's
// output starts with them.
std::string WithoutOpening(const std::string& out, const std::string& dir) {
  const std::string banner = "KORVALIN 1.0, \nA neuro-fuzzy classifier: fuzzy rules learnt from labelled patterns.\n"
                             "Type 'help' for an overview of the commands.\n",
                    missing = "[Warning]\nCan't open '" + dir +
                              "/korvalin.cfg' (No such file or directory).\nUsing default configuration.\n[end]\n";
  std::size_t at = out.rfind(banner, 0) == 0 ? banner.size() : 0;
  if (out.compare(at, missing.size(), missing) == 0) at += missing.size();
  return out.substr(at);
}

const std::set<std::string> kResults = {"stdout", "stderr", "exit", "expect", "files"};

class Transcripts : public ::testing::TestWithParam<std::string> {};

TEST_P(Transcripts, Match) {
  const std::string path = kTranscripts + "/" + GetParam();
  std::vector<Section> sections = Parse(ReadText(path));
  TScratchDir scratch, tmp;
  const std::string& dir = scratch.Path();
  RunSpec spec;
  spec.cwd = dir;
  spec.env = {{"KVLPATH", dir}, {"TMPDIR", tmp.Path()}, {"SHELL", std::nullopt}, {"HOME", "/nonexistent"}};
  for (const Section& s : sections) {
    const std::string arg = s.words.empty() ? "" : Expand(s.words[0], dir);
    if (s.kind == "program") {
      ASSERT_EQ(arg, "shell") << "unknown program";
      spec.program = KORVALIN_SHELL_BIN;
    } else if (s.kind == "link") {
      const fs::path link = fs::path(dir) / arg;
      fs::create_directories(link.parent_path());
      fs::create_symlink(spec.program, link);
      spec.program = link;
      spec.argv0 = arg;
    } else if (s.kind == "args") {
      for (const std::string& w : s.words) spec.args.push_back(Expand(w, dir));
    } else if (s.kind == "env") {
      const std::string setting = Expand(s.rest, dir);
      if (setting[0] == '-')
        spec.env[setting.substr(1)] = std::nullopt;
      else
        spec.env[setting.substr(0, setting.find('='))] = setting.substr(setting.find('=') + 1);
    } else if (s.kind == "mkdir") {
      fs::create_directories(fs::path(dir) / arg);
    } else if (s.kind == "copy") {
      const fs::path to = fs::path(dir) / (s.words.size() > 1 ? s.words[1] : arg);
      fs::create_directories(to.parent_path());
      fs::copy_file(std::string(KORVALIN_TEST_DATA) + "/" + arg, to);
    } else if (s.kind == "file") {
      scratch.Write(arg, Expand(s.Text(), dir));
    } else if (s.kind == "stdin") {
      spec.input = Expand(s.Text(), dir);
    } else {
      ASSERT_TRUE(kResults.count(s.kind)) << "unknown section '" << s.kind << "' in " << path;
    }
  }
  const RunResult r = RunProgram(spec);
  ASSERT_FALSE(r.timedOut) << "timed out; output so far:\n" << r.out << r.err;

  // Standard error is empty and the exit status 0 unless a section says otherwise.
  for (const char* kind : {"stdout", "stderr", "exit"})
    if (std::none_of(sections.begin(), sections.end(), [&](const Section& s) { return s.kind == kind; }))
      sections.push_back({kind, "", {}, kind == std::string("exit") ? "0\n" : ""});
  auto actual = [&](const Section& s) -> std::string {
    if (s.kind == "stdout") return s.body.rfind("KORVALIN", 0) == 0 ? r.out : WithoutOpening(r.out, dir);
    if (s.kind == "stderr") return r.err;
    if (s.kind == "exit")
      return (r.signal != 0 ? "signal " + std::to_string(r.signal) : std::to_string(r.exitCode)) + "\n";
    if (s.kind == "expect") return ReadText(fs::path(dir) / Expand(s.words.at(0), dir));
    std::set<std::string> names;  // every entry below the scratch directory, directories with a '/'
    for (const auto& e : fs::recursive_directory_iterator(dir))
      names.insert(fs::relative(e.path(), dir).string() + (e.is_directory() ? "/" : ""));
    std::string listing;
    for (const std::string& n : names) listing += n + "\n";
    return listing;
  };
  for (const Section& s : sections) {
    if (!kResults.count(s.kind)) continue;
    EXPECT_EQ(Expand(s.Text(), dir), actual(s)) << "== " << s.kind << " " << s.rest;
  }
  EXPECT_TRUE(fs::is_empty(tmp.Path())) << "temporary files left behind";
}

std::set<std::string> TranscriptFiles() {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(kTranscripts))
    if (e.path().extension() == ".t") names.insert(e.path().filename().string());
  return names;
}

INSTANTIATE_TEST_SUITE_P(, Transcripts, ::testing::ValuesIn(TranscriptFiles()), [](const auto& info) {
  std::string name = info.param.substr(0, info.param.size() - 2);
  std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
  return name;
});

}  // namespace
