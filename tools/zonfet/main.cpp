// zonfet: bounds on the growth rate of random products of two max-plus
// matrices, as a table over the probability of the first or as polynomials
// in the probability of the second, or by enumerating every product.
#include <cstdio>
#include <new>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "maxplus/bernoulli.h"
#include "zonfet.h"

namespace {

using namespace orv;
using namespace orv::zonfet;

constexpr const char* PROG = "zonfet";
constexpr const char* VERSION = "1.2 (sparse matrices)";

void usage() {
  std::printf("usage: %s [-f inputfile] [-o outputfile] [-nmax int]", PROG);
  std::printf(" [-order int]");
  std::printf("\n\t[-exact] [-numeric]");
  std::printf("\n\t[-pval <real>] [-pfrom <real>]");
  std::printf(" [-pto <real>] [-pstep <real>]");
  std::printf("\n\t[-maple] [-v] [-debug] [-h] [-help] [-?]\n");
}

// A value of p is a probability.
bool take_probability(Args& args, double& p) {
  const std::string option = args.word();
  if (!args.take_real(p)) return false;
  if (p >= 0 && p <= 1) return true;
  std::printf("%s: real expected after %s\n", PROG, option.c_str());
  args.fail();
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Output_Guard out(PROG);
  Args args(argc, argv, PROG);
  std::string out_name;
  int n = 10;
  int order = 1;
  bool numeric = false;
  bool maple = false;
  bool exact = false;
  RANGE_INFO range;
  const Args::Standard standard{usage, VERSION, true};
  std::string file;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_input(file);
    } else if (args.is("-o")) {
      args.take_string(out_name);
    } else if (args.is("-nmax") || args.is("-order")) {
      const bool horizon = args.is("-nmax");
      int value = 0;
      if (!args.take_int(value)) continue;
      // Both count factors: the bounds divide by the horizon, and an order
      // below 1 splits nothing off.
      if (value < 1) {
        std::printf("%s: integer expected after %s\n", PROG, horizon ? "-nmax" : "-order");
        args.fail();
      }
      (horizon ? n : order) = value;
    } else if (args.is("-numeric")) {
      numeric = true;
    } else if (args.is("-pval")) {
      take_probability(args, range.Start);
      range.Stop = range.Start;
      numeric = true;
    } else if (args.is("-pfrom")) {
      take_probability(args, range.Start);
      numeric = true;
    } else if (args.is("-pto")) {
      take_probability(args, range.Stop);
      numeric = true;
    } else if (args.is("-pstep")) {
      args.take_real(range.Step);
      numeric = true;
    } else if (args.is("-maple")) {
      maple = true;
    } else if (args.is("-exact")) {
      exact = true;
    } else if (args.is("-debug")) {
      mp::Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  mp::Bernoulli_Product P = mp::Read_Bernoulli_Product(stdin);
  if (!P) {
    std::fprintf(stderr, "%s: bad input data. No computation.\n", PROG);
    return out.finish(-2);
  }
  if (!exact && P->Nb_Matrices != 2) {
    std::printf("%s: error: can compute only for two matrices. ", PROG);
    std::printf("%d encountered.\n", P->Nb_Matrices);
    return out.finish(-4);
  }
  // A range that cannot be walked is refused before anything is written.
  const bool ranged = exact ? P->Nb_Matrices == 2 : numeric;
  if (ranged && !Check_Range(range, PROG)) return out.finish(-1);
  if (!out_name.empty() && !out.redirect_stdout(out_name, false)) {
    std::fprintf(stderr, "%s: could not open file %s\n", PROG, out_name.c_str());
    out.report_open_failure(out_name);
    return out.finish(-1);
  }

  try {
    if (exact) {
      Compute_Exact(*P, n, range, stdout);
    } else {
      auto A = mp::Convert_SP_Matrix_To_Full(*P->A[0]);
      auto B = mp::Convert_SP_Matrix_To_Full(*P->A[1]);
      if (!A || !B) throw std::bad_alloc();
      Print_Bounds(Compute_Bounds_Order(*A, *B, order, n), numeric, range, maple, true, stdout);
      if (order == 1) Print_Bounds(Compute_Bounds(*A, *B, n), numeric, range, maple, false,
                                      stdout);
    }
  } catch (const std::bad_alloc&) {
    std::printf("%s: error: could not allocate space. No analysis.\n", PROG);
    return out.finish(-3);
  }
  return out.finish(0);
}
