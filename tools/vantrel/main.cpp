// vantrel: an ATM network configuration as one queueing-network simulation
// model: sources with leaky buckets, the nodes of every switch as queues
// with per-class routing, links and sinks.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "atm/atm.h"
#include "common/args.h"
#include "common/output_guard.h"
#include "common/value_list.h"

namespace {

using orv::atm::CONFIG;
const char* const kTag = orv::atm::kTag;
constexpr int kMaxClasses = 18;

struct Options {
  std::string in_name, out_name;
  double tmax = 1000.0;
  bool allbounded = false, debug = false;
};

struct Model {
  const CONFIG& cf;
  const Options& o;
  FILE* f;
  // [session][switch][column], -1 where the session does not pass.
  std::vector<std::vector<std::vector<int>>> Num_Class;
  bool laws_ok = true;

  int cls(int s, int k, int c) const { return Num_Class[s][k][c]; }

  void Number_Classes() {
    const int N = cf.NbSession, W = cf.NbSwitch;
    std::vector<std::vector<std::vector<int>>> Max_Class(W);
    for (int k = 0; k < W; ++k)
      Max_Class[k].assign(cf.Layer[k] + 2, std::vector<int>(cf.SwitchSize[k], 0));
    Num_Class.assign(N, {});
    for (int s = 0; s < N; ++s) {
      Num_Class[s].resize(W);
      for (int k = 0; k < W; ++k) Num_Class[s][k].assign(cf.Layer[k] + 2, -1);
      for (int t = 0; t < cf.NbThrough[s]; ++t) {
        const int k = cf.NumSw[s][t];
        for (int c = 0; c <= cf.Layer[k] + 1; ++c) {
          int& count = Max_Class[k][c][cf.route[s][k][c] - 1];
          Num_Class[s][k][c] = count++;
          if (count == kMaxClasses) {
            count = kMaxClasses - 1;
            std::fprintf(stderr, "%s: warning: max nb of classes exceeded ", kTag);
            std::fprintf(stderr, "at source %d. 17 Assumed.\n", s);
          }
        }
      }
    }
  }

  void Print_Routing() const {
    std::printf("Routing table (row/class):\n");
    for (int s = 0; s < cf.NbSession; ++s) {
      std::printf("Session %d:", s);
      for (int t = 0; t < cf.NbThrough[s]; ++t) {
        const int k = cf.NumSw[s][t];
        std::printf(" Sw %d[ ", k);
        for (std::size_t c = 0; c < cf.route[s][k].size(); ++c)
          std::printf("%d/%d ", cf.route[s][k][c], Num_Class[s][k][c]);
        std::printf("]");
      }
      std::printf("\n");
    }
  }

