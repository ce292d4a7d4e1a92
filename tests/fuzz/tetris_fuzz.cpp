// Heap-of-pieces texts: a heap whose every piece occupies a column is
// written back, and the text must read back to the same profiles, up to a
// shift of the whole piece (columns dropped as inconsistent can leave a
// piece that no longer starts at 0; reading shifts it down).
#include <cstdlib>

#include "fuzz_util.h"
#include "maxplus/tetris.h"

using namespace orv::mp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* in = orv::fuzz::open_text(data, size);
  if (in == nullptr) return 0;
  Tetris T = Read_Tetris(in);
  std::fclose(in);
  if (!T) return 0;
  for (const auto& p : T->Piece) {
    bool occupied = false;
    for (int lo : p->LoProf) occupied = occupied || lo != -1;
    if (!occupied) return 0;  // written with empty profiles, which cannot read back
  }
  char* buf = nullptr;
  size_t len = 0;
  FILE* out = open_memstream(&buf, &len);
  Write_Tetris(*T, out);
  std::fclose(out);
  FILE* back = fmemopen(buf, len, "r");
  Tetris U = Read_Tetris(back);
  std::fclose(back);
  std::free(buf);
  if (!U || U->Nb_Pieces != T->Nb_Pieces) std::abort();  // written, but not read back
  for (int i = 0; i < T->Nb_Pieces; ++i) {
    const PIECE_DESC& a = *T->Piece[i];
    const PIECE_DESC& b = *U->Piece[i];
    int shift = 0;
    bool first = true;
    for (int c = 0; c < a.Nb_Columns; ++c) {
      if ((a.LoProf[c] == -1) != (b.LoProf[c] == -1)) std::abort();
      if (a.LoProf[c] == -1) continue;
      if (first) shift = a.LoProf[c] - b.LoProf[c];
      first = false;
      if (a.LoProf[c] - b.LoProf[c] != shift || a.HiProf[c] - b.HiProf[c] != shift) std::abort();
    }
  }
  return 0;
}
