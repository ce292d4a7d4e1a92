// Command-line scanning shared by every program: words are taken left to
// right, options match whole words only, and unknown words are skipped by the
// caller simply not matching them.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace orv {

// The tool set's version, answered by "-v" in most programs.
inline constexpr const char* ORV_VERSION = "ORV beta 0.2.2 (15/03/1999)";

class Args {
 public:
  // prog names the program in messages; messages go to msg.
  Args(int argc, char** argv, std::string prog, FILE* msg = stdout);

  // Moves to the next word; false when the words are used up or after an
  // argument error (the scan ends there).
  bool next();
  const char* word() const { return argv_[pos_]; }
  bool is(const char* opt) const;

  // Take the value after the current option. On failure they print the
  // system's argument-error message, mark the scan failed and return false.
  bool take_string(std::string& out);       // "%s: argument missing after %s\n"
  bool take_int(int& out);                  // "%s: integer expected after %s\n"
  bool take_real(double& out);              // "%s: real expected after %s\n"
  // An integer whose absence is told apart from a word that is not one:
  // "argument missing" when nothing follows, "integer expected" otherwise.
  bool take_present_int(int& out);
  // A value with a message of the program's own: fmt gets (prog, option).
  bool take_word(std::string& out, const char* fmt);
  bool take_int(int& out, const char* fmt);
  bool take_real(double& out, const char* fmt);

  // "-f" of the programs that read their model from standard input: takes
  // the name and reopens standard input on it. A name that cannot be opened
  // prints open_fmt (program, name) on stderr and fails the scan.
  bool take_input(std::string& name, const char* open_fmt = "%s: could not open file %s\n");
  // The same with a message of the program's own for a missing name.
  bool take_input(std::string& name, const char* missing_fmt, const char* open_fmt);

  // The words every program answers alike. "-v" prints "%s (Version %s)\n"
  // on stdout (no "-v" where version is null); "-h" and "-?", and "-help"
  // where the program takes it, call usage. Either ends the scan without an
  // error, after which done() is true. Returns whether the word was one.
  struct Standard {
    std::function<void()> usage;
    const char* version = ORV_VERSION;
    bool help_word = false;  // "-help" too
    const char* name = nullptr;  // in the version line; the program's by default
  };
  bool standard(const Standard& s);
  // The scan ended on a standard word ("-v", "-h" ...): the program stops
  // there with its success status.
  bool done() const { return stopped_ && !failed_; }
  // The scan ended on "-v" (a program whose status after it is its own).
  bool version_shown() const { return version_shown_; }

  // The word after the current one, or null.
  const char* value() const { return pos_ + 1 < argc_ ? argv_[pos_ + 1] : nullptr; }

  // Programs that report every bad word in one run: an argument error is
  // remembered (failed() stays true) but the scan goes on.
  void keep_going() { keep_going_ = true; }

  // Where the scan stands, for a program that reads a value of several
  // words itself; the scan goes on at word `next`.
  int index() const { return pos_; }
  void resume_at(int next) { pos_ = next - 1; }

  // Whether a word follows the current one.
  bool has_value() const { return pos_ + 1 < argc_; }

  // Ends the scan without an error (after "-v", "-h" ...).
  void stop() { stopped_ = true; }
  // Ends the scan with an error; prints nothing.
  void fail() { failed_ = true; }
  bool failed() const { return failed_; }
  const std::string& prog() const { return prog_; }
  FILE* msg() const { return msg_; }

  // "%s (Version %s)\n" on msg.
  void print_version(const char* version = ORV_VERSION) const;

 private:
  bool report(const char* fmt);
  // An error ends the scan unless the program keeps going.
  bool halted() const { return failed_ && !keep_going_; }
  int argc_;
  char** argv_;
  std::string prog_;
  FILE* msg_;
  int pos_ = 0;
  bool failed_ = false;
  bool stopped_ = false;
  bool keep_going_ = false;
  bool version_shown_ = false;
};

// sscanf-style conversions of a whole or leading part of a word, as the
// programs have always read their numbers ("12x" reads as 12).
bool read_int(const char* s, int& out);
bool read_real(const char* s, double& out);

}  // namespace orv
