// Scratch directories and environment variables that put themselves back:
// what the tests of files, paths and locales set up around each case.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace scratch {

// A fresh directory under /tmp, removed with everything in it at the end.
class Dir {
 public:
  explicit Dir(const std::string &prefix = "glosset-test") {
    std::string templ = "/tmp/" + prefix + "-XXXXXX";
    if (mkdtemp(templ.data()) != nullptr) path_ = templ;
  }
  ~Dir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  Dir(const Dir &) = delete;
  Dir &operator=(const Dir &) = delete;

  const std::string &path() const { return path_; }
  std::string operator/(const std::string &rel) const { return path_ + "/" + rel; }
  // Writes a file (and the directories above it); answers its full path.
  std::string write(const std::string &rel, const std::string &text) const {
    std::string full = *this / rel;
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full) << text;
    return full;
  }

 private:
  std::string path_;
};

// A file's bytes ("" when it cannot be read).
inline std::string read(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Sets (or, for null, unsets) an environment variable while it lives.
class Env {
 public:
  Env(const char *name, const char *value) : name_(name) {
    if (const char *old = std::getenv(name)) old_ = old;
    set(value);
  }
  ~Env() { set(old_ ? old_->c_str() : nullptr); }
  Env(const Env &) = delete;
  Env &operator=(const Env &) = delete;

  void set(const char *value) const { value != nullptr ? setenv(name_, value, 1) : unsetenv(name_); }

 private:
  const char *name_;
  std::optional<std::string> old_;
};

}  // namespace scratch
