// kessart: draws a Petri net for an outside viewer (dot, daVinci, Sorvic
// graph, vund).
#include <cstdio>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "drawings.h"
#include "petri/pnl_reader.h"

namespace {

enum class Mode { Dot, DaVinci, Sorvic, Vund };

bool mode_of(const std::string& name, Mode& mode) {
  if (name == "dot") mode = Mode::Dot;
  else if (name == "daVinci") mode = Mode::DaVinci;
  else if (name == "sorvic") mode = Mode::Sorvic;
  else if (name == "vund") mode = Mode::Vund;
  else return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const char* prog = "kessart";
  orv::Output_Guard out(prog);
  orv::Args args(argc, argv, prog);
  std::string in_file, out_file, mode_name;
  bool to_file = false, fullname = false;
  Mode mode = Mode::DaVinci;
  auto usage = [&] {
    std::printf("Usage: %s [-f <file>] [-mode dot|daVinci|sorvic|vund]", prog);
    std::printf(" [-fullname]\n\t[-debug] [-o <file>]\n");
  };
  const orv::Args::Standard standard{usage, orv::ORV_VERSION};
  while (args.next()) {
    if (args.is("-f")) {
      args.take_string(in_file);
    } else if (args.is("-o")) {
      to_file = args.take_string(out_file);
    } else if (args.is("-mode")) {
      // Errors of the program's own go to standard error.
      if (!args.take_word(mode_name, "")) {
        std::fprintf(stderr, "%s: error: mode name expected after %s.\n", prog, "-mode");
      } else if (!mode_of(mode_name, mode)) {
        std::fprintf(stderr, "%s: error: invalid mode name %s.\n", prog, mode_name.c_str());
        std::fprintf(stderr, "%s: the modes are dot, daVinci, sorvic and vund.\n", prog);
        args.fail();
      }
    } else if (args.is("-fullname")) {
      fullname = true;
    } else if (args.is("-debug")) {
      orv::pn::Debug = 1;
    } else {
      args.standard(standard);
    }
  }
  if (args.failed()) return out.finish(-1);
  if (args.done()) return out.finish(0);

  orv::pn::NetPtr net = orv::pn::Read_Network(in_file);
  if (!net) {
    std::fprintf(stderr, "%s: Error reading network. No translation.\n", prog);
    return out.finish(-2);
  }
  if (to_file && !out.redirect_stdout(out_file, false)) {
    std::fprintf(stderr, "%s: Error opening file %s.\n", prog, out_file.c_str());
    out.report_open_failure(out_file);
    return out.finish(-1);
  }
  switch (mode) {
    case Mode::Dot: orv::pn::dump_dot_code(stdout, *net, fullname); break;
    case Mode::DaVinci: orv::pn::dump_daVinci_code(stdout, *net, fullname); break;
    case Mode::Sorvic: orv::pn::dump_sorvic_code(stdout, *net); break;
    case Mode::Vund: orv::pn::dump_vund_code(stdout, *net, fullname, prog); break;
  }
  return out.finish(0);
}
