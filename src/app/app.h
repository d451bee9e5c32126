// The classifier program: its state, its command table, the checks of its
// commands' arguments and the dispatch of every command.
#pragma once

#include <fstream>
#include <istream>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "background.h"
#include "cmdapp.h"
#include "containers.h"
#include "infile.h"
#include "korvalin.h"
#include "param.h"
#include "stdutils.h"

extern const char* const VersionString;  // "KORVALIN 1.0"
extern const char* const VersionNumber;  // "1.0"
extern const char* const NoticeString;   // two lines, beginning with a newline

extern const char* const appDefaultConfigFile;  // "korvalin.cfg"

class TApplication;

// A kind of file the program writes (its row in app_outputs.cpp).
struct TOutputKind {
  const char* Ext;    // of its default name, after the network file's name or the pattern file's
  bool AfterPattern;  // named after the pattern file
  // The opening lines, "%s" standing for VersionString; without "%s" the
  // start of a table's first line.
  const char* Header;
  // In the refusal to replace another file: "it is not <Name>", or for a
  // table "holds no <Name>".
  const char* Name;
  // Its word in 'save' and the handler of that command; null for the files
  // that commands write as they run.
  const char* SaveWord;
  void (TApplication::*Save)(const TCommand& cmd);
};

// The command table input lines are parsed against: the program's own
// commands (identifiers from 10, in the order of their rows in app.cpp),
// then StdCommands.
const TCmdDef* ValidCommands();

// Answers --help and --version (among the options before the first command
// file) on `out`; false when neither is given.
bool PrintInfoOption(int argc, const char* const* argv, std::ostream& out);

// The check of a prune command's words: 0, or the number of the first
// word that is not understood (app_prune.cpp).
int CheckPruneArgs(const TCommand& cmd);

// The absolute name of a file named by the user. Unlike AbsPath it never
// leaves a name relative (data/x.pat), so that the name still denotes the
// same file after a change of directory, and a name below a directory that
// does not exist (./no/x.net) keeps that directory, so that opening it fails
// instead of reaching a file of the same name in the working directory.
std::string FullPath(const std::string& name);

// Opens `name` for reading. A directory cannot be opened (EISDIR): it would
// open, but every read would fail. On failure errno says why.
bool OpenInputFile(TInputFile& file, const std::string& name);

class TApplication : public TCmdApplication {
 public:
  // Learning status of the last or current learning run (or of the last test).
  int Epoch;
  int Misclassified;
  float TotalError;

  // The last 'run test', kept for 'show confusion'; null before the first.
  struct TTestRecord {
    std::string PatternFile, NetFile;
    std::vector<std::string> ClassNames;  // 0-based
    std::vector<int> Targets;             // per pattern; empty without class information
    std::vector<int> Computed;            // per pattern; 0 when undecided
  };
  std::unique_ptr<TTestRecord> LastTest;

  // Absolute file names; empty when unset.
  std::string NetFileName;      // the result, error, log and rule files are named after it
  std::string PatternFileName;
  std::string ConfigFileName;   // configuration last read (with a valid line) or written
  std::string StartConfigFileName;  // the configuration read at start; empty when none was found
  // The file of the last 'load config' when it read no valid line, until a
  // configuration is saved: 'save config' then goes to the default file.
  std::string ConfigLoadWithoutValidLine;

  Boolean PipeMode;  // first program argument "-p" or "--pipe"

  std::unique_ptr<TFuzzyPerceptron> Net;
  std::unique_ptr<TLearningTask> Task;
  TVector<int> NumberOfFSets;  // fuzzy sets per input of the pattern set; empty before a load
  TLearningParameters Parameters;
  TBackgroundLearning Background;  // learning in a child while the command loop goes on

  // Prints the banner, installs ValidCommands(), notes pipe mode, takes the
  // directory of the configuration and help files from KVLPATH and reads
  // the configuration file found there.
  TApplication(int argc, const char* const* argv);
  ~TApplication() override;

