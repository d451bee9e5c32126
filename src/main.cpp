#include "cmdapp.h"

int main(int argc, char** argv) {
  TCmdApplication* app = new TCmdApplication(argc, argv);
  app->Run();
  delete app;
  return 0;
}
