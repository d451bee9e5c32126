// The bare command shell frame as a program, so its behaviour can be checked
// apart from whatever an application adds on top of it.
#include "cmdapp.h"

int main(int argc, char** argv) {
  TCmdApplication app(argc, argv);
  app.Run();
  return app.ExitStatus();
}
