#pragma once
// The model readers scan a whole text in memory: a scanner fed from a stream
// rescans a long token at every refill, which turns a long comment or name
// into quadratic time.
#include <cstddef>
#include <cstdio>
#include <string>

namespace orv {

// No model text comes near this; a stream that does (a device such as
// /dev/zero never ends) is refused rather than read until memory runs out.
inline constexpr size_t Max_Text_Bytes = size_t{1} << 30;

enum class Read_Result { Ok, Read_Error, Too_Long };

// Appends everything left in `in` to `text`, at most `limit` bytes: one byte
// more gives Too_Long (text then holds what was read).
Read_Result Read_Whole_Stream(FILE* in, std::string& text, size_t limit = Max_Text_Bytes);

// The scanners' report of a character no rule takes: what plus the
// character, or its name when it would not show (\r, \0, \xHH).
void Print_Illegal_Character(FILE* out, const char* what, char c);
// Said once per file after the first carriage return that ends a line.
void Print_Dos_Note(FILE* out);

// A token of decimal digits only (the scanner's rule sees to it) as an int;
// values beyond the int range saturate instead of wrapping, so a number too
// big for a model is still refused as too big.
int Scan_Digits(const char* s, size_t n);
// A real token, as strtod reads it: from_chars rounds the same way and is
// faster, strtod decides where it fails (out of range).
double Scan_Real(const char* s, size_t n);

}  // namespace orv
