#include "petri/pnl_reader.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <new>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "common/address_write.h"
#include "common/read_text.h"
#include "petri/pnl_scan.h"
#include "pnl_parser.hpp"

namespace orv::pn {

int Debug = 0;
int Nb_Submodels = 0;
std::vector<std::string> File_Name_Table;
int Submodel_Level = 0;
int Max_Submodel_Depth = 100;
long Max_Submodel_Instances = 100000;
long Max_Read_Bytes = static_cast<long>(Max_Text_Bytes);
long Max_Read_Objects = 1L << 23;
long Max_Read_Values = 1L << 24;
int Parsing_Done = 0;

namespace {

constexpr const char* TAG = "PN parse";

// What the read under way has taken so far, submodel files included.
struct Read_Totals {
  long bytes = 0;
  long objects = 0;
  long values = 0;
};
Read_Totals totals;
// Set while a read is under way: a nested read (a submodel file) adds to
// the totals of the outermost one.
int reads_open = 0;

struct Read_Scope {
  bool outer;
  Read_Scope() : outer(reads_open == 0) {
    if (outer) totals = {};
    ++reads_open;
  }
  ~Read_Scope() { --reads_open; }
  Read_Scope(const Read_Scope&) = delete;
  Read_Scope& operator=(const Read_Scope&) = delete;
};

[[noreturn]] void bytes_bound(const std::string& path) {
  std::printf("%s: error: more than %ld bytes of model text to read, submodels included "
              "(at %s); net not read.\n",
              TAG, Max_Read_Bytes, Input_Name(path).c_str());
  throw Read_Bound{};
}

// Files being read, outermost first: a submodel file met again among them
// would be read without end.
std::vector<std::pair<dev_t, ino_t>> open_files;

struct Open_File_Guard {
  bool pushed = false;
  ~Open_File_Guard() {
    if (pushed) open_files.pop_back();
  }
};

bool is_directory(FILE* f) {
  struct stat st;
  return fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode);
}

FILE* open_plain(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "r");
  if (f && is_directory(f)) {
    std::fclose(f);
    errno = EISDIR;
    return nullptr;
  }
  return f;
}

NetPtr parse_with(Reader& rd, const std::string& path) {
  Parsing_Done = 0;
  rd.objects_left = Max_Read_Objects - totals.objects;
  {
    // Built without the parser trace: "-yydebug" has nothing to turn on.
    yy::PnlParser parser(rd);
    const int failed = parser.parse();
    // The submodel files, read next, count on from here.
    totals.objects = Max_Read_Objects - rd.objects_left;
    if (failed != 0) return nullptr;
  }
  if (rd.failed || !rd.parsed) return nullptr;
  NetPtr net = Parse_PN(std::move(*rd.parsed), path);
  rd.parsed.reset();
  if (Debug) std::fputs("Reseau ok\n", stdout);
  if (net) net->File_Name = path;
  return net;
}

NetPtr read_guarded(FILE* in, const std::string& path) {
  Open_File_Guard guard;
  struct stat st;
  if (fstat(fileno(in), &st) == 0 && S_ISREG(st.st_mode)) {
    std::pair<dev_t, ino_t> id{st.st_dev, st.st_ino};
    if (std::find(open_files.begin(), open_files.end(), id) != open_files.end()) {
      std::printf("%s: error: file %s includes itself through its submodels.\n", TAG,
                  path.c_str());
      return nullptr;
    }
    open_files.push_back(id);
    guard.pushed = true;
  }
  std::string text;
  const long room = std::max(0L, Max_Read_Bytes - totals.bytes);
  Read_Result got = Read_Whole_Stream(in, text, static_cast<size_t>(room));
  if (got == Read_Result::Read_Error) throw Scan_Error("input in flex scanner failed");
  if (got == Read_Result::Too_Long) bytes_bound(path);
  totals.bytes += static_cast<long>(text.size());
  if (text.size() > static_cast<size_t>(INT32_MAX) - 2) throw std::bad_alloc();
  Reader rd;
  rd.path = path;
  Scanner scanner(rd, text);  // in place: the text is ours
  return parse_with(rd, path);
}

void no_memory() { std::fputs("Warning: not enough memory: PetriNet not created\n", stderr); }

