#include "petrigen/valtor_program.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/value_list.h"
#include "petri/analysis.h"
#include "petrigen/emitter.h"
#include "petrigen/gen_tables.h"

namespace orv::gen {

namespace {

using pn::LINK_LIST;
using pn::PetriNet;
using pn::PL_DES;
using pn::TR_DES;

// The index of the first value written of a discrete law: its values
// follow the count, last written first.
size_t discrete_first(const LAW_DESC& law) {
  const size_t avail = (law.Parameters.size() - 1) / 2;
  const double n = law.Parameters.empty() ? 0.0 : law.Parameters[0];
  size_t k = n >= 1.0 ? static_cast<size_t>(n) : 1;
  if (k > avail) k = avail > 0 ? avail : 1;
  return k;
}

// A time as the program's text gives it: 0.0, or the shortest decimal that
// reads back as the same number.
std::string time_text(double t) {
  if (t == 0.0) return "0.0";
  char buf[40];
  for (int prec = 1; prec <= 17; ++prec) {
    std::snprintf(buf, sizeof buf, "%.*g", prec, t);
    if (std::strtod(buf, nullptr) == t) break;
  }
  std::string r = buf;
  if (r.find_first_of(".en") == std::string::npos) r += ".0";
  return r;
}

// The program being written.
class Program_Writer : public Emitter {
 public:
  Program_Writer(Gen_Context& context, const PetriNet& net, FILE* out,
                 const Valtor_Profile& profile)
      : Emitter(context, net, out), Prof(&profile) {}
  bool Write();
  void Kemp_Code();

 private:
  const Valtor_Profile* Prof;
  bool Broken = false;

