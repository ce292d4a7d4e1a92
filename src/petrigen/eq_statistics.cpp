// The equational module: the statistics it reports.
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

void Module_Writer::Gen_EQ_Stats_Code() {
  if (Class_Mode) {
    w("// Declaration of procedures for collecting statistics on the\n");
    w("// EQ object.\n");
  } else {
    w("/* Declaration of procedures for collecting statistics on the\t*/\n");
    w("/* EQ object.\t\t\t\t\t\t\t*/\n");
  }
  w("%sCompute_Stat( ) {\n", S(head("void")));
  w("}\n\n");

  w("%sReport_Trans_Stat(\n", S(head("void")));
  w("  ostream &Out_File,\n");
  w("  int     Id,\n");
  w("  char    *Hi_Name,\n");
  w("  int\t  Count,\n");
  w("  int\t  Final_Time ) {\n");
  if (Quelm) {
    w("  Out_File << setiosflags( ios::left ) << \" * \";\n");
    w("  if ( Hi_Name[0] != '\\0' )\n");
    w("    Out_File << Hi_Name << \"/\" << setw( 59 - strlen( Hi_Name ) ) << Trans_Name[Id];\n");
    w("  else\n");
    w("    Out_File << setw( 60 ) << Trans_Name[Id];\n");
    w("  Out_File << \" * \" << resetiosflags( ios::left ) << setiosflags( ios::right )\n");
    w("           << setw( 7 ) << Count << \" *\" << endl;\n");
    w("  Out_File << \" * \" << setw( 60 ) << \" \" << \" *\" << endl;\n");
  } else {
    w("  Out_File << \"--------------------------------------------------\" << endl;\n");
    w("  Out_File << \" Station Transition \";\n");
    w("  if ( Hi_Name[0] != '\\0' )\n");
    w("    Out_File << Hi_Name << \"/\";\n");
    w("  Out_File << Trans_Name[Id] << \" #EQ/\" << Id << \"   t=\" << Final_Time << endl << "
      "endl;\n");
    w("  Out_File << \" Mean departure throughput : \"\n");
    w("           << (double) Count / (double) Final_Time << endl;\n");
    w("  Out_File << \" Number of services : \" << Count << endl;\n");
  }
  w("}\n\n");

  w("%sReport_Stat( ostream &Out_File ) {\n", S(head("void")));
  w("  int\tFinal_Time = Real_EQ_Time - 1;\n");
  w("  int\tFinal_EQ_Time = Final_Time %% %sBUF_SIZE;\n", S(ctx.Prefix));
  w("  const char\t*S = \"Source \";\n");
  w("  const char\t*T = \"Transition \";\n");
  w("  const char\t*G = \"generation \";\n");
  w("  const char\t*D = \"departure \";\n\n");
  // No tick was computed: there is no slot to report on.
  w("  if ( Final_Time < 0 )\n    return;\n\n");
  std::string hi = Class_Mode ? c_lit(Class) : "";
  for (int t = 0; t < Net->Nb_Trans; ++t) {
    if (!eq_t(t)) continue;
    bool input = Class_Mode && Is_Input_Number(*Net, 'T', t) != -1;
    bool generating = ctx.Is_Source[t] && !input;
    if (ctx.No_Stats) {
      w("  Out_File << \"%c_%d[\" << Final_Time << \"] =   \";\n", generating ? 'R' : 'Z', t);
      if (generating) {
        w("  Out_File << R_%d[Final_EQ_Time];\n", t);
        w("  Out_File << \"    Throughput:   \" << "
          "(double) R_%d[Final_EQ_Time] / (double) Final_Time;\n",
          t);
      } else {
        w("  Out_File << Z[Final_EQ_Time][%d];\n", t);
        w("  Out_File << \"    Throughput:   \" << "
          "(double) Z[Final_EQ_Time][%d] / (double) Final_Time;\n",
          t);
      }
      w("  Out_File << \"  (%s)\" << endl;\n", S(c_lit(Tr(t).Name)));
    } else if (!ctx.Is_Source[t]) {
      w("  Report_Trans_Stat( Out_File, %d, \"%s\", Z[Final_EQ_Time][%d], Final_Time );\n", t,
        S(hi), t);
    } else if (Quelm && generating) {
      w("  Report_Trans_Stat( Out_File, %d, \"%s\", R_%d[Final_EQ_Time], Final_Time );\n", t, S(hi),
        t);
    } else {
      // A connected input passes on what reaches it: a transition's count
      // in Z; unconnected, it draws as a source.
      std::string count = input ? "( Is_Input_Trans[" + std::to_string(t) +
                                      "] ? Z[Final_EQ_Time][" + std::to_string(t) + "] : R_" +
                                      std::to_string(t) + "[Final_EQ_Time] )"
                                : "R_" + std::to_string(t) + "[Final_EQ_Time]";
      w("  Out_File << \"--------------------------------------------------\" << endl;\n");
      if (generating)
        w("  Out_File << \" Station \" << S;\n");
      else
        w("  Out_File << \" Station \" << ( Is_Input_Trans[%d] ? T : S );\n", t);
      if (Class_Mode) w("  Out_File << \"%s/\";\n", S(hi));
      w("  Out_File << \"%s #EQ/%d   t=\" << Final_Time << endl << endl;\n", S(c_lit(Tr(t).Name)),
        t);
      if (generating)
        w("  Out_File << \" Mean \" << G << \"throughput : \";\n");
      else
        w("  Out_File << \" Mean \" << ( Is_Input_Trans[%d] ? D : G ) << \"throughput : \";\n", t);
      w("  Out_File << (double) %s / (double) Final_Time << endl;\n", S(count));
      if (generating)
        w("  Out_File << \" Number of generated customers : \";\n");
      else
        w("  Out_File << \" Number of \" << ( Is_Input_Trans[%d] ? \"services : \" "
          ": \"generated customers : \" );\n",
          t);
      w("  Out_File << %s << endl;\n", S(count));
    }
    w("\n");
  }
  w("}\n");
}

}  // namespace orv::gen
