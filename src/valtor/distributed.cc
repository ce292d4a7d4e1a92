// The distributed kernel and run time, with every cluster in this process.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <new>

#include "CM_Auto_Kernel.hh"
#include "CM_DD_Kernel.hh"
#include "Cluster.hh"
#include "Proxy/PCM_EQ_Thing.hh"
#include "Proxy/PCM_Tamrick_Server_Normal_FIFO.hh"
#include "Proxy/PCM_Tamrick_Sink.hh"
#include "Proxy/PCM_Tamrick_Source.hh"
#include "Runtime.hh"
#include "sim.h"

Cluster::Cluster() {}

Cluster* Cluster::current() {
  static Cluster* here = new Cluster;
  return here;
}

void* Cluster::operator new(size_t size) { return ::operator new(size); }
void* Cluster::operator new(size_t size, const char*) { return ::operator new(size); }
void Cluster::operator delete(void* p) { ::operator delete(p); }
void Cluster::operator delete(void* p, const char*) { ::operator delete(p); }

void CM_Kernel::check_virtual_machine() {}
void CM_Kernel::set_succ(Cluster*, Cluster*) {}
void CM_Kernel::set_max_simulation_time(double t) { set_ending_time(t); }
void CM_Kernel::halt() {}

String::String(const char* text) {
  if (!text) text = "";
  size_t n = strlen(text);
  text_ = new char[n + 1];
  memcpy(text_, text, n + 1);
}
String::~String() { delete[] text_; }

Comm_Memo::Comm_Memo() : nb_(0), cap_(0), names_(0), makes_(0) {}

void Comm_Memo::store(String* name, Comm_Constructor make) {
  if (!name) return;
  for (int i = 0; i < nb_; ++i)
    if (strcmp(names_[i]->chars(), name->chars()) == 0) {
      makes_[i] = make;
      return;
    }
  if (nb_ == cap_) {
    int n = cap_ ? 2 * cap_ : 8;
    String** a = new String*[n];
    Comm_Constructor* b = new Comm_Constructor[n];
    for (int i = 0; i < nb_; ++i) {
      a[i] = names_[i];
      b[i] = makes_[i];
    }
    delete[] names_;
    delete[] makes_;
    names_ = a;
    makes_ = b;
    cap_ = n;
  }
  names_[nb_] = name;
  makes_[nb_] = make;
  nb_++;
}

Comm_Constructor Comm_Memo::find(const char* name) {
  for (int i = 0; i < nb_; ++i)
    if (strcmp(names_[i]->chars(), name) == 0) return makes_[i];
  return 0;
}

void Runtime::init(int, char**, const char*, const char*) {}

Comm_Memo* Runtime::memo_comm_object() {
  static Comm_Memo* memo = new Comm_Memo;
  return memo;
}

bool Runtime::is_main_cluster() { return true; }

void bootstrap() {}
void spawn_code() {}
void endstrap() {}
int init_distributed_runtime() { return 0; }
int init_distributed_qnlib() { return 0; }
int init_distributed_examplelib() { return 0; }

PCM_EQ_Thing::PCM_EQ_Thing(Cluster*, const char* class_name) : object_(0) {
  Comm_Constructor make = Runtime::memo_comm_object()->find(class_name ? class_name : "");
  if (!make) {
    fprintf(stderr, "valtor: no class %s stored in the registry of the run time\n", class_name ? class_name : "");
    exit(1);
  }
  Comm_Object* made = make();
  object_ = dynamic_cast<CM_EQ_Thing*>(made);
  if (!object_) {
    fprintf(stderr, "valtor: the registry's %s does not make an equational object\n", class_name);
    exit(1);
  }
  real_ = object_;
  valtor::unregister_object(this);
}

PCM_EQ_Thing::PCM_EQ_Thing(DSim_Obj* local) : object_(dynamic_cast<CM_EQ_Thing*>(local)) {
  if (object_) real_ = object_;
  valtor::unregister_object(this);
}

PCM_EQ_Thing::PCM_EQ_Thing(Entity_Id&, Cluster*, Proxy_Comm_Object*) : object_(0) {
  valtor::unregister_object(this);
}

int PCM_EQ_Thing::Register_Input(int input) { return object_ ? object_->Register_Input(input) : -1; }

bool PCM_EQ_Thing::Register_Output(int output, CM_Routing_Server* dest) {
  return object_ ? object_->Register_Output(output, dest ? dest->real() : dest) : false;
}

PCM_Tamrick_Source::PCM_Tamrick_Source(Cluster*) : Tamrick_Source(0.0, 0, -1) {}
PCM_Tamrick_Sink::PCM_Tamrick_Sink(Cluster*) : Tamrick_Sink(0.0) {}
PCM_Tamrick_Server_Normal_FIFO::PCM_Tamrick_Server_Normal_FIFO(Cluster*) : Tamrick_Server_Normal_FIFO(0.0, 1) {}
