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
 * add to the compiler's time. When quanter defines NO_LAGS the first ticks
 * are regular ones and their fragment is not compiled at all.
 */
/* gettimeofday() under a strict C standard too. */
#define _DEFAULT_SOURCE
#include <stdio.h>
#include <sys/time.h>
/* The rest of the library the fragments and this file use, declared here:
   their headers, the mathematics one above all, take the compiler longer to
   read than some nets. */
double floor(double);
double log(double);
long random(void);
size_t strlen(const char *);

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

/* Without lags (quanter defines NO_LAGS) the first-tick fragment differs
   from the regular one only in reading 0 for the counts of ticks before 0
   and of sources before they start, where the regular one reads rows of the
   buffer that are not written yet (still 0: the buffer holds two longest
   look-backs at least). So the regular tick runs from tick 0, once the row
   pointers and slot variables hold what its own increment gives them. Their
   names are not known here: each Time_M_<d> and Y_Time_M_<d> up to MAX_DELAY
   is defined with its value at tick 0, completing the fragments' tentative
   definition or making a variable nobody reads. A hundred slots cost the
   compiler about what several transitions of the first-tick fragment do,
   whence the bound on long look-backs in small nets. The trace code reads
   rows before 0 differently: it keeps the first-tick fragment. */
#if defined(NO_LAGS) && !defined(Trace) && \
    (MAX_DELAY < 100 || (MAX_DELAY < 1000 && NB_TRANS >= MAX_DELAY / 10))
#define REGULAR_FROM_START
#endif

#ifdef REGULAR_FROM_START
#define SLOT_AT_0(d) ((BUF_SIZE - (d) % BUF_SIZE) % BUF_SIZE)
#define SLOT(d) int Time_M_##d = SLOT_AT_0(d); int *Y_Time_M_##d = Y[SLOT_AT_0(d)];
#define DIGITS(M, h) M(h##0) M(h##1) M(h##2) M(h##3) M(h##4) M(h##5) M(h##6) M(h##7) M(h##8) M(h##9)
#define HUNDRED(M, c)                                                         \
  DIGITS(M, c##0) DIGITS(M, c##1) DIGITS(M, c##2) DIGITS(M, c##3)             \
  DIGITS(M, c##4) DIGITS(M, c##5) DIGITS(M, c##6) DIGITS(M, c##7)             \
  DIGITS(M, c##8) DIGITS(M, c##9)
int *Y_0 = Y[0];
SLOT(1) SLOT(2) SLOT(3) SLOT(4) SLOT(5) SLOT(6) SLOT(7) SLOT(8) SLOT(9)
#if MAX_DELAY >= 10
DIGITS(SLOT, 1)
#endif
#if MAX_DELAY >= 20
DIGITS(SLOT, 2)
#endif
#if MAX_DELAY >= 30
DIGITS(SLOT, 3)
#endif
#if MAX_DELAY >= 40
DIGITS(SLOT, 4)
#endif
#if MAX_DELAY >= 50
DIGITS(SLOT, 5)
#endif
#if MAX_DELAY >= 60
DIGITS(SLOT, 6)
#endif
#if MAX_DELAY >= 70
DIGITS(SLOT, 7)
#endif
#if MAX_DELAY >= 80
DIGITS(SLOT, 8)
#endif
#if MAX_DELAY >= 90
DIGITS(SLOT, 9)
#endif
#if MAX_DELAY >= 100
HUNDRED(SLOT, 1)
#endif
#if MAX_DELAY >= 200
HUNDRED(SLOT, 2)
#endif
#if MAX_DELAY >= 300
HUNDRED(SLOT, 3)
#endif
#if MAX_DELAY >= 400
HUNDRED(SLOT, 4)
#endif
#if MAX_DELAY >= 500
HUNDRED(SLOT, 5)
#endif
#if MAX_DELAY >= 600
HUNDRED(SLOT, 6)
#endif
#if MAX_DELAY >= 700
HUNDRED(SLOT, 7)
#endif
#if MAX_DELAY >= 800
HUNDRED(SLOT, 8)
#endif
#if MAX_DELAY >= 900
HUNDRED(SLOT, 9)
#endif
#undef SLOT_AT_0
#undef SLOT
#undef DIGITS
#undef HUNDRED
#else
/* A tick while look-backs may reach before 0. */
SELDOM_RUN static void Initial_Tick(void)
{
  TICK_LOCALS;
#include "pnc_initial_evolution.c"
}
#endif

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
#ifdef REGULAR_FROM_START
  for (R_Time = 0; R_Time <= TMAX; R_Time++) Tick();
#else
  for (R_Time = 0; R_Time <= TMAX; R_Time++) {
    if (R_Time < MAX_DELAY)
      Initial_Tick();
    else
      Tick();
  }
#endif
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
