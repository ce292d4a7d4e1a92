// zembrot: makes resources.h from resources.tab in the current directory.
#include <cstdio>

#include "common/output_guard.h"
#include "table.h"

namespace {
constexpr const char* TABLE = "resources.tab";
constexpr const char* HEADER = "resources.h";
}  // namespace

int main(int argc, char** argv) {
  using namespace orv::zembrot;
  const char* prog = argc > 0 ? argv[0] : "zembrot";
  // A header that cannot be written whole fails the run; the old header, if
  // any, stays as it was.
  orv::Output_Guard guard("zembrot", 2);

  FILE* in = std::fopen(TABLE, "r");
  if (!in) {
    std::fprintf(stderr, "%s: cannot open file %s\n", prog, TABLE);
    return 1;
  }
  std::vector<RECORD> records;
  Bad_Word bad;
  const Read_Status st = Read_Table(in, records, &bad);
  std::fclose(in);
  // The table is checked whole before the header is touched, so a build never
  // sees a half-written header newer than its table.
  switch (st) {
    case Read_Status::Ok:
      break;
    case Read_Status::Token_Too_Long:
      std::fprintf(stderr, "%s: token longer than %zu characters in %s\n", prog, MAX_TOKEN, TABLE);
      return 1;
    case Read_Status::Incomplete_Record:
      std::fprintf(stderr, "%s: incomplete record at the end of %s\n", prog, TABLE);
      return 1;
    case Read_Status::Empty:
      std::fprintf(stderr, "%s: no resource in %s\n", prog, TABLE);
      return 1;
    case Read_Status::Bad_Word:
      std::fprintf(stderr, "%s: line %d of %s: %s\n", prog, bad.Line, TABLE, bad.Reason.c_str());
      return 1;
    case Read_Status::Read_Error:
      std::fprintf(stderr, "%s: cannot read file %s\n", prog, TABLE);
      return 1;
  }

  FILE* out = guard.open(HEADER, false);
  if (!out) {
    std::fprintf(stderr, "%s: cannot open file %s\n", prog, HEADER);
    guard.report_open_failure(HEADER);
    return 2;
  }
  // A failed write is reported, with its cause, by the guard.
  Write_Header(out, records);
  return guard.finish(0);
}
