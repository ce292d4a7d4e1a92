// The equational module in class mode: the class files and their methods.
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

const char* Module_Writer::lib() { return Dist ? "CM_" : ""; }

// The object an interface entry names: its kind letter and number.
std::pair<char, int> Module_Writer::entry_of(const pn::ADDRESS* a) {
  if (!a) return {'X', -1};
  char kind = pn::Find_Type(*Net, a);
  const pn::ADDRESS* leaf = a;
  while (leaf->Next) leaf = leaf->Next.get();
  return {kind, leaf->Number};
}

void Module_Writer::Gen_Class_File_Header(const std::string& path, int proxy) {
  w("//=========================\n");
  w("//  ORV generated code     \n");
  w("//=========================\n");
  w("//============================================================\n");
  w("// File        : %s\n", S(path));
  w("// Author      : %s %s\n", ctx.Tool_Name, ORV_VERSION);
  if (!Net->File_Name.empty()) w("// Origin      : %s\n", S(Net->File_Name));
  w("// Date        : %s\n", S(todays_date()));
  w("// Description : A class encapsulating the equational simulation\n");
  w("//               of a Petri Net.\n");
  if (proxy) w("//               Proxy for the distributed VALTOR.\n");
  w("//============================================================\n");
  w("\n");
}

bool Module_Writer::has_compet_place() {
  for (int p = 0; p < Net->Nb_Places; ++p)
    if (eq_p(p) && ctx.Is_Compet_Pl[p]) return true;
  return false;
}

bool Module_Writer::has_source() {
  for (int t = 0; t < Net->Nb_Trans; ++t)
    if (ctx.Is_Source[t]) return true;
  return false;
}

void Module_Writer::Gen_Class_Methods() {
  const char* c = S(Class);
  w("public:\n");
  w("  %s(Time activation=0, Time step=1.0, int stacksize = 0x8000 );\n", c);
  w("  ~%s();\n", c);
  w("\n");
  if (Dist) {
    w("  static Comm_Object *init_cstr(){\n");
    w("    return new %s(0,1,0x8000);\n", c);
    w("  }\n");
    w("\n");
  }
  w("protected:\n");
  w("    virtual void Init();\n");
  w("    virtual void Arrival(int Num_Class, double Arr_Time);\n");
  w("    virtual void Increment();\n");
  w("    virtual void Increment_Initial();\n");
  w("    virtual void Increment_Regular();\n");
  w("    virtual %sRouting_Server *Next_Departure();\n", lib());
  w("    virtual void Terminate();\n");
  w("    virtual void Compute_Stat();\n");
  w("    virtual void Report_Stat(ostream &sortie);\n");
  w("    virtual void Report_Trans_Stat(ostream&,int,char*,int,int);\n");
  w("\n");
  // The source procedure is written for equational sources only, and every
  // source is equational here.
  if (has_source()) {
    w("private:\n");
    w("    void Re_Init_Sources( int From, int To );\n");
  }
  if (has_compet_place()) {
    w("private:\n");
    if (Single_Marking) {
      w("    int I_Marking( int Place_Id, int The_Time  );\n");
      w("    int Marking( int Place_Id );\n");
    } else {
      for (int p = 0; p < Net->Nb_Places; ++p)
        if (eq_p(p) && ctx.Is_Compet_Pl[p]) {
          w("    int I_Marking_%d( int The_Time  );\n", p);
          w("    int Marking_%d( );\n", p);
        }
    }
  }
  w("public:\n");
  w("    int Register_Input(int);\n");
  w("    bool Register_Output(int,%sRouting_Server*);\n", lib());
  w("\n");
}

void Module_Writer::Gen_Class_Members() {
  if (Net->Nb_Inputs > 0 || Net->Nb_Outputs > 0) {
    w("protected:\n");
    if (Net->Nb_Inputs > 0) {
      w("    int\tNb_Input_Pl;\n");
      w("    int\tNb_Input_Tr;\n");
      w("    int\tOrig_Nb[%d];\n", Net->Nb_Inputs);
      w("    int\t*Orig_Table[%d];\n", Net->Nb_Inputs);
      w("    int\t**Ext_H;\n");
      w("    int\t**Ext_Y;\n");
      w("    bool\tIs_Input_Trans[%d];\n", Net->Nb_Trans);
      w("    bool\tIs_Input_Place[%d];\n", Net->Nb_Places);
    }
    if (Net->Nb_Outputs > 0) {
      w("    int Dest_Nb[%d];\n", Net->Nb_Outputs);
      w("    %sRouting_Server **Dest_Table[%d];\n", lib(), Net->Nb_Outputs);
    }
  }
  w("\n");
  w("protected:\n");
  w("\n");
  Gen_EQ_Variables();
}

