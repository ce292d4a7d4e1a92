// lorvat: reads a PNL net and writes it again as PNL, optionally flattened
// and with every law replaced by the constant of its mean.
#include <cmath>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/law.h"
#include "common/output_guard.h"
#include "common/pnl_writer.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

namespace {

const char* const PROG = "lorvat";

// A law whose mean is not finite (a heavy tail) has no constant to stand for
// it: refuse rather than write a number the reader cannot take back.
bool determinize_law(orv::LAW_DESC* law, const char* kind, int number) {
  if (!law) return true;
  double m = orv::Mean(*law);
  if (!std::isfinite(m)) {
    std::fprintf(stderr, "%s: error: the law of %s %d has no finite mean. No translation.\n",
                 PROG, kind, number + 1);
    return false;
  }
  law->Name = 'C';
  if (law->Parameters.empty()) law->Parameters.push_back(0.0);
  law->Parameters[0] = m;
  return true;
}

bool Determinize_PN(orv::pn::PetriNet& net) {
  for (int i = 0; i < net.Nb_Trans; ++i)
    if (!determinize_law(net.T[i].Tr_Law.get(), "transition", i)) return false;
  for (int j = 0; j < net.Nb_Places; ++j)
    if (!determinize_law(net.P[j].Pl_Law.get(), "place", j)) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // A file that cannot be written fails the run as one that cannot be opened.
  orv::Output_Guard out(PROG, -2);
  orv::Args args(argc, argv, PROG);
  std::string in_file, out_file;
  bool flatten = false, determinize = false, expand_names = true;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] [-determinize] ", PROG);
    std::printf("[-flatten] [-noExpandNames]\n\t[-o <file>] [-debug] ");
    std::printf("[-h] [-?]\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      args.take_string(out_file);
    } else if (args.is("-flatten")) {
      flatten = true;
    } else if (args.is("-determinize")) {
      determinize = true;
      flatten = true;
    } else if (args.is("-noExpandNames")) {
      expand_names = false;
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::pn::NetPtr net = orv::pn::Read_Network(in_file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", PROG);
    return out.finish(-1);
  }
  if (flatten) orv::pn::Flatten_PN(*net, expand_names ? 1 : 0);
  if (determinize && !Determinize_PN(*net)) return out.finish(-1);

  // Only a net that is ready to be written may replace an existing file
  // (which may be the input itself).
  if (!out_file.empty() && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-2);
  }
  return out.finish(orv::Write_PN_As_PNL(*net, stdout, PROG) == 1 ? 0 : -2);
}
