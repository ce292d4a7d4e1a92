// Finite Markov chains: a generator (probabilities of a discrete-time chain,
// rates of a continuous-time one) and a parallel reward matrix, both sparse
// and stored row by row, with the chain text read by the simulator and
// written by the heap-of-pieces bounds. Nothing here ends the program.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace orv::mc {

// The most rows a sparse real matrix (and so a Markov chain) may have: beyond
// it the per-row tables alone would take gigabytes.
constexpr int kMaxSize = 1 << 21;

// The trace flag of the Markov-chain programs ("-debug").
inline bool Debug = false;

// Rows grow one entry at a time and may hold one column several times.
struct SP_REAL_MATRIX {
  int Size = 0;
  std::vector<std::vector<int>> Elts;     // per row, the column of each entry
  std::vector<std::vector<double>> Vals;  // per row, parallel to Elts
  int Nb_Elts(int row) const { return static_cast<int>(Elts[row].size()); }
};

inline constexpr int DISCRETE_TIME = 1;
inline constexpr int CONTINUOUS_TIME = 2;

struct MARKOV_CHAIN {
  int Time_Type = DISCRETE_TIME;
  int State_Space_Size = 0;
  SP_REAL_MATRIX Generator;  // row: departing state, column: arrival state
  SP_REAL_MATRIX Reward;     // entry k of a row goes with entry k of Generator
  int Init_State = 0;
  // True when the chain carries rewards (its Reward matrix holds entries).
  bool Has_Rewards() const;
};

// Null when the size is negative or memory runs out.
bool New_SP_Real_Matrix(SP_REAL_MATRIX& M, int Size);
// Appends (column, value) to the row. A row or column outside the matrix is
// refused with a warning on standard output and gives 0.
int Set_Sparse_Matrix_Entry(SP_REAL_MATRIX& M, int row, int column, double value);
// Adds value to the first entry of the row with that column, or appends one.
int Add_To_Sparse_Matrix_Entry(SP_REAL_MATRIX& M, int row, int column, double value);
// The value of the last entry of the row with that column, 0 when none.
double Get_Sparse_Matrix_Entry(const SP_REAL_MATRIX& M, int row, int column);
double Row_Sum(const SP_REAL_MATRIX& M, int row);
// w = v x M; w is cleared first and sized to M.Size.
void VM_Mult(const std::vector<double>& v, const SP_REAL_MATRIX& M, std::vector<double>& w);
// Per row "[count]", then every column (Full) or every entry "col:value".
void Write_Matrix(FILE* stream, const SP_REAL_MATRIX& M, bool Full);
int Read_Full_Matrix_Entry(FILE* stream, SP_REAL_MATRIX& M, int row, int column);
int Read_Sparse_Matrix_Entry(FILE* stream, SP_REAL_MATRIX& M);

bool New_Markov_Chain(MARKOV_CHAIN& C, int Size, int Time_Type);
// Reads the chain text from the file (standard input for an empty name).
// False after a message on standard output.
bool Read_Chain(const std::string& File_Name, MARKOV_CHAIN& Chain);
bool Read_Chain(FILE* in, MARKOV_CHAIN& Chain);
// Writes the chain text that Read_Chain reads back: type word, "reward"
// when the chain carries rewards, "sparse", the size, the entries, "stop"
// and the initial state.
void Write_Markov_Chain(FILE* stream, const MARKOV_CHAIN& Chain);

}  // namespace orv::mc
