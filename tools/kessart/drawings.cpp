#include "drawings.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "common/value_list.h"

namespace orv::pn {

namespace {

// A backslash and the letter n: the viewers read it as a line break.
void suffix(FILE* out, const std::string& name, bool fullname) {
  if (fullname && !name.empty()) std::fprintf(out, "\\n%s", name.c_str());
}

void node_block(FILE* out, const char* shape, const char* color, bool double_border) {
  std::fprintf(out, "\tnode [\tshape = %s,\n", shape);
  std::fputs("\t\tstyle = filled,\n", out);
  if (double_border) std::fputs("\t\tperipheries = 2,\n", out);
  std::fprintf(out, "\t\tcolor = %s ];\n", color);
}

void weight_label(FILE* out, int weight) {
  if (weight > 1) std::fprintf(out, " [ label=%d ]", weight);
}

}  // namespace

void dump_dot_code(FILE* out, const PetriNet& net, bool fullname) {
  std::fputs("digraph \"Petri Net\" {", out);
  if (!net.File_Name.empty()) {
    std::fputs("\tgraph [\n", out);
    std::fprintf(out, "\tlabel = \"%s\",\n", net.File_Name.c_str());
    std::fputs("\trankdir = LR", out);
    std::fputs("];\n", out);
  }
  node_block(out, "box", "red", false);
  for (int t = 0; t < net.Nb_Trans; ++t) {
    std::fprintf(out, "\tTr%d", t + 1);
    std::fprintf(out, " [\tlabel=\"T%d", t + 1);
    suffix(out, net.T[t].Name, fullname);
    std::fputs("\" ];\n", out);
  }
  node_block(out, "circle", "lightblue", false);
  for (int p = 0; p < net.Nb_Places; ++p) {
    std::fprintf(out, "\tPl%d", p + 1);
    std::fprintf(out, " [\tlabel=\"P%d", p + 1);
    suffix(out, net.P[p].Name, fullname);
    std::fputs("\" ];\n", out);
  }
  node_block(out, "box", "gray50", true);
  for (size_t s = 0; s < net.S.size(); ++s) {
    const SUBM_DES& sub = net.S[s];
    std::fprintf(out, "\tSub%d", static_cast<int>(s) + 1);
    std::fprintf(out, " [\tlabel=\"S%d", sub.Subm_Id);
    if (!sub.Name.empty()) std::fprintf(out, "\\n%s", sub.Name.c_str());
    std::fprintf(out, "\\n%s\" ];\n", sub.File_Name.c_str());
  }
  for (int t = 0; t < net.Nb_Trans; ++t)
    for (const LINK_LIST& a : net.T[t].Outputs) {
      std::fprintf(out, "\tTr%d -> Pl%d", t + 1, a.Dest + 1);
      weight_label(out, a.Weight);
      std::fputs(";\n", out);
    }
  for (int p = 0; p < net.Nb_Places; ++p)
    for (const LINK_LIST& a : net.P[p].Outputs) {
      std::fprintf(out, "\tPl%d -> Tr%d", p + 1, a.Dest + 1);
      weight_label(out, a.Weight);
      std::fputs(";\n", out);
    }
  std::fputs("}\n", out);
}

namespace {

// One daVinci node with its outgoing edges. Edge identifiers pair the
// source's 0-based index with the target's 1-based number.
void davinci_node(FILE* out, char kind, int index, const std::string& name, bool fullname,
                  const char* color, const char* shape, const ARC_LIST& arcs, char target) {
  std::fprintf(out, "\tl(\"%c%d\",n(\"\",[\n", kind, index + 1);
  std::fprintf(out, "\t\ta(\"OBJECT\",\"%c%d", kind, index + 1);
  suffix(out, name, fullname);
  std::fputs("\"),\n", out);
  std::fprintf(out, "\t\ta(\"COLOR\",\"%s\"),\n", color);
  std::fprintf(out, "\t\ta(\"_GO\",\"%s\")],\n", shape);
  if (arcs.empty()) {
    std::fputs("\t\t[]", out);
  } else {
    std::fputs("\t\t[\n", out);
    for (size_t k = 0; k < arcs.size(); ++k) {
      int dest = arcs[k].Dest + 1;
      std::fprintf(out, "\t\t\tl(\"%c%d->%c%d\",e(\"\",[],r(\"%c%d\")))", kind, index, target, dest,
                   target, dest);
      if (k + 1 < arcs.size()) std::fputs(",", out);
      std::fputs("\n", out);
    }
    std::fputs("\t\t]", out);
  }
}

}  // namespace

void dump_daVinci_code(FILE* out, const PetriNet& net, bool fullname) {
  std::fputs("[\n", out);
  for (int t = 0; t < net.Nb_Trans; ++t) {
    davinci_node(out, 'T', t, net.T[t].Name, fullname, "red", "box", net.T[t].Outputs, 'P');
    // No comma after the last node of the list, places included.
    bool last = t + 1 == net.Nb_Trans && net.Nb_Places == 0;
    std::fputs(last ? "    ))\n" : "    )),\n", out);
  }
  for (int p = 0; p < net.Nb_Places; ++p) {
    davinci_node(out, 'P', p, net.P[p].Name, fullname, "lightblue", "circle", net.P[p].Outputs,
                 'T');
    std::fputs("))", out);
    std::fputs(p + 1 == net.Nb_Places ? "\n" : ",\n", out);
  }
  std::fputs("]\n", out);
}

void dump_sorvic_code(FILE* out, const PetriNet& net) {
  int nt = net.Nb_Trans, np = net.Nb_Places;
  std::fputs("GRAPH TYPE (0 = UNDIRECTED, 1 = DIRECTED), ", out);
  std::fputs("DEFAULTS (NODE DIAMETER, NODE BORDER, ARC WIDTH, ", out);
  std::fputs("HILITED ARC WIDTH, FONTSIZE):\n", out);
  std::fputs("1 20 2 1 2 12\n", out);
  // The arcs listed below, not the ones declared: arcs to submodel ports
  // are declared but not drawn.
  long arcs = 0;
  for (const TR_DES& t : net.T) arcs += static_cast<long>(t.Outputs.size() + t.Inputs.size());
  std::fputs("NUMBER OF ARCS:\n", out);
  std::fprintf(out, "%ld\n", arcs);
  std::fputs("NUMBER OF NODES:\n", out);
  std::fprintf(out, "%d\n", np + nt);
  std::fputs("****************************************\n", out);
  std::fputs("DESCRIPTION OF ARCS:\n", out);
  std::fputs("ARC NAME, TAIL NODE NAME, HEAD NODE NAME, COLOR, WIDTH, HIWIDTH, FONTSIZE\n", out);
  std::fputs("COST, MIN CAP, MAX CAP, LENGTH, Q WEIGHT, Q ORIGIN, WEIGHT\n", out);
  std::fputs("\n", out);
  long arc = 0;
  for (int t = 0; t < nt; ++t) {
    for (const LINK_LIST& a : net.T[t].Outputs) {
      std::fprintf(out, "%ld %d %d 0 0 0 0\n", ++arc, t + 1, nt + a.Dest + 1);
      std::fputs("0.0 0.0 0.0 0.0 0.0 0.0 0.0\n", out);
    }
    for (const LINK_LIST& a : net.T[t].Inputs) {
      std::fprintf(out, "%ld %d %d 0 0 0 0\n", ++arc, nt + a.Dest + 1, t + 1);
      std::fputs("0.0 0.0 0.0 0.0 0.0 0.0 0.0\n", out);
    }
  }
  std::fputs("****************************************\n", out);
  std::fputs("DESCRIPTION OF NODES:\n", out);
  std::fputs("NODE NAME, POSSIBLE TYPE (1 = SINK, 2 = SOURCE)\n", out);
  std::fputs("X, Y, COLOR, DIAMETER, BORDER, FONTSIZE\n", out);
  std::fputs("DEMAND\n", out);
  std::fputs("\n", out);
  for (int t = 0; t < nt; ++t) {
    std::fprintf(out, "%d\n", t + 1);
    std::fputs("0 0 10 20 1 12\n", out);
    std::fputs("0.0\n", out);
  }
  for (int p = 0; p < np; ++p) {
    std::fprintf(out, "%d\n", nt + p + 1);
    std::fputs("0 0 3 30 1 12\n", out);
    std::fputs("0.0\n", out);
  }
}

namespace {

struct Point {
  double x = 0, y = 0;
};

// One input arc and one output arc, both joining the same transition.
bool is_recycling_place(const PL_DES& p) {
  return p.Inputs.size() == 1 && p.Outputs.size() == 1 && p.Inputs[0].Dest == p.Outputs[0].Dest;
}

void vund_law(FILE* out, const LAW_DESC* law) {
  if (law && law->Name == 'C')
    std::fprintf(out, " %f", law->Parameters.empty() ? 0.0 : law->Parameters[0]);
  else
    std::fputs(" 0", out);
}

}  // namespace

void dump_vund_code(FILE* out, const PetriNet& net, bool fullname, const char* tool) {
  int nt = net.Nb_Trans, np = net.Nb_Places;
  std::fprintf(out, "# vund code generated by %s\n", tool);
  std::fprintf(out, "# Date: %s\n", todays_date().c_str());
  std::vector<Point> tp(nt), pp(np);
  for (int i = 0; i < nt; ++i) {
    double a = 2 * std::numbers::pi * i / nt;
    tp[i] = {250 + 200 * std::cos(a), 250 + 200 * std::sin(a)};
  }
  auto valid = [nt](const LINK_LIST& a) { return a.Dest >= 0 && a.Dest < nt; };
  for (int i = 0; i < np; ++i) {
    const PL_DES& p = net.P[i];
    if (is_recycling_place(p) && valid(p.Inputs[0])) {
      pp[i] = {tp[p.Inputs[0].Dest].x, tp[p.Inputs[0].Dest].y + 60};
      continue;
    }
    Point sum;
    int n = 0;
    for (const ARC_LIST* arcs : {&p.Inputs, &p.Outputs})
      for (const LINK_LIST& a : *arcs)
        if (valid(a)) {
          sum.x += tp[a.Dest].x;
          sum.y += tp[a.Dest].y;
          ++n;
        }
    pp[i] = n == 0 ? Point{500.0 + i, 500.0 - i} : Point{sum.x / n, sum.y / n};
  }
  for (int i = 0; i < nt; ++i) {
    std::fprintf(out, "Tr %d ", i);
    std::fprintf(out, "%6.2f %6.2f %6.2f %6.2f", tp[i].x, tp[i].y, tp[i].x + 5, tp[i].y + 30);
    std::fprintf(out, " \"T%d", i + 1);
    suffix(out, net.T[i].Name, fullname);
    std::fputs("\" ", out);
    vund_law(out, net.T[i].Tr_Law.get());
    std::fputs("\n", out);
  }
  for (int i = 0; i < np; ++i) {
    std::fprintf(out, "Pl %d ", i);
    std::fprintf(out, "%6.2f %6.2f %6.2f %6.2f", pp[i].x - 15, pp[i].y - 15, pp[i].x + 15,
                 pp[i].y + 15);
    std::fprintf(out, " \"P%d", i + 1);
    suffix(out, net.P[i].Name, fullname);
    std::fputs("\" ", out);
    vund_law(out, net.P[i].Pl_Law.get());
    std::fprintf(out, " %d\n", net.P[i].Init_Pop);
  }
  for (int i = 0; i < nt; ++i)
    for (const LINK_LIST& a : net.T[i].Outputs) {
      if (a.Dest < 0 || a.Dest >= np) continue;
      std::fprintf(out, "TrPl %d %d %d", i, a.Dest, a.Weight);
      std::fprintf(out, " %6.2f %6.2f %6.2f %6.2f\n", tp[i].x, tp[i].y, pp[a.Dest].x,
                   pp[a.Dest].y);
    }
  for (int i = 0; i < np; ++i)
    for (const LINK_LIST& a : net.P[i].Outputs) {
      if (!valid(a)) continue;
      std::fprintf(out, "PlTr %d %d %d", i, a.Dest, a.Weight);
      std::fprintf(out, " %6.2f %6.2f %6.2f %6.2f\n", pp[i].x, pp[i].y, tp[a.Dest].x,
                   tp[a.Dest].y);
    }
}

}  // namespace orv::pn