void scan_failed(const Scan_Error& e, const std::string& path) {
  std::printf("%s: error: %s while reading %s.\n", TAG, e.what(),
              path.empty() ? "standard input" : path.c_str());
}

const char* file_of(const PetriNet& net) { return net.File_Name.c_str(); }

void address_error(const PetriNet& net, const char* what, int n) {
  std::printf("%s: error: illegal %s (%d) found", TAG, what, n);
  std::printf(" in file %s.\n", file_of(net));
}

void type_error(const PetriNet& net, char type) {
  std::printf("%s: error: illegal address type (%c) found", TAG, type);
  std::printf(" in file %s.\n", file_of(net));
}

// The submodels of the net being checked by number, so that checking its
// bindings stays linear in the number of instances. The first of a repeated
// number wins, as in a scan of S.
using Sub_Index = std::unordered_map<int, const SUBM_DES*>;

Sub_Index index_submodels(const PetriNet& net) {
  Sub_Index index;
  for (const auto& s : net.S) index.emplace(s.Subm_Id, &s);
  return index;
}

const SUBM_DES* find_submodel(const PetriNet& net, int id, const Sub_Index* index) {
  if (index) {
    auto it = index->find(id);
    return it == index->end() ? nullptr : it->second;
  }
  for (const auto& s : net.S)
    if (s.Subm_Id == id) return &s;
  return nullptr;
}

char find_type(const PetriNet& net, const ADDRESS* a, const Sub_Index* index) {
  if (!a) return 'X';
  switch (a->Type) {
    case 'I': case 'O': case 'P': case 'T': return a->Type;
    case 'S': {
      const SUBM_DES* s = find_submodel(net, a->Number, index);
      if (!s || !s->Submodel) {
        address_error(net, "submodel number", a->Number);
        return 'X';
      }
      return find_type(*s->Submodel, a->Next.get(), nullptr);
    }
    default:
      type_error(net, a->Type);
      return 'X';
  }
}

AddressPtr expand(const PetriNet& net, const ADDRESS* a, const Sub_Index* index) {
  if (!a) return nullptr;
  switch (a->Type) {
    case 'I': case 'O': {
      bool in = a->Type == 'I';
      const auto& table = in ? net.Inputs : net.Outputs;
      int count = in ? net.Nb_Inputs : net.Nb_Outputs;
      // Ports run from 1; an unfilled one (a gap, or an export ignored as
      // out of range) names nothing.
      if (a->Number < 1 || a->Number > count || !table[static_cast<size_t>(a->Number - 1)]) {
        address_error(net, in ? "input number" : "output number", a->Number);
        return nullptr;
      }
      const ADDRESS* e = table[static_cast<size_t>(a->Number - 1)].get();
      if (e->Type == 'P' || e->Type == 'T' || e->Type == 'S') return expand(net, e, index);
      type_error(net, e->Type);
      return nullptr;
    }
    case 'P': case 'T': {
      bool place = a->Type == 'P';
      int count = place ? net.Nb_Places : net.Nb_Trans;
      if (a->Number < 0 || a->Number >= count) {
        address_error(net, place ? "place number" : "transition number", a->Number + 1);
        return nullptr;
      }
      return New_Address(a->Type, a->Number);
    }
    case 'S': {
      const SUBM_DES* s = find_submodel(net, a->Number, index);
      if (!s || !s->Submodel) {
        address_error(net, "submodel number", a->Number);
        return nullptr;
      }
      AddressPtr next = expand(*s->Submodel, a->Next.get(), nullptr);
      if (!next) return nullptr;
      return New_Address('S', a->Number, std::move(next));
    }
    default:
      type_error(net, a->Type);
      return nullptr;
  }
}

// Moves one parsed object kind (held in written order) into its table.
// Numbers out of range are reported and skipped; a number the size declares
// but no item defines would leave an object without a law, so it refuses the
// net. Messages follow list order, the reverse of the written one. in_order
// is what the parse found (see Parsed).
// The usual file numbers its objects 1..n in order: the list is the table.
template <class List>
bool list_is_table(const List& list, int size, bool in_order) {
  return in_order && static_cast<long long>(list.size()) == size;
}

