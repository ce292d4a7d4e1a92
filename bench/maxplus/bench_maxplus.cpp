// Max-plus kernels against the plain max/+ loop over the same numbers (no
// eps handling, flat arrays): the ratio of the two is the cost of the library.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "maxplus/maxplus.h"

namespace {

using namespace orv::mp;

// eps_percent of the entries eps, the rest in [-10, 10).
std::vector<double> random_values(std::size_t n, unsigned seed, int eps_percent = 10) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> value(-10.0, 10.0);
  std::uniform_int_distribution<int> percent(0, 99);
  std::vector<double> v(n);
  for (double& x : v) x = percent(gen) < eps_percent ? M_INFINITY : value(gen);
  return v;
}

Full_MaxPlus_Matrix full_from(const std::vector<double>& v, int n) {
  auto A = New_Full_MaxPlus_Matrix(n, n, 0);
  std::copy(v.begin(), v.end(), A->Vals.data());
  return A;
}

void BM_Full_MM_Mult(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int eps_percent = static_cast<int>(state.range(1));
  auto A = full_from(random_values(std::size_t(n) * n, 1, eps_percent), n);
  auto B = full_from(random_values(std::size_t(n) * n, 2, eps_percent), n);
  auto R = New_Full_MaxPlus_Matrix(n, n, 0);
  for (auto _ : state) {
    Full_MM_Mult(*A, *B, *R);
    benchmark::DoNotOptimize(R->Vals.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n * n * int64_t(n));
}

void BM_Plain_Full_Loop(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const int eps_percent = static_cast<int>(state.range(1));
  const std::vector<double> a = random_values(std::size_t(n) * n, 1, eps_percent);
  const std::vector<double> b = random_values(std::size_t(n) * n, 2, eps_percent);
  std::vector<double> r(std::size_t(n) * n);
  for (auto _ : state) {
    for (int i = 0; i < n; ++i) {
      double* ri = r.data() + std::size_t(i) * n;
      std::fill(ri, ri + n, M_INFINITY);
      for (int k = 0; k < n; ++k) {
        const double aik = a[std::size_t(i) * n + k];
        const double* bk = b.data() + std::size_t(k) * n;
        for (int j = 0; j < n; ++j) ri[j] = std::max(ri[j], aik + bk[j]);
      }
    }
    benchmark::DoNotOptimize(r.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n * n * int64_t(n));
}

// 100,000 rows of 10 entries in random columns, held both ways.
struct Sparse_Data {
  static constexpr int ROWS = 100000;
  static constexpr int PER_ROW = 10;
  SP_MaxPlus_Matrix M;
  std::vector<int> start;  // row i holds col/val[start[i] .. start[i+1])
  std::vector<int> col;
  std::vector<double> val;
  std::vector<double> x;
  Sparse_Data() {
    std::mt19937 gen(3);
    std::uniform_int_distribution<int> column(0, ROWS - 1);
    std::uniform_real_distribution<double> value(-10.0, 10.0);
    M = New_SP_MaxPlus_Matrix(ROWS, ROWS, 1);
    for (int i = 0; i < ROWS; ++i) {
      start.push_back(static_cast<int>(col.size()));
      for (int k = 0; k < PER_ROW; ++k) {
        int j = column(gen);
        while (Get_SP_Matrix_Entry(*M, i, j) != M_INFINITY) j = column(gen);
        const double v = value(gen);
        Set_SP_Matrix_Entry(*M, i, j, v);
        col.push_back(j);
        val.push_back(v);
      }
    }
    start.push_back(static_cast<int>(col.size()));
    x = random_values(ROWS, 4);
  }
};

const Sparse_Data& sparse_data() {
  static const Sparse_Data data;
  return data;
}

void BM_SP_MV_Mult(benchmark::State& state) {
  const Sparse_Data& d = sparse_data();
  auto X = New_SP_MaxPlus_Vector(Sparse_Data::ROWS, 0);
  X->Vals = d.x;
  auto Res = New_SP_MaxPlus_Vector(Sparse_Data::ROWS, 0);
  for (auto _ : state) {
    SP_MV_Mult(*d.M, *X, *Res);
    benchmark::DoNotOptimize(Res->Vals.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * Sparse_Data::ROWS * Sparse_Data::PER_ROW);
}

void BM_SP_VM_Mult(benchmark::State& state) {
  const Sparse_Data& d = sparse_data();
  auto X = New_SP_MaxPlus_Vector(Sparse_Data::ROWS, 0);
  X->Vals = d.x;
  auto Res = New_SP_MaxPlus_Vector(Sparse_Data::ROWS, 0);
  for (auto _ : state) {
    SP_VM_Mult(*X, *d.M, *Res);
    benchmark::DoNotOptimize(Res->Vals.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * Sparse_Data::ROWS * Sparse_Data::PER_ROW);
}

// The same entries in flat arrays indexed by row starts.
void BM_Plain_Sparse_Loop(benchmark::State& state) {
  const Sparse_Data& d = sparse_data();
  std::vector<double> res(Sparse_Data::ROWS);
  for (auto _ : state) {
    for (int i = 0; i < Sparse_Data::ROWS; ++i) {
      double r = M_INFINITY;
      for (int k = d.start[i]; k < d.start[i + 1]; ++k)
        r = std::max(r, d.x[d.col[k]] + d.val[k]);
      res[i] = r;
    }
    benchmark::DoNotOptimize(res.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * Sparse_Data::ROWS * Sparse_Data::PER_ROW);
}

// The transposed product over the same flat arrays: what SP_VM_Mult does.
void BM_Plain_Sparse_Transposed_Loop(benchmark::State& state) {
  const Sparse_Data& d = sparse_data();
  std::vector<double> res(Sparse_Data::ROWS);
  for (auto _ : state) {
    std::fill(res.begin(), res.end(), M_INFINITY);
    for (int i = 0; i < Sparse_Data::ROWS; ++i) {
      const double xi = d.x[i];
      for (int k = d.start[i]; k < d.start[i + 1]; ++k) {
        double& r = res[d.col[k]];
        r = std::max(r, xi + d.val[k]);
      }
    }
    benchmark::DoNotOptimize(res.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * Sparse_Data::ROWS * Sparse_Data::PER_ROW);
}

}  // namespace

// Arguments: the size, and the share of eps entries in percent.
BENCHMARK(BM_Full_MM_Mult)->Args({500, 10})->Args({1000, 10})->Args({1000, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Plain_Full_Loop)->Args({500, 10})->Args({1000, 10})->Args({1000, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SP_MV_Mult)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SP_VM_Mult)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Plain_Sparse_Loop)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Plain_Sparse_Transposed_Loop)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
