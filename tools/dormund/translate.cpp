// dormund's translation: the graph read, checked for what the output asks,
// and written as matrices, vectors or a sequence.
#include "translate.h"

#include <cstdio>
#include <vector>

#include "eventgraph/mp_tables.h"
#include "eventgraph/topology.h"

namespace dormund {

int Translate(orv::Output_Guard& out, const Options& o, const char* prog) {
  Out_Format fmt = o.Fmt;
  orv::eg::MP_Tables tables;
  const int n = tables.Get_Event_Graph(o.In_File);
  const bool sequence = o.Part == SEQUENCE;
  switch (n) {
    case orv::eg::EG_UNREADABLE:
      std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog);
      return -6;
    case orv::eg::EG_NOT_FIFO:
      std::printf("%s: error: Network not FIFO.\n", prog);
      return -3;
    case orv::eg::EG_NOT_LIVE:
      if (sequence) break;
      std::printf("%s: error: Network not live.\n", prog);
      return -2;
    case orv::eg::EG_NOT_FLAT:
      if (sequence) break;
      std::printf("%s: error: Network not flat.\n", prog);
      return -4;
    default:
      break;
  }

  // Laws whose draws would be infinite or undefined make no matrix.
  if (!orv::eg::Laws_Are_Drawable(*tables.Le_Reseau())) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog);
    return -6;
  }

  if (o.Has_Out && !out.redirect_stdout(o.Out_File, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", prog, o.Out_File.c_str());
    out.report_open_failure(o.Out_File);
    return -1;
  }

  const orv::EventGraph& g = *tables.Le_Reseau();
  if (sequence) {
    if (fmt.Prefix.empty() && fmt.Lang != SORVIC) fmt.Prefix.assign(1, 'A');
    if (fmt.Lang == SORVIC) Write_Sorvic_Sequence(g, fmt, prog);
    else if (fmt.Sparse) Write_Matrix_Sequence_As_Sparse(g, fmt);
    else Write_Matrix_Sequence_As_Full(g, fmt);
    return 0;
  }

  if (fmt.Prefix.empty()) fmt.Prefix.assign(1, 'A');
  const int size = g.Size;
  std::vector<double> A;
  bool ok = true;
  if (o.Slice < 0) {
    tables.Fill_Matrix(A);
  } else {
    ok = tables.Init_Times(o.Slice) && tables.Fill_Slice(A, o.Slice);
  }
  if (!ok) {
    std::fprintf(stderr, "%s: error: not enough memory for a slice of %d steps.\n", prog,
                 o.Slice);
    return -5;
  }

  if (o.Part != VECTOR_ONLY) {
    if (fmt.Integer && !Is_Integral(A, A.size())) {
      std::fprintf(stderr, "%s: warning: the matrix ", prog);
      std::fprintf(stderr, "has non-integer entries. Will be");
      std::fprintf(stderr, " rounded off\n");
    }
    if (fmt.Sparse) Write_Matrix_As_Sparse(A, size, fmt);
    else Write_Matrix_As_Full(A, size, fmt);
  }
  if (o.Part != MATRIX_ONLY) {
    std::vector<double> Y;
    if (o.Flag_Trans >= 1 && o.Flag_Trans <= size)
      tables.Fill_Initial_Vector_Flat(Y, o.Flag_Trans - 1);
    else
      tables.Fill_Initial_Vector(Y);
    Write_Vector(Y, size, fmt);
  }
  return 0;
}

}  // namespace dormund