template <class Obj, class List, class IdOf>
bool place_objects(List& list, int size, std::vector<Obj>& table, IdOf id_of, bool places,
                   bool in_order) {
  const char* kind = places ? "place" : "transition";
  const char* plural = places ? "places" : "transitions";
  if (list_is_table(list, size, in_order)) {
    table = std::move(list);
    list.clear();
    return true;
  }
  std::vector<Obj*> valid;
  for (auto it = list.rbegin(); it != list.rend(); ++it) {
    auto& o = *it;
    int n = id_of(o);
    if (n < 0) {
      if (places)
        std::fprintf(stderr, "Error: illegal place number (%d). Place ignored.\n", n + 1);
      else
        std::fprintf(stderr, "Error: illegal transition number (%d). Transition ignored.\n", n + 1);
    } else if (n >= size) {
      if (places)
        std::fprintf(stderr, "Number of place > Place Size. Place '%d' ignored.\n", n + 1);
      else
        std::fprintf(stderr, "Number of Transition > Trans. Size . Transition '%d' ignored.\n",
                     n + 1);
    } else {
      valid.push_back(&o);
    }
  }
  std::vector<int> numbers;
  numbers.reserve(valid.size());
  for (Obj* o : valid) numbers.push_back(id_of(*o));
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  if (static_cast<long long>(numbers.size()) < size) {
    int first = 0;
    while (first < static_cast<int>(numbers.size()) && numbers[static_cast<size_t>(first)] == first)
      ++first;
    std::fprintf(stderr, "Error: %s %d not defined (%d of %d %s missing). Net refused.\n", kind,
                 first + 1, size - static_cast<int>(numbers.size()), size, plural);
    return false;
  }
  table.resize(static_cast<size_t>(size));
  std::vector<char> filled(static_cast<size_t>(size), 0);
  // List order is the reverse of the written one, so the first declaration
  // of a number is placed last and stays.
  for (Obj* o : valid) {
    auto n = static_cast<size_t>(id_of(*o));
    if (filled[n])
      std::fprintf(stderr, "Warning: %s %d declared twice; the first declaration is kept.\n",
                   kind, static_cast<int>(n) + 1);
    filled[n] = 1;
    table[n] = std::move(*o);
  }
  return true;
}

void fill_ports(const BINDING_LIST& exports, char type, std::vector<AddressPtr>& table,
                int& count, const char* what) {
  count = 0;
  for (const auto& b : exports)
    if (b.From && b.From->Type == type) ++count;
  table.clear();
  table.resize(static_cast<size_t>(count));
  for (const auto& b : exports) {
    if (!b.From || b.From->Type != type) continue;
    int n = b.From->Number - 1;
    if (n >= 0 && n < count) {
      table[static_cast<size_t>(n)] = Copy_Address(b.To.get());
    } else {
      std::printf("%s: warning: %s number %d outside legal interval", TAG, what, n + 1);
      std::printf("[%d..%d]. Ignored.\n", 1, count);
    }
  }
}

void Add_Binding(BINDING_LIST& bindings, char type, int number, LINK_LIST arc) {
  const ADDRESS* port = arc.A_Dest ? arc.A_Dest->Next.get() : nullptr;
  if (port && port->Type == 'I') {
    BINDING b;
    b.From = New_Address(type, number);
    b.To = Copy_Address(arc.A_Dest.get());
    b.Link = std::make_unique<LINK_LIST>(std::move(arc));
    bindings.push_front(std::move(b));
    return;
  }
  if (port && port->Type == 'O')
    std::printf("%s: warning: link to an \"out\" [%c] port encountered ", TAG, port->Type);
  else
    std::printf("%s: warning: unexpected address encountered ", TAG);
  std::printf("at object %c %d (ignored).\n", type, number);
}

