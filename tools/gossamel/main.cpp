// gossamel: an ATM network configuration as PNL models (one per session
// crossing kind, one per switch, the top network) and as a network program
// for the discrete-event simulation class library.
#include <cstdio>
#include <memory>
#include <string>

#include "atm/atm.h"
#include "common/output_guard.h"
#include "gossamel.h"

namespace {

// Submodel numbers 1000 k + s stay distinct only below this.
constexpr int kMaxSessions = 1000;

void usage() {
  std::printf("usage: %s [-f inputfile] [-distributed] [-allfiles]", "gossamel");
  std::printf(" [-no_stats]\n\t");
  std::printf("produces files \n\tsession0_0.pnl session)_1.pnl ,....\n\tswitch0.pnl,switch1.pnl,... "
              "\n\tand a file atm_network.cc. \n\tformat of the input file given in:\n\t");
  std::printf("%s\n", "$ORVHOME/lib/gossamel/atm_network.cfg");
}

void Print_Routing(const orv::atm::CONFIG& cf) {
  std::printf("Routing table (Sw [ row row ... row ]):\n");
  for (int s = 0; s < cf.NbSession; ++s) {
    std::printf("Session %d:", s);
    for (int t = 0; t < cf.NbThrough[s]; ++t) {
      const int k = cf.NumSw[s][t];
      std::printf(" Sw %d[ ", k);
      for (int r : cf.route[s][k]) std::printf("%d ", r);
      std::printf("]");
    }
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out("gossamel");
  const char* name = argc > 0 ? argv[0] : "gossamel";
  gossamel::Invocation = name;
  gossamel::Options o;
  std::string file;
  bool debug = false, failed = false;
  for (int i = 1; i < argc; ++i) {
    const std::string w = argv[i];
    if (w == "-f") {
      if (i + 1 < argc) {
        file = argv[++i];
      } else {
        std::fprintf(stderr, "%s: usage:filename expected after -f\n", name);
        failed = true;
      }
    } else if (w == "-distributed") {
      o.distributed = true;
    } else if (w == "-allfiles") {
      o.allfiles = true;
    } else if (w == "-no_stats") {
      o.stats = false;
    } else if (w == "-debug") {
      debug = true;
    } else if (w == "-h" || w == "-?" || w == "-help") {
      usage();
      return out.finish(-1);
    }
  }
  if (failed) return out.finish(-1);

  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!file.empty()) {
    owned.reset(std::fopen(file.c_str(), "r"));
    if (!owned) {
      std::fprintf(stderr, "%s: could not open file %s\n", name, file.c_str());
      return out.finish(-1);
    }
    in = owned.get();
  }
  orv::atm::CONFIG cf;
  if (!orv::atm::Read_Config(in, cf, stdout)) return out.finish(-1);
  if (cf.NbSession >= kMaxSessions) {
    std::fprintf(stderr, "%s: error: too many sessions (%d): at most %d.\n", "gossamel",
                 cf.NbSession, kMaxSessions - 1);
    return out.finish(-1);
  }
  // The reader has said which size is no power of two; the routes of such a
  // switch lead to rows it lacks, so no model of it is written.
  for (int k = 0; k < cf.NbSwitch; ++k) {
    const int size = cf.SwitchSize[k];
    if (size < 1 || (size & (size - 1)) != 0) return out.finish(-1);
  }
  // The models number a switch's places and a session's stages from its
  // stage count: a single port has none to number them from.
  for (int k = 0; k < cf.NbSwitch; ++k)
    if (cf.Layer[k] < 0) {
      std::fprintf(stderr, "%s: error: switch %d has a single port: its model needs two at least.\n",
                   "gossamel", k);
      return out.finish(-1);
    }
  if (debug) Print_Routing(cf);

  gossamel::Write_Session_Models(out, cf, o);
  for (int k = 0; k < cf.NbSwitch; ++k) {
    char fname[32];
    std::snprintf(fname, sizeof fname, "switch%d.pnl", k);
    if (FILE* f = gossamel::Open_Output(out, fname)) {
      gossamel::Write_Switch_Model(f, cf, k, o);
      out.close(f);
    }
  }
  if (FILE* f = gossamel::Open_Output(out, "top_network.pnl")) {
    gossamel::Write_Top_Network(f, cf);
    out.close(f);
  }
  // A source without a constructor would leave a program that does not
  // compile: the models stay, the program is not written.
  int status = 0;
  if (!gossamel::Valtor_Laws_Ok(cf)) {
    status = -1;
    out.keep_on_failure();
  } else if (FILE* f = gossamel::Open_Output(out, "atm_network.cc")) {
    gossamel::gen_Valtor(f, cf, o.distributed, o.stats);
    out.close(f);
  }
  if (o.distributed)
    if (FILE* f = gossamel::Open_Output(out, "main.cc")) {
      gossamel::Gen_Distributed_Main(f, cf);
      out.close(f);
    }
  // The files are a set: none takes its name when one could not be opened.
  if (gossamel::Open_Failed) status = -1;
  return out.finish(status);
}
