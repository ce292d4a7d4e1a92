// What the PNL grammar's actions and the scanner share with the reader.
// Internal to the Petri-net library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/petri_net.h"

namespace orv::pn {

struct Decl {
  int t_size = 0;
  int p_size = 0;
  int duration = 0;
};

// A quoted string as scanned, without its quotes: where it is in the text,
// which stays put for the whole parse (up to its closing quote, the only
// quote it holds). Plain data, for the parser's stack, whose values are all
// one word long: a step of the parser then copies a value as it was stored.
struct Word {
  const char* data;
  std::string_view view() const {
    const char* end = data;
    while (*end != '"') ++end;
    return {data, static_cast<size_t>(end - data)};
  }
};

struct PlaceHead {
  int number = 0;  // as written
  Text name;
};

// Everything the accepted file declared, handed to Parse_PN once the parse
// has returned (nothing is scanned after the start rule is reduced, so the
// order of messages is the same as building the net inside that action).
struct Parsed {
  Decl decl{};
  LISTES lists;
  BINDING_LIST exports;
  BINDING_LIST bindings;
  // Found while parsing, so that nothing runs through the lists again: each
  // kind's objects are numbered 1, 2, ... as written (the list may be the
  // table as it stands).
  bool t_in_order = false;
  bool p_in_order = false;
  bool routings = false;  // some place declared one
};

// Laws nest only through IPP, the grammar's one right recursion, so this
// keeps the parser stack within about 10000 entries; deeper nesting would
// exhaust the C stack in the recursive law code.
inline constexpr int Max_Law_Nesting = 2500;

// One parse: each file read (submodel files included) has its own, so line
// numbers count per file and nested reads do not disturb the outer one.
struct Reader {
  void* scanner = nullptr;
  int lineno = 1;            // the file's PNL_lineno
  std::string_view text;     // last token scanned, in the text scanned, for messages
  bool failed = false;       // a builder refused an object: no net
  int open_laws = 0;         // IPP laws begun and not yet closed
  size_t text_size = 0;      // length of the text scanned
  LISTES lists;              // the objects parsed so far
  BINDING_LIST exports;      // the exports parsed so far
  BINDING_LIST bindings;     // the binding statements parsed so far
  std::optional<Parsed> parsed;
  std::string path;          // the file read, for messages ("" standard input)
  bool told_dos = false;     // the DOS line-end note has been given
  int routing_line = 0;      // line of the last routing read
  // The parts of the statement being read (see the grammar).
  PlaceHead head;                       // of the place being read
  POPULATION pop;                       // its tokens
  std::vector<double> reals;            // values of the real lists being read
  std::vector<double> first, second;    // a law's lists, kept for their room
  LINK_LIST link;                       // the arc being read
  std::vector<LINK_LIST> arcs;          // the statement's arcs, in written order
  std::vector<AddressPtr> addresses;    // a routing's, in written order
  bool t_in_order = true;               // see Parsed
  bool p_in_order = true;
  int last = 0;               // the token just scanned
  int before[3] = {0, 0, 0};  // and the three before it, latest first
  long objects_left = 0;  // transitions, places and arcs this read may still build
  bool routings = false;
  Decl decl;
};

// Thrown, after its message, when a read passes one of its bounds
// (pnl_reader.h): nothing more of that read is worth building.
struct Read_Bound {};

// Counts n more initial tokens or repeated values against the read's bound.
void Count_Values(Reader& rd, long n);

// Reports the bound on objects passed (at the file being read) and ends the
// read.
[[noreturn]] void Objects_Bound(const Reader& rd);

// Counts n more objects against the read's bound as they are read, so that
// a file of too many is refused before it is all built.
inline void Count_Objects(Reader& rd, long n) {
  rd.objects_left -= n;
  if (rd.objects_left < 0) Objects_Bound(rd);
}

// "the file F" or "standard input", for messages.
std::string Input_Name(const std::string& path);

}  // namespace orv::pn
