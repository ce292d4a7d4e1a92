// resources.tab: a table that reads is written as a header.
#include "fuzz_util.h"
#include "table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static FILE* null = std::fopen("/dev/null", "w");
  FILE* in = orv::fuzz::open_text(data, size);
  if (!in) return 0;
  std::vector<orv::zembrot::RECORD> records;
  if (orv::zembrot::Read_Table(in, records) == orv::zembrot::Read_Status::Ok)
    orv::zembrot::Write_Header(null, records);
  std::fclose(in);
  return 0;
}
