// The description of stelvic's routed queues.
#include "data.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (!in) return 0;
  stelvic::Data d;
  stelvic::Read_Data(in, d, size > 0 && (data[0] & 1));
  std::fclose(in);
  return 0;
}
