// quorrel: waiting times of a queue with Poisson arrivals and a known
// sequence of service epochs, for one customer or in the stationary regime.
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "data.h"
#include "queueing/queue.h"

namespace qn = orv::qn;

namespace {

const char* const kProg = "quorrel";
// Status of scan() when the usage was printed: the run ends with 0.
constexpr int kUsageShown = -100;

struct Options {
  std::string Data_File_Name, Result_File_Name;
  double lambda = 0.0;
  bool has_customer = false;
  int customer = 0;
  bool stationary = false;
  double first = 0.0, last = 10.0, step = 0.1;
  bool has_xval = false;
  double xval = 0.0;
  bool moment = false;
  int order = 1;
};

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>]\n\t", kProg);
  std::printf("[-lambda <real>] [-customer <int>] [-stationary]\n\t");
  std::printf("[-xfrom <real>] [-xto <real>] [-xval <real>] ");
  std::printf("[-xstep <real>]\n\t");
  std::printf("[-queue] [-log] [-moment <int>] ");
  std::printf("[-debug] [-h] [-?]\n");
}

// Scans the options: 0 to go on, else the status to end with.
int scan(int argc, char** argv, Options& o) {
  orv::Args a(argc, argv, kProg, stdout);
  const char* file_fmt = "%s: filename expected\n";
  bool usage_printed = false, version = false;
  while (a.next()) {
    if (a.is("-f")) {
      a.take_word(o.Data_File_Name, file_fmt);
    } else if (a.is("-o")) {
      a.take_word(o.Result_File_Name, file_fmt);
    } else if (a.is("-lambda")) {
      a.take_real(o.lambda);
    } else if (a.is("-customer")) {
      o.has_customer = a.take_int(o.customer);
    } else if (a.is("-stationary")) {
      o.stationary = true;
    } else if (a.is("-xfrom")) {
      a.take_real(o.first);
    } else if (a.is("-xto")) {
      a.take_real(o.last);
    } else if (a.is("-xstep")) {
      a.take_real(o.step);
    } else if (a.is("-xval")) {
      o.has_xval = a.take_real(o.xval);
    } else if (a.is("-queue")) {
      qn::Queue = true;
    } else if (a.is("-log")) {
      qn::Log = true;
    } else if (a.is("-nonewline")) {
      qn::NewLine = false;
    } else if (a.is("-moment")) {
      o.moment = a.take_int(o.order);
    } else if (a.is("-debug")) {
      qn::Debug = true;
    } else if (a.is("-h") || a.is("-?")) {
      usage();
      usage_printed = true;
      a.stop();
    } else if (a.is("-v")) {
      a.print_version("v1.0");
      version = true;
      a.stop();
    }
  }
  if (a.failed() || version) return 1;
  if (usage_printed) return kUsageShown;
  // A negative rate or order would be computed into numbers that mean nothing.
  if (!std::isfinite(o.lambda) || o.lambda < 0) {
    std::fprintf(stderr, "%s: bad lambda value\n", kProg);
    return 1;
  }
  if (o.moment && o.order < 0) {
    std::fprintf(stderr, "%s: bad moment order\n", kProg);
    return 1;
  }
  return 0;
}

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

int run(orv::Output_Guard& out, int argc, char** argv) {
  Options o;
  int st = scan(argc, argv, o);
  if (st == kUsageShown) return 0;
  if (st != 0) return st;
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

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  return out.finish(run(out, argc, argv));
}
