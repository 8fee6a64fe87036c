// main() of the in-process window tests: opens the display of the private
// Xvfb once and runs every test against it.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/ui/gui_fixture.h"

#include <nl_types.h>

#include <cstdlib>
#include <cstring>

#include "app/glosset.h"
#include "ui/gl_main_ui.h"

namespace ui_test {
namespace {
XtAppContext g_app;
Display *g_display;
Widget g_toplevel;
int g_argc = 1;
char g_name[] = "glosset";
char *g_argv[] = {g_name, nullptr};
char **g_argvp = g_argv;
}  // namespace

XtAppContext app() { return g_app; }
Display *display() { return g_display; }

std::string build_nlspath() { return std::string(GLOSSET_BUILD_DIR) + "/nls/%L/LC_MESSAGES/%N.cat"; }

Widget start_main_window(const char *lang, const char *nlspath) {
  stop_main_window();
  setenv("LANG", lang, 1);
  setenv("NLSPATH", nlspath != nullptr ? nlspath : "/nonexistent/%L/%N.cat", 1);
  // The program keeps the confirmation's strings for its whole run; each start here is a new run.
  for (XmString s : {dtb_gl_main_delete_confirm.title, dtb_gl_main_delete_confirm.message,
                     dtb_gl_main_delete_confirm.action1_label, dtb_gl_main_delete_confirm.action2_label})
    if (s != nullptr) XmStringFree(s);
  std::memset(&dtb_gl_main_delete_confirm, 0, sizeof dtb_gl_main_delete_confirm);
  g_toplevel = XtAppCreateShell("glosset", "Glosset", applicationShellWidgetClass, g_display, nullptr, 0);
  EXPECT_EQ(dtb_glosset_initialize(&g_argc, &g_argvp, g_toplevel), 0);
  XtRealizeWidget(g_toplevel);
  flush();
  return g_toplevel;
}

void stop_main_window() {
  if (Dtb_project_catd != (nl_catd)-1) catclose(Dtb_project_catd);
  Dtb_project_catd = (nl_catd)-1;
  if (g_toplevel != nullptr) {
    XtDestroyWidget(g_toplevel);
    g_toplevel = nullptr;
    flush();
  }
  dtbGlMainMainwindowInfo_clear(&dtb_gl_main_mainwindow);
}

void flush() {
  XSync(g_display, False);
  while (XtAppPending(g_app) != 0) XtAppProcessEvent(g_app, XtIMAll);
}

std::string xm_text(XmString s) {
  if (s == nullptr) return "<null>";
  char *text = static_cast<char *>(
      XmStringUnparse(s, nullptr, XmCHARSET_TEXT, XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
  std::string result = text != nullptr ? text : "";
  XtFree(text);
  return result;
}

std::string label_text(Widget label) {
  XmString s = nullptr;
  XtVaGetValues(label, XmNlabelString, &s, nullptr);
  std::string text = xm_text(s);
  XmStringFree(s);
  return text;
}

std::vector<std::string> list_items(Widget list) {
  XmStringTable items = nullptr;
  int count = 0;
  XtVaGetValues(list, XmNitems, &items, XmNitemCount, &count, nullptr);
  std::vector<std::string> texts;
  for (int i = 0; i < count; i++) texts.push_back(xm_text(items[i]));
  return texts;
}

}  // namespace ui_test

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  XtToolkitInitialize();
  ui_test::g_app = XtCreateApplicationContext();
  int xargc = 1;
  ui_test::g_display = XtOpenDisplay(ui_test::g_app, nullptr, "glosset", "Glosset", nullptr, 0, &xargc,
                                     ui_test::g_argv);
  if (ui_test::g_display == nullptr) {
    std::fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  int result = RUN_ALL_TESTS();
  ui_test::stop_main_window();
  return result;
}
