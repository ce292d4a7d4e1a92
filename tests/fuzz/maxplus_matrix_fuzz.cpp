// Max-plus matrix texts: the first byte picks the shape, the rest is the text
// given to both readers; what the sparse form writes must read back.
#include <cstdlib>

#include "fuzz_util.h"
#include "maxplus/maxplus.h"

using namespace orv::mp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int rows = 1 + (data[0] & 7), cols = 1 + ((data[0] >> 3) & 7);
  Full_MaxPlus_Matrix A = New_Full_MaxPlus_Matrix(rows, cols, 1);
  SP_MaxPlus_Matrix M = New_SP_MaxPlus_Matrix(rows, cols, 1);
  if (FILE* in = orv::fuzz::open_text(data + 1, size - 1)) {
    Full_Read_MaxPlus_Matrix(in, *A);
    std::fclose(in);
  }
  if (FILE* in = orv::fuzz::open_text(data + 1, size - 1)) {
    if (SP_Read_MaxPlus_Matrix(in, *M)) {
      char* buf = nullptr;
      size_t len = 0;
      FILE* out = open_memstream(&buf, &len);
      SP_Write_Matrix(M.get(), out, 1, nullptr);
      std::fclose(out);
      FILE* back = fmemopen(buf, len, "r");
      SP_MaxPlus_Matrix N = New_SP_MaxPlus_Matrix(rows, cols, 1);
      if (!SP_Read_MaxPlus_Matrix(back, *N)) std::abort();  // written, but unreadable
      std::fclose(back);
      std::free(buf);
    }
    std::fclose(in);
  }
  return 0;
}