// Inverts one object kind's output arcs into the other kind's Inputs (empty
// until then). From places, also finds the largest initial population.
template <class From, class To>
bool invert_arcs(PetriNet& net, std::vector<From>& from, std::vector<To>& to, char type,
                 int wrong_kind, const char* kind, bool set_flags) {
  bool ok = true;
  int nb_to = static_cast<int>(to.size());
  // Objects given more than one input arc: only their lists need turning
  // round and trimming below.
  std::vector<int> several;
  for (size_t i = 0; i < from.size(); ++i) {
    if constexpr (std::is_same_v<From, PL_DES>)
      net.Max_Pop_Init = std::max(net.Max_Pop_Init, from[i].Init_Pop);
    // The arcs that stay are packed towards the front in place.
    ARC_LIST& outs = from[i].Outputs;
    size_t kept = 0;
    int position = 0;
    for (auto& arc : outs) {
      if (arc.A_Dest) {
        arc.Position = position++;
        Add_Binding(net.Binding_Table, type, static_cast<int>(i), std::move(arc));
        continue;
      }
      ++position;
      if (arc.Link_Type == wrong_kind || arc.Dest < 0 || arc.Dest >= nb_to) {
        const char* prefix = arc.Link_Type == 2 ? "P" : arc.Link_Type == 1 ? "T" : "";
        std::printf("%s: error: illegal arc destination (%s%d) from %s %d in file %s.\n", TAG,
                    prefix, arc.Dest + 1, kind, static_cast<int>(i) + 1, file_of(net));
        ok = false;
        continue;
      }
      LINK_LIST in;
      in.Link_Type = type == 'P' ? 2 : 1;
      in.Dest = static_cast<int>(i);
      in.Weight = arc.Weight;
      in.Data = arc.Data;
      if (set_flags) {
        in.Is_Inhibitor = arc.Is_Inhibitor;
        if (arc.Weight > 1) net.Has_Weights = 1;
        if (arc.Is_Inhibitor) net.Has_Inhibitors = 1;
      }
      auto& dest = to[static_cast<size_t>(arc.Dest)];
      dest.Inputs.push_back(std::move(in));  // reversed below into list order
      if (dest.Inputs.size() == 2) several.push_back(arc.Dest);
      ++dest.Indegree;
      if (&outs[kept] != &arc) outs[kept] = std::move(arc);
      ++kept;
    }
    outs.erase(outs.begin() + static_cast<std::ptrdiff_t>(kept), outs.end());
  }
  // Each new arc was meant to go in front of the ones already there. The
  // lists grew by doubling; the net keeps them as long as it lives.
  for (int d : several) {
    ARC_LIST& ins = to[static_cast<size_t>(d)].Inputs;
    std::reverse(ins.begin(), ins.end());
    ins.shrink_to_fit();
  }
  return ok;
}

void print_inconsistent(const ADDRESS* from, const ADDRESS* to, char f, char t) {
  std::printf("%s: Inconsistency detected in binding ", TAG);
  Write_Address(stdout, from);
  std::fputs(" -> ", stdout);
  Write_Address(stdout, to);
  std::printf(": %c -> %c\n", f, t);
}

bool accepted_pair(char f, char t) {
  switch (f) {
    case 'P': case 'T': return t == 'I' || t == 'X';
    case 'O': return t == 'P' || t == 'T' || t == 'I' || t == 'X';
    default: return false;
  }
}

void expand_in_place(const PetriNet& net, const Sub_Index& index, AddressPtr& a, char& type) {
  AddressPtr e = expand(net, a.get(), &index);
  if (Debug) {
    std::fputs("Expanding address ", stdout);
    Write_Address(stdout, a.get());
    std::fputs(" into ", stdout);
    Write_Address(stdout, e.get());
    std::fputc('\n', stdout);
  }
  if (e) {
    a = std::move(e);
    type = find_type(net, a.get(), &index);
  } else {
    type = 'X';
  }
}

// An address chain as a key: its types and numbers.
std::string address_key(const ADDRESS* a) {
  std::string k;
  for (; a; a = a->Next.get()) {
    k += a->Type;
    k.append(reinterpret_cast<const char*>(&a->Number), sizeof a->Number);
  }
  return k;
}

