// The configuration reader, fed through a stream. Whatever it accepts must
// be written back by the saver and read again to the same parameters.

#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TQuietApplication& app = fuzz::App();
  app.Parameters = TLearningParameters();
  std::istringstream in(fuzz::Text(data, size));
  app.LoadParameters(in);

  std::ostringstream saved;
  app.SaveParameters(saved);
  std::ostringstream all;
  app.Parameters.PrintAll(all);

  app.Parameters = TLearningParameters();
  app.Messages.clear();
  std::istringstream back(saved.str());
  app.LoadParameters(back);
  fuzz::Require(app.Messages.empty());
  std::ostringstream again;
  app.SaveParameters(again);
  fuzz::Require(again.str() == saved.str());
  return 0;
}
