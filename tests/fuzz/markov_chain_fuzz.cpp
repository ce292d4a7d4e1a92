// The Markov-chain text.
#include "fuzz_util.h"
#include "markov/markov.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (!in) return 0;
  orv::mc::MARKOV_CHAIN c;
  if (orv::mc::Read_Chain(in, c)) {
    // What a simulation relies on: every row's columns are states.
    for (int i = 0; i < c.Generator.Size; ++i)
      for (int col : c.Generator.Elts[i])
        if (col < 0 || col >= c.State_Space_Size) __builtin_trap();
    // A continuous chain's leaving rates: finite and not negative.
    if (c.Time_Type == orv::mc::CONTINUOUS_TIME)
      for (int i = 0; i < c.Generator.Size; ++i) {
        const double r = -orv::mc::Get_Sparse_Matrix_Entry(c.Generator, i, i);
        if (!(r >= 0 && r <= 1.7976931348623157e308)) __builtin_trap();
      }
  }
  std::fclose(in);
  return 0;
}
