// Waiting times of a single-server queue with Poisson arrivals and a known
// sequence of service epochs ("M/Known/1"): the sequence, the transient
// analysis of one customer and the stationary analysis. Shared by the
// queueing programs; nothing here ends the program, failures are statuses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv::qn {

// Service epochs B_0 .. B_T, then B_T + k*Cycle_Length + Inc[0] + .. + Inc[i-1].
struct SEQUENCE {
  int T = 0;                    // length of the transient part
  int D = 0;                    // length of the period
  std::vector<double> B;        // T + 1 transient values
  std::vector<double> Inc;      // D increments of one period
  double Cycle_Length = 0.0;    // sum of the increments
  double Gamma = 0.0;           // mean increment
  std::vector<double> C;        // periodic sequence aligned on B_T, max(D, T) + 1 values
  std::vector<double> CS;       // cumulative increments from the phase of T, D + 1 values
  std::vector<bool> Eps;        // transient values to be replaced by the first point
};
using Sequence = SEQUENCE*;

// Program-wide flags of the queueing programs.
inline bool Queue = false;     // print 1 - F
inline bool Log = false;       // with Queue, print ln(1 - F)
inline bool NewLine = true;    // end each point with a newline
inline bool Debug = false;
// Names the program in the library's own messages.
inline std::string Tool_Name = "quorrel";

// Largest table (in doubles) the analyses agree to build: beyond it the
// caller reports an allocation failure instead of letting the system swap
// or kill the process.
inline constexpr std::int64_t Max_Table = std::int64_t{1} << 27;
// Largest customer number of the transient analysis (its rows have n + 1 values).
inline constexpr int Max_Customer = 10'000'000;

// ---- sequence --------------------------------------------------------------

double Upper_Value(int N, const SEQUENCE& s);   // B_{N+1}; N = -1 gives B_0
int Interval_Nb(double x, const SEQUENCE& s);   // largest m with B_m <= x, -1 below B_0
void Build_C_Values(SEQUENCE& s);
void Prepare_Data(SEQUENCE& s, double X0);
// True when some B_{m+1} < B_m.
bool Is_Decreasing(const SEQUENCE& s);

double Log_Fact(std::int64_t p);                 // ln p!
double Poisson(double x, int p);                 // x^p e^-x / p!, signed for x < 0
double Dif(double a, int b, double lambda, int k);

// ---- range of points -------------------------------------------------------

// Checks the range and counts its points. Bad range or step: message on
// stderr, returns 1.
int Range_Points(double first, double last, double step, std::int64_t& count);
// One result line: x and F, 1 - F or ln(1 - F) after the flags.
void Print_Point(double x, double F);
// The same from 1 - F, which keeps its precision when F is near 1.
void Print_Tail_Point(double x, double tail);

// ---- transient analysis ----------------------------------------------------

// Rows Xi[m] (m + 1 values) of the hinge table of customer n, handed to
// visit from m = n down to m = low; only two rows are held at a time.
// With trace the rows are printed as they are made. Returns -1 when the rows
// cannot be allocated.
int Compute_Hinge_Coefs(double lambda, const SEQUENCE& s, int n, int low,
                        const std::function<void(int m, const double* row)>& visit,
                        bool trace = false);
// Moment of order k of the n-th waiting time; -1 on allocation failure.
int Compute_Moment(double lambda, const SEQUENCE& s, int n, int k, double& result);
// Distribution of the n-th waiting time over the range. 0, 1 (bad range or
// step, reported) or -1 (allocation failure, not reported).
int Print_Range(double first, double last, double step, double lambda, const SEQUENCE& s, int n);

// ---- stationary analysis ---------------------------------------------------

using MATRIX = std::vector<std::vector<double>>;

double K(int n, int a, double b, double z);
void Dump_Matrix(int n, const MATRIX& A, const std::vector<double>& X);
// 0, -4 for a singular system (reported), -1 when it cannot be allocated.
int Compute_H_Coefs(double lambda, const SEQUENCE& s, std::vector<double>& H);
// Phi rows for the phases 0 .. min(D - 1, V), V + 1 values each; -1 when too large.
int Compute_Phi_Coefs(double lambda, const SEQUENCE& s, const std::vector<double>& H, MATRIX& Phi,
                      int V);
void Compute_Tau_Coefs(double lambda, const SEQUENCE& s, const MATRIX& Phi, std::vector<double>& Tau);
void Compute_U_Coefs(MATRIX& U, double lambda, int T, const std::vector<double>& B, const MATRIX& Phi);
// V of the range analysis: Interval_Nb of the last point plus one, at least T.
int Stat_Range_Size(double first, double last, double step, const SEQUENCE& s);
// True when the tables of the stationary analysis with this V can be built.
bool Stat_Tables_Fit(const SEQUENCE& s, int V, bool with_U);
// 0, 1 (bad range or step, reported) or -1 (allocation failure).
int Print_Stat_Range(double first, double last, double step, double lambda, const SEQUENCE& s,
                     const MATRIX& Phi);
// 0, or 1 for an order above 2 (reported).
int Compute_Stat_Moment(double lambda, const SEQUENCE& s, const std::vector<double>& Tau,
                        const std::vector<double>& H, int k, double& result);

}  // namespace orv::qn
