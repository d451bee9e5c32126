// Times every stage of the program's work on the benchmark shapes and prints
// one Markdown table row per stage: median, spread (fastest and slowest run),
// the number of runs and, where one is set, the target with its verdict.
//
// usage: pipeline_bench --data DIR --bin PROGRAM [--runs N] SHAPE...
//   DIR holds the pattern files that bench/run_pipeline.sh makes; PROGRAM is
//   the built program, driven for the background report. Shapes: iris, 20k,
//   100k, best100k, 1m, best1m, test1m, report.
//
// Times are the process's CPU time (the machine is shared, and wall time
// would mostly measure the neighbours), except for the background report,
// which spans two processes and is timed by the wall clock.
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "korvalin.h"
#include "result_file.h"

namespace {

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "pipeline_bench: %s\n", what.c_str());
  std::exit(1);
}

// Milliseconds of CPU time used by this process.
double CpuMs() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double WallMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Resident memory of this process in MiB: the current size, or the peak
// since the last ResetPeakMemory (Linux: /proc/self/status); -1 when unknown.
double MemoryMiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field)) / 1024.0;
  return -1;
}

void ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

// ---------------------------------------------------------------- the table

int Runs = 5;

std::string Duration(double ms) {
  char text[32];
  if (ms < 1.0)
    std::snprintf(text, sizeof text, "%.1f us", ms * 1e3);
  else if (ms < 10000.0)
    std::snprintf(text, sizeof text, "%.*f ms", ms < 10 ? 2 : ms < 100 ? 1 : 0, ms);
  else
    std::snprintf(text, sizeof text, "%.1f s", ms / 1e3);
  return text;
}

// One table row from the times of the runs; `targetMs` <= 0 means none.
void Row(const std::string& shape, const std::string& stage, std::vector<double> ms, double targetMs = 0,
         const std::string& note = "") {
  std::sort(ms.begin(), ms.end());
  const double median = ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
  std::string target = "";
  if (targetMs > 0) target = "<= " + Duration(targetMs) + (median <= targetMs ? " met" : " MISSED");
  std::printf("| %s | %s | %s | %s - %s | %zu | %s | %s |\n", shape.c_str(), stage.c_str(), Duration(median).c_str(),
              Duration(ms.front()).c_str(), Duration(ms.back()).c_str(), ms.size(), target.c_str(), note.c_str());
  std::fflush(stdout);
}

// Times `body` Runs times; `prepare` (untimed) runs before each.
std::vector<double> Measure(const std::function<void()>& body, const std::function<void()>& prepare = {}) {
  std::vector<double> ms;
  for (int r = 0; r < Runs; r++) {
    if (prepare) prepare();
    const double t0 = CpuMs();
    body();
    ms.push_back(CpuMs() - t0);
  }
  return ms;
}

// ------------------------------------------------------------ the library

std::unique_ptr<TLearningTask> Load(const std::string& path) {
  std::ifstream in(path);
  if (!in) Die("can't open " + path + " (make it with bench/run_pipeline.sh)");
  TLoadStatus status;
  std::ostringstream messages;
  auto task = std::make_unique<TLearningTask>(in, status, messages);
  if (!in.good() || status == LoadError) Die("loading " + path + " failed");
  return task;
}

// A creation log that is thrown away, as /dev/null would take it, noting
// the moment the connection check starts writing: that splits the time
// until the initial rule base stands into rule creation and connection check.
class TimedNullLog : public std::streambuf {
 public:
  double CheckStart = 0;
  double PeakAtCheckMiB = 0;  // the peak resident memory when rule creation ended

  void Reset() { CheckStart = 0; }

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (CheckStart == 0 && std::string_view(s, static_cast<std::size_t>(n)).find("[Checking rule connections]") !=
                               std::string_view::npos) {
      CheckStart = CpuMs();
      PeakAtCheckMiB = MemoryMiB("VmHWM:");
    }
    return n;
  }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

struct Creation {
  std::unique_ptr<TFuzzyPerceptron> net;
  int created = 0;  // rules before selection
  double createMs = 0, checkMs = 0, evaluateMs = 0;
  double createdPeakMiB = 0;  // peak resident memory at the end of rule creation
};

