// xandrel: writes test interaction graphs (lines, cycles, stars, complete and
// complete bipartite graphs, random graphs), every weight 1.
#include <climits>
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "graphs.h"

namespace {

constexpr const char* PROG = "xandrel";
constexpr const char* VERSION = "v1.1";

void usage() {
  std::printf("Usage: %s [-t <type>] [-s <size>] ", PROG);
  std::printf("[-reverse] [-p proba] [-o <file>]");
  std::printf("\n\t[-full] [-h] [-?]\n");
  std::printf("  <type> : cycle (def) line star random Random complete komplete\n");
}

// "-s": a graph needs a node; a bipartite one a node in each part.
void take_size(orv::Args& args, Options& o) {
  if (o.type == Type::Bipartite) {
    // The message names the option even when the second size is missing.
    static constexpr char two[] = "%s: two size expected after -s when complete bipartite\n";
    if (!args.take_int(o.size, two)) return;
    if (o.size >= 1 && !args.take_int(o.size2, two)) return;
    if (o.size < 1 || o.size2 < 1 || o.size2 > INT_MAX - o.size) {
      std::printf(two, PROG);
      args.fail();
    }
  } else {
    static constexpr char one[] = "%s: size expected after -s\n";
    if (!args.take_int(o.size, one)) return;
    if (o.size < 1) {
      std::printf(one, PROG);
      args.fail();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  const orv::Args::Standard standard{usage, VERSION};
  Options o;
  std::string out_name;
  while (args.next()) {
    if (args.is("-t")) {
      std::string word;
      if (!args.take_string(word)) continue;
      if (!type_of(word, o.type)) std::fprintf(stderr, "%s: unrecognized graph type\n", PROG);
    } else if (args.is("-s")) {
      take_size(args, o);
    } else if (args.is("-p")) {
      static constexpr char bad[] = "%s: probability expected after -p\n";
      if (!args.take_real(o.p, bad)) continue;
      if (!(o.p >= 0 && o.p <= 1)) {
        std::printf(bad, PROG);
        args.fail();
      }
    } else if (args.is("-o")) {
      args.take_word(out_name, "%s: filename expected\n");
    } else if (args.is("-full")) {
      o.full = true;
    } else if (args.is("-reverse")) {
      o.reverse = true;
    } else if (args.is("-noloop")) {
      o.loops = false;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  if (!out_name.empty() && !out.redirect_stdout(out_name)) return out.finish(-1);
  write_graph(o);
  return out.finish(0);
}
