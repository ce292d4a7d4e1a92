// brodel: throughput bounds of a Petri net with exponential transitions,
// through a linear program written for lp_solve (and solved unless
// "-linprog" is given).
#include <cstdio>
#include <string>

#include "brodel.h"
#include "common/args.h"
#include "common/output_guard.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

int main(int argc, char** argv) {
  orv::brodel::Brodel b;
  orv::Output_Guard out(b.Prog);
  orv::Args args(argc, argv, b.Prog);
  std::string file, out_file, objective;
  bool check = false, variances = true, linprog = false;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] [-check]", argv[0]);
    std::fputs(" [-o <file>] [-min] [-linprog]", stdout);
    std::fputs("\n\t[-objective <string>] [-mufile <file>] ", stdout);
    std::fputs("[-Bfile <file>] [-bound <int>]\n\t[-verbose] ", stdout);
    std::fputs("[-novar] [-debug] [-h] [-?]\n", stdout);
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-verbose")) {
      b.Verbose = true;
    } else if (args.is("-check")) {
      check = true;
    } else if (args.is("-novar")) {
      variances = false;
    } else if (args.is("-linprog")) {
      linprog = true;
    } else if (args.is("-min")) {
      b.Minimum = true;
    } else if (args.is("-mufile")) {
      if (args.take_string(b.Mu_File)) b.Other_Mu = true;
    } else if (args.is("-Bfile")) {
      if (args.take_string(b.B_File)) b.Other_Bounds = true;
    } else if (args.is("-bound")) {
      // A marking is never negative, so neither is a bound on it.
      if (args.take_int(b.Bound)) {
        if (b.Bound < 0) {
          std::printf("%s: integer expected after %s\n", b.Prog, "-bound");
          args.fail();
        } else {
          b.Global_Bound = true;
        }
      }
    } else if (args.is("-objective")) {
      args.take_string(objective);
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::pn::NetPtr net = orv::pn::Read_Network(file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", b.Prog);
    return out.finish(-4);
  }
  if (orv::pn::Debug) orv::pn::dumpe_network(*net);
  // Arcs through submodel ports belong in the equations too.
  if (net->Nb_Submodels > 0) orv::pn::Flatten_PN(*net, 1);
  int fits = orv::brodel::check_network(b, *net);
  if (fits < 0) return out.finish(-1);
  if (fits == 0) {
    std::fputs("The network does not satisfy the", stderr);
    std::fputs(" right assumptions. Sorry.\n", stderr);
    return out.finish(-3);
  }
  if (!linprog)
    return out.finish(orv::brodel::gen_solve_analyze(b, *net, objective, variances, check));

  if (!out_file.empty()) {
    b.Lin_Prog = out.open(out_file, false);
    if (!b.Lin_Prog) {
      std::fprintf(stderr, "%s: Error opening file %s.\n", b.Prog, out_file.c_str());
      out.report_open_failure(out_file);
      return out.finish(-1);
    }
  }
  orv::brodel::gen_lin_code(b, *net, objective, variances);
  return out.finish(0);
}
