// The four fragments: parameters, declarations (tables, routing counters,
// sources, marking functions, statistics), and one tick of the recursion in
// its initial form (look-backs tested against tick 0) and its regular form.
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/args.h"
#include "common/value_list.h"
#include "petri/analysis.h"
#include "petri/pnl_reader.h"
#include "petrigen/emitter.h"
#include "petrigen/gen_tables.h"
#include "tarvin.h"

namespace tarvin {

namespace {

using orv::LAW_DESC;
using orv::gen::c_fmt;
using orv::gen::c_lit;
using orv::pn::LINK_LIST;
using orv::pn::PetriNet;
using orv::pn::PL_DES;
using orv::pn::TR_DES;

const char* const TOOL = "tarvin";

// The fragments being written.
class Fragment_Writer : public orv::gen::Recursion_Writer {
 public:
  Fragment_Writer(orv::gen::Gen_Context& context, const PetriNet& net, Settings& settings)
      : Recursion_Writer(context, net), Set(settings) {
    Style.Indent = "";
    Style.Time = "Time";
    Style.H_Row = "";
    Style.Draw = "U_0_1()";
    Style.Token_Headings = false;
  }
  Gen_Status Write(const std::string& PNL_File_Name, const orv::pn::LAYER_STRUCT& The_Layer_Struct,
                   int Trace, const File_Opener& open);

 private:
  Settings& Set;
  int Tracing = 0;
  bool Broken = false;  // a diagnostic went into a fragment