  void law_statement(const orv::LAW_DESC& law, int s) {
    const auto& P = law.Parameters;
    auto p = [&](std::size_t i) { return i < P.size() ? P[i] : 0.0; };
    switch (law.Name) {
      case 'B':
        std::fprintf(f, "IF RANDU > %8.6f THEN CST(0.0) ELSE CST(1.0);\n", p(0));
        break;
      case 'C':
        std::fprintf(f, "CST( %8.4f );\n", p(0));
        break;
      case 'E':
        std::fprintf(f, "EXP( %8.4f );\n", p(0));
        break;
      case 'G':
        std::fprintf(f, "CST( 1.0 + FIX( EXP( -1/LOG(%8.4f) ) ) );\n", p(0));
        break;
      case 'g':
        std::fprintf(f, "CST( FIX( EXP( -1/LOG(%8.4f) ) ) );\n", p(0));
        break;
      case 'H':  // stored with its count of reals first
        std::fprintf(f, "HEXP( %8.4f, %8.4f );\n", p(1), p(2));
        break;
      case 'R':
        std::fprintf(f, "ERLANG( %8.4f, %4.0f );\n", p(1), p(0));
        break;
      case 'U':
        std::fprintf(f, "UNIFORM( %8.4f, %8.4f );\n", p(0), p(1));
        break;
      case 'O': {
        // The on-off law as the two-exponential mixture of the same mean
        // and transition rates.
        const double a = 1 / p(1), b = 1 / p(2), l = (a / b + 1) / p(0);
        const double S = a + b + l;
        const double D = std::sqrt(a * a + 2 * a * (b + l) + (b - l) * (b - l));
        const double r1 = (S + D) / 2, r2 = (S - D) / 2;
        const double q = (l - r2) / (r1 - r2);
        std::fprintf(f, "IF RANDU < %8.6f THEN EXP( %8.4f ) ELSE EXP( %8.4f );\n", q, 1 / r1,
                     1 / r2);
        break;
      }
      case 'P':
        std::fprintf(f, "BEGIN\n");
        std::fprintf(f, "        TR_%d.NextArr := EXP( %8.4f );\n", s, p(0));
        std::fprintf(f, "        WHILE ( TR_%d.NextArr > TR_%d.NextChg )\n", s, s);
        std::fprintf(f, "        DO BEGIN\n");
        std::fprintf(f, "            TR_%d.NextArr := TR_%d.NextArr - TR_%d.NextChg;\n", s, s, s);
        std::fprintf(f, "            CST( TR_%d.NextChg );\n", s);
        std::fprintf(f, "            ");
        law_statement(*law.Law_Parameters[1], s);
        std::fprintf(f, "            TR_%d.NextChg := ", s);
        law_statement(*law.Law_Parameters[0], s);
        std::fprintf(f, "        END;\n");
        std::fprintf(f, "        CST( TR_%d.NextArr );\n", s);
        std::fprintf(f, "        TR_%d.NextChg := TR_%d.NextChg - TR_%d.NextArr;\n", s, s, s);
        std::fprintf(f, "    END;\n");
        break;
      case 'D':
        std::fprintf(stderr, "%s: error: can't handle timing law (%c)\n", kTag, law.Name);
        laws_ok = false;
        break;
      default:
        std::fprintf(stderr, "%s: error: unknown timing law (%c)\n", kTag, law.Name);
        laws_ok = false;
        break;
    }
  }

  void Declarations() {
    const int N = cf.NbSession;
    std::fprintf(f, "& Quelm2 model generated by %s version %s\n", kTag, "v1.0");
    if (!o.in_name.empty()) std::fprintf(f, "& Origin: %s\n", o.in_name.c_str());
    std::fprintf(f, "& Date: %s\n", orv::todays_date().c_str());
    std::fprintf(f, "\n");
    std::fprintf(f, "/CONTROL/\n");
    std::fprintf(f, "&    OPTION = TRACE;\n");
    std::fprintf(f, "&    OPTION = SNOURCE;\n");
    std::fprintf(f, "&    OPTION = NRESULT;\n");
    std::fprintf(f, "\n");
    std::fprintf(f, "/DECLARE/\n\n");
    std::fprintf(f, "&   Classes for sessions ");
    std::fprintf(f, "(declaring the maximum possible, i.e. 18!)\n");
    if (N < 1) {
      std::fprintf(f, "&   No Sessions!!!\n");
    } else {
      std::fprintf(f, "    CLASS  ");
      const int n = std::min(N, kMaxClasses);
      for (int i = 0; i < n; ++i) {
        std::fprintf(f, "Cl_%d", i);
        if (i + 1 < n) std::fprintf(f, (i + 1) % 8 == 0 ? ",\n           " : ", ");
      }
      std::fprintf(f, ";\n");
    }
    std::fprintf(f, "    CLASS   Token;\n");
    std::fprintf(f, "    CLASS   NewCust;\n");
    std::fprintf(f, "&   Sources for sessions, and leaky buckets\n");
    if (N < 1) {
      std::fprintf(f, "&   No Sessions!!!\n");
    } else {
      for (const char* q : {"Src", "TokSrc", "Join", "TokLoss", "AdmLoss"})
        std::fprintf(f, "    QUEUE %s(0:%d);\n", q, N - 1);
    }
    std::fprintf(f, "&   Links for sessions between Switches\n");
    for (int s = 0; s < N; ++s) {
      if (cf.NbThrough[s] < 2) continue;
      std::fprintf(f, "    QUEUE  ");
      for (int t = 1; t < cf.NbThrough[s]; ++t)
        std::fprintf(f, "%sL_%d_%d", t > 1 ? ", " : "", s, cf.NumSw[s][t]);
      std::fprintf(f, ";\n");
    }
    std::fprintf(f, "&   Nodes within Switches and overflow stations.\n");
    std::fprintf(f, "&   Note the Sw(col,row) convention\n");
    if (cf.NbSwitch > 99)
      std::fprintf(stderr, "%s: warning: too many switches. Names may not be unique.\n", kTag);
    for (int k = 0; k < cf.NbSwitch; ++k) {
      const int L = cf.Layer[k], n = cf.SwitchSize[k];
      std::fprintf(f, "    QUEUE  Sw%i(0:%d,0:%d);\n", k, L + 1, n - 1);
      std::fprintf(f, "    QUEUE  OvfIn%d(0:%d),", k, n - 1);
      std::fprintf(f, " OvfOut%d(0:%d);\n", k, n - 1);
    }
    std::fprintf(f, "&   Sinks.\n");
    std::fprintf(f, "    QUEUE  Sink(0:%d);\n", N - 1);
    if (o.allbounded) std::fprintf(f, "    QUEUE  GlobLoss;\n");
    std::fprintf(f, "\n");
  }