// `bound` counts the expanded ends of the place's arcs through submodel
// ports: an entry naming a submodel's transition must be one of them, or
// flattening would route tokens to a transition the place does not feed.
bool routing_ok(const PetriNet& net, const Sub_Index& index, const PL_DES& p,
                const std::unordered_map<std::string, int>& bound) {
  const ROUTING& r = *p.Routing;
  if (r.Type != 'D' && r.Type != 'P') return true;
  std::vector<int> outs;
  for (const auto& arc : p.Outputs) outs.push_back(arc.Dest);
  std::sort(outs.begin(), outs.end());
  std::vector<int> listed;
  std::unordered_map<std::string, int> bound_listed;
  for (const auto& a : r.Cycle) {
    if (!a) continue;
    AddressPtr e;
    const ADDRESS* entry = a.get();
    if (a->Type != 'P' && a->Type != 'T') {
      e = expand(net, a.get(), &index);
      if (!e) return false;
      entry = e.get();
    }
    if (entry->Type == 'S') {
      if (find_type(net, entry, &index) != 'T') return false;
      std::string key = address_key(entry);
      if (!bound.contains(key)) return false;
      bound_listed.emplace(std::move(key), 1);
      continue;
    }
    // An entry must name one of the place's output transitions.
    if (entry->Number < 0 || entry->Number >= net.Nb_Trans) return false;
    if (!std::binary_search(outs.begin(), outs.end(), entry->Number)) return false;
    listed.push_back(entry->Number);
  }
  std::sort(listed.begin(), listed.end());
  for (int o : outs)
    if (!std::binary_search(listed.begin(), listed.end(), o)) return false;
  if (bound_listed.size() != bound.size()) return false;
  if (r.Type == 'D') return r.Period >= p.Outdegree;
  if (r.Period != p.Outdegree) return false;
  if (std::adjacent_find(outs.begin(), outs.end()) != outs.end()) return false;
  for (const auto& [key, count] : bound)
    if (count > 1) return false;
  return true;
}

void dump_arc(FILE* out, const LINK_LIST& arc) {
  if (arc.A_Dest) {
    std::fputs("[", out);
    Write_Address(out, arc.A_Dest.get());
    std::fprintf(out, " %d %s]", arc.Weight, arc.Data.c_str());
  } else {
    std::fprintf(out, "[%d %d %s]", arc.Dest, arc.Weight, arc.Data.c_str());
  }
}

char law_letter(const LawPtr& law) { return law ? law->Name : '?'; }

}  // namespace

FILE* Open_PNL_File(const std::string& name) {
  if (name.empty()) return stdin;
  if (FILE* f = open_plain(name)) return f;
  const int cause = errno;
  const char* env = std::getenv("PNL_PATH");
  if (env) {
    std::string paths = env;
    size_t start = 0;
    while (start <= paths.size()) {
      size_t end = paths.find(':', start);
      if (end == std::string::npos) end = paths.size();
      std::string dir = paths.substr(start, end - start);
      if (Debug) std::printf("%s: looking for file %s in dir \"%s\"...", TAG, name.c_str(), dir.c_str());
      FILE* f = open_plain(dir + "/" + name);
      if (f) {
        if (Debug) std::fputs("found\n", stdout);
        return f;
      }
      if (Debug) std::fputs("not there.\n", stdout);
      start = end + 1;
    }
  }
  // Said whatever the trace flag: a program's own "Error reading network"
  // does not tell a missing file from a bad one.
  std::printf("%s: error: could not open file %s for reading.\n", TAG, name.c_str());
  std::printf("%s: %s%s.\n", TAG, std::strerror(cause),
              env ? ", and not found along PNL_PATH" : "");
  return nullptr;
}

std::string Input_Name(const std::string& path) {
  return path.empty() ? "standard input" : "file " + path;
}

void Objects_Bound(const Reader& rd) {
  std::printf("%s: error: more than %ld transitions, places and arcs to build, submodels "
              "included (at %s); net not read.\n",
              TAG, Max_Read_Objects, Input_Name(rd.path).c_str());
  throw Read_Bound{};
}

void Count_Values(Reader& rd, long n) {
  totals.values += n;
  if (totals.values > Max_Read_Values) {
    std::printf("%s: error: more than %ld initial tokens and repeated values, submodels "
                "included (line %d of %s); net not read.\n",
                TAG, Max_Read_Values, rd.lineno, Input_Name(rd.path).c_str());
    throw Read_Bound{};
  }
}

