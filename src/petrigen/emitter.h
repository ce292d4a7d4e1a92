// What every writer of generated text holds: the file it writes, the net and
// the run's context; and the pieces of the firing-count recursion that the
// equational module and the discrete-time fragments both write.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/petri_net.h"
#include "petrigen/gen_tables.h"

namespace orv::gen {

// How a recursion text is spelled. The module indents its statements, counts
// ticks in EQ_Time and keeps a row per tick in its routing tables; the
// fragments write at the margin, count in Time and keep one row.
struct Recursion_Style {
  const char* Indent = "  ";
  const char* Time = "EQ_Time";
  const char* H_Row = "[EQ_Time]";  // between H_<p> and its output index
  const char* Draw = "(*U_0_1)()";  // one uniform draw
  bool Token_Headings = true;       // a comment before each place's token count
};

// Text written with printf formats on one file.
class Text_Writer {
 public:
  explicit Text_Writer(FILE* out = nullptr) : Out(out) {}

 protected:
  FILE* Out;

  __attribute__((format(printf, 2, 3))) void w(const char* fmt, ...) const;
  static const char* S(const std::string& s) { return s.c_str(); }
};

class Emitter : public Text_Writer {
 public:
  Emitter(Gen_Context& context, const pn::PetriNet& net, FILE* out = nullptr)
      : Text_Writer(out), ctx(context), Net(&net) {}

 protected:
  Gen_Context& ctx;
  const pn::PetriNet* Net;
  const pn::LAYER_STRUCT* Layers = nullptr;

  const pn::PL_DES& Pl(int p) const { return Net->P[p]; }
  const pn::TR_DES& Tr(int t) const { return Net->T[t]; }
  bool valid_t(int t) const { return t >= 0 && t < Net->Nb_Trans; }
  bool valid_p(int p) const { return p >= 0 && p < Net->Nb_Places; }
  char routing_of(int p) const { return Pl(p).Routing ? Pl(p).Routing->Type : 0; }
};

// A writer of the firing-count recursion: the equational module or the
// discrete-time fragments.
class Recursion_Writer : public Emitter {
 public:
  using Emitter::Emitter;
  virtual ~Recursion_Writer() = default;
  Recursion_Writer(const Recursion_Writer&) = delete;
  Recursion_Writer& operator=(const Recursion_Writer&) = delete;

 protected:
  int Max_Dependency = 1;
  int Max_Read = 1;  // longest read-back kept in a slot variable
  int Class_Mode = 0;
  Recursion_Style Style;

  // The delays d in 1..Max_Read that the text keeps a slot variable for.
  std::vector<int> delays() const;
  // Initial tokens of pl usable at tick d: lags are in time units. The reader
  // gives a place one lag per initial token.
  int available(const pn::PL_DES& pl, int d) const;

  // The tokens arrived in p so far, into Nb_Tokens (Count_<p> when the
  // routing of p already counted them in this pass).
  void Write_Token_Total(int p, int Initial) const;
  // What routing policy type of p hands to its outputs when it counts every
  // token once a pass (none, cyclic, random); false for the others.
  bool Write_Counted_Routing(int p, char type) const;
  void Write_Token_Reduction(const pn::LINK_LIST& a) const;
  // The firings of t that its input place q allows, as an expression.
  virtual void Write_Partial_Enabling(int q, int t, int weight, int Initial) = 0;
  // A priority place p hands t its share: the firings all of t's input
  // places allow, in tokens of weight `weight`.
  void Write_Priority_Share(int p, int t, int weight, int Initial);
  // The draws of the sources for the next half of the buffer.
  void Write_Source_Draw() const;
  // Every non-source count starts the tick at the previous tick's value.
  void Write_Count_Copies(int Initial) const;
  // The slot variables and row pointers move on with the tick.
  void Write_Slot_Steps() const;
  // The initialised tables of firing times, source flags and transition
  // names, their sizes prefixed by pre.
  void Write_Transition_Tables(const char* pre) const;
};

}  // namespace orv::gen