void Module_Writer::Gen_Class_Prototype() {
  const char* c = S(Class);
  w("#ifndef %s_H\n", c);
  w("#define %s_H\n", c);
  w("\n");
  w("#include \"%sEQ_Thing.hh\"\n", lib());
  w("\n");
  Gen_EQ_Defines();
  w("\n");
  w("class %s : public %sEQ_Thing {\n", c, lib());
  w("\n");
  Gen_Class_Methods();
  Gen_Class_Members();
  w("};\n");
  w("#endif /* ifndef %s_H */\n", c);
}

void Module_Writer::Gen_Class_Proxy_Prototype() {
  const char* c = S(Class);
  w("#ifndef P_%s_H\n", c);
  w("#define P_%s_H\n", c);
  w("\n");
  w("#include \"Proxy/PCM_EQ_Thing.hh\"\n");
  w("\n");
  w("class Cluster;\n");
  w("class DSim_Obj;\n");
  w("class Proxy_Comm_Object;\n");
  w("class PCM_Routing_Server;\n");
  w("\n");
  w("class P_%s : public PCM_EQ_Thing {\n", c);
  w("\n");
  w("public:\n");
  w("  P_%s(Cluster *destination):PCM_EQ_Thing(destination,\"%s\"){};\n", c, c);
  w("  P_%s(DSim_Obj *local_obj):PCM_EQ_Thing(local_obj){};\n", c);
  w("  P_%s(Entity_Id &id,Cluster *c,Proxy_Comm_Object *pco):", c);
  w("PCM_EQ_Thing(id,c,pco){};\n");
  w("\n");
  w("};\n");
  w("#endif /* ifndef P_%s_H */\n", c);
}

void Module_Writer::Gen_Class_Cons_Des() {
  const char* c = S(Class);
  w("// Constructor\n");
  w("%s::%s( Time activation, Time step, int stacksize  ) :\n", c, c);
  // "step" is the net's time unit; the module ticks Scale times in it.
  w("\t%sEQ_Thing( activation, step / %d, stacksize ) {\n", lib(), ctx.Scale);
  w("  Init( );\n");
  w("}\n");
  w("\n");
  w("// Destructor\n");
  w("%s::~%s( ) {\n", c, c);
  w("  Terminate( );\n");
  w("}\n");
  w("\n");
}

void Module_Writer::Gen_Input_Handling() {
  const char* pre = S(ctx.Prefix);
  const int n = Net->Nb_Inputs;
  w("int  %s::Register_Input( int Input_Id )\n", S(Class));
  w("{\n");
  w("\n");
  w("  int Res;\n");
  w("\n");
  w("  if ( ( Input_Id <= 0 ) || ( Input_Id > %d ) ) {\n", n);
  w("    printf(\"Error. Illegal Input number (%%d).\\n\", Input_Id );\n");
  w("    return -1;\n");
  w("  }\n");
  if (n > 0) {
    w("  else {\n");
    w("    Input_Id--;\n");
    w("    switch( Input_Id ) {\n");
    std::vector<std::pair<char, int>> entries;
    for (const pn::AddressPtr& a : Net->Inputs) entries.push_back(entry_of(a.get()));
    bool any_t = false, any_p = false;
    for (auto& e : entries) {
      any_t = any_t || e.first == 'T';
      any_p = any_p || e.first == 'P';
    }
    if (any_t) {
      w("    // transitions\n");
      for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].first == 'T') w("    case %2d:\n", static_cast<int>(i));
      w("      Orig_Nb[ Input_Id ]++;\n");
      w("      Orig_Table[ Input_Id ] = \n");
      w("        (int*) realloc( Orig_Table[ Input_Id ], \n");
      w("        (unsigned) Orig_Nb[ Input_Id ] ");
      w("* sizeof( int ) );\n");
      w("      Orig_Table[ Input_Id] [ Orig_Nb[ Input_Id ]-1 ] ");
      w("= Nb_Input_Pl;\n");
      w("      // Creation and initialization of the virtual ");
      w("place counter\n");
      w("      Ext_H = (int**)realloc( Ext_H,");
      w("(unsigned)(1+Nb_Input_Pl)*sizeof(int*) );\n");
      w("      Ext_H[Nb_Input_Pl] = ");
      w("(int*)calloc( %sBUF_SIZE, sizeof(int) );\n", pre);
      w("      for( int i=0; i<%sBUF_SIZE; i++ )\n", pre);
      w("        Ext_H[Nb_Input_Pl][i] = 0;\n");
      w("      Res = 2 * Nb_Input_Pl;\n");
      w("      Nb_Input_Pl ++;\n");
      w("    break;\n");
    }
    if (any_p) {
      w("    // places\n");
      for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].first == 'P') w("    case %2d:\n", static_cast<int>(i));
      w("      if ( Orig_Nb[ Input_Id ] > 0 ) {\n");
      w("        // already connected. Just return channel number\n");
      w("        Res = 2 * Orig_Table[ Input_Id ][0] + 1;\n");
      w("      }\n");
      w("      else {\n");
      w("        Orig_Nb[ Input_Id ]++;\n");
      w("        Orig_Table[ Input_Id ] = \n");
      w("          (int*) realloc( Orig_Table[ Input_Id ], \n");
      w("          (unsigned) Orig_Nb[ Input_Id ] * sizeof( int ) );\n");
      w("        Orig_Table[ Input_Id] [ Orig_Nb[ Input_Id ]-1 ] ");
      w("= Nb_Input_Tr;\n");
      w("        // Creation and initialization of the virtual ");
      w("transition counter\n");
      w("        Ext_Y = (int**)realloc( Ext_Y,");
      w("(unsigned)(1+Nb_Input_Tr)*sizeof(int*) );\n");
      w("        Ext_Y[Nb_Input_Tr] = ");
      w("(int*)calloc( %sBUF_SIZE, sizeof(int) );\n", pre);
      w("        for( int i=0; i<%sBUF_SIZE; i++ )\n", pre);
      w("          Ext_Y[Nb_Input_Tr][i] = 0;\n");
      w("        Res = 2 * Nb_Input_Tr + 1;\n");
      w("        Nb_Input_Tr ++;\n");
      w("      }\n");
      w("    break;\n");
    }
    w("    } // switch\n");
    w("\n");
    for (size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].first != 'T' && entries[i].first != 'P') continue;
      w("    if ( Input_Id == %d )\n", static_cast<int>(i));
      w(entries[i].first == 'T' ? "      Is_Input_Trans[%d] = TRUE;\n"
                                : "      Is_Input_Place[%d] = TRUE;\n",
        entries[i].second);
    }
    w("\n");
    w("    return Res;\n");
    w("  }\n");
  }
  w("}\n");
  w("\n");
}