  bool de_t(int t);
  bool de_p(int p);
  const char* tool();
  std::string shown(const std::string& name, const std::string& data);
  std::string print_trans_name(int t);
  std::string print_place_name(int p);
  std::string lit(const std::string& s);
  int real_in(int t);
  int real_out(int t);
  const char* obj_of(int t);
  bool is_relay(int t);
  bool fusion(int t);
  bool fission(int t);
  bool eq_relay(int p, int t);
  const LINK_LIST* single_output(int t);
  std::string place_output_dest(const LINK_LIST& arc);
  std::string trans_output_dest(const LINK_LIST& arc);
  int Class_Number(const LINK_LIST& arc);
  int nb_firings();
  void next_seeds();
  void print_valtor_law(const LAW_DESC* law);
  std::string class_to(int t, int q);
  void output_class(int t, const char* method);
  void fission_station(int t);
  void gen_valtor_trans(int t);
  bool needs_relays(int p);
  void gen_valtor_place(int p);
  void print_initial_pop(int p);
  void gen_valtor_trans_routing(int t);
  void gen_valtor_place_routing(int p);
  void gen_valtor_outputs_trans(int t);
  void gen_valtor_outputs_place(int p);
  void the_eq(const char* ctor);
  void initial_tokens(const PL_DES& pl, const std::string& head);
  double source_start(int t);
};

}  // namespace

bool Program_Writer::de_t(int t) { return !Prof->Mixed || Tr(t).Tag == 1; }
bool Program_Writer::de_p(int p) { return !Prof->Mixed || Pl(p).Tag == 1; }
const char* Program_Writer::tool() { return Prof->Tool; }

// The name of an object in comments: its name, else its data, else none.
std::string Program_Writer::shown(const std::string& name, const std::string& data) {
  if (!name.empty() && name != " ") return name;
  if (!data.empty()) return data;
  return "<no name>";
}
std::string Program_Writer::print_trans_name(int t) { return shown(Tr(t).Name, Tr(t).Data); }
std::string Program_Writer::print_place_name(int p) { return shown(Pl(p).Name, Pl(p).Data); }
std::string Program_Writer::lit(const std::string& s) { return c_lit(s); }

int Program_Writer::real_in(int t) { return ctx.Real_Indegree[t]; }
int Program_Writer::real_out(int t) { return ctx.Real_Outdegree[t]; }

// The object a transition is made into: a source or a server/relay.
const char* Program_Writer::obj_of(int t) { return real_in(t) == 0 ? "Src" : "Trans"; }

bool Program_Writer::is_relay(int t) { return Is_Relay_Trans(ctx, *Net, t); }
bool Program_Writer::fusion(int t) { return Needs_Fusion(ctx, *Net, t); }
bool Program_Writer::fission(int t) { return Needs_Fission(ctx, *Net, t); }

// Tokens the equational part hands to a transition with a fusion in front
// go through a relay of their own that gives them the class the fusion
// matches for that place.
bool Program_Writer::eq_relay(int p, int t) {
  return Prof->Mixed && valid_p(p) && valid_t(t) && !de_p(p) && ctx.Place_Exists[p] && de_t(t) &&
         fusion(t);
}

// The place that takes the single real output of a transition: the first
// output arc, or the second when the first is the transition's recycling
// place.
const LINK_LIST* Program_Writer::single_output(int t) {
  const pn::ARC_LIST& outs = Tr(t).Outputs;
  if (outs.empty()) return nullptr;
  if (valid_p(outs[0].Dest) && is_recycling_place(Pl(outs[0].Dest)) && outs.size() > 1)
    return &outs[1];
  return &outs[0];
}

std::string Program_Writer::place_output_dest(const LINK_LIST& arc) {
  int t = arc.Dest;
  return (fusion(t) ? "Fus_" : "Trans_") + std::to_string(t);
}

std::string Program_Writer::trans_output_dest(const LINK_LIST& arc) {
  int q = arc.Dest;
  if (!valid_p(q)) return "The_Sink";
  if (!de_p(q)) return "The_EQ";
  if (ctx.Place_Exists[q]) return "Place_" + std::to_string(q);
  // A folded place hands its tokens straight to its output transition.
  if (!Pl(q).Outputs.empty() && valid_t(Pl(q).Outputs.front().Dest))
    return place_output_dest(Pl(q).Outputs.front());
  return "The_Sink";
}

// Every token a fusion takes is labelled with the number of the place it
// comes from: an existing place labels its own, the transition before a
// folded place labels them for it, a relay those of an equational place.
// (Labelling a folded place's tokens by their transition would give one
// class to that transition and to the place of the same number.)
int Program_Writer::Class_Number(const LINK_LIST& arc) {
  int p = arc.Dest;
  if (valid_p(p)) return p;
  std::fprintf(stderr, "%s: error: impossible to compute input class", tool());
  std::fprintf(stderr, "at place #%d (%s)\n", p, valid_p(p) ? S(Pl(p).Name) : "");
  return 0;
}

int Program_Writer::nb_firings() { return Net->Sim_Params ? Net->Sim_Params->Nb_Firings : 0; }

// The initial tokens of place p: one line for the tokens there from the
// start, and one for each later instant at which some of them come (their
// lags), as `head` followed by the time and the count.
void Program_Writer::initial_tokens(const PL_DES& pl, const std::string& head) {
  std::vector<double> at(static_cast<size_t>(pl.Init_Pop), 0.0);
  const size_t n = std::min(at.size(), static_cast<size_t>(pl.Lag_Times.size()));
  for (size_t k = 0; k < n; ++k) at[k] = pl.Lag_Times[k] > 0.0 ? pl.Lag_Times[k] : 0.0;
  std::sort(at.begin(), at.end());
  for (size_t k = 0; k < at.size();) {
    size_t j = k;
    while (j < at.size() && at[j] == at[k]) ++j;
    w("%s0 /* prio */, %s /* Time */, %d );\n", S(head), S(time_text(at[k])), static_cast<int>(j - k));
    k = j;
  }
}

// A source fed by its own loop place starts when the place's first token
// comes (its lag).
double Program_Writer::source_start(int t) {
  double start = 0.0;
  for (const LINK_LIST& a : Tr(t).Inputs) {
    if (!valid_p(a.Dest) || !is_recycling_place(Pl(a.Dest))) continue;
    const PL_DES& pl = Pl(a.Dest);
    const size_t n = std::min(static_cast<size_t>(std::max(pl.Init_Pop, 0)), pl.Lag_Times.size());
    double first = n > 0 && n == static_cast<size_t>(pl.Init_Pop) ? pl.Lag_Times[0] : 0.0;
    for (size_t k = 0; k < n; ++k) first = std::min(first, pl.Lag_Times[k]);
    start = std::max(start, first);
  }
  return start;
}

void Program_Writer::next_seeds() {
  ++ctx.Seed1;
  ++ctx.Seed2;
}

void Program_Writer::print_valtor_law(const LAW_DESC* law) {
  char letter = law ? law->Name : 0;
  auto par = [&](size_t i) { return law && i < law->Parameters.size() ? law->Parameters[i] : 0.0; };
  switch (letter) {
    case 'B':
      next_seeds();
      w("new Binomial( 1, %8.4f, new MLCG(%d,%d) )", par(0), ctx.Seed1, ctx.Seed2);
      break;
    case 'C':
      if (par(0) == 0.0)
        w("Zero");
      else
        w("new Cst( %8.4f )", par(0));
      break;
    case 'D':
      std::fprintf(stderr, "%s: warning: unimplemented firing law (%c).", tool(), letter);
      std::fprintf(stderr, "(constant assumed)\n");
      next_seeds();
      {
        // The values are kept last written first: the first one written
        // ends the list.
        const double first = law->Parameters.size() > 1 ? par(discrete_first(*law)) : 0.0;
        w("new Uniform( %8.4f, %8.4f, new MLCG(%d,%d) )", first, first, ctx.Seed1, ctx.Seed2);
      }
      break;
    case 'E':
      next_seeds();
      w("new NegativeExpntl( %8.4f, new MLCG(%d,%d) )", par(0), ctx.Seed1, ctx.Seed2);
      break;
    case 'G':
      // Of parameter 1 or more the law has no mean: the program would not
      // build (or draw nothing that means anything).
      if (!(par(0) >= 0.0 && par(0) < 1.0)) {
        std::fprintf(stderr, "%s: error: geometric law of parameter %g: it must be at least 0 and below 1\n",
                     tool(), par(0));
        Broken = true;
        break;
      }
      next_seeds();
      // The library's geometric law on 1, 2, ... takes its mean.
      w("new Geometric( %8.4f, new MLCG(%d,%d) )", 1 / (1 - par(0)), ctx.Seed1, ctx.Seed2);
      break;
    case 'O':
      next_seeds();
      w("new OnOff( %8.4f, %8.4f, %8.4f, new MLCG(%d,%d) )", par(0), par(1), par(2), ctx.Seed1,
        ctx.Seed2);
      break;
    case 'R':
      next_seeds();
      // Mean and variance: k stages of mean m / k make a variance of m * m / k.
      w("new Erlang( %8.4f, %8.4f, new MLCG(%d,%d) )", par(1),
        par(1) * par(1) / (par(0) < 1 ? 1.0 : par(0)), ctx.Seed1, ctx.Seed2);
      break;
    case 'U':
      next_seeds();
      w("new Uniform( %8.4f, %8.4f, new MLCG(%d,%d) )", par(0), par(1), ctx.Seed1, ctx.Seed2);
      break;
    case 'H':
    case 'g':
      std::fprintf(stderr, "%s: error: can't handle firing law (%c)\n", tool(), letter);
      Broken = true;
      break;
    default:
      std::fprintf(stderr, "%s: error: unknown firing law (%c)\n", tool(), letter);
      Broken = true;
  }
}

// The class of the tokens t sends to place q: the equational part's class
// of the arc, the place's own for a folded place, else the transition's.
std::string Program_Writer::class_to(int t, int q) {
  if (valid_p(q) && !de_p(q)) return "CL_T" + std::to_string(t) + "_P" + std::to_string(q);
  if (valid_p(q) && !ctx.Place_Exists[q]) return "CL_" + std::to_string(q);
  return "CL_" + std::to_string(t);
}

// The class of the tokens a transition sends through its single output; a
// fission station matches unlabelled ones.
void Program_Writer::output_class(int t, const char* method) {
  if (fission(t)) {
    w("\t%s_%d->%s( DUMMY_CLASS );\n", obj_of(t), t, method);
    return;
  }
  const LINK_LIST* q = real_out(t) == 1 ? single_output(t) : nullptr;
  w("\t%s_%d->%s( %s );\n", obj_of(t), t, method, S(class_to(t, q ? q->Dest : -1)));
}

void Program_Writer::fission_station(int t) {
  w("\tTamrick_FS_Station *Fis_%d = new Tamrick_FS_Station;\n", t);
  w("\tFis_%d->set_name(\"Fis_%d\");\n", t, t);
  w("\tFis_%d->set_zel_name(\"%s\");\n", t, S(lit(Tr(t).Data)));
}

void Program_Writer::gen_valtor_trans(int t) {
  const TR_DES& tr = Tr(t);
  w("\n\t// code for transition #%d (%s)\n", t, S(print_trans_name(t)));
  if (real_in(t) == 0) {
    w("\tTamrick_Source *Src_%d = new Tamrick_Source(\n\t\t%s,\n", t, S(time_text(source_start(t))));
    w("\t\t");
    print_valtor_law(tr.Tr_Law.get());
    if (Prof->Mixed)
      w(",\n\t\t Nb_Gen );\n");
    else
      w(",\n\t\t%d );\n", nb_firings());
    w("\tSrc_%d->set_name(\"%s\");\n", t, S(lit(tr.Name)));
    w("\tSrc_%d->set_zel_name(\"%s\");\n", t, S(lit(tr.Data)));
    w("\tSrc_%d->customers_priority( 0 );\n", t);
    output_class(t, "customers_class");
    // A source with several outputs is split by its own fission station.
    if (fission(t)) fission_station(t);
    w("\n");
    return;
  }
  if (is_relay(t)) {
    if (ctx.Is_Interface_Tr[t])
      w("\tTrans_%d = ", t);
    else
      w("\tTamrick_Routing *Trans_%d = ", t);
    w("new Tamrick_Routing( 0.0 );\n");
    w("\tTrans_%d->set_name(\"%s\");\n", t, S(lit(tr.Name)));
    w("\tTrans_%d->set_zel_name(\"%s\");\n", t, S(lit(tr.Data)));
  } else {
    if (fusion(t)) {
      w("\tTamrick_FS_Station *Fus_%d = new Tamrick_FS_Station;\n", t);
      w("\tFus_%d->set_name(\"Fus_%d\");\n", t, t);
      w("\tFus_%d->set_zel_name(\"%s\");\n", t, S(lit(tr.Data)));
      std::vector<int> seen;
      for (const LINK_LIST& a : tr.Inputs) {
        int p = a.Dest;
        if (!eq_relay(p, t) || std::find(seen.begin(), seen.end(), p) != seen.end()) continue;
        seen.push_back(p);
        w("\t// interface between place #%d and the fusion of trans #%d\n", p, t);
        w("\tDum_P%d_T%d = new Tamrick_Routing( 0.0 );\n", p, t);
        w("\tDum_P%d_T%d->set_name(\"Dum_P%d_T%d\");\n", p, t, p, t);
        w("\tDum_P%d_T%d->set_zel_name(\"%s\");\n", p, t, "<rien>");
        w("\tDum_P%d_T%d->set_output_class( CL_%d );\n", p, t, p);
      }
    }
    if (ctx.Is_Interface_Tr[t])
      w("\tTrans_%d = ", t);
    else
      w("\tTamrick_Server_Normal_FIFO *Trans_%d = ", t);
    w("new Tamrick_Server_Normal_FIFO( 0.0, ");
    int n = server_degree(*Net, t);
    if (n < 0) {
      w("INFINI );\n");
    } else {
      if (n == 0)
        std::fprintf(stderr, "%s: warning: transition %d (%s) is not live.\n", tool(), t,
                     S(tr.Name));
      w("%d );\n", n);
    }
    w("\tTrans_%d->set_name(\"%s\");\n", t, S(lit(tr.Name)));
    w("\tTrans_%d->set_zel_name(\"%s\");\n", t, S(lit(tr.Data)));
    w("\tTrans_%d->set_service(\n", t);
    w("\t\t");
    print_valtor_law(tr.Tr_Law.get());
    w(",\n\t\t1 );\n");
  }
  if (fission(t))
    fission_station(t);
  else if (real_out(t) == 1)
    output_class(t, "set_output_class");
  if (!Prof->Mixed) w("\n");
}

// A place labels every token it sends with one class; tokens for the
// equational part need a class of their own per transition, so when the
// place has several outputs each equational one is reached through a relay
// that labels them.
bool Program_Writer::needs_relays(int p) {
  return Prof->Mixed && Nb_EQ_Trans_Succ(*Net, p) >= 1 && Pl(p).Outputs.size() >= 2;
}

void Program_Writer::gen_valtor_place(int p) {
  const PL_DES& pl = Pl(p);
  w("\n\t// code for place #%d (%s)\n", p, S(print_place_name(p)));
  bool server = !is_null_time(pl.Pl_Law.get()) || pl.Outputs.empty();
  const char* type = server ? "Tamrick_Server_Normal_FIFO *" : "Tamrick_Routing *";
  w("\t%sPlace_%d = new ", ctx.Is_Interface_Pl[p] ? "" : type, p);
  if (server) {
    w("Tamrick_Server_Normal_FIFO( 0.0, INFINI );\n");
    w("\tPlace_%d->set_service(\n", p);
    w("\t\t");
    if (pl.Outputs.empty()) {
      w("new Cst( T_Max )\n");
      std::fprintf(stderr, "%s: warning: terminal place encountered at ", tool());
      std::fprintf(stderr, "place #%d (%s)\n", p, S(pl.Name));
    } else {
      print_valtor_law(pl.Pl_Law.get());
    }
    w(",\n\t\t1 );\n");
  } else {
    w("Tamrick_Routing( 0.0 );\n");
  }
  w("\tPlace_%d->set_name(\"%s\");\n", p, S(lit(pl.Name)));
  w("\tPlace_%d->set_zel_name(\"%s\");\n", p, S(lit(pl.Data)));
  if (pl.Init_Pop > 0)
    initial_tokens(pl, "\tPlace_" + std::to_string(p) + "->insert_customer( DUMMY_CLASS, ");
  if (needs_relays(p)) {
    for (const LINK_LIST& a : pl.Outputs) {
      int t = a.Dest;
      if (!valid_t(t) || de_t(t)) continue;
      w("\t// dummy interface between place #%d and trans #%d (%s)\n", p, t,
        S(print_trans_name(t)));
      w("\tTamrick_Server_Normal_FIFO *Dum_P%d_T%d = ", p, t);
      w("new Tamrick_Server_Normal_FIFO( 0.0, INFINI );\n");
      w("\tDum_P%d_T%d", p, t);
      w("->set_name(\"Dum_P%d_T%d\");\n", p, t);
      w("\tDum_P%d_T%d", p, t);
      w("\t->set_zel_name(\"%s\");\n", "<rien>");
      w("\tDum_P%d_T%d", p, t);
      w("->set_service( Zero, 1 );\n");
    }
  }
}

void Program_Writer::print_initial_pop(int p) {
  const PL_DES& pl = Pl(p);
  if (pl.Init_Pop <= 0 || is_recycling_place(pl) || pl.Outputs.empty()) return;
  w("\n\t// code for (nonexistent) place #%d (%s)\n", p, S(print_place_name(p)));
  // Behind a fusion the tokens wait in it with the place's class.
  const int t = pl.Outputs.front().Dest;
  if (valid_t(t) && fusion(t))
    initial_tokens(pl, "\tFus_" + std::to_string(t) + "->insert_customer( CL_" + std::to_string(p) + ", ");
  else
    initial_tokens(pl, "\tTrans_" + std::to_string(t) + "->insert_customer( DUMMY_CLASS, ");
}

void Program_Writer::gen_valtor_trans_routing(int t) {
  const TR_DES& tr = Tr(t);
  const char* obj = obj_of(t);
  w("\n\t// routing for transition #%d (%s)\n", t, S(print_trans_name(t)));
  if (fusion(t)) {
    w("\tFus_Rule = new SM_Rule;\n");
    for (const LINK_LIST& a : tr.Inputs)
      if (valid_p(a.Dest) && !is_recycling_place(Pl(a.Dest)))
        w("\tFus_Rule->match( CL_%d, %d );\n", Class_Number(a), a.Weight);
    w("\tFus_Rule->split( DUMMY_CLASS, 1, 0, Trans_%d, \"%s\");\n", t, S(lit(tr.Data)));
    w("\tFus_%d->set_rule( Fus_Rule );\n", t);
    w("\tFus_%d->set_succ(Trans_%d,1.0,\"%s\",\"%s\");\n", t, t, S(lit(tr.Data)), "<rien>");
    std::vector<int> seen;
    for (const LINK_LIST& a : tr.Inputs) {
      int p = a.Dest;
      if (!eq_relay(p, t) || std::find(seen.begin(), seen.end(), p) != seen.end()) continue;
      seen.push_back(p);
      w("\tDum_P%d_T%d->set_succ(Fus_%d,1.0,\"%s\",\"%s\");\n", p, t, t, "<rien>", "<rien>");
    }
  }
  if (fission(t)) {
    w("\t%s_%d->set_succ(Fis_%d,1.0,\"%s\",\"%s\");\n", obj, t, t, S(lit(tr.Data)), "<rien>");
    // A fusion hands unlabelled tokens on already; a source labels its own.
    if (real_in(t) >= 1 && !fusion(t)) w("\tTrans_%d->set_output_class( DUMMY_CLASS );\n", t);
    w("\n");
    w("\tFis_Rule = new SM_Rule;\n");
    for (const LINK_LIST& a : tr.Outputs) {
      int q = a.Dest;
      if (!valid_p(q) || is_recycling_place(Pl(q))) continue;
      if (!de_p(q)) {
        // One token a firing: the module multiplies the count by the weight.
        w("\tFis_Rule->split( CL_T%d_P%d, %d, 0, ", t, q, 1);
        w(" The_EQ, \"%s\");\n", S(lit(Pl(q).Data)));
      } else {
        w("\tFis_Rule->split( %s, %d, 0, ", S(class_to(t, q)), a.Weight);
        w("%s, \"%s\");\n", S(trans_output_dest(a)), S(lit(Pl(q).Data)));
      }
    }
    w("\tFis_Rule->match( DUMMY_CLASS, 1 );\n");
    w("\tFis_%d->set_rule( Fis_Rule );\n", t);
  } else if (real_out(t) == 1) {
    const LINK_LIST* q = single_output(t);
    w("\t%s_%d->set_succ(", obj, t);
    if (q && valid_p(q->Dest) && !de_p(q->Dest))
      w("The_EQ");
    else
      w("%s", q ? S(trans_output_dest(*q)) : "The_Sink");
    w(",1.0,\"%s\",\"%s\");\n", "<rien>", "<rien>");
  } else {
    w("\t%s_%d->set_succ(The_Sink,1.0,\"FooName\",\"FooName\");\n", obj, t);
  }
}

void Program_Writer::gen_valtor_place_routing(int p) {
  const PL_DES& pl = Pl(p);
  const std::string data = lit(pl.Data);
  w("\n\t// routing for place #%d (%s)\n", p, S(print_place_name(p)));
  const int n = static_cast<int>(pl.Outputs.size());
  if (!Prof->Mixed) {
    // Every token of a place of the whole net carries the place's class.
    if (n == 0) {
      w("\tPlace_%d->set_succ(", p);
      w("The_Sink, 1.0, \"%s\", \"%s\");\n", S(data), "<rien>");
    } else if (n == 1) {
      w("\tPlace_%d->set_succ(", p);
      w("%s, 1.0, \"%s\", \"%s\");\n", S(place_output_dest(pl.Outputs.front())), S(data), "<rien>");
    } else if (!pl.Routing || pl.Routing->Type != 'R') {
      std::fprintf(stderr, "%s: error: bad routing at place #%d (%s).\n", tool(), p, S(pl.Name));
      Broken = true;
    } else {
      const std::vector<double>& pr = pl.Routing->Probas;
      for (int k = 0; k < n; ++k) {
        double prob = k < static_cast<int>(pr.size()) ? pr[k] : 0.0;
        w("\tPlace_%d->set_succ(", p);
        w("%s, %8.6f,\"%s\",\"%s\");\n", S(place_output_dest(pl.Outputs[k])), prob, S(data),
          "<rien>");
      }
    }
    w("\tPlace_%d->set_output_class( CL_%d );\n", p, p);
    return;
  }
  if (n == 0) {
    w("\tPlace_%d->set_succ(", p);
    w("The_Sink, 1.0, \"%s\", \"%s\");\n", S(data), "<rien>");
    return;
  }
  if (n == 1) {
    int t = pl.Outputs.front().Dest;
    if (de_t(t)) {
      w("\tPlace_%d->set_succ(", p);
      w("%s, 1.0, \"%s\", \"%s\");\n", S(place_output_dest(pl.Outputs.front())), S(data), "<rien>");
      w("\tPlace_%d->set_output_class( CL_%d );\n", p, p);
    } else {
      w("\tPlace_%d->set_succ( The_EQ, 1.0, \"%s\", \"%s\");\n", p, S(data), "<rien>");
      w("\tPlace_%d->set_output_class( CL_P%d_T%d );\n", p, p, t);
    }
    return;
  }
  if (!pl.Routing || pl.Routing->Type != 'R') {
    std::fprintf(stderr, "%s: error: bad routing at place #%d (%s).\n", tool(), p, S(pl.Name));
    // Its tokens would stay there: the program does not simulate the net.
    Broken = true;
    return;
  }
  const std::vector<double>& pr = pl.Routing->Probas;
  const bool relays = needs_relays(p);
  for (int k = 0; k < n; ++k) {
    const LINK_LIST& a = pl.Outputs[k];
    int t = a.Dest;
    double prob = k < static_cast<int>(pr.size()) ? pr[k] : 0.0;
    if (de_t(t)) {
      w("\tPlace_%d->set_succ(", p);
      w("%s, %8.6f,\"%s\",\"%s\");\n", S(place_output_dest(a)), prob, S(data), "<rien>");
      w("\tPlace_%d->set_output_class( CL_%d );\n", p, p);
    } else if (!relays) {
      w("\tPlace_%d->set_succ( The_EQ, %8.6f, \"%s\", \"%s\");\n", p, prob, S(data), "<rien>");
      w("\tPlace_%d->set_output_class( CL_P%d_T%d );\n", p, p, t);
    } else {
      w("\tPlace_%d->set_succ( Dum_P%d_T%d, ", p, p, t);
      w("%8.6f, \"%s\", \"%s\");\n", prob, S(data), "<rien>");
      w("\tDum_P%d_T%d", p, t);
      w("->set_succ( The_EQ, 1.0, \"%s\", \"%s\" );\n", "<rien>", "<rien>");
      w("\tDum_P%d_T%d", p, t);
      w("->set_output_class( CL_P%d_T%d );\n", p, t);
    }
  }
}

void Program_Writer::gen_valtor_outputs_trans(int t) {
  const char* obj = obj_of(t);
  if (!ctx.No_Stats) {
    w("\t%s_%d->report_stat();\n", obj, t);
    return;
  }
  // The object and its query follow the object made for the transition.
  const char* query = real_in(t) == 0 ? "total_population" : "get_nb_service";
  w("\tcout << \"%c_%d[\" << T_Max << \"] =   \";\n", ctx.Is_Source[t] ? 'R' : 'Z', t);
  w("\tcout << ");
  w("%s_%d->", obj, t);
  // The count over the run's length is a throughput, in both programs.
  w("%s() << \"   Throughput:   \";\n", query);
  w("\tcout << %s_%d->%s()/T_Max;\n", obj, t, query);
  w("\tcout << \"  (%s)\" << endl;\n", S(lit(Tr(t).Name)));
}

void Program_Writer::gen_valtor_outputs_place(int p) {
  if (!ctx.No_Stats) {
    w("\tPlace_%d->report_stat();\n", p);
    return;
  }
  w(Prof->Mixed ? "\tcout << \"Z_%d[\" << T_Max << \"] =   \";\n"
                 : "\tcout << \"Y_%d[\" << T_Max << \"] =   \";\n",
    p);
  w("\tcout << Place_%d->get_nb_service();\n", p);
  w("\tcout << \"   Throughput:    \" << ");
  w("Place_%d->get_nb_service()/T_Max;\n", p);
  w("\tcout << \"  (%s)\" << endl;\n", S(lit(Pl(p).Name)));
}

void Program_Writer::the_eq(const char* ctor) {
  w("\t// declaration of the EQuational Object \n");
  w("\tEQ_Thing *The_EQ = new EQ_Thing(%s);\n", ctor);
  w("\tThe_EQ->set_name(\"The_EQ\");\n\n");
  w("\tThe_EQ->set_trace_status( Trace );\n");
}


bool gen_valtor_code(Gen_Context& ctx, const PetriNet& net, FILE* out,
                     const Valtor_Profile& profile) {
  return Program_Writer(ctx, net, out, profile).Write();
}

bool Program_Writer::Write() {
  const PetriNet& net = *Net;
  const Valtor_Profile& profile = *Prof;
  if (ctx.Is_Source.size() != static_cast<size_t>(net.Nb_Trans))
    Init_Generation(ctx, net, 1, ctx.Scale);
  if (ctx.Place_Exists.size() != static_cast<size_t>(net.Nb_Places)) init_place_status(ctx, net);
  if (ctx.Is_Interface_Tr.size() != static_cast<size_t>(net.Nb_Trans))
    ctx.Is_Interface_Tr.assign(net.Nb_Trans, 0);
  if (ctx.Is_Interface_Pl.size() != static_cast<size_t>(net.Nb_Places))
    ctx.Is_Interface_Pl.assign(net.Nb_Places, 0);
  const int nt = net.Nb_Trans, np = net.Nb_Places;

  w("/******************************************/\n");
  w("/* VALTOR code generated by %s\t  */\n", tool());
  w("/* Date: %s\t\t  */\n", S(todays_date()));
  w("/* Model Name: \t\t\t\t  */\n");
  w("/******************************************/\n");
  w("\n");

  if (profile.Mixed) {
    w("#define INFINI 100\n");
    w("#define DUMMY_CLASS 0\n");
  } else {
    w("const int INFINI = 100;\n");
    w("const int DUMMY_CLASS = 0;\n");
  }
  const int top = std::max(nt, np);
  for (int i = 0; i < top; ++i) w("#define CL_%d\t%d\n", i, i + 1);
  if (profile.Mixed) {
    // Numbered as the equational module numbers them: one class per pair.
    int cl = top + 1;
    for (int t = 0; t < nt; ++t) {
      if (!de_t(t)) continue;
      std::vector<int> seen;
      for (const LINK_LIST& a : Tr(t).Outputs) {
        if (!valid_p(a.Dest) || de_p(a.Dest)) continue;
        if (std::find(seen.begin(), seen.end(), a.Dest) != seen.end()) continue;
        seen.push_back(a.Dest);
        w("#define CL_T%d_P%d\t%d\n", t, a.Dest, cl++);
      }
    }
    for (int p = 0; p < np; ++p) {
      if (!de_p(p)) continue;
      std::vector<int> seen;
      for (const LINK_LIST& a : Pl(p).Outputs) {
        if (!valid_t(a.Dest) || de_t(a.Dest)) continue;
        if (std::find(seen.begin(), seen.end(), a.Dest) != seen.end()) continue;
        seen.push_back(a.Dest);
        w("#define CL_P%d_T%d\t%d\n", p, a.Dest, cl++);
      }
    }
  }
  w("\n");

  for (const char* inc : {"<stdio.h>",
                          "<iostream.h>",
                          "<Uniform.h>",
                          "<Geom.h>",
                          "<Binomial.h>",
                          "<NegExp.h>",
                          "<Erlang.h>",
                          "\"Cst.hh\"",
                          "\"OnOff.hh\"",
                          "<MLCG.h>",
                          "<bool.h>",
                          "<fstream.h>",
                          "\"Tamrick_Sink.hh\"",
                          "\"Tamrick_Routing.hh\"",
                          "\"Tamrick_Server_Normal_FIFO.hh\"",
                          "\"Tamrick_Server_Normal_LIFO.hh\"",
                          "\"Tamrick_Server_Normal_PRIORITY.hh\"",
                          "\"Tamrick_Source.hh\"",
                          "\"EQ_Thing.hh\"",  // left out of a whole-net program
                          "\"Kernel.hh\"",
                          "\"Tamrick_Kernel.hh\"",
                          "\"Tamrick_Client.hh\"",
                          "\"Tamrick_FS_Station.hh\"",
                          "\"SM_Rule.hh\""})
    if (profile.Mixed || std::string(inc) != "\"EQ_Thing.hh\"") w("#include %s\n", inc);
  w("\n");

  w("Tamrick_Kernel* pnoyau = new Tamrick_Kernel;\n");
  w("Kernel *noyau = pnoyau;\n");
  w("SM_Rule *Fus_Rule;\n");
  w("SM_Rule *Fis_Rule;\n");
  w("\n");
  if (!profile.Mixed) {
    w("#include \"%s\"\n", S(profile.Routing_Source_File));
    w("template class Routing_Source<Tamrick_Client>;\n");
    w("\n\n");
  } else if (ctx.No_Stats) {
    w("// external declaration from EQ_Module.c\n");
    w("extern void Report_Stat( ostream &Out_File );\n");
    w("\n");
  }
  if (profile.Mixed) w("bool\tTrace;\n\n");

  for (int t = 0; t < nt; ++t)
    if (ctx.Is_Interface_Tr[t])
      w(is_relay(t) ? "Tamrick_Routing *Trans_%d;\n" : "Tamrick_Server_Normal_FIFO *Trans_%d;\n",
        t);
  for (int p = 0; p < np; ++p) {
    if (!ctx.Is_Interface_Pl[p]) continue;
    // The object made for the place decides the pointer's type.
    w(Is_Routing_Place(net, p) ? "Tamrick_Routing *Place_%d;\n"
                               : "Tamrick_Server_Normal_FIFO *Place_%d;\n",
      p);
  }
  // The relays that take the equational part's tokens to a fusion.
  if (profile.Mixed)
    for (int t = 0; t < nt; ++t) {
      if (!de_t(t) || !fusion(t)) continue;
      std::vector<int> seen;
      for (const LINK_LIST& a : Tr(t).Inputs)
        if (eq_relay(a.Dest, t) && std::find(seen.begin(), seen.end(), a.Dest) == seen.end()) {
          seen.push_back(a.Dest);
          w("Tamrick_Routing *Dum_P%d_T%d;\n", a.Dest, t);
        }
    }
  if (profile.Mixed) w("\n");

  double nb = net.Sim_Params ? net.Sim_Params->Nb_Firings : 0;
  w("main(int argc, char *argv[]) {\n\n");
  w("\n");
  w("  int\ti = 1;\n");
  w("  double\tT_Max = %f;\n", nb);
  if (profile.Mixed) {
    w("  int   \tNb_Gen = %d;\t", static_cast<int>(nb));
    w("/* number of customers at the sources */\n");
  }
  w("\n");
  w("  // analysis of command line arguments\n");
  w("  if ( argc > 1 )\n");
  w("    do {\n");
  if (profile.Mixed) {
    w("      if ( !strcmp ( argv[i], \"-trace\" ) ) {\n");
    w("        Trace = TRUE;\n");
    w("        i++;\n");
    w("      }\n");
  }
  // The value is read only when a word follows the option. A whole-net
  // program takes -tmax alone.
  bool first = !profile.Mixed;
  for (const char* opt : {"-tmax", "-nb_gen"}) {
    bool tm = opt[1] == 't';
    if (!tm && !profile.Mixed) continue;
    w("      %sif ( !strcmp ( argv[i], \"%s\" ) ) {\n", first ? "" : "else ", opt);
    first = false;
    w("        i++;\n");
    w("        if ( i >= argc || 0 == sscanf( argv[i], \"%s\", &%s ) ) {\n", tm ? "%lf" : "%d",
      tm ? "T_Max" : "Nb_Gen");
    w("          cout << \"Bad argument for %s\" << endl;\n", opt);
    w("          exit(-1);\n");
    w("        }\n");
    w("        else {\n");
    w("          i++;\n");
    w("        }\n");
    w("      }\n");
  }
  w("      else if ( !strcmp ( argv[i], \"-h\" ) ) {\n");
  if (profile.Mixed) {
    w("        cout << \"Usage: \" << argv[0] << \" [-h] [-trace]\";\n");
    w("        cout << \" [-tmax <real>] [-nb_gen <int>]\\n\";\n");
  } else {
    w("        cout << \"Usage: \" << argv[0] << \" [-h] \";\n");
    w("        cout << \" [-tmax <real>]\\n\";\n");
    // The count is fixed in the text: a longer run starves the sources.
    bool sources = false;
    for (int t = 0; t < nt; ++t) sources = sources || real_in(t) == 0;
    if (sources)
      w("        cout << \"  each source makes %d customers at most: a longer run has no more arrivals\\n\";\n",
        nb_firings());
  }
  w("        exit(0);\n");
  w("      }\n");
  w("      else {\n");
  w("        // ignore unknown option\n");
  w("        i++;\n");
  w("      }\n");
  w("    } while ( i < argc );\n");
  w("\n");
  w("  Cst *Zero = new Cst( 0.0 );\n");
  w("\n");
  if (Has_Sinks(ctx, net)) {
    w("\t// declaration of the sink\n");
    w("\tTamrick_Sink *The_Sink = new Tamrick_Sink(0.0);\n");
    w("\tThe_Sink->set_name(\"The_Sink\");\n");
    w("\n");
  }
  bool eq_made = false;
  w("\t// configuration of transition objects\n");
  for (int t = 0; t < nt; ++t) {
    if (de_t(t)) {
      gen_valtor_trans(t);
    } else if (!eq_made) {
      the_eq("0.0");
      eq_made = true;
    }
  }
  bool any_place = false;
  for (int p = 0; p < np; ++p) any_place = any_place || ctx.Place_Exists[p];
  // In a whole net the tokens of folded places are written in this section
  // too: it must not vanish with the last place object.
  if (!profile.Mixed)
    for (int p = 0; p < np; ++p)
      any_place = any_place || (Pl(p).Init_Pop > 0 && !is_recycling_place(Pl(p)));
  if (any_place) {
    w("\t// configuration of place objects\n");
    for (int p = 0; p < np; ++p) {
      if (de_p(p)) {
        if (ctx.Place_Exists[p])
          gen_valtor_place(p);
        else
          print_initial_pop(p);
      } else if (!eq_made) {
        the_eq("");
        eq_made = true;
      }
    }
    if (!profile.Mixed) w("\n");
  }
  w("\n");
  w("\t// configuration of the routing\n");
  for (int t = 0; t < nt; ++t)
    if (de_t(t)) gen_valtor_trans_routing(t);
  for (int p = 0; p < np; ++p)
    if (de_p(p) && ctx.Place_Exists[p]) gen_valtor_place_routing(p);

  w("\n");
  w("\t// parameters of the simulation\n");
  w("\tpnoyau->set_model_name(\"FooModel\");\n");
  w("\tpnoyau->set_starting_time(0.0);\n");
  w("\tpnoyau->set_ending_time( T_Max );\n");
  w("\tpnoyau->set_debug(false);\n");
  w("\tpnoyau->set_animation(%s);\n", ctx.Kemp ? "true" : "false");
  w("\tpnoyau->set_statistic(%s);\n", ctx.No_Stats ? "false" : "true");
  w("\n");
  if (!ctx.No_Stats) {
    w("\t// computation of statistics\n");
    for (int t = 0; t < nt; ++t)
      if (de_t(t)) w("\t%s_%d->compute_stat();\n", obj_of(t), t);
    for (int p = 0; p < np; ++p)
      if (de_p(p) && ctx.Place_Exists[p]) w("\tPlace_%d->compute_stat();\n", p);
    // Only a net with an equational part has the object.
    if (eq_made) w("\tThe_EQ->compute_stat();\n");
    w("\n");
  }
  w("\t// the simulation itself\n");
  w("\tcout << \"Start of the simulation\" << endl;\n");
  w("\tnoyau->print_registered();\n");
  w("\tnoyau->run();\n");
  w("\tcout << \"End of the simulation\" << endl;\n");
  w("\n");
  w("\t// output of results\n");
  for (int t = 0; t < nt; ++t)
    if (de_t(t)) gen_valtor_outputs_trans(t);
  for (int p = 0; p < np; ++p)
    if (de_p(p) && ctx.Place_Exists[p]) gen_valtor_outputs_place(p);
  if (eq_made) {
    if (ctx.No_Stats)
      w("\tReport_Stat( cout );\n");
    else
      w("\tThe_EQ->report_stat();\n");
  }
  w("\n");
  w("}\n");
  return !Broken;
}

namespace {

class Makefile_Writer : public Text_Writer {
 public:
  using Text_Writer::Text_Writer;
  void Mixed(const std::string& valtor_home, const std::string& Code_File_Name,
             const std::string& EQ_File_Name);
  void Whole(const std::string& lib_dir, const std::string& Code_File_Name);

