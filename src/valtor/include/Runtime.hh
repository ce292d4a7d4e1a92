// The run time of the distributed kernel: a registry of the classes whose
// objects a proxy creates by name (the program stores them before it
// starts), and the start and end of the run. Everything runs here.
#ifndef VALTOR_RUNTIME_HH
#define VALTOR_RUNTIME_HH
#include "bool.h"
#include "CM_EQ_Thing.hh"

class String {
 public:
  String(const char* text);
  ~String();
  const char* chars() const { return text_; }

 private:
  char* text_;
};

typedef Comm_Object* (*Comm_Constructor)();

class Comm_Memo {
 public:
  Comm_Memo();
  void store(String* name, Comm_Constructor make);
  // Null when no class of that name was stored.
  Comm_Constructor find(const char* name);

 private:
  int nb_;
  int cap_;
  String** names_;
  Comm_Constructor* makes_;
};

class Runtime {
 public:
  static void init(int argc, char** argv, const char* hosts, const char* program);
  static Comm_Memo* memo_comm_object();
  static bool is_main_cluster();
};

void bootstrap();
void spawn_code();
void endstrap();
int init_distributed_runtime();
int init_distributed_qnlib();
int init_distributed_examplelib();
#endif
