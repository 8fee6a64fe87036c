// Sets LANG for one test and puts the old value back afterwards.
#pragma once
#include <cstdlib>
#include <optional>
#include <string>

class LangGuard {
 public:
  explicit LangGuard(const char *value) {
    if (const char *old = std::getenv("LANG")) old_ = old;
    set(value);
  }
  ~LangGuard() { set(old_ ? old_->c_str() : nullptr); }
  LangGuard(const LangGuard &) = delete;
  LangGuard &operator=(const LangGuard &) = delete;

  static void set(const char *value) {
    if (value)
      setenv("LANG", value, 1);
    else
      unsetenv("LANG");
  }

 private:
  std::optional<std::string> old_;
};
