#include "petrigen/emitter.h"

#include <cmath>
#include <cstdarg>

namespace orv::gen {

using pn::LINK_LIST;

void Text_Writer::w(const char* fmt, ...) const {
  va_list ap;
  va_start(ap, fmt);
  std::vfprintf(Out, fmt, ap);
  va_end(ap);
}

std::vector<int> Recursion_Writer::delays() const {
  std::vector<int> d;
  for (int i = 1; i <= Max_Read && i < static_cast<int>(ctx.Delay_Table.size()); ++i)
    if (ctx.Delay_Table[i]) d.push_back(i);
  return d;
}

int Recursion_Writer::available(const pn::PL_DES& pl, int d) const {
  int n = 0;
  for (double lag : pl.Lag_Times)
    if (std::rint(lag * ctx.Scale) <= d) ++n;
  return n;
}

void Recursion_Writer::Write_Token_Total(int p, int Initial) const {
  const char* I = Style.Indent;
  const char* T = Style.Time;
  if (ctx.Already_Visited[p]) {
    w("%sNb_Tokens = Count_%d;\n", I, p);
    return;
  }
  if (Style.Token_Headings) {
    if (Class_Mode)
      w("  // Computing number of tokens arrived in place %d (%s)\n", p, S(Pl(p).Name));
    else
      w("  /* Computing number of tokens arrived in place %d (%s) */\n", p,
        S(c_comment(Pl(p).Name)));
  }
  if (Initial)
    w("%sNb_Tokens = Avail[%d][%s];\n", I, p, T);
  else
    w("%sNb_Tokens = %d;\n", I, Pl(p).Init_Pop);
  if (Class_Mode && Is_Input_Number(*Net, 'P', p) != -1) {
    w("  if ( Is_Input_Place[%d] )\n", p);
    // The place's own counter, made when it was first connected.
    w("    Nb_Tokens += Ext_Y[ Orig_Table[%d][0] ][ EQ_Time ];\n", Is_Input_Number(*Net, 'P', p));
  }
  for (const LINK_LIST& a : Pl(p).Inputs) {
    int u = a.Dest;
    if (!valid_t(u)) continue;
    int d = Arc_Delay(ctx, *Net, u, p);
    const bool source = ctx.Is_Source[u] != 0;
    bool wrap = Class_Mode && source && Is_Input_Number(*Net, 'T', u) != -1;
    w("%sNb_Tokens += ", I);
    if (Initial) {
      w("( %s >= %d ? ", T, d);
      if (source) {
        if (wrap) w("( !Is_Input_Trans[%d] ? ", u);
        w("R_%d[%s-%d] ", u, T, d);
        if (wrap) w(": Y[%s-%d][%d] ) ", T, d, u);
      } else {
        w("Y[%s-%d][%d] ", T, d, u);
      }
      if (a.Weight > 1) w("* %d", a.Weight);
      w(" : 0 );\n");
      continue;
    }
    if (wrap) w("( !Is_Input_Trans[%d] ? ", u);
    if (d > 0) {
      if (source)
        w("R_%d[ %s_M_%d ]", u, T, d);
      else if (ctx.Y_Static)
        w("Y_Time_M_%d[%d]", d, u);
      else
        w("Y[ %s_M_%d ][%d]", T, d, u);
      if (wrap) w(": Y[%s_M_%d][%d] ) ", T, d, u);
    } else {
      if (source)
        w("R_%d[ %s ]", u, T);
      else if (ctx.Y_Static)
        w("Y_0[%d]", u);
      else
        w("Y[ %s ][%d]", T, u);
      if (wrap) w(": Y[ %s ][%d] ) ", T, u);
    }
    if (a.Weight > 1) w(" * %d", a.Weight);
    w(";\n");
  }
}

bool Recursion_Writer::Write_Counted_Routing(int p, char type) const {
  const char* I = Style.Indent;
  const char* H = Style.H_Row;
  switch (type) {
    case 0:
      w("%sCount_%d = Nb_Tokens;\n", I, p);
      break;
    case 'D':
      w("%sfor( ; Count_%d < Nb_Tokens; Count_%d++ ) {\n", I, p, p);
      w("%s  H_%d%s[ Cycle_%d[ P_Phase_%d ] ]++;\n", I, p, H, p, p);
      w("%s  P_Phase_%d++;\n", I, p);
      w("%s  P_Phase_%d = ( P_Phase_%d %% %d );\n", I, p, p, Pl(p).Routing->Period);
      w("%s}\n", I);
      break;
    case 'R':
      w("%sfor( ; Count_%d < Nb_Tokens; Count_%d++ ) {\n", I, p, p);
      w("%s  U = %s;\n", I, Style.Draw);
      w("%s  for( j=0; U > P_Proba_%d[j]; j++ );\n", I, p);
      w("%s  H_%d%s[ j ]++;\n", I, p, H);
      w("%s}\n", I);
      break;
    default:
      return false;
  }
  ctx.Already_Visited[p] = 1;
  return true;
}

void Recursion_Writer::Write_Token_Reduction(const LINK_LIST& a) const {
  // At the margin in both texts.
  if (a.Weight > 1) w("Nb_Tokens /= %d;\n", a.Weight);
}

void Recursion_Writer::Write_Priority_Share(int p, int t, int weight, int Initial) {
  const char* I = Style.Indent;
  w("%s/* Compute enabling degree of transition ", I);
  w("%d */\n", t);
  bool first = true;
  for (const LINK_LIST& a : Tr(t).Inputs) {
    if (!valid_p(a.Dest)) continue;
    w(first ? "%sE_Degree = ( " : "%sE_Degree = MIN( E_Degree, ", I);
    Write_Partial_Enabling(a.Dest, t, a.Weight, Initial);
    w(" );\n");
    first = false;
  }
  w("%sif ( E_Degree > 0 ) {\n", I);
  w("%s  H_%d%s[ %sNB_P%d_TO_T%d ] += E_Degree", I, p, Style.H_Row, S(ctx.Prefix), p, t);
  if (weight > 1) w(" * %d", weight);
  w(";\n");
  w("%s  Count_%d += E_Degree", I, p);
  if (weight > 1) w(" * %d", weight);
  w(";\n");
  w("%s}\n", I);
}

void Recursion_Writer::Write_Source_Draw() const {
  const char* I = Style.Indent;
  const char* T = Style.Time;
  const char* pre = S(ctx.Prefix);
  w("%s/* Draw source arrivals when necessary */\n", I);
  w("%sif ( %s %% %sHALF_BUF_SIZE == 0 ) {\n", I, T, pre);
  w("%s  if ( %s == 0 )\n", I, T);
  w("%s    Re_Init_Sources( 0, %sHALF_BUF_SIZE );\n", I, pre);
  w("%s  else\n", I);
  w("%s    Re_Init_Sources( %sHALF_BUF_SIZE, %sBUF_SIZE );\n", I, pre, pre);
  w("%s}\n", I);
  w("\n");
}

void Recursion_Writer::Write_Count_Copies(int Initial) const {
  const char* I = Style.Indent;
  const char* T = Style.Time;
  w("%s/* Copy present firing count for everybody  */\n", I);
  for (int t = 0; t < Net->Nb_Trans; ++t) {
    if (Tr(t).Tag != 0 || ctx.Is_Source[t]) continue;
    if (Initial)
      w("%sY[%s][%d] = ( %s>0 ? Y[%s-1][%d] : 0 );\n", I, T, t, T, T, t);
    else if (ctx.Y_Static)
      w("%sY_0[%d] = Y_Time_M_1[%d];\n", I, t, t);
    else
      w("%sY[ %s ][%d] = Y[ %s_M_1 ][%d];\n", I, T, t, T, t);
  }
}

void Recursion_Writer::Write_Transition_Tables(const char* pre) const {
  const int nt = Net->Nb_Trans;
  w("/* table of firing times\t\t\t\t\t*/\n");
  w("int\t\t\tFire_Time[%sNB_TRANS] = {\n", pre);
  for (int t = 0; t < nt; ++t) w(t + 1 < nt ? "\t%2d,\n" : "\t%2d", ctx.Fire_Time[t]);
  w("\n};\n\n");
  w("/* table of source flags\t\t\t\t\t*/\n");
  w("int\t\t\tIs_Source[%sNB_TRANS] = {\n", pre);
  for (int t = 0; t < nt; ++t)
    w(t + 1 < nt ? "\t%s,\n" : "\t%s\n", ctx.Is_Source[t] ? "TRUE" : "FALSE");
  w("};\n\n");
  w("/* table of transition names\t\t\t\t\t*/\n");
  w("char\t\t\t*Trans_Name[%sNB_TRANS] = {\n", pre);
  for (int t = 0; t < nt; ++t) {
    if (!Tr(t).Name.empty())
      w("\t\"%s\",\n", S(c_lit(Tr(t).Name)));
    else
      w(t + 1 < nt ? "\t\"\",\n" : "\t\"\"\n");
  }
  w("\n};\n\n");
}

void Recursion_Writer::Write_Slot_Steps() const {
  const char* I = Style.Indent;
  const char* T = Style.Time;
  const char* pre = S(ctx.Prefix);
  const std::vector<int> ds = delays();
  for (int d : ds)
    w("%s%s_M_%d = ( %s + %d ) %% %sBUF_SIZE;\n", I, T, d, T, ctx.Buf_Size - d, pre);
  if (ctx.Y_Static) {
    w("%sY_0 = Y[ %s ];\n", I, T);
    for (int d : ds) w("%sY_Time_M_%d = Y[ %s_M_%d ];\n", I, d, T, d);
    w("\n");
  }
}

}  // namespace orv::gen
