#!/usr/bin/env python3
"""Writes the expected drawings of kessart's fixtures into expected/.

The nets are written out here by hand (not read from the PNL files): arc
lists in the order the reader keeps them (last written first; a
transition's input places in decreasing number). The vund date line is a
pattern. Run from this folder: python3 derive.py
"""
import math

DATE = r"<<RE>># Date:  \d{1,2} [A-Z][a-z]{2} \d\d at \d\d:\d\d:\d\d"

# transition: (name, law letter, first parameter, outputs [(place, weight)], inputs [place])
# place: (name, law letter, first parameter, tokens, outputs [(transition, weight)], inputs [transition])
SHOP = dict(
    file="shop.pnl",
    T=[("assemble", "C", 2.0, [(1, 1), (0, 2)], [2, 1]),
       ("test", "E", 1.0, [(2, 1)], [0]),
       ("", "C", 0.5, [], [2])],
    P=[("parts", "C", 0.0, 3, [(1, 2)], [0]),
       ("idle", "C", 1.5, 1, [(0, 1)], [0]),
       ("", "E", 0.5, 0, [(0, 1), (2, 1)], [1]),
       ("spare", "C", 0.0, 0, [], [])],
    S=[])

# Arcs to and from the submodel ports are not the objects' arcs.
TOP = dict(
    file="top.pnl",
    T=[("source", "E", 0.5, [], [1]),
       ("relay", "C", 0.0, [], [0])],
    P=[("between", "C", 0.0, 0, [(1, 1)], []),
       ("done", "C", 0.0, 1, [(0, 1)], [])],
    S=[(2, "second", "server.pnl"), (1, "first", "server.pnl")])

# examples/ring.pnl, the documentation's example.
RING = dict(
    file="examples/ring.pnl",
    T=[("t1", "E", 1.0, [(1, 1)], [0]), ("t2", "E", 2.0, [(2, 1)], [1]), ("t3", "C", 0.5, [(0, 1)], [2])],
    P=[("p1", "C", 0.0, 1, [(0, 1)], [2]), ("p2", "C", 0.0, 0, [(1, 1)], [0]),
       ("p3", "C", 0.0, 0, [(2, 1)], [1])],
    S=[])

NOPLACE = dict(file="noplace.pnl", T=[("a", "C", 1.0, [], []), ("b", "C", 1.0, [], [])],
               P=[], S=[])


def sfx(name, full):
    return "\\n" + name if full and name else ""


def node_block(shape, color, double=False):
    s = "\tnode [\tshape = %s,\n\t\tstyle = filled,\n" % shape
    if double:
        s += "\t\tperipheries = 2,\n"
    return s + "\t\tcolor = %s ];\n" % color


def dot(net, full, file_name):
    s = 'digraph "Petri Net" {'
    if file_name:
        s += '\tgraph [\n\tlabel = "%s",\n\trankdir = LR];\n' % file_name
    s += node_block("box", "red")
    for i, t in enumerate(net["T"]):
        s += '\tTr%d [\tlabel="T%d%s" ];\n' % (i + 1, i + 1, sfx(t[0], full))
    s += node_block("circle", "lightblue")
    for i, p in enumerate(net["P"]):
        s += '\tPl%d [\tlabel="P%d%s" ];\n' % (i + 1, i + 1, sfx(p[0], full))
    s += node_block("box", "gray50", True)
    for k, (num, name, f) in enumerate(net["S"]):
        s += '\tSub%d [\tlabel="S%d%s\\n%s" ];\n' % (k + 1, num, "\\n" + name if name else "", f)
    for i, t in enumerate(net["T"]):
        for d, w in t[3]:
            s += "\tTr%d -> Pl%d%s;\n" % (i + 1, d + 1, " [ label=%d ]" % w if w > 1 else "")
    for i, p in enumerate(net["P"]):
        for d, w in p[4]:
            s += "\tPl%d -> Tr%d%s;\n" % (i + 1, d + 1, " [ label=%d ]" % w if w > 1 else "")
    return s + "}\n"


def davinci(net, full):
    nodes = []
    for kind, objs, color, shape, target, out in (("T", net["T"], "red", "box", "P", 3),
                                                  ("P", net["P"], "lightblue", "circle", "T", 4)):
        for i, o in enumerate(objs):
            s = '\tl("%s%d",n("",[\n' % (kind, i + 1)
            s += '\t\ta("OBJECT","%s%d%s"),\n' % (kind, i + 1, sfx(o[0], full))
            s += '\t\ta("COLOR","%s"),\n\t\ta("_GO","%s")],\n' % (color, shape)
            edges = ['\t\t\tl("%s%d->%s%d",e("",[],r("%s%d")))' % (kind, i, target, d + 1, target, d + 1)
                     for d, _ in o[out]]
            s += "\t\t[]" if not edges else "\t\t[\n" + ",\n".join(edges) + "\n\t\t]"
            s += "    ))" if kind == "T" else "))"
            nodes.append(s)
    return "[\n" + "".join(n + ",\n" for n in nodes[:-1]) + (nodes[-1] + "\n" if nodes else "") + "]\n"


