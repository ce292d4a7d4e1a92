// The equational module: the recursion, one tick of the firing counts.
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

void Module_Writer::Write_Token_Routing(int p, int t, int Initial) {
  if (nb_out(p) <= 1) return;
  if (!ctx.Already_Visited[p]) Gen_EQ_H_Function(p, t, Initial);
  w("  Nb_Tokens = H_%d[EQ_Time]", p);
  w("[ %sNB_P%d_TO_T%d ];\n", S(ctx.Prefix), p, t);
}

void Module_Writer::Write_Partial_Enabling(int q, int t, int weight, int Initial) {
  if (routing_of(q) == 'R') {
    // Tokens routed to t less those its firings took, then divided by the
    // weight as a whole.
    if (weight > 1) w("( ");
    w("H_%d[EQ_Time]", q);
    w("[ %sNB_P%d_TO_T%d ]", S(ctx.Prefix), q, t);
    if (!Initial && ctx.Y_Static)
      w(" - Y_0[%d]", t);
    else
      w(" - Y[EQ_Time][%d]", t);
    if (weight > 1) w(" * %d )", weight);
  } else if (Single_Marking) {
    w("%sMarking( %d%s )", Initial ? "I_" : "", q, Initial ? ", EQ_Time" : "");
  } else {
    w("%sMarking_%d( %s )", Initial ? "I_" : "", q, Initial ? "EQ_Time" : "");
  }
  if (weight > 1) w(" / %d ", weight);
}

void Module_Writer::Gen_EQ_H_Function(int p, int t, int Initial) {
  const PL_DES& pl = Pl(p);
  w("  /* Computing the number of tokens routed from place %d (%s) */\n", p, S(c_comment(pl.Name)));
  const char* pre = S(ctx.Prefix);
  char type = routing_of(p);
  // Without a policy a place with one output hands every token to it, as a
  // competition place does.
  if (type == 0 && nb_out(p) == 1) type = 'C';
  if (Write_Counted_Routing(p, type)) return;
  switch (type) {
    case 'C':
      if (pl.Outdegree != 1 || nb_out(p) != 1) {
        std::fprintf(stderr, "%s: error: illegal competition at place", ctx.Tool_Name);
        std::fprintf(stderr, "#%d (%s)\n", p, S(pl.Name));
        break;
      }
      w("  H_%d[EQ_Time]", p);
      w("[ %sNB_P%d_TO_T%d ] = Nb_Tokens;\n", pre, p, pl.Outputs.front().Dest);
      break;
    case 'P': {
      if (!valid_t(t)) break;
      // E_Degree counts firings; the share routed to t counts tokens, as
      // the other policies' shares do (t's term divides it by the weight).
      int wt = 1;
      for (const LINK_LIST& a : pl.Outputs)
        if (a.Dest == t) wt = a.Weight;
      Write_Priority_Share(p, t, wt, Initial);
      break;
    }
    default:
      w("%s: error: unexpected routing policy (%c)\n", ctx.Tool_Name, type);
  }
}

void Module_Writer::place_term(const LINK_LIST& a, int t, int Initial) {
  int p = a.Dest;
  if (eq_p(p)) {
    Write_Token_Total(p, Initial);
    Write_Token_Routing(p, t, Initial);
    Write_Token_Reduction(a);
  } else {
    w("  Nb_Tokens = H_%d[EQ_Time][ NB_P%d_TO_T%d ];\n", p, p, t);
    // The place hands its tokens over one by one.
    Write_Token_Reduction(a);
  }
}

void Module_Writer::gen_code_node(int t, int Initial) {
  const TR_DES& tr = Tr(t);
  if (Class_Mode)
    w("  // Evolution of transition #%d: %s\n", t, S(write_trans_name(tr)));
  else
    w("  /* Evolution of transition #%d: %s */\n", t, S(c_comment(write_trans_name(tr))));
  int i = Is_Input_Number(*Net, 'T', t);
  bool input = Class_Mode && i != -1;
  std::vector<const LINK_LIST*> ins;
  for (const LINK_LIST& a : tr.Inputs)
    if (valid_p(a.Dest)) ins.push_back(&a);
  if (ins.empty() && !input) {
    std::fprintf(stderr, "%s: error: inconsistent code generation for trans. T %d\n", ctx.Tool_Name,
                 t + 1);
    return;
  }
  const bool y0 = !Initial && ctx.Y_Static;
  if (input || ins.size() > 1) {
    w("  Tmp_Y = Infinity;\n");
    if (input) {
      w("  if ( Is_Input_Trans[%d] ) {\n", t);
      w("    for ( In_Nb=0; In_Nb < Orig_Nb[%d]; In_Nb++ ) {\n", i);
      w("      Nb_Tokens = Ext_H[Orig_Table[%d][In_Nb]][ EQ_Time ];\n", i);
      w("      Tmp_Y = MIN( Tmp_Y, Nb_Tokens );\n");
      w("    }\n");
      w("  }\n");
    }
    for (const LINK_LIST* a : ins) {
      place_term(*a, t, Initial);
      w("  Tmp_Y = MIN( Tmp_Y, Nb_Tokens );\n");
    }
    if (y0)
      w("  Y_0[%d] = Tmp_Y;\n", t);
    else
      w("  Y[EQ_Time][%d] = Tmp_Y;\n", t);
  } else {
    place_term(*ins.front(), t, Initial);
    if (y0)
      w("  Y_0[%d] = Nb_Tokens;\n", t);
    else
      w("  Y[EQ_Time][%d] = Nb_Tokens;\n", t);
  }
  w("\n");
}

