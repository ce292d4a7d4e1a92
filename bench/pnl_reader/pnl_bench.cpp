// The PNL reader against a plain parser of the same file: times Read_Network
// (reading, submodel files, inversion and the checks) and, for a flat file,
// a hand-written parser that reads the file as the reader does and keeps the
// same facts in flat arrays; then heap bytes per object (transition or place)
// of each.
//   pnl_bench FILE...            seconds per file
//   pnl_bench -compare RUNS FILE interleaved runs, medians, ratio, bytes
//   pnl_bench -compare-settled RUNS FILE
//                                the same, each run from a heap given back
//                                to the system (see bench::compare_settled)
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "../common/reader_bench.h"
#include "petri/pnl_reader.h"

namespace {

// What a plain parser keeps of a flat net: every object with its name, law,
// tokens and arcs, the variable parts in shared pools.
struct Plain_Net {
  struct Obj {
    char kind, law;
    int id, tokens;
    unsigned name_at, name_len, first_param, nb_params, first_lag, first_arc, nb_arcs;
  };
  std::vector<Obj> objs;
  std::vector<double> params, lags;
  std::vector<int> arcs;  // destination, weight
  std::string names;
};

bool plain_parse(const std::string& text, Plain_Net& net) {
  bench::Tokens tk(text);
  using K = bench::Tokens;
  tk.next();
  // Transitions <- n Places <- m
  for (int i = 0; i < 2; ++i) {
    if (tk.kind != K::Word) return false;
    tk.next();
    if (!tk.is('<')) return false;
    tk.next();
    if (tk.kind != K::Int) return false;
    tk.next();
  }
  while (tk.kind == K::Word) {
    Plain_Net::Obj o{};
    o.kind = *tk.text;
    tk.next();
    if (tk.kind != K::Int) return false;
    o.id = static_cast<int>(tk.ival);
    tk.next();
    o.name_at = static_cast<unsigned>(net.names.size());
    while (tk.kind == K::Str) {
      net.names.append(tk.text, tk.len);
      net.names.push_back('\0');
      tk.next();
    }
    o.name_len = static_cast<unsigned>(net.names.size()) - o.name_at;
    if (tk.kind != K::Word) return false;
    o.law = *tk.text;
    tk.next();
    o.first_param = static_cast<unsigned>(net.params.size());
    while (tk.kind == K::Real) {
      net.params.push_back(tk.rval);
      tk.next();
    }
    o.nb_params = static_cast<unsigned>(net.params.size()) - o.first_param;
    if (o.kind == 'P') {
      if (tk.kind != K::Int) return false;
      o.tokens = static_cast<int>(tk.ival);
      tk.next();
      o.first_lag = static_cast<unsigned>(net.lags.size());
      for (int k = 0; k < o.tokens; ++k) {
        net.lags.push_back(tk.kind == K::Real ? tk.rval : 0.0);
        if (tk.kind == K::Real) tk.next();
      }
    }
    o.first_arc = static_cast<unsigned>(net.arcs.size());
    while (tk.is(',')) {
      tk.next();
      if (tk.kind != K::Int) return false;
      net.arcs.push_back(static_cast<int>(tk.ival));
      tk.next();
      int weight = 1;
      if (tk.kind == K::Int) {
        weight = static_cast<int>(tk.ival);
        tk.next();
      }
      net.arcs.push_back(weight);
    }
    o.nb_arcs = (static_cast<unsigned>(net.arcs.size()) - o.first_arc) / 2;
    if (!tk.is(';')) return false;
    tk.next();
    net.objs.push_back(o);
  }
  return tk.kind == K::End;
}

int compare(int runs, const char* path, bool settled) {
  const std::string text = bench::slurp(path);
  size_t objects = 0;
  auto run_plain = [&] {
    Plain_Net n;
    if (!plain_parse(bench::read_file(path), n)) std::fprintf(stderr, "plain parser: not a flat net\n");
    objects = n.objs.size();
  };
  auto run_reader = [&] { orv::pn::NetPtr net = orv::pn::Read_Network(path); };
  if (settled)
    bench::compare_settled(path, runs, run_plain, run_reader);
  else
    bench::compare(path, runs, run_plain, run_reader);
  size_t before = bench::heap_in_use();
  auto* plain = new Plain_Net;
  plain_parse(text, *plain);
  size_t plain_bytes = bench::heap_in_use() - before;
  delete plain;
  before = bench::heap_in_use();
  orv::pn::NetPtr net = orv::pn::Read_Network(path);
  size_t reader_bytes = bench::heap_in_use() - before;
  std::printf("%s: %zu objects; bytes per object: plain %.0f, reader %.0f\n", path, objects,
              static_cast<double>(plain_bytes) / static_cast<double>(objects),
              static_cast<double>(reader_bytes) / static_cast<double>(objects));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "-compare") == 0)
    return compare(std::atoi(argv[2]), argv[3], false);
  if (argc == 4 && std::strcmp(argv[1], "-compare-settled") == 0)
    return compare(std::atoi(argv[2]), argv[3], true);
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    auto start = std::chrono::steady_clock::now();
    orv::pn::NetPtr net = orv::pn::Read_Network(argv[i]);
    double took = bench::seconds_since(start);
    if (!net) {
      std::fprintf(stderr, "pnl_bench: could not read %s\n", argv[i]);
      status = 1;
      continue;
    }
    std::fprintf(stderr, "%s: %d transitions, %d places, %d submodels: %.3f s\n", argv[i],
                 net->Nb_Trans, net->Nb_Places, net->Nb_Submodels, took);
  }
  return status;
}
