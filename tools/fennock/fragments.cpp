// fennock's fragments: the sizes, the tables and the two steps of the dater
// recursion, each in the file yarrisk's skeleton includes.
#include "fragments.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/work_files.h"

namespace fennock {

namespace {

// The buffer the simulator works with; raised, as in yarrisk, so that every
// initial token's look-back fits.
constexpr int DEFAULT_BUF_SIZE = 1024;

size_t idx(int i) { return static_cast<size_t>(i); }

// Reals are written so that the C compiler reads back the very same double.
void real(FILE* f, double v) { std::fprintf(f, "%.17g", v); }

template <class T, class Put>
void array(FILE* f, const char* decl, const std::vector<T>& v, Put put) {
  std::fprintf(f, "%s = {", decl);
  if (v.empty()) std::fprintf(f, "0");
  for (size_t i = 0; i < v.size(); ++i) {
    if (i) std::fprintf(f, ",");
    std::fprintf(f, i % 8 == 0 ? "\n  " : " ");
    put(v[i]);
  }
  std::fprintf(f, "\n};\n");
}

void int_array(FILE* f, const char* decl, const std::vector<int>& v) {
  array(f, decl, v, [f](int x) { std::fprintf(f, "%d", x); });
}

// Law letters as character constants.
void letter_array(FILE* f, const char* decl, const std::vector<int>& v) {
  array(f, decl, v, [f](int x) {
    if (x > 32 && x < 127 && x != '\'' && x != '\\')
      std::fprintf(f, "'%c'", x);
    else
      std::fprintf(f, "%d", x);
  });
}

void real_array(FILE* f, const char* decl, const std::vector<double>& v) {
  array(f, decl, v, [f](double x) { real(f, x); });
}

struct Laws {
  std::vector<int> name, start, count;
  std::vector<double> params;
  void add(const orv::LawPtr& law) {
    name.push_back(law ? static_cast<unsigned char>(law->Name) : 'C');
    start.push_back(static_cast<int>(params.size()));
    if (law)
      params.insert(params.end(), law->Parameters.begin(), law->Parameters.end());
    else
      params.push_back(0.0);
    count.push_back(static_cast<int>(params.size()) - start.back());
  }
};

void write_parameters(FILE* f, const orv::EventGraph& g, int nevt, int B, int from, int to,
                      size_t nb_lags, size_t nb_params) {
  std::fprintf(f, "/* Sizes and run of the event graph, written by fennock. */\n");
  std::fprintf(f, "#define NB_TRANS %d\n", g.Size);
  std::fprintf(f, "#define NB_PLACES %d\n", static_cast<int>(g.P.size()));
  std::fprintf(f, "#define NB_EVENTS %d\n", nevt);
  std::fprintf(f, "#define BUF_SIZE %d\n", B);
  std::fprintf(f, "#define MAX_POP_INIT %d\n", g.Max_Pop_Init);
  std::fprintf(f, "#define NB_LAGS %zu\n", nb_lags);
  std::fprintf(f, "#define NB_LAW_PARAMS %zu\n", nb_params);
  std::fprintf(f, "#define WAITING_TIME %d\n", from > 0 ? 1 : 0);
  std::fprintf(f, "#define FROM_TRANS %d\n", from > 0 ? from - 1 : 0);
  std::fprintf(f, "#define TO_TRANS %d\n", from > 0 ? to - 1 : 0);
}

void write_declarations(FILE* f, const orv::EventGraph& g, const Laws& tl, const Laws& pl,
                        const std::vector<double>& params) {
  const int n = g.Size;
  std::fprintf(f, "/* Tables of the event graph, written by fennock. Transitions and\n"
                  "   places are numbered from 0. */\n\n");
  std::fprintf(f, "/* Laws: letter, first parameter in Law_Params, number of parameters. */\n");
  real_array(f, "static const double Law_Params[NB_LAW_PARAMS + 1]", params);
  letter_array(f, "static const int Trans_Law[NB_TRANS]", tl.name);
  int_array(f, "static const int Trans_Law_Start[NB_TRANS]", tl.start);
  int_array(f, "static const int Trans_Law_Count[NB_TRANS]", tl.count);
  letter_array(f, "static const int Place_Law[NB_PLACES + 1]", pl.name);
  int_array(f, "static const int Place_Law_Start[NB_PLACES + 1]", pl.start);
  int_array(f, "static const int Place_Law_Count[NB_PLACES + 1]", pl.count);

  // Draw order: each transition in index order, then its output places in
  // list order.
  std::vector<int> out_start{0}, out_place;
  for (int t = 0; t < n; ++t) {
    for (const orv::PLACE_DESC* p : g.T[idx(t)]->Outputs) out_place.push_back(p->Place_Id);
    out_start.push_back(static_cast<int>(out_place.size()));
  }
  std::fprintf(f, "\n/* Output places of each transition, in the order their tables are drawn. */\n");
  int_array(f, "static const int Out_Start[NB_TRANS + 1]", out_start);
  int_array(f, "static const int Out_Place[NB_PLACES + 1]", out_place);

  // Evaluation order: layer by layer, each transition with its input places.
  std::vector<int> order, in_start{0}, in_up, in_place, in_tokens, in_lag;
  std::vector<double> lags;
  for (const orv::LAYER_DESC& level : g.Level)
    for (int d : level.Node_Id) {
      order.push_back(d);
      for (const orv::PLACE_DESC* q : g.T[idx(d)]->Inputs) {
        in_up.push_back(q->Input_Id - 1);
        in_place.push_back(q->Place_Id);
        in_tokens.push_back(q->Init_Pop);
        in_lag.push_back(static_cast<int>(lags.size()));
        lags.insert(lags.end(), q->Lag_Times.begin(), q->Lag_Times.end());
      }
      in_start.push_back(static_cast<int>(in_up.size()));
    }
  std::fprintf(f, "\n/* Transitions in evaluation order; the inputs of Order[i] are\n"
                  "   In_Start[i] .. In_Start[i + 1] - 1. */\n");
  int_array(f, "static const int Order[NB_TRANS]", order);
  int_array(f, "static const int In_Start[NB_TRANS + 1]", in_start);
  int_array(f, "static const int In_Upstream[NB_PLACES + 1]", in_up);
  int_array(f, "static const int In_Place[NB_PLACES + 1]", in_place);
  int_array(f, "static const int In_Tokens[NB_PLACES + 1]", in_tokens);
  int_array(f, "static const int In_Lag[NB_PLACES + 1]", in_lag);
  real_array(f, "static const double Lags[NB_LAGS + 1]", lags);
}

// The step while initial tokens are still being consumed (k < MAX_POP_INIT).
const char* const INITIAL_EVOLUTION =
    "/* One round of events while initial tokens are consumed: a place's\n"
    "   first events read its lags. Written by fennock. */\n"
    "{\n"
    "  int p, i;\n"
    "  for (p = 0; p < NB_TRANS; p++) {\n"
    "    int d = Order[p];\n"
    "    double x = EPS_DATE;\n"
    "    for (i = In_Start[p]; i < In_Start[p + 1]; i++) {\n"
    "      double c;\n"
    "      if (k < In_Tokens[i]) {\n"
    "        c = Lags[In_Lag[i] + k];\n"
    "      } else {\n"
    "        int r = j - In_Tokens[i];\n"
    "        if (r < 0) r += BUF_SIZE;\n"
    "        c = X[(long)In_Upstream[i] * BUF_SIZE + r];\n"
    "      }\n"
    "      c += Hold[In_Place[i]][j * Hold_Step[In_Place[i]]];\n"
    "      if (c > x) x = c;\n"
    "    }\n"
    "    X[(long)d * BUF_SIZE + j] = x + Fire[d][j * Fire_Step[d]];\n"
    "  }\n"
    "}\n";

const char* const EVOLUTION =
    "/* One round of events once every look-back lies in the buffer.\n"
    "   Written by fennock. */\n"
    "{\n"
    "  int p, i;\n"
    "  for (p = 0; p < NB_TRANS; p++) {\n"
    "    int d = Order[p];\n"
    "    double x = EPS_DATE;\n"
    "    for (i = In_Start[p]; i < In_Start[p + 1]; i++) {\n"
    "      int r = j - In_Tokens[i];\n"
    "      double c;\n"
    "      if (r < 0) r += BUF_SIZE;\n"
    "      c = X[(long)In_Upstream[i] * BUF_SIZE + r] + Hold[In_Place[i]][j * Hold_Step[In_Place[i]]];\n"
    "      if (c > x) x = c;\n"
    "    }\n"
    "    X[(long)d * BUF_SIZE + j] = x + Fire[d][j * Fire_Step[d]];\n"
    "  }\n"
    "}\n";

}  // namespace

bool Write_Fragments(orv::Output_Guard& out, const orv::EventGraph& g, const std::string& dir,
                     int nevt, int from, int to) {
  const int B = std::max(DEFAULT_BUF_SIZE, g.Max_Pop_Init + 1);

  Laws tl, pl;
  for (int t = 0; t < g.Size; ++t) tl.add(g.T[idx(t)]->Trans_Law);
  for (const auto& p : g.P) pl.add(p->Place_Law);
  // One array of parameters: the places' follow the transitions'.
  std::vector<double> params = tl.params;
  for (int& s : pl.start) s += static_cast<int>(tl.params.size());
  params.insert(params.end(), pl.params.begin(), pl.params.end());
  size_t nb_lags = 0;
  for (const auto& p : g.P) nb_lags += p->Lag_Times.size();

  FILE* f = out.open(orv::Join_Path(dir, "egc_graph_parameters.h"));
  if (!f) return false;
  write_parameters(f, g, nevt, B, from, to, nb_lags, params.size());
  if (!out.close(f) || !(f = out.open(orv::Join_Path(dir, "egc_declarations.h")))) return false;
  write_declarations(f, g, tl, pl, params);
  if (!out.close(f) || !(f = out.open(orv::Join_Path(dir, "egc_initial_evolution.c")))) return false;
  std::fputs(INITIAL_EVOLUTION, f);
  if (!out.close(f) || !(f = out.open(orv::Join_Path(dir, "egc_evolution.c")))) return false;
  std::fputs(EVOLUTION, f);
  return out.close(f);
}

}  // namespace fennock
