// morvane: growth rates of the nodes of an interaction graph by simulation,
// in-process on the graph's Bernoulli product, or through a C simulator that
// pelmark generates and gcc compiles (-compile).
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/args.h"
#include "common/output_guard.h"
#include "common/work_files.h"
#include "maxplus/interaction_graph.h"

namespace {

using namespace orv::mp;

constexpr const char* PROG = "morvane";
constexpr const char* VERSION = "1.0";

void usage() {
  std::printf("usage: %s [-f inputfile] [-o outputfile] ", PROG);
  std::printf("[-nevt <int>] [-nrep <int>]\n\t[-stats] ");
  std::printf(" [-compile] [-keep]\n\t[-v] [-h] [-help] [-?]\n");
}

// The first index whose cumulative probability is not below the draw (the
// last one at most). The table never decreases, so a binary search finds
// what a scan from the start would.
int choice(const std::vector<double>& Pr_Cum) {
  const double u = static_cast<double>(random()) / 2147483647;
  const auto last = Pr_Cum.end() - 1;
  return static_cast<int>(std::lower_bound(Pr_Cum.begin(), last, u) - Pr_Cum.begin());
}

void Simulate(const BERNOULLI_PRODUCT& P, int Sim_Length, int Nb_Replicates, bool Stats) {
  const int n = P.Size;
  std::vector<double> G(n, 0.0), G2(n, 0.0);
  SP_MaxPlus_Vector X = New_SP_MaxPlus_Vector(n, 0);
  SP_MaxPlus_Vector Y = New_SP_MaxPlus_Vector(n, 0);
  const bool firing = !P.Firing.Start.empty();
  for (int r = 0; r < Nb_Replicates; ++r) {
    std::fill(X->Vals.begin(), X->Vals.end(), 0.0);
    if (firing) {
      double* x = X->Vals.data();
      for (int t = 0; t < Sim_Length; ++t) BP_Fire(P.Firing, choice(P.Pr_Cum), x);
    } else {
      for (int t = 0; t < Sim_Length; ++t) {
        SP_MV_Mult(*P.A[choice(P.Pr_Cum)], *X, *Y);
        std::swap(X, Y);
      }
    }
    for (int i = 0; i < n; ++i) {
      if (X->Vals[i] == M_INFINITY || G[i] == M_INFINITY) {
        G[i] = M_INFINITY;
        continue;
      }
      const double g = X->Vals[i] / Sim_Length;
      G[i] += g;
      G2[i] += g * g;
    }
  }
  if (Sim_Length <= 0) return;
  for (int i = 0; i < n; ++i) {
    std::printf("gamma[%d] = ", i);
    if (G[i] == M_INFINITY) {
      std::printf("eps\n");
    } else {
      std::printf("%f", G[i] / Nb_Replicates);
      if (Stats && Nb_Replicates > 1) {
        // Rounding can leave the variance a hair below 0.
        const double var = (G2[i] - G[i] * G[i] / Nb_Replicates) / (Nb_Replicates - 1);
        std::printf("  +/- %f (conf. 95%%)",
                    1.96 * std::sqrt(std::max(var, 0.0)) / std::sqrt(Nb_Replicates));
      }
    }
    std::printf("\n");
  }
}

// A private work folder, so neither another run nor a planted link can
// meet its files; removed with them unless kept, also when a signal ends
// the run.
class Work_Area {
 public:
  bool make(bool keep) {
    const char* tmp = std::getenv("TMPDIR");
    std::string templ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/morvaneXXXXXX";
    if (mkdtemp(templ.data()) == nullptr) return false;
    dir_ = templ;
    if (!keep) orv::Remove_On_Signal(dir_);
    return true;
  }
  std::string path(const char* name) const { return dir_ + "/" + name; }
  void remove(bool keep) {
    if (dir_.empty() || keep) return;
    for (const char* name : {"morvane.graph", "morvane.c", "morvane"}) ::unlink(path(name).c_str());
    ::rmdir(dir_.c_str());
    orv::Forget_On_Signal(dir_);
    dir_.clear();
  }
  const std::string& dir() const { return dir_; }

