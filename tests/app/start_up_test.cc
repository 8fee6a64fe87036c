// Start-up inside the test process: the locale gate, the environment, the
// "-session" option and a failing initializer.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <X11/Intrinsic.h>
#include <stdlib.h>

#include <clocale>
#include <cstring>
#include <optional>
#include <string>

#include "app/glosset.h"
#include "tests/support/scratch.h"

namespace {

const char *or_null(const std::optional<std::string> &value) { return value ? value->c_str() : nullptr; }

constexpr char kRefusal[] = "glosset runs under \"ko/ko.UTF-8\" locales only.\n\t";

struct GateCase {
  std::optional<std::string> lang;
  int accepted;
};

class LocaleGateTest : public ::testing::TestWithParam<GateCase> {};

TEST_P(LocaleGateTest, AcceptsExactlyTheFiveNames) {
  const GateCase &c = GetParam();
  scratch::Env lang("LANG", or_null(c.lang));
  std::setlocale(LC_CTYPE, "C");
  testing::internal::CaptureStderr();
  EXPECT_EQ(KoLocale(), c.accepted);
  std::string err = testing::internal::GetCapturedStderr();
  if (c.accepted) {
    EXPECT_EQ(err, "");
    // Only the character type follows LANG; the locales are installed, so it took.
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), c.lang->c_str());
    EXPECT_STREQ(std::setlocale(LC_MESSAGES, nullptr), "C");
  } else {
    EXPECT_EQ(err, kRefusal);
    EXPECT_STREQ(std::setlocale(LC_CTYPE, nullptr), "C");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, LocaleGateTest,
    ::testing::Values(GateCase{"ko", 1}, GateCase{"ko_KR.EUC", 1}, GateCase{"korean", 1}, GateCase{"ko_KR.UTF-8", 1},
                      GateCase{"ko.UTF-8", 1}, GateCase{"C", 0}, GateCase{"ko_KR.utf8", 0},
                      GateCase{"ko_KR.UTF8", 0}, GateCase{"ko_KR", 0}, GateCase{"ko_KR.euc", 0},
                      GateCase{"ko_KR.EUC-KR", 0}, GateCase{"ko_KR.UTF-8@euro", 0}, GateCase{"KO", 0},
                      GateCase{"ko ", 0}, GateCase{"", 0}, GateCase{std::nullopt, 0}));

struct EnvCase {
  const char *name;
  std::optional<std::string> lang, nlspath, xfilesearchpath;
  std::optional<std::string> want_nlspath, want_xfilesearchpath;
};

std::optional<std::string> env(const char *name) {
  const char *v = getenv(name);
  return v != nullptr ? std::optional<std::string>(v) : std::nullopt;
}

const std::string kDefaultNlsPath =
    "/usr/xfront/lib/locale/%L/LC_MESSAGES/%N.cat:/usr/xfront/lib/locale/%L/LC_MESSAGES/%N";
const std::string kLongLang(80, 'k');  // "/usr/dt/app-defaults/" + 80 + "/Glosset" overflows 100 bytes

class EnvironmentTest : public ::testing::TestWithParam<EnvCase> {};

TEST_P(EnvironmentTest, PreparesCatalogAndResourcePaths) {
  const EnvCase &c = GetParam();
  scratch::Env lang("LANG", or_null(c.lang)), nlspath("NLSPATH", or_null(c.nlspath)),
      xfilesearchpath("XFILESEARCHPATH", or_null(c.xfilesearchpath));
  glosset_prepare_environment();
  EXPECT_EQ(env("NLSPATH"), c.want_nlspath);
  EXPECT_EQ(env("XFILESEARCHPATH"), c.want_xfilesearchpath);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnvironmentTest,
    ::testing::Values(
        EnvCase{"unset", "ko_KR.UTF-8", std::nullopt, std::nullopt, kDefaultNlsPath,
                "/usr/dt/app-defaults/ko_KR.UTF-8/Glosset"},
        EnvCase{"empty_nlspath_is_set", "ko", "", std::nullopt, "", "/usr/dt/app-defaults/ko/Glosset"},
        EnvCase{"set", "korean", "/x/%N", "/y/%L/%N", "/x/%N", "/y/%L/%N"},
        EnvCase{"no_lang", std::nullopt, std::nullopt, std::nullopt, kDefaultNlsPath, std::nullopt},
        EnvCase{"lang_too_long", kLongLang, std::nullopt, std::nullopt, kDefaultNlsPath, std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(InitializeTest, NullToplevelFailsWithTheWarning) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(dtb_glosset_initialize(nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "\nWARNING: dtb_glosset_initialize() called with invalid widget.\nInitialization failed.\n\n");
}

TEST(SessionOptionTest, ValueLandsInTheResourceRecord) {
  setenv("LANG", "ko_KR.UTF-8", 1);
  char a0[] = "glosset", a1[] = "-session", a2[] = "/tmp/glosset.session", a3[] = "-unknown";
  char *argv[] = {a0, a1, a2, a3, nullptr};
  int argc = 4;
  XtAppContext app;
  Widget toplevel = XtAppInitialize(&app, const_cast<char *>("Glosset"), optionDescList, 1, &argc, argv, nullptr,
                                    nullptr, 0);
  ASSERT_NE(toplevel, nullptr);
  // The toolkit takes the option and its value out and leaves the unknown one.
  ASSERT_EQ(argc, 2);
  EXPECT_STREQ(argv[1], "-unknown");
  XtGetApplicationResources(toplevel, &dtb_app_resource_rec, resources, 1, nullptr, 0);
  EXPECT_STREQ(dtb_app_resource_rec.session_file, "/tmp/glosset.session");
}

}  // namespace
