#include <iostream>

#include "app.h"

int main(int argc, char** argv) {
  if (PrintInfoOption(argc, argv, std::cout)) return 0;
  TApplication* app = new TApplication(argc, argv);
  app->Run();
  const int status = app->ExitStatus();
  delete app;
  return status;
}
