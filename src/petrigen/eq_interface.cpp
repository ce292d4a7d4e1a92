// The equational module: where it meets the discrete-event program.
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

void Module_Writer::interface_heading() {
  if (Class_Mode) {
    w("//============================================================\n");
    w("// Procedure for incrementing the firing count vector\n");
    w("// due to arrivals from the Valtor part of the network\n");
    w("//============================================================\n");
  } else {
    w("/* Procedure for incrementing the firing count vector\t*/\n");
    w("/* due to arrivals from the Valtor part of the network\t*/\n");
  }
}

void Module_Writer::Gen_Arrival_Code() {
  interface_heading();
  w("\n%sArrival( int The_Class, double VALTOR_Time )\n{\n", S(head("void")));
  if (!Class_Mode) w("  switch( The_Class ) {\n");
  if (!Class_Mode) {
    for (int t = 0; t < Net->Nb_Trans; ++t) {
      if (eq_t(t)) continue;
      each_pair_once(Tr(t).Outputs, [&](const LINK_LIST& a) {
        int p = a.Dest;
        if (!valid_p(p) || !eq_p(p) || !ctx.Place_Exists[p]) return;
        w("    case CL_T%d_P%d:\n", t, p);
        if (ctx.Is_Source[t])
          w("      R_%d[ EQ_Time ]++;\n", t);
        else if (ctx.Y_Static)
          w("      Y_0[%d]++;\n", t);
        else
          w("      Y[ EQ_Time ][%d]++;\n", t);
        w("      if ( Trace )\n");
        w("        printf(\"+++ Arr. at place #%d (%s) ", p + 1, S(c_fmt(Pl(p).Name)));
        w("from trans #%d (%s)\\n\");\n", t + 1, S(c_fmt(Tr(t).Name)));
        w("    break;\n");
      });
    }
    for (int p = 0; p < Net->Nb_Places; ++p) {
      if (eq_p(p)) continue;
      each_pair_once(Pl(p).Outputs, [&](const LINK_LIST& a) {
        int t = a.Dest;
        if (!valid_t(t) || !eq_t(t)) return;
        w("    case CL_P%d_T%d:\n", p, t);
        w("      H_%d[EQ_Time][ %sNB_P%d_TO_T%d ] ++;\n", p, S(ctx.Prefix), p, t);
        w("      if ( Trace )\n");
        w("        printf(\"+++ Arr. at transition #%d (%s)\\n\");\n", t + 1, S(c_fmt(Tr(t).Name)));
        w("    break;\n");
      });
    }
  } else if (Net->Nb_Inputs > 0) {
    // The class number is what Register_Input returned: 2 n for the n-th
    // transition counter, 2 n + 1 for the n-th place counter.
    w("  if ( ( The_Class >= 0 ) && ( The_Class %% 2 == 0 ) && ( The_Class / 2 < Nb_Input_Pl ) "
      ")\n");
    w("    /* arrivals to transitions */\n");
    w("    Ext_H[ The_Class / 2 ][ EQ_Time ]++;\n");
    w("  else if ( ( The_Class >= 0 ) && ( The_Class %% 2 == 1 ) && ( The_Class / 2 < Nb_Input_Tr "
      ") )\n");
    w("    /* arrivals to places */\n");
    w("    Ext_Y[ The_Class / 2 ][ EQ_Time ]++;\n");
    w("  else {\n");
    w("    cout << \"Error! Illegal class number \" << The_Class;\n");
    w("    cout << \" for arrival.\";\n");
    w("  }\n\n");
  } else {
    w("  cout << \"Error! Illegal class number \" << The_Class;\n");
    w("  cout << \" for arrival.\";\n\n");
  }
  if (!Class_Mode) w("  } /* end of switch */\n\n");
  if (Class_Mode) {
    w("    if ( Trace ) {\n");
    w("      cout << \"+++ [\" << this->get_name() << ");
    w("\"] Arr. at t= \";\n");
    w("      cout << EQ_Time << \" on channel \" << ");
    w("The_Class << endl;\n");
    w("    }\n\n");
  }
  w("}\n\n");
}

