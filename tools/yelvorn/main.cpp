// yelvorn: a state trajectory (time, state pairs) as an xfig drawing, one
// filled box per stay, coloured by the state.
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"

namespace {

const char* const kProg = "yelvorn";

int Map_Color(int State) {
  static const int colors[] = {2, 1, 4, 6, 3, 5, 24, 31, 0};
  return State >= 0 && State <= 8 ? colors[State] : 7;
}

// xfig coordinates are ints: a point beyond them cannot be drawn.
bool coordinate(double v, int& out) {
  const double f = std::floor(v);
  if (!(f >= INT_MIN && f <= INT_MAX)) return false;
  out = static_cast<int>(f);
  return true;
}

bool Write_Fig_Rectangle(double Start, double End, int State, double X_Scale, double Y_Scale) {
  const int K = Map_Color(State);
  int x1, x2, h;
  if (!coordinate(Start * 25 * X_Scale, x1) || !coordinate(End * 25 * X_Scale, x2) ||
      !coordinate(Y_Scale * 500, h))
    return false;
  std::printf("2 2 0 1 %d %d 0 0 20 0.0 0 0 -1 0 0 5\n", K, K);
  std::printf("\t\t");
  std::printf("%d %d ", x1, 0);
  std::printf("%d %d ", x1, h);
  std::printf("%d %d ", x2, h);
  std::printf("%d %d ", x2, 0);
  std::printf("%d %d ", x1, 0);
  std::printf("\n");
  return true;
}

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>] ", kProg);
  std::printf("[-nmax <int>] [-tmax <real>]\n\t[-title <string>] [-?] [-h]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  std::string in_name, out_name, title;
  bool has_title = false;
  int nmax = 1000;
  double tmax = 1000.0, xscale = 1.0, yscale = 1.0;
  orv::Args a(argc, argv, kProg, stdout);
  const orv::Args::Standard standard{usage, "1.0"};
  // A value that reads but lies outside the option's range.
  auto refuse = [&](const char* kind, const char* opt) {
    std::printf("%s: %s expected after %s\n", kProg, kind, opt);
    a.fail();
    a.stop();
  };
  while (a.next()) {
    if (a.is("-f")) {
      a.take_string(in_name);
    } else if (a.is("-o")) {
      a.take_string(out_name);
    } else if (a.is("-title")) {
      has_title = a.take_string(title);
    } else if (a.is("-nmax")) {
      if (a.take_int(nmax) && nmax < 1) refuse("integer", "-nmax");
    } else if (a.is("-tmax")) {
      if (a.take_real(tmax) && std::isnan(tmax)) refuse("real", "-tmax");
    } else if (a.is("-xscale")) {
      // Negative or zero scales fold or flatten the drawing.
      if (a.take_real(xscale) && !(xscale > 0 && std::isfinite(xscale)))
        refuse("real", "-xscale");
    } else if (a.is("-yscale")) {
      if (a.take_real(yscale) && !(yscale > 0 && std::isfinite(yscale)))
        refuse("real", "-yscale");
    } else if (a.is("-debug")) {
      // accepted for the other tools' sake; nothing to trace
    } else {
      a.standard(standard);
    }
  }
  if (a.failed()) return out.finish(-1);
  if (a.done()) return out.finish(0);

  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!in_name.empty()) {
    owned.reset(std::fopen(in_name.c_str(), "r"));
    if (!owned) {
      const int e = errno;
      std::fprintf(stderr, "%s: Error reading Markov chain.\n", kProg);
      std::fprintf(stderr, "%s: cannot open trajectory %s: %s\n", kProg, in_name.c_str(),
                   std::strerror(e));
      return out.finish(-1);
    }
    in = owned.get();
  }
  // The drawing goes to a temporary that takes the name only when the run
  // succeeds, so "-o" naming the input still reads the input whole.
  if (!out_name.empty() && !out.redirect_stdout(out_name)) return out.finish(-1);

  const std::string where = in_name.empty() ? "standard input" : in_name;
  // A pair that does not read before the end of the input: a file of
  // another kind, or a broken trajectory.
  auto no_pair = [&](long long pair) {
    char word[41] = "";
    if (std::fscanf(in, "%40s", word) != 1) return false;
    std::fprintf(stderr, "%s: error: %s: pair %lld is no (time, state) pair at \"%s\".\n",
                 kProg, where.c_str(), pair, word);
    return true;
  };
  double prev_t = 0.0, t0 = 0.0;
  int prev_s = 0;
  bool read = std::fscanf(in, "%lf%d", &prev_t, &prev_s) == 2;
  if (!read && no_pair(1)) return out.finish(-1);

  std::printf("#FIG 3.1\n");
  std::printf("Landscape\n");
  std::printf("Center\n");
  std::printf("Metric\n");
  std::printf("1200 2\n");

  t0 = prev_t;
  long long count = 1;
  while (read && count <= nmax && prev_t <= tmax) {
    double t = 0.0;
    int s = 0;
    read = std::fscanf(in, "%lf%d", &t, &s) == 2;
    if (!read) {
      if (no_pair(count + 1)) return out.finish(-1);
      break;
    }
    if (t <= tmax &&
        !Write_Fig_Rectangle(prev_t - t0, t - t0, prev_s, xscale, yscale)) {
      std::fprintf(stderr, "%s: error: time %f lies beyond the drawing's coordinates.\n", kProg,
                   t);
      return out.finish(-1);
    }
    prev_t = t;
    prev_s = s;
    ++count;
  }
  if (has_title) {
    int y;
    if (!coordinate(750 * yscale, y)) {
      std::fprintf(stderr, "%s: error: -yscale %f puts the title beyond the drawing's coordinates.\n",
                   kProg, yscale);
      return out.finish(-1);
    }
    std::printf("4 0 -1 0 0 0 16 0.0000 6 150 400 0 %d %s\001\n", y, title.c_str());
  }
  return out.finish(0);
}
