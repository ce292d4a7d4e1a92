// quorrel: waiting times of a queue with Poisson arrivals and a known
// sequence of service epochs, for one customer or in the stationary regime.
#include <cmath>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "queueing/queue.h"
#include "waiting.h"

namespace qn = orv::qn;

namespace {

const char* const kProg = "quorrel";

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]\n\t", kProg);
  std::printf("[-lambda <real>] [-customer <int>] [-stationary]\n\t");
  std::printf("[-xfrom <real>] [-xto <real>] [-xval <real>] ");
  std::printf("[-xstep <real>]\n\t");
  std::printf("[-queue] [-log] [-moment <int>] ");
  std::printf("[-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  orv::Args args(argc, argv, kProg, stdout);
  const orv::Args::Standard standard{usage, "v1.0"};
  const char* file_fmt = "%s: filename expected\n";
  Options o;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_word(o.Data_File_Name, file_fmt);
    } else if (args.is("-o")) {
      args.take_word(o.Result_File_Name, file_fmt);
    } else if (args.is("-lambda")) {
      args.take_real(o.lambda);
    } else if (args.is("-customer")) {
      o.has_customer = args.take_int(o.customer);
    } else if (args.is("-stationary")) {
      o.stationary = true;
    } else if (args.is("-xfrom")) {
      args.take_real(o.first);
    } else if (args.is("-xto")) {
      args.take_real(o.last);
    } else if (args.is("-xstep")) {
      args.take_real(o.step);
    } else if (args.is("-xval")) {
      o.has_xval = args.take_real(o.xval);
    } else if (args.is("-queue")) {
      qn::Queue = true;
    } else if (args.is("-log")) {
      qn::Log = true;
    } else if (args.is("-nonewline")) {
      qn::NewLine = false;
    } else if (args.is("-moment")) {
      o.moment = args.take_int(o.order);
    } else if (args.is("-debug")) {
      qn::Debug = true;
    } else {
      args.standard(standard);
    }
  }
  // The version ends the run as a failure, the usage as a success.
  if (args.failed() || args.version_shown()) return out.finish(1);
  if (args.done()) return out.finish(0);
  // A negative rate or order would be computed into numbers that mean nothing.
  if (!std::isfinite(o.lambda) || o.lambda < 0) {
    std::fprintf(stderr, "%s: bad lambda value\n", kProg);
    return out.finish(1);
  }
  if (o.moment && o.order < 0) {
    std::fprintf(stderr, "%s: bad moment order\n", kProg);
    return out.finish(1);
  }
  return out.finish(Waiting_Times(out, o));
}