  // The argument check of the command's row.
  int CheckCmdArgs(const TCommand& cmd) override;
  TCompletion Complete(const std::string& before) const override;
  // The learning gate, then the command's handler.
  void ExecuteCommand(const TCommand& cmd) override;

  // The commands' handlers, named by the rows of the command table (app.cpp).

  // load and save (app_loadsave.cpp)
  void Load(const TCommand& cmd);
  // 'save <word>': the handler of the output kind of that word.
  void Save(const TCommand& cmd);
  void SaveNetRulesOrConfig(const TCommand& cmd);
  // Writes Net with its header to `name`; false, after an Error naming the
  // file and the cause, when it could not be written.
  bool WriteNetFile(const std::string& name);

  // set, show and the status listings (app_setshow.cpp). The listings
  // write nothing when what they describe is missing.
  void Set(const TCommand& cmd);
  void Show(const TCommand& cmd);
  void PrintNetInfo(std::ostream& out, const char* header) const;
  void PrintLearningStatus(std::ostream& out, const char* header, Boolean longForm) const;
  void PrintTestResults(std::ostream& out, const char* header, const char* resultFile) const;

  // Predictions, the confusion matrix and explanations (app_explain.cpp).
  void SavePredictions(const TCommand& cmd);
  void ShowConfusion();
  void Explain(const TCommand& cmd);

  // create net (app_create.cpp)
  void Create(const TCommand& cmd);

  // True when a network and a pattern set of the same dimensions are at
  // hand; else an Error "Can't execute '<what>': ..." and false.
  bool NetFitsPatterns(const std::string& what);

  // prune (app_prune.cpp)
  void Prune(const TCommand& cmd);

  // run (app_run.cpp)
  void Start(const TCommand& cmd);
  void Learning();
  void Testing();

  // The learning child's report pipe, served while the command loop waits
  // for a line.
  int BackgroundFd() const override { return Background.Descriptor(); }
  void BackgroundReady() override { Background.Serve(); }
  // Takes a learning child's status and network in place of the current ones.
  void TakeReport(TChildReport& report);

  // stop and abort (app.cpp)
  void Stop(const TCommand& cmd);
  void Abort(const TCommand& cmd);

  // The output files (app_outputs.cpp), each kind a row of OutputKind.
  enum TFileKind { NetFile, RuleFile, ConfigFile, LogFile, ResultFile, ErrorCurveFile, PredictionFile };
  // Output files the user has not named in the command. An existing
  // regular file is only replaced when it is empty, when it was read or
  // written as that kind of file in this session, or when it begins with
  // the header this program writes for that kind (a configuration file also
  // when it holds a valid line). Otherwise an Error says so, with the hint
  // to name the file when `nameable` (always for a table), and the result
  // is false.
  bool MayReplace(const std::string& name, TFileKind kind, bool nameable);
  void NoteFile(const std::string& name, TFileKind kind);
  std::set<std::pair<int, std::string>> KnownFiles;  // kind and absolute name
  // The network's or the pattern file's name with the kind's extension.
  std::string DefaultName(TFileKind kind) const;
  // 'save config' without a file name: the start's configuration file, or
  // korvalin.cfg in the working directory when none was found.
  std::string DefaultConfigFile() const;

  // The kind's header; the writers below add the lines that describe the run.
  void WriteHeader(std::ostream& out, TFileKind kind) const;
  void WriteLogHeader(std::ostream& out, int maxRules) const;
  void WriteResultHeader(std::ostream& out) const;
  void WriteErrorHeader(std::ostream& out) const;

  // The configuration file (app_config.cpp). LoadParameters reports each
  // faulty line as an Error of its own, reads on to the end and returns the
  // number of lines that set a parameter; when the stream goes bad (a read
  // error, which the caller reports) it changes no parameter and returns -1.
  int LoadParameters(std::istream& in);
  void SaveParameters(std::ostream& out) const;
};

const TOutputKind& OutputKind(TApplication::TFileKind kind);
// The words of 'save', in the order of the kinds.
std::vector<const char*> SaveWords();
