#include "taskgraph/tgl_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <cstdint>
#include <new>
#include <set>
#include <utility>

#include "common/read_text.h"
#include "taskgraph/tgl_scan.h"
#include "tgl_parser.hpp"

namespace orv::tg {

int Parse_Debug = 0;
int Debug = 0;

namespace {

void no_memory() { std::fputs("Warning: not enough memory: Task Graph not created\n", stderr); }

void scan_failed(const Scan_Error& e) {
  std::printf("TGL parse: error: %s.\n", e.what());
}

GraphPtr parse_with(Reader& rd) {
  {
    yy::TglParser parser(rd);
    if (parser.parse() != 0) return nullptr;
  }
  if (!rd.parsed) return nullptr;
  return std::move(rd.The_Task_Graph);
}

// Every failure of a read ends in null, never in the end of the program.
template <class F>
GraphPtr guarded(F&& read) {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    no_memory();
  } catch (const Scan_Error& e) {
    scan_failed(e);
  }
  return nullptr;
}

int number_of(Name_Table& table, const std::string& name, bool& is_new) {
  return table.Number(name, is_new);
}

}  // namespace

void Name_Table::grow() {
  const size_t size = slots_.empty() ? 1024 : slots_.size() * 2;
  slots_.assign(size, -1);
  const size_t mask = size - 1;
  for (size_t n = 0; n < hashes_.size(); ++n) {
    size_t at = hashes_[n] & mask;
    while (slots_[at] >= 0) at = (at + 1) & mask;
    slots_[at] = static_cast<int>(n);
  }
}

int Name_Table::Number(std::string_view name, bool& is_new) {
  // At most half full, so a probe soon meets a free slot.
  if (2 * (hashes_.size() + 1) > slots_.size()) grow();
  const size_t h = std::hash<std::string_view>{}(name);
  const size_t mask = slots_.size() - 1;
  size_t at = h & mask;
  for (; slots_[at] >= 0; at = (at + 1) & mask) {
    const auto n = static_cast<size_t>(slots_[at]);
    if (hashes_[n] == h && Idents[n] == name) {
      is_new = false;
      return static_cast<int>(n);
    }
  }
  is_new = true;
  const int n = static_cast<int>(Idents.size());
  slots_[at] = n;
  hashes_.push_back(h);
  Idents.emplace_back(name);
  return n;
}

GraphPtr Read_Network(FILE* in) {
  if (in == nullptr) return nullptr;
  return guarded([&]() -> GraphPtr {
    // Scanned in memory: a scanner fed from a stream rescans a long token
    // at every refill, and a stream that never ends must stop somewhere.
    std::string text;
    const Read_Result got = Read_Whole_Stream(in, text);
    if (got == Read_Result::Read_Error) throw Scan_Error("input in flex scanner failed");
    if (got == Read_Result::Too_Long) {
      std::printf("TGL parse: error: more than %zu bytes of model text; not read.\n",
                  Max_Text_Bytes);
      return nullptr;
    }
    if (text.size() > static_cast<size_t>(INT32_MAX) - 2) throw std::bad_alloc();
    Reader rd;
    Scanner scanner(rd, text);
    return parse_with(rd);
  });
}

GraphPtr Read_Network_Buffer(std::string_view text) {
  return guarded([&] {
    // The scanner sizes its buffers with int.
    if (text.size() > static_cast<size_t>(INT32_MAX) - 2) throw std::bad_alloc();
    Reader rd;
    Scanner scanner(rd, text);
    return parse_with(rd);
  });
}

namespace {
bool last_opened = false;
}  // namespace

bool Last_Read_Opened() { return last_opened; }

GraphPtr Read_Network(const std::string& path) {
  last_opened = false;
  // Standard input stays open: nothing else of the program reads it.
  if (path.empty()) {
    last_opened = true;
    return Read_Network(stdin);
  }
  FILE* in = std::fopen(path.c_str(), "r");
  if (in == nullptr) return nullptr;
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(in);
    return nullptr;
  }
  last_opened = true;
  GraphPtr g = Read_Network(in);
  std::fclose(in);
  return g;
}

int Task_Number(Reader& rd, const std::string& name) {
  bool is_new = false;
  int n = number_of(rd.TaskIdents, name, is_new);
  if (Parse_Debug) {
    if (is_new) std::printf("Learning about task #%d (%s)\n", n, name.c_str());
    else std::printf("- %s is task number %d\n", name.c_str(), n);
  }
  return n;
}

int Link_Number(Reader& rd, const std::string& name) {
  bool is_new = false;
  int n = number_of(rd.LinkIdents, name, is_new);
  if (Parse_Debug && is_new) std::printf("Learning about link #%d (%s)\n", n, name.c_str());
  return n;
}

TaskPtr Parse_Task(Reader& rd, std::string name, std::optional<std::string> given, LawPtr law) {
  auto t = std::make_unique<TASK>();
  t->Task_Id = Task_Number(rd, name);
  t->Task_Name = std::move(name);
  t->Task_Given_Name = std::move(given);
  t->Task_Law = std::move(law);
  return t;
}

BIPOINT Parse_Ends(Reader& rd, const std::string& from, const std::string& to) {
  BIPOINT b;
  b.Origin = Task_Number(rd, from);
  b.Destination = Task_Number(rd, to);
  return b;
}

LinkPtr Parse_Data_Link(int synchro, BIPOINT ends, LawPtr law) {
  auto l = std::make_unique<LINK_DESC>();
  l->Link_Type = DATA;
  l->Synchro_Type = synchro;
  l->Task_From = ends.Origin;
  l->Task_To = ends.Destination;
  l->Link_Law = std::move(law);
  l->Depth = 0;
  return l;
}

