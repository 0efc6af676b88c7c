// A fresh directory for one test, removed with everything in it when the test ends, and the
// whole-file reads and writes the black-box tests do in it.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>

namespace brenk::testsupport {

namespace fs = std::filesystem;

// The whole file, byte for byte; empty when it cannot be read.
inline std::string readFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace detail {

// True when every directory from the root down to `dir` lets others (neither its owner nor its
// group) pass through, both along `dir` as written and along the path its links lead to.
inline bool othersCanEnter(const fs::path& dir) {
  std::error_code error;
  const fs::path written = fs::absolute(dir, error);
  if (error) return false;
  const fs::path real = fs::canonical(written, error);
  if (error) return false;
  for (fs::path walk : {written.lexically_normal(), real}) {
    for (;;) {
      struct stat info;
      if (stat(walk.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || (info.st_mode & S_IXOTH) == 0) return false;
      if (walk == walk.root_path() || !walk.has_relative_path()) break;
      walk = walk.parent_path();
    }
  }
  return true;
}

}  // namespace detail

class TempDir {
 public:
  // Who may enter the directory: mkdtemp makes it the owner's alone, which keeps a run that
  // drops to an unprivileged user out of it. An Everyone directory is made 0755 in a temporary
  // directory others can reach: the usual one, else /tmp when that sits in a private directory.
  enum class Access { Owner, Everyone };

  explicit TempDir(const std::string& prefix = "brenk-test", Access access = Access::Owner) : access_(access) {
    fs::path base = fs::temp_directory_path();
    if (access_ == Access::Everyone && !detail::othersCanEnter(base)) base = "/tmp";
    if (access_ == Access::Everyone && !detail::othersCanEnter(base))
      throw std::runtime_error("no temporary directory that others can enter for " + prefix);
    std::string pattern = (base / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    if (access_ == Access::Everyone) chmod(path_.c_str(), 0755);
  }
  ~TempDir() {
    // A test may have taken its own permissions away from the directory; give them back first.
    if (access_ == Access::Everyone) chmod(path_.c_str(), 0755);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const fs::path& path() const { return path_; }
  void write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out << content;
  }
  std::string read(const std::string& name) const { return readFile(path_ / name); }
  bool has(const std::string& name) const { return fs::exists(path_ / name); }
  std::set<std::string> names() const {
    std::set<std::string> result;
    for (const auto& entry : fs::directory_iterator(path_)) result.insert(entry.path().filename().string());
    return result;
  }

 private:
  fs::path path_;
  Access access_;
};

// Makes a fresh TempDir the working directory for the life of this object, then goes back.
class InTempWorkingDir {
 public:
  explicit InTempWorkingDir(const std::string& prefix = "brenk-cwd") : previous_(fs::current_path()), dir_(prefix) {
    fs::current_path(dir_.path());
  }
  ~InTempWorkingDir() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
  }
  const fs::path& dir() const { return dir_.path(); }

 private:
  fs::path previous_;
  TempDir dir_;
};

}  // namespace brenk::testsupport
