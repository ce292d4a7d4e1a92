#include "table.h"

#include <cctype>

namespace orv::zembrot {

namespace {

bool is_identifier(const std::string& w) {
  if (w.empty() || std::isdigit(static_cast<unsigned char>(w[0]))) return false;
  for (char c : w)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  return true;
}

// The modes access() takes, by name or as the number of their bits.
bool is_access(const std::string& w) {
  if (w == "X_OK" || w == "W_OK" || w == "R_OK" || w == "F_OK") return true;
  return w.size() == 1 && w[0] >= '0' && w[0] <= '7';
}

// The reason a word cannot go into the header, empty when it can.
std::string check(int field, const std::string& w) {
  switch (field) {
    case 0:
      return is_identifier(w) ? "" : "NAME " + w + " is not a C identifier";
    case 1:
      return is_access(w) ? ""
                          : "ACCESS " + w + " is not X_OK, W_OK, R_OK, F_OK or a number from 0 to 7";
    case 2:
      return w == "0" || w == "1" ? "" : "ESSENTIAL " + w + " is not 0 or 1";
    default:
      // The default is written between double quotes.
      return w.find_first_of("\"\\") == std::string::npos
                 ? ""
                 : "DEFAULT " + w + " holds a double quote or a backslash";
  }
}

}  // namespace

Read_Status Read_Table(FILE* in, std::vector<RECORD>& records, Bad_Word* bad) {
  records.clear();
  std::vector<std::string> tokens;
  std::vector<int> lines;  // where each token starts
  std::string token;
  int c, line = 1;
  while ((c = std::fgetc(in)) != EOF) {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!token.empty()) tokens.push_back(std::move(token));
      token.clear();
      if (c == '\n') ++line;
    } else {
      if (token.size() == MAX_TOKEN) return Read_Status::Token_Too_Long;
      if (token.empty()) lines.push_back(line);
      token.push_back(static_cast<char>(c));
    }
  }
  if (std::ferror(in)) return Read_Status::Read_Error;
  if (!token.empty()) tokens.push_back(std::move(token));
  // Without a resource the arrays would have empty initialisers, which is not
  // valid C or C++; a short last record would leave holes in them.
  if (tokens.empty()) return Read_Status::Empty;
  if (tokens.size() % 4 != 0) return Read_Status::Incomplete_Record;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    std::string why = check(static_cast<int>(i % 4), tokens[i]);
    if (why.empty()) continue;
    if (bad) *bad = {lines[i], std::move(why)};
    return Read_Status::Bad_Word;
  }
  for (std::size_t i = 0; i < tokens.size(); i += 4)
    records.push_back({tokens[i], tokens[i + 1], tokens[i + 2], tokens[i + 3]});
  return Read_Status::Ok;
}

bool Write_Header(FILE* out, const std::vector<RECORD>& records) {
  const std::size_t n = records.size();
  std::fprintf(out, "/* definition file for external resources */\n");
  std::fprintf(out, "#include <stdio.h>\n\n");
  for (std::size_t i = 0; i < n; ++i) {
    std::fprintf(out, "#define\t%s\t", records[i].Name.c_str());
    if (records[i].Name.size() <= 7) std::fprintf(out, "\t");
    std::fprintf(out, "%zu\n", i);
  }
  std::fprintf(out, "\n");
  std::fprintf(out, "#define\tNB_RESOURCES\t%zu\n", n);
  std::fprintf(out, "\n#ifndef RESOURCES\n#define RESOURCES\n\n");

  std::fprintf(out, "char\t*Resource_Name[] = {\n");
  for (const RECORD& r : records) std::fprintf(out, "\t\"%s\",\n", r.Name.c_str());
  std::fprintf(out, "\tNULL };\n\n");

  std::fprintf(out, "#include <unistd.h>\n\n");
  std::fprintf(out, "int\tAccess_Code[] = {\n");
  for (std::size_t i = 0; i < n; ++i)
    std::fprintf(out, "\t%s%s", records[i].Access.c_str(), i + 1 < n ? ",\n" : "");
  std::fprintf(out, " };\n\n");

  std::fprintf(out, "char\t*Default_Value[] = {\n");
  for (const RECORD& r : records) std::fprintf(out, "\t\"%s\",\n", r.Default.c_str());
  std::fprintf(out, "\tNULL };\n\n");

  std::fprintf(out, "boolean\tIs_Essential[] = {\n");
  for (std::size_t i = 0; i < n; ++i)
    std::fprintf(out, "\t%s%s", records[i].Essential.c_str(), i + 1 < n ? ",\n" : "");
  std::fprintf(out, " };\n\n");
  std::fprintf(out, "#endif\n");
  return !std::ferror(out);
}

}  // namespace orv::zembrot
