// Random variates for the simulators and random matrix generators. Every
// draw comes from the C library's random(), which no program seeds, so each
// run of a program repeats its sequence; the number and order of random()
// calls below are therefore part of every simulator's results.
#pragma once

#include <span>

#include "common/law.h"

namespace orv {

// random() / 2147483647: both 0 and 1 can come out.
double U_0_1();

double Uniform(double a, double b);
// Mean m. Log-based laws never take the log of a zero draw: such a draw is
// replaced by the next one.
double Exponential(double m);
// 1.0 with probability p.
double Bernoulli(double p);
// Failures before the first success, from 0. p = 0 draws nothing; p >= 1
// reports on stderr and gives 0.0.
double Geometric(double p);
// k stages (below 2 means one), mean m.
double Erlang(double k, double m);
// P = {2k, q1, m1, ..., qk, mk}. A draw beyond the branch probabilities
// takes the last branch.
double HyperExpo(std::span<const double> P);
// P = {n, v1..vn, p1..pn}. A draw beyond the probabilities takes vn.
double Discrete(std::span<const double> P);
double Weibull(double a, double nu);
// Polar method; the second value of each pair is dropped.
double Normal(double m, double s);
// m and s are the mean and standard deviation of the variable itself.
double LogNormal(double m, double s);
double Pareto(double a, double b);
double max(double a, double b);

// One draw of law. "G" counts from 0 here (from 1 in the tables). A letter
// without a generator gives 0.0, reported on stderr once per letter.
double Sample(const LAW_DESC& law);

// Fills values with independent draws of law, in table order. A letter
// without a generator (here "D" is one) gives zeros and a warning on stdout.
void draw_iid_table(std::span<double> values, const LAW_DESC& law);
void draw_iid_table(double* values, int n, const LAW_DESC& law);

// The same, with "D" drawn by Discrete: the table builder of the event-graph
// and task-graph simulators.
void draw_iid_table_with_discrete(std::span<double> values, const LAW_DESC& law);
void draw_iid_table_with_discrete(double* values, int n, const LAW_DESC& law);

}  // namespace orv
