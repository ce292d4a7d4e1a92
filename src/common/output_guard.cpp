#include "common/output_guard.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <linux/magic.h>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include "common/work_files.h"

namespace orv {

namespace {

// Temporaries still to remove should the program leave through exit().
std::set<std::string>& live_temps() {
  static std::set<std::string> temps;
  return temps;
}

void remove_live_temps() {
  for (const std::string& t : live_temps()) ::unlink(t.c_str());
  live_temps().clear();
}

// A file of the run's own, removed should the run end early.
void track_temp(const std::string& t) {
  static bool registered = false;
  if (!registered) {
    std::atexit(remove_live_temps);
    registered = true;
  }
  live_temps().insert(t);
  Remove_On_Signal(t);
}

void forget_temp(const std::string& t) {
  live_temps().erase(t);
  Forget_On_Signal(t);
}

std::string dir_of(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_of(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// What a name stands for once its links are followed, as "> name" would
// write it: the link stays and what it names is replaced. Relative links are
// read from the link's own folder; a loop or an unreadable link leaves the
// name as it was for the open to report. The system's links in /proc name
// open files rather than paths: one of the process's own descriptors
// (/dev/stdout, /dev/fd/N) is written through as it stands, at its offset
// and with its flags, so that what it already holds stays.
struct Resolved {
  std::string path;
  int fd = -1;           // the process's own descriptor the name reaches
  bool system = false;   // another link of /proc: opened by its name
};

bool own_fd_folder(const std::string& dir) {
  char real[PATH_MAX];
  if (::realpath(dir.c_str(), real) == nullptr) return false;
  const std::string r = real;
  const std::string self = "/proc/" + std::to_string(::getpid());
  if (r == self + "/fd") return true;
  return r.compare(0, self.size() + 6, self + "/task/") == 0 && r.size() > 3 &&
         r.compare(r.size() - 3, 3, "/fd") == 0;
}

Resolved follow_links(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return {path};
    const std::string dir = dir_of(path);
    struct statfs fs;
    if (::statfs(dir.c_str(), &fs) == 0 && fs.f_type == PROC_SUPER_MAGIC) {
      const std::string base = base_of(path);
      char* end = nullptr;
      const long n = std::strtol(base.c_str(), &end, 10);
      if (!base.empty() && *end == '\0' && n >= 0 && n <= INT_MAX && own_fd_folder(dir))
        return {path, static_cast<int>(n)};
      return {path, -1, true};
    }
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return {path};
    std::string target(buf, static_cast<size_t>(n));
    if (target[0] != '/') {
      const auto slash = path.rfind('/');
      if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    }
    path = std::move(target);
  }
  return {path};
}

// A temporary is worth making only for a regular file, or a name not there
// yet; a device or a pipe ("-o /dev/null") is written in place.
bool wants_temporary(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

// An empty temporary "<dir>/.<base>.XXXXXX", given `mode` unless it is -1
// (then private to its owner); "" (errno set) when it cannot be made.
std::string make_temporary(const std::string& dir, const std::string& base, int mode) {
  std::string templ = Join_Path(dir, "." + base + ".XXXXXX");
  const int fd = ::mkstemp(templ.data());
  if (fd < 0) return "";
  if (mode >= 0) ::fchmod(fd, static_cast<mode_t>(mode));
  ::close(fd);
  track_temp(templ);
  return templ;
}

// How the text for a regular file (or a name not there yet) is written.
struct Plan {
  std::string temp;    // the file written; "" when none could be had
  bool aside = false;  // away from the target: copied over it on success
  bool fresh = false;  // the target itself, made by this run
};

// Beside the target when its folder allows, so that a rename puts the whole
// text in place at once. Otherwise the old file must never be truncated
// before the new text is complete: a name not there yet is made by this run
// (and removed again unless the run succeeds); an existing file the run may
// write is written aside, under TMPDIR, and copied over it at the end. errno
// holds the cause when nothing could be had.
Plan plan_file(const std::string& path) {
  Plan p;
  const std::string base = base_of(path);
  // An existing file keeps its permissions; a new one gets the usual ones.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st;
  const bool exists = ::stat(path.c_str(), &st) == 0;
  const int stat_err = errno;
  p.temp = make_temporary(dir_of(path), base,
                          static_cast<int>(exists ? (st.st_mode & 07777) : (0666 & ~mask)));
  if (!p.temp.empty()) return p;
  const int err = errno;
  if (!exists) {
    errno = stat_err;
    if (errno != ENOENT) return p;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return p;
    ::close(fd);
    track_temp(path);
    p.temp = path;
    p.fresh = true;
    return p;
  }
  // Nothing is truncated by the probe: a file the run may not write is
  // refused before it is touched.
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return p;
  ::close(fd);
  const char* tmp = std::getenv("TMPDIR");
  // The name is kept short enough for any folder.
  p.temp = make_temporary(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp", base.substr(0, 200), -1);
  p.aside = !p.temp.empty();
  if (p.temp.empty()) errno = err;
  return p;
}

// Copies a complete text over an existing file in place. What can be known
// beforehand (a size limit, no room on the disk) stops it before the file
// is touched.
bool copy_over(const std::string& from, const std::string& to, int& err) {
  const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st;
  if (in < 0 || ::fstat(in, &st) != 0) {
    err = errno;
    if (in >= 0) ::close(in);
    return false;
  }
  const off_t size = st.st_size;
  struct rlimit lim;
  if (::getrlimit(RLIMIT_FSIZE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY &&
      static_cast<rlim_t>(size) > lim.rlim_cur) {
    ::close(in);
    err = EFBIG;
    return false;
  }
  const int out = ::open(to.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  bool ok = out >= 0;
  if (ok && size > 0 && ::fallocate(out, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    ok = false;
  char buf[65536];
  while (ok) {
    const ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    for (ssize_t done = 0; ok && done < n;) {
      const ssize_t w = ::write(out, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        if (w == 0) errno = EIO;
        ok = false;
      } else {
        done += w;
      }
    }
  }
  if (ok && ::ftruncate(out, size) != 0) ok = false;
  err = ok ? 0 : errno;
  if (out >= 0 && ::close(out) != 0 && ok) {
    err = errno;
    ok = false;
  }
  ::close(in);
  return ok;
}

// The plan for a name that is not one of the process's own descriptors:
// none for a device, a pipe or a system file; false (errno set) when a
// regular file's text could be put nowhere.
bool plan_for(const Resolved& r, Plan& plan) {
  if (r.system || !wants_temporary(r.path)) return true;
  plan = plan_file(r.path);
  return !plan.temp.empty();
}

// Gives up the file a plan made, when the run could not open it.
void discard_plan(const Plan& plan) {
  if (plan.temp.empty()) return;
  ::unlink(plan.temp.c_str());
  forget_temp(plan.temp);
}

}  // namespace

Output_Guard::Output_Guard(const char* program, int fail_status)
    : program_(program), fail_status_(fail_status) {}

Output_Guard::~Output_Guard() {
  for (Pending& p : pending_) discard(p);
}

void Output_Guard::report(const std::string& name, int err) {
  std::fprintf(stderr, "%s: error: cannot write %s: %s\n", program_.c_str(), name.c_str(),
               std::strerror(err ? err : EIO));
}

void Output_Guard::refuse_open(const std::string& name, int err, bool report_failure) {
  open_error_ = err;
  if (report_failure) {
    report_open_failure(name, err);
    failed_ = true;
  }
  errno = err;
}

void Output_Guard::report_open_failure(const std::string& path, int err) const {
  if (err == 0) err = open_error_;
  std::fprintf(stderr, "%s: error: cannot open %s: %s\n", program_.c_str(), path.c_str(),
               std::strerror(err ? err : EIO));
}

// A descriptor given by name must be open for writing.
static bool writable_fd(int fd) {
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  if ((flags & O_ACCMODE) == O_RDONLY) {
    errno = EBADF;
    return false;
  }
  return true;
}

bool Output_Guard::redirect_stdout(const std::string& name, bool report_failure) {
  std::fflush(stdout);
  const Resolved r = follow_links(name);
  if (r.fd >= 0) {
    if (!writable_fd(r.fd) || (r.fd != STDOUT_FILENO && ::dup2(r.fd, STDOUT_FILENO) < 0)) {
      refuse_open(name, errno, report_failure);
      return false;
    }
    stdout_slot_ = static_cast<int>(pending_.size());
    pending_.push_back({nullptr, "", r.path, name, true});
    stdout_name_ = name;
    return true;
  }
  Plan plan;
  if (!plan_for(r, plan)) {
    refuse_open(name, errno, report_failure);
    return false;
  }
  const std::string& target = plan.temp.empty() ? name : plan.temp;
  // freopen would close stdout before failing: try the name first so a
  // failure leaves standard output where it was (a fresh temporary opens).
  FILE* probe = plan.temp.empty() ? std::fopen(target.c_str(), "w") : nullptr;
  if (plan.temp.empty() && probe == nullptr) {
    refuse_open(name, errno, report_failure);
    return false;
  }
  if (probe != nullptr) std::fclose(probe);
  if (std::freopen(target.c_str(), "w", stdout) == nullptr) {
    const int err = errno;
    discard_plan(plan);
    // freopen closed the old stdout; give the process a harmless one back.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::clearerr(stdout);
    refuse_open(name, err, report_failure);
    return false;
  }
  stdout_slot_ = static_cast<int>(pending_.size());
  pending_.push_back({nullptr, plan.temp, r.path, name, true, plan.aside, plan.fresh});
  stdout_name_ = name;
  return true;
}

FILE* Output_Guard::open(const std::string& name, bool report_failure) {
  const Resolved r = follow_links(name);
  if (r.fd >= 0) {
    const int fd = writable_fd(r.fd) ? ::fcntl(r.fd, F_DUPFD_CLOEXEC, 0) : -1;
    FILE* f = fd >= 0 ? ::fdopen(fd, "w") : nullptr;
    if (f == nullptr) {
      const int err = errno;
      if (fd >= 0) ::close(fd);
      refuse_open(name, err, report_failure);
      return nullptr;
    }
    pending_.push_back({f, "", r.path, name, true});
    return f;
  }
  Plan plan;
  if (!plan_for(r, plan)) {
    refuse_open(name, errno, report_failure);
    return nullptr;
  }
  const std::string& target = plan.temp.empty() ? name : plan.temp;
  FILE* f = std::fopen(target.c_str(), "w");
  if (f == nullptr) {
    const int err = errno;
    discard_plan(plan);
    refuse_open(name, err, report_failure);
    return nullptr;
  }
  pending_.push_back({f, plan.temp, r.path, name, true, plan.aside, plan.fresh});
  return f;
}

bool Output_Guard::flush_check(FILE* f, const std::string& name) {
  errno = 0;
  int rc = std::fflush(f);
  int err = errno;
  if (rc != 0 || std::ferror(f)) {
    report(name, err);
    std::clearerr(f);
    return false;
  }
  return true;
}

bool Output_Guard::close(FILE* f) {
  for (Pending& p : pending_) {
    if (p.f != f || f == nullptr) continue;
    bool ok = flush_check(f, p.name);
    errno = 0;
    if (std::fclose(f) != 0 && ok) {
      report(p.name, errno);
      ok = false;
    }
    p.f = nullptr;
    p.ok = p.ok && ok;
    if (!p.ok) failed_ = true;
    return p.ok;
  }
  return false;
}

bool Output_Guard::commit(Pending& p) {
  if (p.temp.empty()) return true;
  bool ok = true;
  int err = 0;
  if (p.fresh) {
    // Already in place.
  } else if (p.aside) {
    ok = copy_over(p.temp, p.path, err);
    ::unlink(p.temp.c_str());
  } else if (std::rename(p.temp.c_str(), p.path.c_str()) != 0) {
    err = errno;
    ok = false;
    ::unlink(p.temp.c_str());
  }
  if (!ok)
    std::fprintf(stderr, "%s: error: cannot write %s: %s\n", program_.c_str(), p.name.c_str(),
                 std::strerror(err ? err : EIO));
  forget_temp(p.temp);
  p.temp.clear();
  return ok;
}

void Output_Guard::discard(Pending& p) {
  if (p.f != nullptr) {
    std::fclose(p.f);
    p.f = nullptr;
  }
  if (!p.temp.empty()) {
    ::unlink(p.temp.c_str());
    forget_temp(p.temp);
    p.temp.clear();
  }
}

int Output_Guard::finish(int status) {
  bool ok = !failed_;
  if (!flush_check(stdout, stdout_name_)) {
    ok = false;
    if (stdout_slot_ >= 0) pending_[stdout_slot_].ok = false;
  }
  for (Pending& p : pending_)
    if (p.f != nullptr && !close(p.f)) ok = false;
  bool keep = ok && (status == 0 || keep_on_failure_);
  for (Pending& p : pending_) {
    if (keep && p.ok) {
      if (!commit(p)) ok = false;
    } else {
      discard(p);
    }
  }
  if (stdout_slot_ >= 0) {
    // The temporary now has its name; later stray writes go nowhere.
    std::fflush(stdout);
  }
  failed_ = !ok;
  return ok ? status : fail_status_;
}

}  // namespace orv