// Every entry point: errors of this read end in null, and a bound passed
// unwinds every nested read to the outermost one.
template <class F>
NetPtr guarded_read(const std::string& path, F&& read) {
  Read_Scope scope;
  try {
    return read();
  } catch (const std::bad_alloc&) {
    no_memory();
  } catch (const Scan_Error& e) {
    scan_failed(e, path);
  } catch (const Read_Bound&) {
    if (!scope.outer) throw;
  }
  return nullptr;
}

NetPtr Read_Network(const std::string& path) {
  FILE* in = Open_PNL_File(path);
  if (!in) return nullptr;
  struct Closer {
    FILE* f;
    ~Closer() { std::fclose(f); }
  } closer{in};
  return guarded_read(path, [&] { return read_guarded(in, path); });
}

NetPtr Read_Network_Stream(FILE* in, const std::string& path) {
  return guarded_read(path, [&] { return read_guarded(in, path); });
}

NetPtr Read_Network_Buffer(std::string_view text, const std::string& path) {
  return guarded_read(path, [&] {
    if (static_cast<long>(text.size()) > Max_Read_Bytes - totals.bytes) bytes_bound(path);
    if (text.size() > static_cast<size_t>(INT32_MAX)) throw std::bad_alloc();
    totals.bytes += static_cast<long>(text.size());
    Reader rd;
    rd.path = path;
    Scanner scanner(rd, text);
    return parse_with(rd, path);
  });
}

NetPtr Parse_PN(Parsed parsed, const std::string& path) {
  auto net = std::make_unique<PetriNet>();
  net->Nb_Trans = parsed.decl.t_size;
  net->Nb_Places = parsed.decl.p_size;
  net->Sim_Params = std::make_unique<Sim_Control>();
  net->Sim_Params->Nb_Firings = parsed.decl.duration;
  // Messages of the checks below name the file being read.
  net->File_Name = path.empty() ? "<unknown>" : path;

  bool ok = place_objects(parsed.lists.Transitions, net->Nb_Trans, net->T,
                          [](const TR_DES& t) { return t.Tr_Id; }, false, parsed.t_in_order);
  ok = place_objects(parsed.lists.Places, net->Nb_Places, net->P,
                     [](const PL_DES& p) { return p.Pl_Id; }, true, parsed.p_in_order) &&
       ok;
  if (!ok) {
    Parsing_Done = 1;
    return nullptr;
  }

  fill_ports(parsed.exports, 'I', net->Inputs, net->Nb_Inputs, "Input");
  fill_ports(parsed.exports, 'O', net->Outputs, net->Nb_Outputs, "Output");

  net->Nb_Submodels = static_cast<int>(parsed.lists.Submodels.size());
  bool refused = false;
  if (net->Nb_Submodels > 0) {
    for (auto& s : parsed.lists.Submodels) {
      s.Father = net.get();
      net->S.push_back(std::move(s));
    }
    refused = !Read_Submodel_Files(net->S);
  }
  if (!refused) {
    net->Binding_Table = std::move(parsed.bindings);
    bool arcs_ok = Invert_Network(*net);
    bool consistent = Consistency_Checking(*net, parsed.routings) == 1;
    refused = !arcs_ok || !consistent;
  }
  Parsing_Done = 1;
  if (refused) return nullptr;
  return net;
}

bool Read_Submodel_Files(std::vector<SUBM_DES>& subs) {
  Nb_Submodels = static_cast<int>(subs.size());
  if (subs.empty()) {
    if (Debug) std::fputs("No Submodels found.\n", stdout);
    return true;
  }
  if (Debug) std::printf("Found %d Submodels in total.\n", Nb_Submodels);
  File_Name_Table.clear();
  for (const auto& s : subs) File_Name_Table.push_back(s.File_Name);
  static long instances_read = 0;
  if (Submodel_Level == 0) instances_read = 0;
  if (Submodel_Level >= Max_Submodel_Depth) {
    std::printf("%s: error: submodel files nested deeper than %d levels (%s).\n", TAG,
                Max_Submodel_Depth, subs.front().File_Name.c_str());
    return false;
  }
  bool ok = true;
  for (auto& s : subs) {
    if (++instances_read > Max_Submodel_Instances) {
      std::printf("%s: error: more than %ld submodel instances (%s).\n", TAG,
                  Max_Submodel_Instances, s.File_Name.c_str());
      return false;
    }
    if (Debug)
      std::printf("Opening file %s, looking for submodel [level %d]\n", s.File_Name.c_str(),
                  Submodel_Level);
    struct Level {
      Level() { ++Submodel_Level; }
      ~Level() { --Submodel_Level; }
    };
    {
      Level level;
      s.Submodel = Read_Network(s.File_Name);
    }
    if (s.Submodel) {
      if (Debug) {
        std::printf("Submodel %s", s.File_Name.c_str());
        std::printf("[#%d] ", s.Subm_Id);
        std::fputs("recognized\n", stdout);
      }
      --Nb_Submodels;
    } else {
      std::printf("%s: fatal error: Could not get submodel in file %s.\n", TAG,
                  s.File_Name.c_str());
      ok = false;
    }
  }
  Parsing_Done = 0;
  return ok;
}

