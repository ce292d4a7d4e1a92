// stelvic's analysis: each queue's sequence of services under the periodic
// routing, and the workload or waiting time one customer finds there.
#include "analysis.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "data.h"
#include "queueing/queue.h"

namespace stelvic {

namespace qn = orv::qn;

namespace {


struct RESULT {
  int Nb_Vals = 0;
  double Average_WT = 0.0;
};

// The M/Known/1 sequence of queue q with the increments given.
qn::SEQUENCE make_sequence(std::vector<double> inc) {
  qn::SEQUENCE s;
  s.T = 0;
  s.D = static_cast<int>(inc.size());
  s.B = {0.0};
  s.Inc = std::move(inc);
  qn::Prepare_Data(s, 0.0);
  return s;
}

// Status: 0, -1 (analysis failed, reported) or -4 (singular system).
int Transient(const Data& d, int q, int n, RESULT& res) {
  const int P = static_cast<int>(d.Routing.size());
  // The work customer n finds is made of the services of customers n - 1,
  // n - 2, ... in that order, as in the stationary phases.
  std::vector<double> inc(P);
  for (int j = 0; j < P; ++j) {
    const long long k = ((static_cast<long long>(n) - 1 - j) % P + P) % P;
    inc[j] = d.Routing[k] == q ? d.service[q] : 0.0;
  }
  qn::SEQUENCE s = make_sequence(std::move(inc));
  double m = 0.0;
  if (qn::Compute_Moment(d.lambda, s, n, 1, m) != 0) {
    std::fprintf(stderr, "%s: error: could not allocate memory.\n", kProg);
    return -1;
  }
  res = {1, m};
  return 0;
}

int Stationary(const Data& d, int q, bool waiting, bool trace, RESULT& res) {
  const int P = static_cast<int>(d.Routing.size());
  int m = 0;
  for (int r : d.Routing)
    if (r == q) ++m;
  const double cycle = d.service[q] * m;
  const double gamma = cycle / P;
  const double rho = d.lambda * gamma;
  if (trace) std::printf("Queue %d : Rho = %8.6f\n", q, rho);
  if (!(rho < 1)) {
    std::printf("Unstable queue (rho=%8.4f). No stationary distribution.\n", rho);
    return -1;
  }
  res = {m, 0.0};
  // A queue that no work reaches has nothing to wait for; its system of
  // equations would be all zeros.
  if (rho > 0) {
    for (int k = 0; k < P; ++k) {
      if (waiting && d.Routing[k] != q) continue;
      std::vector<double> inc(P);
      for (int j = 0; j < P; ++j)
        inc[j] = d.Routing[(k + P - j - 1) % P] == q ? d.service[q] : 0.0;
      qn::SEQUENCE s = make_sequence(std::move(inc));
      std::vector<double> H, Tau;
      qn::MATRIX Phi;
      int st = qn::Compute_H_Coefs(d.lambda, s, H);
      if (st == 0) st = qn::Compute_Phi_Coefs(d.lambda, s, H, Phi, 0);
      if (st == -4) return -4;
      if (st != 0) {
        std::fprintf(stderr, "%s: error: could not allocate memory.\n", kProg);
        return -1;
      }
      qn::Compute_Tau_Coefs(d.lambda, s, Phi, Tau);
      double moment = 0.0;
      qn::Compute_Stat_Moment(d.lambda, s, Tau, H, 1, moment);
      res.Average_WT += moment;
    }
  }
  if (m != 0) res.Average_WT /= m;
  if (trace)
    std::printf("Queue %d: %d values, %f sum, %f average waiting time.\n", q, m,
                m * res.Average_WT, res.Average_WT);
  return 0;
}

int analysis_failed(int q, int st) {
  if (st == -4) return -4;
  std::printf("%s: error analyzing queue %d. Abort.\n", kProg, q);
  return -2;
}

}  // namespace

int run(const Options& o, orv::Output_Guard& out) {
  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!o.Data_File_Name.empty()) {
    owned.reset(std::fopen(o.Data_File_Name.c_str(), "r"));
    if (!owned) {
      std::printf("%s: error: could not open file %s for reading\n", kProg,
                  o.Data_File_Name.c_str());
      return -1;
    }
    in = owned.get();
  }
  Data d;
  if (Read_Data(in, d, o.force) != 0) return -1;
  owned.reset();
  if (o.lambda != 0) d.lambda = o.lambda;
  if (!(d.lambda > 0) || !std::isfinite(d.lambda)) {
    std::fprintf(stderr, "%s: error: bad value for lambda (%f).\n", kProg, d.lambda);
    return -1;
  }
  if (o.global)
    for (int q = 1; q <= d.N; ++q) d.weight[q] = 1.0;
  if (!o.Result_File_Name.empty() && !out.redirect_stdout(o.Result_File_Name, false)) {
    std::printf("%s: error: could not open file %s for writing\n", kProg,
                o.Result_File_Name.c_str());
    out.report_open_failure(o.Result_File_Name);
    return -1;
  }

  const int P = static_cast<int>(d.Routing.size());
  if (o.customer >= 0) {
    const int n = o.customer;
    const int q = d.Routing[n % P];
    if (o.waiting && q == 0) {
      std::printf("Customer %d is routed outside. Waiting time = 0.\n", n);
      return 0;
    }
    if (o.trace) std::printf("Customer %d is routed to queue %d.\n", n, q);
    RESULT r;
    if (int st = Transient(d, q, n, r); st != 0) return analysis_failed(q, st);
    std::printf(o.waiting ? "Average waiting time of " : "Average workload seen by ");
    std::printf("customer #%d: %f\n", n, r.Average_WT);
    return 0;
  }
  double sum = 0.0, count = 0.0;
  for (int q = 1; q <= d.N; ++q) {
    RESULT r;
    if (int st = Stationary(d, q, o.waiting, o.trace, r); st != 0) return analysis_failed(q, st);
    if (o.waiting) {
      sum += r.Nb_Vals * d.weight[q] * r.Average_WT;
      count += r.Nb_Vals;
    } else {
      sum += d.weight[q] * r.Average_WT;
    }
  }
  if (o.waiting && count > 0) sum /= count;
  std::printf(o.waiting ? "Average waiting time" : "Average workload");
  std::printf(": %f\n", sum);
  return 0;
}


}  // namespace stelvic
