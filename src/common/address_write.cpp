#include "common/address_write.h"

namespace orv {

FILE* Out_File = stdout;

void Write_Address(FILE* out, const pn::ADDRESS* a) {
  if (!a) {
    std::fputs("<no-address>", out);
    return;
  }
  for (; a; a = a->Next.get()) {
    switch (a->Type) {
      case 'I': std::fputs("IN", out); break;
      case 'O': std::fputs("OUT", out); break;
      default: std::fputc(a->Type, out); break;
    }
    bool zero_based = a->Type == 'P' || a->Type == 'T';
    std::fprintf(out, "%d", zero_based ? a->Number + 1 : a->Number);
    if (a->Next) std::fputc('/', out);
  }
}

void Write_Address(const pn::ADDRESS* a) { Write_Address(Out_File, a); }

void Write_Opt_String(FILE* out, const std::string& s, int mode) {
  if (s.empty()) return;
  switch (mode) {
    case 1: std::fprintf(out, "(%s)", s.c_str()); break;
    case 2: std::fprintf(out, "[%s]", s.c_str()); break;
    case 3: std::fprintf(out, "\"%s\"", s.c_str()); break;
    case 4: std::fprintf(out, " \"%s\" ", s.c_str()); break;
    default: std::fputs(s.c_str(), out); break;
  }
}

void Write_Opt_String(const std::string& s, int mode) { Write_Opt_String(Out_File, s, mode); }

}  // namespace orv
