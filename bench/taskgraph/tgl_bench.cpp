// The TGL reader against a plain parser of the same file: interleaved runs
// of Read_Network and of a hand-written parser that numbers the task and
// link names in flat hash tables and keeps tasks and links in flat arrays;
// medians, ranges, the ratio, and heap bytes per object (task or link).
// Each run is a child process of its own, with a fresh heap.
//   tgl_bench RUNS FILE...
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "../common/reader_bench.h"
#include "common/read_text.h"
#include "taskgraph/tgl_reader.h"

namespace {

// Names numbered by first appearance, each kept once: open addressing over
// slots that hold a name's hash, number and place in one buffer of names.
// A node-based map keyed by views into the text took four dependent cache
// misses a look-up (bucket, node before, node, text) and a node allocation
// even for a known name: a million names cost 30 times what 10^5 did.
class Names {
 public:
  int number(std::string_view s) {
    if (2 * (count_ + 1) > slots_.size()) grow();
    const auto h = static_cast<uint32_t>(std::hash<std::string_view>{}(s));
    const size_t mask = slots_.size() - 1;
    size_t at = h & mask;
    for (; slots_[at].id >= 0; at = (at + 1) & mask) {
      const Slot& o = slots_[at];
      if (o.hash == h && o.len == s.size() && std::string_view(chars_.data() + o.at, o.len) == s)
        return o.id;
    }
    const int id = static_cast<int>(count_++);
    slots_[at] = {h, id, static_cast<uint32_t>(chars_.size()), static_cast<uint32_t>(s.size())};
    chars_.append(s);
    return id;
  }
  size_t size() const { return count_; }

 private:
  struct Slot {
    uint32_t hash;
    int id;  // -1: free
    uint32_t at, len;
  };
  std::vector<Slot> slots_;
  std::string chars_;
  size_t count_ = 0;

  void grow() {
    std::vector<Slot> old(slots_.empty() ? 1024 : 2 * slots_.size(), Slot{0, -1, 0, 0});
    old.swap(slots_);
    const size_t mask = slots_.size() - 1;
    for (const Slot& o : old) {
      if (o.id < 0) continue;
      size_t at = o.hash & mask;
      while (slots_[at].id >= 0) at = (at + 1) & mask;
      slots_[at] = o;
    }
  }
};

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
    int id, from, to, depth;
    char type, synchro;
    Law law;
  };
  Names tasks_named, links_named;
  std::vector<Task> tasks;
  std::vector<Link> links;
  std::vector<double> params;
};

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
      t.id = g.tasks_named.number(std::string_view(tk.text, tk.len));
      tk.next();
      if (!word("DURATION") || !law(tk, g, t.law) || !word("END")) return false;
      g.tasks.push_back(t);
    } else if (word("LINK")) {
      Plain_Graph::Link l{};
      if (tk.kind != K::Word) return false;
      l.id = g.links_named.number(std::string_view(tk.text, tk.len));
      tk.next();
      if (!word("TYPE")) return false;
      l.type = *tk.text;
      tk.next();
      if (!word("IS")) return false;
      l.synchro = *tk.text;
      tk.next();
      if (!word("FROM")) return false;
      l.from = g.tasks_named.number(std::string_view(tk.text, tk.len));
      tk.next();
      if (!word("TO")) return false;
      l.to = g.tasks_named.number(std::string_view(tk.text, tk.len));
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

// The time f takes in a child process, as in a program that reads one
// graph. Runs that share a process leave each other a heap of millions of
// freed chunks to consolidate: after the reader's runs the plain parser of
// 10^6 tasks took 1.6 times as long as on a fresh heap.
template <class F>
double fresh(F&& f) {
  int fd[2];
  if (pipe(fd) != 0) std::abort();
  const pid_t child = fork();
  if (child < 0) std::abort();
  if (child == 0) {
    close(fd[0]);
    const auto t = std::chrono::steady_clock::now();
    f();
    const double s = bench::seconds_since(t);
    const bool sent = write(fd[1], &s, sizeof s) == static_cast<ssize_t>(sizeof s);
    _exit(sent ? 0 : 1);
  }
  close(fd[1]);
  double s = -1.0;
  const bool got = read(fd[0], &s, sizeof s) == static_cast<ssize_t>(sizeof s);
  close(fd[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
  return s;
}

// bench::compare with every run in a fresh process.
template <class Plain, class Reader>
void compare_fresh(const char* what, int runs, Plain&& plain, Reader&& reader) {
  std::vector<double> tp, tr, ratio;
  for (int i = 0; i < runs; ++i) {
    tp.push_back(fresh(plain));
    tr.push_back(fresh(reader));
    ratio.push_back(tr.back() / tp.back());
  }
  const bench::Stats p = bench::stats(tp), r = bench::stats(tr), q = bench::stats(ratio);
  std::printf("%s: plain %.3f s [%.3f..%.3f], reader %.3f s [%.3f..%.3f], "
              "ratio %.2f (pairs %.2f..%.2f, %d runs)\n",
              what, p.median, p.low, p.high, r.median, r.low, r.high, r.median / p.median,
              q.low, q.high, runs);
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
    std::fflush(stdout);  // not to be written again by a child
    compare_fresh(path, runs,
                  [&] {
                    Plain_Graph g;
                    if (!plain_parse(bench::read_file(path), g))
                      std::fprintf(stderr, "plain parser: bad file\n");
                  },
                  [&] { orv::tg::GraphPtr g = orv::tg::Read_Network(path); });
    const std::string text = bench::slurp(path);
    size_t before = bench::heap_in_use();
    auto* plain = new Plain_Graph;
    plain_parse(text, *plain);
    const size_t plain_bytes = bench::heap_in_use() - before;
    const size_t objects = plain->tasks.size() + plain->links.size();
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