bool Invert_Network(PetriNet& net) {
  bool ok = invert_arcs(net, net.P, net.T, 'P', 2, "place", true);
  ok = invert_arcs(net, net.T, net.P, 'T', 1, "transition", false) && ok;
  return ok;
}

char Find_Type(const PetriNet& net, const ADDRESS* a) { return find_type(net, a, nullptr); }

AddressPtr Expand_Address(const PetriNet& net, const ADDRESS* a) { return expand(net, a, nullptr); }

int Consistency_Checking(PetriNet& net, bool routings) {
  bool ok = true;
  const Sub_Index index = index_submodels(net);
  for (auto& b : net.Binding_Table) {
    char f = find_type(net, b.From.get(), &index);
    char t = find_type(net, b.To.get(), &index);
    if (!accepted_pair(f, t)) {
      print_inconsistent(b.From.get(), b.To.get(), f, t);
      ok = false;
      continue;
    }
    char f2 = 'X', t2 = 'X';
    expand_in_place(net, index, b.From, f2);
    if (!b.To) {
      // A local arc: its other end is of the opposite kind, unless the arc
      // named its kind, which must then fit.
      char kind = f2 == 'P' ? 'T' : f2 == 'T' ? 'P' : 'X';
      int dest = 0;
      if (b.Link) {
        if (b.Link->Link_Type == 2) kind = 'P';
        if (b.Link->Link_Type == 1) kind = 'T';
        dest = b.Link->Dest;
      }
      b.To = New_Address(kind, dest);
    }
    expand_in_place(net, index, b.To, t2);
    if (!((f2 == 'P' && t2 == 'T') || (f2 == 'T' && t2 == 'P'))) {
      print_inconsistent(b.From.get(), b.To.get(), f2, t2);
      ok = false;
    }
  }
  // The arcs each place sends through submodel ports, as the bindings now
  // hold them.
  std::unordered_map<int, std::unordered_map<std::string, int>> bound;
  if (routings)
    for (const auto& b : net.Binding_Table)
      if (b.From && b.From->Type == 'P' && b.To) ++bound[b.From->Number][address_key(b.To.get())];
  const std::unordered_map<std::string, int> none;
  for (size_t j = 0; routings && j < net.P.size(); ++j) {
    const PL_DES& p = net.P[j];
    if (!p.Routing) continue;
    auto it = bound.find(static_cast<int>(j));
    if (routing_ok(net, index, p, it == bound.end() ? none : it->second)) continue;
    std::printf("%s: Inconsistency detected in routing of place %d ", TAG, static_cast<int>(j));
    if (p.Name.empty())
      std::fputs("\n", stdout);
    else
      std::printf("(%s)\n", p.Name.c_str());
    ok = false;
  }
  return ok ? 1 : 0;
}

void invert_network() {
  if (Debug) std::printf("%s: Call to invert_network() obsolete. Update the code.\n", TAG);
}

