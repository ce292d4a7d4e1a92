// voltag: bounds on the growth rate of a random heap of pieces, from the
// Markov chain of the shapes of the heap's top seen from column 0, cut at a
// given number of states; or that chain, dumped as Markov-chain text.
#include <cstdio>
#include <string>

#include "chain.h"
#include "common/args.h"
#include "common/output_guard.h"
#include "markov/markov.h"

namespace {

using orv::voltag::kProg;

void usage() {
  std::printf("usage: %s [-f inputfile] [-o outputfile] [-nmax int]", kProg);
  std::printf("\n\t[-stats] [-dump] [-debug] [-h] [-help] [-?]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  orv::voltag::Options o;
  orv::Args a(argc, argv, kProg, stdout);
  const orv::Args::Standard standard{usage, orv::ORV_VERSION, true};
  while (a.next()) {
    if (a.is("-f")) {
      a.take_string(o.in_name);
    } else if (a.is("-o")) {
      a.take_string(o.out_name);
    } else if (a.is("-nmax")) {
      a.take_present_int(o.nmax);
    } else if (a.is("-progress")) {
      o.progress = true;
    } else if (a.is("-stats")) {
      o.stats = true;
    } else if (a.is("-dump")) {
      o.dump = true;
    } else if (a.is("-debug")) {
      orv::mc::Debug = true;
    } else {
      a.standard(standard);
    }
  }
  if (a.failed()) return out.finish(-1);
  if (a.done()) return out.finish(0);
  if (o.nmax < 1 || o.nmax > orv::mc::kMaxSize) {
    std::printf("%s: integer expected after %s\n", kProg, "-nmax");
    return out.finish(-1);
  }
  return out.finish(orv::voltag::Run(o, out));
}
