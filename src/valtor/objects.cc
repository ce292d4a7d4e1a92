// Configuration and statistics of the objects.
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "EQ_Thing.hh"
#include "Random.h"
#include "SM_Rule.hh"
#include "Tamrick_FS_Station.hh"
#include "Tamrick_Routing.hh"
#include "Tamrick_Server_Normal_FIFO.hh"
#include "Tamrick_Server_Normal_LIFO.hh"
#include "Tamrick_Server_Normal_PRIORITY.hh"
#include "Tamrick_Sink.hh"
#include "Tamrick_Source.hh"
#include "sim.h"

using namespace valtor;

namespace {

char* copy_text(const char* s) {
  if (!s) s = "";
  size_t n = strlen(s);
  char* c = new char[n + 1];
  memcpy(c, s, n + 1);
  return c;
}

template <class T>
void grow(T*& a, int used, int& cap) {
  if (used < cap) return;
  int n = cap ? 2 * cap : 4;
  T* b = new T[n];
  for (int i = 0; i < used; ++i) b[i] = a[i];
  delete[] a;
  a = b;
  cap = n;
}

// The program's INFINI: as many servers as customers come.
const int Unlimited_Servers = 100;

}  // namespace

namespace valtor {

void register_object(Routing_Server* o) {
  Sim& s = sim();
  o->index_ = (int)s.objects.size();
  s.objects.push_back(o);
}

void unregister_object(Routing_Server* o) {
  Sim& s = sim();
  if (o->index_ < 0) return;
  std::vector<Routing_Server*>::iterator i = std::find(s.objects.begin(), s.objects.end(), o);
  if (i == s.objects.end()) return;
  s.objects.erase(i);
  o->index_ = -1;
  for (size_t k = 0; k < s.objects.size(); ++k) s.objects[k]->index_ = (int)k;
}

void print_stat_line(Routing_Server* o, std::ostream& out) {
  char buf[512];
  snprintf(buf, sizeof buf, "  services %lld  throughput %.6f  mean number %.6f  mean sojourn %.6f\n", o->nb_service_,
           o->throughput(), o->mean_population(), o->mean_sojourn());
  out << o->get_name() << buf;
}

}  // namespace valtor

void Routing_Server::init_object(int kind, const char* name) {
  kind_ = kind;
  real_ = this;
  name_ = copy_text(name);
  zel_name_ = copy_text("");
  index_ = -1;
  trace_ = false;
  stat_requested_ = false;
  nb_succ_ = cap_succ_ = 0;
  succ_ = 0;
  proba_ = cum_ = 0;
  relabel_ = false;
  out_class_ = 0;
  nb_service_ = nb_arrival_ = population_ = 0;
  area_ = last_change_ = sojourn_sum_ = 0.0;
  nb_left_ = 0;
  law_ = 0;
  nb_servers_ = 1;
  unlimited_ = false;
  busy_ = 0;
  discipline_ = D_FIFO;
  min_service_ = 0.0;
  head_ = tail_ = 0;
  start_ = 0.0;
  to_generate_ = -1;
  generated_ = 0;
  cust_class_ = cust_prio_ = 0;
  nb_initial_ = cap_initial_ = 0;
  initial_ = 0;
  rule_ = 0;
  waiting_ = 0;
  waiting_head_ = waiting_tail_ = 0;
  series_ = 0;
  register_object(this);
}

Routing_Server::Routing_Server() { init_object(K_PLAIN, ""); }
Routing_Server::Routing_Server(const char* name) { init_object(K_PLAIN, name); }

Routing_Server::~Routing_Server() {
  unregister_object(this);
  delete[] name_;
  delete[] zel_name_;
  delete[] succ_;
  delete[] proba_;
  delete[] cum_;
  delete[] initial_;
  delete[] waiting_;
  delete[] waiting_head_;
  delete[] waiting_tail_;
  delete series_;
}

const char* Routing_Server::get_name() const { return real_->name_; }

void Routing_Server::set_name(const char* name) {
  Routing_Server* o = real_;
  char* c = copy_text(name);
  delete[] o->name_;
  o->name_ = c;
}

void Routing_Server::set_zel_name(const char* name) {
  Routing_Server* o = real_;
  char* c = copy_text(name);
  delete[] o->zel_name_;
  o->zel_name_ = c;
}

