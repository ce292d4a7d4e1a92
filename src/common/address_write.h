// Writers of a PNL address and of an optional string, shared by the PNL
// writer and the Petri-net reader's messages.
#pragma once

#include <cstdio>
#include <string>

#include "common/petri_net.h"

namespace orv {

// Where the PNL/EGL writers print; standard output unless a top-level writer
// has a file open.
extern FILE* Out_File;

// The address chain in PNL notation (S2/IN1, P4, T1); "<no-address>" for null.
void Write_Address(FILE* out, const pn::ADDRESS* a);
void Write_Address(const pn::ADDRESS* a);

// Nothing for an empty string; else the string wrapped by mode: 1 "(...)",
// 2 "[...]", 3 "\"...\"", 4 " \"...\" ", anything else bare.
void Write_Opt_String(FILE* out, const std::string& s, int mode);
void Write_Opt_String(const std::string& s, int mode);

}  // namespace orv
