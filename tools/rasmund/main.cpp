// rasmund: regenerative simulation of a fluid queue of constant capacity fed
// by an on-off source; tail of the workload over a range of levels, mean
// cycle time and proportion of empty time, with confidence intervals.
#include <cmath>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "fluid.h"

namespace {

using namespace orv::rasmund;

void usage() {
  std::printf("Usage: %s [-o <file>]\n\t", kProg);
  std::printf("[-on_law <law>] [-off_law <law>] ");
  std::printf("[-peak_rate <real>] [-capacity <real>]\n\t[-W0 <real>] ");
  std::printf("[-nbcycles <int>]\n\t");
  std::printf("[-xfrom <real>] [-xto <real>] [-xval <real>] ");
  std::printf("[-xstep <real>]\n\t");
  std::printf("[-queue] [-log] [-nonewline] [-traj] [-confidence] ");
  std::printf("[-debug] [-h] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  orv::Args args(argc, argv, kProg);
  const orv::Args::Standard standard{usage, "v1.0"};
  SOURCE src;
  src.On_Law = make_law('E', {1.0});
  src.Off_Law = make_law('E', {1.0});
  RANGE_INFO R;
  double capacity = 1.0;
  int nbcycles = 100000;
  bool traj = false, conf = false, law_error = false;
  std::string out_name;
  // A value that reads but lies outside the option's range.
  auto expect = [&](const std::string& option, bool in_range, const char* kind) {
    if (in_range) return;
    std::printf("%s: %s expected after %s\n", kProg, kind, option.c_str());
    args.fail();
  };
  auto finite = [&](double& v) {
    const std::string option = args.word();
    if (args.take_real(v)) expect(option, std::isfinite(v), "real");
  };
  while (args.next()) {
    if (args.is("-o")) {
      args.take_string(out_name);
    } else if (args.is("-on_law") || args.is("-off_law")) {
      if (!args.has_value()) {
        std::string missing;
        args.take_string(missing);  // "argument missing"
        continue;
      }
      orv::LawPtr law;
      const int next = Parse_Law_From_Args(argv, args.index() + 1, argc, law);
      // After a bad law the scan goes on from its letter; the run does not
      // simulate a model other than the one asked for.
      if (next < 0) {
        law_error = true;
        continue;
      }
      (args.is("-on_law") ? src.On_Law : src.Off_Law) = std::move(law);
      args.resume_at(next);
    } else if (args.is("-peak_rate")) {
      args.take_real(src.Peak_Rate);
    } else if (args.is("-capacity")) {
      args.take_real(capacity);
    } else if (args.is("-nbcycles")) {
      // At least one pair is simulated.
      if (args.take_int(nbcycles)) expect("-nbcycles", nbcycles >= 1, "integer");
    } else if (args.is("-xfrom")) {
      finite(R.Start);
    } else if (args.is("-xto")) {
      finite(R.Stop);
    } else if (args.is("-xstep")) {
      finite(R.Step);
    } else if (args.is("-xval")) {
      finite(R.Start);
      R.Stop = R.Start;
    } else if (args.is("-queue")) {
      R.Queue = true;
    } else if (args.is("-log")) {
      R.Log = true;
    } else if (args.is("-log10")) {
      R.Log10 = true;
    } else if (args.is("-nonewline")) {
      NewLine = false;
    } else if (args.is("-traj")) {
      traj = true;
    } else if (args.is("-confidence")) {
      conf = true;
    } else if (args.is("-debug")) {
      Debug = true;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(1);
  if (args.done()) return out.finish(0);
  if (law_error) return out.finish(1);
  return out.finish(Run(src, R, capacity, nbcycles, traj, conf, out_name, out));
}