def sorvic(net):
    nt, np_ = len(net["T"]), len(net["P"])
    arcs = []
    for i, t in enumerate(net["T"]):
        arcs += [(i + 1, nt + d + 1) for d, _ in t[3]]
        arcs += [(nt + p + 1, i + 1) for p in t[4]]
    s = ("GRAPH TYPE (0 = UNDIRECTED, 1 = DIRECTED), DEFAULTS (NODE DIAMETER, NODE BORDER, ARC WIDTH, "
         "HILITED ARC WIDTH, FONTSIZE):\n1 20 2 1 2 12\n")
    s += "NUMBER OF ARCS:\n%d\nNUMBER OF NODES:\n%d\n" % (len(arcs), nt + np_)
    s += "*" * 40 + "\nDESCRIPTION OF ARCS:\n"
    s += "ARC NAME, TAIL NODE NAME, HEAD NODE NAME, COLOR, WIDTH, HIWIDTH, FONTSIZE\n"
    s += "COST, MIN CAP, MAX CAP, LENGTH, Q WEIGHT, Q ORIGIN, WEIGHT\n\n"
    for k, (a, b) in enumerate(arcs):
        s += "%d %d %d 0 0 0 0\n0.0 0.0 0.0 0.0 0.0 0.0 0.0\n" % (k + 1, a, b)
    s += "*" * 40 + "\nDESCRIPTION OF NODES:\nNODE NAME, POSSIBLE TYPE (1 = SINK, 2 = SOURCE)\n"
    s += "X, Y, COLOR, DIAMETER, BORDER, FONTSIZE\nDEMAND\n\n"
    for i in range(nt):
        s += "%d\n0 0 10 20 1 12\n0.0\n" % (i + 1)
    for j in range(np_):
        s += "%d\n0 0 3 30 1 12\n0.0\n" % (nt + j + 1)
    return s


def vund(net, full):
    nt = len(net["T"])
    tp = [(250 + 200 * math.cos(2 * math.pi * i / nt), 250 + 200 * math.sin(2 * math.pi * i / nt))
          for i in range(nt)]
    pp = []
    for i, p in enumerate(net["P"]):
        ins, outs = p[5], [d for d, _ in p[4]]
        if len(ins) == 1 and len(outs) == 1 and ins[0] == outs[0]:
            pp.append((tp[ins[0]][0], tp[ins[0]][1] + 60))
        elif not ins and not outs:
            pp.append((500 + i, 500 - i))
        else:
            ts = ins + outs
            pp.append((sum(tp[t][0] for t in ts) / len(ts), sum(tp[t][1] for t in ts) / len(ts)))
    law = lambda letter, v: " %f" % v if letter == "C" else " 0"
    s = "# vund code generated by kessart\n" + DATE + "\n"
    for i, t in enumerate(net["T"]):
        x, y = tp[i]
        s += 'Tr %d %6.2f %6.2f %6.2f %6.2f "T%d%s" %s\n' % (i, x, y, x + 5, y + 30, i + 1,
                                                           sfx(t[0], full), law(t[1], t[2]))
    for i, p in enumerate(net["P"]):
        x, y = pp[i]
        s += 'Pl %d %6.2f %6.2f %6.2f %6.2f "P%d%s" %s %d\n' % (i, x - 15, y - 15, x + 15, y + 15, i + 1,
                                                              sfx(p[0], full), law(p[1], p[2]), p[3])
    for i, t in enumerate(net["T"]):
        for d, w in t[3]:
            s += "TrPl %d %d %d %6.2f %6.2f %6.2f %6.2f\n" % (i, d, w, *tp[i], *pp[d])
    for i, p in enumerate(net["P"]):
        for d, w in p[4]:
            s += "PlTr %d %d %d %6.2f %6.2f %6.2f %6.2f\n" % (i, d, w, *pp[i], *tp[d])
    return s


def main():
    out = {}
    for net, stem in ((SHOP, "shop"), (TOP, "top"), (NOPLACE, "noplace")):
        for full in (False, True):
            tag = stem + ("-full" if full else "")
            out[tag + ".dot"] = dot(net, full, net["file"])
            out[tag + ".davinci"] = davinci(net, full)
            out[tag + ".vund"] = vund(net, full)
        out[stem + ".sorvic"] = sorvic(net)
    out["doc-example.out"] = dot(RING, True, RING["file"])
    out["shop-stdin.dot"] = dot(SHOP, False, "")
    for name, text in out.items():
        with open("expected/" + name, "w") as f:
            f.write(text)


main()
