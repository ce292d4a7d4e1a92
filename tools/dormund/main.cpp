// dormund: an event graph as max-plus matrices and vectors, in plain,
// morlen or Sorvic text.
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/mp_tables.h"
#include "eventgraph/topology.h"
#include "writers.h"

namespace {

enum What { MATRIX_AND_VECTOR, MATRIX_ONLY, VECTOR_ONLY, SEQUENCE };

void usage() {
  std::printf("Usage: %s [-f <file>] ", "dormund");
  std::printf("[-debug] [-o <file>] [-slice <int>] ");
  std::printf("\n\t[-sorvic] [-prefix <name>] ");
  std::printf("[-sparse] [-full] [-matrix] [-vector] [-sequence]");
  std::printf("\n\t[-int] [-flag_trans <int>]\n");
}

}  // namespace

int run(orv::Output_Guard& out, int argc, char** argv) {
  const char* prog_name = argc > 0 && argv[0] != nullptr ? argv[0] : "dormund";
  const std::string prog(prog_name);
  orv::Args a(argc, argv, prog);
  std::string in_file, out_file;
  bool has_out = false;
  dormund::Out_Format fmt;
  What what = MATRIX_AND_VECTOR;
  int slice = 1;
  int flag_trans = -1;

  while (a.next()) {
    if (a.is("-f")) {
      a.take_string(in_file);
    } else if (a.is("-o")) {
      has_out = a.take_string(out_file);
    } else if (a.is("-prefix")) {
      a.take_string(fmt.Prefix);
    } else if (a.is("-debug")) {
      orv::eg::Debug = 1;
    } else if (a.is("-morlen")) {
      fmt.Lang = dormund::MORLEN;
    } else if (a.is("-sorvic")) {
      fmt.Lang = dormund::SORVIC;
    } else if (a.is("-int")) {
      fmt.Integer = true;
    } else if (a.is("-matrix")) {
      what = MATRIX_ONLY;
    } else if (a.is("-vector")) {
      what = VECTOR_ONLY;
    } else if (a.is("-sequence")) {
      what = SEQUENCE;
    } else if (a.is("-sparse")) {
      fmt.Sparse = true;
    } else if (a.is("-full")) {
      fmt.Sparse = false;
    } else if (a.is("-slice")) {
      a.take_present_int(slice);
    } else if (a.is("-flag_trans")) {
      a.take_present_int(flag_trans);
    } else if (a.is("-v")) {
      std::printf("%s (Version %s)\n", "dormund", orv::ORV_VERSION);
      return 0;
    } else if (a.is("-h") || a.is("-?")) {
      usage();
      return 0;
    }
  }
  if (a.failed()) return -1;

  orv::eg::MP_Tables tables;
  const int n = tables.Get_Event_Graph(in_file);
  const bool sequence = what == SEQUENCE;
  switch (n) {
    case orv::eg::EG_UNREADABLE:
      std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog.c_str());
      return -6;
    case orv::eg::EG_NOT_FIFO:
      std::printf("%s: error: Network not FIFO.\n", prog.c_str());
      return -3;
    case orv::eg::EG_NOT_LIVE:
      if (sequence) break;
      std::printf("%s: error: Network not live.\n", prog.c_str());
      return -2;
    case orv::eg::EG_NOT_FLAT:
      if (sequence) break;
      std::printf("%s: error: Network not flat.\n", prog.c_str());
      return -4;
    default:
      break;
  }

  // Laws whose draws would be infinite or undefined make no matrix.
  if (!orv::eg::Laws_Are_Drawable(*tables.Le_Reseau())) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog.c_str());
    return -6;
  }

  if (has_out && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", prog.c_str(), out_file.c_str());
    return -1;
  }

  const orv::EventGraph& g = *tables.Le_Reseau();
  if (sequence) {
    if (fmt.Prefix.empty() && fmt.Lang != dormund::SORVIC) fmt.Prefix.assign(1, 'A');
    if (fmt.Lang == dormund::SORVIC) dormund::Write_Sorvic_Sequence(g, fmt, prog.c_str());
    else if (fmt.Sparse) dormund::Write_Matrix_Sequence_As_Sparse(g, fmt);
    else dormund::Write_Matrix_Sequence_As_Full(g, fmt);
    return 0;
  }

  if (fmt.Prefix.empty()) fmt.Prefix.assign(1, 'A');
  const int size = g.Size;
  std::vector<double> A;
  bool ok = true;
  if (slice < 0) {
    tables.Fill_Matrix(A);
  } else {
    ok = tables.Init_Times(slice) && tables.Fill_Slice(A, slice);
  }
  if (!ok) {
    std::fprintf(stderr, "%s: error: not enough memory for a slice of %d steps.\n", prog.c_str(),
                 slice);
    return -5;
  }

  if (what != VECTOR_ONLY) {
    if (fmt.Integer && !dormund::Is_Integral(A, A.size())) {
      std::fprintf(stderr, "%s: warning: the matrix ", prog.c_str());
      std::fprintf(stderr, "has non-integer entries. Will be");
      std::fprintf(stderr, " rounded off\n");
    }
    if (fmt.Sparse) dormund::Write_Matrix_As_Sparse(A, size, fmt);
    else dormund::Write_Matrix_As_Full(A, size, fmt);
  }
  if (what != MATRIX_ONLY) {
    std::vector<double> Y;
    if (flag_trans >= 1 && flag_trans <= size) tables.Fill_Initial_Vector_Flat(Y, flag_trans - 1);
    else tables.Fill_Initial_Vector(Y);
    dormund::Write_Vector(Y, size, fmt);
  }
  return 0;
}

int main(int argc, char** argv) {
  // A graph too large for its matrices must end with a message, not abort.
  orv::Output_Guard out("dormund");
  try {
    return out.finish(run(out, argc, argv));
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: error: not enough memory.\n", argc > 0 ? argv[0] : "dormund");
    return out.finish(-5);
  }
}
