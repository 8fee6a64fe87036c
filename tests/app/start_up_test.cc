// Start-up inside the test process: the locale gate, the environment and a failing initializer.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <stdlib.h>

#include <clocale>
#include <optional>
#include <string>

#include "app/glosset.h"
#include "tests/support/scratch.h"

namespace {

TEST(StartUp, LocaleGateAcceptsExactlyTheFiveNames) {
  const std::pair<const char *, int> cases[] = {
      {"ko", 1},         {"ko_KR.EUC", 1},  {"korean", 1},    {"ko_KR.UTF-8", 1}, {"ko.UTF-8", 1},
      {"C", 0},          {"ko_KR.utf8", 0}, {"ko_KR.UTF8", 0}, {"ko_KR", 0},      {"ko_KR.euc", 0},
      {"ko_KR.UTF-8@euro", 0}, {"KO", 0},  {"ko ", 0},       {"", 0},            {nullptr, 0}};
  for (const auto &[lang, accepted] : cases) {
    scratch::Env env("LANG", lang);
    std::setlocale(LC_CTYPE, "C");
    testing::internal::CaptureStderr();
    EXPECT_EQ(KoLocale(), accepted) << (lang ? lang : "unset");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              accepted ? "" : "glosset runs under \"ko/ko.UTF-8\" locales only.\n\t");
    // Only the character type follows LANG; the locales are installed, so it took.
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), accepted ? lang : "C");
    EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "C");
  }
}

std::optional<std::string> env(const char *name) {
  const char *v = getenv(name);
  return v != nullptr ? std::optional<std::string>(v) : std::nullopt;
}

TEST(StartUp, EnvironmentPreparesCatalogAndResourcePaths) {
  const std::string nls = "/usr/xfront/lib/locale/%L/LC_MESSAGES/%N.cat:/usr/xfront/lib/locale/%L/LC_MESSAGES/%N";
  const std::string long_lang(80, 'k');  // "/usr/dt/app-defaults/" + 80 + "/Glosset" overflows 100 bytes
  const struct {
    std::optional<std::string> lang, nlspath, xfilesearchpath, want_nlspath, want_xfilesearchpath;
  } cases[] = {
      {"ko_KR.UTF-8", std::nullopt, std::nullopt, nls, "/usr/dt/app-defaults/ko_KR.UTF-8/Glosset"},
      {"ko", "", std::nullopt, "", "/usr/dt/app-defaults/ko/Glosset"},
      {"korean", "/x/%N", "/y/%L/%N", "/x/%N", "/y/%L/%N"},
      {std::nullopt, std::nullopt, std::nullopt, nls, std::nullopt},
      {long_lang, std::nullopt, std::nullopt, nls, std::nullopt}};
  auto c_str = [](const std::optional<std::string> &v) { return v ? v->c_str() : nullptr; };
  for (const auto &c : cases) {
    scratch::Env lang("LANG", c_str(c.lang)), nlspath("NLSPATH", c_str(c.nlspath)),
        xfilesearchpath("XFILESEARCHPATH", c_str(c.xfilesearchpath));
    glosset_prepare_environment();
    EXPECT_EQ(env("NLSPATH"), c.want_nlspath) << c_str(c.lang);
    EXPECT_EQ(env("XFILESEARCHPATH"), c.want_xfilesearchpath) << c_str(c.lang);
  }
}

TEST(StartUp, NullToplevelFailsWithTheWarning) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(dtb_glosset_initialize(nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\nWARNING: dtb_glosset_initialize() called with invalid widget.\nInitialization failed.\n\n");
}

}  // namespace
