// What the TGL grammar's actions and the scanner share with the reader.
// Internal to the task-graph library.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/law.h"
#include "taskgraph/task_graph.h"

namespace orv::tg {

// A name as scanned: where it is in the text, hashed once by the scanner.
// Plain data, for the parser's stack.
struct NAME {
  const char* data;
  uint32_t size;
  uint32_t hash;
  std::string_view text() const { return {data, size}; }
};
NAME Scanned_Name(std::string_view text);

// Names numbered from 0 by first appearance, each kept once. Open
// addressing over slots that hold a name's hash, its number and the name
// itself when it is short, else its place in one buffer of names: with a
// million names every look-up misses the cache, and a slot that needs
// nothing else misses it least.
class Name_Table {
 public:
  // The number of name; a new name takes the next one.
  int Number(const NAME& name, bool& is_new);
  // Starts bringing the slot of a name about to be numbered into the cache.
  void Prefetch(uint32_t hash) const {
    if (!slots_.empty()) __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
  }
  std::string_view Name(int n) const {
    const auto i = static_cast<size_t>(n);
    return std::string_view(chars_).substr(starts_[i], starts_[i + 1] - starts_[i]);
  }
  int Size() const { return static_cast<int>(starts_.size()) - 1; }

 private:
  // The top bit of tag marks a name of at most 7 bytes, held in word with
  // its length in the top byte; a longer one has word = place | length << 32.
  struct Slot {
    uint32_t tag;
    int number;  // -1: free
    uint64_t word;
  };
  std::vector<Slot> slots_;
  std::string chars_;
  std::vector<uint32_t> starts_ = {0};  // of each name in chars_, and the end
  void grow();
};

// The records of the text, in written order.
using TASK_LIST = std::vector<TASK>;
using LINK_RECORDS = std::vector<LinkPtr>;

struct BIPOINT {  // plain data, for the parser's stack
  int Origin;
  int Destination;
};

// IPP laws nest through the grammar's one right recursion; this keeps the
// parser stack within about 10000 entries, and the recursive law code off
// the end of the C stack.
inline constexpr int Max_Law_Nesting = 2500;

// One parse. The name tables belong to it, so a second read in one process
// numbers its tasks from 0 again.
struct Reader {
  void* scanner = nullptr;
  int lineno = 1;         // TGL_lineno
  std::string_view text;  // the last token scanned, for messages
  int open_laws = 0;      // IPP laws begun and not yet closed
  Name_Table TaskIdents;
  Name_Table LinkIdents;
  TASK_LIST tasks;
  LINK_RECORDS links;
  // The values of the real lists being read, one after the other; a law
  // takes its own from the end.
  std::vector<double> reals;
  std::vector<double> first, second;  // a law's lists, kept for their room
  GraphPtr The_Task_Graph;
  bool parsed = false;
  bool told_dos = false;        // the DOS line-end note has been given
  bool link_name_next = false;  // a LINK was scanned: the next name is a link's
};

int Task_Number(Reader& rd, const NAME& name);
int Link_Number(Reader& rd, const NAME& name);

// A task and a link go into rd.tasks and rd.links.
void Parse_Task(Reader& rd, const NAME& name, std::optional<std::string_view> given, LawPtr law);
BIPOINT Parse_Ends(Reader& rd, const NAME& from, const NAME& to);
LinkPtr Parse_Data_Link(int synchro, BIPOINT ends, LawPtr law);
LinkPtr Parse_Program_Link(int synchro, BIPOINT ends, int depth);
void Parse_Link(Reader& rd, const NAME& name, LinkPtr link);

// A law of any letter but 'P' from the values read into rd.reals since
// first: one list, or two when second marks where the second one begins.
// The values leave rd.reals.
LawPtr Written_Law(Reader& rd, char id, size_t first, size_t second = No_Second_List);

// Tasks and links in written order. Null, after messages on stderr, when a
// link names a task that is not declared or a name is declared twice.
GraphPtr Parse_TG(TASK_LIST tasks, LINK_RECORDS links, const Name_Table& task_names);

}  // namespace orv::tg