 private:
  void makefile_head(const std::string& valtor_home);
};

}  // namespace

// The makefile up to the libraries, the same for both kinds of program.
void Makefile_Writer::makefile_head(const std::string& valtor_home) {
  w("include %s/Makefile.head\n", S(valtor_home));
  w("\n");
  w("PROGRAM = sim\n");
  w("ARCH=SUN4\n");
  w("OPTIONS+=-D_SUN4\n");
  w("\n");
  w("CC            = g++\n");
  w("LINKER        = $(CC)\n");
  w(" \n");
  w("CFLAGS =\n");
  w("CFLAGS += -I$(RUNTIME_SEQUENTIAL_INCLUDE_DIR)\n");
  w("CFLAGS += -I$(QUEUEING_SEQUENTIAL_INCLUDE_DIR)\n");
  w("CFLAGS += -I$(EXAMPLES_SEQUENTIAL_INCLUDE_DIR) \n");
  w("CFLAGS += -I$(THREAD_INCLUDE_DIR)/$(ARCH) \n");
  w("CFLAGS += -I$(STAT_TOOL_LOCAL_CPP_INCLUDE_DIR)\n");
  w("CFLAGS += -I$(STAT_TOOL_LOCAL_C_INCLUDE_DIR)  \n");
  w("\n");
  w("EXTLIBS       =\n");
  w("EXTLIBS       += -l$(EXAMPLES_SEQUENTIAL_LIBRARY)\n");
  w("EXTLIBS       += -l$(QUEUEING_SEQUENTIAL_LIBRARY)\n");
  w("EXTLIBS       += -l$(RUNTIME_SEQUENTIAL_LIBRARY)\n");
  w("EXTLIBS       += -l$(THREAD_LIBRARY) \n");
  w("EXTLIBS       += -l$(STAT_TOOL_LOCAL_CPP_LIBRARY)\n");
  w("EXTLIBS       += -l$(KEMP_LIBRARY)\n");
  w("\n");
  w("EXTLIBS       += -l$(TRACE_TOOL_KER_LIBRARY)\n");
  w("EXTLIBS       += -l$(TRACE_TOOL_STD_LIBRARY) \n");
  w("\n");
  w("EXTLIBS       +=  -L$(TRACE_TOOL_LIB_DIR)/$(ARCH)\n");
  w("EXTLIBS       += -L$(LIB_DIR)/$(ARCH)\n");
  w("EXTLIBS       += -L$(STAT_TOOL_LIB_DIR)/$(ARCH)\n");
  w("EXTLIBS       += -L$(KEMP_LIB_DIR)/$(ARCH)\n");
  w("\n");
  w("LIBS          = -lm -lg++\n");
}

void gen_valtor_makefile(FILE* out, const std::string& valtor_home,
                         const std::string& Code_File_Name, const std::string& EQ_File_Name) {
  Makefile_Writer(out).Mixed(valtor_home, Code_File_Name, EQ_File_Name);
}

void Makefile_Writer::Mixed(const std::string& valtor_home, const std::string& Code_File_Name,
                            const std::string& EQ_File_Name) {
  makefile_head(valtor_home);
  w("\n");
  w("MAIN          = main.o\n");
  w("EQ            = EQ_Module.o\n");
  w("\n");
  w("EXL = \n");
  w("\n");
  w("\n");
  w("$(PROGRAM):   $(MAIN) $(EQ) $(EXL)\n");
  w("\t$(LINKER) -o $(PROGRAM) $(MAIN) $(EQ)");
  w(" $(LDFLAGS) $(EXL) $(LIBS) $(EXTLIBS)\n");
  w("\n");
  w("main.o:             %s \n", S(Code_File_Name));
  w("\t$(CC) $(OPTIONS) $(CFLAGS) -c %s -o main.o\n", S(Code_File_Name));
  w("\n");
  w("EQ_Module.o:        %s \n", S(EQ_File_Name));
  w("\t$(CC) $(OPTIONS) $(CFLAGS) -c %s -o EQ_Module.o\n", S(EQ_File_Name));
  w("\n");
  w("clean:\n");
  w("\t/bin/rm  -f $(EXL) $(MAIN) $(EQ)\n");
  w("\n");
}

void gen_valtor_whole_makefile(FILE* out, const std::string& lib_dir,
                               const std::string& Code_File_Name) {
  Makefile_Writer(out).Whole(lib_dir, Code_File_Name);
}

void Makefile_Writer::Whole(const std::string& lib_dir, const std::string& Code_File_Name) {
  makefile_head(lib_dir);
  w("MAIN  = main.o\n");
  w("\n");
  w("EXL = \n");
  w("\n");
  w("\n");
  w("$(PROGRAM):   $(MAIN)  $(EXL)\n");
  w("\t$(LINKER) -o $(PROGRAM) $(MAIN) $(LDFLAGS) $(EXL) $(LIBS) $(EXTLIBS)\n");
  w("\n");
  w("main.o:             %s \n", S(Code_File_Name));
  w("\t$(CC) $(OPTIONS) $(CFLAGS) -c %s -o main.o\n", S(Code_File_Name));
  w("\n");
  w("clean:\n");
  w("\t/bin/rm  -f $(EXL)  $(MAIN)\n");
  w("\n");
}

void gen_kemp_code(Gen_Context& ctx, const PetriNet& net, FILE* out,
                   const Valtor_Profile& profile) {
  Program_Writer(ctx, net, out, profile).Kemp_Code();
}

void Program_Writer::Kemp_Code() {
  const PetriNet& net = *Net;
  const Valtor_Profile& profile = *Prof;
  for (int t = 0; t < net.Nb_Trans; ++t)
    // A whole net plots every transition with a real input.
    if (de_t(t) && t < static_cast<int>(ctx.Is_Source.size()) &&
        (profile.Mixed ? !ctx.Is_Source[t] : ctx.Real_Indegree[t] != 0)) {
      w("plotAxeLine(%s__Nombre_de_clients__temps,", S(net.T[t].Name));
      w("%s__Nombre_de_clients);\n", S(net.T[t].Name));
    }
  for (int p = 0; p < net.Nb_Places; ++p)
    if (de_p(p) && p < static_cast<int>(ctx.Place_Exists.size()) && ctx.Place_Exists[p]) {
      w("plotAxeLine(%s__Nombre_de_clients__temps,", S(net.P[p].Name));
      w("%s__Nombre_de_clients);\n", S(net.P[p].Name));
    }
}

}  // namespace orv::gen