void Routing_Server::set_succ(Routing_Server* next, double proba, const char*, const char*) {
  Routing_Server* o = real_;
  if (!next) {
    fprintf(stderr, "valtor: %s: no successor object given (ignored)\n", o->name_);
    return;
  }
  int cap = o->cap_succ_;
  grow(o->succ_, o->nb_succ_, cap);
  cap = o->cap_succ_;
  grow(o->proba_, o->nb_succ_, cap);
  cap = o->cap_succ_;
  grow(o->cum_, o->nb_succ_, cap);
  o->cap_succ_ = cap;
  o->succ_[o->nb_succ_] = next->real_;
  o->proba_[o->nb_succ_] = proba;
  o->nb_succ_++;
  // Cumulative probabilities of the successors in the order given, as the
  // in-process simulators draw: a customer goes to the first successor whose
  // cumulative value is not below the draw, and the last one takes what the
  // others leave (the probabilities are not scaled to their sum).
  double run = 0.0;
  for (int i = 0; i < o->nb_succ_; ++i) {
    run += o->proba_[i];
    o->cum_[i] = run;
  }
  o->cum_[o->nb_succ_ - 1] = 1.0;
}

void Routing_Server::set_output_class(int cls) {
  real_->relabel_ = true;
  real_->out_class_ = cls;
}
void Routing_Server::customers_class(int cls) { real_->cust_class_ = cls; }
void Routing_Server::customers_priority(int prio) { real_->cust_prio_ = prio; }

void Routing_Server::insert_customer(int cls, int prio, double at, int count) {
  Routing_Server* o = real_;
  for (int k = 0; k < count; ++k) {
    int cap = o->cap_initial_;
    int used = 3 * o->nb_initial_;
    if (used + 3 > cap) {
      int n = cap ? 2 * cap : 12;
      double* b = new double[n];
      for (int i = 0; i < used; ++i) b[i] = o->initial_[i];
      delete[] o->initial_;
      o->initial_ = b;
      o->cap_initial_ = n;
    }
    o->initial_[used] = cls;
    o->initial_[used + 1] = prio;
    o->initial_[used + 2] = at;
    o->nb_initial_++;
  }
}

void Routing_Server::set_rule(SM_Rule* rule) { real_->rule_ = rule; }
void Routing_Server::set_trace_status(bool on) { real_->trace_ = on; }
void Routing_Server::set_service(Random* law, int) { real_->law_ = law; }
void Routing_Server::set_min_service_time(double t) { real_->min_service_ = t; }

void Routing_Server::set_nb_serveur(int n) {
  Routing_Server* o = real_;
  o->nb_servers_ = n < 0 ? 0 : n;
  o->unlimited_ = n == Unlimited_Servers;
}

void Routing_Server::compute_stat() { real_->stat_requested_ = true; }

void Routing_Server::report_stat() { report_stat(cout); }

void Routing_Server::report_stat(ostream& out) {
  Routing_Server* o = real_;
  if (o->kind_ == K_EQ) {
    static_cast<EQ_Thing*>(o)->valtor_report(out);
    return;
  }
  print_stat_line(o, out);
}

int Routing_Server::get_nb_service() { return (int)real_->nb_service_; }
int Routing_Server::total_population() { return (int)real_->generated_; }
int Routing_Server::get_population() { return (int)real_->population_; }

double Routing_Server::throughput() {
  Sim& s = sim();
  double len = s.end - s.start;
  return len > 0.0 ? real_->nb_service_ / len : 0.0;
}

double Routing_Server::mean_population() {
  Sim& s = sim();
  double len = s.end - s.start;
  return len > 0.0 ? real_->area_ / len : 0.0;
}

double Routing_Server::mean_sojourn() {
  Routing_Server* o = real_;
  return o->nb_left_ > 0 ? o->sojourn_sum_ / o->nb_left_ : 0.0;
}

Tamrick_Sink::Tamrick_Sink(double start) {
  kind_ = K_SINK;
  start_ = start;
}

Tamrick_Routing::Tamrick_Routing(double start) {
  kind_ = K_ROUTING;
  start_ = start;
}

Tamrick_FS_Station::Tamrick_FS_Station(double start) {
  kind_ = K_FS;
  start_ = start;
}

namespace {
void make_server(Routing_Server* o, double start, int servers, int discipline) {
  o->kind_ = Routing_Server::K_SERVER;
  o->start_ = start;
  o->discipline_ = discipline;
  o->set_nb_serveur(servers);
}
}  // namespace