// Departures of one tick may outnumber one batch: a full batch is followed by
// another over the same tick, skipping what was already handed out, so no
// token is lost.
void Module_Writer::Gen_Departure_Code() {
  const char* pre = S(ctx.Prefix);
  interface_heading();
  w("\n");
  if (ctx.No_Valtor) w("typedef char Routing_Server;\n\n");
  w("static int\tPrepare_New_Batch = TRUE;\n\n");
  if (Class_Mode)
    w("%sRouting_Server *%s::", Dist ? "CM_" : "", S(Class));
  else
    w("Routing_Server *");
  w("Next_Departure( )\n{\n\n");
  w("  static int\t\tNb_Departures;\n");
  w("  static int\t\tIndex;\n");
  w("  static int\t\tNb_Handed = 0;\n");
  if (Class_Mode) w("  static int\t\tDest_Num;\n");
  w("  static %sRouting_Server\t*Dpt[%sNB_MAX_DEPT];\n", Dist ? "CM_" : "", pre);
  w("  int\t\t\tDp_Time;\n");
  w("  int\t\t\tDp_Time_M_1;\n");
  w("  int\t\t\tNb_Seen;\n\n");
  w("  if ( Prepare_New_Batch ) {\n");
  if (!ctx.No_Valtor) w("    Prepare_New_Batch = FALSE;\n");
  w("    Nb_Departures = 0;\n");
  w("    Nb_Seen = 0;\n");
  w("    /* get --exact-- time */;\n");
  w("    Dp_Time = EQ_Time_M_1;\n");
  w("    Dp_Time_M_1 = ( Dp_Time + %d ) %% %sBUF_SIZE;\n\n", B - 1, pre);
  if (!Class_Mode) {
    for (int t = 0; t < Net->Nb_Trans; ++t) {
      if (!eq_t(t)) continue;
      for (const LINK_LIST& a : Tr(t).Outputs) {
        int p = a.Dest;
        if (!valid_p(p) || eq_p(p) || !ctx.Place_Exists[p]) continue;
        w("    /* departures from transition #%d (%s) */\n", t, S(c_comment(Tr(t).Name)));
        // Each firing puts the arc's weight in tokens into the place.
        if (a.Weight > 1) {
          w("    for ( Index = Z[Dp_Time_M_1][%d] * %d;\n", t, a.Weight);
          w("          ( Index < Z[Dp_Time][%d] * %d ) && ", t, a.Weight);
        } else {
          w("    for ( Index = Z[Dp_Time_M_1][%d];\n", t);
          w("          ( Index < Z[Dp_Time][%d] ) && ", t);
        }
        w("( Nb_Departures < %sNB_MAX_DEPT );\n", pre);
        w("          Index++ ) {\n");
        w("      if ( Nb_Seen++ < Nb_Handed ) continue;\n");
        if (!ctx.No_Valtor) w("      Dpt[ Nb_Departures ] = Place_%d;\n", p);
        w("      Nb_Departures++;\n");
        w("      if ( Trace )\n");
        w("        printf(\"+++ Dep. from trans #%d (%s)", t + 1, S(c_fmt(Tr(t).Name)));
        w(" to place #%d (%s)\\n\");\n", p + 1, S(c_fmt(Pl(p).Name)));
        w("    }\n");
      }
    }
    for (int p = 0; p < Net->Nb_Places; ++p) {
      if (!eq_p(p) || !ctx.Place_Exists[p]) continue;
      each_pair_once(Pl(p).Outputs, [&](const LINK_LIST& a) {
        int t = a.Dest;
        if (!valid_t(t) || eq_t(t)) return;
        w("    /* departures from place #%d (%s) */\n", p, S(c_comment(Pl(p).Name)));
        w("    for ( Index = H_%d[Dp_Time_M_1][ %sNB_P%d_TO_T%d ];\n", p, pre, p, t);
        w("        ( Index < H_%d[Dp_Time][ NB_P%d_TO_T%d ] ) && ", p, p, t);
        w("( Nb_Departures < %sNB_MAX_DEPT );\n", pre);
        w("          Index++ ) {\n");
        w("      if ( Nb_Seen++ < Nb_Handed ) continue;\n");
        // A fusion in front of t takes them through the relay that labels
        // them for it.
        if (!ctx.No_Valtor && Needs_Fusion(ctx, *Net, t))
          w("      Dpt[ Nb_Departures ] = Dum_P%d_T%d;\n", p, t);
        else if (!ctx.No_Valtor)
          w("      Dpt[ Nb_Departures ] = Trans_%d;\n", t);
        w("      Nb_Departures++;\n");
        w("      if ( Trace )\n");
        w("        printf(\"+++ Dep. from place #%d (%s)", p, S(c_fmt(Pl(p).Name)));
        w(" to trans #%d (%s)\\n\");\n", t, S(c_fmt(Tr(t).Name)));
        w("    }\n");
      });
    }
  } else {
    for (size_t o = 0; o < Net->Outputs.size(); ++o) {
      const pn::ADDRESS* a = Net->Outputs[o].get();
      w("    // departures from output #%d = ", static_cast<int>(o + 1));
      std::fflush(Out);
      if (a) orv::Write_Address(Out, a);
      w("\n");
      if (!a || pn::Find_Type(*Net, a) != 'T') {
        w("    // This is a place. We'll see later.\n\n");
        continue;
      }
      const pn::ADDRESS* leaf = a;
      while (leaf->Next) leaf = leaf->Next.get();
      int t = leaf->Number;
      w("    for ( Index = Z[Dp_Time_M_1][%d];\n", t);
      w("          ( Index < Z[Dp_Time][%d] ) && ", t);
      w("( Nb_Departures < %sNB_MAX_DEPT );\n", pre);
      w("          Index++ ) {\n");
      w("      for ( Dest_Num = 0; Dest_Num < Dest_Nb[%d]; ", static_cast<int>(o));
      w("Dest_Num++ ) {\n");
      // A firing sent to several destinations may fill the batch midway.
      w("        if ( Nb_Departures >= %sNB_MAX_DEPT ) break;\n", pre);
      w("        if ( Nb_Seen++ < Nb_Handed ) continue;\n");
      w("        Dpt[ Nb_Departures ] = Dest_Table[%d][Dest_Num];\n", static_cast<int>(o));
      w("        Nb_Departures++;\n");
      w("        if ( Trace ) {\n");
      w("          cout << \"+++ [\" << this->get_name() << ");
      w("\"] Dep. at t= \";\n");
      w("          cout << Dp_Time << \" from trans #%d (%s)", t,
        S(c_lit(valid_t(t) ? Tr(t).Name : std::string())));
      w(" to object \";\n");
      w("          cout << Dest_Table[%d][Dest_Num]->get_name()", static_cast<int>(o));
      w(" << endl;\n");
      w("      }\n");
      w("    }\n");
      w("  }\n\n");
    }
  }
  w("\n  Index = 0;\n");
  w("  }\n");
  w("  if ( Index == Nb_Departures ) {\n");
  w("    if ( Nb_Departures == %sNB_MAX_DEPT ) {\n", pre);
  w("      /* a full batch: the rest of this tick follows */\n");
  w("      Nb_Handed += Nb_Departures;\n");
  w("      Prepare_New_Batch = TRUE;\n");
  w("      return Next_Departure();\n");
  w("    }\n");
  w("    Nb_Handed = 0;\n");
  w("    Prepare_New_Batch = TRUE;\n");
  w("    Index++;\n");
  w("    return 0;\n");
  w("  }\n");
  w("  else {\n");
  w("    Index++;\n");
  w("    return Dpt[ Index - 1 ];\n");
  w("  }\n\n");
  w("}\n\n");
}

