// The law classes of the generated programs.
#include <errno.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include "Binomial.h"
#include "Cst.hh"
#include "Erlang.h"
#include "Geom.h"
#include "MLCG.h"
#include "NegExp.h"
#include "OnOff.hh"
#include "Uniform.h"

MLCG::MLCG(long seed1, long seed2) : seed1_(seed1), seed2_(seed2) { reset(); }

namespace {

unsigned long long mix64(unsigned long long z) {
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

// The replication number of the run (read at each generator's start, which
// a program makes once per law).
unsigned long long replication() {
  const char* v = getenv("ORV_REPLICATION");
  if (!v || !*v) return 0;
  char* end;
  errno = 0;
  long long n = strtoll(v, &end, 10);
  if (*end || n < 0 || errno) {
    fprintf(stderr, "valtor: ORV_REPLICATION must be a whole number, not \"%s\"\n", v);
    exit(1);
  }
  return (unsigned long long)n;
}

}  // namespace

void MLCG::reset() {
  // Each seed and the replication go through the hash in turn, so that
  // pairs that differ in either seed start far apart; the four words of
  // the state are the next outputs of a splitmix sequence from there.
  const unsigned long long golden = 0x9e3779b97f4a7c15ULL;
  unsigned long long h = mix64((unsigned long long)seed1_ + golden);
  h = mix64(h ^ ((unsigned long long)seed2_ + 2 * golden));
  h = mix64(h ^ (replication() + 3 * golden));
  for (int i = 0; i < 4; ++i) {
    h += golden;
    s_[i] = mix64(h);
  }
  // An all-zero state would stay zero.
  if (!(s_[0] | s_[1] | s_[2] | s_[3])) s_[0] = golden;
}

Random::Random(int kind, RNG* g, double a, double b, double c)
    : kind_(kind), gen_(g), a_(a), b_(b), c_(c), n_(0), on_(0), on_left_(0.0), list_(0), pos_(0) {}

double Random::uniform01() {
  if (gen_) return gen_->next();
  // A law built without a generator draws from a shared one.
  static MLCG shared(1, 2);
  return shared.next();
}

double Random::exponential(double mean) { return -mean * log(uniform01()); }

double Random::draw() {
  switch (kind_) {
    case K_CONSTANT:
      return a_;
    case K_EXPONENTIAL:
      return exponential(a_);
    case K_UNIFORM:
      if (list_) {
        if (!*pos_) pos_ = list_;
        char* end;
        double v = strtod(pos_, &end);
        if (end == pos_) {
          // Not a number: skip to the next item.
          while (*end && *end != ',') ++end;
        }
        pos_ = *end == ',' ? end + 1 : end;
        return v;
      }
      return a_ + (b_ - a_) * uniform01();
    case K_ERLANG: {
      double s = 0.0;
      for (long i = 0; i < n_; ++i) s += exponential(b_);
      return s;
    }
    case K_GEOMETRIC: {
      // Trials up to the first success of probability 1/mean.
      if (a_ <= 1.0) return 1.0;
      double q = 1.0 - 1.0 / a_;
      return 1.0 + floor(log(uniform01()) / log(q));
    }
    case K_BINOMIAL: {
      long k = 0;
      for (long i = 0; i < n_; ++i)
        if (uniform01() < a_) ++k;
      return (double)k;
    }
    case K_ONOFF: {
      // a_: rate during on periods, b_: mean on, c_: mean off.
      double t = 0.0;
      if (a_ <= 0.0) return HUGE_VAL;
      for (;;) {
        if (!on_) {
          t += c_ > 0.0 ? exponential(c_) : 0.0;
          on_ = 1;
          on_left_ = b_ > 0.0 ? exponential(b_) : HUGE_VAL;
        }
        double x = exponential(1.0 / a_);
        if (x < on_left_) {
          on_left_ -= x;
          return t + x;
        }
        t += on_left_;
        on_ = 0;
      }
    }
  }
  return 0.0;
}

double Random::mean() const {
  switch (kind_) {
    case K_CONSTANT:
    case K_EXPONENTIAL:
      return a_;
    case K_UNIFORM:
      return (a_ + b_) / 2.0;
    case K_ERLANG:
      return n_ * b_;
    case K_GEOMETRIC:
      return a_ <= 1.0 ? 1.0 : a_;
    case K_BINOMIAL:
      return n_ * a_;
    case K_ONOFF:
      return a_ > 0.0 ? (b_ + c_) / (b_ * a_) : HUGE_VAL;
  }
  return 0.0;
}

Uniform::Uniform(double low, double high, RNG* g) : Random(K_UNIFORM, g, low, high, 0.0) {
  const char* l = getenv("ORV_DRAWS");
  if (l && *l) list_ = pos_ = l;
}

NegativeExpntl::NegativeExpntl(double mean, RNG* g) : Random(K_EXPONENTIAL, g, mean, 0.0, 0.0) {}

Erlang::Erlang(double mean, double variance, RNG* g) : Random(K_ERLANG, g, mean, 0.0, 0.0) {
  long k = 1;
  if (variance > 0.0) {
    double r = floor(mean * mean / variance + 0.5);
    if (r > 1.0) k = r > 1e6 ? 1000000L : (long)r;
  }
  n_ = k;
  b_ = mean / k;
}

Geometric::Geometric(double mean, RNG* g) : Random(K_GEOMETRIC, g, mean, 0.0, 0.0) {}

Binomial::Binomial(int n, double p, RNG* g) : Random(K_BINOMIAL, g, p, 0.0, 0.0) { n_ = n > 0 ? n : 0; }

Cst::Cst(double value) : Random(K_CONSTANT, 0, value, 0.0, 0.0) {}

Cst* Zero = new Cst(0.0);

OnOff::OnOff(double mean, double on, double off, RNG* g) : Random(K_ONOFF, g, 0.0, on, off) {
  // The Poisson rate of the on periods that gives the mean interarrival
  // time `mean` over whole on-off cycles.
  if (mean > 0.0 && on > 0.0) a_ = (on + off) / (on * mean);
}