Tamrick_Server_Normal_FIFO::Tamrick_Server_Normal_FIFO(double start, int servers) {
  make_server(this, start, servers, D_FIFO);
}
Tamrick_Server_Normal_LIFO::Tamrick_Server_Normal_LIFO(double start, int servers) {
  make_server(this, start, servers, D_LIFO);
}
Tamrick_Server_Normal_PRIORITY::Tamrick_Server_Normal_PRIORITY(double start, int servers) {
  make_server(this, start, servers, D_PRIORITY);
}

Tamrick_Source::Tamrick_Source(double start, Random* law, int count) {
  kind_ = K_SOURCE;
  start_ = start;
  law_ = law;
  to_generate_ = count;
}

void Tamrick_Source::set_distribution(Random* law) { real_->law_ = law; }
void Tamrick_Source::max_generation(int count) { real_->to_generate_ = count; }

SM_Rule::SM_Rule()
    : nb_match_(0), match_class_(0), match_count_(0), nb_split_(0), split_class_(0), split_count_(0),
      split_prio_(0), split_dest_(0) {}

SM_Rule::~SM_Rule() {
  delete[] match_class_;
  delete[] match_count_;
  delete[] split_class_;
  delete[] split_count_;
  delete[] split_prio_;
  delete[] split_dest_;
}

void SM_Rule::match(int cls, int count) {
  if (count <= 0) return;
  for (int i = 0; i < nb_match_; ++i)
    if (match_class_[i] == cls) {
      // One class named twice takes both counts.
      match_count_[i] += count;
      return;
    }
  int cap = nb_match_, c2 = nb_match_;
  grow(match_class_, nb_match_, cap);
  grow(match_count_, nb_match_, c2);
  match_class_[nb_match_] = cls;
  match_count_[nb_match_] = count;
  nb_match_++;
}

void SM_Rule::split(int cls, int count, int prio, Routing_Server* dest, const char*) {
  if (!dest || count <= 0) return;
  int c1 = nb_split_, c2 = nb_split_, c3 = nb_split_, c4 = nb_split_;
  grow(split_class_, nb_split_, c1);
  grow(split_count_, nb_split_, c2);
  grow(split_prio_, nb_split_, c3);
  grow(split_dest_, nb_split_, c4);
  split_class_[nb_split_] = cls;
  split_count_[nb_split_] = count;
  split_prio_[nb_split_] = prio;
  split_dest_[nb_split_] = dest->real_;
  nb_split_++;
}

namespace valtor {

// Each animated object's customer count over time, in a two-column text
// file named after the object, with every character that is not a letter,
// digit, '.', '-' or '_' made '_' (object names hold '|').
void write_series() {
  Sim& s = sim();
  std::vector<std::string> used;
  for (size_t i = 0; i < s.objects.size(); ++i) {
    Routing_Server* o = s.objects[i];
    if (!o->series_) continue;
    std::vector<Valtor_Series::Point>* v = &o->series_->points;
    std::string safe;
    for (const char* p = o->name_; *p; ++p) {
      char c = *p;
      bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
                c == '_';
      safe += ok ? c : '_';
    }
    if (safe.empty() || safe[0] == '.') safe = "object" + std::to_string(i) + safe;
    std::string file = safe + "__Nombre_de_clients.dat";
    int twice = 1;
    while (std::find(used.begin(), used.end(), file) != used.end())
      file = safe + "-" + std::to_string(++twice) + "__Nombre_de_clients.dat";
    used.push_back(file);
    FILE* f = fopen(file.c_str(), "w");
    if (!f) {
      fprintf(stderr, "valtor: cannot write %s\n", file.c_str());
      continue;
    }
    fprintf(f, "# %s__Nombre_de_clients__temps %s__Nombre_de_clients\n", o->name_, o->name_);
    for (size_t k = 0; k < v->size(); ++k) {
      // The time exactly as the clock holds it: whole units, then the
      // billionths without their trailing zeros.
      long long g = (*v)[k].t;
      unsigned long long a = g < 0 ? 0ULL - (unsigned long long)g : (unsigned long long)g;
      char frac[16] = "";
      unsigned long long part = a % 1000000000ULL;
      if (part) {
        snprintf(frac, sizeof frac, ".%09llu", part);
        size_t n = strlen(frac);
        while (n > 1 && frac[n - 1] == '0') frac[--n] = 0;
      }
      fprintf(f, "%s%llu%s %lld\n", g < 0 ? "-" : "", a / 1000000000ULL, frac, (*v)[k].n);
    }
    if (fclose(f) != 0) fprintf(stderr, "valtor: cannot write %s\n", file.c_str());
  }
}

}  // namespace valtor
