#include "petrigen/eq_module.h"

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

using pn::PetriNet;

// Heads of generated routines: "void " in the plain module, "void <class>::" for
// a method.
std::string Module_Writer::head(const char* type) {
  std::string h = type;
  h += ' ';
  if (Class_Mode) h += Class + "::";
  return h;
}

bool Module_Writer::eq_p(int p) { return Pl(p).Tag == 0; }
bool Module_Writer::eq_t(int t) { return Tr(t).Tag == 0; }
int Module_Writer::nb_out(int p) { return static_cast<int>(Pl(p).Outputs.size()); }

// Places whose output arcs get routing indices NB_P<p>_TO_T<t>.
bool Module_Writer::has_routing_indices(int p) {
  if (!eq_p(p)) return Has_EQ_Trans_Succ(*Net, p);
  return Has_Valtor_Trans_Succ(*Net, p) || nb_out(p) > 1;
}

// Places with a table H_<p> of routed tokens.
bool Module_Writer::has_h_table(int p) {
  if (!eq_p(p)) return Has_EQ_Trans_Succ(*Net, p);
  return nb_out(p) > 1 || Has_Valtor_Trans_Succ(*Net, p);
}

bool Module_Writer::is_eq_source(int t) { return eq_t(t) && ctx.Is_Source[t]; }

bool Module_Writer::has_eq_source() {
  for (int t = 0; t < Net->Nb_Trans; ++t)
    if (is_eq_source(t)) return true;
  return false;
}

int Module_Writer::nb_firings() { return Net->Sim_Params ? Net->Sim_Params->Nb_Firings : 0; }

int Compute_Max_Dependency(const PetriNet& net, int Scale) {
  double m = std::max(pn::Max_Delay(net), pn::Max_Lag(net));
  double v = std::rint(Scale * m);
  if (!(v >= 1)) return 1;
  if (v > INT_MAX / 4) return INT_MAX / 4;
  return static_cast<int>(v);
}

int Compute_Buffer_Size(int Buf_Size, int Scale, int Nb_Firings, int Max_Read) {
  long long b = Buf_Size;
  long long run = static_cast<long long>(Scale) * Nb_Firings + 1;
  if (run < b) b = run;
  if (b < 2LL * Max_Read) b = 2LL * Max_Read;
  if (b % 2) ++b;
  if (b < 2) b = 2;
  return static_cast<int>(std::min<long long>(b, INT_MAX - 1));
}

int gen_c_code(Gen_Context& ctx, const PetriNet& net, const pn::LAYER_STRUCT& layers,
               const std::string& Tmp_Dir, const std::string& File_Name, int Valtor_Class,
               const std::string& Class_Name, int Single_Marking_Function, int QUELM_Style,
               int Distributed, const File_Opener& open) {
  Module_Writer writer(ctx, net);
  return writer.Write(layers, Tmp_Dir, File_Name, Valtor_Class, Class_Name,
                      Single_Marking_Function, QUELM_Style, Distributed, open);
}

int Module_Writer::Write(const pn::LAYER_STRUCT& layers, const std::string& Tmp_Dir,
                         const std::string& File_Name, int Valtor_Class,
                         const std::string& Class_Name, int Single_Marking_Function,
                         int QUELM_Style, int Distributed, const File_Opener& open) {
  const PetriNet& net = *Net;
  Layers = &layers;
  Class_Mode = Valtor_Class;
  Class = Class_Name;
  Single_Marking = Single_Marking_Function;
  Quelm = QUELM_Style;
  Dist = Distributed;
  ctx.Prefix = Class_Mode ? Class_Name + "_" : "";

  Max_Dependency = Compute_Max_Dependency(net, ctx.Scale);
  Init_Generation(ctx, net, Max_Dependency, ctx.Scale);
  TimeScale(ctx, net, ctx.Scale, Valtor_Class);
  if (ctx.Place_Exists.size() != static_cast<size_t>(net.Nb_Places)) init_place_status(ctx, net);
  Max_Read = Max_Read_Back(ctx);
  B = Compute_Buffer_Size(ctx.Buf_Size, ctx.Scale, nb_firings(), Max_Read);
  ctx.Buf_Size = B;

  // Source laws the module could not draw from stop the run before any file.
  for (int t = 0; t < net.Nb_Trans; ++t)
    if (is_eq_source(t) && !source_law_ok(t)) return GEN_REFUSED;

  if (Class_Mode) {
    auto open_class_file = [&](const std::string& path) {
      Out = open(path);
      if (!Out)
        std::fprintf(stderr, "%s: error: could not open file %s for writing\n", ctx.Tool_Name,
                     path.c_str());
      return Out != nullptr;
    };
    std::string path = Tmp_Dir + Class_Name + ".hh";
    if (!open_class_file(path)) return GEN_OPEN_FAILED;
    Gen_Class_File_Header(path, 0);
    Gen_Class_Prototype();
    if (Distributed) {
      path = Tmp_Dir + "P_" + Class_Name + ".hh";
      if (!open_class_file(path)) return GEN_OPEN_FAILED;
      Gen_Class_File_Header(path, 1);
      Gen_Class_Proxy_Prototype();
    }
    path = Tmp_Dir + Class_Name + ".cc";
    if (!open_class_file(path)) return GEN_OPEN_FAILED;
    Gen_Class_File_Header(path, 0);
    Gen_EQ_Includes(1, Distributed);
    w("\n");
    w("#include \"%s.hh\"\n", S(Class));
    w("\n");
    Gen_Class_Cons_Des();
    Gen_Random_Generator();
    Gen_Source_Code();
    Gen_Marking_Code();
  } else {
    std::string path = Tmp_Dir + File_Name;
    Out = open(path);
    if (!Out) {
      std::fprintf(stderr, "%s: error opening %s\n", ctx.Tool_Name, path.c_str());
      return GEN_OPEN_FAILED;
    }
    Gen_EQ_File_Header();
    Gen_EQ_Includes(0, 0);
    Gen_EQ_Declarations();
  }
  Gen_EQ_Stats_Code();
  Gen_Loop_Code(1);
  std::fill(ctx.Already_Visited.begin(), ctx.Already_Visited.end(), 0);
  Gen_Loop_Code(0);
  Gen_Loop_Switch_Code();
  Gen_Arrival_Code();
  Gen_Departure_Code();
  Gen_Init_Code();
  Gen_Terminate_Code();
  if (Class_Mode) {
    Gen_Input_Handling();
    Gen_Output_Handling();
  }
  return GEN_DONE;
}

}  // namespace orv::gen
