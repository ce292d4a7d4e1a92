// xandrel: writes test interaction graphs (lines, cycles, stars, complete and
// complete bipartite graphs, random graphs), every weight 1.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"

namespace {

constexpr const char* PROG = "xandrel";
constexpr const char* VERSION = "v1.1";

enum class Type { Line, Cycle, Star, Random, Seeded_Random, Complete, Bipartite };

struct Options {
  Type type = Type::Cycle;
  int size = 2;
  int size2 = 2;  // second part of a complete bipartite graph
  double p = 0.5;
  bool full = false;
  bool reverse = false;
  bool loops = true;
};

void usage() {
  std::printf("Usage: %s [-t <type>] [-s <size>] ", PROG);
  std::printf("[-reverse] [-p proba] [-o <file>]");
  std::printf("\n\t[-full] [-h] [-?]\n");
  std::printf("  <type> : cycle (def) line star random Random complete komplete\n");
}

bool type_of(const std::string& word, Type& type) {
  static const struct {
    const char* word;
    Type type;
  } types[] = {{"line", Type::Line},       {"cycle", Type::Cycle},
               {"star", Type::Star},       {"random", Type::Random},
               {"Random", Type::Seeded_Random}, {"complete", Type::Complete},
               {"komplete", Type::Bipartite}};
  for (const auto& t : types)
    if (word == t.word) {
      type = t.type;
      return true;
    }
  return false;
}

int nodes(const Options& o) { return o.type == Type::Bipartite ? o.size + o.size2 : o.size; }

// Entry (i, j) before "-reverse"; random types draw here, in row order.
int entry(const Options& o, int n, int i, int j) {
  const bool loop = i == j && o.loops;
  switch (o.type) {
    case Type::Line: return loop || j == i + 1;
    case Type::Cycle: return loop || j == (i + 1) % n;
    case Type::Star:
      if (i == j) return loop;
      return j == n - 1 || i == n - 1;
    case Type::Complete: return 1;
    case Type::Bipartite: return loop || ((i < o.size) != (j < o.size));
    case Type::Random:
    case Type::Seeded_Random:
      if (loop) return 1;
      return static_cast<double>(random()) / 2147483647 < o.p;
  }
  return 0;
}

void write_graph(const Options& o) {
  const int n = nodes(o);
  if (!o.full) std::printf("sp\n");
  std::printf("%d\n", n);
  for (int i = 0; i < n; ++i) std::printf(" 1");
  std::printf("\n");
  if (o.type == Type::Seeded_Random) srandom(static_cast<unsigned>(std::time(nullptr)));
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      int e = entry(o, n, i, j);
      if (o.reverse) e = !e;
      if (o.full)
        std::printf("%d ", e);
      else if (e)
        std::printf("%d %d\n", i, j);
    }
    if (o.full) std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  Options o;
  std::string out_name;
  while (args.next()) {
    if (args.is("-t")) {
      std::string word;
      if (!args.take_string(word)) return -1;
      if (!type_of(word, o.type)) std::fprintf(stderr, "%s: unrecognized graph type\n", PROG);
    } else if (args.is("-s")) {
      // A graph needs a node; a bipartite one a node in each part.
      if (o.type == Type::Bipartite) {
        // The message names the option even when the second size is missing.
        static constexpr char two[] = "%s: two size expected after -s when complete bipartite\n";
        if (!args.take_int(o.size, two)) return -1;
        if (o.size >= 1 && !args.take_int(o.size2, two)) return -1;
        if (o.size < 1 || o.size2 < 1 || o.size2 > INT_MAX - o.size) {
          std::printf(two, PROG);
          return -1;
        }
      } else {
        static constexpr char one[] = "%s: size expected after -s\n";
        if (!args.take_int(o.size, one)) return -1;
        if (o.size < 1) {
          std::printf(one, PROG);
          return -1;
        }
      }
    } else if (args.is("-p")) {
      static constexpr char bad[] = "%s: probability expected after -p\n";
      if (!args.take_real(o.p, bad)) return -1;
      if (!(o.p >= 0 && o.p <= 1)) {
        std::printf(bad, PROG);
        return -1;
      }
    } else if (args.is("-o")) {
      if (!args.take_word(out_name, "%s: filename expected\n")) return -1;
    } else if (args.is("-full")) {
      o.full = true;
    } else if (args.is("-reverse")) {
      o.reverse = true;
    } else if (args.is("-noloop")) {
      o.loops = false;
    } else if (args.is("-v")) {
      std::printf("%s (Version %s)\n", PROG, VERSION);
      return out.finish(0);
    } else if (args.is("-h") || args.is("-?")) {
      usage();
      return out.finish(0);
    }
  }
  if (!out_name.empty() && !out.redirect_stdout(out_name)) return -1;
  write_graph(o);
  return out.finish(0);
}
