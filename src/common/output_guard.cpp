#include "common/output_guard.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <set>
#include <sys/stat.h>
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

void forget_temp(const std::string& t) {
  live_temps().erase(t);
  Forget_On_Signal(t);
}

// The file a name stands for once its links are followed, as "> name" would
// write it: the link stays and what it names is replaced. Relative links are
// read from the link's own folder; a loop or an unreadable link leaves the
// name as it was for the open to report.
std::string follow_links(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buf) return path;
    std::string target(buf, static_cast<size_t>(n));
    if (target[0] != '/') {
      const auto slash = path.rfind('/');
      if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    }
    path = std::move(target);
  }
  return path;
}

// A temporary is worth making only for a regular file, or a name not there
// yet; a device or a pipe ("-o /dev/null") is written in place.
bool wants_temporary(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
  return S_ISREG(st.st_mode);
}

// Creates an empty temporary beside `path` with the permissions a new file
// would get, and returns its name ("" when it cannot).
std::string make_temporary(const std::string& path) {
  std::string dir, base = path;
  if (auto slash = path.rfind('/'); slash != std::string::npos) {
    dir = path.substr(0, slash + 1);
    base = path.substr(slash + 1);
  }
  std::string templ = dir + "." + base + ".XXXXXX";
  int fd = ::mkstemp(templ.data());
  if (fd < 0) return "";
  mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st;
  // An existing file keeps its permissions; a new one gets the usual ones.
  mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~mask);
  ::fchmod(fd, mode);
  ::close(fd);
  static bool registered = false;
  if (!registered) {
    std::atexit(remove_live_temps);
    registered = true;
  }
  live_temps().insert(templ);
  Remove_On_Signal(templ);
  return templ;
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

bool Output_Guard::redirect_stdout(const std::string& name, bool report_failure) {
  std::fflush(stdout);
  const std::string& path = name;
  const std::string file = follow_links(name);
  std::string temp = wants_temporary(file) ? make_temporary(file) : "";
  const std::string& target = temp.empty() ? path : temp;
  // freopen would close stdout before failing: try the name first so a
  // failure leaves standard output where it was (a fresh temporary opens).
  FILE* probe = temp.empty() ? std::fopen(target.c_str(), "w") : nullptr;
  if (temp.empty() && probe == nullptr) {
    int err = errno;
    if (report_failure)
      std::fprintf(stderr, "%s: error: cannot open %s: %s\n", program_.c_str(), path.c_str(),
                   std::strerror(err));
    if (report_failure) failed_ = true;
    errno = err;
    return false;
  }
  if (probe != nullptr) std::fclose(probe);
  if (std::freopen(target.c_str(), "w", stdout) == nullptr) {
    int err = errno;
    if (report_failure)
      std::fprintf(stderr, "%s: error: cannot open %s: %s\n", program_.c_str(), path.c_str(),
                   std::strerror(err));
    if (!temp.empty()) {
      ::unlink(temp.c_str());
      forget_temp(temp);
    }
    // freopen closed the old stdout; give the process a harmless one back.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::clearerr(stdout);
    if (report_failure) failed_ = true;
    errno = err;
    return false;
  }
  stdout_slot_ = static_cast<int>(pending_.size());
  pending_.push_back({nullptr, temp, file, name, true});
  stdout_name_ = path;
  return true;
}

FILE* Output_Guard::open(const std::string& path, bool report_failure) {
  const std::string file = follow_links(path);
  std::string temp = wants_temporary(file) ? make_temporary(file) : "";
  const std::string& target = temp.empty() ? path : temp;
  FILE* f = std::fopen(target.c_str(), "w");
  if (f == nullptr) {
    int err = errno;
    if (report_failure)
      std::fprintf(stderr, "%s: error: cannot open %s: %s\n", program_.c_str(), path.c_str(),
                   std::strerror(err));
    if (!temp.empty()) {
      ::unlink(temp.c_str());
      forget_temp(temp);
    }
    if (report_failure) failed_ = true;
    errno = err;
    return nullptr;
  }
  pending_.push_back({f, temp, file, path, true});
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
  if (std::rename(p.temp.c_str(), p.path.c_str()) != 0) {
    int err = errno;
    std::fprintf(stderr, "%s: error: cannot write %s: %s\n", program_.c_str(), p.name.c_str(),
                 std::strerror(err));
    ::unlink(p.temp.c_str());
    forget_temp(p.temp);
    p.temp.clear();
    return false;
  }
  forget_temp(p.temp);
  p.temp.clear();
  return true;
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