Creation Create(const TLearningTask& task, TRuleMode mode, int sets, int maxRules) {
  TimedNullLog sink;
  std::ostream log(&sink);
  Creation c;
  TNetSettings settings;
  settings.RuleMode = mode;
  settings.FSetsPerVariable = sets;
  settings.MaxRules = maxRules;
  TCreateReport report;
  double t1 = 0;
  const double t0 = CpuMs();
  c.net = CreateNet(task, settings, log, report, [&t1](TCreateStage stage, int) {
    if (stage == TCreateStage::RulesCreated) t1 = CpuMs();
  });
  const double t2 = CpuMs();
  c.created = report.Created;
  c.createMs = sink.CheckStart - t0;
  c.createdPeakMiB = sink.PeakAtCheckMiB;
  c.checkMs = t1 - sink.CheckStart;
  c.evaluateMs = t2 - t1;
  return c;
}

const char* ModeName(TRuleMode mode) { return mode == Simple ? "Simple" : mode == Best ? "Best" : "BestPerClass"; }

// Creation, connection check and evaluation with selection, each timed, and
// their sum; returns the rule counts as a note.
// With `memory`, the total's note gives the peak resident memory of the first
// run against the memory held before it (the patterns, mostly): the
// difference is what creation adds.
void CreationRows(const std::string& shape, const TLearningTask& task, TRuleMode mode, int sets, int maxRules,
                  double totalTargetMs = 0, bool memory = false) {
  std::vector<double> create, check, evaluate, total;
  int created = 0, kept = 0;
  std::string memoryNote;
  for (int r = 0; r < Runs; r++) {
    // The memory that earlier work freed is handed back first, so that what
    // is resident before creation is what is live: the patterns, mostly.
    if (memory && r == 0) malloc_trim(0);
    const double before = MemoryMiB("VmRSS:");
    if (memory && r == 0) ResetPeakMemory();
    Creation c = Create(task, mode, sets, maxRules);
    if (memory && r == 0) {
      char text[128];
      std::snprintf(text, sizeof text,
                    "peak resident memory %.0f MiB; %.0f MiB before creation, %.0f MiB at the end of rule creation",
                    MemoryMiB("VmHWM:"), before, c.createdPeakMiB);
      memoryNote = text;
    }
    create.push_back(c.createMs);
    check.push_back(c.checkMs);
    evaluate.push_back(c.evaluateMs);
    total.push_back(c.createMs + c.checkMs + c.evaluateMs);
    created = c.created;
    kept = c.net->NumberOfRules();
  }
  const std::string what = std::string("create ") + ModeName(mode) + " -r" + std::to_string(maxRules) + ", " +
                           std::to_string(sets) + " sets: ";
  const std::string note = std::to_string(created) + " rules created, " + std::to_string(kept) + " kept";
  Row(shape, what + "rule creation", create, 0, note);
  Row(shape, what + "connection check", check);
  Row(shape, what + "evaluation + selection", evaluate);
  Row(shape, what + "total", total, totalTargetMs, memoryNote);
}

TNetSettings LearningSetup(TWeightMode weights, bool intersect) {
  TNetSettings params;
  params.Weights = weights;
  params.FsIntersect = intersect;
  params.Sigma = params.SigmaA = params.SigmaB = params.SigmaC = 0.01f;
  return params;
}

struct LearningVariant {
  const char* name;
  TWeightMode weights;
  bool intersect;
};
const LearningVariant kVariants[] = {
    {"weights Free", Free, false},
    {"weights Free, 0.5-intersection", Free, true},
    {"weights Normalized", Normalized, false},
};

