// stelvic: a Poisson stream routed periodically to several queues of
// constant service times; the mean workload (or waiting time) one customer
// finds, or the weighted stationary average over the queues.
#include <cmath>
#include <cstdio>
#include <string>

#include "analysis.h"
#include "common/args.h"
#include "common/output_guard.h"
#include "queueing/queue.h"

namespace qn = orv::qn;
using stelvic::kProg;
using stelvic::Options;

namespace {

void usage(const char* name) {
  std::printf("Usage: %s [-f <file>] [-o <file>]\n\t", name);
  std::printf("[-lambda <real>] [-customer <int>] [-waiting] [-global]\n\t");
  std::printf("[-force] [-trace] [-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  qn::Tool_Name = kProg;
  const char* name = argc > 0 ? argv[0] : kProg;
  Options o;
  orv::Args a(argc, argv, name, stdout);
  const char* file_fmt = "%s: filename expected\n";
  const orv::Args::Standard standard{[&] { usage(name); }, "v1.0", false, kProg};
  while (a.next()) {
    if (a.is("-f")) {
      a.take_word(o.Data_File_Name, file_fmt);
    } else if (a.is("-o")) {
      a.take_word(o.Result_File_Name, file_fmt);
    } else if (a.is("-lambda")) {
      // 0 takes the file's rate; a negative or endless one is no rate.
      if (a.take_real(o.lambda) && !(std::isfinite(o.lambda) && o.lambda >= 0)) {
        std::printf("%s: real expected after %s\n", name, "-lambda");
        a.fail();
      }
    } else if (a.is("-customer")) {
      a.take_int(o.customer);
    } else if (a.is("-waiting")) {
      o.waiting = true;
    } else if (a.is("-global")) {
      o.global = true;
    } else if (a.is("-force")) {
      o.force = true;
    } else if (a.is("-trace")) {
      o.trace = true;
    } else if (a.is("-debug")) {
      qn::Debug = true;
      o.trace = true;
    } else {
      a.standard(standard);
    }
  }
  // "-v" ends the run as an argument error does.
  if (a.failed() || a.version_shown()) return out.finish(1);
  if (a.done()) return out.finish(0);
  return out.finish(stelvic::run(o, out));
}
