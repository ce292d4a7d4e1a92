#include "chain.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "common/args.h"
#include "common/egl_writer.h"
#include "common/exact_real.h"
#include "common/execute.h"
#include "common/resources.h"
#include "common/work_files.h"
#include "eventgraph/egl_reader.h"
#include "eventgraph/topology.h"

// The arrays are defined once, in the generated unit.
#define RESOURCES
#include "resources.h"

namespace cadrix {

namespace {

const char* const TOOL = "cadrix";

const std::string& value(int r) { return orv::Resource_Value[static_cast<size_t>(r)]; }

// The run's files; see Make_Work_Files.
struct Work_Files {
  std::string Dir;  // the folder of the run's own, empty when none was needed
  std::string Egl, Egl2, Mat, Res, Dat;
  bool Res_Named = false;  // TMP_RES_FILE set by the user
} Work;

// A file of the chain is made afresh: an older one, or a link planted under
// the name, is removed rather than written through or read back.
bool clear(const std::string& path) {
  if (orv::Remove_Old_File(path)) return true;
  std::fprintf(stderr, "%s: Error: cannot remove the old file %s (%s). Abort.\n", TOOL, path.c_str(),
               std::strerror(errno));
  return false;
}

FILE* create_private(const std::string& path) {
  const int fd = orv::Open_Private_File(path);
  if (fd < 0) return nullptr;
  FILE* f = fdopen(fd, "w");
  if (!f) close(fd);
  return f;
}

void drop(const std::string& path, int Keep) {
  if (!Keep) unlink(path.c_str());
}

bool write_graph(const orv::EventGraph& g, const std::string& path) {
  FILE* f = create_private(path);
  if (f) std::fclose(f);
  if (!f || orv::Write_EG_As_EGL(g, path, TOOL) != 1) {
    std::fprintf(stderr, "%s: Error: could not open file %s for writing.\n", TOOL, path.c_str());
    return false;
  }
  return true;
}

// One program of the chain; false, after a message, unless it ended well,
// so that nothing is read from a missing or half-written file.
bool run_step(int program, const std::vector<std::string>& args) {
  const int status = orv::execute(TOOL, value(program), args);
  if (status == 0) return true;
  std::fprintf(stderr, "%s: Error: %s failed (exit status %d). Abort.\n", TOOL,
               value(program).c_str(), status);
  return false;
}

// Reads characters up to and including c; false at the end of the file.
bool Seek(FILE* f, int c) {
  for (int ch; (ch = std::getc(f)) != EOF;)
    if (ch == c) return true;
  return false;
}

bool truncated(const char* what) {
  std::fprintf(stderr, "%s: Error: no %s in %s. Abort.\n", TOOL, what, Work.Res.c_str());
  return false;
}

// Words 1..last of a row; word `keep` into *out.
bool read_row(FILE* f, int last, int keep, double* out) {
  char word[128];
  for (int w = 1; w <= last; ++w) {
    if (std::fscanf(f, "%127s", word) != 1) return truncated("complete row");
    if (w != keep) continue;
    double v;
    if (!orv::read_real(word, v)) {
      std::fprintf(stderr, "%s: Error: improper value found (%s).\n", TOOL, word);
      return false;
    }
    *out = v;
  }
  return true;
}

}  // namespace

int Initialize_Resources(int Checking, bool Debug) {
  return orv::Initialize_Resources(orv::The_Resources, TOOL, Checking, Debug);
}

bool Make_Work_Files(int Keep, const std::string& Graph_File) {
  struct Named {
    int Resource;
    const char* Variable;
    const char* Base;
    std::string* Path;
  };
  const Named files[] = {{TMP_EGL_FILE, "TMP_EGL_FILE", "cadrix.egl", &Work.Egl},
                         {TMP_EGL_FILE2, "TMP_EGL_FILE2", "cadrix2.egl", &Work.Egl2},
                         {TMP_MAT_FILE, "TMP_MAT_FILE", "cadrix.mat", &Work.Mat},
                         {TMP_RES_FILE, "TMP_RES_FILE", "cadrix.res", &Work.Res},
                         {TMP_QUORREL_FILE, "TMP_QUORREL_FILE", "cadrix.dat", &Work.Dat}};
  bool all_named = true;
  for (const Named& f : files) all_named = all_named && std::getenv(f.Variable) != nullptr;
  if (!all_named) {
    Work.Dir = orv::Make_Private_Dir(value(TMP_DIR), TOOL);
    if (Work.Dir.empty()) {
      std::fprintf(stderr, "%s: Error: cannot create a work folder in %s (%s). No analysis.\n", TOOL,
                   value(TMP_DIR).c_str(), std::strerror(errno));
      return false;
    }
    // A folder kept is kept whatever ends the run.
    if (Keep) orv::Forget_On_Signal(Work.Dir);
  }
  for (const Named& f : files)
    *f.Path = std::getenv(f.Variable) ? value(f.Resource) : orv::Join_Path(Work.Dir, f.Base);
  // A file named for the work is made afresh and removed: never the graph.
  for (const Named& f : files) {
    if (!Graph_File.empty() && orv::Same_File(*f.Path, Graph_File)) {
      std::fprintf(stderr, "%s: Error: the work file %s is the graph file %s. No analysis.\n", TOOL,
                   f.Path->c_str(), Graph_File.c_str());
      for (const Named& g : files) g.Path->clear();
      return false;
    }
  }
  Work.Res_Named = std::getenv("TMP_RES_FILE") != nullptr;
  return true;
}

void End_Work_Files(int Keep) {
  if (Keep) {
    if (!Work.Dir.empty() && rmdir(Work.Dir.c_str()) != 0)
      std::fprintf(stderr, "%s: work files kept in %s\n", TOOL, Work.Dir.c_str());
    return;
  }
  // A run that stopped early leaves no file of a later step behind either.
  for (const std::string* f : {&Work.Egl, &Work.Egl2, &Work.Mat, &Work.Dat})
    if (!f->empty()) unlink(f->c_str());
  if (!Work.Res_Named && !Work.Res.empty()) unlink(Work.Res.c_str());
  if (!Work.Dir.empty()) rmdir(Work.Dir.c_str());
}

namespace {

// Every constant delay and lag, or false when a law is random.
bool time_values(const orv::EventGraph& g, std::vector<double>& v) {
  for (const auto& t : g.T) {
    if (!t->Trans_Law) continue;
    if (t->Trans_Law->Name != 'C') return false;
    v.push_back(t->Trans_Law->Parameters[0]);
  }
  for (const auto& p : g.P) {
    if (p->Place_Law) {
      if (p->Place_Law->Name != 'C') return false;
      v.push_back(p->Place_Law->Parameters[0]);
    }
    v.insert(v.end(), p->Lag_Times.begin(), p->Lag_Times.end());
  }
  return true;
}

bool whole(double x) { return std::fabs(x - std::nearbyint(x)) <= 1e-9 * std::max(1.0, std::fabs(x)); }

}  // namespace

long Time_Scale(const orv::EventGraph& Reseau) {
  std::vector<double> v;
  if (!time_values(Reseau, v)) return 1;
  long scale = 0;
  for (long s = 1; s <= 1000000 && scale == 0; s *= 10) {
    bool ok = true;
    for (double x : v) ok = ok && whole(x * static_cast<double>(s));
    if (ok) scale = s;
  }
  if (scale == 0) {
    for (double x : v)
      if (!whole(x * 1e6)) {
        std::fprintf(stderr,
                     "%s: error: the delay or lag %g is no whole number of any time unit down to "
                     "1e-6; the transient analysis counts in whole time units. No analysis.\n",
                     TOOL, x);
        break;
      }
    return 0;
  }
  // The coarsest unit that still makes every value whole.
  long g = scale;
  double total = 0.0;
  for (double x : v) {
    const double n = std::nearbyint(x * static_cast<double>(scale));
    total += std::fabs(n);
    g = std::gcd(g, static_cast<long>(std::fmod(std::fabs(n), static_cast<double>(scale))));
  }
  scale /= g == 0 ? 1 : g;
  if (total / static_cast<double>(g == 0 ? 1 : g) > 2147483647.0) {
    std::fprintf(stderr,
                 "%s: error: counted in time units of 1/%ld, the delays and lags add up beyond "
                 "the integer analysis's range. No analysis.\n",
                 TOOL, scale);
    return 0;
  }
  return scale;
}

void Scale_Graph(orv::EventGraph& Reseau, long Scale) {
  if (Scale == 1) return;
  const double f = static_cast<double>(Scale);
  auto sc = [f](double x) { return std::nearbyint(x * f); };
  for (auto& t : Reseau.T)
    if (t->Trans_Law) t->Trans_Law->Parameters[0] = sc(t->Trans_Law->Parameters[0]);
  for (auto& p : Reseau.P) {
    if (p->Place_Law) p->Place_Law->Parameters[0] = sc(p->Place_Law->Parameters[0]);
    for (double& l : p->Lag_Times) l = sc(l);
  }
}

void Unscale_Epochs(Epochs& e, long Scale) {
  const double f = static_cast<double>(Scale);
  for (double& b : e.B) b /= f;
  for (double& i : e.Inc) i /= f;
}

orv::EventGraphPtr Flatten_Network(const orv::EventGraph& Reseau, int Keep) {
  const std::string& in = Work.Egl;
  const std::string& out = Work.Egl2;
  orv::EventGraphPtr g;
  if (write_graph(Reseau, in) && clear(out) &&
      run_step(DUNVESK, {"-f", in, "-flatten", "-split", "-o", out})) {
    g = orv::eg::Read_Network(out);
    if (!g) std::fprintf(stderr, "%s: Error reading flattened network.\n", TOOL);
    // Flattening keeps the token-free part, so a live graph stays live; a
    // flattener that broke it gets no further.
    else if (!orv::eg::topological_analysis(*g))
      g.reset();
  }
  drop(in, Keep);
  drop(out, Keep);
  return g;
}

bool Compute_Matrix(const orv::EventGraph& Reseau, int Input_Nb, int Keep) {
  const std::string& egl = Work.Egl;
  const std::string& mat = Work.Mat;
  bool ok = write_graph(Reseau, egl) && clear(mat) &&
            run_step(DORMUND, {"-f", egl, "-o", mat, "-int", "-brisvel", "-flag_trans",
                               std::to_string(Input_Nb)});
  drop(egl, Keep);
  return ok;
}

bool Compute_Transients(int Keep) {
  const std::string& mat = Work.Mat;
  const std::string& res = Work.Res;
  // An earlier run's results must never be read in place of this one's.
  bool ok = clear(res) && run_step(UMBRISK, {"-f", mat, "-o", res, "-transient"});
  drop(mat, Keep);
  return ok;
}

bool Extract_Parameters(int Size, int Trans_Nb, Epochs& e) {
  const std::string& res = Work.Res;
  FILE* f = std::fopen(res.c_str(), "r");
  if (!f) {
    std::fprintf(stderr, "%s: Error: could not open file %s for reading. Abort.\n", TOOL,
                 res.c_str());
    return false;
  }
  struct Closer {
    FILE* f;
    ~Closer() { std::fclose(f); }
  } closer{f};

  // The cyclicity follows the second capital C (the first opens the
  // critical sub-graph), the transient length the next "l".
  int D = 0, T = 0;
  if (!Seek(f, 'C') || !Seek(f, 'C') || std::fscanf(f, "yclicity: cyc = %d", &D) != 1 || D < 1)
    return truncated("cyclicity");
  if (!Seek(f, 'l') || std::fscanf(f, "ength of transient period:  %d", &T) != 1 || T < 1)
    return truncated("transient length");

  std::rewind(f);
  // Rows are kept as they are read: the counts above are only the file's
  // word, and a file that lacks the rows must not cost memory for them.
  std::vector<double> raw;
  const long long rows = static_cast<long long>(T) + D;
  for (long long k = 0; k < rows; ++k) {
    int row = -1;
    if (!Seek(f, 'T') || std::fscanf(f, " = %d:", &row) != 1) return truncated("trajectory row");
    if (k < T && row != k) {
      std::fprintf(stderr, "%s: Error: index mismatch (%lld<>%d).\n", TOOL, k, row);
      return false;
    }
    const int last = k < T ? Size : Trans_Nb;
    double v = 0.0;
    if (!read_row(f, last, Trans_Nb, &v)) return false;
    raw.push_back(v);
  }

  // The periodic epochs as successive increments, the first from the last
  // transient epoch; the transient ones relative to the first.
  e.D = D;
  e.Inc.assign(static_cast<size_t>(D), 0.0);
  for (int k = 0; k < D; ++k)
    e.Inc[static_cast<size_t>(k)] = raw[static_cast<size_t>(T + k)] - raw[static_cast<size_t>(T + k - 1)];
  e.B.assign(raw.begin(), raw.begin() + T);
  for (int k = T - 1; k >= 0; --k) e.B[static_cast<size_t>(k)] -= e.B[0];
  e.T = T - 1;
  return true;
}

bool Dump_Data_File(double Lambda, const Epochs& e, int N_Max) {
  const std::string& path = Work.Dat;
  FILE* f = create_private(path);
  if (!f) {
    std::fprintf(stderr, "%s: Error: could not open file %s for writing.\n", TOOL, path.c_str());
    return false;
  }
  std::fprintf(f, "%12.8f\n", Lambda);
  std::fprintf(f, "%d\n", e.T);
  std::fprintf(f, "%d\n", e.D);
  for (double b : e.B) std::fprintf(f, " %12.8f", b);
  std::fprintf(f, "\n");
  for (double i : e.Inc) std::fprintf(f, " %12.8f", i);
  std::fprintf(f, "\n");
  std::fprintf(f, "%d\n", N_Max);
  const bool written = std::fflush(f) == 0 && !std::ferror(f);
  if (std::fclose(f) != 0 || !written) {
    std::fprintf(stderr, "%s: Error: could not write file %s.\n", TOOL, path.c_str());
    return false;
  }
  return true;
}

bool Compute_Distribution(const Distribution& d, int Keep) {
  // quorrel reads these back: "%f" unless that loses digits.
  auto real = [](double x) { return orv::Exact_Real(0, 6, x); };
  const std::string& data = Work.Dat;
  std::vector<std::string> args = {"-f", data, "-lambda", real(d.Lambda)};
  if (d.Value) {
    args.insert(args.end(), {"-xval", real(d.x_Val)});
  } else if (d.Moment) {
    args.insert(args.end(), {"-moment", std::to_string(d.Order)});
  } else {
    args.insert(args.end(), {"-xfrom", real(d.x_Start), "-xto", real(d.x_Stop)});
    if (d.Queue) args.push_back("-queue");
    if (d.Queue && d.Log) args.push_back("-log");
  }
  // The results pass through a file of this run's own and are copied to
  // standard output here, so that a results stream that cannot be written
  // is noticed (and reported by the caller) whatever the child makes of it.
  std::string temp = data + ".out.XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    std::fprintf(stderr, "%s: Error: could not open file %s for writing.\n", TOOL, temp.c_str());
    drop(data, Keep);
    return false;
  }
  orv::Remove_On_Signal(temp);
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  bool ok = saved >= 0 && dup2(fd, STDOUT_FILENO) >= 0;
  if (ok) {
    ok = run_step(QUORREL, args);
    dup2(saved, STDOUT_FILENO);
  }
  if (saved >= 0) close(saved);
  if (lseek(fd, 0, SEEK_SET) == 0) {
    char buf[8192];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) std::fwrite(buf, 1, static_cast<size_t>(n), stdout);
  }
  close(fd);
  unlink(temp.c_str());
  orv::Forget_On_Signal(temp);
  drop(data, Keep);
  return ok;
}

}  // namespace cadrix
