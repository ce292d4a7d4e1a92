#pragma once
// What a program writes must reach its files, and a failed run must not
// clobber an existing results file. Every program's main holds one
// Output_Guard and ends with `return guard.finish(status);`.
//
// Usage:
//   orv::Output_Guard out("umbrisk");            // status -1 on a failed write
//   ... scan arguments, read and check the input ...
//   if (!out.redirect_stdout(out_name)) return -1; // "-o": a temporary beside
//                                                 // out_name takes stdout
//   ... print the results on stdout ...
//   return out.finish(0);  // flushes, checks, renames the temporary onto
//                          // out_name; a write error gives the failure status
//
// A file the program opens itself goes through open() / close(): the text is
// written to a temporary beside the name and takes the name when finish()
// succeeds (or at once with commit_now()).
#include <cstdio>
#include <string>
#include <vector>

namespace orv {

class Output_Guard {
public:
  // `fail_status` is what finish() returns when an output could not be written.
  explicit Output_Guard(const char* program, int fail_status = -1);
  ~Output_Guard();  // removes temporaries not yet committed
  Output_Guard(const Output_Guard&) = delete;
  Output_Guard& operator=(const Output_Guard&) = delete;

  // A name that is a symbolic link stands for the file the link names, as
  // for a shell redirection: that file is replaced, the link stays. A name
  // that is not a regular file (a device, a pipe, one of the process's own
  // descriptors such as /dev/stdout) is written through as it is, never
  // replaced. When no temporary can be made beside the file (a folder the
  // user may not write), the text waits under TMPDIR and is copied over the
  // existing file only once complete.
  //
  // Reopens stdout on a temporary beside `path`. On failure prints
  // "<program>: error: cannot open <path>: <cause>" on stderr and returns
  // false; stdout is then unchanged. With `report_failure` false nothing is printed
  // and the failure is the caller's to report (errno holds the cause): a
  // program whose own text for it users rely on, or one that goes on
  // without the file. Such a program prints its own text, then
  // report_open_failure() for the cause.
  bool redirect_stdout(const std::string& path, bool report_failure = true);

  // Opens a temporary beside `path` for writing; null (with the message
  // above, unless `report_failure` is false) when it cannot. The stream is the
  // guard's: close it with close() or let finish() do it.
  FILE* open(const std::string& path, bool report_failure = true);
  // Prints "<program>: error: cannot open <path>: <cause>" on stderr, the
  // cause being `err`, or when 0 that of the last failed redirect_stdout() or
  // open() (kept at the failure: printing the program's own text may change
  // errno). Leaves the exit status to the caller.
  void report_open_failure(const std::string& path, int err = 0) const;

  // Flushes and closes a stream from open(), reporting a write error.
  // Returns false when the text did not reach the disk.
  bool close(FILE* f);

  // Whatever is written to stdout after this point when no redirection was
  // made is checked too; this only records that output is meant to survive a
  // non-zero status (rows already printed before a late failure stay).
  void keep_on_failure() { keep_on_failure_ = true; }

  // Flushes and checks stdout and every open stream; on success (status 0,
  // or any status after keep_on_failure()) the temporaries take their names,
  // otherwise they are removed and existing files stay as they were.
  // Returns `status`, or the failure status when an output failed.
  int finish(int status);

  // The name a write error is reported under for stdout (default "standard
  // output", the file's name once redirected).
  const std::string& stdout_name() const { return stdout_name_; }

private:
  struct Pending {
    FILE* f;            // open stream, null once closed
    std::string temp;   // temporary written
    std::string path;   // file it replaces on success (links followed)
    std::string name;   // the name given, for messages
    bool ok;            // every write and the close succeeded
    bool aside = false; // written away from path: copied over it on success
    bool fresh = false; // temp is path itself, made by this run
  };
  void refuse_open(const std::string& name, int err, bool report_failure);
  bool flush_check(FILE* f, const std::string& name);
  void report(const std::string& name, int err);
  bool commit(Pending& p);
  void discard(Pending& p);

  std::string program_;
  int fail_status_;
  bool keep_on_failure_ = false;
  bool failed_ = false;
  int open_error_ = 0;  // cause of the last failed open
  std::string stdout_name_ = "standard output";
  std::vector<Pending> pending_;
  int stdout_slot_ = -1;  // index in pending_ of the stdout redirection
};

}  // namespace orv
