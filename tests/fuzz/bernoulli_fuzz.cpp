// Bernoulli-product texts: what reads is written in the sparse form, which
// must read back.
#include <cstdlib>

#include "fuzz_util.h"
#include "maxplus/bernoulli.h"

using namespace orv::mp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (in == nullptr) return 0;
  Bernoulli_Product P = Read_Bernoulli_Product(in);
  std::fclose(in);
  if (!P) return 0;
  char* buf = nullptr;
  size_t len = 0;
  FILE* out = open_memstream(&buf, &len);
  Write_Bernoulli_Product(*P, out, 1, nullptr);
  std::fclose(out);
  FILE* back = fmemopen(buf, len, "r");
  Bernoulli_Product Q = Read_Bernoulli_Product(back);
  std::fclose(back);
  std::free(buf);
  if (!Q || Q->Nb_Matrices != P->Nb_Matrices) std::abort();  // written, but not read back
  return 0;
}
