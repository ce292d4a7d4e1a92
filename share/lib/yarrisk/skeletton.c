/*
 * Simulator skeleton of yarrisk's compiled mode.
 *
 * The code generator writes four fragments into the work directory, which
 * yarrisk puts on the include path:
 *   egc_graph_parameters.h   sizes, number of events, buffer, waiting times
 *   egc_declarations.h       laws, lags, inputs in evaluation order
 *   egc_initial_evolution.c  one round of events while initial tokens last
 *   egc_evolution.c          one round once every look-back is in the buffer
 * This file draws the tables of firing and holding times, runs the rounds
 * and prints the results in the form of the in-process simulator. Its draws
 * are those of the in-process simulator too: the system generator, never
 * seeded, the same generators and the same order of tables.
 */
/* random() and gettimeofday() under a strict C standard too. */
#define _DEFAULT_SOURCE
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/time.h>

#include "egc_graph_parameters.h"

/* The date of an event that depends on nothing. */
#define EPS_DATE (-1e12)

static double U_0_1(void) { return (double)random() / 2147483647.0; }

/* Log-based laws skip a zero draw rather than take its log. */
static double nonzero_U(void)
{
  double u = U_0_1();
  while (u == 0.0) u = U_0_1();
  return u;
}

static double par(const double *P, int n, int i) { return i < n ? P[i] : 0.0; }

static double Exponential(double m) { return (0.0 - log(nonzero_U())) * m; }

static double Geometric(double p)
{
  if (p == 0.0) return 0.0;
  if (p >= 1.0) {
    fprintf(stderr, "Error: Geometric with proba=1. 0.0 assumed.\n");
    return 0.0;
  }
  return floor(Exponential(-1.0 / log(p)));
}

static double Erlang(double k, double m)
{
  double q = nonzero_U(), log_sum = 0.0, count;
  for (count = 1; count < k; count += 1) {
    q *= nonzero_U();
    if (q < 1e-280) {
      log_sum += log(q);
      q = 1.0;
    }
  }
  return (0.0 - (log_sum + log(q))) * m / k;
}

static double HyperExpo(const double *P, int n)
{
  double r = U_0_1();
  int last = 0, i = 0;
  if (n < 3 || !(P[0] > 0)) return 0.0;
  while ((double)(last + 2) < P[0] && last + 4 < n) last += 2;
  while (i < last && r > P[i + 1]) {
    r = r - P[i + 1];
    i = i + 2;
  }
  return Exponential(P[i + 2]);
}

static double Discrete(const double *P, int np)
{
  double r = U_0_1(), rn;
  int held, n, i;
  if (np == 0) return 0.0;
  rn = rint(P[0]);
  held = (np - 1) / 2;
  if (!(rn >= 1)) return 0.0;
  n = rn < (double)held ? (int)rn : held;
  if (n == 0) return 0.0;
  i = n + 1;
  while (i < 2 * n && P[i] < r) {
    r = r - P[i];
    i = i + 1;
  }
  return P[i - n];
}

static double Normal(double m, double s)
{
  double x, y, w;
  do {
    x = 2.0 * U_0_1() - 1.0;
    y = 2.0 * U_0_1() - 1.0;
    w = x * x + y * y;
  } while (w > 1.0 || w == 0.0);
  return m + x * s * sqrt(-2.0 * log(w) / w);
}

static double LogNormal(double m, double s)
{
  double ratio = s / m;
  double z = log(ratio * ratio + 1.0);
  return exp(Normal(log(m) - z / 2.0, sqrt(z)));
}

/* n draws of the law into v. */
static void draw_iid_table(double *v, int n, int law, const double *P, int np)
{
  int i;
  for (i = 0; i < n; i++) {
    switch (law) {
      case 'B': v[i] = U_0_1() < par(P, np, 0) ? 1.0 : 0.0; break;
      case 'C': v[i] = par(P, np, 0); break;
      case 'E': v[i] = Exponential(par(P, np, 0)); break;
      case 'G': v[i] = 1 + Geometric(par(P, np, 0)); break;
      case 'g': v[i] = Geometric(par(P, np, 0)); break;
      case 'H': v[i] = HyperExpo(P, np); break;
      case 'L': v[i] = LogNormal(par(P, np, 0), par(P, np, 1)); break;
      case 'N': v[i] = Normal(par(P, np, 0), par(P, np, 1)); break;
      case 'R': v[i] = Erlang(par(P, np, 0), par(P, np, 1)); break;
      case 'U': v[i] = par(P, np, 0) + U_0_1() * (par(P, np, 1) - par(P, np, 0)); break;
      case 'W':
        v[i] = pow((0.0 - log(nonzero_U())) / par(P, np, 0), 1.0 / par(P, np, 1));
        break;
      case 'p': v[i] = (pow(nonzero_U(), -1.0 / par(P, np, 1)) - 1.0) * par(P, np, 0); break;
      case 'D': v[i] = Discrete(P, np); break;
      default:
        printf("Warning: unsupported law: %c. 0 values assumed.\n", law);
        for (; i < n; i++) v[i] = 0.0;
        return;
    }
  }
}