// The first learning epoch of a freshly created network, in each variant.
// `perRun` networks are trained per run and the time divided by it, for
// epochs too short to time one by one.
void EpochRows(const std::string& shape, const TLearningTask& task, TRuleMode mode, int sets, int maxRules,
               double freeTargetMs = 0, int perRun = 1) {
  for (const LearningVariant& v : kVariants) {
    const TNetSettings params = LearningSetup(v.weights, v.intersect);
    std::vector<std::unique_ptr<TFuzzyPerceptron>> nets;
    std::vector<double> ms = Measure(
        [&] {
          float error = 0;
          for (auto& net : nets) LearnEpoch(*net, task, params, error);
        },
        [&] {
          nets.clear();
          for (int n = 0; n < perRun; n++) nets.push_back(Create(task, mode, sets, maxRules).net);
        });
    for (double& m : ms) m /= perRun;
    Row(shape, std::string("first epoch, ") + v.name, ms, v.weights == Free && !v.intersect ? freeTargetMs : 0,
        std::to_string(nets.front()->NumberOfRules()) + " rules" +
            (perRun > 1 ? ", mean of " + std::to_string(perRun) + " networks per run" : ""));
  }
}

void TestRows(const std::string& shape, const std::string& dir, const TLearningTask& task, TFuzzyPerceptron& net,
              double targetMs = 0, int perRun = 1) {
  std::vector<double> ms = Measure([&] {
    for (int n = 0; n < perRun; n++) TestNet(net, task);
  });
  for (double& m : ms) m /= perRun;
  Row(shape, "test pass", ms, targetMs, std::to_string(net.NumberOfRules()) + " rules, no report");
  const std::string res = dir + "/bench.res";
  ms = Measure([&] {
    std::ofstream out(res);
    TestNet(net, task, [&](int pattern, const TOutcome& outcome) { WriteTestRecord(out, task, net, pattern, outcome); });
    out.close();
    if (!out) Die("writing " + res + " failed");
  });
  Row(shape, "test pass with result file", ms);
}

void NetFileRows(const std::string& shape, const std::string& dir, const TFuzzyPerceptron& net) {
  const std::string path = dir + "/bench.net";
  std::vector<double> ms = Measure([&] {
    std::ofstream out(path);
    WriteNet(out, net);
    out.close();
    if (!out) Die("writing " + path + " failed");
  });
  std::ifstream probe(path, std::ios::ate);
  const long bytes = static_cast<long>(probe.tellg());
  Row(shape, "write network file", ms, 0,
      std::to_string(net.NumberOfRules()) + " rules, " + std::to_string(bytes / 1024) + " KiB");
  ms = Measure([&] {
    std::ifstream in(path);
    TLoadStatus status;
    std::ostringstream messages;
    if (!ReadNet(in, status, messages)) Die("reading " + path + " failed");
  });
  Row(shape, "read network file", ms);
}

void LoadRows(const std::string& shape, const std::string& path, double targetMs = 0) {
  std::unique_ptr<TLearningTask> task;
  std::vector<double> ms = Measure([&] { task = Load(path); }, [&] { task.reset(); });
  const double raw = static_cast<double>(task->NumberOfPatterns) * task->NumberOfInputs * sizeof(float);
  const double held = static_cast<double>(task->Patterns.Values.capacity() * sizeof(float) +
                                          task->Patterns.Classes.capacity() * sizeof(int));
  char note[160];
  std::snprintf(note, sizeof note, "%d x %d; pattern memory %.2f x raw floats (%.1f MiB)", task->NumberOfPatterns,
                task->NumberOfInputs, held / raw, held / (1024.0 * 1024.0));
  Row(shape, "load pattern file", ms, targetMs, note);
}

// ------------------------------------------------- the background report

