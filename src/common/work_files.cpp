#include "common/work_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

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

std::string Make_Private_Dir(const std::string& parent, const std::string& prefix) {
  std::string templ = Join_Path(Bare_Dir(parent), prefix + ".XXXXXX");
  if (mkdtemp(templ.data()) == nullptr) return {};
  return templ;
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

}  // namespace orv
