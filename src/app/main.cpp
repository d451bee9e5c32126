#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <new>

#include "app.h"

namespace {

// Standard descriptors the program was started without are opened on
// /dev/null before anything else can take their numbers: closed input then
// reads as its end, and no pipe or file of the program's own is taken for
// its input or output.
void OpenClosedStandardDescriptors() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; fd++) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened > fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
}

}  // namespace

// Memory that runs out outside a command (a command's failure ends only
// that command) ends the program, as it always did.
int main(int argc, char** argv) {
  OpenClosedStandardDescriptors();
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
