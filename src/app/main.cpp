#include "app.h"

int main(int argc, char** argv) {
  TApplication* app = new TApplication(argc, argv);
  app->Run();
  delete app;
  return 0;
}
