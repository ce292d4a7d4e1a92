// yelvorn's drawing: one xfig box per stay of the trajectory, coloured by
// the state.
#include "drawing.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace orv::yelvorn {

namespace {

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

}  // namespace

int Draw_Trajectory(FILE* in, const std::string& where, const Drawing_Options& o) {
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
  if (!read && no_pair(1)) return -1;

  std::printf("#FIG 3.1\n");
  std::printf("Landscape\n");
  std::printf("Center\n");
  std::printf("Metric\n");
  std::printf("1200 2\n");

  t0 = prev_t;
  long long count = 1;
  while (read && count <= o.nmax && prev_t <= o.tmax) {
    double t = 0.0;
    int s = 0;
    read = std::fscanf(in, "%lf%d", &t, &s) == 2;
    if (!read) {
      if (no_pair(count + 1)) return -1;
      break;
    }
    if (t <= o.tmax &&
        !Write_Fig_Rectangle(prev_t - t0, t - t0, prev_s, o.xscale, o.yscale)) {
      std::fprintf(stderr, "%s: error: time %f lies beyond the drawing's coordinates.\n", kProg,
                   t);
      return -1;
    }
    prev_t = t;
    prev_s = s;
    ++count;
  }
  if (o.has_title) {
    int y;
    if (!coordinate(750 * o.yscale, y)) {
      std::fprintf(stderr, "%s: error: -yscale %f puts the title beyond the drawing's coordinates.\n",
                   kProg, o.yscale);
      return -1;
    }
    std::printf("4 0 -1 0 0 0 16 0.0000 6 150 400 0 %d %s\001\n", y, o.title.c_str());
  }
  return 0;
}

}  // namespace orv::yelvorn
