#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <string>

#include "common/args.h"
#include "markov/markov.h"

namespace orv::mc {

namespace {

const char* const kTag = "Parse_MC";

void error(const std::string& what) { std::printf("%s: error: %s.\n", kTag, what.c_str()); }

__attribute__((format(printf, 1, 2))) std::string format(const char* fmt, ...) {
  char buf[160];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

// One whitespace-separated word, of any length.
bool read_word(FILE* in, std::string& w) {
  w.clear();
  int c;
  do c = std::getc(in);
  while (c != EOF && std::isspace(c));
  while (c != EOF && !std::isspace(c)) {
    w.push_back(static_cast<char>(c));
    c = std::getc(in);
  }
  if (c != EOF) std::ungetc(c, in);
  return !w.empty();
}

// Where a triple could not be stored the reader says so and goes on.
void store(MARKOV_CHAIN& C, int r, int c, double v, bool rewards, double reward) {
  if (!Set_Sparse_Matrix_Entry(C.Generator, r, c, v)) {
    std::printf("Warning: failed to set entry (%d,%d) to %f.\n", r, c, v);
    return;
  }
  if (rewards && !Set_Sparse_Matrix_Entry(C.Reward, r, c, reward))
    std::printf("Warning: failed to set entry (%d,%d) to %f.\n", r, c, reward);
}

// False after the message. Non-finite numbers would stall or derail the
// walks of the simulator, so they count as unreadable.
bool read_full(FILE* in, MARKOV_CHAIN& C) {
  const int n = C.State_Space_Size;
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      if (C.Time_Type == CONTINUOUS_TIME && i == j) continue;
      double v;
      if (std::fscanf(in, "%lf", &v) != 1 || !std::isfinite(v)) {
        error(format("failed reading matrix element (%d,%d)", i, j));
        return false;
      }
      if (Debug) std::printf("Got entry (%d,%d) = %f\n", i, j, v);
      store(C, i, j, v, false, 0.0);
    }
  return true;
}

bool read_reward(FILE* in, double& reward) {
  std::string w;
  char buf[160];
  if (!read_word(in, w)) {
    std::snprintf(buf, sizeof buf, "%s: error: could not read reward", kTag);
    error(buf);
    return false;
  }
  if (w == "wr") {
    if (!read_word(in, w)) {
      std::snprintf(buf, sizeof buf, "%s: error: could not read reward", kTag);
      error(buf);
      return false;
    }
    if (!orv::read_real(w.c_str(), reward)) {
      error(std::string(kTag) + ": error: unexpected token " + w);
      return false;
    }
  } else {
    std::fprintf(stderr, "%s: warning: expecting \"wr\" before reward but got %s.\n", kTag,
                 w.c_str());
    if (!orv::read_real(w.c_str(), reward)) {
      error(std::string(kTag) + ": error: unexpected token " + w);
      return false;
    }
  }
  if (!std::isfinite(reward)) {
    error(std::string(kTag) + ": error: unexpected token " + w);
    return false;
  }
  return true;
}

bool read_sparse(FILE* in, MARKOV_CHAIN& C, bool rewards) {
  int r, c;
  double v;
  while (std::fscanf(in, "%d %d %lf", &r, &c, &v) == 3) {
    if (!std::isfinite(v)) {
      error(format("failed reading matrix element (%d,%d)", r, c));
      return false;
    }
    double reward = 0.0;
    if (rewards && !read_reward(in, reward)) return false;
    store(C, r, c, v, rewards, reward);
  }
  std::string stop;
  read_word(in, stop);  // the end marker, "stop" by convention
  return true;
}

bool check_rows(MARKOV_CHAIN& C) {
  for (int i = 0; i < C.State_Space_Size; ++i) {
    if (C.Time_Type == DISCRETE_TIME) {
      const double dif = Row_Sum(C.Generator, i) - 1.0;
      if (std::fabs(dif) > 1e-6)
        std::fprintf(stderr, "%s: warning: row %d does not sum up to 1.0. Dif = %f.\n", kTag, i,
                     dif);
      // A state with nowhere to go cannot take a step.
      if (C.Generator.Nb_Elts(i) == 0) {
        error(format("row %d is empty", i));
        return false;
      }
    } else {
      for (int k = 0; k < C.Generator.Nb_Elts(i); ++k)
        if (C.Generator.Elts[i][k] != i && C.Generator.Vals[i][k] < 0) {
          error(format("negative rate at (%d,%d)", i, C.Generator.Elts[i][k]));
          return false;
        }
      // The leaving rate is the row's sum: a negative one would run the
      // clock backwards, an infinite one would make every stay last 0.
      const double sum = Row_Sum(C.Generator, i);
      if (sum < 0) {
        error(format("negative rate at (%d,%d)", i, i));
        return false;
      }
      if (!std::isfinite(sum)) {
        error(format("rates of row %d do not sum to a finite number", i));
        return false;
      }
      if (!Set_Sparse_Matrix_Entry(C.Generator, i, i, -sum)) {
        error("could not allocate memory for matrix");
        return false;
      }
    }
  }
  return true;
}

}  // namespace

bool MARKOV_CHAIN::Has_Rewards() const {
  for (int i = 0; i < Reward.Size; ++i)
    if (!Reward.Elts[i].empty()) return true;
  return false;
}

bool New_Markov_Chain(MARKOV_CHAIN& C, int Size, int Time_Type) {
  C = MARKOV_CHAIN{};
  C.Time_Type = Time_Type;
  C.State_Space_Size = Size;
  C.Init_State = 0;
  if (!New_SP_Real_Matrix(C.Generator, Size) || !New_SP_Real_Matrix(C.Reward, Size)) {
    C = MARKOV_CHAIN{};
    return false;
  }
  return true;
}

bool Read_Chain(FILE* in, MARKOV_CHAIN& Chain) {
  std::string w;
  int type = 0;
  if (read_word(in, w)) {
    if (w == "discrete" || w == "1") type = DISCRETE_TIME;
    else if (w == "continuous" || w == "2") type = CONTINUOUS_TIME;
  }
  if (type == 0) {
    error("could not read chain type");
    return false;
  }
  if (Debug) std::printf("Found time type = %d\n", type);

  bool rewards = false, sparse = false;
  int size = -1;
  if (read_word(in, w) && w == "reward") {
    rewards = true;
    read_word(in, w);
  }
  if (w == "sparse") {
    sparse = true;
    if (std::fscanf(in, "%d", &size) != 1) size = -1;
  } else if (!orv::read_int(w.c_str(), size)) {
    size = -1;
  }
  if (size < 0) {
    error("could not read chain size");
    return false;
  }
  if (!sparse && rewards) {
    error("full matrices for reward MC not supported");
    return false;
  }
  MARKOV_CHAIN C;
  if (!New_Markov_Chain(C, size, type)) {
    error("could not allocate memory for matrix");
    return false;
  }
  if (!(sparse ? read_sparse(in, C, rewards) : read_full(in, C))) return false;

  int init;
  if (std::fscanf(in, "%d", &init) != 1) {
    error("could not read initial state");
    return false;
  }
  if (init < 0 || init >= size) {
    error(format("initial state %d is not a state", init));
    return false;
  }
  C.Init_State = init;
  if (!check_rows(C)) return false;
  Chain = std::move(C);
  return true;
}

bool Read_Chain(const std::string& File_Name, MARKOV_CHAIN& Chain) {
  if (File_Name.empty()) return Read_Chain(stdin, Chain);
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(File_Name.c_str(), "r"), &std::fclose);
  if (!f) {
    error("could not open input file " + File_Name);
    return false;
  }
  return Read_Chain(f.get(), Chain);
}

void Write_Markov_Chain(FILE* stream, const MARKOV_CHAIN& Chain) {
  const bool rewards = Chain.Has_Rewards();
  const bool continuous = Chain.Time_Type == CONTINUOUS_TIME;
  std::fprintf(stream, "%s%s sparse\n", continuous ? "continuous" : "discrete",
               rewards ? " reward" : "");
  std::fprintf(stream, "%d\n", Chain.State_Space_Size);
  const SP_REAL_MATRIX& G = Chain.Generator;
  for (int i = 0; i < G.Size; ++i)
    for (int k = 0; k < G.Nb_Elts(i); ++k) {
      // The reader rebuilds the diagonal of a continuous chain itself.
      if (continuous && G.Elts[i][k] == i) continue;
      std::fprintf(stream, "%4d %4d %8.4f", i, G.Elts[i][k], G.Vals[i][k]);
      if (rewards) {
        const std::vector<double>& r = Chain.Reward.Vals[i];
        std::fprintf(stream, " wr %f", k < static_cast<int>(r.size()) ? r[k] : 0.0);
      }
      std::fprintf(stream, "\n");
    }
  std::fprintf(stream, "stop\n");
  std::fprintf(stream, "%d\n", Chain.Init_State);
}

}  // namespace orv::mc
