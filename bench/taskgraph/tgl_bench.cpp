// The TGL reader against a plain parser of the same file: interleaved runs
// of Read_Network and of a hand-written parser that numbers the names in a
// hash table and keeps tasks and links in flat arrays; medians, ranges, the
// ratio, and heap bytes per object (task or link).
//   tgl_bench RUNS FILE...
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "../common/reader_bench.h"
#include "taskgraph/tgl_reader.h"

namespace {

struct Plain_Graph {
  struct Law {
    char letter;
    unsigned first, count;
  };
  struct Task {
    int id;
    Law law;
  };
  struct Link {
    int from, to, depth;
    char type, synchro;
    Law law;
  };
  std::unordered_map<std::string_view, int> names;
  std::vector<Task> tasks;
  std::vector<Link> links;
  std::vector<double> params;
};

int number(Plain_Graph& g, const bench::Tokens& tk) {
  auto [it, added] = g.names.emplace(std::string_view(tk.text, tk.len), static_cast<int>(g.names.size()));
  return it->second;
}

// WORD ( numbers ) with IPP's nesting left out: the bench files have none.
bool law(bench::Tokens& tk, Plain_Graph& g, Plain_Graph::Law& l) {
  using K = bench::Tokens;
  if (tk.kind != K::Word) return false;
  l.letter = *tk.text;
  tk.next();
  l.first = static_cast<unsigned>(g.params.size());
  if (!tk.is('(')) return false;
  tk.next();
  while (tk.kind == K::Real || tk.kind == K::Int) {
    g.params.push_back(tk.kind == K::Real ? tk.rval : static_cast<double>(tk.ival));
    tk.next();
    if (tk.is(',')) tk.next();
  }
  if (!tk.is(')')) return false;
  tk.next();
  l.count = static_cast<unsigned>(g.params.size()) - l.first;
  return true;
}

bool plain_parse(const std::string& text, Plain_Graph& g) {
  using K = bench::Tokens;
  bench::Tokens tk(text);
  tk.next();
  auto word = [&](const char* w) {
    bool ok = tk.kind == K::Word && std::string_view(tk.text, tk.len) == w;
    if (ok) tk.next();
    return ok;
  };
  while (tk.kind != K::End) {
    if (word("TASK")) {
      Plain_Graph::Task t{};
      if (tk.kind != K::Word) return false;
      t.id = number(g, tk);
      tk.next();
      if (!word("DURATION") || !law(tk, g, t.law) || !word("END")) return false;
      g.tasks.push_back(t);
    } else if (word("LINK")) {
      Plain_Graph::Link l{};
      if (tk.kind != K::Word) return false;
      tk.next();  // the link's name
      if (!word("TYPE")) return false;
      l.type = *tk.text;
      tk.next();
      if (!word("IS")) return false;
      l.synchro = *tk.text;
      tk.next();
      if (!word("FROM")) return false;
      l.from = number(g, tk);
      tk.next();
      if (!word("TO")) return false;
      l.to = number(g, tk);
      tk.next();
      if (word("DURATION")) {
        if (!law(tk, g, l.law)) return false;
      } else if (word("DEPTH")) {
        l.depth = static_cast<int>(tk.ival);
        tk.next();
      }
      if (!word("END")) return false;
      g.links.push_back(l);
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s RUNS FILE...\n", argv[0]);
    return 2;
  }
  const int runs = std::atoi(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const char* path = argv[i];
    const std::string text = bench::slurp(path);
    size_t objects = 0;
    bench::compare(path, runs,
                   [&] {
                     Plain_Graph g;
                     if (!plain_parse(text, g)) std::fprintf(stderr, "plain parser: bad file\n");
                     objects = g.tasks.size() + g.links.size();
                   },
                   [&] { orv::tg::GraphPtr g = orv::tg::Read_Network(path); });
    size_t before = bench::heap_in_use();
    auto* plain = new Plain_Graph;
    plain_parse(text, *plain);
    const size_t plain_bytes = bench::heap_in_use() - before;
    delete plain;
    before = bench::heap_in_use();
    orv::tg::GraphPtr g = orv::tg::Read_Network(path);
    const size_t reader_bytes = bench::heap_in_use() - before;
    std::printf("%s: %zu objects; bytes per object: plain %.0f, reader %.0f\n", path, objects,
                static_cast<double>(plain_bytes) / static_cast<double>(objects),
                static_cast<double>(reader_bytes) / static_cast<double>(objects));
  }
  return 0;
}
