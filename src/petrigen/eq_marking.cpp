// The equational module: the marking functions.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <vector>

#include "common/address_write.h"
#include "common/args.h"
#include "common/value_list.h"
#include "petri/analysis.h"
#include "petri/pnl_reader.h"
#include "petrigen/eq_writer.h"
#include "petrigen/gen_tables.h"

namespace orv::gen {

// The count of u read d ticks back, as the marking functions write it.
std::string Module_Writer::marking_count(int u, int d, int Initial) {
  char buf[256];
  const char* pre = S(ctx.Prefix);
  const char* when = Initial ? "The_" : "EQ_";
  // A source that is an input of the class counts, once connected, the
  // tokens reaching the input, in its row of Y.
  const bool wrap = Class_Mode && ctx.Is_Source[u] && Is_Input_Number(*Net, 'T', u) != -1;
  auto wrapped = [&](const char* r_term) {
    std::string t = r_term;
    if (!wrap) return t;
    char alt[256];
    if (d == 0)
      std::snprintf(alt, sizeof alt, ": Y[ %sTime ][%d] ) ", when, u);
    else if (Initial)
      std::snprintf(alt, sizeof alt, ": Y[ (The_Time-%d+%sBUF_SIZE) %% %sBUF_SIZE][%d] ) ", d, pre,
                    pre, u);
    else
      std::snprintf(alt, sizeof alt, ": Y[EQ_Time_M_%d][%d] ) ", d, u);
    return "( !Is_Input_Trans[" + std::to_string(u) + "] ? " + t + alt;
  };
  std::string r;
  if (d == 0) {
    if (ctx.Is_Source[u])
      std::snprintf(buf, sizeof buf, "R_%d[ %sTime ]", u, when);
    else if (!Initial && ctx.Y_Static)
      std::snprintf(buf, sizeof buf, "Y_0[%d]", u);
    else
      std::snprintf(buf, sizeof buf, "Y[ %sTime ][%d]", when, u);
    r = wrapped(buf);
  } else if (Initial) {
    std::snprintf(buf, sizeof buf, "( The_Time >= %d ? ", d);
    r = buf;
    if (ctx.Is_Source[u]) {
      std::snprintf(buf, sizeof buf, "R_%d[ ( The_Time - %d + %sBUF_SIZE ) %% %sBUF_SIZE ]", u, d,
                    pre, pre);
    } else {
      std::snprintf(buf, sizeof buf, "Y[ ( The_Time - %d + %sBUF_SIZE ) %% %sBUF_SIZE ][%d]", d,
                    pre, pre, u);
    }
    r += wrapped(buf);
    r += " : 0 )";
  } else {
    if (ctx.Is_Source[u])
      std::snprintf(buf, sizeof buf, "R_%d[ EQ_Time_M_%d ]", u, d);
    else if (ctx.Y_Static)
      std::snprintf(buf, sizeof buf, "Y_Time_M_%d[%d]", d, u);
    else
      std::snprintf(buf, sizeof buf, "Y[ EQ_Time_M_%d ][%d]", d, u);
    r = wrapped(buf);
  }
  return r;
}

void Module_Writer::Gen_Marking_Computation(int p, int Initial) {
  const PL_DES& pl = Pl(p);
  if (Initial && !Single_Marking)
    w("  Res = Avail[%d][ The_Time ];\n", p);
  else if (!Initial && (!Single_Marking || pl.Init_Pop > 0))
    w("  Res = %d;\n", pl.Init_Pop);
  for (const LINK_LIST& a : pl.Inputs) {
    if (!valid_t(a.Dest)) continue;
    w("  Res += %s", S(marking_count(a.Dest, Arc_Delay(ctx, *Net, a.Dest, p), Initial)));
    if (a.Weight > 1) w(" * %d", a.Weight);
    w(";\n");
  }
  for (const LINK_LIST& a : pl.Outputs) {
    if (!valid_t(a.Dest)) continue;
    if (!Initial && ctx.Y_Static)
      w("  Res -= Y_0[%d]", a.Dest);
    else
      w("  Res -= Y[ %sTime ][%d]", Initial ? "The_" : "EQ_", a.Dest);
    if (a.Weight >= 2)
      w(" * %d;\n", a.Weight);
    else
      w(";\n");
  }
}

void Module_Writer::Gen_Marking_Function(int p, int Initial) {
  w("%s%sMarking_%d( %s )\n{\n  register int Res;\n\n", S(head("int")), Initial ? "I_" : "", p,
    Initial ? "int The_Time" : "");
  Gen_Marking_Computation(p, Initial);
  w("  return Res;\n}\n\n");
}

void Module_Writer::Gen_Single_Marking_Function(int Initial) {
  if (Class_Mode)
    w("// Function to compute the marking of places\n");
  else
    w("/* Function to compute the marking of places */\n");
  w("%s%sMarking( int Place_Id%s )\n", S(head("int")), Initial ? "I_" : "",
    Initial ? ", int The_Time" : "");
  w("{\n");
  w("  register int Res;\n\n");
  w(Initial ? "  Res = Avail[ Place_Id ][ The_Time ];\n" : "  Res = 0;\n");
  w("\n  switch( Place_Id ) {\n\n");
  for (int p = 0; p < Net->Nb_Places; ++p) {
    if (!eq_p(p) || !ctx.Is_Compet_Pl[p]) continue;
    w("  case %d: /* place %s */\n", p, S(c_comment(Pl(p).Name)));
    Gen_Marking_Computation(p, Initial);
    w("  break;\n\n");
  }
  w("  } /* end of switch */\n\n");
  w("  return Res;\n");
  w("}\n\n");
}

void Module_Writer::Gen_Marking_Code() {
  bool any = false;
  for (int p = 0; p < Net->Nb_Places; ++p) any = any || (eq_p(p) && ctx.Is_Compet_Pl[p]);
  if (!any) return;
  if (Single_Marking) {
    Gen_Single_Marking_Function(1);
    Gen_Single_Marking_Function(0);
    return;
  }
  for (int p = 0; p < Net->Nb_Places; ++p) {
    if (!eq_p(p) || !ctx.Is_Compet_Pl[p]) continue;
    if (Class_Mode)
      w("// Function to compute the marking of place %d (%s)\n", p, S(Pl(p).Name));
    else
      w("/* Function to compute the marking of place %d (%s) */\n", p, S(c_comment(Pl(p).Name)));
    Gen_Marking_Function(p, 1);
    Gen_Marking_Function(p, 0);
  }
  w("\n");
}

void Module_Writer::Gen_EQ_Declarations() {
  Gen_EQ_Defines();
  Gen_EQ_Variables();
  Gen_Marking_Code();
  // Before the source procedure, which draws from it.
  Gen_Random_Generator();
  Gen_Source_Code();
}

}  // namespace orv::gen
