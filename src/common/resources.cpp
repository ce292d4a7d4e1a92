#include "common/resources.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace orv {

std::vector<std::string> Resource_Value;
std::vector<int> Is_Available;

namespace {

// access() alone takes a directory for an executable (a "gcc" folder on PATH,
// or an empty name that becomes "dir/"), and the driver would then fail to
// start it; a program must be a regular file.
bool passes(const std::string& path, int mode) {
  if (access(path.c_str(), mode) != 0) return false;
  if (mode & X_OK) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  }
  return true;
}

void trace(bool debug, const char* tool, const char* dir) {
  if (debug) std::fprintf(stdout, "%s: testing dir %s\n", tool, dir ? dir : "<NULL>");
}

}  // namespace

void get_resources(const RESOURCE_TABLE& table, const char* Tool_Name, int Checking,
                   bool Debug) {
  const int n = table.Nb_Resources;
  Resource_Value.assign(n, std::string());
  Is_Available.assign(n, 0);
  const char* home = std::getenv("ORVHOME");
  const char* path = std::getenv("PATH");

  for (int i = 0; i < n; ++i) {
    const char* name = table.Resource_Name[i];
    const char* env = std::getenv(name);
    std::string value = env ? env : table.Default_Value[i];

    std::string candidate = value;
    if (!value.empty() && value[0] == '@') {
      value[0] = '/';
      candidate = home ? std::string(home) + value : value;
    }

    std::string found;
    bool ok = false;
    // An absolute name, or any name when there is no PATH, is tried once as is.
    if ((!value.empty() && value[0] == '/') || !path) {
      trace(Debug, Tool_Name, nullptr);
      ok = passes(candidate, table.Access_Code[i]);
      if (ok) found = candidate;
    } else {
      const std::string dirs = path;
      std::size_t start = 0;
      while (!ok && start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        start = end + 1;
        if (dir.empty()) continue;
        trace(Debug, Tool_Name, dir.c_str());
        std::string test = dir + "/" + candidate;
        if (passes(test, table.Access_Code[i])) {
          ok = true;
          found = std::move(test);
        }
      }
    }

    if (ok) {
      if (Checking) std::fprintf(stderr, "%s: %s found (%s)\n", Tool_Name, found.c_str(), name);
      Resource_Value[i] = std::move(found);
      Is_Available[i] = 1;
    } else {
      // The ORVHOME-based path, not the bare "/..." one: it is where the file
      // was looked for, so the report and any later use point at it.
      Resource_Value[i] = std::move(candidate);
      if (Checking && table.Is_Essential[i])
        std::fprintf(stderr, "%s: %s not accessible (%s)\n", Tool_Name,
                     Resource_Value[i].c_str(), name);
    }
  }
}

void Report_Missing(const RESOURCE_TABLE& table, const char* Tool_Name) {
  const char* home = std::getenv("ORVHOME");
  const char* path = std::getenv("PATH");
  for (int i = 0; i < table.Nb_Resources; ++i) {
    if (!table.Is_Essential[i] || (i < static_cast<int>(Is_Available.size()) && Is_Available[i]))
      continue;
    const char* name = table.Resource_Name[i];
    const char* env = std::getenv(name);
    const std::string value = env ? env : table.Default_Value[i];
    const std::string looked = i < static_cast<int>(Resource_Value.size()) ? Resource_Value[i] : value;
    if (!value.empty() && value[0] == '@') {
      if (!home)
        std::fprintf(stderr,
                     "%s: %s (%s) is not found: ORVHOME is not set; set it to the folder the "
                     "tool set is installed in, which holds %s\n",
                     Tool_Name, looked.c_str(), name, value.c_str() + 1);
      else
        std::fprintf(stderr, "%s: %s (%s) is not found: ORVHOME (%s) holds no %s\n", Tool_Name,
                     looked.c_str(), name, home, value.c_str() + 1);
    } else if ((!value.empty() && value[0] == '/') || !path) {
      const bool there = ::access(looked.c_str(), F_OK) == 0;
      const char* why = there ? (table.Access_Code[i] == X_OK   ? "not executable"
                                 : table.Access_Code[i] == W_OK ? "not writable"
                                                                : "not readable")
                              : "not found";
      std::fprintf(stderr, "%s: %s (%s) is %s\n", Tool_Name, looked.c_str(), name, why);
    } else {
      std::fprintf(stderr, "%s: %s (%s) is not found in any folder of PATH (%s)\n", Tool_Name,
                   looked.c_str(), name, path);
    }
  }
}

int Resources_Are_Present(const RESOURCE_TABLE& table) {
  // Every essential resource counts, the skeleton source too: without it the
  // compile fails and a stale simulator would run.
  for (int i = 0; i < table.Nb_Resources; ++i)
    if (table.Is_Essential[i] && (i >= static_cast<int>(Is_Available.size()) || !Is_Available[i]))
      return 0;
  return 1;
}

int Initialize_Resources(const RESOURCE_TABLE& table, const char* Tool_Name, int Checking,
                         bool Debug) {
  get_resources(table, Tool_Name, Checking, Debug);
  return Resources_Are_Present(table);
}

}  // namespace orv
