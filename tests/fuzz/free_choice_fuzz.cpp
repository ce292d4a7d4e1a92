// The free-choice description that prennic writes and tormial reads: read
// it, and judge the liveness of the small ones (the work grows with the
// number of choices).
#include "fuzz_util.h"
#include "liveness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (!in) return 0;
  orv::fc::Description d;
  std::string error;
  if (orv::fc::Read_Description(in, d, error) && d.N <= 4 && d.M <= 16)
    orv::fc::Liveness(d);
  std::fclose(in);
  return 0;
}