// Lines of packed assignments: a line break after every `per` entries.
void Module_Writer::Gen_Init_Code() {
  const char* pre = S(ctx.Prefix);
  const int np = Net->Nb_Places, nt = Net->Nb_Trans;
  w("\n%sInit( )\n{\n", S(head("void")));
  w("  int\ti;\n\n");
  // The class's interface tables exist only in class mode.
  if (Class_Mode && Net->Nb_Inputs > 0) {
    w("  Nb_Input_Tr = 0;\n");
    w("  Nb_Input_Pl = 0;\n");
    w("  for ( i=0; i<%d; i++ ) {\n", Net->Nb_Inputs);
    w("    Orig_Nb[i] = 0;\n");
    w("    Orig_Table[i] = (int*)NULL;\n");
    w("  }\n");
    w("  for ( i=0; i<%d; i++ )\n", nt);
    w("    Is_Input_Trans[i] = FALSE;\n");
    w("  for ( i=0; i<%d; i++ )\n", np);
    w("    Is_Input_Place[i] = FALSE;\n\n");
  }
  // The counter tables exist with inputs only, and must start empty even
  // when the class has no outputs.
  const bool inputs = Class_Mode && Net->Nb_Inputs > 0;
  if (Class_Mode && Net->Nb_Outputs > 0) {
    w("  for ( i=0; i<%d; i++ ) {\n", Net->Nb_Outputs);
    w("    Dest_Nb[i] = 0;\n");
    w("    Dest_Table[i] = (%sRouting_Server**)NULL;\n", Dist ? "CM_" : "");
    w("  }\n");
  }
  if (inputs) {
    w("  Ext_H = (int**)NULL;\n");
    w("  Ext_Y = (int**)NULL;\n");
  }
  if ((Class_Mode && Net->Nb_Outputs > 0) || inputs) w("\n");
  if (Class_Mode) {
    w("  // Initialization of the initial availabilities\n");
    for (int p = 0; p < np; ++p) {
      const PL_DES& pl = Pl(p);
      double max_lag = 0;
      for (double l : pl.Lag_Times) max_lag = std::max(max_lag, l);
      if (Max_Dependency >= 8 && max_lag == 0) {
        w("  for ( i=0; i<%d; i++ )\n", Max_Dependency);
        w("    Avail[%2d][i] = %d;\n", p, pl.Init_Pop);
      } else {
        Packer k(*this, 4);
        for (int d = 0; d < Max_Dependency; ++d) {
          w("  Avail[%2d][%d]=%d;", p, d, available(pl, d));
          k.item();
        }
        k.end();
      }
    }
  }
  w("  // Initialization of firing times\n");
  {
    Packer k(*this, 4);
    for (int t = 0; t < nt; ++t) {
      w("  Fire_Time[%2d]=%2d;", t, ctx.Fire_Time[t]);
      k.item();
    }
    k.end();
  }
  w("  // Initialization of source flags\n");
  {
    int sources = 0;
    for (int t = 0; t < nt; ++t) sources += ctx.Is_Source[t] ? 1 : 0;
    Packer k(*this, 3);
    if (sources >= nt / 2) {
      w("  for ( i=0; i<%sNB_TRANS; i++ )\n", pre);
      w("    Is_Source[i] = FALSE;\n");
      for (int t = 0; t < nt; ++t)
        if (ctx.Is_Source[t]) {
          w("  Is_Source[%2d]= TRUE;", t);
          k.item();
        }
    } else {
      for (int t = 0; t < nt; ++t) {
        w("  Is_Source[%2d]=%5s;", t, ctx.Is_Source[t] ? "TRUE" : "FALSE");
        k.item();
      }
    }
    k.end();
  }
  w("  // Initialization of transition names\n");
  {
    int width = 0;
    for (int t = 0; t < nt; ++t) {
      int len = static_cast<int>(Tr(t).Name.size()) + 19;
      if (width > 0 && width + len > 79) {
        w("\n");
        width = 0;
      }
      width += len;
      w("  Trans_Name[%2d]=\"%s\";", t, S(c_lit(Tr(t).Name)));
    }
    w("\n");
  }
  w("  // Initialization of time variables\n");
  w("  Real_EQ_Time = 0;\n");
  w("  EQ_Time = 0;\n");
  // The slots and row pointers of tick 0, so that an arrival before the
  // first tick lands in a valid slot.
  for (int d : delays()) w("  EQ_Time_M_%d = %d;\n", d, B - d);
  if (ctx.Y_Static) {
    w("  Y_0 = Y[ EQ_Time ];\n");
    for (int d : delays()) w("  Y_Time_M_%d = Y[ EQ_Time_M_%d ];\n", d, d);
  }
  if (Class_Mode) {
    for (int t = 0; t < nt; ++t) {
      if (!is_eq_source(t)) continue;
      w("  // Variables for source %d (%s)\n", t, S(Tr(t).Name));
      w("  Nb_Tok_%d = 0;\n", t);
      w("  for ( i=0; i<%sBUF_SIZE; i++ )\n", pre);
      w("    R_%d[ i ] = 0;\n", t);
      const LAW_DESC* law = Tr(t).Tr_Law.get();
      if (law && law->Name == 'C')
        w("  T_Phase_%d = %d;\n", t,
          static_cast<int>(std::rint(ctx.Scale * pn::Delay_Of(law))) + 1);
    }
    for (int p = 0; p < np; ++p) {
      const pn::ROUTING* r = Pl(p).Routing.get();
      char type = r ? r->Type : 0;
      if (type == 'D') {
        w("  Count_%d = 0;\n", p);
        w("  P_Phase_%d = 0;\n", p);
        Packer k(*this, 2);
        int n = std::min<int>(r->Period, static_cast<int>(r->Cycle.size()));
        for (int c = 0; c < n; ++c) {
          w("  Cycle_%d[%d] =  %sNB_P%d_TO_T%d;", p, c, pre, p,
            r->Cycle[c] ? r->Cycle[c]->Number : 0);
          k.item();
        }
        k.end();
      } else if (type == 'R') {
        w("  Count_%d = 0;\n", p);
        Packer k(*this, 3);
        double sum = 0;
        int n = Pl(p).Outdegree;
        for (int c = 0; c < n; ++c) {
          sum += c < static_cast<int>(r->Probas.size()) ? r->Probas[c] : 0.0;
          w("  P_Proba_%d[%d] = %6.4f;", p, c, c + 1 == n ? 1.0 : sum);
          k.item();
        }
        k.end();
        Packer k2(*this, 4);
        for (int c = 0; c < nb_out(p); ++c) {
          w("  Dest_%d[%d] = %d;", p, c, Pl(p).Outputs[c].Dest);
          k2.item();
        }
        k2.end();
      } else if (ctx.Is_Compet_Pl[p]) {
        w("  Count_%d = 0;\n", p);
      }
    }
  }
  w("\n");
  if (Class_Mode) {
    w("  // Initialization of firing counts\n");
    w("  for ( i=0; i<%sNB_TRANS; i++ ) {\n", pre);
    w("    Y[0][i] = 0;\n");
    w("    Z[0][i] = 0;\n");
    w("  }\n");
    // A member starts with whatever its memory held: the slots read back
    // before the buffer has come round (the one before tick 0, those of
    // long firing times) and the routed counts must start empty.
    w("  for ( i=1; i<%sBUF_SIZE; i++ )\n", pre);
    w("    for ( int j=0; j<%sNB_TRANS; j++ )\n", pre);
    w("      Y[i][j] = Z[i][j] = 0;\n");
    for (int p = 0; p < np; ++p) {
      if (nb_out(p) <= 1) continue;
      w("  for ( i=0; i<%sBUF_SIZE; i++ )\n", pre);
      w("    for ( int j=0; j<%sMAX_OUTDEGREE; j++ )\n", pre);
      w("      H_%d[i][j] = 0;\n", p);
    }
    w("\n");
  }
  w("}\n\n");
}

void Module_Writer::Gen_Terminate_Code() { w("\n%sTerminate( )\n{\n}\n\n", S(head("void"))); }

}  // namespace orv::gen
