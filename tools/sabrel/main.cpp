// sabrel: bounds on the marking of each place (or of the whole net) from the
// state equation, through lp_solve; optionally a bound file for brodel.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"
#include "sabrel.h"

int main(int argc, char** argv) {
  orv::sabrel::Run run;
  orv::Output_Guard out(run.Prog);
  orv::Args args(argc, argv, run.Prog);
  std::string file, out_file, b_file;
  bool single_place = false;
  int place = 0;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] ", argv[0]);
    std::fputs("[-debug] [-o <file>] [-min] [-total]\n\t", stdout);
    std::fputs("[-place <int>] [-Bfile <file>]\n", stdout);
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-Bfile")) {
      args.take_string(b_file);
    } else if (args.is("-place")) {
      if (args.take_int(place)) single_place = true;
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-min")) {
      run.Minimum = true;
    } else if (args.is("-total")) {
      run.Total = true;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::pn::NetPtr net = orv::pn::Read_Network(file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No analysis.\n", run.Prog);
    return out.finish(-2);
  }
  if (orv::pn::Debug) orv::pn::dumpe_network(*net);
  // Arcs through submodel ports belong in the equations too.
  if (net->Nb_Submodels > 0) orv::pn::Flatten_PN(*net, 1);
  if (orv::sabrel::Has_Weights_Or_Inhibitors(*net)) {
    std::printf("%s: the networks has weights and/or inhibitor arcs.", run.Prog);
    std::fputs(" Can't handle it.\n", stdout);
    return out.finish(-3);
  }
  if (run.Total) b_file.clear();
  if (!out_file.empty() && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", run.Prog, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-1);
  }
  // Place numbers are given from 1.
  const long long index = static_cast<long long>(place) - 1;
  if (!orv::sabrel::gen_solve_analyze(run, *net, single_place, index)) return out.finish(-1);
  if (!b_file.empty() && !orv::sabrel::write_B_file(out, run, *net, b_file, single_place, index))
    return out.finish(-1);
  // The bounds found stand when another place's program could not be written.
  if (run.Failed) out.keep_on_failure();
  return out.finish(run.Failed ? 1 : 0);
}
