/*
 * Simulator skeleton of quanter's compiled mode.
 *
 * The code generator writes four fragments into the work directory, which
 * quanter puts on the include path:
 *   pnc_graph_parameters.h   sizes, TMAX (in ticks) and SCALE
 *   pnc_declarations.h       tables, routing counters, sources, marking
 *                            functions, statistics
 *   pnc_initial_evolution.c  one tick while look-backs may reach before 0
 *   pnc_evolution.c          one tick once every look-back is in the buffer
 * This file supplies what they use without declaring it, runs them tick by
 * tick from 0 to TMAX and prints the statistics: per transition the lines of
 * the in-process simulator, then those of the sources and the final
 * markings.
 *
 * The fragments use old-style definitions (parameters declared after the
 * head, some without a type): compiled as the compiler's default C.
 *
 * What runs at every tick (the regular tick, the marking and source
 * functions it calls) is compiled at the level quanter asks for. The first
 * ticks and the statistics printed at the end run once or a few times and are
 * as long again: they are compiled without optimisation, which would only
 * add to the compiler's time.
 */
/* random() and gettimeofday() under a strict C standard too. */
#define _DEFAULT_SOURCE
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/time.h>

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define MIN(a, b) ((a) < (b) ? (a) : (b))

#include "pnc_graph_parameters.h"

/* Firings begun by each transition up to the tick a row holds; tick i is in
   row i % BUF_SIZE. */
int Y[BUF_SIZE][NB_TRANS];
/* The tick being computed, not reduced modulo the buffer. */
int R_Time;
/* The draw of a discrete source's next interval. */
double U;

/* The uniform draws of the in-process simulator: the system generator,
   never seeded, so every run repeats them. */
double U_0_1(void) { return (double)random() / 2147483647.0; }

/* Locals of a tick, named as the fragments use them. */
#ifdef Trace
#define TRACE_LOCALS int Marking = 0; (void)Marking;
#else
#define TRACE_LOCALS
#endif
#define TICK_LOCALS                                                           \
  int Nb_Tokens = 0, Tmp_Y = 0, E_Degree = 0, j = 0, Present_Nb = 0;         \
  double U = 0.0;                                                             \
  TRACE_LOCALS                                                                \
  (void)Nb_Tokens; (void)Tmp_Y; (void)E_Degree; (void)j; (void)Present_Nb;   \
  (void)U

/* A level per function is GCC's; elsewhere all is at the command line's. */
#if defined(__GNUC__) && !defined(__clang__)
#define SELDOM_RUN __attribute__((optimize("O0")))
#else
#define SELDOM_RUN
#endif
SELDOM_RUN void Write_Source_Stats(int, int);
SELDOM_RUN int Nb_Arrived_Tokens(int);
SELDOM_RUN void Final_Marking(int);

/* A marking function's parameter may come without a type. */
#pragma GCC diagnostic ignored "-Wimplicit-int"
#include "pnc_declarations.h"

/* A tick while look-backs may reach before 0. */
SELDOM_RUN static void Initial_Tick(void)
{
  TICK_LOCALS;
#include "pnc_initial_evolution.c"
}

/* A tick once every look-back is in the buffer. */
static void Tick(void)
{
  TICK_LOCALS;
#include "pnc_evolution.c"
}

static double elapsed_time(struct timeval *start, struct timeval *end)
{
  return ((double)(end->tv_sec - start->tv_sec) * 1000000.0 +
          (double)(end->tv_usec - start->tv_usec)) / 1000000.0;
}

int main(void)
{
  int t;
  int last;
  double total = 0.0;
  double seconds;
  struct timeval start, end;

#ifdef Trace
  Tracefile = fopen("quanter.trace", "w");
  if (Tracefile == NULL) {
    fprintf(stderr, "Quanter: error: cannot write quanter.trace\n");
    return 1;
  }
#endif

  gettimeofday(&start, NULL);
  for (R_Time = 0; R_Time <= TMAX; R_Time++) {
    if (R_Time < MAX_DELAY)
      Initial_Tick();
    else
      Tick();
  }
  gettimeofday(&end, NULL);

  last = TMAX % BUF_SIZE;
  for (t = 0; t < NB_TRANS; t++) {
    int n;
    if (Is_Source[t]) continue;
    n = Y[last][t];
    total += n;
    printf("Y_%1d[%1d] = %5d      Cycle time: ", t, TMAX / SCALE, n);
    if (n == 0)
      printf("    oo    ");
    else
      printf("%10.4f", (double)TMAX / n / SCALE);
    if (strlen(Trans_Name[t]) > 0)
      printf("  (%s)\n", Trans_Name[t]);
    else
      printf("\n");
  }
  Write_Source_Stats(TMAX, BUF_SIZE);
  seconds = elapsed_time(&start, &end);
  printf("Total execution time: %f", seconds);
  if (seconds > 0)
    printf("\t\t(%f evt/sec)\n", total / seconds);
  else
    printf("\t\t(- evt/sec)\n");
  printf("Tokens arrived from the sources: %d\n", Nb_Arrived_Tokens(TMAX));
  Final_Marking(TMAX);

#ifdef Trace
  if (fclose(Tracefile) != 0) {
    fprintf(stderr, "Quanter: error: cannot write quanter.trace\n");
    return 1;
  }
#endif
  if (fflush(stdout) != 0 || ferror(stdout)) return 1;
  return 0;
}
