// The integer matrix of umbrisk: read it, and analyse the small ones.
#include "fuzz_util.h"
#include "umbrisk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FILE* null = std::fopen("/dev/null", "w");
  FILE* in = orv::fuzz::open_text(data, size);
  if (!in) return 0;
  orv::umbrisk::Options o;
  o.transient = size > 0 && (data[size - 1] & 1);
  o.cycles = true;
  orv::umbrisk::Problem p;
  if (orv::umbrisk::Read_Problem(in, o, p, null, null) == 0 && p.N <= 12)
    orv::umbrisk::Run(p, o, null, null);
  std::fclose(in);
  return 0;
}
