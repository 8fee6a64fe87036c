// The main window in-process, started as the program starts it in the text
// mode of the test's parameter: the mode's resource file (unless a test clears
// resource_file_) and the build tree's catalog loaded, both dictionaries in a
// scratch directory. A resource file
// once loaded stays, and the delete confirmation keeps the texts of its first
// showing, so each process runs one mode (the ctest entries filter on */utf8
// and */euc).
#pragma once
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <string>

#include "app/glosset.h"
#include "tests/support/scratch.h"
#include "tests/support/x_session.h"
#include "ui/gl_main_ui.h"

inline DtbGlMainMainwindowInfo &W = dtb_gl_main_mainwindow;
inline DtbGlMainDialogInfo &D = dtb_gl_main_dialog;

class MainWindowTest : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override {
    setenv("LANG", GetParam(), 1);
    setenv("NLSPATH", GLOSSET_BUILD_DIR "/nls/%L/LC_MESSAGES/%N.cat", 1);
    Display *display = xs::session("Glosset").display;
    XrmDatabase db = XtDatabase(display);
    const std::string resources = GLOSSET_BUILD_DIR "/app-defaults/" + std::string(GetParam()) + "/Glosset";
    if (resource_file_) XrmCombineFileDatabase(resources.c_str(), &db, True);
    top_ = XtAppCreateShell("glosset", "Glosset", applicationShellWidgetClass, display, nullptr, 0);
    static int argc = 1;
    static char exe[] = GLOSSET_BUILD_DIR "/app/glosset", *argv[] = {exe, nullptr}, **argvp = argv;
    ASSERT_EQ(dtb_glosset_initialize(&argc, &argvp, top_), 0);
    ASSERT_TRUE(xs::show_and_wait(top_));
  }
  void TearDown() override {
    catclose(Dtb_project_catd);
    Dtb_project_catd = (nl_catd)-1;
    XtDestroyWidget(top_);
    xs::pump_for(20);
    dtbGlMainMainwindowInfo_clear(&W);
  }

  scratch::Dir dir_{"glosset-ui"};
  const std::string user_ = dir_ / "usrhjd", system_ = dir_ / "syshjd";
  scratch::Env user_env_{"USRDICNAME", user_.c_str()}, system_env_{"SYSDICNAME", system_.c_str()};
  scratch::Env help_path_{"DTB_HELP_PATH", GLOSSET_SOURCE_DIR "/resources/help"};
  Widget top_ = nullptr;
  bool resource_file_ = true;
};

