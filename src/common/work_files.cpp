#include "common/work_files.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orv {

std::string Join_Path(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

std::string Bare_Dir(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

bool Is_Writable_Dir(const std::string& dir) {
  struct stat st {};
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(dir.c_str(), W_OK | X_OK) == 0;
}

bool Same_File(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::string Make_Private_Dir(const std::string& parent, const std::string& prefix) {
  std::string templ = Join_Path(Bare_Dir(parent), prefix + ".XXXXXX");
  if (mkdtemp(templ.data()) == nullptr) return {};
  Remove_On_Signal(templ);
  return templ;
}

std::string Make_Work_Dir(const char* tool, const std::string& parent, bool named, bool keep) {
  if (named && !Is_Writable_Dir(parent)) {
    std::fprintf(stderr, "%s: error: %s is not a writable directory\n", tool, parent.c_str());
    return {};
  }
  const std::string dir = Make_Private_Dir(parent, tool);
  if (dir.empty()) {
    std::fprintf(stderr, "%s: error: cannot create a work directory in %s (%s)\n", tool,
                 parent.c_str(), std::strerror(errno));
    return {};
  }
  if (keep) Forget_On_Signal(dir);
  return dir;
}

bool Remove_Old_File(const std::string& path) {
  return unlink(path.c_str()) == 0 || errno == ENOENT;
}

int Open_Private_File(const std::string& path) {
  if (!Remove_Old_File(path)) return -1;
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
}

bool Create_Private_File(const std::string& path) {
  const int fd = Open_Private_File(path);
  if (fd < 0) return false;
  close(fd);
  return true;
}

namespace {

// The tables the signal handler reads. A path slot is filled while marked
// busy and only read once marked in use, so the handler never sees half a
// name; fixed storage, since the handler may not allocate.
constexpr int SLOTS = 128;
enum : int { FREE = 0, BUSY = 1, IN_USE = 2 };
struct Path_Slot {
  std::atomic<int> state{FREE};
  char path[PATH_MAX];
};
Path_Slot path_slots[SLOTS];
std::atomic<pid_t> child_slots[SLOTS];

// SIGXFSZ: a write beyond the file size limit ends the run as a signal would.
const int CLEANED_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};
constexpr int NB_CLEANED = sizeof CLEANED_SIGNALS / sizeof CLEANED_SIGNALS[0];
struct sigaction old_actions[NB_CLEANED];
std::atomic<bool> installed{false};
volatile sig_atomic_t cleaning = 0;

// getdents64's record; the libc wrapper around it (readdir) is not safe in
// a signal handler.
struct Dirent64 {
  ino64_t d_ino;
  off64_t d_off;
  unsigned short d_reclen;
  unsigned char d_type;
  char d_name[1];
};

void remove_entries(int dir_fd, int depth) {
  alignas(8) char buf[4096];
  // Entries removed while reading may shift the rest: read again until a
  // pass removes nothing.
  for (int pass = 0; pass < 8; ++pass) {
    bool removed = false;
    ::lseek(dir_fd, 0, SEEK_SET);
    for (;;) {
      const long n = ::syscall(SYS_getdents64, dir_fd, buf, sizeof buf);
      if (n <= 0) break;
      for (long off = 0; off < n;) {
        const Dirent64* e = reinterpret_cast<const Dirent64*>(buf + off);
        off += e->d_reclen;
        const char* name = e->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        if (::unlinkat(dir_fd, name, 0) == 0) {
          removed = true;
          continue;
        }
        if (errno != EISDIR || depth >= 16) continue;
        const int sub = ::openat(dir_fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0) continue;
        remove_entries(sub, depth + 1);
        ::close(sub);
        if (::unlinkat(dir_fd, name, AT_REMOVEDIR) == 0) removed = true;
      }
    }
    if (!removed) break;
  }
}

// A file, a link (not what it names) or a directory with all it holds.
void remove_path(const char* path) {
  if (::unlink(path) == 0 || errno != EISDIR) return;
  const int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  remove_entries(fd, 0);
  ::close(fd);
  ::rmdir(path);
}

void stop_children(int sig) {
  for (auto& slot : child_slots) {
    const pid_t pid = slot.load();
    if (pid > 0) ::kill(pid, sig);
  }
  // A child that outlives the signal by two seconds is killed: the files it
  // works on are about to go.
  for (auto& slot : child_slots) {
    const pid_t pid = slot.load();
    if (pid <= 0) continue;
    bool gone = false;
    for (int i = 0; i < 200 && !gone; ++i) {
      const pid_t r = ::waitpid(pid, nullptr, WNOHANG);
      gone = r == pid || (r < 0 && errno != EINTR);
      if (!gone) {
        struct timespec t = {0, 10 * 1000 * 1000};
        ::nanosleep(&t, nullptr);
      }
    }
    if (!gone) {
      ::kill(pid, SIGKILL);
      while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    }
    slot.store(0);
  }
}

void on_signal(int sig) {
  if (!cleaning) {
    cleaning = 1;
    const int saved = errno;
    // A child has nothing to do with this process's size limit.
    stop_children(sig == SIGXFSZ ? SIGTERM : sig);
    for (Path_Slot& slot : path_slots)
      if (slot.state.load() == IN_USE) remove_path(slot.path);
    errno = saved;
  }
  // Die of the signal, so that the caller sees what happened.
  ::signal(sig, SIG_DFL);
  sigset_t set;
  ::sigemptyset(&set);
  ::sigaddset(&set, sig);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(sig);
}

void install_handlers() {
  if (installed.exchange(true)) return;
  for (int i = 0; i < NB_CLEANED; ++i) {
    ::sigaction(CLEANED_SIGNALS[i], nullptr, &old_actions[i]);
    if (old_actions[i].sa_handler == SIG_IGN) continue;
    struct sigaction act {};
    act.sa_handler = on_signal;
    ::sigemptyset(&act.sa_mask);
    for (int s : CLEANED_SIGNALS) ::sigaddset(&act.sa_mask, s);
    ::sigaction(CLEANED_SIGNALS[i], &act, nullptr);
  }
}

}  // namespace

void Remove_On_Signal(const std::string& path) {
  if (path.empty() || path.size() >= PATH_MAX) return;
  install_handlers();
  for (Path_Slot& slot : path_slots) {
    int expected = FREE;
    if (!slot.state.compare_exchange_strong(expected, BUSY)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(IN_USE);
    return;
  }
}

void Forget_On_Signal(const std::string& path) {
  for (Path_Slot& slot : path_slots) {
    if (slot.state.load() != IN_USE || path != slot.path) continue;
    slot.state.store(FREE);
    return;
  }
}

void Child_Started(pid_t pid) {
  if (pid <= 0) return;
  install_handlers();
  for (auto& slot : child_slots) {
    pid_t expected = 0;
    if (slot.compare_exchange_strong(expected, pid)) return;
  }
}

void Child_Ended(pid_t pid) {
  for (auto& slot : child_slots) {
    pid_t expected = pid;
    if (slot.compare_exchange_strong(expected, 0)) return;
  }
}

void Child_Signal_Defaults() {
  if (!installed.load()) return;
  for (int i = 0; i < NB_CLEANED; ++i) ::sigaction(CLEANED_SIGNALS[i], &old_actions[i], nullptr);
}

pid_t Fork_Child() {
  install_handlers();
  sigset_t block, old;
  ::sigemptyset(&block);
  for (int sig : CLEANED_SIGNALS) ::sigaddset(&block, sig);
  ::sigprocmask(SIG_BLOCK, &block, &old);
  const pid_t pid = ::fork();
  if (pid == 0) {
    Child_Signal_Defaults();
  } else if (pid > 0) {
    Child_Started(pid);
  }
  const int saved = errno;
  ::sigprocmask(SIG_SETMASK, &old, nullptr);
  errno = saved;
  return pid;
}

}  // namespace orv