  void zero_out() {
    std::fprintf(f, "    SERVICE = CST( 0.0 );\n");
    std::fprintf(f, "    TRANSIT = OUT;\n");
    std::fprintf(f, "\n");
  }

  void Stations() {
    const int N = cf.NbSession;
    for (int s = 0; s < N; ++s) {
      std::fprintf(f, "/STATION/\n");
      std::fprintf(f, "    NAME = Src(%d);\n", s);
      std::fprintf(f, "    TYPE = SOURCE;\n");
      std::fprintf(f, "    SERVICE = BEGIN\n");
      std::fprintf(f, "        ");
      law_statement(*cf.SourceLaw[s], s);
      std::fprintf(f, "        IF ( SERVNB( Join( %d ) ) + SERVNB(", s);
      std::fprintf(f, " AdmLoss( %d ) ) < SERVNB(", s);
      std::fprintf(f, " Src( %d ) ) - 100 )\n", s);
      std::fprintf(f, "        THEN TRANSIT( AdmLoss( %d ) );\n", s);
      std::fprintf(f, "    END;\n");
      std::fprintf(f, "    TRANSIT = Join( %d ), NewCust;\n", s);
      std::fprintf(f, "\n");
    }
    for (int s = 0; s < N; ++s) {
      std::fprintf(f, "/STATION/\n");
      std::fprintf(f, "    NAME = TokSrc( %d );\n", s);
      std::fprintf(f, "    TYPE = SOURCE;\n");
      std::fprintf(f, "    SERVICE = BEGIN\n");
      std::fprintf(f, "        CST( 2.0 );\n");
      std::fprintf(f, "        IF ( SERVNB( Join( %d ) ) + SERVNB(", s);
      std::fprintf(f, " TokLoss( %d ) ) < SERVNB(", s);
      std::fprintf(f, " TokSrc( %d ) ) - 10 )\n", s);
      std::fprintf(f, "        THEN TRANSIT( TokLoss( %d ) );\n", s);
      std::fprintf(f, "    END;\n");
      std::fprintf(f, "    TRANSIT = Join( %d ), Token;\n", s);
      std::fprintf(f, "\n");
    }
    for (int s = 0; s < N; ++s) {
      const int k0 = cf.NumSw[s][0];
      std::fprintf(f, "/STATION/\n");
      std::fprintf(f, "    NAME = Join( %d );\n", s);
      std::fprintf(f, "    FUSION = ( NewCust, 1, Token, 1 ) Cl_%d;\n", cls(s, k0, 0));
      std::fprintf(f, "    SERVICE = CST( 0.0 );\n");
      std::fprintf(f, "    TRANSIT = Sw%d( 0, %d ), Cl_%d, 1.0;\n", k0, cf.route[s][k0][0] - 1,
                   cls(s, k0, 0));
      std::fprintf(f, "\n");
    }
    std::fprintf(f, "/STATION/\n");
    std::fprintf(f, "    NAME = TokLoss( 0 STEP 1 UNTIL %d ),", N - 1);
    std::fprintf(f, " AdmLoss( 0 STEP 1 UNTIL %d );\n", N - 1);
    zero_out();

    std::fprintf(f, "  \n& declaration of the switches \n\n");
    for (int k = 0; k < cf.NbSwitch; ++k) {
      std::fprintf(f, "/STATION/\n");
      std::fprintf(f, "    NAME = Sw%d( 0 STEP 1 UNTIL %d,", k, cf.Layer[k] + 1);
      std::fprintf(f, " 0 STEP 1 UNTIL %d );\n", cf.SwitchSize[k] - 1);
      std::fprintf(f, "    SERVICE = CST( 1.0 );\n");
      std::fprintf(f, "\n");
    }

    std::fprintf(f, "  \n& declaration of the routing inside switches \n\n");
    for (int k = 0; k < cf.NbSwitch; ++k) {
      const int L = cf.Layer[k], n = cf.SwitchSize[k];
      for (int c = 0; c <= L + 1; ++c)
        for (int r = 0; r < n; ++r) {
          std::vector<int> who;
          for (int s = 0; s < N; ++s)
            if (cf.crosses(s, k) && cf.route[s][k][c] == r + 1) who.push_back(s);
          const int m = static_cast<int>(who.size());
          if (m > 0) node(k, c, r, who);
          std::fprintf(f, "\n");
        }
    }

    std::fprintf(f, "\n& Declaration of overflow queues.\n");
    for (int k = 0; k < cf.NbSwitch; ++k) {
      std::fprintf(f, "/STATION/\n");
      std::fprintf(f, "    NAME = OvfIn%d( 0 STEP 1 UNTIL %d );\n", k, cf.SwitchSize[k] - 1);
      zero_out();
    }
    for (int k = 0; k < cf.NbSwitch; ++k) {
      std::fprintf(f, "/STATION/\n");
      std::fprintf(f, "    NAME = OvfOut%d( 0 STEP 1 UNTIL %d );\n", k, cf.SwitchSize[k] - 1);
      zero_out();
    }
    std::fprintf(f, "\n& Declaration of the sinks (one per session )\n");
    std::fprintf(f, "/STATION/\n");
    std::fprintf(f, "    NAME = Sink( 0 STEP 1 UNTIL %d );\n", N - 1);
    zero_out();
    if (o.allbounded) {
      std::fprintf(f, "\n& Declaration of the ultimate trap\n");
      std::fprintf(f, "/STATION/\n");
      std::fprintf(f, "    NAME = GlobLoss;\n");
      zero_out();
    }
    std::fprintf(f, "\n& Declaration of the links\n");
    for (int s = 0; s < N; ++s)
      for (int t = 1; t < cf.NbThrough[s]; ++t) {
        const int k = cf.NumSw[s][t];
        std::fprintf(f, "/STATION/\n");
        std::fprintf(f, "    NAME = L_%d_%d;\n", s, k);
        std::fprintf(f, "    SERVICE = CST(0.0);\n");
        std::fprintf(f, "    TRANSIT = Sw%d( 0, %d ), Cl_%d;\n", k, cf.route[s][k][0] - 1, cls(s, k, 0));
        std::fprintf(f, "\n");
      }
  }

