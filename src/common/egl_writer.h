// Writing an event graph as EGL text, or as the equivalent PNL net, with a
// header naming the generating program and the date. Everything is printed
// to Out_File (see pnl_writer.h for the stream and the tool name).
#pragma once

#include <string>

#include "common/event_graph.h"

namespace orv {

// Both write to path (standard output when empty) and return 1 on success,
// 0 when the file cannot be opened (nothing written), -1 when writing failed.
int Write_EG_As_PNL(const EventGraph& graph, const std::string& path,
                    const std::string& toolname);
int Write_EG_As_EGL(const EventGraph& graph, const std::string& path,
                    const std::string& toolname);

// "%1d " with the token count, then "%8.4f " per lag.
void Write_Init_Mark_EG(const PLACE_DESC& place);

}  // namespace orv