 private:
  std::string dir_;
};

// "-o": standard output goes to the file, or the program says it cannot.
bool redirect(orv::Output_Guard& out, const std::string& out_name) {
  if (out_name.empty() || out.redirect_stdout(out_name, false)) return true;
  std::fprintf(stderr, "%s: could not open file %s\n", PROG, out_name.c_str());
  return false;
}

// Starts one program of the chain (searched along PATH) and waits for it.
// The chain is announced on standard output by the caller, so nothing else
// is echoed; a child whose program cannot be started says so in its own
// line and ends with 127. The exit status, 128 + the signal, or -1.
int run_child(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // What is buffered would otherwise come after the child's output, or twice.
  std::fflush(stdout);
  std::fflush(stderr);
  // An interrupted run stops its child before removing the child's files.
  const pid_t pid = orv::Fork_Child();
  if (pid < 0) return -1;
  if (pid == 0) {
    const int res = execvp(argv[0], argv.data());
    std::printf("Res = %d, Err = %d\n", res, errno);
    std::fflush(stdout);
    _exit(127);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      orv::Child_Ended(pid);
      return -1;
    }
  }
  orv::Child_Ended(pid);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

// Runs one step of the chain; false (with a message) when it did not end
// well.
bool run_step(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = program;
  for (const std::string& a : arguments) line += " " + a;
  std::printf("Executing: %s\n", line.c_str());
  const int status = run_child(program, arguments);
  if (status == 0) return true;
  std::fprintf(stderr, "%s: error: %s ended with status %d. No simulation.\n", PROG,
               program.c_str(), status);
  return false;
}

// Compiled mode: the graph, checked, goes to the work folder; pelmark writes
// the simulator, gcc compiles it and it runs on the common standard output.
int Compile_Graph_And_Run(orv::Output_Guard& out, const std::string& out_name, int Sim_Length,
                          bool Keep) {
  Work_Area work;
  if (!work.make(Keep)) {
    std::fprintf(stderr, "%s: error: could not create a work folder: %s\n", PROG,
                 std::strerror(errno));
    return -3;
  }
  const std::string graph = work.path("morvane.graph");
  const std::string source = work.path("morvane.c");
  const std::string program = work.path("morvane");
  FILE* copy = std::fopen(graph.c_str(), "w");
  if (copy == nullptr) {
    std::printf("%s: error: could not open file %s.\n", PROG, graph.c_str());
    work.remove(false);
    return -3;
  }
  int c;
  while ((c = std::getchar()) != EOF) std::fputc(c, copy);
  if (std::fclose(copy) != 0) {
    std::printf("%s: error: could not open file %s.\n", PROG, graph.c_str());
    work.remove(false);
    return -3;
  }
  // pelmark would refuse a bad graph too, but after the chain had started.
  FILE* in = std::fopen(graph.c_str(), "r");
  Interaction_Graph G = in != nullptr ? Read_Interaction_Graph(in) : nullptr;
  if (in != nullptr) std::fclose(in);
  if (!G) {
    std::fprintf(stderr, "%s: bad input data. No simulation.\n", PROG);
    work.remove(false);
    return -2;
  }
  if (!redirect(out, out_name)) {
    work.remove(false);
    return -1;
  }
  const bool ok = run_step("pelmark", {"-f", graph, "-o", source}) &&
                  run_step("gcc", {source, "-o", program, "-lm", "-O1"}) &&
                  run_step(program, {"-nevt", std::to_string(Sim_Length)});
  work.remove(Keep);
  return ok ? 0 : -5;
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(PROG);
  orv::Args args(argc, argv, PROG);
  std::string out_name;
  int steps = 100000;
  int replicates = 1;
  bool stats = false, compile = false, keep = false;
  while (args.next()) {
    if (args.is("-f")) {
      std::string file;
      if (!args.take_string(file)) return -1;
      if (std::freopen(file.c_str(), "r", stdin) == nullptr) {
        std::fprintf(stderr, "%s: could not open file %s\n", PROG, file.c_str());
        return -1;
      }
    } else if (args.is("-o")) {
      if (!args.take_string(out_name)) return -1;
    } else if (args.is("-nevt") || args.is("-nrep")) {
      const bool nevt = args.is("-nevt");
      int value = 0;
      if (!args.take_int(value)) return -1;
      // Steps may be 0 (nothing printed); the rates are divided by the
      // replications.
      if (value < (nevt ? 0 : 1)) {
        std::printf("%s: integer expected after %s\n", PROG, nevt ? "-nevt" : "-nrep");
        return -1;
      }
      (nevt ? steps : replicates) = value;
    } else if (args.is("-stats")) {
      stats = true;
    } else if (args.is("-compile")) {
      compile = true;
    } else if (args.is("-keep")) {
      keep = true;
    } else if (args.is("-debug")) {
      Debug = 1;
    } else if (args.is("-v")) {
      std::printf("%s (Version %s)\n", PROG, VERSION);
      return out.finish(0);
    } else if (args.is("-h") || args.is("-?") || args.is("-help")) {
      usage();
      return out.finish(0);
    }
  }

  if (compile) {
    if (replicates != 1 || stats)
      std::fprintf(stderr, "%s: warning: -nrep and -stats apply to the in-process simulation only.\n",
                   PROG);
    return out.finish(Compile_Graph_And_Run(out, out_name, steps, keep));
  }
  Interaction_Graph G = Read_Interaction_Graph(stdin);
  if (!G) {
    std::fprintf(stderr, "%s: bad input data. No simulation.\n", PROG);
    return out.finish(-2);
  }
  Bernoulli_Product P = IG_To_BP(*G);
  if (!P) {
    std::printf("%s: error: could not convert to (max,+) matrices.\n", PROG);
    return out.finish(-4);
  }
  if (!redirect(out, out_name)) return out.finish(-1);
  if (Debug) Write_Bernoulli_Product(*P, stdout, 0, "A");
  Simulate(*P, steps, replicates, stats);
  return out.finish(0);
}
