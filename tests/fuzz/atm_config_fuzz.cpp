// The ATM network configuration.
#include "atm/atm.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (!in) return 0;
  orv::atm::CONFIG cf;
  if (orv::atm::Read_Config(in, cf, stdout)) {
    // What the writers rely on: rows inside their switch.
    for (int s = 0; s < cf.NbSession; ++s)
      for (int k = 0; k < cf.NbSwitch; ++k)
        for (int r : cf.route[s][k])
          if (r > cf.SwitchSize[k]) __builtin_trap();
  }
  std::fclose(in);
  return 0;
}
