// oskel: splits a Petri net into an equational part, simulated by a generated
// firing-count module, and a discrete-event part, and writes the simulator.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "petri/pnl_reader.h"
#include "run.h"

namespace {

using oskel::kProg;

void usage() {
  std::printf("Usage: %s [-f <file>] [-bs <buf_size>] ", kProg);
  std::printf("[-scaling <int>] [-tmax <int>]\n\t[-testing] ");
  std::printf("[-tmp <dir>] [-o <file>] [-op <file>] [-oc <file>]\n\t");
  std::printf("[-kemp] [-O <int>] ");
  std::printf("[-nostats] [-novaltor] [-noYstatic]\n\t");
  std::printf("[-class] [-classname <name>] [-quelm] ");
  std::printf("[-distributed] [-split] [-debug]\n\t");
  std::printf("[-single_marking] [-h] [-?]");
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg, -2);
  orv::Args args(argc, argv, kProg);
  oskel::Options o;
  orv::gen::Gen_Context& gen = o.gen;
  const orv::Args::Standard standard{usage};
  while (args.next()) {
    if (args.is("-bs")) {
      args.take_int(gen.Buf_Size);
    } else if (args.is("-scaling")) {
      args.take_int(gen.Scale);
    } else if (args.is("-tmax")) {
      args.take_int(o.tmax);
    } else if (args.is("-f")) {
      args.take_string(o.code_file);
    } else if (args.is("-o")) {
      args.take_string(o.out_file);
    } else if (args.is("-oc")) {
      args.take_string(o.module_file);
    } else if (args.is("-op")) {
      args.take_string(o.program_file);
    } else if (args.is("-tmp")) {
      // A final "-tmp" without its value is ignored.
      if (args.has_value() && args.take_string(o.tmp_dir) && !o.tmp_dir.empty() &&
          o.tmp_dir.back() != '/')
        o.tmp_dir += '/';
    } else if (args.is("-O")) {
      if (args.take_int(o.opt_level)) gen.Optimize = 1;
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-testing")) {
      o.testing = 1;
    } else if (args.is("-noYstatic")) {
      gen.Y_Static = 0;
    } else if (args.is("-novaltor")) {
      gen.No_Valtor = 1;
    } else if (args.is("-nostats")) {
      gen.No_Stats = 1;
    } else if (args.is("-classname")) {
      args.take_string(o.class_name);
    } else if (args.is("-kemp")) {
      gen.Kemp = 1;
    } else if (args.is("-class")) {
      o.valtor_class = 1;
    } else if (args.is("-distributed")) {
      o.distributed = 1;
    } else if (args.is("-single_marking")) {
      o.single_marking = 1;
    } else if (args.is("-quelm")) {
      o.quelm = 1;
    } else if (args.is("-split")) {
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);
  return out.finish(oskel::Run(o, out));
}
