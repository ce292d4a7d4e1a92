#include "simulate.h"

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

#include "common/work_files.h"
#include "maxplus/interaction_graph.h"

using namespace orv::mp;

namespace {

constexpr const char* PROG = "morvane";

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
  out.report_open_failure(out_name);
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

}  // namespace

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


int Simulate_Graph(orv::Output_Guard& out, const std::string& out_name, int Sim_Length,
                   int Nb_Replicates, bool Stats) {
  Interaction_Graph G = Read_Interaction_Graph(stdin);
  if (!G) {
    std::fprintf(stderr, "%s: bad input data. No simulation.\n", PROG);
    return -2;
  }
  Bernoulli_Product P = IG_To_BP(*G);
  if (!P) {
    std::printf("%s: error: could not convert to (max,+) matrices.\n", PROG);
    return -4;
  }
  if (!redirect(out, out_name)) return -1;
  if (Debug) Write_Bernoulli_Product(*P, stdout, 0, "A");
  Simulate(*P, Sim_Length, Nb_Replicates, Stats);
  return 0;
}
