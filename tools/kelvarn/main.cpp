// kelvarn: writes a stand-alone C program that simulates a Bernoulli product
// of max-plus matrices: each step draws a matrix and multiplies the state by
// it, each product unrolled into assignments; the program prints the growth
// rate of every component, averaged over replications.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "generate.h"
#include "maxplus/bernoulli.h"

namespace {

using namespace orv::mp;

constexpr const char* PROG = "kelvarn";
constexpr const char* VERSION = "1.1 (sparse matrices)";

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]", PROG);
  std::printf(" [-nevt <int>] [-nrep <int>] [-gradient]\n\t[-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  const orv::Args::Standard standard{usage, VERSION};
  std::string file, out_name;
  int steps = 100000;
  int replicates = 1;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_input(file);
    } else if (args.is("-o")) {
      args.take_string(out_name);
    } else if (args.is("-nevt") || args.is("-nrep")) {
      const bool nevt = args.is("-nevt");
      int value = 0;
      if (!args.take_int(value)) continue;
      // Counts of steps and replications.
      if (value < 0) {
        std::printf("%s: integer expected after %s\n", PROG, nevt ? "-nevt" : "-nrep");
        args.fail();
        continue;
      }
      (nevt ? steps : replicates) = value;
    } else if (args.is("-gradient")) {
      // The simulator would print gradients it never computes.
      std::fprintf(stderr, "%s: error: gradients are not computed. No code generated.\n", PROG);
      args.fail();
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  Bernoulli_Product P = Read_Bernoulli_Product(stdin);
  if (!P) {
    std::fprintf(stderr, "%s: bad input data. No code generated.\n", PROG);
    return out.finish(-2);
  }
  sort_probas(*P);
  if (!out_name.empty() && !out.redirect_stdout(out_name, false)) {
    std::fprintf(stderr, "%s: error opening file %s\n", PROG, out_name.c_str());
    out.report_open_failure(out_name);
    return out.finish(-1);
  }
  gen_c_code(stdout, *P, steps, replicates);
  return out.finish(0);
}
