#include "waiting.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "data.h"
#include "queueing/queue.h"

namespace qn = orv::qn;

namespace {

const char* const kProg = "quorrel";

int overflow() {
  std::fprintf(stderr, "%s: error: numerical overflow, no result.\n", kProg);
  return -3;
}

bool all_finite(const std::vector<double>& v) {
  for (double x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

int transient(orv::Output_Guard& out, const Options& o, qn::SEQUENCE& s, double lambda, int n) {
  if (n > qn::Max_Customer) {
    std::printf("Error: could not allocate memory.\n");
    return -1;
  }
  // The whole table is traced once, ahead of the results and on the
  // original output; the analyses below only sweep the rows they need.
  if (qn::Debug &&
      qn::Compute_Hinge_Coefs(lambda, s, n, 0, [](int, const double*) {}, true) != 0) {
    std::printf("Error: could not allocate memory.\n");
    return -1;
  }
  if (!o.Result_File_Name.empty() && !out.redirect_stdout(o.Result_File_Name, false))
    std::fprintf(stderr, "%s: warning: could not open file %s: %s\n", kProg,
                 o.Result_File_Name.c_str(), std::strerror(errno));
  int st;
  if (o.moment) {
    double m = 0.0;
    st = qn::Compute_Moment(lambda, s, n, o.order, m);
    if (st == 0 && !std::isfinite(m)) return overflow();
    if (st == 0) std::printf("%f\n", m);
  } else {
    st = qn::Print_Range(o.first, o.last, o.step, lambda, s, n);
  }
  if (st == -1) std::printf("Error: could not allocate memory.\n");
  return st;
}

int stationary(orv::Output_Guard& out, const Options& o, qn::SEQUENCE& s, double lambda) {
  const double rho = lambda * s.Gamma;
  if (!(rho < 1)) {
    std::printf("Unstable queue (rho=%8.4f). No stationary distribution.\n", rho);
    return -2;
  }
  // A bad range is reported as such, not as tables too large to build.
  std::int64_t points = 0;
  if (!o.moment && qn::Range_Points(o.first, o.last, o.step, points) != 0) return 1;
  const int V = o.moment ? s.T : qn::Stat_Range_Size(o.first, o.last, o.step, s);
  if (!qn::Stat_Tables_Fit(s, V, !o.moment && o.first < s.B[s.T])) {
    std::printf("Error: could not allocate memory.\n");
    return -1;
  }
  if (!o.Result_File_Name.empty() && !out.redirect_stdout(o.Result_File_Name)) return -1;
  std::vector<double> H, Tau;
  qn::MATRIX Phi;
  int st = qn::Compute_H_Coefs(lambda, s, H);
  if (st == 0) st = qn::Compute_Phi_Coefs(lambda, s, H, Phi, V);
  if (st == -1) std::printf("Error: could not allocate memory.\n");
  if (st != 0) return st;
  qn::Compute_Tau_Coefs(lambda, s, Phi, Tau);
  // Far rows of Phi may overflow while the points near the origin are sound;
  // the range printer flags those points itself.
  if (!all_finite(H) || !all_finite(Tau)) return overflow();
  if (o.moment) {
    double m = 0.0;
    st = qn::Compute_Stat_Moment(lambda, s, Tau, H, o.order, m);
    if (st != 0) return st;
    if (!std::isfinite(m)) return overflow();
    std::printf("%f\n", m);
    return 0;
  }
  st = qn::Print_Stat_Range(o.first, o.last, o.step, lambda, s, Phi);
  if (st == -1) std::printf("Error: could not allocate memory.\n");
  return st;
}

}  // namespace

int Waiting_Times(orv::Output_Guard& out, Options o) {
  if (o.has_xval) o.first = o.last = o.xval;

  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!o.Data_File_Name.empty()) {
    owned.reset(std::fopen(o.Data_File_Name.c_str(), "r"));
    if (!owned) {
      std::printf("%s: error: could not open file %s\n", kProg, o.Data_File_Name.c_str());
      return -1;
    }
    in = owned.get();
  }
  qn::SEQUENCE s;
  double file_lambda = 0.0;
  bool file_customer = false;
  int n = 0;
  if (Read_Data(in, s, file_lambda, file_customer, n) != 0) return -1;
  owned.reset();
  qn::Prepare_Data(s, o.first);
  if (qn::Is_Decreasing(s))
    std::fprintf(stderr, "%s: warning: the service sequence decreases, results are meaningless.\n",
                 kProg);

  if (o.stationary) {
    n = -1;
  } else if (o.has_customer) {
    n = o.customer;
  } else if (!file_customer) {
    std::fprintf(stderr, "%s: error reading customer number.\n", kProg);
    return -1;
  }
  if (n < 0 && !(s.Cycle_Length > 0)) {
    Refuse_Cycle(s.Cycle_Length);
    return -1;
  }
  const double lambda = o.lambda != 0 ? o.lambda : file_lambda;
  return n >= 0 ? transient(out, o, s, lambda, n) : stationary(out, o, s, lambda);
}

