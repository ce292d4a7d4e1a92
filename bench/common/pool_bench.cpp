// One block taken and given back at a time, the way a reader takes a record
// for a moment: from an empty pool, and from a pool where another block
// stays live all along.
#include "common/compact.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void take_give(benchmark::State& state, bool hold_one) {
  void* held = hold_one ? orv::Take_Bytes(24) : nullptr;
  for (auto _ : state) {
    void* p = orv::Take_Bytes(24);
    benchmark::DoNotOptimize(p);
    orv::Give_Bytes(p, 24);
  }
  orv::Give_Bytes(held, 24);
}

void BM_TakeGiveEmptyPool(benchmark::State& state) { take_give(state, false); }
void BM_TakeGiveOneHeld(benchmark::State& state) { take_give(state, true); }

// Many blocks then all back, so the pool empties once a round.
void BM_FillAndEmpty(benchmark::State& state) {
  const auto n = static_cast<std::size_t>(state.range(0));
  std::vector<void*> blocks(n);
  for (auto _ : state) {
    for (auto& p : blocks) p = orv::Take_Bytes(24);
    for (void* p : blocks) orv::Give_Bytes(p, 24);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * n));
}

}  // namespace

BENCHMARK(BM_TakeGiveEmptyPool);
BENCHMARK(BM_TakeGiveOneHeld);
BENCHMARK(BM_FillAndEmpty)->Arg(100)->Arg(100000);

BENCHMARK_MAIN();