#include "egc_declarations.h"

/* Dates: event k of transition t at X[t * BUF_SIZE + k % BUF_SIZE]. */
static double *X;
/* Draw tables; a constant law's table holds its one value (step 0). */
static double *Fire[NB_TRANS];
static int Fire_Step[NB_TRANS];
static double *Hold[NB_PLACES + 1];
static int Hold_Step[NB_PLACES + 1];

/* Redraws every table that is not constant: each transition in index
   order, then its output places. */
static void Fill_Tables(void)
{
  int t, o;
  for (t = 0; t < NB_TRANS; t++) {
    if (Fire_Step[t])
      draw_iid_table(Fire[t], BUF_SIZE, Trans_Law[t], Law_Params + Trans_Law_Start[t],
                     Trans_Law_Count[t]);
    for (o = Out_Start[t]; o < Out_Start[t + 1]; o++) {
      int q = Out_Place[o];
      if (Hold_Step[q])
        draw_iid_table(Hold[q], BUF_SIZE, Place_Law[q], Law_Params + Place_Law_Start[q],
                       Place_Law_Count[q]);
    }
  }
}

static int init_simulation(void)
{
  int t, q;
  X = malloc(sizeof(double) * (size_t)NB_TRANS * BUF_SIZE);
  if (X == NULL) return 0;
  for (t = 0; t < NB_TRANS; t++) {
    Fire_Step[t] = Trans_Law[t] != 'C';
    Fire[t] = malloc(sizeof(double) * (Fire_Step[t] ? BUF_SIZE : 1));
    if (Fire[t] == NULL) return 0;
    if (!Fire_Step[t])
      draw_iid_table(Fire[t], 1, 'C', Law_Params + Trans_Law_Start[t], Trans_Law_Count[t]);
  }
  for (q = 0; q < NB_PLACES; q++) {
    Hold_Step[q] = Place_Law[q] != 'C';
    Hold[q] = malloc(sizeof(double) * (Hold_Step[q] ? BUF_SIZE : 1));
    if (Hold[q] == NULL) return 0;
    if (!Hold_Step[q])
      draw_iid_table(Hold[q], 1, 'C', Law_Params + Place_Law_Start[q], Place_Law_Count[q]);
  }
  Fill_Tables();
  return 1;
}

int main(void)
{
  struct timeval start, end;
  double time, w_sum = 0.0, w_min = 0.0, w_max = 0.0;
  int k, j = 0, t;

  gettimeofday(&start, NULL);
  if (!init_simulation()) {
    printf("Could not allocate space. Simulation not launched.\n");
    return 2;
  }
  for (k = 0; k < NB_EVENTS; k++) {
    if (k < MAX_POP_INIT) {
#include "egc_initial_evolution.c"
    } else {
#include "egc_evolution.c"
    }
    if (WAITING_TIME) {
      double w = X[(long)TO_TRANS * BUF_SIZE + j] - X[(long)FROM_TRANS * BUF_SIZE + j];
      w_sum += w;
      if (k == 0 || w < w_min) w_min = w;
      if (k == 0 || w > w_max) w_max = w;
    }
    if (++j == BUF_SIZE) {
      Fill_Tables();
      j = 0;
    }
  }
  gettimeofday(&end, NULL);

  for (t = 0; t < NB_TRANS; t++) {
    double last = NB_EVENTS >= 1 ? X[(long)t * BUF_SIZE + (NB_EVENTS - 1) % BUF_SIZE] : EPS_DATE;
    /* A transition no token reaches never fires. */
    if (NB_EVENTS >= 1 && last <= EPS_DATE / 10) {
      printf("Y_%1d[%1d] = eps    Cycle time: impossible to estimate\n", t, NB_EVENTS);
      fprintf(stderr, "yarrisk: warning: transition %d never fires: no token reaches it.\n", t + 1);
      continue;
    }
    printf("Y_%1d[%1d] = %f    ", t, NB_EVENTS, last);
    if (NB_EVENTS >= 1)
      printf("Cycle time: %f\n", last / NB_EVENTS);
    else
      printf("Cycle time: impossible to estimate\n");
  }
  if (WAITING_TIME && NB_EVENTS >= 1)
    printf("Waiting time from %d to %d: mean %f, min %f, max %f\n", FROM_TRANS + 1,
           TO_TRANS + 1, w_sum / NB_EVENTS, w_min, w_max);
  time = ((double)(end.tv_sec - start.tv_sec) * 1000000.0 +
          (double)(end.tv_usec - start.tv_usec)) / 1000000.0;
  printf("Total execution time: %f", time);
  if (time > 0)
    printf("\t\t(%f evt/sec)\n", (double)NB_EVENTS * NB_TRANS / time);
  else
    printf("\t\t(- evt/sec)\n");
  if (fflush(stdout) != 0 || ferror(stdout)) {
    fprintf(stderr, "Yarrisk: error: cannot write the results\n");
    return 2;
  }
  return 0;
}