void Module_Writer::Gen_Output_Handling() {
  const int n = Net->Nb_Outputs;
  w("bool %s::Register_Output( int Output_Id, %sRouting_Server *Dest )\n", S(Class), lib());
  w("{\n");
  w("\n");
  w("  bool Res;\n");
  w("\n");
  w("  if ( ( Output_Id <= 0 ) || ( Output_Id > %d ) ) {\n", n);
  w("    printf(\"Error. Illegal Output number (%%d).\\n\", Output_Id );\n");
  w("    Res = FALSE;\n");
  w("  }\n");
  w("  else {\n");
  w("    Output_Id--;\n");
  w("    switch( Output_Id ) {\n");
  std::vector<char> kinds;
  for (const pn::AddressPtr& a : Net->Outputs) kinds.push_back(entry_of(a.get()).first);
  auto grow = [&](const char* ind) {
    w("%sDest_Table[ Output_Id ] = \n", ind);
    w("%s  (%sRouting_Server**) realloc( Dest_Table[ Output_Id ], \n", ind, lib());
    w("%s  (unsigned) ( 1 + Dest_Nb[ Output_Id ] ) * ", ind);
    w("sizeof( %sRouting_Server* ) );\n", lib());
  };
  if (std::count(kinds.begin(), kinds.end(), 'T') > 0) {
    w("    /* transitions */\n");
    for (size_t i = 0; i < kinds.size(); ++i)
      if (kinds[i] == 'T') w("    case %2d:\n", static_cast<int>(i));
    grow("      ");
    w("      Dest_Table[ Output_Id ] [ Dest_Nb[ Output_Id ] ] = Dest;\n");
    w("      Dest_Nb[ Output_Id ]++;\n");
    w("      Res = TRUE;\n");
    w("    break;\n");
  }
  if (std::count(kinds.begin(), kinds.end(), 'P') > 0) {
    w("    /* places */\n");
    for (size_t i = 0; i < kinds.size(); ++i)
      if (kinds[i] == 'P') w("    case %2d:\n", static_cast<int>(i));
    w("      if ( Dest_Nb[ Output_Id ] > 0 ) {\n");
    w("      // already connected. Just return channel number\n");
    w("      printf(\"Error. Cannot have more than one output \");\n");
    w("      printf(\"for place output (#%%d).\\n\", Output_Id );\n");
    w("      Res = FALSE;\n");
    w("      }\n");
    w("      else {\n");
    grow("      ");
    w("      Dest_Table[ Output_Id] [ Dest_Nb[ Output_Id ] ] = Dest;\n");
    w("      Dest_Nb[ Output_Id ]++;\n");
    w("      Res = TRUE;\n");
    w("      }\n");
    w("    break;\n");
  }
  w("    }\n");
  w("  }\n");
  w("\n");
  w("  return Res;\n");
  w("}\n");
}

}  // namespace orv::gen
