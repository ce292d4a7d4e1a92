#include "eventgraph/egl_reader.h"

#include <algorithm>
#include <climits>
#include <new>
#include <unordered_set>
#include <utility>

#include "common/read_text.h"
#include "egl_parser.hpp"
#include "eventgraph/egl_scanner.h"

namespace orv::eg {

int Debug = 0;

namespace {

// Initial tokens of the read under way.
long tokens_read = 0;

void no_memory(const char* what) {
  std::fprintf(stderr, "Warning: not enough memory: %s not created\n", what);
}

EventGraphPtr run_parse() {
  tokens_read = 0;
  try {
    egl::Parse_State state;
    egl::EGL_parser parser(state);
    if (parser.parse() != 0 || state.Failed) return nullptr;
    return std::move(state.The_Event_Graph);
  } catch (const std::bad_alloc&) {
    no_memory("Event Graph");
    return nullptr;
  } catch (const Read_Bound&) {
    return nullptr;
  }
}

}  // namespace

EventGraphPtr Read_Network(FILE* in) {
  if (in == nullptr) return nullptr;
  std::string text;
  const Read_Result got = Read_Whole_Stream(in, text);
  if (got == Read_Result::Read_Error) {
    std::fputs("Error: input in flex scanner failed\n", stderr);
    return nullptr;
  }
  if (got == Read_Result::Too_Long) {
    std::fprintf(stderr, "Error: more than %zu bytes of model text; not read.\n",
                 Max_Text_Bytes);
    return nullptr;
  }
  // The scanner sizes its buffers with int.
  if (text.size() > static_cast<size_t>(INT_MAX) - 2) {
    no_memory("Event Graph");
    return nullptr;
  }
  egl::Scanner_Input input(text);  // in place: the text is ours
  return run_parse();
}

EventGraphPtr Read_Network_Text(std::string_view text) {
  // The scanner sizes its buffers with int.
  if (text.size() > static_cast<size_t>(INT_MAX) - 2) {
    no_memory("Event Graph");
    return nullptr;
  }
  egl::Scanner_Input input(text);
  return run_parse();
}

EventGraphPtr Read_Network(const std::string& path) {
  // Standard input stays open: a second read from it must remain possible.
  if (path.empty()) return Read_Network(stdin);
  FILE* in = std::fopen(path.c_str(), "r");
  if (in == nullptr) {
    std::printf("Error: could not open file %s for reading.\n", path.c_str());
    return nullptr;
  }
  EventGraphPtr g = Read_Network(in);
  std::fclose(in);
  return g;
}

EventGraphPtr New_Event_Graph(int size) {
  try {
    auto g = std::make_unique<EventGraph>();
    g->Size = size;
    g->T.resize(static_cast<size_t>(std::max(size, 0)));
    return g;
  } catch (const std::bad_alloc&) {
    no_memory("Event Graph");
    return nullptr;
  }
}

TransPtr New_Transition() { return std::make_unique<TRANS_DESC>(); }

PlacePtr New_Place() { return std::make_unique<PLACE_DESC>(); }

TransPtr Parse_Transition(int id, LawPtr law, std::string_view name, std::string_view data) {
  TransPtr t = New_Transition();
  t->Trans_Id = id;
  t->Trans_Law = std::move(law);
  t->Name = name;
  t->Data = data;
  return t;
}

PlacePtr Parse_Place(int downstream_id, LawPtr law, POPULATION population,
                     std::string_view name, std::string_view data1, std::string_view data2) {
  PlacePtr p = New_Place();
  p->Trans_Id = downstream_id;
  p->Place_Law = std::move(law);
  p->Init_Pop = population.Pop;
  p->Lag_Times = std::move(population.Delais);
  p->Name = name;
  p->Data1 = data1;
  p->Data2 = data2;
  return p;
}

// A token count this large is a typo, not a model: refusing it keeps one
// small file from reserving gigabytes of lags.
constexpr int Max_Population = 1 << 24;
long Max_Read_Tokens = 1L << 24;

POPULATION Parse_Init_Pop(int count, const std::vector<double>& lags, bool* ok) {
  POPULATION pop;
  if (count > Max_Population) {
    no_memory("population");
    if (ok != nullptr) *ok = false;
    return pop;
  }
  if (count > 0) {
    tokens_read += count;
    if (tokens_read > Max_Read_Tokens) {
      std::fprintf(stderr,
                   "Error: more than %ld initial tokens in the graph (line %d). Graph refused.\n",
                   Max_Read_Tokens, EGL_lineno);
      throw Read_Bound{};
    }
    try {
      pop.Delais.assign(static_cast<size_t>(count), 0.0);
    } catch (const std::bad_alloc&) {
      no_memory("real");
      if (ok != nullptr) *ok = false;
      return pop;
    }
  }
  pop.Pop = count;
  const size_t given = lags.size();
  const size_t wanted = count > 0 ? static_cast<size_t>(count) : 0;
  for (size_t i = 0; i < wanted && i < given; ++i) pop.Delais[i] = lags[i];
  if (given < wanted) {
    // One line per missing lag, as users know it, but not one per token of
    // a huge count.
    constexpr size_t shown = 3;
    const size_t missing = wanted - given;
    for (size_t i = 0; i < missing && i < shown; ++i)
      std::fprintf(stderr, "Warning: not enough initial lags (0.0 assumed)\n");
    if (missing > shown)
      std::fprintf(stderr, "Warning: %zu more initial lags missing (0.0 assumed)\n",
                   missing - shown);
  }
  if (given > wanted) std::fprintf(stderr, "Warning: too many initial lags (ignored)\n");
  return pop;
}

namespace {

// The transition numbers met so far: a table by number when the size is
// within reach of the count of transitions, else a hash set (a huge size
// with a few lines must not cost its size).
class Declared_Ids {
 public:
  Declared_Ids(int size, size_t transitions) {
    if (size > 0 && static_cast<size_t>(size) <= 4 * transitions + 1024)
      seen_.assign(static_cast<size_t>(size) + 1, 0);
  }
  // False when id was already there; id is from 1 to the size.
  bool insert(int id) {
    const bool added = seen_.empty() ? set_.insert(id).second
                                     : std::exchange(seen_[static_cast<size_t>(id)], 1) == 0;
    count_ += added;
    return added;
  }
  size_t size() const { return count_; }
  // The lowest number from 1 not met (one past the highest when all are).
  int first_missing() const {
    int missing = 1;
    if (!seen_.empty()) {
      while (static_cast<size_t>(missing) < seen_.size() && seen_[static_cast<size_t>(missing)] != 0)
        ++missing;
      return missing;
    }
    std::vector<int> ids(set_.begin(), set_.end());
    std::sort(ids.begin(), ids.end());
    for (int id : ids) {
      if (id != missing) break;
      ++missing;
    }
    return missing;
  }

