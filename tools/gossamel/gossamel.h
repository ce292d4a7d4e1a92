// gossamel's writers: the PNL session, switch and top-network models and the
// network program for the discrete-event simulation class library.
#pragma once

#include <cstdio>
#include <set>
#include <string>

#include "atm/atm.h"
#include "common/output_guard.h"

namespace gossamel {

struct Options {
  bool distributed = false, allfiles = false, stats = true;
  std::string file;  // the configuration; standard input when empty
  bool debug = false;
};

// Reads the configuration and writes every file of the run through out.
// Returns the program's exit status.
int Run(const Options& o, orv::Output_Guard& out);

// The name the program was invoked by, for the messages that carry it.
inline std::string Invocation = "gossamel";
// Opens a generated file through the guard; one that cannot be opened is
// reported and skipped, and the run fails.
FILE* Open_Output(orv::Output_Guard& out, const std::string& path);
inline bool Open_Failed = false;

void Write_Session_Models(orv::Output_Guard& out, const orv::atm::CONFIG& cf, const Options& o);
void Write_Switch_Model(FILE* f, const orv::atm::CONFIG& cf, int k, const Options& o);
void Write_Top_Network(FILE* f, const orv::atm::CONFIG& cf);

// True when every source law has a constructor in the network program;
// otherwise each one that has none is reported on stderr.
bool Valtor_Laws_Ok(const orv::atm::CONFIG& cf);
void gen_Valtor(FILE* f, const orv::atm::CONFIG& cf, bool D, bool S);
void Gen_Distributed_Main(FILE* f, const orv::atm::CONFIG& cf);

}  // namespace gossamel