// The program under a pipe: commands in, output collected.
class Program {
 public:
  Program(const std::string& bin, const std::string& dir) {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) Die("pipe failed");
    Pid = fork();
    if (Pid < 0) Die("fork failed");
    if (Pid == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 2);
      close(in[0]), close(in[1]), close(out[0]), close(out[1]), close(null);
      if (chdir(dir.c_str()) != 0) _exit(127);
      setenv("KVLPATH", dir.c_str(), 1);
      // Pipe mode, as a driving program runs it: plainly piped commands
      // learn in the foreground, where 'stop' would never be read.
      execl(bin.c_str(), bin.c_str(), "-p", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]), close(out[1]);
    In = in[1];
    Out = out[0];
  }
  ~Program() {
    close(In);
    kill(Pid, SIGTERM);
    waitpid(Pid, nullptr, 0);
    close(Out);
  }

  void Send(const std::string& line) {
    std::string text = line + "\n";
    if (write(In, text.data(), text.size()) != static_cast<ssize_t>(text.size())) Die("writing to the program failed");
  }
  // Waits until `text` appears after what earlier waits consumed.
  void WaitFor(const std::string& text, double timeoutMs = 60000) {
    const double until = WallMs() + timeoutMs;
    for (;;) {
      std::size_t at = Seen.find(text, Cursor);
      if (at != std::string::npos) {
        Cursor = at + text.size();
        return;
      }
      pollfd p = {Out, POLLIN, 0};
      if (WallMs() > until || poll(&p, 1, 1000) < 0) Die("the program did not write \"" + text + "\"");
      char buf[65536];
      ssize_t n = read(Out, buf, sizeof buf);
      if (n == 0) Die("the program ended before writing \"" + text + "\"");
      if (n > 0) Seen.append(buf, static_cast<std::size_t>(n));
    }
  }

 private:
  pid_t Pid;
  int In, Out;
  std::string Seen;
  std::size_t Cursor = 0;
};

const std::string kPrompt = std::string("korvalin> ") + '\0';

// From `stop` to the next prompt, while a child learns with a 20,000-rule
// network on a small pattern set (so that the epoch it finishes first is short).
void ReportRows(const std::string& shape, const std::string& dir, const std::string& bin) {
  std::unique_ptr<TLearningTask> task = Load(dir + "/p25k_20_3.pat");
  Creation c = Create(*task, Best, 3, 20000);
  if (c.net->NumberOfRules() != 20000) Die("the report network has " + std::to_string(c.net->NumberOfRules()) + " rules");
  NetFileRows(shape, dir, *c.net);
  {
    std::ofstream out(dir + "/report.net");
    WriteNet(out, *c.net);
  }
  Program program(bin, dir);
  program.WaitFor(kPrompt);
  for (const char* line : {"load pattern p200_20_3.pat", "load net report.net", "set MaxEpoch = 100000000",
                           "set Update_Cycle = 0"}) {
    program.Send(line);
    program.WaitFor(kPrompt);
  }
  std::vector<double> ms;
  for (int r = 0; r < Runs; r++) {
    program.Send("run learning");
    // The parent's prompt may come before or after the child's first words.
    program.WaitFor("Starting the learning process.");
    usleep(300000);  // let the child get into its epochs
    const double t0 = WallMs();
    program.Send("stop");
    program.WaitFor("Learning process stopped after");
    program.WaitFor(kPrompt);
    ms.push_back(WallMs() - t0);
  }
  Row(shape, "background report: stop to prompt (wall clock)", ms, 1000,
      "20000 rules x 20 inputs; includes the epoch in progress (200 patterns)");
}

// ------------------------------------------------------------- the shapes

struct Options {
  std::string data, bin;
};

void Iris(const Options& o) {
  const std::string s = "150 x 4 x 3 (iris)";
  const std::string file = o.data + "/iris.pat";
  LoadRows(s, file);
  auto task = Load(file);
  CreationRows(s, *task, Simple, 3, 10);
  CreationRows(s, *task, Best, 3, 10);
  EpochRows(s, *task, Best, 3, 10, 0.040, 1000);
  Creation c = Create(*task, Best, 3, 10);
  TestRows(s, o.data, *task, *c.net, 0, 1000);
  NetFileRows(s, o.data, *c.net);
}

void Shape20k(const Options& o) {
  const std::string s = "20000 x 12 x 4";
  const std::string file = o.data + "/p20k_12_4.pat";
  LoadRows(s, file);
  auto task = Load(file);
  CreationRows(s, *task, Simple, 5, 200);
  CreationRows(s, *task, Best, 5, task->NumberOfPatterns, 500);
  CreationRows(s, *task, Best, 5, 200);
  EpochRows(s, *task, Best, 5, 200, 100);
  Creation c = Create(*task, Best, 5, 200);
  TestRows(s, o.data, *task, *c.net, 15);
  Creation all = Create(*task, Best, 5, task->NumberOfPatterns);
  NetFileRows(s, o.data, *all.net);
}