void Module_Writer::gen_preparation_code(int Initial) {
  const char* pre = S(ctx.Prefix);
  if (has_eq_source()) Write_Source_Draw();
  if (Class_Mode) {
    w("  // Copy present firing count for everybody\n");
    w("  for ( int i=0; i<%sNB_TRANS; i++ )\n", pre);
    if (Initial)
      w("    Y[EQ_Time][ i ] = ( EQ_Time>0 ? Y[EQ_Time-1][ i ] : 0 );\n");
    else if (ctx.Y_Static)
      w("    Y_0[ i ] = Y_Time_M_1[ i ];\n");
    else
      w("    Y[ EQ_Time ][ i ] = Y[ EQ_Time_M_1 ][ i ];\n");
  } else {
    Write_Count_Copies(Initial);
  }
  w("\n");
}

void Module_Writer::gen_loop_code(int Initial) {
  for (int i = 1; i <= ctx.The_Scales[0]; ++i) {
    int s = ctx.The_Scales[i];
    int n = 0;
    for (int t = 0; t < Net->Nb_Trans; ++t)
      if (!ctx.Is_Source[t] && ctx.TST[t] == s) ++n;
    if (n > 0)
      w("  /* Computing the %d transition%s with time scale %d */\n", n, n >= 2 ? "s" : "", s);
    // A scale of 0 (nothing around has a step) or 1 runs at every tick.
    bool block = s > 1;
    if (block) w("  if ( ( Real_EQ_Time %% %d ) == 0 ) {\n\n", s);
    for (int l = 0; l < Layers->Nb_Levels; ++l) {
      const pn::LAYER_DESC* layer = Layers->Level[l].get();
      if (!layer) continue;
      for (int k = 0; k < layer->Nb_Nodes; ++k) {
        int t = layer->Node_Id[k];
        if (!valid_t(t) || !eq_t(t) || ctx.TST[t] != s) continue;
        if (ctx.Is_Source[t] && !Class_Mode) continue;
        gen_code_node(t, Initial);
      }
    }
    if (block) w("  } /* end of time scale %d */\n\n", s);
  }
  for (int p = 0; p < Net->Nb_Places; ++p) {
    if (!eq_p(p) || ctx.Already_Visited[p] || !Has_Valtor_Trans_Succ(*Net, p)) continue;
    Write_Token_Total(p, Initial);
    Gen_EQ_H_Function(p, -1, Initial);
  }
}

void Module_Writer::gen_z_code(int Initial) {
  w("  /* computing the number of completed firings */\n");
  for (int t = 0; t < Net->Nb_Trans; ++t) {
    if (!eq_t(t)) continue;
    int f = ctx.Fire_Time[t];
    // A source's firings are its tokens: its own row of Y is never
    // computed, and what it sends to the discrete-event part is counted here.
    if (ctx.Is_Source[t] && !Class_Mode)
      w("  Z[EQ_Time][%d] = R_%d[ EQ_Time ];\n", t, t);
    else if (f < 1)
      w("  Z[EQ_Time][%d] = Y[EQ_Time][%d];\n", t, t);
    else if (!Initial)
      w("  Z[EQ_Time][%d] = Y[EQ_Time_M_%d][%d];\n", t, f, t);
    else {
      w("  Z[EQ_Time][%d] = ( EQ_Time >= %d ?", t, f);
      w(" Y[EQ_Time-%d][%d] : 0 );\n", f, t);
    }
  }
}

