// vantrel: an ATM network configuration as one queueing-network simulation
// model: sources with leaky buckets, the nodes of every switch as queues
// with per-class routing, links and sinks.
#include <cstdio>
#include <memory>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "model.h"

namespace {

constexpr double kMaxTmax = 1e15;

}  // namespace

int main(int argc, char** argv) {
  using namespace orv::atm;
  orv::Output_Guard out("vantrel");
  const char* name = argc > 0 ? argv[0] : "vantrel";
  orv::Args args(argc, argv, name, stderr);
  // Every bad word is reported; the usage text ends the run with -1.
  args.keep_going();
  const orv::Args::Standard standard{[&] {
                                       std::printf("usage: %s [-f inputfile] [-o outfile]", name);
                                       std::printf(" [-tmax real] [-allbounded]\n");
                                     },
                                     nullptr, true};
  Options o;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_word(o.in_name, "%s: usage:filename expected after %s\n");
    } else if (args.is("-o")) {
      args.take_word(o.out_name, "%s: usage:filename expected after %s\n");
    } else if (args.is("-tmax")) {
      // A horizon is a positive time the model's TMAX line can hold as
      // written ("%12f"): nan, infinities and huge values are no horizon.
      const char* v = args.value();
      if (v != nullptr && orv::read_real(v, o.tmax) && o.tmax > 0 && o.tmax <= kMaxTmax) {
        args.resume_at(args.index() + 2);
      } else {
        std::fprintf(stderr, "%s: usage: real expected after -tmax\n", kTag);
        args.fail();
      }
    } else if (args.is("-allbounded")) {
      o.allbounded = true;
    } else if (args.is("-debug")) {
      o.debug = true;
    } else {
      args.standard(standard);
    }
  }
  if (args.done() || args.failed()) return out.finish(-1);

  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!o.in_name.empty()) {
    owned.reset(std::fopen(o.in_name.c_str(), "r"));
    if (!owned) {
      std::fprintf(stderr, "%s: could not open file %s\n", kTag, o.in_name.c_str());
      return out.finish(-1);
    }
    in = owned.get();
  }
  CONFIG cf;
  // Messages of the reading stay out of the model, which may be stdout.
  if (!Read_Config(in, cf, stderr)) return out.finish(-1);
  owned.reset();

  FILE* f = stdout;
  if (!o.out_name.empty() && !(f = out.open(o.out_name))) return out.finish(-1);
  // A source without its delay makes a model that simulates nothing sound.
  return out.finish(Write_Model(cf, o, f) ? 0 : -1);
}
