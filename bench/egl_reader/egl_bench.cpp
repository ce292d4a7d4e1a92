// The EGL reader and its topological analysis.
//   egl_bench FILE                 read and layer once, times of each
//   egl_bench -compare RUNS FILE   Read_Network against a plain parser of the
//                                  same file, each reading it from the path:
//                                  interleaved runs, medians, ranges, the
//                                  ratio, heap bytes per object (transition or place)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../common/reader_bench.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

namespace {

// What a plain parser keeps of a graph: every transition and place with its
// names, law, tokens and lags, the variable parts in shared pools.
struct Plain_Graph {
  struct Obj {
    char kind, law;
    int id, tokens;  // a place's id is its downstream transition
    unsigned name_at, name_len, first_param, nb_params, first_lag;
  };
  int size = 0;
  std::vector<Obj> objs;
  std::vector<double> params, lags;
  std::string names;
};

using K = bench::Tokens;

void names(K& tk, Plain_Graph& g, Plain_Graph::Obj& o) {
  o.name_at = static_cast<unsigned>(g.names.size());
  while (tk.kind == K::Str) {
    g.names.append(tk.text, tk.len);
    g.names.push_back('\0');
    tk.next();
  }
  o.name_len = static_cast<unsigned>(g.names.size()) - o.name_at;
}

void reals(K& tk, std::vector<double>& into) {
  while (tk.kind == K::Real) {
    into.push_back(tk.rval);
    tk.next();
  }
}

// A law's parameters go to the pool in written order; IPP's sub-laws follow
// its rates there.
bool law(K& tk, Plain_Graph& g, char& letter) {
  if (tk.kind != K::Word) return false;
  letter = *tk.text;
  const bool ipp = tk.len == 3;
  tk.next();
  if (letter == 'R') {
    if (tk.kind != K::Int) return false;
    g.params.push_back(static_cast<double>(tk.ival));
    tk.next();
  }
  if (letter == 'D' || ipp) {
    for (int part = 0; part < 2; ++part) {
      if (!tk.is('[')) return false;
      tk.next();
      reals(tk, g.params);
      if (ipp) {
        char sub;
        while (tk.is(',')) {
          tk.next();
          if (!law(tk, g, sub)) return false;
        }
      }
      if (!tk.is(']')) return false;
      tk.next();
      if (ipp) break;
    }
    return true;
  }
  reals(tk, g.params);
  return true;
}

bool plain_parse(const std::string& text, Plain_Graph& g) {
  K tk(text);
  tk.next();
  for (int i = 0; tk.kind == K::Word && i < 2; ++i) {  // Size, then maybe Duree
    tk.next();
    if (!tk.is('<')) return false;
    tk.next();
    if (tk.kind != K::Int) return false;
    if (i == 0) g.size = static_cast<int>(tk.ival);
    tk.next();
  }
  while (tk.kind == K::Int) {
    for (char kind = 'T';; kind = 'P') {
      Plain_Graph::Obj o{};
      o.kind = kind;
      if (tk.kind != K::Int) return false;
      o.id = static_cast<int>(tk.ival);
      tk.next();
      names(tk, g, o);
      o.first_param = static_cast<unsigned>(g.params.size());
      if (!law(tk, g, o.law)) return false;
      o.nb_params = static_cast<unsigned>(g.params.size()) - o.first_param;
      if (kind == 'P') {
        if (tk.kind != K::Int) return false;
        o.tokens = static_cast<int>(tk.ival);
        tk.next();
        o.first_lag = static_cast<unsigned>(g.lags.size());
        reals(tk, g.lags);
      }
      g.objs.push_back(o);
      if (!tk.is(',')) break;
      tk.next();
    }
    if (!tk.is(';')) return false;
    tk.next();
  }
  return tk.kind == K::End;
}

int compare(int runs, const char* path) {
  const std::string text = bench::slurp(path);
  size_t objects = 0;
  bench::compare(path, runs,
                 [&] {
                   Plain_Graph g;
                   if (!plain_parse(bench::read_file(path), g))
                     std::fprintf(stderr, "plain parser: not read\n");
                   objects = g.objs.size();
                 },
                 [&] {
                   orv::EventGraphPtr g = orv::eg::Read_Network(path);
                   if (!g) std::fprintf(stderr, "reader: not read\n");
                 });
  size_t before = bench::heap_in_use();
  auto* plain = new Plain_Graph;
  plain_parse(text, *plain);
  const size_t plain_bytes = bench::heap_in_use() - before;
  delete plain;
  before = bench::heap_in_use();
  orv::EventGraphPtr g = orv::eg::Read_Network(path);
  const size_t reader_bytes = bench::heap_in_use() - before;
  std::printf("%s: %zu objects; bytes per object: plain %.0f, reader %.0f\n", path, objects,
              static_cast<double>(plain_bytes) / static_cast<double>(objects),
              static_cast<double>(reader_bytes) / static_cast<double>(objects));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "-compare") == 0) return compare(std::atoi(argv[2]), argv[3]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s file.egl | -compare RUNS file.egl\n", argv[0]);
    return -1;
  }
  using clock = std::chrono::steady_clock;
  auto ms = [](clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
  const auto t0 = clock::now();
  orv::EventGraphPtr g = orv::eg::Read_Network(argv[1]);
  const auto t1 = clock::now();
  if (!g) return -1;
  const int live = orv::eg::topological_analysis(*g);
  const auto t2 = clock::now();
  std::printf("%d transitions, %d places, live %d, %d layers\n", g->Size, g->Nb_Places, live,
              g->Nb_Layers);
  std::printf("read %.1f ms, topology %.1f ms, total %.1f ms\n", ms(t1 - t0), ms(t2 - t1),
              ms(t2 - t0));
  return 0;
}
