// quanter: simulates a timed Petri net with constant delays, in-process by the
// counter recursion or (-compile) through generated and compiled C code.
#include <sys/time.h>

#include <algorithm>
#include <climits>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <memory>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "compile.h"
#include "petri/analysis.h"
#include "petri/flatten.h"
#include "petri/pnl_reader.h"
#include "simulation.h"

namespace {

const char* const PROG = "quanter";

void usage() {
  std::printf("Usage: %s [-f <file>] [-tmax <int>] [-bs <int>]", PROG);
  std::printf(" [-scale <int>]\n\t[-compile] [-keep] [-tmp] [-c] ");
  std::printf(" [-debug] [-h] [-?]\n");
}

void refuse() {
  std::printf("%s: the network doesn't satisfy the assumptions. ", PROG);
  std::printf("No simulation.\n");
}

// Inhibitor arcs have no meaning in the counter recursion.
// The arcs are scanned whatever the net's flag says, so that the place can be
// named.
bool has_no_inhibitor(const orv::pn::PetriNet& net) {
  for (int p = 0; p < net.Nb_Places; ++p)
    for (const orv::pn::LINK_LIST& arc : net.P[p].Outputs)
      if (arc.Is_Inhibitor) {
        std::printf("Place %d (%s) has an inhibitor arc.\n", p, net.P[p].Name.c_str());
        return false;
      }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  std::string file;
  std::string tmp_dir;
  quanter::Run_Options options;
  int checking = 0, compile = 0, keep = 0;
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(file);
    } else if (args.is("-bs")) {
      // A buffer holds at least one row of counters.
      if (args.take_int(options.Buf_Size) && options.Buf_Size < 1) {
        std::printf("%s: integer expected after %s\n", PROG, "-bs");
        args.fail();
      }
    } else if (args.is("-scale")) {
      // Ticks per time unit: a scale below 1 has no tick to count in.
      if (args.take_int(options.Scale) && options.Scale < 1) {
        std::printf("%s: integer expected after %s\n", PROG, "-scale");
        args.fail();
      }
    } else if (args.is("-tmax")) {
      // A run cannot end before it starts.
      if (args.take_int(options.Tmax) && options.Tmax < 0) {
        std::printf("%s: integer expected after %s\n", PROG, "-tmax");
        args.fail();
      }
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else if (args.is("-c")) {
      checking = 1;
    } else if (args.is("-compile")) {
      compile = 1;
    } else if (args.is("-keep")) {
      keep = 1;
    } else if (args.is("-tmp")) {
      // An empty value names no directory (it is not the root).
      if (args.take_word(tmp_dir, "%s: directory expected after %s\n") && !tmp_dir.empty() &&
          tmp_dir.back() != '/')
        tmp_dir += '/';
    } else if (args.is("-v")) {
      args.print_version();
      return out.finish(0);
    } else if (args.is("-h") || args.is("-?")) {
      usage();
      return out.finish(0);
    }
  }
  if (args.failed()) return out.finish(-1);
  const bool debug = orv::pn::Debug != 0;

  // The listing needs no net: it comes before the net is read (which may
  // wait on standard input).
  if (compile && checking) return out.finish(quanter::List_Resources(debug) ? 0 : -2);

  // The fixed line is kept for scripts that look for it; the next one says
  // whether the file could not be opened or held no net the reader accepts.
  FILE* in = orv::pn::Open_PNL_File(file);
  if (!in) {
    const int err = errno;
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, file.c_str());
    std::fprintf(stderr, "%s: cannot open %s: %s\n", PROG, file.c_str(), std::strerror(err));
    return out.finish(-2);
  }
  orv::pn::NetPtr net = orv::pn::Read_Network_Stream(in, file);
  if (in != stdin) std::fclose(in);
  if (!net) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", PROG, file.c_str());
    std::fprintf(stderr, "%s: %s holds no net the PNL reader accepts (see its message)\n", PROG,
                 file.empty() ? "standard input" : file.c_str());
    return out.finish(-2);
  }
  // Both modes work on one flat net: the PNL handed to the code generator
  // carries no bindings.
  if (net->Nb_Submodels > 0) orv::pn::Flatten_PN(*net, 1);

  int scale = 0;
  if (orv::pn::Has_All_Deterministic_Objects(*net, 0, nullptr) &&
      orv::pn::Has_Simulable_Places(*net, 0, nullptr) &&
      orv::pn::Has_Real_Sources(*net, 0, nullptr) && has_no_inhibitor(*net))
    scale = orv::pn::Find_Time_Scale(*net, 1, options.Scale, 0, nullptr);
  if (scale == 0) {
    refuse();
    return out.finish(-1);
  }

  orv::pn::LAYER_STRUCT layers;
  if (!orv::pn::topological_analysis(*net, &layers)) {
    std::printf("%s: zero time cycle encountered. No simulation.\n", PROG);
    return out.finish(-1);
  }
  if (debug) orv::pn::Dump_Layer_Struct(layers);

  if (!net->Sim_Params) net->Sim_Params = std::make_unique<orv::pn::Sim_Control>();
  net->Sim_Params->Nb_Firings = options.Tmax;
  if (static_cast<long long>(scale) * options.Tmax > INT_MAX) {
    std::printf("%s: error: -tmax %d is too long at time scale %d. No simulation.\n", PROG,
                options.Tmax, scale);
    return out.finish(-1);
  }

  // The buffer holds every counter the recursion looks back to.
  const double D = quanter::Max(orv::pn::Max_Delay(*net), orv::pn::Max_Lag(*net));
  const double m = D > 0 ? std::rint(D * scale) : 0;
  const double buffer = std::max<double>(options.Buf_Size, m + 1);

  if (compile) {
    switch (quanter::Compile_PN(*net, file, checking, tmp_dir, keep, options, debug)) {
      case quanter::COMPILE_DONE:
        return out.finish(0);
      default:
        return out.finish(-2);
    }
  }

  quanter::Simulation sim;
  timeval start{}, end{};
  gettimeofday(&start, nullptr);
  bool ran = buffer < INT_MAX &&
             quanter::simulate(sim, *net, layers, scale, static_cast<int>(buffer));
  gettimeofday(&end, nullptr);
  if (!ran) {
    if (buffer >= INT_MAX) std::printf("Could not allocate space. Simulation not launched.\n");
    return out.finish(-2);
  }
  if (debug) quanter::dumpe_simulation(sim, *net);
  quanter::write_stat_results(sim, *net, start, end);
  return out.finish(0);
}
