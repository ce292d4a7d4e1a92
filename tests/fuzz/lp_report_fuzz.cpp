// The solver's report, as brodel, sabrel and dunvesk read it back.
#include "common/lp_bridge.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  orv::lp::Parse_Result(orv::fuzz::as_text(data, size));
  return 0;
}
