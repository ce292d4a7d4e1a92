#include "common/execute.h"

#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/work_files.h"

namespace orv {

int execute(const char* Tool_Name, const std::string& Program,
            const std::vector<std::string>& Arguments) {
  // Built before fork so the child only calls exec, stdio and _exit.
  std::vector<char*> argv;
  argv.reserve(Arguments.size() + 2);
  argv.push_back(const_cast<char*>(Program.c_str()));
  for (const std::string& a : Arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  std::fprintf(stderr, "%s: Executing %s ", Tool_Name, Program.c_str());
  for (const std::string& a : Arguments) std::fprintf(stderr, " %s", a.c_str());
  std::fprintf(stderr, "\n");

  // Anything still buffered would be written twice (once by the child) or
  // after the child's own output when stdout is a file.
  std::fflush(stdout);
  std::fflush(stderr);

  // An interrupted driver stops its child before removing the child's files.
  const pid_t pid = Fork_Child();
  if (pid < 0) {
    std::fprintf(stderr, "%s: cannot start %s: %s\n", Tool_Name, Program.c_str(),
                 std::strerror(errno));
    return -1;
  }
  if (pid == 0) {
    const int r = execvp(argv[0], argv.data());
    const int err = errno;
    std::fprintf(stderr, "%s: Problem executing %s (error=%d)", Tool_Name, Program.c_str(), r);
    for (const std::string& a : Arguments) std::fprintf(stderr, " %s", a.c_str());
    std::fprintf(stderr, "(%d)\n", r);
    // Which program, and where it was looked for.
    const char* path = std::getenv("PATH");
    if (Program.find('/') == std::string::npos && err == ENOENT)
      std::fprintf(stderr, "%s: error: %s is not found in any folder of PATH (%s)\n", Tool_Name,
                   Program.c_str(), path ? path : "");
    else
      std::fprintf(stderr, "%s: error: cannot run %s: %s\n", Tool_Name, Program.c_str(),
                   std::strerror(err));
    // _exit: the parent's atexit handlers and stdio buffers are not ours.
    _exit(EXECUTE_NOT_STARTED);
  }

  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      Child_Ended(pid);
      return -1;
    }
  }
  Child_Ended(pid);
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

bool Run_Step(const char* Tool_Name, const std::string& Program,
              const std::vector<std::string>& Arguments) {
  const int status = execute(Tool_Name, Program, Arguments);
  if (status == 0) return true;
  std::fprintf(stderr, "%s: error: %s failed (exit status %d)\n", Tool_Name, Program.c_str(),
               status);
  return false;
}

}  // namespace orv
