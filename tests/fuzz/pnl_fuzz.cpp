// PNL text: read, analyse, write, and read what was written (it must read),
// then the same after flattening.
#include <cstdlib>

#include "fuzz_util.h"
#include "pnl_checks.h"

using namespace orv::pn;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::fuzz::work_dir();
  unsetenv("PNL_PATH");
  std::string_view text = orv::fuzz::as_text(data, size);
  if (orv::fuzz::names_outside(text)) return 0;
  NetPtr net = Read_Network_Buffer(text, "fuzz.pnl");
  if (!net) return 0;
  orv::fuzz::check_net(*net);
  return 0;
}
