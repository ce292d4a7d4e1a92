/*
 * Simulator skeleton of quanter's compiled mode.
 *
 * The code generator writes four fragments into the work directory, which
 * quanter puts on the include path:
 *   pnc_graph_parameters.h   sizes, TMAX (in ticks) and SCALE
 *   pnc_declarations.h       tables, routing counters, sources, statistics
 *   pnc_initial_evolution.c  one tick while look-backs may reach before 0
 *   pnc_evolution.c          one tick once every look-back is in the buffer
 * This file supplies what they use without declaring it, runs them tick by
 * tick up to TMAX and prints the statistics, in the form the in-process
 * simulator uses for transitions.
 *
 * Compiled as C (gnu17: the fragments use old-style definitions).
 */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

/* The same uniform draws as the in-process simulator: the system generator,
   never seeded, so every run repeats them. */
double U_0_1(void) { return (double)random() / 2147483647.0; }

/* The fragments ask for the marking of an unrouted place that competes with
   others only in nets whose arcs they do not describe; this skeleton cannot
   rebuild it, so such nets stop here rather than run on a wrong count. */
static void no_marking(int place)
{
  fprintf(stderr, "Quanter: error: the marking of place %d is not available "
                  "in this simulator\n", place);
  exit(2);
}

int Marking(int place)
{
  no_marking(place);
  return 0;
}

int I_Marking(int place, int time)
{
  (void)time;
  no_marking(place);
  return 0;
}

#include "pnc_declarations.h"

int main(void)
{
  /* Locals of the evolution step, named as the fragments use them. */
  int Nb_Tokens = 0;
  int Tmp_Y = 0;
  int E_Degree = 0;
  double U = 0.0;
  int j = 0;
  int Present_Nb = 0;
  int t;
  int last;

  (void)Nb_Tokens; (void)Tmp_Y; (void)E_Degree; (void)U; (void)j; (void)Present_Nb;

#ifdef Trace
  Tracefile = fopen("quanter.trace", "w");
  if (Tracefile == NULL) {
    fprintf(stderr, "Quanter: error: cannot write quanter.trace\n");
    return 1;
  }
#endif

  for (R_Time = 0; R_Time <= TMAX; R_Time++) {
#ifdef Trace
    /* The trace code counts tokens in a local of this name. */
    int Marking;
    (void)Marking;
#endif
    if (R_Time < MAX_DELAY) {
#include "pnc_initial_evolution.c"
    } else {
#include "pnc_evolution.c"
    }
  }

  last = TMAX % BUF_SIZE;
  for (t = 0; t < NB_TRANS; t++) {
    int n;
    if (Is_Source[t]) continue;
    n = Y[last][t];
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
  printf("Tokens arrived from the sources: %d\n", Nb_Arrived_Tokens(TMAX));
  Final_Marking(TMAX);

#ifdef Trace
  fclose(Tracefile);
#endif
  return 0;
}