 private:
  std::vector<char> seen_;
  std::unordered_set<int> set_;
  size_t count_ = 0;
};

}  // namespace

// Lines are checked in list order (the reverse of written order), and the
// graph is laid out in the same walk: reversed, the array of places walks
// each line's places in list order too, the order of P, so kept places
// close up in place as they are met. Lines and places left out are reset
// to null.
EventGraphPtr Parse_EG(int size, Read_Cells cells) {
  std::vector<Transition_Cell>& lines = cells.Transitions;
  std::vector<PlacePtr>& places = cells.Places;
  bool bad = false;
  Declared_Ids declared(size, lines.size());
  std::reverse(places.begin(), places.end());
  size_t read = 0, kept = 0;
  int max_pop = 0;
  for (auto cell = lines.rbegin(); cell != lines.rend(); ++cell) {
    const size_t end = read + cell->Nb_Places;
    if (!cell->Trans) {
      read = end;
      continue;
    }
    TRANS_DESC& t = *cell->Trans;
    const int id = t.Trans_Id;
    if (id > size) {
      std::fprintf(stderr, "Number of Transition (%d) > Network Size (%d).", id, size);
      std::fprintf(stderr, " Transition '%d' ignored.\n", id);
      cell->Trans.reset();
      for (; read < end; ++read) places[read].reset();
      continue;
    }
    if (id < 1) {
      std::fprintf(stderr, "Error: illegal transition number (%d).\n", id);
      bad = true;
      read = end;
      continue;
    }
    if (!declared.insert(id)) {
      std::fprintf(stderr, "Error: transition %d declared twice.\n", id);
      bad = true;
    }
    t.Outputs.clear();
    t.Outputs.reserve(cell->Nb_Places);
    for (; read < end; ++read) {
      PlacePtr& p = places[read];
      const int down = p->Trans_Id;
      if (down > size) {
        std::fprintf(stderr, "Number of Transition (%d) > Network Size (%d).", down, size);
        std::fprintf(stderr, " Place '%d->%d' ignored.\n", id, down);
        p.reset();
        continue;
      }
      if (down < 1) {
        std::fprintf(stderr, "Error: illegal transition number (%d) in place '%d->%d'.\n",
                     down, id, down);
        bad = true;
      }
      p->Input_Id = id;
      p->Place_Id = static_cast<int>(kept);
      max_pop = std::max(max_pop, p->Init_Pop);
      t.Outputs.push_back(p.get());
      if (kept != read) places[kept] = std::move(p);
      ++kept;
    }
    t.Outdegree = static_cast<int>(t.Outputs.size());
  }
  if (size < 1) {
    std::fprintf(stderr, "Error: illegal network size (%d).\n", size);
    bad = true;
  } else if (declared.size() < static_cast<size_t>(size)) {
    // Only the first gap: a huge size with few transitions must not flood.
    std::fprintf(stderr, "Error: transition %d not declared.\n", declared.first_missing());
    bad = true;
  }
  if (bad) return nullptr;

  EventGraphPtr g = New_Event_Graph(size);
  if (!g) return nullptr;
  for (Transition_Cell& cell : lines) {
    if (!cell.Trans) continue;
    const int id = cell.Trans->Trans_Id;
    g->T[static_cast<size_t>(id - 1)] = std::move(cell.Trans);
  }
  places.resize(kept);
  g->Nb_Places = static_cast<int>(kept);
  g->Max_Pop_Init = max_pop;
  g->P = std::move(places);
  return g;
}

void dumpe_network(const EventGraph& g, FILE* out) {
  const int n = g.Size;
  auto letter = [](const LawPtr& law) { return law ? law->Name : ' '; };
  std::string frame = "      " + std::string(static_cast<size_t>(2 * std::max(n, 0) + 3), '.');
  std::fprintf(out, "Network of size %d transitions and %d places\n", n, g.Nb_Places);
  std::fprintf(out, "%s\n", frame.c_str());
  for (int k = 0; k < n; ++k) {
    const TRANS_DESC* t = g.T[static_cast<size_t>(k)].get();
    std::string laws(static_cast<size_t>(n), ' ');
    std::string pops(static_cast<size_t>(n), ' ');
    // Parallel places share a cell; the one met last in Outputs shows.
    if (t != nullptr) {
      for (const PLACE_DESC* p : t->Outputs) {
        if (p->Trans_Id < 1 || p->Trans_Id > n) continue;
        const size_t d = static_cast<size_t>(p->Trans_Id - 1);
        laws[d] = letter(p->Place_Law);
        pops[d] = p->Init_Pop >= 0 && p->Init_Pop < 10 ? static_cast<char>('0' + p->Init_Pop) : '+';
      }
    }
    std::fprintf(out, "%3d[%c].%s.%s.\n", k + 1, t != nullptr ? letter(t->Trans_Law) : ' ',
                 laws.c_str(), pops.c_str());
  }
  std::fprintf(out, "%s\n\n", frame.c_str());
  std::fprintf(out, "Maximal initial population: %d\n\n", g.Max_Pop_Init);
  for (int i = 0; i < g.Nb_Layers && i < static_cast<int>(g.Level.size()); ++i) {
    std::fprintf(out, "Level %d : ", i + 1);
    for (int node : g.Level[static_cast<size_t>(i)].Node_Id) std::fprintf(out, " %d", node + 1);
    std::fprintf(out, "\n");
  }
  std::fprintf(out, "\n");
  for (int k = 0; k < n; ++k) {
    std::fprintf(out, "Transitions input of %d: ", k + 1);
    if (const TRANS_DESC* t = g.T[static_cast<size_t>(k)].get()) {
      for (const PLACE_DESC* p : t->Inputs) std::fprintf(out, " %d", p->Input_Id);
    }
    std::fprintf(out, "\n");
  }
}

}  // namespace orv::eg
