// A PNL net and its submodel files, read across files: the input is split at
// lines "%%" into main.pnl, a.pnl, b.pnl and c.pnl (later parts join c.pnl),
// which the net and its submodels name as they like. The net read is
// analysed, written and read back, then the same once flat.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_util.h"
#include "pnl_checks.h"

using namespace orv::pn;

namespace {

const char* const kFiles[] = {"main.pnl", "a.pnl", "b.pnl", "c.pnl"};
constexpr size_t kNbFiles = sizeof kFiles / sizeof kFiles[0];

void write_file(const char* name, std::string_view text) {
  FILE* f = std::fopen(name, "w");
  if (!f) std::abort();
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size()) std::abort();
  if (std::fclose(f) != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  orv::fuzz::work_dir();
  // A submodel named "" reads standard input: let it be empty.
  if (!std::freopen("/dev/null", "r", stdin)) std::abort();
  unsetenv("PNL_PATH");
  // Small enough that a handful of files naming each other many times over
  // cost a fuzzer's input a moment, not seconds.
  Max_Submodel_Instances = 2000;
  Max_Read_Objects = 1L << 18;
  Max_Read_Values = 1L << 18;
  Max_Read_Bytes = 1L << 22;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text = orv::fuzz::as_text(data, size);
  if (orv::fuzz::names_outside(text)) return 0;
  // Every file is written each time, empty when the input has no part for
  // it, so that nothing of an earlier input is read.
  std::string_view rest = text;
  for (size_t k = 0; k < kNbFiles; ++k) {
    std::string_view part = rest;
    size_t cut = k + 1 < kNbFiles ? rest.find("\n%%\n") : std::string_view::npos;
    if (cut == std::string_view::npos) {
      rest = {};
    } else {
      part = rest.substr(0, cut + 1);
      rest = rest.substr(cut + 4);
    }
    write_file(kFiles[k], part);
  }
  NetPtr net = Read_Network("main.pnl");
  if (!net) return 0;
  orv::fuzz::check_net(*net);
  return 0;
}
