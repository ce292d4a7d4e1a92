#include "taskgraph/tgl_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <utility>
#include <vector>

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

}  // namespace

NAME Scanned_Name(std::string_view text) {
  return {text.data(), static_cast<uint32_t>(text.size()),
          static_cast<uint32_t>(std::hash<std::string_view>{}(text))};
}

void Name_Table::grow() {
  std::vector<Slot> old(slots_.empty() ? 1024 : 2 * slots_.size(), Slot{0, -1, 0});
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& o : old) {
    if (o.number < 0) continue;
    size_t at = o.tag & mask;
    while (slots_[at].number >= 0) at = (at + 1) & mask;
    slots_[at] = o;
  }
}

int Name_Table::Number(const NAME& name, bool& is_new) {
  // At most half full, so a probe soon meets a free slot.
  if (2 * (starts_.size() + 1) > slots_.size()) grow();
  const std::string_view s = name.text();
  // The text fits an int, so do its names and their places.
  const auto len = static_cast<uint32_t>(s.size());
  const bool short_name = len <= 7;
  uint64_t word = static_cast<uint64_t>(len) << 56;
  if (short_name) std::memcpy(&word, s.data(), len);
  const uint32_t tag = (name.hash & 0x7fffffffu) | (short_name ? 0x80000000u : 0u);
  const size_t mask = slots_.size() - 1;
  size_t at = tag & mask;
  for (; slots_[at].number >= 0; at = (at + 1) & mask) {
    const Slot& o = slots_[at];
    if (o.tag != tag) continue;
    if (short_name ? o.word == word
                   : static_cast<uint32_t>(o.word >> 32) == len &&
                         std::string_view(chars_.data() + static_cast<uint32_t>(o.word), len) == s) {
      is_new = false;
      return o.number;
    }
  }
  is_new = true;
  const int n = Size();
  if (!short_name) word = chars_.size() | static_cast<uint64_t>(len) << 32;
  slots_[at] = {tag, n, word};
  chars_.append(s);
  starts_.push_back(static_cast<uint32_t>(chars_.size()));
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

int Task_Number(Reader& rd, const NAME& name) {
  bool is_new = false;
  int n = rd.TaskIdents.Number(name, is_new);
  if (Parse_Debug) {
    const int len = static_cast<int>(name.size);
    if (is_new) std::printf("Learning about task #%d (%.*s)\n", n, len, name.data);
    else std::printf("- %.*s is task number %d\n", len, name.data, n);
  }
  return n;
}

int Link_Number(Reader& rd, const NAME& name) {
  bool is_new = false;
  int n = rd.LinkIdents.Number(name, is_new);
  if (Parse_Debug && is_new)
    std::printf("Learning about link #%d (%.*s)\n", n, static_cast<int>(name.size), name.data);
  return n;
}

void Parse_Task(Reader& rd, const NAME& name, std::optional<std::string_view> given, LawPtr law) {
  TASK& t = rd.tasks.emplace_back();
  t.Task_Id = Task_Number(rd, name);
  t.Task_Name = name.text();
  if (given) t.Task_Given_Name.emplace(*given);
  t.Task_Law = std::move(law);
}

BIPOINT Parse_Ends(Reader& rd, const NAME& from, const NAME& to) {
  BIPOINT b{};
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

void Parse_Link(Reader& rd, const NAME& name, LinkPtr link) {
  link->Link_Id = Link_Number(rd, name);
  link->Link_Name = name.text();
  rd.links.push_back(std::move(link));
}

LawPtr Written_Law(Reader& rd, char id, size_t first, size_t second) {
  return Law_From_Tail(id, rd.reals, first, second, rd.first, rd.second);
}

GraphPtr Parse_TG(TASK_LIST tasks, LINK_RECORDS links, const Name_Table& task_names) {
  auto g = std::make_unique<Graph>();
  g->Size = static_cast<int>(tasks.size());
  const auto size = static_cast<size_t>(g->Size);
  // Names the text declares, whether or not they found a slot.
  std::vector<char> named(static_cast<size_t>(task_names.Size()), 0);
  std::vector<char> declared(size, 0);
  bool bad = false;
  // Mostly each task is numbered by its place: the list is T as it stands.
  bool in_place = true;
  for (size_t i = 0; i < size && in_place; ++i)
    in_place = tasks[i].Task_Id == static_cast<int>(i);
  if (in_place) {
    std::fill(named.begin(), named.begin() + static_cast<std::ptrdiff_t>(size), 1);
    std::fill(declared.begin(), declared.end(), 1);
    g->T = std::move(tasks);
    g->T.shrink_to_fit();  // the room left by growing would be a tenth of the graph
  } else {
    g->T.resize(size);
    for (TASK& t : tasks) {
      const int id = t.Task_Id;
      named[static_cast<size_t>(id)] = 1;
      if (id >= g->Size) {
        std::fprintf(stderr, "Task number > Size.");
        std::fprintf(stderr, " Task '%d' ignored.\n", id);
        continue;
      }
      if (declared[static_cast<size_t>(id)]) {
        // Two records for one name leave another slot of T without a task.
        std::fprintf(stderr, "Error: task %s declared twice.\n", t.Task_Name.c_str());
        bad = true;
        continue;
      }
      declared[static_cast<size_t>(id)] = 1;
      g->T[static_cast<size_t>(id)] = std::move(t);
    }
  }
  if (Parse_Debug) {
    for (const LinkPtr& l : links)
      std::printf("Link number %d name=%s from %d to %d\n", l->Link_Id, l->Link_Name.c_str(),
                  l->Task_From, l->Task_To);
  }
  // A link end without a declared task would have no name and no law, or
  // lie outside T.
  std::vector<char> reported(named.size(), 0);
  std::vector<int> out(size, 0);  // links from each task
  for (const LinkPtr& l : links) {
    if (l->Task_From >= 0 && l->Task_From < g->Size) ++out[static_cast<size_t>(l->Task_From)];
    for (int end : {l->Task_From, l->Task_To}) {
      if (end >= 0 && end < g->Size && declared[static_cast<size_t>(end)]) continue;
      // A declared task left out of T has had its message already.
      bad = true;
      const auto e = static_cast<size_t>(end);
      if (named[e] || reported[e]) continue;
      reported[e] = 1;
      const std::string_view name = task_names.Name(end);
      std::fprintf(stderr, "Error: task %.*s of link %s is not declared.\n",
                   static_cast<int>(name.size()), name.data(), l->Link_Name.c_str());
    }
  }
  if (bad) {
    std::fprintf(stderr, "Error: task graph refused.\n");
    return nullptr;
  }
  // Each task's list runs from the link written last to the first.
  for (size_t i = 0; i < size; ++i) g->T[i].Neighbors.reserve(static_cast<size_t>(out[i]));
  // The tasks are met in no order: each is asked for a few links ahead.
  constexpr size_t ahead = 16;
  for (size_t k = links.size(); k-- > 0;) {
    if (k >= ahead) __builtin_prefetch(&g->T[static_cast<size_t>(links[k - ahead]->Task_From)]);
    const auto from = static_cast<size_t>(links[k]->Task_From);
    g->T[from].Neighbors.push_back(std::move(links[k]));
  }
  return g;
}

void dumpe_network(const Graph& g, FILE* out) {
  const int n = g.Size;
  const auto width = static_cast<size_t>(std::max(n, 0));
  const std::string frame = "   " + std::string(2 * width + 3, '.');
  std::fprintf(out, "Reseau de taille %d\n", n);
  std::fprintf(out, "%s\n", frame.c_str());
  // The table is the square of the tasks, but each row costs its links and
  // one write: the cells of a row's targets are set in a blank row and
  // cleared again for the next.
  std::vector<const LINK_DESC*> data(width, nullptr), program(width, nullptr);
  std::vector<int> targets;
  std::string row;
  for (int i = 0; i < n; ++i) {
    const TASK& t = g.T[static_cast<size_t>(i)];
    targets.clear();
    // The first link of each kind met in list order (the last written).
    for (const LinkPtr& l : t.Neighbors) {
      if (l->Task_To < 0 || l->Task_To >= n) continue;
      const auto to = static_cast<size_t>(l->Task_To);
      auto& cell = (l->Link_Type == DATA ? data : program)[to];
      if (cell != nullptr) continue;
      cell = l.get();
      targets.push_back(l->Task_To);
    }
    char head[16];
    const int head_len = std::snprintf(head, sizeof head, "%3d.", i + 1);
    row.assign(head, static_cast<size_t>(head_len));
    const size_t laws = row.size();
    row.append(width, ' ');
    row.push_back('.');
    const size_t depths = row.size();
    row.append(width, ' ');
    bool one_digit = true;
    for (int j : targets) {
      const auto to = static_cast<size_t>(j);
      if (const LINK_DESC* l = data[to]; l != nullptr && l->Link_Law) row[laws + to] = l->Link_Law->Name;
      if (const LINK_DESC* l = program[to]) {
        if (l->Depth >= 0 && l->Depth <= 9) row[depths + to] = static_cast<char>('0' + l->Depth);
        else one_digit = false;
      }
    }
    if (!one_digit) {
      // A depth of several digits widens its cell.
      row.resize(depths);
      for (size_t j = 0; j < width; ++j) {
        if (program[j] != nullptr) row += std::to_string(program[j]->Depth);
        else row.push_back(' ');
      }
    }
    row.append(".\n");
    std::fwrite(row.data(), 1, row.size(), out);
    for (int j : targets) data[static_cast<size_t>(j)] = program[static_cast<size_t>(j)] = nullptr;
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
