#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "common/law.h"
#include "gossamel.h"

namespace gossamel {

using orv::atm::CONFIG;

namespace {

void session_text(FILE* f, int L, bool first) {
  std::fprintf(f, "Transitions <- %d\n", 2 * L + 9);
  std::fprintf(f, "Places <- %d\n", 2 * L + 6);
  if (first) std::fprintf(f, "Submodel 1 \"leaky-Bucket\" FILE \"session_leaky.pnl\";\n");
  std::fprintf(f, "T 1 \"input_transition \" C 1.0000 , 1 ;\n");
  std::fprintf(f, "P %d \"BufferIn\" C 0.0000 0 ", 1);
  std::fprintf(f, "Competition Priority [%d %d],%d,%d;\n", 2, 3, 2, 3);
  std::fprintf(f, "T %d \"LossBufferIn\" C 0.0000 ;\n", 3);
  std::fprintf(f, "T %d \"AcceptBufferIn\" C 0.0000 , %d;\n", 2, 2);
  std::fprintf(f, "P %d \"WaitService0\" C 1.0000 0 , %d ;\n", 2, 4);
  std::fprintf(f, "T %d \"BeginService0\" C 0.0000 , %d;\n", 4, 3);
  std::fprintf(f, "P %d \"InService0\" C 0.0000 0 , %d ;\n", 3, 5);
  std::fprintf(f, "T %d \"EndService0\" C 1.0000 , %d;\n", 5, 4);
  for (int i = 1; i <= L; ++i) {
    const int p = 2 * i + 2, q = 2 * i + 4;
    std::fprintf(f, "P %d \"WaitService%d\" C 0.0000 0 , %d ;\n", p, i, q);
    std::fprintf(f, "T %d \"BeginService%d\" C 0.0000 , %d;\n", q, i, p + 1);
    std::fprintf(f, "P %d \"InService%d\" C 0.0000 0 , %d ;\n", p + 1, i, q + 1);
    std::fprintf(f, "T %d \"EndService%d\" C 1.0000 , %d;\n", q + 1, i, p + 2);
  }
  const int p = 2 * L + 4, q = 2 * L + 6;
  std::fprintf(f, "P %d \"RouteOut\" C 0.0000 0 Competition Priority [%d %d],%d,%d;\n", p, q,
               q + 1, q, q + 1);
  std::fprintf(f, "T %d \"LossBufferOut\"C 0.0000 ;\n", q + 1);
  std::fprintf(f, "T %d \"AcceptBufferOut\" C 0.0000 , %d;\n", q, p + 1);
  std::fprintf(f, "P %d \"WaitServiceFinal\" C 1.0000 0 , %d ;\n", p + 1, q + 2);
  std::fprintf(f, "T %d \"BeginServiceFinal\" C 0.0000 , %d;\n", q + 2, p + 2);
  std::fprintf(f, "P %d \"InServiceFinal\" C 0.0000 0 , %d ;\n", p + 2, q + 3);
  std::fprintf(f, "T %d \"OutputTransition \" C 1.0000 ;\n", q + 3);
  if (first) {
    std::fprintf(f, "# Bindings\n#\n");
    std::fprintf(f, "S1/OUT1, T1;\n");
  }
  std::fprintf(f, "# Exports\n#\n");
  std::fprintf(f, "Export\n");
  if (first)
    std::fprintf(f, "IN1 is S1/IN1; \n");
  else
    std::fprintf(f, "IN%d is T%d;\n", 1, 1);
  std::fprintf(f, "IN%d is T%d;\n", 2, 2);
  std::fprintf(f, "IN%d is T%d;\n", 3, 4);
  std::fprintf(f, "IN%d is T%d;\n", 4, 2 * L + 6);
  std::fprintf(f, "IN%d is T%d;\n", 5, 2 * L + 8);
  std::fprintf(f, "OUT%d is T%d;\n", 1, 5);
  std::fprintf(f, "OUT%d is T%d;\n", 2, 2 * L + 9);
  for (int i = 1; i <= L; ++i) {
    std::fprintf(f, "IN%d is T%d;\n", 5 + i, 2 * i + 4);
    std::fprintf(f, "OUT%d is T%d;\n", 2 + i, 2 * i + 5);
  }
}

// The crossing index (from 0) of switch k in the path of session s.
int crossing(const CONFIG& cf, int s, int k) {
  for (int t = 0; t < cf.NbThrough[s]; ++t)
    if (cf.NumSw[s][t] == k) return t;
  return -1;
}

}  // namespace

FILE* Open_Output(orv::Output_Guard& out, const std::string& path) {
  FILE* f = out.open(path, false);
  if (!f) {
    std::fprintf(stderr, "%s: cannot open file %s\n", Invocation.c_str(), path.c_str());
    out.report_open_failure(path);
    Open_Failed = true;
  }
  return f;
}

void Write_Session_Models(orv::Output_Guard& out, const CONFIG& cf, const Options& o) {
  std::set<std::string> written;
  char name[64];
  for (int s = 0; s < cf.NbSession; ++s)
    for (int t = 0; t < cf.NbThrough[s]; ++t) {
      const int k = cf.NumSw[s][t];
      const int L = cf.Layer[k];
      if (o.allfiles) {
        std::snprintf(name, sizeof name, "session%d_%d.pnl", s, k);
      } else {
        std::snprintf(name, sizeof name, "session_%d%s.pnl", L + 1, t == 0 ? "+source" : "");
        if (!written.insert(name).second) continue;
      }
      FILE* f = Open_Output(out, name);
      if (!f) continue;
      session_text(f, L, t == 0);
      out.close(f);
    }
}

void Write_Switch_Model(FILE* f, const CONFIG& cf, int k, const Options& o) {
  const int L = cf.Layer[k], n = cf.SwitchSize[k];
  std::fprintf(f, "Transitions <- %d\n", 0);
  std::fprintf(f, "Places <- %d\n", (L + 4) * n);
  std::vector<int> sessions;
  for (int s = 0; s < cf.NbSession; ++s)
    if (cf.crosses(s, k)) sessions.push_back(s);
  for (int s : sessions) {
    const int S = 1000 * k + s;
    if (o.allfiles) {
      std::fprintf(f, "Submodel %d \"session%d_%d\"  File \"session%d_%d.pnl\";\n", S, s, k, s, k);
    } else {
      std::fprintf(f, "Submodel %d \"session%d_%d\"  ", S, s, k);
      std::fprintf(f, "File \"session_%d%s.pnl\";\n", L + 1, crossing(cf, s, k) == 0 ? "+source" : "");
    }
  }
  int number = 0;
  // The sessions whose route holds row r + 1 in column c, with their port.
  auto users = [&](int c, int r, int in, bool blank) {
    std::vector<int> who;
    for (int s : sessions)
      if (cf.route[s][k][c] == r + 1) who.push_back(s);
    for (int s : who) std::fprintf(f, "S%d/IN%d ", 1000 * k + s, in);
    std::fprintf(f, blank ? "] " : "]");
    for (int s : who) std::fprintf(f, ", S%d/IN%d ", 1000 * k + s, in);
    std::fprintf(f, ";\n");
  };
  for (int r = 0; r < n; ++r) {
    std::fprintf(f, "P %d \"bufferIn\" C 0.0000 %d ", ++number, cf.capaIn[k]);
    std::fprintf(f, "[ 0.0 REP %d ] ", cf.capaIn[k]);
    std::fprintf(f, "Competition Priority [");
    users(0, r, 2, false);
  }
  for (int r = 0; r < n; ++r) {
    std::fprintf(f, "P %d \"serverIn\" C 0.0000 1 0.0 Competition Priority [", ++number);
    users(0, r, 3, true);
  }
  for (int l = 0; l < L; ++l)
    for (int r = 0; r < n; ++r) {
      std::fprintf(f, "P %d \"serv_%d_%d\" ", ++number, l, r);
      std::fprintf(f, "C 0.0000 1 0.0 Competition Priority [");
      users(l + 1, r, l + 6, true);
    }
  for (int r = 0; r < n; ++r) {
    std::fprintf(f, "P %d \"bufferOut\" C 0.0000 %d ", ++number, cf.capaOut[k]);
    std::fprintf(f, "[ 0.0 REP %d ] ", cf.capaOut[k]);
    std::fprintf(f, "Competition Priority [");
    users(L + 1, r, 4, true);
  }
  for (int r = 0; r < n; ++r) {
    std::fprintf(f, "P %d \"serverOut\" C 0.0000 1 0.0 Competition Priority [", ++number);
    users(L + 1, r, 5, true);
  }
  for (int s : sessions) {
    const int S = 1000 * k + s;
    const std::vector<int>& rt = cf.route[s][k];
    const int a = rt[0], b = rt[L + 1];
    std::fprintf(f, "S%d/OUT%d , P %d , P %d ;\n", S, 1, a, a + n);
    for (int j = 1; j <= L; ++j) std::fprintf(f, "S%d/OUT%d , P %d;\n", S, j + 2, rt[j] + (j + 1) * n);
    std::fprintf(f, "S%d/OUT%d , P %d , P %d ;\n", S, 2, b + (L + 2) * n, b + (L + 3) * n);
  }
  // An export list may not be empty: a switch no session crosses has none.
  if (sessions.empty()) return;
  std::fprintf(f, "Export \n");
  int i = 0;
  for (int s : sessions) std::fprintf(f, "IN%d is S%d/IN%d ;\n", ++i, 1000 * k + s, 1);
  i = 0;
  for (int s : sessions) std::fprintf(f, "OUT%d is S%d/OUT%d ;\n", ++i, 1000 * k + s, 2);
}

void Write_Top_Network(FILE* f, const CONFIG& cf) {
  const int N = cf.NbSession;
  int M = 0;
  for (int s = 0; s < N; ++s) M += cf.NbThrough[s] - 1;
  std::fprintf(f, "#\n");
  std::fprintf(f, "# PNL code generated by %s\t  */\n", "gossamel");
  std::fprintf(f, "#\n");
  std::fprintf(f, "Transitions <- %d\n", 2 * N + M);
  std::fprintf(f, "Places <- %d\n", 3 * N + 2 * M);
  std::fprintf(f, "# the submodels are the switches.\n");
  for (int k = 0; k < cf.NbSwitch; ++k)
    std::fprintf(f, "Submodel %2d \"Switch%d\" File \"switch%d.pnl\";\n", k, k, k);
  std::vector<int> port(cf.NbSwitch, 0);
  // Per session, the places its crossings deliver to, in path order.
  std::vector<std::vector<int>> dest(N);
  int t = 1, p = 1;
  for (int s = 0; s < N; ++s) {
    std::fprintf(f, "# Session #%d\n", s);
    std::fprintf(f, "T %2d \"Srce%d\" ", t, s);
    orv::Write_Law(f, *cf.SourceLaw[s]);
    std::fprintf(f, ", P %d, P %d;\n", p, p + 1);
    std::fprintf(f, "P %2d \"RecycleSrce%d\" ", p, s);
    std::fprintf(f, "C 0.0 1 0.0, T %d;\n", t);
    const int k0 = cf.NumSw[s][0];
    std::fprintf(f, "P %2d \"Srce%d_OutBuf\" ", p + 1, s);
    std::fprintf(f, "C 0.0 0, S%d/IN%d;\n", k0, ++port[k0]);
    ++t;
    p += 2;
    for (int j = 1; j < cf.NbThrough[s]; ++j) {
      const int k = cf.NumSw[s][j];
      dest[s].push_back(p);
      std::fprintf(f, "P %2d \"Link_%d_%d_InBuf\" ", p, s, k);
      std::fprintf(f, "C 0.0 0, T %d;\n", t);
      std::fprintf(f, "T %2d \"Link_%d_%d\" ", t, s, k);
      std::fprintf(f, "C 0.0, P %d;\n", p + 1);
      std::fprintf(f, "P %2d \"Link_%d_%d_OutBuf\" ", p + 1, s, k);
      std::fprintf(f, "C 0.0 0, S%d/IN%d;\n", k, ++port[k]);
      ++t;
      p += 2;
    }
    dest[s].push_back(p);
    std::fprintf(f, "P %2d \"Sink%d_InBuf\" ", p, s);
    std::fprintf(f, "C 0.0 0, T %d;\n", t);
    std::fprintf(f, "T %2d \"Sink%d\" ", t, s);
    std::fprintf(f, "C 0.0;\n");
    ++t;
    ++p;
  }
  std::fprintf(f, "# Connections\n");
  std::fill(port.begin(), port.end(), 0);
  for (int s = 0; s < N; ++s) {
    std::fprintf(f, "# For session %d:\n", s);
    for (int j = 0; j < cf.NbThrough[s]; ++j) {
      const int k = cf.NumSw[s][j];
      std::fprintf(f, "S%d/OUT%d, P %d;\n", k, ++port[k], dest[s][j]);
    }
  }
}

}  // namespace gossamel