  void node(int k, int c, int r, const std::vector<int>& who) {
    const int L = cf.Layer[k], N = cf.NbSession;
    const int m = static_cast<int>(who.size());
    if (o.debug) std::printf("Found %d sessions going through Sw%d(%d,%d)\n", m, k, c, r);
    std::fprintf(f, "/STATION/\n");
    std::fprintf(f, "    NAME = Sw%d( %d, %d );\n", k, c, r);
    if (m > 1) std::fprintf(f, "    SCHED = PRIOR, PREEMPT;\n");
    if (c == 0) {
      std::fprintf(f, "    CAPACITY = %d;\n", cf.capaIn[k]);
      std::fprintf(f, "    REJECT = TRANSIT( OvfIn%d(%d) );\n", k, r);
    }
    if (c == L + 1) {
      std::fprintf(f, "    CAPACITY = %d;\n", cf.capaOut[k]);
      std::fprintf(f, "    REJECT = TRANSIT( OvfOut%d(%d) );\n", k, r);
    } else if (c > 0 && o.allbounded) {
      std::fprintf(f, "    CAPACITY = %d;\n", cf.capaOut[k]);
      std::fprintf(f, "    REJECT = TRANSIT( GlobLoss );\n");
    }
    for (int s : who) {
      const int a = cls(s, k, c);
      if (m > 1) std::fprintf(f, "    PRIOR( Cl_%d ) = %d;\n", a, N - s);
      if (c <= L) {
        std::fprintf(f, "    TRANSIT( Cl_%d ) = Sw%d( %d, %d )", a, k, c + 1, cf.route[s][k][c + 1] - 1);
        std::fprintf(f, ", Cl_%d;\n", cls(s, k, c + 1));
        continue;
      }
      int t = 0;
      while (cf.NumSw[s][t] != k) ++t;
      if (t + 1 == cf.NbThrough[s])
        std::fprintf(f, "    TRANSIT( Cl_%d ) = Sink(%d);\n", a, s);
      else
        std::fprintf(f, "    TRANSIT( Cl_%d ) = L_%d_%d;\n", a, s, cf.NumSw[s][t + 1]);
    }
  }

