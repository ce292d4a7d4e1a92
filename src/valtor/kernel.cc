// The event loop. Timed events wait in a binary heap ordered by time, then
// by kind (customer events before ticks), then by the order in which they
// were scheduled. Moves that take no time (a relay passing a customer on, a
// station firing, a customer leaving a server) are carried out, in the
// order they arise, before the next timed event.
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>

#include "EQ_Thing.hh"
#include "Kernel.hh"
#include "MLCG.h"
#include "Random.h"
#include "SM_Rule.hh"
#include "Tamrick_Kernel.hh"
#include "Tamrick_PKernel.hh"
#include "Uniform.h"
#include "sim.h"

namespace valtor {

Sim& sim() {
  static Sim* s = new Sim;
  return *s;
}

void reset() {
  Sim& s = sim();
  for (size_t i = 0; i < s.objects.size(); ++i) s.objects[i]->index_ = -1;
  s.objects.clear();
  s.heap.clear();
  s.moves.clear();
  s.move_head = 0;
  s.seq = 0;
  s.now_g = 0;
  s.now = s.start = s.end = 0.0;
  s.end_set = s.animation = s.debug = s.running = s.ran = false;
  s.nb_events = s.nb_moves = s.moves_now = 0;
  s.model_name.clear();
  // The law does not own its generator.
  if (s.routing) delete s.routing->generator();
  delete s.routing;
  s.routing = nullptr;
}

double routing_draw() {
  Sim& s = sim();
  if (!s.routing) s.routing = new Uniform(0.0, 1.0, new MLCG(4, 5));
  return s.routing->draw();
}

Tamrick_Client* new_client(int cls, int prio) {
  Sim& s = sim();
  if (!s.free_clients) {
    const int n = 4096;
    Tamrick_Client* b = new Tamrick_Client[n];
    s.blocks.push_back(b);
    for (int i = 0; i < n - 1; ++i) b[i].next = &b[i + 1];
    b[n - 1].next = nullptr;
    s.free_clients = b;
  }
  Tamrick_Client* c = s.free_clients;
  s.free_clients = c->next;
  c->cls = cls;
  c->prio = prio;
  c->arrival = s.now;
  c->next = nullptr;
  return c;
}

void free_client(Tamrick_Client* c) {
  Sim& s = sim();
  c->next = s.free_clients;
  s.free_clients = c;
}

namespace {

inline bool before(const Event& a, const Event& b) { return a.t < b.t || (a.t == b.t && a.key < b.key); }

void heap_push(std::vector<Event>& h, const Event& e) {
  size_t i = h.size();
  h.push_back(e);
  while (i > 0) {
    size_t p = (i - 1) / 2;
    if (!before(e, h[p])) break;
    h[i] = h[p];
    i = p;
  }
  h[i] = e;
}

Event heap_pop(std::vector<Event>& h) {
  Event top = h[0];
  Event last = h.back();
  h.pop_back();
  size_t n = h.size();
  if (n == 0) return top;
  size_t i = 0;
  for (;;) {
    size_t l = 2 * i + 1;
    if (l >= n) break;
    size_t m = l;
    if (l + 1 < n && before(h[l + 1], h[l])) m = l + 1;
    if (!before(h[m], last)) break;
    h[i] = h[m];
    i = m;
  }
  h[i] = last;
  return top;
}

}  // namespace

void schedule(long long t, int order, int type, Routing_Server* obj, Tamrick_Client* c) {
  Sim& s = sim();
  Event e;
  e.t = t;
  e.key = ((unsigned long long)order << 62) | (s.seq++ << 2) | (unsigned long long)type;
  e.obj = obj;
  e.c = c;
  heap_push(s.heap, e);
}

namespace {

inline void count_change(Sim& s, Routing_Server* o, long long delta) {
  o->area_ += (double)o->population_ * (s.now - o->last_change_);
  o->last_change_ = s.now;
  o->population_ += delta;
  if (o->series_) {
    std::vector<Valtor_Series::Point>& v = o->series_->points;
    if (!v.empty() && v.back().t == s.now_g)
      v.back().n = o->population_;
    else
      v.push_back(Valtor_Series::Point{s.now_g, o->population_});
  }
}

inline void move_to(Sim& s, Routing_Server* to, Tamrick_Client* c) { s.moves.push_back(Move{to->real_, c}); }

// A customer leaves `o`: relabelled, then to a successor drawn by
// cumulative probability. Without successors it stays in `o`.
inline void leave(Sim& s, Routing_Server* o, Tamrick_Client* c) {
  if (o->relabel_) c->cls = o->out_class_;
  int n = o->nb_succ_;
  if (n == 0) {
    free_client(c);
    return;
  }
  Routing_Server* to;
  if (n == 1) {
    to = o->succ_[0];
  } else {
    double u = routing_draw();
    int i = 0;
    while (i < n - 1 && o->cum_[i] < u) ++i;
    to = o->succ_[i];
  }
  count_change(s, o, -1);
  move_to(s, to, c);
}

inline void start_service(Sim& s, Routing_Server* o, Tamrick_Client* c) {
  o->busy_++;
  Random* l = o->law_;
  double d = !l ? 0.0 : l->kind() == Random::K_CONSTANT ? l->constant() : l->draw();
  if (d < o->min_service_) d = o->min_service_;
  if (!(d >= 0.0)) d = 0.0;
  schedule(later(s.now_g, d), 0, E_COMPLETE, o, c);
}

void enqueue(Routing_Server* o, Tamrick_Client* c) {
  c->next = nullptr;
  if (!o->head_) {
    o->head_ = o->tail_ = c;
    return;
  }
  switch (o->discipline_) {
    case Routing_Server::D_LIFO:
      c->next = o->head_;
      o->head_ = c;
      break;
    case Routing_Server::D_PRIORITY: {
      // Higher priority first, arrival order among equals.
      if (c->prio > o->head_->prio) {
        c->next = o->head_;
        o->head_ = c;
        break;
      }
      Tamrick_Client* p = o->head_;
      while (p->next && p->next->prio >= c->prio) p = p->next;
      c->next = p->next;
      p->next = c;
      if (!c->next) o->tail_ = c;
      break;
    }
    default:
      o->tail_->next = c;
      o->tail_ = c;
  }
}

inline Tamrick_Client* dequeue(Routing_Server* o) {
  Tamrick_Client* c = o->head_;
  o->head_ = c->next;
  if (!o->head_) o->tail_ = nullptr;
  return c;
}

void fs_fire(Sim& s, Routing_Server* o);

// A customer arrives at `o` now.
void arrive(Sim& s, Routing_Server* o, Tamrick_Client* c) {
  o->nb_arrival_++;
  c->arrival = s.now;
  switch (o->kind_) {
    case Routing_Server::K_SERVER:
      count_change(s, o, 1);
      if (o->unlimited_ || o->busy_ < o->nb_servers_)
        start_service(s, o, c);
      else
        enqueue(o, c);
      break;
    case Routing_Server::K_SINK:
      o->nb_service_++;
      o->nb_left_++;
      free_client(c);
      break;
    case Routing_Server::K_EQ:
      static_cast<EQ_Thing*>(o)->valtor_arrival(c->cls, s.now);
      free_client(c);
      break;
    case Routing_Server::K_FS:
      if (o->rule_) {
        count_change(s, o, 1);
        SM_Rule* r = o->rule_;
        int i = 0;
        while (i < r->nb_match_ && r->match_class_[i] != c->cls) ++i;
        if (i == r->nb_match_) {
          if (r->nb_match_ == 0) {
            // A rule that matches nothing fires once per customer.
            o->nb_left_++;
            free_client(c);
            count_change(s, o, -1);
            o->waiting_[0]++;
            fs_fire(s, o);
          } else {
            // A class the rule does not take waits for ever.
            free_client(c);
          }
          break;
        }
        c->next = nullptr;
        if (o->waiting_tail_[i])
          o->waiting_tail_[i]->next = c;
        else
          o->waiting_head_[i] = c;
        o->waiting_tail_[i] = c;
        o->waiting_[i]++;
        fs_fire(s, o);
        break;
      }
      // A station without rule is a relay.
      [[fallthrough]];
    default:
      count_change(s, o, 1);
      if (o->nb_succ_ > 0) {
        o->nb_service_++;
        o->nb_left_++;
      }
      leave(s, o, c);
  }
}

void fs_fire(Sim& s, Routing_Server* o) {
  SM_Rule* r = o->rule_;
  for (;;) {
    Tamrick_Client* first = nullptr;
    if (r->nb_match_ == 0) {
      if (o->waiting_[0] == 0) return;
      o->waiting_[0]--;
    } else {
      for (int i = 0; i < r->nb_match_; ++i)
        if (o->waiting_[i] < r->match_count_[i]) return;
      for (int i = 0; i < r->nb_match_; ++i) {
        for (int k = 0; k < r->match_count_[i]; ++k) {
          Tamrick_Client* c = o->waiting_head_[i];
          o->waiting_head_[i] = c->next;
          if (!c->next) o->waiting_tail_[i] = nullptr;
          o->sojourn_sum_ += s.now - c->arrival;
          o->nb_left_++;
          if (!first)
            first = c;
          else
            free_client(c);
        }
        o->waiting_[i] -= r->match_count_[i];
        count_change(s, o, -r->match_count_[i]);
      }
    }
    o->nb_service_++;
    if (r->nb_split_ > 0) {
      if (first) free_client(first);
      for (int k = 0; k < r->nb_split_; ++k)
        for (int n = 0; n < r->split_count_[k]; ++n)
          move_to(s, r->split_dest_[k], new_client(r->split_class_[k], r->split_prio_[k]));
    } else {
      Tamrick_Client* c = first ? first : new_client(0, 0);
      // The outgoing customer is counted in by leave().
      count_change(s, o, 1);
      leave(s, o, c);
      if (o->nb_succ_ == 0) count_change(s, o, -1);
    }
  }
}

[[noreturn]] void endless_instant(Sim& s, long long n, const char* what) {
  fprintf(stderr, "valtor: more than %lld %s at time %g: customers go round a loop that takes no time\n", n, what,
          s.now);
  exit(1);
}

// The moves of the instant, in the order they arise. The queue drops what
// it has carried out as it goes, so that it holds only the moves waiting.
void run_moves(Sim& s) {
  while (s.move_head < s.moves.size()) {
    if (s.move_head >= 4096 && 2 * s.move_head >= s.moves.size()) {
      s.moves.erase(s.moves.begin(), s.moves.begin() + (std::ptrdiff_t)s.move_head);
      s.move_head = 0;
    }
    if (s.moves.size() - s.move_head > Pending_Limit) endless_instant(s, (long long)Pending_Limit, "moves waiting");
    Move m = s.moves[s.move_head++];
    s.nb_moves++;
    if (++s.moves_now > Move_Limit) endless_instant(s, Move_Limit, "moves");
    arrive(s, m.obj, m.c);
  }
  s.moves.clear();
  s.move_head = 0;
}

void start_objects(Sim& s) {
  long long start_g = to_grid(s.start);
  for (size_t i = 0; i < s.objects.size(); ++i) {
    Routing_Server* o = s.objects[i];
    o->last_change_ = s.start;
    for (int k = 0; k < o->nb_initial_; ++k) {
      double at = o->initial_[3 * k + 2];
      long long g = at > s.start ? to_grid(at) : start_g;
      schedule(g, 0, E_ARRIVE, o, new_client((int)o->initial_[3 * k], (int)o->initial_[3 * k + 1]));
    }
    if (o->kind_ == Routing_Server::K_FS && o->rule_) {
      int n = o->rule_->nb_match_ > 0 ? o->rule_->nb_match_ : 1;
      delete[] o->waiting_;
      delete[] o->waiting_head_;
      delete[] o->waiting_tail_;
      o->waiting_ = new long long[n]();
      o->waiting_head_ = new Tamrick_Client*[n]();
      o->waiting_tail_ = new Tamrick_Client*[n]();
    }
    if (o->kind_ == Routing_Server::K_SOURCE && o->to_generate_ < 0 && o->law_ &&
        o->law_->kind() == Random::K_CONSTANT && o->law_->constant() <= 0.0) {
      fprintf(stderr, "valtor: source %s has a zero interval and no count: it emits nothing\n", o->name_);
      continue;
    }
    if (o->kind_ == Routing_Server::K_SOURCE && o->to_generate_ != 0 && o->law_) {
      double from = o->start_ > s.start ? o->start_ : s.start;
      double d = o->law_->draw();
      if (!(d >= 0.0)) d = 0.0;
      schedule(later(to_grid(from), d), 0, E_EMIT, o, nullptr);
    }
    if (o->kind_ == Routing_Server::K_EQ) {
      EQ_Thing* q = static_cast<EQ_Thing*>(o);
      q->valtor_start();
      double from = q->activation_ > s.start ? q->activation_ : s.start;
      q->activation_ = from;
      q->nb_ticks_ = 0;
      if (q->valtor_step() > 0.0) schedule(to_grid(from), 1, E_TICK, o, nullptr);
    }
  }
}

}  // namespace

void push_move(Routing_Server* to, Tamrick_Client* c) { move_to(sim(), to, c); }

void population_change(Routing_Server* o, long long delta) { count_change(sim(), o, delta); }

}  // namespace valtor