void Module_Writer::Gen_Loop_Code(int Initial) {
  if (Class_Mode) {
    w("// Procedure for incrementing the firing count vector\n");
    if (Initial)
      w("// Version to handle initial firings\nvoid %s::Increment_Initial()\n{\n", S(Class));
    else
      w("// Version to handle regular firings\nvoid %s::Increment_Regular()\n{\n", S(Class));
  } else {
    w("/* Procedure for incrementing the firing count vector\t*/\n");
    if (Initial)
      w("/* Version to handle initial firings\t\t\t*/\nvoid Increment_Initial()\n{\n");
    else
      w("/* Version to handle regular firings\t\t\t*/\nvoid Increment_Regular()\n{\n");
  }
  w("  static int\tj;\n");
  w("  static int\tTmp_Y;\n");
  w("  static double\tU;\n");
  if (Class_Mode) w("  static int\tIn_Nb;\n");
  w("\n");
  gen_preparation_code(Initial);
  gen_loop_code(Initial);
  gen_z_code(Initial);
  w("\n} /* end of loop code */\n\n");
}

bool Module_Writer::has_interface_trans() {
  for (int t = 0; t < Net->Nb_Trans; ++t)
    if (!eq_t(t) && Has_EQ_Place_Succ(*Net, t)) return true;
  return false;
}

void Module_Writer::Gen_Loop_Switch_Code() {
  const char* pre = S(ctx.Prefix);
  if (Class_Mode) {
    w("//============================================================\n");
    w("// Procedure for incrementing the firing count vector\n");
    w("// Switch according to what time it is...\n");
    w("//============================================================\n");
  } else {
    w("/* Procedure for incrementing the firing count vector\t\t\n");
    w("/* Switch according to what time it is...\t\t\t*/\n");
  }
  w("\n%sIncrement( )\n{\n", S(head("void")));
  w("  if ( Real_EQ_Time >= %d )\n", Max_Dependency);
  w("    Increment_Regular();\n");
  w("  else\n");
  w("    Increment_Initial();\n\n");
  w("  /* Increment of the time variables */\n");
  w("  Real_EQ_Time ++;\n");
  w("  EQ_Time = ( EQ_Time + 1 ) %% %sBUF_SIZE;\n", pre);
  Write_Slot_Steps();
  bool class_inputs = Class_Mode && Net->Nb_Inputs > 0;
  if (has_interface_trans() || class_inputs) {
    if (class_inputs) {
      w("  // Setting information for Valtor interface objects\n");
      w("  // propagating external token counts\n");
      w("  for ( int Tr_In_Nb=0; Tr_In_Nb < Nb_Input_Tr; Tr_In_Nb++ )\n");
      w("    Ext_Y[ Tr_In_Nb ][EQ_Time] = Ext_Y[ Tr_In_Nb ][EQ_Time_M_1];\n");
    } else {
      w("  /* setting information for Valtor interface objects */\n");
    }
    for (int t = 0; t < Net->Nb_Trans; ++t) {
      if (eq_t(t) || !Has_EQ_Place_Succ(*Net, t)) continue;
      if (ctx.Is_Source[t])
        w("  R_%d[ EQ_Time ] = R_%d[ EQ_Time_M_1 ];\n", t, t);
      else
        w("  Y[ EQ_Time ][%d] = Y[ EQ_Time_M_1 ][%d];\n", t, t);
    }
  }
  // Every table H carries its cumulative counts into the new slot, the one of
  // a place with a single output too (a random or cyclic policy adds to it).
  bool any_h = false;
  for (int p = 0; p < Net->Nb_Places; ++p) any_h = any_h || has_h_table(p);
  if (any_h || class_inputs) {
    if (class_inputs) {
      w("  // Setting up routing information\n");
      w("  // propagating external token counts\n");
      w("  for ( int In_Nb=0; In_Nb < Nb_Input_Pl; In_Nb++ ) {\n");
      w("    Ext_H[ In_Nb ][EQ_Time] = Ext_H[ In_Nb ][EQ_Time_M_1];\n");
      w("  }\n");
    } else {
      w("  /* Setting up routing information */\n");
    }
    for (int p = 0; p < Net->Nb_Places; ++p) {
      if (!has_h_table(p)) continue;
      each_pair_once(Pl(p).Outputs, [&](const LINK_LIST& a) {
        w("  H_%d[EQ_Time][ %sNB_P%d_TO_T%d ] = ", p, pre, p, a.Dest);
        w("H_%d[EQ_Time_M_1][ %sNB_P%d_TO_T%d ];\n", p, pre, p, a.Dest);
      });
    }
  }
  w("}\n\n");
}

}  // namespace orv::gen