void dumpe_network(const PetriNet& net, FILE* out) {
  std::fprintf(out, "Reseau de taille %d transitions et %d places\n", net.Nb_Trans, net.Nb_Places);
  std::vector<char> row;
  for (size_t i = 0; i < net.T.size(); ++i) {
    const TR_DES& t = net.T[i];
    row.assign(net.P.size(), '0');
    for (const auto& arc : t.Outputs)
      if (!arc.A_Dest && arc.Dest >= 0 && static_cast<size_t>(arc.Dest) < row.size())
        row[static_cast<size_t>(arc.Dest)] = '1';
    std::fprintf(out, "%3d.", static_cast<int>(i) + 1);
    for (char c : row) std::fprintf(out, " %c", c);
    std::fprintf(out, " %c", law_letter(t.Tr_Law));
    for (const auto& arc : t.Outputs) {
      std::fputc(' ', out);
      dump_arc(out, arc);
    }
    std::fputc('\n', out);
  }
  for (size_t j = 0; j < net.P.size(); ++j) {
    const PL_DES& p = net.P[j];
    row.assign(net.T.size(), '0');
    for (const auto& arc : p.Outputs)
      if (!arc.A_Dest && arc.Dest >= 0 && static_cast<size_t>(arc.Dest) < row.size())
        row[static_cast<size_t>(arc.Dest)] = arc.Is_Inhibitor ? '-' : '1';
    std::fprintf(out, "%3d.", static_cast<int>(j) + 1);
    for (char c : row) std::fprintf(out, " %c", c);
    std::fprintf(out, " %c (%1d)", law_letter(p.Pl_Law), p.Init_Pop);
    if (const ROUTING* r = p.Routing.get()) {
      switch (r->Type) {
        case 'C': std::fputs(" competition", out); break;
        case 'D': case 'P':
          std::fputs(r->Type == 'D' ? " cyclic:" : " priorities:", out);
          for (const auto& a : r->Cycle) {
            if (a && (a->Type == 'P' || a->Type == 'T')) {
              std::fprintf(out, " %d", a->Number);
            } else {
              std::fputc(' ', out);
              Write_Address(out, a.get());
            }
          }
          break;
        case 'R':
          std::fputs(" random:", out);
          for (double v : r->Probas) std::fprintf(out, " %6.4f", v);
          break;
        default: break;
      }
    }
    std::fputc('\n', out);
  }
  std::fprintf(out, "population initiale maximale: %d\n", net.Max_Pop_Init);
  if (net.Has_Weights) std::fputs("Some links have weights\n", out);
  if (net.Has_Inhibitors) std::fputs("There are inhibitor arcs\n", out);
  for (size_t i = 0; i < net.T.size(); ++i) {
    std::fprintf(out, "%1d Places amont de %d: ", net.T[i].Indegree, static_cast<int>(i) + 1);
    for (const auto& arc : net.T[i].Inputs) {
      dump_arc(out, arc);
      std::fputc(' ', out);
    }
    std::fputc('\n', out);
  }
  for (size_t j = 0; j < net.P.size(); ++j) {
    std::fprintf(out, "%1d Transitions amont de %d: ", net.P[j].Indegree, static_cast<int>(j) + 1);
    for (const auto& arc : net.P[j].Inputs) {
      dump_arc(out, arc);
      std::fputc(' ', out);
    }
    std::fputc('\n', out);
  }
  std::fprintf(out, "Inputs: %d\n", net.Nb_Inputs);
  std::fprintf(out, "Outputs: %d\n", net.Nb_Outputs);
  std::fputs("Bindings:", out);
  if (net.Binding_Table.empty()) {
    std::fputs(" none.\n", out);
  } else {
    std::fputc('\n', out);
    for (const auto& b : net.Binding_Table) {
      std::fputc('\t', out);
      Write_Address(out, b.From.get());
      std::fputs(" -> ", out);
      Write_Address(out, b.To.get());
      if (b.Link)
        std::fprintf(out, "[%d %s]\n", b.Link->Weight, b.Link->Data.c_str());
      else
        std::fputc('\n', out);
    }
  }
  std::fputs("Submodels:", out);
  if (net.S.empty()) {
    std::fputs(" none.\n", out);
    return;
  }
  std::fprintf(out, " %d\n", static_cast<int>(net.S.size()));
  for (const auto& s : net.S) {
    std::fprintf(out, "------ Submodel #%d ", s.Subm_Id);
    Write_Opt_String(out, s.Name, 2);
    std::fprintf(out, " in file %s ----------------\n", s.File_Name.c_str());
    if (s.Submodel) dumpe_network(*s.Submodel, out);
  }
}

}  // namespace orv::pn
