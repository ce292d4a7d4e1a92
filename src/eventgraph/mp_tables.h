// Max-plus recurrence of an event graph whose places hold at most one token:
// x(k) = A(k) (x) x(k-1). Builds random one-step matrices, products of H steps
// ("slices"), vectors pushed through H steps and initial vectors, from tables
// of random firing and holding times.
//
// The zero of these matrices and vectors is -1.0: durations are never
// negative, so a value is a date exactly when it is greater than -1.
// Matrices are n x n, row-major: row = transition whose date is computed,
// column = transition of the previous step.
#pragma once

#include <string>
#include <vector>

#include "common/event_graph.h"
#include "common/law.h"

namespace orv::eg {

inline constexpr double EG_EPSILON = -1.0;

// What Get_Event_Graph answers instead of a size.
enum : int {
  EG_UNREADABLE = -1,
  EG_NOT_LIVE = -2,
  EG_NOT_FIFO = -3,
  EG_NOT_FLAT = -4,
};

int is_constant(const LAW_DESC* law);
// t is 0-based: 1 when one of its output places leads back to it.
int is_recycled(int t, const EventGraph& Reseau);
// Every transition recycled or constant, and every place constant.
int is_fifo(const EventGraph& Reseau);

// One draw of law for the single-step computations. Unlike Sample, "G"
// counts from 1 here, as in the draw tables, so that a one-step matrix and a
// one-step slice follow the same law.
double Draw_One(const LAW_DESC* law);

// Random firing and holding times, one table per transition (0-based) and
// one per place (Place_Id), so that parallel places keep their own laws.
// A constant law's table holds its single value and is never redrawn.
struct Draw_Tables {
  std::vector<std::vector<double>> Fire_Times;
  std::vector<std::vector<double>> Hold_Times;
  std::vector<char> T_Dont_Do_It;
  std::vector<char> P_Dont_Do_It;
  int Length = 0;  // entries of each table that is not constant

  double fire(int t, int h) const {
    const std::vector<double>& v = Fire_Times[static_cast<size_t>(t)];
    return v[T_Dont_Do_It[static_cast<size_t>(t)] ? 0 : static_cast<size_t>(h)];
  }
  double hold(int q, int h) const {
    const std::vector<double>& v = Hold_Times[static_cast<size_t>(q)];
    return v[P_Dont_Do_It[static_cast<size_t>(q)] ? 0 : static_cast<size_t>(h)];
  }
};

// Redraws the first H entries of every table that is not constant: each
// transition in index order, then its output places in Outputs order.
void Fill_Tables(const EventGraph& Reseau, Draw_Tables& Tables, int H);

class MP_Tables {
 public:
  // Reads and checks a graph (an empty name reads standard input). Returns
  // its size, or EG_UNREADABLE, EG_NOT_LIVE, EG_NOT_FIFO, EG_NOT_FLAT (the
  // first check that fails). The graph is kept in every case but the first.
  int Get_Event_Graph(const std::string& File_Name);
  // The same checks on a graph already read.
  int Set_Event_Graph(EventGraphPtr graph);

  const EventGraph* Le_Reseau() const { return graph_.get(); }
  int size() const { return graph_ ? graph_->Size : 0; }

  // Tables of H entries (H < 0 counts as 0); 0 when they cannot be
  // allocated. Constant tables are filled here, once.
  int Init_Times(int H);
  int Re_Init_Times(int H);
  const Draw_Tables& Tables() const { return tables_; }

  // One random one-step matrix into A (resized to n x n).
  void Fill_Matrix(std::vector<double>& A);
  // A = A(H) (x) ... (x) A(1) over freshly drawn tables; H = 0 gives the
  // identity. Grows the tables when they are shorter than H; 0 when that
  // fails (A is then left alone).
  int Fill_Slice(std::vector<double>& A, int H);
  // V (n entries) replaced by its image after H steps; 0 as Fill_Slice.
  int Fill_Vector(std::vector<double>& V, int H);
  int Fill_Vector_Backwards(std::vector<double>& V, int H);

  // The first firing of every transition, from the lags of the tokens.
  void Fill_Initial_Vector(std::vector<double>& Y);
  // The first firing of every transition; with 0 <= Dirac < n, the response
  // to an impulse at Dirac, ignoring the initial tokens.
  void Fill_Initial_Vector_Flat(std::vector<double>& Y, int Dirac);

 private:
  struct Input {
    int u;       // upstream transition, 0-based
    int q;       // Place_Id
    bool marked; // one initial token: reads the previous step
  };
  int check();
  void prepare();
  bool ensure_tables(int H);
  // Runs H steps on `width` columns at once; start(u, c) gives the initial
  // value of transition u in column c, done(i, c, v) takes the result.
  template <class Start, class Done>
  void run_steps(int width, int H, Start start, Done done);

  EventGraphPtr graph_;
  Draw_Tables tables_;
  bool has_tables_ = false;
  std::vector<int> order_;                 // transitions in layer order
  std::vector<std::vector<Input>> inputs_; // per transition, Inputs order
  std::vector<double> Lg_0, Lg_1;          // work columns of run_steps
};

// "MatrixModule" compatibility stub: always 1000, after a notice.
int Get_Simulation_Length();

}  // namespace orv::eg
