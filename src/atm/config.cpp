#include <cmath>
#include <cstdint>
#include <string>

#include "atm/atm.h"

namespace orv::atm {

namespace {

// Far beyond any network of the kind: the tables would not fit otherwise.
constexpr int kMaxSize = 1 << 16;
constexpr std::int64_t kMaxTable = std::int64_t{1} << 24;
constexpr int kMaxDiscrete = 1 << 20;

bool report(int rc) {
  if (rc == 1) return true;
  if (rc == EOF)
    std::fprintf(stderr, "%s: error: unexpected end of the configuration.\n", kTag);
  else
    std::fprintf(stderr, "%s: error: number expected in the configuration.\n", kTag);
  return false;
}

// Read a number; on failure say whether the text ended or held a word.
bool read_num(FILE* in, int& v) { return report(std::fscanf(in, "%d", &v)); }
bool read_num(FILE* in, double& v) { return report(std::fscanf(in, "%lf", &v)); }

bool read_reals(FILE* in, int n, std::vector<double>& p) {
  for (int i = 0; i < n; ++i) {
    double v;
    if (!read_num(in, v)) return false;
    p.push_back(v);
  }
  return true;
}

}  // namespace

LawPtr Get_Law(FILE* in, int Session_Nb, FILE* msg, bool& bad) {
  char word[3] = {0, 0, 0};
  if (std::fscanf(in, "%2s", word) != 1) {
    std::fprintf(msg, "%s: Error reading law name for session number %d.\n", kTag, Session_Nb);
    return nullptr;
  }
  LawPtr law = New_Law();
  law->Name = word[0];
  std::vector<double> p;
  switch (word[0]) {
    case 'B': case 'C': case 'E': case 'G': case 'g':
      if (!read_reals(in, 1, p)) return nullptr;
      break;
    case 'H':
      // Stored as the law notation does: the count of reals first.
      if (!read_reals(in, 2, p)) return nullptr;
      p.insert(p.begin(), 2.0);
      break;
    case 'R': case 'U':
      if (!read_reals(in, 2, p)) return nullptr;
      break;
    case 'O':
      if (!read_reals(in, 3, p)) return nullptr;
      break;
    case 'D': {
      int n;
      if (!read_num(in, n)) return nullptr;
      if (n < 1 || n > kMaxDiscrete) {
        std::fprintf(stderr, "%s: error: bad number of values (%d) in the law of session %d.\n",
                     kTag, n, Session_Nb);
        return nullptr;
      }
      p.push_back(n);
      if (!read_reals(in, 2 * n, p)) return nullptr;
      break;
    }
    case 'P': {
      if (!read_reals(in, 1, p)) return nullptr;
      LawPtr a = Get_Law(in, Session_Nb, msg, bad);
      if (!a) return nullptr;
      LawPtr b = Get_Law(in, Session_Nb, msg, bad);
      if (!b) return nullptr;
      law->Law_Parameters.push_back(std::move(a));
      law->Law_Parameters.push_back(std::move(b));
      break;
    }
    default:
      // The numbers that follow cannot be told apart from what comes next:
      // the rest of the text would be read out of step.
      std::fprintf(msg, "%s: unknown law name: %c\n", kTag, word[0]);
      bad = true;
      break;
  }
  if (!p.empty()) law->Parameters = std::move(p);
  return law;
}

bool Read_Config(FILE* in, CONFIG& cf, FILE* msg) {
  if (!read_num(in, cf.NbSwitch)) return false;
  if (cf.NbSwitch < 1 || cf.NbSwitch > kMaxSize) {
    std::fprintf(stderr, "%s: error: bad number of switches (%d).\n", kTag, cf.NbSwitch);
    return false;
  }
  const int W = cf.NbSwitch;
  cf.SwitchSize.assign(W, 0);
  cf.capaIn.assign(W, 0);
  cf.capaOut.assign(W, 0);
  cf.Layer.assign(W, 0);
  for (int k = 0; k < W; ++k) {
    int& size = cf.SwitchSize[k];
    if (!read_num(in, size) || !read_num(in, cf.capaIn[k]) ||
        !read_num(in, cf.capaOut[k]))
      return false;
    if (size < 1 || size > kMaxSize) {
      std::fprintf(stderr, "%s: error: bad size of switch %d (%d).\n", kTag, k, size);
      return false;
    }
    int n = 1;
    while (n <= size) n *= 2;
    if (n / 2 != size)
      std::fprintf(msg, "%s: Error: size of switch %d (=%d) is not a power of 2.\n", kTag, k, size);
    cf.Layer[k] = static_cast<int>(std::rint(std::log(size) / std::log(2.0))) - 1;
  }
  if (!read_num(in, cf.NbSession)) return false;
  const int N = cf.NbSession;
  std::int64_t cells = 0;
  for (int k = 0; k < W; ++k) cells += cf.Layer[k] + 2;
  if (N < 1 || cells * N > kMaxTable || std::int64_t{W} * N > kMaxTable / 4) {
    std::fprintf(stderr, "%s: error: bad number of sessions (%d).\n", kTag, N);
    return false;
  }
  // The count is only a claim: each session's rows are made as it is read,
  // so a short text cannot make the tables of millions of sessions.
  cf.SourceLaw.clear();
  cf.NbThrough.clear();
  cf.NumSw.clear();
  cf.route.clear();
  cf.Nsessions.assign(W, 0);
  cf.NumSe.assign(W, {});
  bool bad_law = false;
  for (int s = 0; s < N; ++s) {
    cf.SourceLaw.emplace_back();
    cf.NbThrough.push_back(0);
    cf.NumSw.emplace_back(W, 0);
    for (int k = 0; k < W; ++k) cf.NumSe[k].push_back(0);
    std::vector<std::vector<int>>& rows = cf.route.emplace_back(W);
    for (int k = 0; k < W; ++k) {
      rows[k].assign(cf.Layer[k] + 2, -1);
      rows[k].back() = 0;
    }
    cf.SourceLaw[s] = Get_Law(in, s, msg, bad_law);
    if (!cf.SourceLaw[s]) return false;
    if (bad_law) {
      std::fprintf(stderr, "%s: error: the law of session %d cannot be read.\n", kTag, s);
      return false;
    }
    if (!read_num(in, cf.NbThrough[s])) return false;
    if (cf.NbThrough[s] < 1 || cf.NbThrough[s] > W) {
      std::fprintf(stderr, "%s: error: session %d crosses %d switches.\n", kTag, s,
                   cf.NbThrough[s]);
      return false;
    }
    for (int t = 0; t < cf.NbThrough[s]; ++t) {
      int w, a, b;
      if (!read_num(in, w) || !read_num(in, a) || !read_num(in, b))
        return false;
      const int k = w - 1;
      if (k < 0 || k >= W) {
        std::fprintf(stderr,
                     "%s: error: session %d crosses switch %d of the configuration, which"
                     " numbers its switches from 1 to %d.\n",
                     kTag, s, w, W);
        return false;
      }
      if (cf.crosses(s, k)) {
        std::fprintf(stderr, "%s: error: session %d crosses switch %d twice.\n", kTag, s, k);
        return false;
      }
      const int size = cf.SwitchSize[k], L = cf.Layer[k];
      if (a < 1 || a > size || b < 1 || b > size) {
        std::fprintf(stderr, "%s: error: ports %d and %d of session %d are not ports of switch %d.\n",
                     kTag, a, b, s, k);
        return false;
      }
      cf.NumSe[k][s] = cf.Nsessions[k]++;
      cf.NumSw[s][t] = k;
      std::vector<int>& rt = cf.route[s][k];
      rt[0] = a;
      int r = a - 1;
      for (int l = 0; l < L; ++l) {
        const int bit = 1 << l;
        r = (r & ~bit) | ((b - 1) & bit);
        // A size that is no power of two can send a row past the last one.
        if (r + 1 > size) {
          std::fprintf(stderr, "%s: error: session %d leaves switch %d (size %d) at row %d.\n",
                       kTag, s, k, size, r + 1);
          return false;
        }
        rt[l + 1] = r + 1;
      }
      rt[L + 1] = b;
    }
  }
  return true;
}

}  // namespace orv::atm
