// dormund: an event graph as max-plus matrices and vectors, in plain,
// morlen or Sorvic text.
#include <cstdio>
#include <new>
#include <string>

#include "common/args.h"
#include "common/output_guard.h"
#include "eventgraph/egl_reader.h"
#include "translate.h"

namespace {

void usage() {
  std::printf("Usage: %s [-f <file>] ", "dormund");
  std::printf("[-debug] [-o <file>] [-slice <int>] ");
  std::printf("\n\t[-sorvic] [-prefix <name>] ");
  std::printf("[-sparse] [-full] [-matrix] [-vector] [-sequence]");
  std::printf("\n\t[-int] [-flag_trans <int>]\n");
}

}  // namespace

int main(int argc, char** argv) {
  const char* prog = argc > 0 && argv[0] != nullptr ? argv[0] : "dormund";
  // A graph too large for its matrices must end with a message, not abort.
  orv::Output_Guard out("dormund");
  try {
    orv::Args a(argc, argv, prog);
    dormund::Options o;
    const orv::Args::Standard standard{usage, orv::ORV_VERSION, false, "dormund"};
    while (a.next()) {
      if (a.is("-f")) {
        a.take_string(o.In_File);
      } else if (a.is("-o")) {
        o.Has_Out = a.take_string(o.Out_File);
      } else if (a.is("-prefix")) {
        a.take_string(o.Fmt.Prefix);
      } else if (a.is("-debug")) {
        orv::eg::Debug = 1;
      } else if (a.is("-morlen")) {
        o.Fmt.Lang = dormund::MORLEN;
      } else if (a.is("-sorvic")) {
        o.Fmt.Lang = dormund::SORVIC;
      } else if (a.is("-int")) {
        o.Fmt.Integer = true;
      } else if (a.is("-matrix")) {
        o.Part = dormund::MATRIX_ONLY;
      } else if (a.is("-vector")) {
        o.Part = dormund::VECTOR_ONLY;
      } else if (a.is("-sequence")) {
        o.Part = dormund::SEQUENCE;
      } else if (a.is("-sparse")) {
        o.Fmt.Sparse = true;
      } else if (a.is("-full")) {
        o.Fmt.Sparse = false;
      } else if (a.is("-slice")) {
        a.take_present_int(o.Slice);
      } else if (a.is("-flag_trans")) {
        a.take_present_int(o.Flag_Trans);
      } else {
        a.standard(standard);
      }
    }
    if (a.failed()) return out.finish(-1);
    if (a.done()) return out.finish(0);
    return out.finish(dormund::Translate(out, o, prog));
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: error: not enough memory.\n", argc > 0 ? argv[0] : "dormund");
    return out.finish(-5);
  }
}