using namespace valtor;

Kernel::Kernel() {}
Kernel::~Kernel() {}
void Kernel::set_model_name(const char* name) { sim().model_name = name ? name : ""; }
void Kernel::set_starting_time(double t) { sim().start = t; }
void Kernel::set_ending_time(double t) {
  sim().end = t;
  sim().end_set = true;
}
void Kernel::set_debug(bool on) { sim().debug = on; }
void Kernel::set_animation(bool on) { sim().animation = on; }
void Kernel::set_statistic(bool) {}
void Kernel::init_stat() {}
double Kernel::now() { return sim().now; }
long long Kernel::nb_events() { return sim().nb_events; }

void Kernel::print_registered() {
  Sim& s = sim();
  if (!s.debug) return;
  printf("Registered objects (%d):\n", (int)s.objects.size());
  for (size_t i = 0; i < s.objects.size(); ++i) printf("  %s\n", s.objects[i]->get_name());
}

void Kernel::run() {
  Sim& s = sim();
  if (s.running) return;
  if (!s.end_set) s.end = s.start;
  // A run the clock cannot hold, or of no meaning, is refused: its report
  // would be all zero.
  if (s.end != s.end || s.start != s.start) {
    fprintf(stderr, "valtor: the %s time is not a number\n", s.end != s.end ? "ending" : "starting");
    exit(1);
  }
  if (s.end > Clock_Range || s.start < -Clock_Range) {
    fprintf(stderr, "valtor: the simulated time %g is beyond the clock's range (%g)\n",
            s.end > Clock_Range ? s.end : s.start, Clock_Range);
    exit(1);
  }
  if (s.end < s.start) {
    fprintf(stderr, "valtor: the ending time %g is before the starting time %g\n", s.end, s.start);
    exit(1);
  }
  s.running = true;
  s.now = s.start;
  s.now_g = to_grid(s.start);
  s.nb_events = 0;
  s.nb_moves = 0;
  if (s.animation) {
    for (size_t i = 0; i < s.objects.size(); ++i) {
      Routing_Server* o = s.objects[i];
      if (o->kind_ == Routing_Server::K_SOURCE || o->kind_ == Routing_Server::K_EQ || o->series_) continue;
      o->series_ = new Valtor_Series;
      o->series_->points.push_back(Valtor_Series::Point{s.now_g, 0});
    }
  }
  start_objects(s);
  const long long end_g = to_grid(s.end);
  s.moves_now = 0;
  run_moves(s);
  while (!s.heap.empty() && s.heap[0].t <= end_g) {
    Event e = heap_pop(s.heap);
    if (e.t != s.now_g) {
      s.now_g = e.t;
      s.now = from_grid(e.t);
      s.moves_now = 0;
    }
    s.nb_events++;
    if (++s.moves_now > Move_Limit) {
      fprintf(stderr, "valtor: more than %lld events at time %g: the run cannot go on in time\n", Move_Limit, s.now);
      exit(1);
    }
    Routing_Server* o = e.obj;
    switch ((int)(e.key & 3)) {
      case E_COMPLETE: {
        o->busy_--;
        o->nb_service_++;
        o->nb_left_++;
        o->sojourn_sum_ += s.now - e.c->arrival;
        if (o->head_) start_service(s, o, dequeue(o));
        leave(s, o, e.c);
        break;
      }
      case E_EMIT: {
        o->generated_++;
        o->nb_service_++;
        Tamrick_Client* c = new_client(o->cust_class_, o->cust_prio_);
        count_change(s, o, 1);
        leave(s, o, c);
        if (o->nb_succ_ == 0) count_change(s, o, -1);
        if (o->to_generate_ < 0 || o->generated_ < o->to_generate_) {
          double d = o->law_->draw();
          if (!(d >= 0.0)) d = 0.0;
          schedule(later(s.now_g, d), 0, E_EMIT, o, nullptr);
        }
        break;
      }
      case E_ARRIVE:
        arrive(s, o, e.c);
        break;
      case E_TICK: {
        EQ_Thing* q = static_cast<EQ_Thing*>(o);
        q->valtor_tick(s.now);
        q->nb_ticks_++;
        long long next = to_grid(q->activation_ + q->nb_ticks_ * q->valtor_step());
        if (next <= s.now_g) next = s.now_g == Never ? Never : s.now_g + 1;
        schedule(next, 1, E_TICK, o, nullptr);
        break;
      }
    }
    run_moves(s);
  }
  // The statistics run to the end time, which is part of the run.
  s.now_g = end_g;
  s.now = s.end;
  for (size_t i = 0; i < s.objects.size(); ++i) {
    Routing_Server* o = s.objects[i];
    count_change(s, o, 0);
    if (o->kind_ == Routing_Server::K_EQ) static_cast<EQ_Thing*>(o)->valtor_finish();
  }
  if (s.animation) write_series();
  s.running = false;
  s.ran = true;
}

Tamrick_Kernel::Tamrick_Kernel() {}

void Tamrick_PKernel::compute_profile() { started_ = (double)clock() / CLOCKS_PER_SEC; }
void Tamrick_PKernel::report_profile() {
  double t = (double)clock() / CLOCKS_PER_SEC - started_;
  printf("Events: %lld  moves: %lld  run time: %.3f s\n", sim().nb_events, sim().nb_moves, t);
}
