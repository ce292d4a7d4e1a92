// yarrisk: simulates a stochastic event graph by the dater recursion,
// in-process or (-compile, or for waiting times) through generated and
// compiled C code, and prints each transition's last date and cycle time.
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "run.h"

namespace {

using yarrisk::kProg;

void usage() {
  std::printf("Usage: %s [-f <file>] [-nevt <int>] [-bs <int>]", kProg);
  std::printf(" [-compile] [-keep]\n\t[-c] [-from <int>] [-to <int>]");
  std::printf(" [-debug]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  orv::Args args(argc, argv, kProg);
  yarrisk::Options o;
  const orv::Args::Standard standard{usage};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(o.file);
    } else if (args.is("-bs")) {
      args.take_int(o.buf_size);
    } else if (args.is("-nevt")) {
      // A run of a negative number of events means nothing.
      if (args.take_int(o.nevt) && o.nevt < 0) {
        std::printf("%s: integer expected after %s\n", kProg, "-nevt");
        args.fail();
      }
    } else if (args.is("-from")) {
      if (args.take_int(o.from)) o.waiting = 1;
    } else if (args.is("-to")) {
      if (args.take_int(o.to)) o.waiting = 1;
    } else if (args.is("-debug")) {
      orv::eg::Debug = 1;
    } else if (args.is("-c")) {
      o.checking = 1;
    } else if (args.is("-compile")) {
      o.compile = 1;
    } else if (args.is("-keep")) {
      o.keep = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);
  return out.finish(yarrisk::Run(o));
}
