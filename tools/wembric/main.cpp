// wembric: writes a Petri net that is an event graph as EGL.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "wembric.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"

int main(int argc, char** argv) {
  const char* prog = "wembric";
  orv::Output_Guard out(prog);
  orv::Args args(argc, argv, prog);
  std::string in_file, out_file;
  bool to_file = false;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] ", prog);
    std::printf("[-debug] [-o <file>]\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      to_file = args.take_string(out_file);
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
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog);
    return out.finish(-2);
  }
  // The arcs to submodel ports only become arcs of the places once the
  // hierarchy is flat; names stay plain so that EGL can read them.
  orv::pn::Flatten_PN(*net, 0);

  switch (orv::pn::Check_Event_Graph(*net)) {
    case orv::pn::Egl_Refusal::Inhibitor_Arcs:
      std::printf("The network has inhibitor arcs. ");
      std::printf("It cannot be an Event Graph.\n");
      return out.finish(-2);
    case orv::pn::Egl_Refusal::Weighted_Arcs:
      std::printf("The network has weighted arcs. ");
      std::printf("It cannot be an Event Graph.\n");
      return out.finish(-2);
    case orv::pn::Egl_Refusal::Not_An_Event_Graph:
      std::printf("This network is not an Event Graph. Check it!\n");
      return out.finish(-3);
    case orv::pn::Egl_Refusal::None:
      break;
  }

  if (to_file && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", prog, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-1);
  }
  orv::pn::dump_egl_code(stdout, *net, prog);
  return out.finish(0);
}
