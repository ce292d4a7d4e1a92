// The EGL reader and the input lists of the topology on one transition with
// many input places, against a plain loop that tokenizes the same text and
// gathers each transition's input places in the same order. Two shapes of
// N places: "lines", N transitions of one place each into transition 1;
// "parallel", one line of N places from transition 1 into transition 2.
// Interleaved runs, medians, ranges and the ratio of the medians for each N:
// a ratio that stays put as N grows is a reader linear in the places.
//   egl_fanin_bench RUNS N...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../common/reader_bench.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

namespace {

std::string lines_text(int n) {
  std::string t = "Size <- " + std::to_string(n + 1) + "\n1 C 1.0 , 2 C 0.0 1 0.0 ;\n";
  for (int i = 2; i <= n + 1; ++i) t += std::to_string(i) + " E 1.0 , 1 C 0.5 1 0.0 ;\n";
  return t;
}

std::string parallel_text(int n) {
  std::string t = "Size <- 2\n1 C 1.0";
  for (int i = 0; i < n; ++i) t += " , 2 E 1.0 0";
  return t + " ;\n2 C 1.0 , 1 C 0.0 1 0.0 ;\n";
}

// Per transition (0-based), the upstream transitions of its input places:
// transitions from the highest number down, each line's places as written.
using Inputs = std::vector<std::vector<int>>;

// Enough of the language for these texts: a size, then lines of a
// transition and places, each a number, a one-letter law and its reals, a
// place with its token count and lags.
bool plain(const std::string& text, Inputs& in) {
  using K = bench::Tokens;
  K tk(text);
  tk.next();
  if (tk.kind != K::Word) return false;
  tk.next();
  tk.next();
  if (tk.kind != K::Int) return false;
  const auto size = static_cast<size_t>(tk.ival);
  tk.next();
  std::vector<std::vector<int>> lines(size);  // per transition, its places' targets
  while (tk.kind == K::Int) {
    const auto from = static_cast<size_t>(tk.ival - 1);
    tk.next();
    tk.next();  // the law
    while (tk.kind == K::Real) tk.next();
    while (tk.is(',')) {
      tk.next();
      lines[from].push_back(static_cast<int>(tk.ival - 1));
      tk.next();
      tk.next();
      while (tk.kind == K::Real) tk.next();
      tk.next();  // tokens
      while (tk.kind == K::Real) tk.next();
    }
    if (!tk.is(';')) return false;
    tk.next();
  }
  in.assign(size, {});
  for (size_t t = size; t-- > 0;)
    for (int to : lines[t]) in[static_cast<size_t>(to)].push_back(static_cast<int>(t + 1));
  return true;
}

Inputs reader_inputs(const orv::EventGraph& g) {
  Inputs in(g.T.size());
  for (size_t t = 0; t < g.T.size(); ++t)
    for (const orv::PLACE_DESC* p : g.T[t]->Inputs) in[t].push_back(p->Input_Id);
  return in;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s RUNS N...\n", argv[0]);
    return -1;
  }
  const int runs = std::atoi(argv[1]);
  for (int a = 2; a < argc; ++a) {
    const int n = std::atoi(argv[a]);
    for (int shape = 0; shape < 2; ++shape) {
      const std::string text = shape == 0 ? lines_text(n) : parallel_text(n);
      Inputs want;
      if (!plain(text, want)) return -1;
      {
        orv::EventGraphPtr g = orv::eg::Read_Network_Text(text);
        if (!g) return -1;
        orv::eg::topological_analysis(*g);
        if (reader_inputs(*g) != want) {
          std::fprintf(stderr, "the reader's input lists differ from the plain loop's\n");
          return -1;
        }
      }
      std::vector<double> reader, loop, ratio;
      for (int r = 0; r < runs; ++r) {
        auto t = std::chrono::steady_clock::now();
        Inputs in;
        plain(text, in);
        loop.push_back(bench::seconds_since(t));
        t = std::chrono::steady_clock::now();
        orv::EventGraphPtr g = orv::eg::Read_Network_Text(text);
        orv::eg::topological_analysis(*g);
        reader.push_back(bench::seconds_since(t));
        ratio.push_back(reader.back() / loop.back());
      }
      const bench::Stats rd = bench::stats(reader), pl = bench::stats(loop), q = bench::stats(ratio);
      std::printf("%-8s %8d places: reader %.4f s [%.4f..%.4f], plain %.4f s [%.4f..%.4f], "
                  "ratio %.2f (pairs %.2f..%.2f, %d runs), reader %.0f ns per place\n",
                  shape == 0 ? "lines" : "parallel", n, rd.median, rd.low, rd.high, pl.median,
                  pl.low, pl.high, rd.median / pl.median, q.low, q.high, runs,
                  rd.median * 1e9 / n);
    }
  }
  return 0;
}
