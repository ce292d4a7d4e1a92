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

enum class Read_Status { Ok, Token_Too_Long, Incomplete_Record, Empty, Read_Error, Bad_Word };

// A word that would make a header that does not compile: its line (from 1),
// and what is wrong with it, ready to print.
struct Bad_Word {
  int Line = 0;
  std::string Reason;
};

// Reads whitespace-separated records of four tokens, line breaks not
// mattering, and checks each word (Bad_Word filled for the first bad one).
// Nothing is kept on failure.
Read_Status Read_Table(FILE* in, std::vector<RECORD>& records, Bad_Word* bad = nullptr);

// Writes the header; false when the stream failed.
bool Write_Header(FILE* out, const std::vector<RECORD>& records);

}  // namespace orv::zembrot
