// tarvin: writes a timed Petri net as the C fragments of a discrete-time
// simulator (the firing-count recursion), or, with -zel, only the list of
// the elements that keep it from being simulated.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "petri/pnl_reader.h"
#include "run.h"

namespace {

using tarvin::kProg;

void usage(const char* invoked) {
  std::printf("Usage: %s [-bs <buf_size>] [-f <file>] ", invoked);
  std::printf("[-scaling <int>]\n\t[-tb <time>] [-te <time>] ");
  std::printf("[-tmp <dir>] [-tmax <int>] [-testing]\n\t[-zel] [-o <file>] ");
  std::printf("[-noYstatic] [-disc_sources] [-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg, -2);
  orv::Args args(argc, argv, kProg);
  tarvin::Options o;
  tarvin::Settings& settings = o.settings;
  const orv::Args::Standard standard{[&] { usage(argv[0]); }};
  while (args.next()) {
    if (args.is("-bs")) {
      args.take_int(settings.Buf_Size);
    } else if (args.is("-scaling")) {
      args.take_int(o.scale);
    } else if (args.is("-tmax")) {
      // The simulator counts ticks from 0 up to the end: a negative length
      // gives it no tick to stop on.
      if (args.take_int(settings.Max_Time) && settings.Max_Time < 0) {
        std::printf("%s: integer expected after %s\n", kProg, "-tmax");
        args.fail();
      }
    } else if (args.is("-tb")) {
      if (args.take_int(settings.Trace_Start)) o.trace = 1;
    } else if (args.is("-te")) {
      if (args.take_int(settings.Trace_End)) o.trace = 1;
    } else if (args.is("-f")) {
      args.take_string(o.file);
    } else if (args.is("-o")) {
      args.take_string(o.out_file);
    } else if (args.is("-tmp")) {
      if (args.take_word(settings.Tmp_Dir, "%s: directory expected after %s\n") &&
          !settings.Tmp_Dir.empty() && settings.Tmp_Dir.back() != '/')
        settings.Tmp_Dir += '/';
    } else if (args.is("-disc_sources")) {
      o.disc_sources = 1;
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-testing")) {
      o.testing = 1;
    } else if (args.is("-zel")) {
      o.zel = 1;
    } else if (args.is("-noYstatic")) {
      settings.Y_Static = 0;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);
  return out.finish(tarvin::Run(o, out));
}
