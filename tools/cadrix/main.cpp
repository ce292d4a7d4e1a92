// cadrix: waiting times of a queue with Poisson arrivals served at the
// firing epochs of one transition of a deterministic event graph, through
// the chain flattener, matrix writer, transient analysis and queue analysis.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "run.h"

namespace {

using cadrix::kProg;

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]\n\t-lambda <real> ", kProg);
  std::printf("-trans_nb <int> -input_nb <int> -event_nb <int>\n\t");
  std::printf("[-xfrom <real>] [-xto <real>] [-xval <real>] ");
  std::printf("[-xstep <real>] [-queue]\n\t[-log] [-moment <int>] ");
  std::printf("[-stationary] [-c] [-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  // A results file that cannot be written is the status of a data file that
  // cannot be written.
  orv::Output_Guard out(kProg, -2);
  orv::Args args(argc, argv, kProg);
  cadrix::Options o;
  cadrix::Distribution& d = o.d;
  const orv::Args::Standard standard{usage};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(o.file);
    } else if (args.is("-o")) {
      args.take_string(o.out_file);
    } else if (args.is("-keep")) {
      o.keep = 1;
    } else if (args.is("-c")) {
      o.checking = 1;
    } else if (args.is("-stationary")) {
      o.stationary = 1;
    } else if (args.is("-queue")) {
      d.Queue = true;
    } else if (args.is("-log")) {
      d.Log = true;
    } else if (args.is("-moment")) {
      // The queue analysis knows the moments 0, 1 and 2.
      if (args.take_int(d.Order)) {
        d.Moment = true;
        if (d.Order < 0 || d.Order > 2) {
          std::printf("%s: integer expected after %s\n", kProg, "-moment");
          args.fail();
        }
      }
    } else if (args.is("-trans_nb")) {
      args.take_int(o.trans_nb);
    } else if (args.is("-input_nb")) {
      args.take_int(o.input_nb);
    } else if (args.is("-event_nb")) {
      args.take_int(o.event_nb);
    } else if (args.is("-lambda")) {
      args.take_real(d.Lambda);
    } else if (args.is("-xfrom")) {
      args.take_real(d.x_Start);
    } else if (args.is("-xto")) {
      args.take_real(d.x_Stop);
    } else if (args.is("-xval")) {
      if (args.take_real(d.x_Val)) d.Value = true;
    } else if (args.is("-xstep")) {
      args.take_real(d.x_Step);
    } else if (args.is("-debug")) {
      orv::eg::Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);
  // Declared after out, it ends the work files after out's finish.
  cadrix::Work_Files work;
  return out.finish(cadrix::Run(o, out, work));
}
