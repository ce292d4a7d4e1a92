// The resource table source and the header zembrot makes of it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace orv::zembrot {

inline constexpr std::size_t MAX_TOKEN = 127;

struct RECORD {
  std::string Name, Access, Essential, Default;
};

enum class Read_Status { Ok, Token_Too_Long, Incomplete_Record, Empty, Read_Error };

// Reads whitespace-separated records of four tokens, line breaks not
// mattering. Nothing is kept on failure.
Read_Status Read_Table(FILE* in, std::vector<RECORD>& records);

// Writes the header; false when the stream failed.
bool Write_Header(FILE* out, const std::vector<RECORD>& records);

}  // namespace orv::zembrot
