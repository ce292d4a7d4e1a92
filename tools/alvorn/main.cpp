// alvorn: reads a PNL net with the reader's trace on and dumps it.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "petri/pnl_reader.h"

int main(int argc, char** argv) {
  const char* prog = "alvorn";
  orv::Output_Guard out(prog);
  orv::Args args(argc, argv, prog);
  const orv::Args::Standard standard{
      [&] { std::printf("Usage: %s [-f <file>] [-?] [-h] \n", argv[0]); }};
  std::string file;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-yydebug")) {
      // The reader turns the parser trace off each time it reads.
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::pn::Debug = 1;
  orv::pn::NetPtr net = orv::pn::Read_Network(file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network.\n", prog);
    return out.finish(-1);
  }
  orv::pn::dumpe_network(*net);
  return out.finish(0);
}
