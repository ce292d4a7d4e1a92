// What the TGL grammar's actions and the scanner share with the reader.
// Internal to the task-graph library.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/law.h"
#include "taskgraph/task_graph.h"

namespace orv::tg {

// Names numbered from 0 by first appearance. An open-addressing table of
// numbers over the names themselves: a hash-map node and a second copy of
// every name were a quarter of a large read.
class Name_Table {
 public:
  std::vector<std::string> Idents;
  // The number of name; a new name takes the next one.
  int Number(std::string_view name, bool& is_new);

 private:
  std::vector<int> slots_;      // -1 free, else a number
  std::vector<size_t> hashes_;  // per number
  void grow();
};

using TaskPtr = std::unique_ptr<TASK>;

// One object of the text: exactly one of the two is set.
struct OBJECT {
  LinkPtr A_Link;
  TaskPtr A_Task;
};
// Objects in written order (the list the grammar's prepending builds is its
// reverse, and extracting from that list by prepending again gives written
// order back).
using OBJ_LIST = std::vector<OBJECT>;

struct BIPOINT {
  int Origin = 0;
  int Destination = 0;
};

// IPP laws nest through the grammar's one right recursion; this keeps the
// parser stack within about 10000 entries, and the recursive law code off
// the end of the C stack.
inline constexpr int Max_Law_Nesting = 2500;

// One parse. The name tables belong to it, so a second read in one process
// numbers its tasks from 0 again.
struct Reader {
  void* scanner = nullptr;
  int lineno = 1;      // TGL_lineno
  std::string text;    // text of the last token scanned, for messages
  int open_laws = 0;   // IPP laws begun and not yet closed
  Name_Table TaskIdents;
  Name_Table LinkIdents;
  GraphPtr The_Task_Graph;
  bool parsed = false;
  bool told_dos = false;  // the DOS line-end note has been given
};

int Task_Number(Reader& rd, const std::string& name);
int Link_Number(Reader& rd, const std::string& name);

TaskPtr Parse_Task(Reader& rd, std::string name, std::optional<std::string> given,
                   LawPtr law);
BIPOINT Parse_Ends(Reader& rd, const std::string& from, const std::string& to);
LinkPtr Parse_Data_Link(int synchro, BIPOINT ends, LawPtr law);
LinkPtr Parse_Program_Link(int synchro, BIPOINT ends, int depth);
LinkPtr Parse_Link(Reader& rd, std::string name, LinkPtr link);

// Tasks and links in written order. Null, after messages on stderr, when a
// link names a task that is not declared or a name is declared twice.
GraphPtr Parse_TG(std::vector<TaskPtr> tasks, std::vector<LinkPtr> links,
                  const Name_Table& task_names);

}  // namespace orv::tg
