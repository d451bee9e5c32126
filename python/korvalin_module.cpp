// korvalin._core: the classifier's API for Python. Arrays come in as
// C-ordered float32 (NaN for a missing value) and class numbers 1..K; the
// estimator in korvalin/__init__.py does the validation and the labels.
// Creation, learning and propagation run without the GIL; each network
// carries a mutex, because propagation writes the network's activations.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <mutex>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "korvalin.h"
#include "korvalin/settings.h"
#include "outfile.h"

namespace py = pybind11;

namespace {

using TRows = py::array_t<float, py::array::c_style | py::array::forcecast>;
using TClasses = py::array_t<int, py::array::c_style | py::array::forcecast>;

struct TNet {
  std::unique_ptr<TFuzzyPerceptron> Net;
  std::mutex Busy;
};

// Swallows the creation log.
class TNullBuf : public std::streambuf {
 protected:
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

// The stop request of creation and learning: a pending signal (Ctrl-C),
// seen with the GIL taken for a moment, whose exception stays set.
struct TInterruptible : public TLearnObserver {
  bool Interrupted = false;
  bool StopRequested() override {
    py::gil_scoped_acquire gil;
    Interrupted = Interrupted || PyErr_CheckSignals() != 0;
    return Interrupted;
  }
};

int Rows(const TRows& X, const TNet& net) {
  if (X.ndim() != 2) throw py::value_error("X must be two-dimensional");
  if (X.shape(1) != net.Net->NumberOfInputs()) throw py::value_error("X has the wrong number of columns");
  return static_cast<int>(X.shape(0));
}

std::string Text(const TNet& net, bool exact) {
  std::ostringstream out;
  if (!WriteNet(out, *net.Net, exact))
    throw py::value_error("the network has no text form: it holds no rules, or a parameter that is not finite");
  return out.str();
}

// Writes the network file as the program's 'save net' does, through its
// output file: the old file stays whole unless the new one is complete.
// The error number of a failed write, 0 when written.
int Save(const TNet& net, const std::string& path) {
  if (path.find('\0') != std::string::npos) throw py::value_error("embedded null byte");
  const std::string text = Text(net, false);
  TOutputFile file;
  if (!file.Open(path)) return file.ErrorNumber();
  file.Stream() << text;
  return file.Commit() ? 0 : file.ErrorNumber();
}

std::unique_ptr<TNet> Read(const std::string& text) {
  std::istringstream in(text);
  TLoadStatus status = LoadOk;
  std::ostringstream messages;
  auto net = std::make_unique<TNet>();
  net->Net = ReadNet(in, status, messages);
  if (!net->Net) {
    std::string why = messages.str();
    while (!why.empty() && why.back() == '\n') why.pop_back();
    throw py::value_error("not a readable network" + (why.empty() ? std::string(": the text ends too early") : ": " + why));
  }
  return net;
}

py::tuple Fit(const TNetSettings& settings, const TRows& X, const TClasses& y, int classes,
              const std::vector<std::string>& inputNames, const std::vector<std::string>& classNames) {
  if (const char* why = CheckSettings(settings)) throw py::value_error(why);
  if (X.ndim() != 2 || y.ndim() != 1 || X.shape(0) != y.shape(0) || X.shape(0) < 1 || X.shape(1) < 1)
    throw py::value_error("X must be patterns x inputs, y one class per pattern, both non-empty");
  const int patterns = static_cast<int>(X.shape(0)), inputs = static_cast<int>(X.shape(1));
  if (classes < 1) throw py::value_error("at least one class is needed");
  for (int p = 0; p < patterns; p++)
    if (y.data()[p] < 1 || y.data()[p] > classes) throw py::value_error("class numbers run from 1 to the number of classes");
  auto net = std::make_unique<TNet>();
  TInterruptible observer;
  TLearnResult status;
  TCreateReport report;
  {
    py::gil_scoped_release free;
    auto task = MakeTask(X.data(), patterns, inputs, y.data(), classes, inputNames, classNames);
    TNullBuf nothing;
    std::ostream log(&nothing);
    net->Net = CreateNet(*task, settings, log, report, {}, [&observer] { return observer.StopRequested(); });
    if (net->Net) status = Learn(*net->Net, *task, settings, observer);
  }
  if (observer.Interrupted) throw py::error_already_set();
  if (!net->Net) throw py::value_error(report.Error);
  return py::make_tuple(std::move(net), status.Epoch, status.Diverged);
}

py::array_t<float> Outputs(TNet& net, const TRows& X) {
  const int patterns = Rows(X, net);
  const int classes = net.Net->NumberOfClasses();
  py::array_t<float> out({patterns, classes});
  float* to = out.mutable_data();
  py::gil_scoped_release free;
  std::lock_guard<std::mutex> hold(net.Busy);
  ClassOutputs(*net.Net, X.data(), patterns, net.Net->NumberOfInputs(), TLearningTask().MissingValue, to);
  return out;
}

// Per row: the computed class (1-based), the decision (0 decided, 1 no
// rule fired, 2 tie), the deciding rule (1-based, 0 when undecided) and its activation.
py::tuple ClassifyRows(TNet& net, const TRows& X) {
  const int patterns = Rows(X, net);
  const int inputs = net.Net->NumberOfInputs();
  py::array_t<int> best(patterns), decision(patterns), rule(patterns);
  py::array_t<float> activation(patterns);
  int *b = best.mutable_data(), *d = decision.mutable_data(), *r = rule.mutable_data();
  float* a = activation.mutable_data();
  {
    py::gil_scoped_release free;
    std::lock_guard<std::mutex> hold(net.Busy);
    const float missing = TLearningTask().MissingValue;
    for (int p = 0; p < patterns; p++) {
      const TOutcome o = Classify(*net.Net, X.data() + static_cast<std::size_t>(p) * inputs, inputs, missing);
      b[p] = o.Best;
      d[p] = static_cast<int>(o.Decision);
      r[p] = o.Rule;
      a[p] = o.Activation;
    }
  }
  return py::make_tuple(best, decision, rule, activation);
}

const korvalin::Setting& SettingNamed(const std::string& python) {
  for (const korvalin::Setting& row : korvalin::AllSettings())
    if (row.PythonName != nullptr && python == row.PythonName && row.Field.Set != nullptr) return row;
  throw py::key_error(python);
}

// The settings table's rows that the estimator takes, as dicts: the
// parameter's name ("python"), the configuration key ("name"), its "type"
// (int, float, bool or choice), "default", "lowest" and "highest" (int:
// the values used), "words" (choice) and "doc".
py::list SettingRows() {
  py::list rows;
  for (const korvalin::Setting& row : korvalin::AllSettings()) {
    if (row.PythonName == nullptr || row.Field.Set == nullptr) continue;
    static const char* const types[] = {"int", "float", "bool", "choice"};
    py::list words;
    for (int i = 0; row.Type == korvalin::SettingType::Choice && row.Word(i) != nullptr; i++) words.append(row.Word(i));
    py::object value;
    switch (row.Type) {
      case korvalin::SettingType::Int: value = py::int_(static_cast<int>(row.Default)); break;
      case korvalin::SettingType::Float: value = py::float_(row.Default); break;
      case korvalin::SettingType::Boolean: value = py::bool_(row.Default != 0.0); break;
      case korvalin::SettingType::Choice: value = words[static_cast<std::size_t>(row.Default)]; break;
    }
    rows.append(py::dict(py::arg("python") = row.PythonName, py::arg("name") = row.Name,
                         py::arg("type") = types[static_cast<int>(row.Type)], py::arg("default") = value,
                         py::arg("lowest") = row.Lowest, py::arg("highest") = row.Highest,
                         py::arg("words") = words, py::arg("doc") = row.Doc));
  }
  return rows;
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The classifier core; use korvalin.FuzzyClassifier.";
  m.attr("SETTINGS") = SettingRows();

  // A setting of the table by its Python name, as an int, float, bool or
  // choice number; creation's own settings by their fields.
  py::class_<TNetSettings>(m, "Settings")
      .def(py::init<>())
      .def("set",
           [](TNetSettings& s, const std::string& python, double value) {
             const korvalin::Setting& row = SettingNamed(python);
             if (!korvalin::IsValue(row, value)) {
               std::ostringstream why;
               why << "invalid value of " << python << ": " << value;
               throw py::value_error(why.str());
             }
             row.Field.Set(s, value);
           })
      .def("get", [](const TNetSettings& s, const std::string& python) { return SettingNamed(python).Field.Get(s); })
      .def_readwrite("sets_per_input", &TNetSettings::SetsPerInput)
      .def_readwrite("max_rules", &TNetSettings::MaxRules);

  py::class_<TNet>(m, "Net")
      .def("outputs", &Outputs, "Class outputs, rows x classes.")
      .def("classify", &ClassifyRows, "(computed class, decision, rule, activation) per row.")
      .def(
          "text", [](const TNet& n, bool exact) { return py::bytes(Text(n, exact)); }, py::arg("exact") = false,
          "The network file's text; exact: every number restorable bit for bit.")
      .def("save", &Save, "Writes the network file; the error number, 0 when written.")
      .def("rules",
           [](const TNet& n) {
             std::ostringstream out;
             n.Net->PrintRules(out, nullptr);
             return py::bytes(out.str());
           })
      .def("info",
           [](const TNet& n) {
             const TNetInfo i = Describe(*n.Net);
             auto bytes = [](const std::vector<std::string>& names) {
               py::list l;
               for (const std::string& s : names) l.append(py::bytes(s));
               return l;
             };
             std::ostringstream aggregation;
             aggregation << i.Aggregation;
             return py::dict(py::arg("inputs") = i.Inputs, py::arg("classes") = i.Classes,
                             py::arg("rules") = i.Rules, py::arg("aggregation") = aggregation.str(),
                             py::arg("input_names") = bytes(i.InputNames), py::arg("class_names") = bytes(i.ClassNames));
           })
      .def(py::pickle([](const TNet& n) { return py::bytes(Text(n, true)); },
                      [](const py::bytes& text) { return Read(text); }));

  m.def("fit", &Fit, "Creates and trains a network: (net, epochs, the epoch that diverged or 0).");
  m.def("read", [](const py::bytes& text) { return Read(text); }, "A network from its file's text.");
}