  __attribute__((format(printf, 2, 3))) void diagnostic(const char* fmt, ...);
  int ticks_of(double x);
  bool has_links(int p);
  int largest_outdegree();
  int arc_delay(int u, int p);
  bool Is_Dummy(const PL_DES& pl);
  std::string write_trans_name(int t);
  int comb(int a, int b);
  void Lag_Time_Scales();
  void Dump_Scales();
  void gen_file_header();
  int source_letter(int t);
  double param(int t, size_t k);
  int self_loop_place(int t);
  int multiplicity(int t);
  int constant_period(int t);
  std::vector<std::pair<int, int>> start_groups(int t);
  orv::gen::Discrete_Law discrete_of(int t);
  bool infinite_throughput(int t);
  bool any_source_law(char letter);
  void gen_source_declarations();
  void Gen_Source_Code();
  void Gen_Stats_Code();
  std::string marking_term(int u, int d, bool initial, bool shortcuts);
  void marking_sums(int p, bool initial, bool shortcuts);
  void Gen_Marking_Function(int p, int initial);
  bool holds_firings_of_source(int p);
  void gen_final_marking();
  void gen_declarations(const std::string& PNL_File_Name);
  void Write_Partial_Enabling(int q, int t, int weight, int initial) override;
  void Write_Token_Routing(int p, int t, int initial, int weight);
  const char* token_class(int weight);
  void trace_count_back(int u, int a, int initial, bool shortcuts);
  void trace_weight_end(int weight);
  void trace_marking(int p, int initial, bool shortcuts);
  void gen_trace_before_firing(int t, int initial);
  void gen_trace_after_firing(int t, int initial);
  void slot_back(int b, int t);
  void gen_code_node(int t, int initial, int trace);
  void gen_preparation_code(int initial);
  void gen_loop_code(int initial, int trace);
  void gen_increment_code();
  bool open_fragment(const File_Opener& open, const char* name);
};

}  // namespace

// A diagnostic of the writers: into the fragment, where it stops the
// compilation, and on standard error, where the user sees it.
void Fragment_Writer::diagnostic(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(Out, fmt, ap);
  va_end(ap);
  va_start(ap, fmt);
  std::vfprintf(stderr, fmt, ap);
  va_end(ap);
  Broken = true;
}

int Fragment_Writer::ticks_of(double x) {
  double v = std::rint(x * ctx.Scale);
  if (!(v < INT_MAX)) return INT_MAX;
  if (!(v > INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

// Places whose output arcs get link numbers NB_P<p>_TO_T<t>: a routing
// table names them even when the place has one output.
bool Fragment_Writer::has_links(int p) { return Pl(p).Outdegree > 1 || Pl(p).Routing != nullptr; }

int Fragment_Writer::largest_outdegree() {
  int m = 0;
  for (const PL_DES& pl : Net->P) m = std::max(m, pl.Outdegree);
  return m;
}

// Ticks between a firing of u and its token being usable in p: a source's
// count already counts completed firings.
int Fragment_Writer::arc_delay(int u, int p) {
  return ctx.Hold_Time[p] + (ctx.Is_Source[u] ? 0 : ctx.Fire_Time[u]);
}

bool Fragment_Writer::Is_Dummy(const PL_DES& pl) { return orv::gen::Is_Dummy(pl) != 0; }
std::string Fragment_Writer::write_trans_name(int t) { return orv::gen::write_trans_name(Tr(t)); }

int Fragment_Writer::comb(int a, int b) {
  if (a == 0 || b == 0) return std::max(a, b);
  return orv::pn::gcd(a, b);
}

// Initial tokens come to their place after their lags, which need not fall
// on the place's step: the step divides them too, and the steps around are
// combined again, so that no transition waits for the next multiple of its
// step to see such a token.
void Fragment_Writer::Lag_Time_Scales() {
  const int np = Net->Nb_Places;
  bool any = false;
  for (int p = 0; p < np; ++p) {
    const PL_DES& pl = Pl(p);
    int m = std::min<int>(pl.Init_Pop, static_cast<int>(pl.Lag_Times.size()));
    for (int k = 0; k < m; ++k) {
      int lag = ticks_of(pl.Lag_Times[k]);
      if (lag <= 0 || lag == INT_MAX) continue;
      int n = comb(ctx.TSP[p], lag);
      if (n != ctx.TSP[p]) any = true;
      ctx.TSP[p] = n;
    }
  }
  if (any) orv::gen::Spread_Time_Scales(ctx, *Net);
}

// The scale dump of -debug, three objects a line.
void Fragment_Writer::Dump_Scales() {
  std::printf("Found %d different time scales:", ctx.The_Scales[0]);
  for (int i = 1; i <= ctx.The_Scales[0]; ++i) std::printf(" %d", ctx.The_Scales[i]);
  std::printf("\n");
  std::printf("Time Scales:\n");
  for (int p = 0; p < Net->Nb_Places; ++p) {
    std::printf("Pl %2d (%8s) = %2d    ", p, S(Pl(p).Name), ctx.TSP[p]);
    if (p % 3 == 2) std::printf("\n");
  }
  std::printf("\n");
  for (int t = 0; t < Net->Nb_Trans; ++t) {
    std::printf("Tr %2d (%8s) = %2d    ", t, S(Tr(t).Name), ctx.TST[t]);
    if (t % 3 == 2) std::printf("\n");
  }
  std::printf("\n");
}

// ---------------------------------------------------------------- parameters

void Fragment_Writer::gen_file_header() {
  w("/* Configuration file for a Petri net \t\t\t*/\n");
  w("/* simulation code generated by ");
  w("%s", TOOL);
  w(" version ");
  w("%s", orv::ORV_VERSION);
  w("\t\t*/\n");
  w("/* Date: %s \t\t\t\t*/\n\n", S(orv::todays_date()));
  w("int     TMAX = %d;\n", ctx.Scale * Set.Max_Time);
  w("int     SCALE = %d;\n", ctx.Scale);
  w("#define NB_TRANS\t%d\n", Net->Nb_Trans);
  w("#define NB_PLACES\t%d\n", Net->Nb_Places);
  w("#define BUF_SIZE\t%d\n", ctx.Buf_Size);
  w("#define HALF_BUF_SIZE\t%d\n", ctx.Buf_Size / 2);
  w("#define Infinity 0x7FFFFFFF\n");
  if (Tracing) {
    w("#define Trace\n");
    w("#define CODE(x)\t\tfprintf(Tracefile,x)\n");
    w("#define CODE1(x,y)\tfprintf(Tracefile,x,y)\n");
    w("#define CODE2(x,y,z)\tfprintf(Tracefile,x,y,z)\n");
    w("#define CODELN\t\tCODE(\"\\n\")\n");
  }
  w("\n");
}

// ---------------------------------------------------------------- sources

int Fragment_Writer::source_letter(int t) {
  const LAW_DESC* law = Tr(t).Tr_Law.get();
  return law ? law->Name : 0;
}

double Fragment_Writer::param(int t, size_t k) {
  const LAW_DESC* law = Tr(t).Tr_Law.get();
  return law && k < law->Parameters.size() ? law->Parameters[k] : 0.0;
}

// The self-loop place of a source fed back by itself, or -1.
int Fragment_Writer::self_loop_place(int t) {
  const TR_DES& tr = Tr(t);
  if (tr.Inputs.empty() || !valid_p(tr.Inputs.front().Dest)) return -1;
  return tr.Inputs.front().Dest;
}

// Firings a source has in hand at once: 1 without an input place, else as
// many as the tokens of its self-loop place allow, each firing taking the
// arc's weight of them.
int Fragment_Writer::multiplicity(int t) {
  int p = self_loop_place(t);
  if (p < 0) return 1;
  const int weight = std::max(1, Tr(t).Inputs.front().Weight);
  return Pl(p).Init_Pop / weight;
}

// Ticks from one firing of a constant source to the next: its own delay,
// and the hold time of its self-loop place before the token comes back.
int Fragment_Writer::constant_period(int t) {
  double v = param(t, 0);
  int p = self_loop_place(t);
  if (p >= 0) v += orv::pn::Delay_Of(Pl(p).Pl_Law.get());
  return ticks_of(v);
}

// When the firings in hand of a constant source start first, in ticks: the
// j-th firing (from 1) waits for the j·w-th token of its loop by lag, w
// being the arc's weight; each then comes round on its own. Firings that
// start together make one batch: (start, count), by start.
std::vector<std::pair<int, int>> Fragment_Writer::start_groups(int t) {
  std::vector<std::pair<int, int>> groups;
  const int n = multiplicity(t);
  const int p = self_loop_place(t);
  if (n <= 0) return groups;
  if (p < 0) return {{0, 1}};
  const PL_DES& pl = Pl(p);
  const long long weight = std::max(1, Tr(t).Inputs.front().Weight);
  const int listed = std::min<int>(pl.Init_Pop, static_cast<int>(pl.Lag_Times.size()));
  // Tokens the reader gave no lag are there from the start.
  const long long zeros = pl.Init_Pop - listed;
  std::vector<int> lags;
  for (int k = 0; k < listed; ++k) lags.push_back(std::max(0, ticks_of(pl.Lag_Times[k])));
  std::sort(lags.begin(), lags.end());
  auto lag_of = [&](long long k) { return k < zeros ? 0 : lags[static_cast<size_t>(k - zeros)]; };
  for (long long j = 1; j <= n; ++j) {
    const int start = lag_of(j * weight - 1);
    if (!groups.empty() && groups.back().first == start)
      ++groups.back().second;
    else
      groups.push_back({start, 1});
    // The firings whose tokens are all there from the start, at once.
    if (j * weight <= zeros) {
      long long all = zeros / weight;
      groups.back().second = static_cast<int>(all);
      j = all;
    }
  }
  return groups;
}

orv::gen::Discrete_Law Fragment_Writer::discrete_of(int t) {
  const LAW_DESC* law = Tr(t).Tr_Law.get();
  return law ? orv::gen::Sort_Discrete_Law(*law) : orv::gen::Discrete_Law{};
}

// A source that would produce without bound in one tick.
bool Fragment_Writer::infinite_throughput(int t) {
  switch (source_letter(t)) {
    case 'D': {
      orv::gen::Discrete_Law d = discrete_of(t);
      return d.pr_zero >= 1 || d.sorted.empty();
    }
    case 'C':
      return multiplicity(t) > 0 && constant_period(t) <= 0;
    default:
      return false;
  }
}

bool Fragment_Writer::any_source_law(char letter) {
  for (int t = 0; t < Net->Nb_Trans; ++t)
    if (ctx.Is_Source[t] && source_letter(t) == letter) return true;
  return false;
}

void Fragment_Writer::gen_source_declarations() {
  for (int t = 0; t < Net->Nb_Trans; ++t) {
    if (!ctx.Is_Source[t]) continue;
    w("/* Variables for source %d (%s) */\n", t, S(orv::gen::c_comment(Tr(t).Name)));
    w("int\tNb_Tok_%d = 0;\n", t);
    w("int\tR_%d[ BUF_SIZE ];\n", t);
    const double p0 = param(t, 0);
    switch (source_letter(t)) {
      case 'B':
      case 'G':
        // The first draw at tick 0, then one every time unit: on the grid
        // of the source's time scale, as with a scale of 1.
        if (ctx.Scale != 1) w("int\tT_Phase_%d = %d;\n", t, 1);
        break;
      case 'C':
        if (infinite_throughput(t)) {
          diagnostic("%s: error: infinite throughput at source %d\n", TOOL, t);
          break;
        }
        {
          // The first token one delay after tick 0 (or after the lag of the
          // tokens in hand), in ticks like the rest; firings in hand that
          // start later have phases of their own.
          const std::vector<std::pair<int, int>> groups = start_groups(t);
          w("int\tT_Phase_%d = %d;\n", t, ticks_of(p0) + (groups.empty() ? 0 : groups[0].first) + 1);
          for (size_t g = 1; g < groups.size(); ++g)
            w("int\tT_Phase_%d_%d = %d;\n", t, static_cast<int>(g),
              ticks_of(p0) + groups[g].first + 1);
        }
        break;
      case 'E': {
        double r = static_cast<double>(::random());
        // In ticks, as the absolute tick it is compared with.
        w("double Next_Arrival_%d = %lf;\n", t, ctx.Scale * (-p0 * std::log(r / 2147483647.0)));
        break;
      }
      case 'D': {
        orv::gen::Discrete_Law d = discrete_of(t);
        if (infinite_throughput(t)) {
          diagnostic("%s: error: infinite throughput at source %d\n", TOOL, t);
          break;
        }
        int m = static_cast<int>(d.sorted.size());
        w("int\tT_Phase_%d = 1;\n", t);
        w("double\tT_Pr_Zero_%d = %6.4f;\n", t, d.pr_zero);
        w("double\tT_Proba_%d[%d] = {", t, m);
        double sum = 0;
        for (int k = 0; k + 1 < m; ++k) {
          sum += d.sorted[k].second;
          w(" %6.4f,", sum / (1 - d.pr_zero));
        }
        w(" 1.0 };\n");
        w("double\tInterarrival_%d[%d] = {", t, m);
        for (int k = 0; k < m; ++k)
          w(k + 1 < m ? " %6.4f," : " %6.4f };\n", ctx.Scale * d.sorted[k].first);
        break;
      }
      case 'g':
        // Its phase counts down to the next draw, the first at tick 0.
        w("int\tT_Phase_%d = 1;\n", t);
        break;
      default:
        break;
    }
  }
}

void Fragment_Writer::Gen_Source_Code() {
  w("/* Procedure for computing the number of tokens generated ");
  w("by the sources */\n");
  w("void Re_Init_Sources( From, To )\n");
  w("int\tFrom;\nint\tTo;\n");
  w("{\n");
  w("  int     i;\n");
  w("  int     j;\n");
  // The draw of a discrete law has an index of its own: j counts batches.
  if (any_source_law('D')) w("  int     k;\n");
  w("  double  Mean;\n");
  w("\n");
  w("  for( i = From; i < To; i++ ) {\n\n");
  for (int t = 0; t < Net->Nb_Trans; ++t) {
    if (!ctx.Is_Source[t]) continue;
    w("    /* Transition %d (%s) */\n", t, S(orv::gen::c_comment(Tr(t).Name)));
    const int m = multiplicity(t);
    const char letter = static_cast<char>(source_letter(t));
    // A source whose self-loop place is empty never fires.
    if (m > 0 && !infinite_throughput(t)) {
      // Several firings in hand bring their tokens together: the count is
      // repeated, the phase is kept once.
      auto batch_open = [&]() {
        if (m > 1) w("    for( j = 0; j < %d; j ++ ) {\n", m);
      };
      auto batch_close = [&]() {
        if (m > 1) w("    }\n");
      };
      const double p0 = param(t, 0);
      switch (letter) {
        case 'B':
        case 'G':
          if (ctx.Scale != 1) {
            w("    T_Phase_%d --;\n", t);
            w("    if ( T_Phase_%d == 0 ) {\n", t);
          }
          batch_open();
          w("      Nb_Tok_%d += ", t);
          if (letter == 'B') w("1 + ");
          w(" (int)floor( - log(U_0_1())/ %12.6f );\n", -std::log(1 - p0));
          batch_close();
          if (ctx.Scale != 1) {
            w("      T_Phase_%d = %d;\n", t, ctx.Scale);
            w("    }\n");
          }
          break;
        case 'C': {
          const std::vector<std::pair<int, int>> groups = start_groups(t);
          for (size_t g = 0; g < groups.size(); ++g) {
            const std::string phase =
                "T_Phase_" + std::to_string(t) + (g ? "_" + std::to_string(g) : "");
            const int c = groups[g].second;
            w("    %s --;\n", S(phase));
            w("    if ( %s == 0 ) {\n", S(phase));
            if (c > 1) w("    for( j = 0; j < %d; j ++ ) {\n", c);
            w("      Nb_Tok_%d ++;\n", t);
            if (c > 1) w("    }\n");
            w("      %s = %d;\n", S(phase), constant_period(t));
            w("    }\n");
          }
          break;
        }
        case 'D':
          w("    T_Phase_%d --;\n", t);
          w("    if ( T_Phase_%d == 0 ) {\n", t);
          batch_open();
          w("      Nb_Tok_%d ++;\n", t);
          w("      if( T_Pr_Zero_%d > 0.0 )\n", t);
          w("        Nb_Tok_%d += (int)floor( log(U_0_1())/ log(T_Pr_Zero_%d ) );\n", t, t);
          batch_close();
          w("      U = U_0_1();\n");
          w("      for( k=0; U > T_Proba_%d[k]; k++ );\n", t);
          w("      T_Phase_%d = Interarrival_%d[k];\n", t, t);
          w("    }\n");
          break;
        case 'E':
          // Times in ticks; i is a slot of the buffer, R_Time - From + i
          // the tick it stands for.
          w("   Mean = %f;\n\n", ctx.Scale * p0);
          w("   if ( ( R_Time - From + i ) >Next_Arrival_%d )\n", t);
          w("   do {\n");
          w("     Next_Arrival_%d += ( - Mean * log(U_0_1()) );\n", t);
          batch_open();
          w("     Nb_Tok_%d ++;\n", t);
          batch_close();
          w("   } while ( Next_Arrival_%d < ( R_Time - From + i ) );\n", t);
          break;
        case 'g':
          w("    T_Phase_%d --;\n", t);
          w("    if ( T_Phase_%d == 0 ) {\n", t);
          batch_open();
          w("      Nb_Tok_%d ++;\n", t);
          batch_close();
          w("      T_Phase_%d = 1 + ", t);
          w(" (int)floor( - log(U_0_1())/ %12.6f );\n", -std::log(p0));
          w("    }\n");
          break;
        default:
          diagnostic("%s: warning: unknown law type at source %d\n", TOOL, t);
      }
    }
    w("    R_%d[i] = Nb_Tok_%d;\n", t, t);
    w("\n");
  }
  w("  }\n");
  w("}\n");
}

void Fragment_Writer::Gen_Stats_Code() {
  w("void Write_Source_Stats( Sim_Length, Buf_Size )\n");
  w("int\tSim_Length;\n");
  w("int\tBuf_Size;\n");
  w("{\n");
  w("  int\ti;\n");
  w("  int\tNb_Enabl;\n");
  w("\n");
  for (int t = 0; t < Net->Nb_Trans; ++t) {
    if (!ctx.Is_Source[t]) continue;
    w("  Nb_Enabl = R_%d[Sim_Length %% Buf_Size];\n", t);
    w("  printf(\"R_%d[%%d] = %%6d    Cycle time: \", ", t);
    w("Sim_Length / SCALE, Nb_Enabl );\n");
    w("  if ( Nb_Enabl > 0 )\n");
    w("    printf(\"%%10.4f\", (double)Sim_Length / ");
    w(" (double)Nb_Enabl / SCALE );\n");
    w("  else\n");
    w("    printf(\"  Infinity\");\n");
    w("  if ( strlen( Trans_Name[%d] ) > 0 )\n", t);
    w("    printf(\"  (%%s)\\n\", Trans_Name[%d] );\n", t);
    w("  else\n");
    w("    printf(\"\\n\");\n");
    w("\n");
  }
  w("}\n");
  w("\n");
  w("int Nb_Arrived_Tokens( Time )\n");
  w("int\tTime;\n");
  w("{\n  int\tRes = 0;\n\n");
  for (int t = 0; t < Net->Nb_Trans; ++t)
    if (ctx.Is_Source[t]) w("  Res += R_%d[Time %% BUF_SIZE];\n", t);
  w("\n");
  w("  return Res;\n");
  w("}\n");
  w("\n");
}

// ---------------------------------------------------------------- marking

// The tokens brought to p by the arc from u, d ticks back, in the marking
// functions' forms. `initial` tests the look-back against tick 0;
// `shortcuts` allows the row pointers.
std::string Fragment_Writer::marking_term(int u, int d, bool initial, bool shortcuts) {
  char buf[160];
  if (d == 0) {
    if (ctx.Is_Source[u])
      std::snprintf(buf, sizeof buf, "R_%d[ Time ]", u);
    else if (!initial && shortcuts && ctx.Y_Static)
      std::snprintf(buf, sizeof buf, "Y_0[%d]", u);
    else
      std::snprintf(buf, sizeof buf, "Y[ Time ][%d]", u);
    return buf;
  }
  std::string r;
  if (initial) {
    std::snprintf(buf, sizeof buf, "( Time >= %d ? ", d);
    r = buf;
  }
  if (ctx.Is_Source[u])
    std::snprintf(buf, sizeof buf, "R_%d[ Time_M_%d ]", u, d);
  else if (!initial && shortcuts && ctx.Y_Static)
    std::snprintf(buf, sizeof buf, "Y_Time_M_%d[%d]", d, u);
  else
    std::snprintf(buf, sizeof buf, "Y[ Time_M_%d ][%d]", d, u);
  r += buf;
  if (initial) r += " : 0 )";
  return r;
}

void Fragment_Writer::marking_sums(int p, bool initial, bool shortcuts) {
  for (const LINK_LIST& a : Pl(p).Inputs) {
    if (!valid_t(a.Dest)) continue;
    w("  Res += %s", S(marking_term(a.Dest, arc_delay(a.Dest, p), initial, shortcuts)));
    if (a.Weight > 1) w(" * %d", a.Weight);
    w(";\n");
  }
  for (const LINK_LIST& a : Pl(p).Outputs) {
    if (!valid_t(a.Dest)) continue;
    if (!initial && shortcuts && ctx.Y_Static)
      w("  Res -= Y_0[%d]", a.Dest);
    else
      w("  Res -= Y[ Time ][%d]", a.Dest);
    if (a.Weight > 1)
      w(" * %d;\n", a.Weight);
    else
      w(";\n");
  }
}

void Fragment_Writer::Gen_Marking_Function(int p, int initial) {
  w("int %sMarking_%d( %s )\n{\n  register int Res;\n\n", initial ? "I_" : "", p,
    initial ? "Time" : "");
  if (initial)
    w("  Res = Avail[%d][ Time ];\n", p);
  else
    w("  Res = %d;\n", Pl(p).Init_Pop);
  marking_sums(p, initial != 0, true);
  w("  return Res;\n}\n\n");
}

// The self-loop place of a source, leading to it alone: its tokens are the
// source's firings in hand, which it keeps (a source has no count of begun
// firings to take them off by).
bool Fragment_Writer::holds_firings_of_source(int p) {
  const PL_DES& pl = Pl(p);
  if (pl.Outputs.size() != 1 || pl.Inputs.size() != 1) return false;
  int t = pl.Outputs.front().Dest;
  return valid_t(t) && ctx.Is_Source[t] && pl.Inputs.front().Dest == t;
}

void Fragment_Writer::gen_final_marking() {
  w("void Final_Marking( R_Time )\n");
  w("int R_Time;\n");
  w("{\n");
  w("\n");
  w("  int Time;\n");
  w("  int Res;\n");
  // Slots of its own tick: the program's slot variables are one tick ahead
  // once the last tick is done.
  const std::vector<int> ds = delays();
  for (int d : ds) w("  int Time_M_%d;\n", d);
  w("\n");
  w("  Time = R_Time %% BUF_SIZE;\n");
  for (int d : ds) w("  Time_M_%d = ( Time + %d ) %% BUF_SIZE;\n", d, ctx.Buf_Size - d);
  w("\n");
  for (int p = 0; p < Net->Nb_Places; ++p) {
    w("  /* final marking of place #%d (%s) */\n", p, S(orv::gen::c_comment(Pl(p).Name)));
    w("  Res = %d;\n", Pl(p).Init_Pop);
    // A recycling place is empty while its transition fires: the counts
    // of firings begun and done give its marking as they give any other's.
    if (holds_firings_of_source(p))
      w("  /* and that's all: this is a recycling place ! */\n");
    else
      marking_sums(p, false, false);
    w("  printf(\"M_%d[%%d] = %%8d  (%s)\\n\", R_Time, Res );\n", p, S(c_fmt(Pl(p).Name)));
    w("\n");
  }
  w("}\n\n");
}

// ---------------------------------------------------------------- declarations

void Fragment_Writer::gen_declarations(const std::string& PNL_File_Name) {
  const int np = Net->Nb_Places, nt = Net->Nb_Trans;
  w("#define PNL_INPUT \"%s\"\n", S(c_lit(PNL_File_Name)));
  w("#define MAX_DELAY %d\n", Max_Dependency);
  w("#define MAX_OUTDEGREE\t%d\n", largest_outdegree());
  w("/* defining the link numbers at the output of places */\n");
  for (int p = 0; p < np; ++p) {
    if (!has_links(p)) continue;
    int k = 0;
    std::vector<int> seen;
    for (const LINK_LIST& a : Pl(p).Outputs) {
      // A second arc to the same transition keeps the first one's number.
      if (std::find(seen.begin(), seen.end(), a.Dest) == seen.end()) {
        seen.push_back(a.Dest);
        w("#define NB_P%d_TO_T%d\t%d\n", p, a.Dest, k);
      }
      ++k;
    }
  }
  w("\n");

  if (np > 0) {
    w("/* table of initial availabilities\t\t\t\t\t*/\n");
    w("int\t\t\tAvail[NB_PLACES][MAX_DELAY] = {\n");
    for (int p = 0; p < np; ++p) {
      w("\t");
      for (int d = 0; d < Max_Dependency; ++d)
        w(p == np - 1 && d == Max_Dependency - 1 ? "%2d" : "%2d,", available(Pl(p), d));
      w(p + 1 < np ? "\n" : "\n};\n\n");
    }
  }
  if (nt > 0) Write_Transition_Tables("");

  const std::vector<int> ds = delays();
  w("/* variables for use with the circular buffer\t\t\t*/\n");
  w("int\tTime;\t\t/* The time, modulo the buffer size */\n");
  for (int d : ds) w("int\tTime_M_%d;\t\t/* Time - %d */\n", d, d);
  w("\n");
  if (ctx.Y_Static) {
    w("int\t*Y_0;\t\t/* Y[ Time ] */\n");
    for (int d : ds) w("int\t*Y_Time_M_%d;\t\t/* Y[ Time - %d ] */\n", d, d);
    w("\n");
  }

  w("/* tables and counts for routing generation\t\t\t*/\n");
  for (int p = 0; p < np; ++p) {
    const orv::pn::ROUTING* r = Pl(p).Routing.get();
    const char type = r ? r->Type : 0;
    if (type == 'D') {
      w("int Count_%d = 0;\n", p);
      w("int P_Phase_%d = 0;\n", p);
      int n = std::min<int>(r->Period, static_cast<int>(r->Cycle.size()));
      w("int Cycle_%d[%d] = {", p, r->Period);
      for (int k = 0; k < n; ++k) {
        int t = r->Cycle[k] ? r->Cycle[k]->Number : 0;
        w(k + 1 < n ? " NB_P%d_TO_T%d," : " NB_P%d_TO_T%d };\n", p, t);
      }
      if (n == 0) w(" };\n");
    } else if (type == 'R') {
      const int n = Pl(p).Outdegree;
      w("int Count_%d = 0;\n", p);
      w("double P_Proba_%d[%d] = {", p, n);
      double sum = 0;
      for (int k = 0; k + 1 < n; ++k) {
        sum += k < static_cast<int>(r->Probas.size()) ? r->Probas[k] : 0.0;
        // Four decimals unless they would move the bound between two
        // outputs: the draws must fall as the net says.
        char text[64];
        std::snprintf(text, sizeof text, "%6.4f", sum);
        if (std::fabs(std::strtod(text, nullptr) - sum) > 1e-12)
          w(" %.17g,", sum);
        else
          w(" %s,", text);
      }
      w(" 1.0 };\n");
      const int m = static_cast<int>(Pl(p).Outputs.size());
      w("int Dest_%d[%d] = {", p, n);
      for (int k = 0; k < m; ++k) w(k + 1 < m ? " %d," : " %d };\n", Pl(p).Outputs[k].Dest);
      if (m == 0) w(" };\n");
    } else if (ctx.Is_Compet_Pl[p]) {
      w("int Count_%d = 0;\n", p);
    }
    w("int H_%d[MAX_OUTDEGREE];\n", p);
  }

  gen_source_declarations();

  for (int p = 0; p < np; ++p) {
    if (!ctx.Is_Compet_Pl[p]) continue;
    w("/* Function to compute the marking of place %d (%s) */\n", p, S(orv::gen::c_comment(Pl(p).Name)));
    Gen_Marking_Function(p, 1);
    Gen_Marking_Function(p, 0);
  }

  w("\n");
  Gen_Source_Code();
  w("\n");
  Gen_Stats_Code();
  gen_final_marking();

  if (Tracing) {
    w("/* declarations for trace handling */\n");
    w("char  *zel_trans_name[NB_TRANS] = {\n");
    for (int t = 0; t < nt; ++t) w(t + 1 < nt ? "\t\"%s\",\n" : "\t\"%s\"\n", S(c_lit(Tr(t).Data)));
    w("};\n\n");
    w("char  *zel_place_name[NB_PLACES] = {\n");
    for (int p = 0; p < np; ++p) w(p + 1 < np ? "\t\"%s\",\n" : "\t\"%s\"\n", S(c_lit(Pl(p).Data)));
    w("};\n\n");
    w("/* table of initial populations\t\t\t\t\t*/\n");
    w("int\t\t\tInitial_Pop[NB_PLACES] = {\n");
    for (int p = 0; p < np; ++p) {
      w("\t%d", Pl(p).Init_Pop);
      w(p + 1 < np ? ",\n" : "\n};\n\n");
    }
    w("int   Cur_X_Evt[NB_TRANS+1];\n");
    w("int   Cur_Y_Evt[NB_TRANS+1];\n");
    w("\n");
    w("FILE  *Tracefile;\n");
    w("int   More_Events;\n");
    w("int   Was_X_Evt, Was_Y_Evt;\n");
    w("int   Min_X_Val, Min_Y_Val;\n");
    w("int   Arg_Min_X, Arg_Min_Y;\n");
    w("int   Old_Date, New_Date;\n");
    w("\n");
    w("int  Trace_Start = %d;\n", Set.Trace_Start);
    w("int  Trace_End = %d;\n", Set.Trace_End);
  }
}

// ---------------------------------------------------------------- recursion

// The firings of t that input place q allows.
void Fragment_Writer::Write_Partial_Enabling(int q, int t, int weight, int initial) {
  if (routing_of(q) == 'R' && Pl(q).Outdegree > 1) {
    // The tokens routed to t less those its firings took.
    if (weight > 1) w("( ");
    w("H_%d[ NB_P%d_TO_T%d ]", q, q, t);
    w(!initial && ctx.Y_Static ? " - Y_0[%d]" : " - Y[ Time ][%d]", t);
    if (weight > 1) w(" * %d ) / %d ", weight, weight);
    return;
  }
  w("%sMarking_%d( %s )", initial ? "I_" : "", q, initial ? "Time" : "");
  if (weight > 1) w(" / %d ", weight);
}

void Fragment_Writer::Write_Token_Routing(int p, int t, int initial, int weight) {
  if (Pl(p).Outdegree < 2) return;
  if (!ctx.Already_Visited[p]) {
    w("/* Computing the number of tokens routed from place %d (%s) */\n", p, S(orv::gen::c_comment(Pl(p).Name)));
    const char type = routing_of(p);
    if (!Write_Counted_Routing(p, type)) switch (type) {
      case 'P': {
        // E_Degree counts firings; the place hands over their tokens.
        Write_Priority_Share(p, t, weight, initial);
        break;
      }
      default:
        diagnostic("%s: error: unexpected routing policy (%c)\n", TOOL, type);
    }
  }
  w("Nb_Tokens = H_%d[ NB_P%d_TO_T%d ];\n", p, p, t);
}

const char* Fragment_Writer::token_class(int weight) {
  if (weight <= 1) return "token";
  if (weight == 2) return "bitoken";
  if (weight == 3) return "tritoken";
  return "quadritoken";
}

// The row of the count of u read `a` ticks back, in the trace code.
void Fragment_Writer::trace_count_back(int u, int a, int initial, bool shortcuts) {
  if (initial)
    w("( Time>%d ? Y[ Time - %d ][%d] : 0 )", a, a, u);
  else if (a == 0)
    w(shortcuts && ctx.Y_Static ? "Y_0[%d]" : "Y[ Time ][%d]", u);
  else if (!shortcuts)
    w("Y[ ( Time + BUF_SIZE - %d ) %% BUF_SIZE ][%d]", a, u);
  else if (ctx.Y_Static)
    w("Y_Time_M_%d[%d]", a, u);
  else
    w("Y[ Time_M_%d ][%d]", a, u);
}

void Fragment_Writer::trace_weight_end(int weight) {
  if (weight > 1)
    w(" * %d;\n", weight);
  else
    w(";\n");
}

void Fragment_Writer::trace_marking(int p, int initial, bool shortcuts) {
  w("  Marking = %d;\n", Pl(p).Init_Pop);
  for (const LINK_LIST& a : Pl(p).Inputs) {
    if (!valid_t(a.Dest)) continue;
    w("  Marking += ");
    trace_count_back(a.Dest, ctx.Fire_Time[a.Dest], initial, shortcuts);
    trace_weight_end(a.Weight);
  }
  for (const LINK_LIST& a : Pl(p).Outputs) {
    if (!valid_t(a.Dest)) continue;
    if (!initial && shortcuts && ctx.Y_Static)
      w("  Marking -= Y_0[%d]", a.Dest);
    else
      w("  Marking -= Y[ Time ][%d]", a.Dest);
    trace_weight_end(a.Weight);
  }
  w("  CODE2(\"MODIFY %%s \\\"token\\\" = %%d\\n\",\n");
  w("        zel_place_name[%d], Marking );\n", p);
}

void Fragment_Writer::gen_trace_before_firing(int t, int initial) {
  const TR_DES& tr = Tr(t);
  const bool several = tr.Inputs.size() > 1;
  if (several) w("\tCODE(\"BEGIN_MULTIPLE\\n\");\n");
  for (const LINK_LIST& a : tr.Inputs)
    if (valid_p(a.Dest) && !Is_Dummy(Pl(a.Dest))) trace_marking(a.Dest, initial, true);
  if (several) {
    w("  CODE(\"END_MULTIPLE\\n\");\n");
    w("  CODE(\"BEGIN_MULTIPLE\\n\");\n");
  }
  for (const LINK_LIST& a : tr.Inputs) {
    if (!valid_p(a.Dest) || Is_Dummy(Pl(a.Dest))) continue;
    w("  CODE2(\"MOVE_NEW_OBJECT OF_CLASS ");
    w("%s", token_class(a.Weight));
    w(" FROM %%s TO %%s \",\n");
    w("        zel_place_name[%d], ", a.Dest);
    w("zel_trans_name[%d] );\n", t);
    w("  CODE(\"ON_PATH %s \");\n", S(c_fmt(a.Data)));
    w("  CODE(\"WITH_STEPS 20\\n\");\n");
  }
  if (several) w("  CODE(\"END_MULTIPLE\\n\");\n");
  w("  CODE(\"MODIFY %s \\\"status\\\" = 0\\n\");\n", S(c_fmt(tr.Name)));
}

void Fragment_Writer::gen_trace_after_firing(int t, int initial) {
  const TR_DES& tr = Tr(t);
  const bool several = tr.Outputs.size() > 1;
  if (several) w("  CODE(\"BEGIN_MULTIPLE\\n\");\n");
  for (const LINK_LIST& a : tr.Outputs) {
    if (!valid_p(a.Dest) || Is_Dummy(Pl(a.Dest))) continue;
    w("  CODE2(\"MOVE_NEW_OBJECT OF_CLASS ");
    w("%s", token_class(a.Weight));
    w(" FROM %%s TO %%s \",\n");
    w("        zel_trans_name[%d],", t);
    w("zel_place_name[%d] );\n", a.Dest);
    w("  CODE(\"ON_PATH %s \");\n", S(c_fmt(a.Data)));
    w("  CODE(\"WITH_STEPS 20\\n\");\n");
  }
  if (several) {
    w("  CODE(\"END_MULTIPLE\\n\");\n");
    w("  CODE(\"BEGIN_MULTIPLE\\n\");\n");
  }
  for (const LINK_LIST& a : tr.Outputs)
    if (valid_p(a.Dest) && !Is_Dummy(Pl(a.Dest))) trace_marking(a.Dest, initial, false);
  if (several) w("  CODE(\"END_MULTIPLE\\n\");\n");
  w("  CODE(\"eol+\\n\");\n");
}

// The count slot of t `b` ticks back, wrapped into the buffer.
void Fragment_Writer::slot_back(int b, int t) { w("Y[(Time+BUF_SIZE-%d)%%BUF_SIZE][%d]", b, t); }

void Fragment_Writer::gen_code_node(int t, int initial, int trace) {
  const TR_DES& tr = Tr(t);
  w("/* Evolution of transition ");
  w("%s", S(orv::gen::c_comment(write_trans_name(t))));
  w(" */\n");
  std::vector<const LINK_LIST*> ins;
  for (const LINK_LIST& a : tr.Inputs)
    if (valid_p(a.Dest)) ins.push_back(&a);
  // A priority place's share is bounded by what the other input places hold
  // for t: those are routed first, so that the share sees this tick's tokens.
  std::stable_partition(ins.begin(), ins.end(),
                        [this](const LINK_LIST* a) { return routing_of(a->Dest) != 'P'; });
  const bool y0 = !initial && ctx.Y_Static;
  auto place_steps = [&](const LINK_LIST& a) {
    Write_Token_Total(a.Dest, initial);
    Write_Token_Routing(a.Dest, t, initial, a.Weight);
    Write_Token_Reduction(a);
  };
  if (ins.size() == 1) {
    place_steps(*ins.front());
    w(y0 ? "Y_0[%d] = Nb_Tokens;\n" : "Y[Time][%d] = Nb_Tokens;\n", t);
  } else {
    w("Tmp_Y = Infinity;\n");
    for (const LINK_LIST* a : ins) {
      place_steps(*a);
      w("Tmp_Y = MIN( Tmp_Y, Nb_Tokens );\n");
    }
    w(y0 ? "Y_0[%d] = Tmp_Y;\n" : "Y[Time][%d] = Tmp_Y;\n", t);
  }
  if (trace) {
    // The firings that end at this tick are replayed one by one, inside the
    // trace window only: the count is restored as they are.
    const int b = ctx.Fire_Time[t];
    w("Present_Nb = ");
    if (initial)
      w("( Time>=%d ? Y[Time-%d][%d] : 0 )", b, b, t);
    else
      trace_count_back(t, b, 0, true);
    w(";\n");
    w("if( ( R_Time <= Trace_End * SCALE ) && ( R_Time >= Trace_Start ) ) {\n");
    slot_back(b, t);
    w(" = ");
    slot_back(b + 1, t);
    w(";\n");
    w("while( ");
    slot_back(b, t);
    w(" < Present_Nb ) {\n");
    w("\n");
    gen_trace_before_firing(t, initial);
    gen_trace_after_firing(t, initial);
    w("\n");
    w("  ");
    slot_back(b, t);
    w("++;\n");
    w("}\n");
    w("}\n");
  }
  w("\n");
}

void Fragment_Writer::gen_preparation_code(int initial) {
  Write_Source_Draw();
  Write_Count_Copies(initial);
  w("\n");
}

// The transitions in the order of the zero-time layers, each run of equal
// time scale under one test, so that a transition never reads a count of
// this tick that is computed after it.
void Fragment_Writer::gen_loop_code(int initial, int trace) {
  if (trace) {
    w("CODE1(\"MODIFY TheClock \\\"ctime\\\" = %%7.3f");
    w("\\n\", (double)Time );\n");
  }
  std::vector<int> order;
  for (int l = 0; l < Layers->Nb_Levels && l < static_cast<int>(Layers->Level.size()); ++l) {
    const orv::pn::LAYER_DESC* layer = Layers->Level[l].get();
    if (!layer) continue;
    for (int t : layer->Node_Id)
      if (valid_t(t) && !ctx.Is_Source[t]) order.push_back(t);
  }
  for (size_t i = 0; i < order.size();) {
    const int s = ctx.TST[order[i]];
    size_t j = i;
    while (j < order.size() && ctx.TST[order[j]] == s) ++j;
    w("/* Computing the %d transition(s) with time scale %d */\n", static_cast<int>(j - i), s);
    // A scale of 0 (nothing around has a step) or 1 runs at every tick.
    const bool block = s > 1;
    if (block) w("if ( ( R_Time %% %d ) == 0 ) {\n\n", s);
    for (size_t k = i; k < j; ++k) gen_code_node(order[k], initial, trace);
    if (block) w("} /* end of time scale %d */\n\n", s);
    i = j;
  }
}

void Fragment_Writer::gen_increment_code() {
  w("/* Increment of the time variables */\n");
  w("Time = ( Time + 1 ) %% BUF_SIZE;\n");
  Write_Slot_Steps();
}

// Opens one fragment; false after the message when it cannot be.
bool Fragment_Writer::open_fragment(const File_Opener& open, const char* name) {
  std::string path = Set.Tmp_Dir + name;
  Out = open(path);
  return Out != nullptr;
}

int Compute_Max_Dependency(const PetriNet& net, int Scale) {
  double m = std::max(orv::pn::Max_Delay(net), orv::pn::Max_Lag(net));
  double v = std::rint(Scale * m);
  // Every tick reads the slot of the tick before: at least one.
  if (!(v >= 1)) return 1;
  if (v > INT_MAX / 4) return INT_MAX / 4;
  return static_cast<int>(v);
}

Gen_Status gen_c_code(Settings& settings, const PetriNet& Reseau,
                      const std::string& PNL_File_Name,
                      const orv::pn::LAYER_STRUCT& The_Layer_Struct, int The_Scale, int Trace,
                      const File_Opener& open) {
  orv::gen::Gen_Context ctx;
  ctx.Tool_Name = TOOL;
  ctx.Scale = The_Scale;
  ctx.Buf_Size = settings.Buf_Size;
  ctx.Y_Static = settings.Y_Static;
  Fragment_Writer writer(ctx, Reseau, settings);
  Gen_Status status = writer.Write(PNL_File_Name, The_Layer_Struct, Trace, open);
  settings.Buf_Size = ctx.Buf_Size;
  return status;
}

Gen_Status Fragment_Writer::Write(const std::string& PNL_File_Name,
                                  const orv::pn::LAYER_STRUCT& The_Layer_Struct, int Trace,
                                  const File_Opener& open) {
  const PetriNet& Reseau = *Net;
  Layers = &The_Layer_Struct;
  Tracing = Trace;

  Max_Dependency = Compute_Max_Dependency(Reseau, ctx.Scale);
  Max_Read = Max_Dependency;
  if (Tracing)
    for (int t = 0; t < Reseau.Nb_Trans; ++t)
      if (!orv::pn::Is_Source_Transition(Reseau, t))
        Max_Read = std::max(Max_Read,
                            std::min(ticks_of(orv::pn::Delay_Of(Reseau.T[t].Tr_Law.get())),
                                     INT_MAX / 4));

  long long b = ctx.Buf_Size;
  b = std::min(b, static_cast<long long>(ctx.Scale) * Set.Max_Time + 1);
  b = std::max(b, 2LL * Max_Read);
  if (Tracing) {
    Set.Trace_Start = static_cast<int>(
        std::clamp(static_cast<long long>(Set.Trace_Start) * ctx.Scale, 0LL,
                   static_cast<long long>(INT_MAX / 2)));
    b = std::max(b, static_cast<long long>(Set.Trace_Start));
  }
  if (b % 2) ++b;
  ctx.Buf_Size = static_cast<int>(std::min<long long>(b, INT_MAX - 1));

  orv::gen::Table_Options options;
  options.Any_Priority_Competes = true;
  options.Firing_Time_Slots = Tracing != 0;
  orv::gen::Init_Generation(ctx, Reseau, Max_Read, ctx.Scale, options);
  // Every object is simulated by the recursion: the time scales of an
  // all-equational net. The dump is this program's own.
  const int debug = orv::pn::Debug;
  orv::pn::Debug = 0;
  orv::gen::TimeScale(ctx, Reseau, ctx.Scale, 0);
  Lag_Time_Scales();
  orv::pn::Debug = debug;
  if (debug) Dump_Scales();

  bool all_open = true;
  if (open_fragment(open, "pnc_graph_parameters.h"))
    gen_file_header();
  else
    all_open = false;
  if (open_fragment(open, "pnc_declarations.h"))
    gen_declarations(PNL_File_Name);
  else
    all_open = false;
  if (open_fragment(open, "pnc_initial_evolution.c")) {
    gen_preparation_code(1);
    gen_loop_code(1, Trace);
    gen_increment_code();
  } else {
    all_open = false;
  }
  std::fill(ctx.Already_Visited.begin(), ctx.Already_Visited.end(), 0);
  if (open_fragment(open, "pnc_evolution.c")) {
    gen_preparation_code(0);
    gen_loop_code(0, Trace);
    gen_increment_code();
  } else {
    all_open = false;
  }
  Out = nullptr;
  if (!all_open) return GEN_OPEN_FAILED;
  return Broken ? GEN_BROKEN : GEN_DONE;
}

}  // namespace tarvin
