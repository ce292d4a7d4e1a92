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

TransPtr Parse_Transition(int id, LawPtr law, std::string name, std::string data) {
  TransPtr t = New_Transition();
  t->Trans_Id = id;
  t->Trans_Law = std::move(law);
  t->Name = std::move(name);
  t->Data = std::move(data);
  return t;
}

Transition_Cell Add_Sons(TransPtr transition, Place_Cells places) {
  if (!transition) {
    std::fprintf(stderr, "Cannot add place list to null transition.\n");
    return Transition_Cell{nullptr, std::move(places)};
  }
  for (auto it = places.rbegin(); it != places.rend(); ++it) transition->Outputs.push_back(it->get());
  transition->Outdegree += static_cast<int>(places.size());
  return Transition_Cell{std::move(transition), std::move(places)};
}

PlacePtr Parse_Place(int downstream_id, LawPtr law, POPULATION population,
                     std::string name, std::string data1, std::string data2) {
  PlacePtr p = New_Place();
  p->Trans_Id = downstream_id;
  p->Place_Law = std::move(law);
  p->Init_Pop = population.Pop;
  p->Lag_Times = std::move(population.Delais);
  p->Name = std::move(name);
  p->Data1 = std::move(data1);
  p->Data2 = std::move(data2);
  return p;
}

void Append_Transition(Transition_Cells& list, Transition_Cell transition) {
  list.push_back(std::move(transition));
}

void Append_Place(Place_Cells& list, PlacePtr place) { list.push_back(std::move(place)); }

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

// Cells are held in written order, so list order is walked from the back.
// Places left out are reset to null in their cell.
EventGraphPtr Parse_EG(int size, Transition_Cells transitions) {
  bool bad = false;
  std::unordered_set<int> declared;
  for (auto cell = transitions.rbegin(); cell != transitions.rend(); ++cell) {
    if (!cell->Trans) continue;
    const int id = cell->Trans->Trans_Id;
    if (id > size) {
      std::fprintf(stderr, "Number of Transition (%d) > Network Size (%d).", id, size);
      std::fprintf(stderr, " Transition '%d' ignored.\n", id);
      cell->Trans.reset();
      cell->Sons.clear();
      continue;
    }
    if (id < 1) {
      std::fprintf(stderr, "Error: illegal transition number (%d).\n", id);
      bad = true;
      continue;
    }
    if (!declared.insert(id).second) {
      std::fprintf(stderr, "Error: transition %d declared twice.\n", id);
      bad = true;
    }
    for (auto p = cell->Sons.rbegin(); p != cell->Sons.rend(); ++p) {
      if (!*p) continue;
      const int down = (*p)->Trans_Id;
      if (down > size) {
        std::fprintf(stderr, "Number of Transition (%d) > Network Size (%d).", down, size);
        std::fprintf(stderr, " Place '%d->%d' ignored.\n", id, down);
        p->reset();
        continue;
      }
      if (down < 1) {
        std::fprintf(stderr, "Error: illegal transition number (%d) in place '%d->%d'.\n",
                     down, id, down);
        bad = true;
      }
      (*p)->Input_Id = id;
    }
  }
  if (size < 1) {
    std::fprintf(stderr, "Error: illegal network size (%d).\n", size);
    bad = true;
  } else if (declared.size() < static_cast<size_t>(size)) {
    // Only the first gap: a huge size with few transitions must not flood.
    std::vector<int> ids(declared.begin(), declared.end());
    std::sort(ids.begin(), ids.end());
    int missing = 1;
    for (int id : ids) {
      if (id != missing) break;
      ++missing;
    }
    std::fprintf(stderr, "Error: transition %d not declared.\n", missing);
    bad = true;
  }
  if (bad) return nullptr;

  EventGraphPtr g = New_Event_Graph(size);
  if (!g) return nullptr;
  for (Transition_Cell& cell : transitions) {
    if (!cell.Trans) continue;
    TRANS_DESC& t = *cell.Trans;
    t.Outputs.clear();
    for (auto p = cell.Sons.rbegin(); p != cell.Sons.rend(); ++p) {
      if (!*p) continue;
      t.Outputs.push_back(p->get());
      g->Max_Pop_Init = std::max(g->Max_Pop_Init, (*p)->Init_Pop);
    }
    t.Outdegree = static_cast<int>(t.Outputs.size());
    g->Nb_Places += t.Outdegree;
  }
  g->P.reserve(static_cast<size_t>(g->Nb_Places));
  for (auto cell = transitions.rbegin(); cell != transitions.rend(); ++cell) {
    if (!cell->Trans) continue;
    for (auto p = cell->Sons.rbegin(); p != cell->Sons.rend(); ++p) {
      if (!*p) continue;
      (*p)->Place_Id = static_cast<int>(g->P.size());
      g->P.push_back(std::move(*p));
    }
    const int id = cell->Trans->Trans_Id;
    g->T[static_cast<size_t>(id - 1)] = std::move(cell->Trans);
  }
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
