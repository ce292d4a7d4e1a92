// The writer of the equational module, shared by the files that hold its
// sections: the state of one module being written and its routines.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/petri_net.h"
#include "petrigen/emitter.h"
#include "petrigen/eq_module.h"
#include "petrigen/gen_tables.h"

namespace orv::gen {

// Arc pairs (from, to) met once each: a repeated arc between the same two
// objects must not give a second case label or macro.
template <typename F>
void each_pair_once(const pn::ARC_LIST& arcs, F f) {
  std::vector<int> seen;
  for (const pn::LINK_LIST& a : arcs) {
    if (std::find(seen.begin(), seen.end(), a.Dest) != seen.end()) continue;
    seen.push_back(a.Dest);
    f(a);
  }
}

class Module_Writer : public Recursion_Writer {
 public:
  Module_Writer(Gen_Context& context, const pn::PetriNet& net) : Recursion_Writer(context, net) {}

  int Write(const pn::LAYER_STRUCT& layers, const std::string& Tmp_Dir,
            const std::string& File_Name, int Valtor_Class, const std::string& Class_Name,
            int Single_Marking_Function, int QUELM_Style, int Distributed,
            const File_Opener& open);

 private:
  using LINK_LIST = pn::LINK_LIST;
  using PetriNet = pn::PetriNet;
  using PL_DES = pn::PL_DES;
  using TR_DES = pn::TR_DES;

  int B = 2;  // buffer size
  std::string Class;
  int Single_Marking = 0;
  int Quelm = 0;
  int Dist = 0;

  // Items written so many to a line.
  struct Packer {
    const Module_Writer& m;
    int per, n = 0;
    Packer(const Module_Writer& writer, int per) : m(writer), per(per) {}
    void item() {
      if (++n % per == 0) m.w("\n");
    }
    void end() {
      if (n == 0 || n % per != 0) m.w("\n");
    }
  };

  // Small queries on the net (eq_module.cpp).
  std::string head(const char* type);
  bool eq_p(int p);
  bool eq_t(int t);
  int nb_out(int p);
  bool has_routing_indices(int p);
  bool has_h_table(int p);
  bool is_eq_source(int t);
  bool has_eq_source();
  int nb_firings();

  // Header, defines and declared variables (eq_header.cpp).
  void Gen_EQ_File_Header();
  void Gen_EQ_Includes(int Single_Class, int Distributed);
  void Gen_EQ_Defines();
  void Gen_EQ_Variables();

  // Sources (eq_sources.cpp).
  bool source_law_ok(int t);
  int batch_of(int t);
  void Gen_Source_Code();
  void Gen_Random_Generator();

  // Statistics (eq_statistics.cpp).
  void Gen_EQ_Stats_Code();

  // Marking functions (eq_marking.cpp).
  std::string marking_count(int u, int d, int Initial);
  void Gen_Marking_Computation(int p, int Initial);
  void Gen_Marking_Function(int p, int Initial);
  void Gen_Single_Marking_Function(int Initial);
  void Gen_Marking_Code();
  void Gen_EQ_Declarations();

  // The recursion: one tick of the firing counts (eq_recursion.cpp).
  void Write_Token_Routing(int p, int t, int Initial);
  void Write_Partial_Enabling(int q, int t, int weight, int Initial) override;
  void Gen_EQ_H_Function(int p, int t, int Initial);
  void place_term(const LINK_LIST& a, int t, int Initial);
  void gen_code_node(int t, int Initial);
  void gen_preparation_code(int Initial);
  void gen_loop_code(int Initial);
  void gen_z_code(int Initial);
  void Gen_Loop_Code(int Initial);
  bool has_interface_trans();
  void Gen_Loop_Switch_Code();

  // Meeting the discrete-event program (eq_interface.cpp).
  void interface_heading();
  void Gen_Arrival_Code();
  void Gen_Departure_Code();
  void Gen_Init_Code();
  void Gen_Terminate_Code();

  // Class mode (eq_class.cpp).
  const char* lib();
  std::pair<char, int> entry_of(const pn::ADDRESS* a);
  void Gen_Class_File_Header(const std::string& path, int proxy);
  bool has_compet_place();
  bool has_source();
  void Gen_Class_Methods();
  void Gen_Class_Members();
  void Gen_Class_Prototype();
  void Gen_Class_Proxy_Prototype();
  void Gen_Class_Cons_Des();
  void Gen_Input_Handling();
  void Gen_Output_Handling();
};

}  // namespace orv::gen
