// Placeholders for commands whose bodies are still to come; each file that
// brings a body removes its placeholder.
#include "app.h"

namespace {
void NotAvailable(TApplication& app, const char* what) {
  app.ShowMsg(std::string(" '") + what + "' is not available yet.", Error);
}
}  // namespace

// No network can exist before the network module arrives.
void TNetDeleter::operator()(TFuzzyPerceptron*) const {}

void TApplication::Load(const TCommand&) { NotAvailable(*this, "load"); }
void TApplication::Save(const TCommand&) { NotAvailable(*this, "save"); }
void TApplication::Set(const TCommand&) { NotAvailable(*this, "set"); }
void TApplication::Show(const TCommand&) { NotAvailable(*this, "show"); }
void TApplication::Create(const TCommand&) { NotAvailable(*this, "create"); }
void TApplication::PrintNetInfo(std::ostream&, const char*) const {}
void TApplication::PrintLearningStatus(std::ostream&, const char*, Boolean) const {}
void TApplication::PrintTestResults(std::ostream&, const char*, const char*) const {}
