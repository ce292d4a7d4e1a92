// yelvorn: a state trajectory (time, state pairs) as an xfig drawing, one
// filled box per stay, coloured by the state.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "drawing.h"

namespace {

using namespace orv::yelvorn;

void usage() {
  std::printf("Usage: %s [-f <file>] [-o <file>] ", kProg);
  std::printf("[-nmax <int>] [-tmax <real>]\n\t[-title <string>] [-?] [-h]\n");
}

}  // namespace

int main(int argc, char** argv) {
  orv::Output_Guard out(kProg);
  std::string in_name, out_name;
  Drawing_Options o;
  orv::Args a(argc, argv, kProg, stdout);
  const orv::Args::Standard standard{usage, "1.0"};
  // A value that reads but lies outside the option's range.
  auto refuse = [&](const char* kind, const char* opt) {
    std::printf("%s: %s expected after %s\n", kProg, kind, opt);
    a.fail();
    a.stop();
  };
  while (a.next()) {
    if (a.is("-f")) {
      a.take_string(in_name);
    } else if (a.is("-o")) {
      a.take_string(out_name);
    } else if (a.is("-title")) {
      o.has_title = a.take_string(o.title);
    } else if (a.is("-nmax")) {
      if (a.take_int(o.nmax) && o.nmax < 1) refuse("integer", "-nmax");
    } else if (a.is("-tmax")) {
      if (a.take_real(o.tmax) && std::isnan(o.tmax)) refuse("real", "-tmax");
    } else if (a.is("-xscale")) {
      // Negative or zero scales fold or flatten the drawing.
      if (a.take_real(o.xscale) && !(o.xscale > 0 && std::isfinite(o.xscale)))
        refuse("real", "-xscale");
    } else if (a.is("-yscale")) {
      if (a.take_real(o.yscale) && !(o.yscale > 0 && std::isfinite(o.yscale)))
        refuse("real", "-yscale");
    } else if (a.is("-debug")) {
      // accepted for the other tools' sake; nothing to trace
    } else {
      a.standard(standard);
    }
  }
  if (a.failed()) return out.finish(-1);
  if (a.done()) return out.finish(0);

  FILE* in = stdin;
  std::unique_ptr<FILE, int (*)(FILE*)> owned(nullptr, &std::fclose);
  if (!in_name.empty()) {
    owned.reset(std::fopen(in_name.c_str(), "r"));
    if (!owned) {
      const int e = errno;
      std::fprintf(stderr, "%s: Error reading Markov chain.\n", kProg);
      std::fprintf(stderr, "%s: cannot open trajectory %s: %s\n", kProg, in_name.c_str(),
                   std::strerror(e));
      return out.finish(-1);
    }
    in = owned.get();
  }
  // The drawing goes to a temporary that takes the name only when the run
  // succeeds, so "-o" naming the input still reads the input whole.
  if (!out_name.empty() && !out.redirect_stdout(out_name)) return out.finish(-1);

  const std::string where = in_name.empty() ? "standard input" : in_name;
  return out.finish(Draw_Trajectory(in, where, o));
}