void Shape100k(const Options& o) {
  const std::string s = "100000 x 20 x 3";
  const std::string file = o.data + "/p100k_20_3.pat";
  LoadRows(s, file, 1000);
  auto task = Load(file);
  CreationRows(s, *task, Simple, 3, 1000);
  EpochRows(s, *task, Simple, 3, 1000, 750);
  Creation c = Create(*task, Simple, 3, 1000);
  TestRows(s, o.data, *task, *c.net, 150);
  NetFileRows(s, o.data, *c.net);
}

void Best100k(const Options& o) {
  for (const char* size : {"25k", "50k", "100k"}) {
    const std::string s = std::string(size) + " x 20 x 3";
    auto task = Load(o.data + "/p" + size + "_20_3.pat");
    CreationRows(s, *task, Best, 3, 1000, std::string(size) == "100k" ? 30000 : 0);
  }
}

void Shape1m(const Options& o) {
  const std::string s = "1000000 x 8 x 2";
  const std::string file = o.data + "/p1m_8_2.pat";
  LoadRows(s, file, 4000);
  auto task = Load(file);
  CreationRows(s, *task, Simple, 3, 1000);
  CreationRows(s, *task, Best, 3, 1000);
  EpochRows(s, *task, Simple, 3, 1000);
  Creation c = Create(*task, Simple, 3, 1000);
  TestRows(s, o.data, *task, *c.net);
  NetFileRows(s, o.data, *c.net);
}

// Best creation over the first 100,000 to 1,000,000 patterns of one generator.
void Best1m(const Options& o) {
  for (const char* size : {"100k", "250k", "500k", "1m"}) {
    const std::string s = std::string(size) + " x 12 x 4";
    auto task = Load(o.data + "/p" + size + "_12_4.pat");
    const std::string n = size;
    CreationRows(s, *task, Best, 5, 200, n == "100k" ? 3000 : n == "1m" ? 30000 : 0, n == "1m");
  }
}

// A test pass over a million patterns through 1,000 rules.
void Test1m(const Options& o) {
  const std::string s = "1000000 x 8 x 2, 5 sets";
  auto task = Load(o.data + "/p1m_8_2.pat");
  Creation c = Create(*task, Simple, 5, 1000);
  TestRows(s, o.data, *task, *c.net, 1000);
}

void Report(const Options& o) { ReportRows("20000-rule network", o.data, o.bin); }

}  // namespace

int main(int argc, char** argv) {
  Options o;
  std::vector<std::string> shapes;
  for (int a = 1; a < argc; a++) {
    std::string arg = argv[a];
    if (arg == "--data" && a + 1 < argc)
      o.data = argv[++a];
    else if (arg == "--bin" && a + 1 < argc)
      o.bin = argv[++a];
    else if (arg == "--runs" && a + 1 < argc)
      Runs = std::max(1, std::atoi(argv[++a]));
    else
      shapes.push_back(arg);
  }
  if (o.data.empty() || shapes.empty()) {
    std::fprintf(stderr, "usage: %s --data DIR --bin PROGRAM [--runs N] SHAPE...\n", argv[0]);
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);
  const struct {
    const char* name;
    void (*run)(const Options&);
  } table[] = {{"iris", Iris}, {"20k", Shape20k}, {"100k", Shape100k}, {"best100k", Best100k},
               {"1m", Shape1m}, {"best1m", Best1m}, {"test1m", Test1m}, {"report", Report}};
  for (const std::string& shape : shapes) {
    bool known = false;
    for (const auto& entry : table)
      if (shape == entry.name) {
        known = true;
        if (shape == "report" && o.bin.empty()) Die("the report shape needs --bin");
        entry.run(o);
      }
    if (!known) Die("unknown shape " + shape);
  }
  return 0;
}
