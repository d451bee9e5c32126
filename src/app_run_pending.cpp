// Placeholders for the run command and background learning until their
// real bodies arrive; each file that brings a body removes its placeholder.
#include "app.h"

namespace {
void NotAvailable(TApplication& app, const char* what) {
  app.ShowMsg(std::string(" '") + what + "' is not available yet.", Error);
}
}  // namespace

void TApplication::Start(const TCommand&) { NotAvailable(*this, "run"); }
void TApplication::Learning() { NotAvailable(*this, "run learning"); }
void TApplication::Testing() { NotAvailable(*this, "run test"); }
void TApplication::BackgroundLearning() { NotAvailable(*this, "run learning"); }
void TApplication::UpdateNetAndStatus() {}
void TApplication::KillChild() { ChildPid = -1; }
Boolean TApplication::StopChild() {
  ChildPid = -1;
  return False;
}
