#include "common/egl_writer.h"

#include <cstdio>

#include "common/address_write.h"
#include "common/exact_real.h"
#include "common/law.h"
#include "common/pnl_writer.h"

namespace orv {

namespace {

// What this writes is read back (by dunvesk's user, yarrisk's simulator,
// cadrix's chain): every real keeps the digits that make it the same double.
void law(const LAW_DESC* l) {
  if (l) Write_Law_Exact(Out_File, *l);
}

void quoted(const std::string& s) {
  if (!s.empty()) std::fprintf(Out_File, "\"%s\" ", s.c_str());
}

// Output lists are in list order (last written first); writing them back in
// file order keeps the place numbering of a graph that is read again.
template <class F>
void each_output(const TRANS_DESC& t, F f) {
  for (auto it = t.Outputs.rbegin(); it != t.Outputs.rend(); ++it)
    if (*it) f(**it);
}

}  // namespace

void Write_Init_Mark_EG(const PLACE_DESC& place) {
  std::fprintf(Out_File, "%1d ", place.Init_Pop);
  for (double lag : place.Lag_Times) {
    Print_Exact_Real(Out_File, 8, 4, lag);
    std::fputc(' ', Out_File);
  }
}

int Write_EG_As_PNL(const EventGraph& g, const std::string& path, const std::string& toolname) {
  if (!Open_Out_File(path)) return 0;
  TOOLNAME = toolname;
  Write_Header("pnl", toolname);
  std::fprintf(Out_File, "Transitions <- %d\n", g.Size);
  std::fprintf(Out_File, "Places <- %d\n", g.Nb_Places);
  for (size_t i = 0; i < g.T.size(); ++i) {
    const TRANS_DESC* t = g.T[i].get();
    if (!t) continue;
    std::fprintf(Out_File, "T %d ", static_cast<int>(i) + 1);
    // Data alone would read back as the name.
    if (t->Name.empty() && !t->Data.empty())
      std::fputs(" \"\" ", Out_File);
    else
      Write_Opt_String(t->Name, 4);
    Write_Opt_String(t->Data, 4);
    law(t->Trans_Law.get());
    each_output(*t, [](const PLACE_DESC& p) {
      std::fputs(", ", Out_File);
      std::fprintf(Out_File, "%d ", p.Place_Id + 1);
    });
    std::fputs(";\n", Out_File);
  }
  for (size_t i = 0; i < g.P.size(); ++i) {
    const PLACE_DESC* p = g.P[i].get();
    if (!p) continue;
    std::fprintf(Out_File, "P %d ", static_cast<int>(i) + 1);
    Write_Opt_String(p->Name, 4);
    law(p->Place_Law.get());
    Write_Init_Mark_EG(*p);
    std::fputs(", ", Out_File);
    std::fprintf(Out_File, "%d ", p->Trans_Id);
    std::fputs(";\n", Out_File);
  }
  return Close_Out_File(path);
}

int Write_EG_As_EGL(const EventGraph& g, const std::string& path, const std::string& toolname) {
  if (!Open_Out_File(path)) return 0;
  TOOLNAME = toolname;
  Write_Header("egl", toolname);
  std::fprintf(Out_File, "Size <- %d\n", g.Size);
  for (size_t i = 0; i < g.T.size(); ++i) {
    const TRANS_DESC* t = g.T[i].get();
    if (!t) continue;
    std::fprintf(Out_File, "%d ", static_cast<int>(i) + 1);
    quoted(t->Name);
    quoted(t->Data);
    law(t->Trans_Law.get());
    each_output(*t, [](const PLACE_DESC& p) {
      std::fputs("\n\t, ", Out_File);
      std::fprintf(Out_File, "%d ", p.Trans_Id);
      quoted(p.Name);
      quoted(p.Data1);
      quoted(p.Data2);
      law(p.Place_Law.get());
      Write_Init_Mark_EG(p);
    });
    std::fputs(";\n", Out_File);
  }
  return Close_Out_File(path);
}

}  // namespace orv
