// lustrem's dump against a plain loop writing the same lines: for each size,
// a random DAG of N tasks and 2N links (a third of them PROGRAM links) is
// read and layered once, then dumpe_network and the plain loop write to
// /dev/null in interleaved runs; medians, ranges, the ratio of the medians,
// and nanoseconds per byte printed. A ratio that stays put as N grows is a
// dump whose time follows its output, which grows with N squared.
//   lustrem_bench RUNS N...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "../common/reader_bench.h"
#include "taskgraph/tgl_reader.h"
#include "taskgraph/topology.h"

namespace {

std::string random_graph(int n) {
  std::mt19937 rng(static_cast<unsigned>(n));
  const char* laws[] = {"EXP(1.0)", "CST(2.0)", "ERL(3, 1.5)", "UNIF(1, 2.0)"};
  std::string text;
  for (int i = 0; i < n; ++i) text += "TASK t" + std::to_string(i) + " DURATION CST(1.0) END\n";
  for (int k = 0; k < 2 * n; ++k) {
    int a = static_cast<int>(rng() % n), b = static_cast<int>(rng() % n);
    if (a > b) std::swap(a, b);
    const std::string ends = " FROM t" + std::to_string(a) + " TO t" + std::to_string(b);
    if (k % 3 == 0 || a == b)
      text += "LINK l" + std::to_string(k) + " TYPE PROGRAM IS NECESSARY" + ends + " DEPTH " +
              std::to_string(rng() % 4) + " END\n";
    else
      text += "LINK l" + std::to_string(k) + " TYPE DATA IS NECESSARY" + ends + " DURATION " +
              laws[rng() % 4] + " END\n";
  }
  return text;
}

// The dump's text, taken once, cut into its lines.
std::vector<std::string> dump_lines(const orv::tg::Graph& g) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* mem = open_memstream(&buf, &len);
  orv::tg::dumpe_network(g, mem);
  std::fclose(mem);
  std::vector<std::string> lines;
  size_t at = 0;
  for (size_t i = 0; i < len; ++i) {
    if (buf[i] != '\n') continue;
    lines.emplace_back(buf + at, i + 1 - at);
    at = i + 1;
  }
  std::free(buf);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s RUNS N...\n", argv[0]);
    return -1;
  }
  const int runs = std::atoi(argv[1]);
  FILE* sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) return -1;
  for (int a = 2; a < argc; ++a) {
    const int n = std::atoi(argv[a]);
    orv::tg::GraphPtr g = orv::tg::Read_Network_Buffer(random_graph(n));
    if (!g) return -1;
    orv::tg::topological_analysis(*g);
    const std::vector<std::string> lines = dump_lines(*g);
    size_t bytes = 0;
    for (const std::string& l : lines) bytes += l.size();
    std::vector<double> dump, plain, ratio;
    for (int r = 0; r < runs; ++r) {
      auto t = std::chrono::steady_clock::now();
      for (const std::string& l : lines) std::fwrite(l.data(), 1, l.size(), sink);
      std::fflush(sink);
      plain.push_back(bench::seconds_since(t));
      t = std::chrono::steady_clock::now();
      orv::tg::dumpe_network(*g, sink);
      std::fflush(sink);
      dump.push_back(bench::seconds_since(t));
      ratio.push_back(dump.back() / plain.back());
    }
    const bench::Stats d = bench::stats(dump), p = bench::stats(plain), q = bench::stats(ratio);
    std::printf("%d tasks, %zu bytes: dump %.4f s [%.4f..%.4f], plain %.4f s [%.4f..%.4f], "
                "ratio %.2f (pairs %.2f..%.2f, %d runs), dump %.3f ns per byte\n",
                n, bytes, d.median, d.low, d.high, p.median, p.low, p.high, d.median / p.median,
                q.low, q.high, runs, d.median * 1e9 / static_cast<double>(bytes));
  }
  std::fclose(sink);
  return 0;
}