  void Control() {
    std::fprintf(f, "\n");
    std::fprintf(f, "/CONTROL/\n");
    std::fprintf(f, "    TMAX = %12f;\n", o.tmax);
    std::fprintf(f, "\n");
    std::fprintf(f, "/EXEC/\n");
    std::fprintf(f, "    BEGIN;\n");
    std::fprintf(f, "        SIMUL;\n");
    std::fprintf(f, "        WRITELN(\"Total time: \", GETCPUT);\n");
    std::fprintf(f, "    END;\n");
    std::fprintf(f, "\n");
    std::fprintf(f, "/END/\n");
  }
};

}  // namespace

constexpr double kMaxTmax = 1e15;

int main(int argc, char** argv) {
  orv::Output_Guard out("vantrel");
  const char* name = argc > 0 ? argv[0] : "vantrel";
  Options o;
  bool failed = false;
  for (int i = 1; i < argc; ++i) {
    const std::string w = argv[i];
    if (w == "-f" || w == "-o") {
      if (i + 1 < argc) {
        (w == "-f" ? o.in_name : o.out_name) = argv[++i];
      } else {
        std::fprintf(stderr, "%s: usage:filename expected after %s\n", name, w.c_str());
        failed = true;
      }
    } else if (w == "-tmax") {
      // A horizon is a positive time the model's TMAX line can hold as
      // written ("%12f"): nan, infinities and huge values are no horizon.
      if (i + 1 < argc && orv::read_real(argv[i + 1], o.tmax) && o.tmax > 0 &&
          o.tmax <= kMaxTmax) {
        ++i;
      } else {
        std::fprintf(stderr, "%s: usage: real expected after -tmax\n", kTag);
        failed = true;
      }
    } else if (w == "-allbounded") {
      o.allbounded = true;
    } else if (w == "-debug") {
      o.debug = true;
    } else if (w == "-h" || w == "-?" || w == "-help") {
      std::printf("usage: %s [-f inputfile] [-o outfile]", name);
      std::printf(" [-tmax real] [-allbounded]\n");
      return out.finish(-1);
    }
  }
  if (failed) return out.finish(-1);

  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!o.in_name.empty()) {
    owned.reset(std::fopen(o.in_name.c_str(), "r"));
    if (!owned) {
      std::fprintf(stderr, "%s: could not open file %s\n", kTag, o.in_name.c_str());
      return out.finish(-1);
    }
    in = owned.get();
  }
  CONFIG cf;
  // Messages of the reading stay out of the model, which may be stdout.
  if (!orv::atm::Read_Config(in, cf, stderr)) return out.finish(-1);
  owned.reset();

  FILE* f = stdout;
  if (!o.out_name.empty() && !(f = out.open(o.out_name))) return out.finish(-1);
  Model m{cf, o, f, {}};
  m.Number_Classes();
  if (o.debug) m.Print_Routing();
  m.Declarations();
  m.Stations();
  m.Control();
  // A source without its delay makes a model that simulates nothing sound.
  return out.finish(m.laws_ok ? 0 : -1);
}
