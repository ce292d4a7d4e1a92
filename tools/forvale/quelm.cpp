#include "quelm.h"

#include <cmath>
#include <algorithm>
#include <cstdio>

#include "common/value_list.h"
#include "eventgraph/egl_reader.h"

namespace forvale {

namespace {

using orv::LAW_DESC;
using orv::PLACE_DESC;
using orv::TRANS_DESC;

size_t ix(int i) { return static_cast<size_t>(i); }

double par(const LAW_DESC& l, size_t k) { return k < l.Parameters.size() ? l.Parameters[k] : 0.0; }

bool is_ipp(const LAW_DESC* l) { return l != nullptr && l->Name == 'P'; }

struct On_Off {
  double p, m1, m2;
};

// The on-off source as a two-branch hyperexponential: the probability of the
// first branch and the two means.
On_Off on_off(const LAW_DESC& l) {
  const double a = 1.0 / par(l, 1), b = 1.0 / par(l, 2);
  const double e = (a / b + 1.0) / par(l, 0);
  const double r = std::sqrt(a * a + 2.0 * a * (b + e) + (b - e) * (b - e));
  const double s = a + b + e;
  const double g = -(s - r) / 2.0, h = -(s + r) / 2.0;
  return {(-e - g) / (h - g), -1.0 / h, -1.0 / g};
}

}  // namespace

void Quelm_Writer::init_place_status() {
  Place_Exists.assign(Reseau.P.size(), 1);
  if (!Optimize) return;
  for (const auto& p : Reseau.P) {
    const LAW_DESC* l = p->Place_Law.get();
    if (l == nullptr || l->Name != 'C' || par(*l, 0) != 0.0) continue;
    Place_Exists[ix(p->Place_Id)] = 0;
    if (orv::eg::Debug)
      std::fprintf(stderr, "Pl %d=(%d,%d) removed\n", p->Place_Id, p->Input_Id, p->Trans_Id);
  }
}

bool Quelm_Writer::law_ok(const LAW_DESC* l) const {
  if (l == nullptr) {
    std::fprintf(stderr, "%s: error: unknown timing law (%c)\n", Prog, '?');
    return false;
  }
  switch (l->Name) {
    case 'B': case 'C': case 'E': case 'G': case 'g': case 'H': case 'R': case 'U':
      return true;
    case 'O': {
      // A zero parameter makes the branches infinite: no model to write.
      const On_Off o = on_off(*l);
      if (std::isfinite(o.p) && std::isfinite(o.m1) && std::isfinite(o.m2)) return true;
      std::fprintf(stderr, "%s: error: can't handle timing law (%c)\n", Prog, l->Name);
      return false;
    }
    case 'P':
      if (l->Law_Parameters.size() < 2 || !l->Law_Parameters[0] || !l->Law_Parameters[1]) {
        std::fprintf(stderr, "%s: error: can't handle timing law (%c)\n", Prog, l->Name);
        return false;
      }
      return law_ok(l->Law_Parameters[0].get()) && law_ok(l->Law_Parameters[1].get());
    case 'D':
      std::fprintf(stderr, "%s: error: can't handle timing law (%c)\n", Prog, l->Name);
      return false;
    default:
      std::fprintf(stderr, "%s: error: unknown timing law (%c)\n", Prog, l->Name);
      return false;
  }
}

bool Quelm_Writer::check_laws() {
  bool ok = true;
  for (const auto& t : Reseau.T) {
    if (!t) continue;
    if (!law_ok(t->Trans_Law.get())) ok = false;
    for (const PLACE_DESC* p : t->Outputs)
      if (Place_Exists[ix(p->Place_Id)] && !law_ok(p->Place_Law.get())) ok = false;
  }
  return ok;
}

int Quelm_Writer::In_Link_Number(int index, int number) const {
  const TRANS_DESC& t = *Reseau.T[ix(index)];
  if (Input_Position.empty()) {
    Input_Position.assign(Reseau.P.size(), -1);
    for (const auto& tr : Reseau.T) {
      if (!tr) continue;
      int pos = 0;
      for (const PLACE_DESC* p : tr->Inputs) {
        if (p->Place_Id >= 0 && ix(p->Place_Id) < Input_Position.size() && Input_Position[ix(p->Place_Id)] < 0)
          Input_Position[ix(p->Place_Id)] = pos;
        ++pos;
      }
    }
  }
  if (number >= 0 && ix(number) < Input_Position.size()) {
    const int pos = Input_Position[ix(number)];
    if (pos >= 0 && ix(pos) < t.Inputs.size() && t.Inputs[ix(pos)]->Place_Id == number) return pos;
  }
  int k = 0;
  for (const PLACE_DESC* p : t.Inputs) {
    if (p->Place_Id == number) return k;
    ++k;
  }
  std::fprintf(stderr, "%s: warning: inconsistency in pred structure:", Prog);
  std::fprintf(stderr, "no place number %d output of Tr %d\n", number, index);
  return k;
}

void Quelm_Writer::fprint_dest(const PLACE_DESC& place) const {
  if (Place_Exists[ix(place.Place_Id)]) std::printf("        PL_%d,", place.Place_Id);
  else std::printf("        TR_%d,", place.Trans_Id - 1);
}

void Quelm_Writer::fprint_QUELM_law(const LAW_DESC* l, int n) const {
  if (l == nullptr) return;
  switch (l->Name) {
    case 'B':
      std::printf("IF RANDU > %8.6f THEN CST(0.0) ELSE CST(1.0);\n", par(*l, 0));
      break;
    case 'C':
      std::printf("CST( %8.4f );\n", par(*l, 0));
      break;
    case 'E':
      std::printf("EXP( %8.4f );\n", par(*l, 0));
      break;
    case 'G':
      std::printf("CST( 1.0 + FIX( EXP( -1/LOG(%8.4f) ) ) );\n", par(*l, 0));
      break;
    case 'g':
      std::printf("CST( FIX( EXP( -1/LOG(%8.4f) ) ) );\n", par(*l, 0));
      break;
    case 'H':
      std::printf("HEXP( %8.4f, %8.4f );\n", par(*l, 0), par(*l, 1));
      break;
    case 'R':
      std::printf("ERLANG( %8.4f, %4.0f );\n", par(*l, 1), par(*l, 0));
      break;
    case 'U':
      std::printf("UNIFORM( %8.4f, %8.4f );\n", par(*l, 0), par(*l, 1));
      break;
    case 'O': {
      const On_Off o = on_off(*l);
      std::printf("IF RANDU < %8.6f THEN EXP( %8.4f ) ELSE EXP( %8.4f );\n", o.p, o.m1, o.m2);
      break;
    }
    case 'P':
      if (l->Law_Parameters.size() < 2) break;
      std::printf("BEGIN\n");
      std::printf("        TR_%d.NextArr := EXP( %8.4f );\n", n, par(*l, 0));
      std::printf("        WHILE ( TR_%d.NextArr > TR_%d.NextChg )\n", n, n);
      std::printf("        DO BEGIN\n");
      std::printf("            TR_%d.NextArr := TR_%d.NextArr - TR_%d.NextChg;\n", n, n, n);
      std::printf("            CST( TR_%d.NextChg );\n", n);
      std::printf("            ");
      fprint_QUELM_law(l->Law_Parameters[1].get(), n);
      std::printf("            TR_%d.NextChg := ", n);
      fprint_QUELM_law(l->Law_Parameters[0].get(), n);
      std::printf("        END;\n");
      std::printf("        CST( TR_%d.NextArr );\n", n);
      std::printf("        TR_%d.NextChg := TR_%d.NextChg - TR_%d.NextArr;\n", n, n, n);
      std::printf("    END;\n");
      break;
    default:
      break;  // refused by check_laws before anything is written
  }
}

int Quelm_Writer::last_kept_place() const {
  for (int k = static_cast<int>(Reseau.P.size()) - 1; k >= 0; --k)
    if (Place_Exists[ix(k)]) return k;
  return -1;
}

void Quelm_Writer::dump_quelm_code(long long Sim_Length) {
  const orv::EventGraph& g = Reseau;
  const int n = g.Size;
  auto law_of = [&](int i) { return g.T[ix(i)]->Trans_Law.get(); };

  std::printf("& Quelm2 code generated by %s\n", "forvale");
  std::printf("& Date: %s\n", orv::todays_date().c_str());
  std::printf("/DECLARE/\n");
  bool any_ipp = false;
  for (int i = 0; i < n; ++i) any_ipp = any_ipp || is_ipp(law_of(i));
  if (any_ipp) {
    std::printf("    QUEUE OBJECT OnOffSrc;\n");
    std::printf("      REAL NextArr;\n");
    std::printf("      REAL NextChg;\n");
    std::printf("    END;\n");
  }

  // Transitions: the on-off sources are declared apart; the comma follows
  // every queue name but the last one written.
  std::printf("&   transitions\n");
  int last_queue = -1;
  for (int i = 0; i < n; ++i)
    if (!is_ipp(law_of(i))) last_queue = i;
  if (last_queue >= 0) {
    std::printf("    QUEUE");
    for (int i = 0; i <= n - 2; ++i) {
      if (is_ipp(law_of(i))) continue;
      std::printf(" TR_%d", i);
      if (i != last_queue) std::printf(",");
      if ((i + 1) % 10 == 0) std::printf("\n         ");
    }
    if (!is_ipp(law_of(n - 1))) std::printf(" TR_%d;\n", n - 1);
    else std::printf(";\n");
  }
  for (int i = 0; i < n; ++i)
    if (is_ipp(law_of(i))) std::printf("    OnOffSrc TR_%d;\n", i);

  const int last_place = last_kept_place();
  if (last_place >= 0) {
    std::printf("&   places\n");
    std::printf("    QUEUE");
    int written = 0;
    for (int k = 0; k < last_place; ++k) {
      if (Place_Exists[ix(k)]) {
        std::printf(" PL_%d,", k);
        ++written;
      }
      if ((written + 1) % 10 == 0) std::printf("\n         ");
    }
    std::printf(" PL_%d;\n", last_place);
  }

  int classes = 0;
  for (int i = 0; i < n; ++i) classes = std::max(classes, g.T[ix(i)]->Indegree);
  std::printf("&   classes\n");
  // Without any input place there is no class to declare.
  if (classes > 0) {
    std::printf("    CLASS");
    for (int k = 0; k <= classes - 2; ++k) {
      std::printf(" CL_%d,", k);
      if ((k + 1) % 10 == 0) std::printf("\n         ");
    }
    std::printf(" CL_%d;\n", classes - 1);
  }
  std::printf("\n");

  std::printf("&   other variables\n");
  std::printf("    REAL Tps_Cpu;\n");
  std::printf("    INTEGER Nb_Evts;\n");
  std::printf("\n");
  std::printf("/CONTROL/\n");
  std::printf("    OPTION = NSOURCE;\n");
  std::printf("    TMAX = %lld;\n", Sim_Length * 1000);
  std::printf("\n");

  for (int i = 0; i < n; ++i) {
    const TRANS_DESC& t = *g.T[ix(i)];
    std::printf("/STATION/\n");
    std::printf("    NAME = TR_%d;\n", i);
    if (t.Indegree == 0) {
      std::printf("    TYPE = SOURCE;\n");
    } else if (t.Indegree >= 2) {
      std::printf("    FUSION = (\n");
      for (int k = 0; k <= t.Indegree - 2; ++k) std::printf("        CL_%d, 1,\n", k);
      std::printf("        CL_%d, 1 ) CL_0;\n", t.Indegree - 1);
    }
    std::printf("    SERVICE = ");
    if (i == 0) {
      std::printf("BEGIN\n");
      std::printf("      IF SERVNB( TR_0 ) = %lld THEN STOP;\n", Sim_Length);
      std::printf("      ");
      fprint_QUELM_law(t.Trans_Law.get(), i);
      std::printf("    END;\n");
    } else {
      fprint_QUELM_law(t.Trans_Law.get(), i);
    }
    auto klass = [&](const PLACE_DESC& p) { return In_Link_Number(p.Trans_Id - 1, p.Place_Id); };
    if (t.Outputs.empty()) {
      std::printf("    TRANSIT = OUT;\n");
    } else if (t.Outputs.size() == 1) {
      std::printf("    TRANSIT = ");
      fprint_dest(*t.Outputs[0]);
      std::printf(" CL_%d;\n", klass(*t.Outputs[0]));
    } else {
      std::printf("    FISSION = (\n");
      for (size_t k = 0; k < t.Outputs.size(); ++k) {
        fprint_dest(*t.Outputs[k]);
        std::printf(k + 1 < t.Outputs.size() ? " CL_%d, 1,\n" : " CL_%d, 1 );\n",
                    klass(*t.Outputs[k]));
      }
    }
    std::printf("\n");
  }

  for (int i = 0; i < n; ++i) {
    for (const PLACE_DESC* p : g.T[ix(i)]->Outputs) {
      const int k = In_Link_Number(p->Trans_Id - 1, p->Place_Id);
      auto init_mark = [&] {
        if (p->Init_Pop > 0) std::printf("    INIT(CL_%d) = %d;\n", k, p->Init_Pop);
      };
      if (Place_Exists[ix(p->Place_Id)]) {
        std::printf("/STATION/\n");
        std::printf("    NAME = PL_%d;\n", p->Place_Id);
        std::printf("    TYPE = SERVER, INFINITE;\n");
        std::printf("    SERVICE = ");
        fprint_QUELM_law(p->Place_Law.get(), 0);
        init_mark();
        std::printf("    TRANSIT = TR_%d;\n", p->Trans_Id - 1);
        std::printf("\n");
      } else if (p->Init_Pop > 0) {
        std::printf("/STATION/\n");
        std::printf("    NAME = TR_%d;\n", p->Trans_Id - 1);
        init_mark();
        std::printf("\n");
      }
    }
  }

  std::printf("/EXEC/\n");
  std::printf("    BEGIN\n");
  std::printf("        Tps_Cpu := GETCPUT;\n");
  std::printf("        Nb_Evts := 0;\n");
  std::printf("        SIMUL;\n");
  for (int i = 0; i < n; ++i) {
    std::printf("        WRITELN(\"Cycle time of transition %d:\",", i);
    std::printf("TIME/SERVNB(TR_%d) );\n", i);
    std::printf("        Nb_Evts := Nb_Evts + SERVNB(TR_%d);\n", i);
  }
  std::printf("        Tps_Cpu := GETCPUT;\n");
  std::printf("        WRITE(\"Total Execution Time: \", Tps_Cpu );\n");
  std::printf("        WRITELN(\"      (\", Nb_Evts / Tps_Cpu, \"evt/sec)\");\n");
  std::printf("    END;\n");
  std::printf("/END/\n");
}

}  // namespace forvale
