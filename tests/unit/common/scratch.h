// Test helpers: a fresh folder per test, captured stdio streams, and
// environment changes undone at the end of the test.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace orv::test {

class Scratch {
 public:
  Scratch() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "orv-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
  }
  ~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  std::string path(const std::string& rel = "") const {
    return rel.empty() ? dir_.string() : (dir_ / rel).string();
  }
  // Writes a file (making its folders) with the given permission bits.
  std::string file(const std::string& rel, std::filesystem::perms mode,
                   const std::string& text = "") const {
    const std::filesystem::path p = dir_ / rel;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p) << text;
    std::filesystem::permissions(p, mode);
    return p.string();
  }
  std::string program(const std::string& rel, const std::string& script = "exit 0\n") const {
    return file(rel, std::filesystem::perms::owner_all, "#!/bin/sh\n" + script);
  }
  std::string folder(const std::string& rel) const {
    std::filesystem::create_directories(dir_ / rel);
    return path(rel);
  }

 private:
  std::filesystem::path dir_;
};

inline std::string read_file(const std::string& path) {
  std::ifstream in(path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Sends a stdio stream, and whatever children write to its descriptor, to a
// file until text() is called.
class Capture {
 public:
  Capture(FILE* stream, std::string file) : stream_(stream), file_(std::move(file)) {
    std::fflush(stream_);
    saved_ = dup(fileno(stream_));
    const int fd = open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(fd, fileno(stream_));
    close(fd);
  }
  ~Capture() { restore(); }
  std::string text() {
    restore();
    return read_file(file_);
  }

 private:
  void restore() {
    if (saved_ < 0) return;
    std::fflush(stream_);
    dup2(saved_, fileno(stream_));
    close(saved_);
    saved_ = -1;
  }
  FILE* stream_;
  std::string file_;
  int saved_ = -1;
};

// Environment and working-folder changes for one test, undone afterwards.
class Env {
 public:
  ~Env() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
      if (it->second)
        setenv(it->first.c_str(), it->second->c_str(), 1);
      else
        unsetenv(it->first.c_str());
    }
    if (!cwd_.empty()) std::filesystem::current_path(cwd_);
  }
  void set(const std::string& name, const std::string& value) {
    save(name);
    setenv(name.c_str(), value.c_str(), 1);
  }
  void unset(const std::string& name) {
    save(name);
    unsetenv(name.c_str());
  }
  void chdir(const std::string& dir) {
    if (cwd_.empty()) cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir);
  }

 private:
  void save(const std::string& name) {
    const char* v = std::getenv(name.c_str());
    saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  std::filesystem::path cwd_;
};

}  // namespace orv::test