LinkPtr Parse_Program_Link(int synchro, BIPOINT ends, int depth) {
  auto l = std::make_unique<LINK_DESC>();
  l->Link_Type = PROGRAM;
  l->Synchro_Type = synchro;
  l->Task_From = ends.Origin;
  l->Task_To = ends.Destination;
  l->Depth = depth;
  return l;
}

LinkPtr Parse_Link(Reader& rd, std::string name, LinkPtr link) {
  link->Link_Id = Link_Number(rd, name);
  link->Link_Name = std::move(name);
  return link;
}

GraphPtr Parse_TG(std::vector<TaskPtr> tasks, std::vector<LinkPtr> links,
                  const Name_Table& task_names) {
  auto g = std::make_unique<Graph>();
  g->Size = static_cast<int>(tasks.size());
  g->T.resize(tasks.size());
  const auto size = static_cast<size_t>(g->Size);
  std::vector<bool> declared(size, false);
  // Names the text declares, whether or not they found a slot.
  std::set<int> named;
  bool bad = false;
  for (TaskPtr& t : tasks) {
    const int id = t->Task_Id;
    named.insert(id);
    if (id >= g->Size) {
      std::fprintf(stderr, "Task number > Size.");
      std::fprintf(stderr, " Task '%d' ignored.\n", id);
      continue;
    }
    if (declared[static_cast<size_t>(id)]) {
      // Two records for one name leave another slot of T without a task.
      std::fprintf(stderr, "Error: task %s declared twice.\n", t->Task_Name.c_str());
      bad = true;
      continue;
    }
    declared[static_cast<size_t>(id)] = true;
    g->T[static_cast<size_t>(id)] = std::move(*t);
  }
  if (Parse_Debug) {
    for (const LinkPtr& l : links)
      std::printf("Link number %d name=%s from %d to %d\n", l->Link_Id, l->Link_Name.c_str(),
                  l->Task_From, l->Task_To);
  }
  // A link end without a declared task would have no name and no law, or
  // lie outside T.
  std::set<int> reported;
  for (const LinkPtr& l : links) {
    for (int end : {l->Task_From, l->Task_To}) {
      if (end >= 0 && end < g->Size && declared[static_cast<size_t>(end)]) continue;
      // A declared task left out of T has had its message already.
      bad = true;
      if (named.count(end) != 0 || !reported.insert(end).second) continue;
      std::fprintf(stderr, "Error: task %s of link %s is not declared.\n",
                   task_names.Idents[static_cast<size_t>(end)].c_str(), l->Link_Name.c_str());
    }
  }
  if (bad) {
    std::fprintf(stderr, "Error: task graph refused.\n");
    return nullptr;
  }
  // Each task's list runs from the link written last to the first.
  for (LinkPtr& l : links) {
    const auto from = static_cast<size_t>(l->Task_From);
    g->T[from].Neighbors.push_back(std::move(l));
  }
  for (TASK& t : g->T) std::reverse(t.Neighbors.begin(), t.Neighbors.end());
  return g;
}

void dumpe_network(const Graph& g, FILE* out) {
  const int n = g.Size;
  const std::string frame = "   " + std::string(static_cast<size_t>(2 * std::max(n, 0) + 3), '.');
  std::fprintf(out, "Reseau de taille %d\n", n);
  std::fprintf(out, "%s\n", frame.c_str());
  for (int i = 0; i < n; ++i) {
    const TASK& t = g.T[static_cast<size_t>(i)];
    // The first link of each kind met in list order (the last written).
    std::vector<const LINK_DESC*> data(static_cast<size_t>(n), nullptr);
    std::vector<const LINK_DESC*> program(static_cast<size_t>(n), nullptr);
    for (const LinkPtr& l : t.Neighbors) {
      if (l->Task_To < 0 || l->Task_To >= n) continue;
      auto& cell = (l->Link_Type == DATA ? data : program)[static_cast<size_t>(l->Task_To)];
      if (cell == nullptr) cell = l.get();
    }
    std::fprintf(out, "%3d.", i + 1);
    for (const LINK_DESC* l : data) {
      if (l != nullptr && l->Link_Law) std::fprintf(out, "%c", l->Link_Law->Name);
      else std::fputs(" ", out);
    }
    std::fputs(".", out);
    for (const LINK_DESC* l : program) {
      if (l != nullptr) std::fprintf(out, "%1d", l->Depth);
      else std::fputs(" ", out);
    }
    std::fputs(".\n", out);
  }
  std::fprintf(out, "%s\n\n\n", frame.c_str());
  std::fprintf(out, "Dependence maximale: %d\n\n", g.Max_Dependency);
  for (int l = 0; l < g.Nb_Layers && l < static_cast<int>(g.Level.size()); ++l) {
    std::fprintf(out, "Level %d : ", l + 1);
    for (int id : g.Level[static_cast<size_t>(l)].Task_Id)
      std::fprintf(out, " %s(%d)", g.T[static_cast<size_t>(id)].Task_Name.c_str(), id + 1);
    std::fprintf(out, "\n");
  }
  std::fprintf(out, "\n");
  for (int i = 0; i < n; ++i) {
    const TASK& t = g.T[static_cast<size_t>(i)];
    std::fprintf(out, "Tasks amont de %d: ", i + 1);
    if (t.Prev) {
      for (int id : t.Prev->Task_Id)
        std::fprintf(out, " %s(%d)", g.T[static_cast<size_t>(id)].Task_Name.c_str(), id + 1);
    } else {
      std::fprintf(out, " inconnues.\n");
    }
    std::fprintf(out, "\n");
  }
}

}  // namespace orv::tg
