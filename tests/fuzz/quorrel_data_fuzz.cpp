// The data file of quorrel.
#include "data.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (!in) return 0;
  orv::qn::SEQUENCE s;
  double lambda = 0;
  bool has_customer = false;
  int customer = 0;
  Read_Data(in, s, lambda, has_customer, customer);
  std::fclose(in);
  return 0;
}
