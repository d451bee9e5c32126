#include <iostream>
#include <new>

#include "app.h"

// Memory that runs out outside a command (a command's failure ends only
// that command) ends the program, as it always did.
int main(int argc, char** argv) {
  try {
    if (PrintInfoOption(argc, argv, std::cout)) return 0;
    TApplication* app = new TApplication(argc, argv);
    app->Run();
    const int status = app->ExitStatus();
    delete app;
    return status;
  } catch (const std::bad_alloc&) {
    OutOfMemory();
    return 1;
  }
}
