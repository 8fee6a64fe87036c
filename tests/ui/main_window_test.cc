// The main window's widget tree, its key resources, its texts with and
// without the catalog, and the records of the gl_main module.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <Xm/CascadeB.h>
#include <Xm/Form.h>
#include <Xm/Label.h>
#include <Xm/List.h>
#include <Xm/MainW.h>
#include <Xm/PushB.h>
#include <Xm/RowColumn.h>
#include <Xm/ScrolledW.h>
#include <Xm/Separator.h>
#include <Xm/TextF.h>

#include <cstring>
#include <vector>

#include "tests/ui/gui_fixture.h"
#include "ui/gl_main_ui.h"

namespace {

using Field = Widget DtbGlMainMainwindowInfo::*;
using ui_test::label_text;
DtbGlMainMainwindowInfo &W = dtb_gl_main_mainwindow;

class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { ui_test::stop_main_window(); }
};

struct TreeRow {
  Field field;
  const char *name;
  WidgetClass *widget_class;
  Field parent;  // nullptr: the toplevel
};

TEST_F(MainWindowTest, WidgetTreeHasTheNamesClassesAndParents) {
  Widget toplevel = ui_test::start_main_window("ko_KR.UTF-8", nullptr);
  const TreeRow rows[] = {
      {&DtbGlMainMainwindowInfo::mainwindow_mainwin, "dtb_gl_main_mainwindow_mainwin", &xmMainWindowWidgetClass,
       nullptr},
      {&DtbGlMainMainwindowInfo::mainwindow_form, "mainwindow_form", &xmFormWidgetClass,
       &DtbGlMainMainwindowInfo::mainwindow_mainwin},
      {&DtbGlMainMainwindowInfo::menubar, "menubar", &xmRowColumnWidgetClass,
       &DtbGlMainMainwindowInfo::mainwindow_mainwin},
      {&DtbGlMainMainwindowInfo::File_item, "File_item", &xmCascadeButtonWidgetClass,
       &DtbGlMainMainwindowInfo::menubar},
      {&DtbGlMainMainwindowInfo::Help_item, "Help_item", &xmCascadeButtonWidgetClass,
       &DtbGlMainMainwindowInfo::menubar},
      {&DtbGlMainMainwindowInfo::mainwindow_footer, "mainwindow_footer", &xmFormWidgetClass,
       &DtbGlMainMainwindowInfo::mainwindow_mainwin},
      {&DtbGlMainMainwindowInfo::Close_item, "Close_item", &xmPushButtonWidgetClass,
       &DtbGlMainMainwindowInfo::menubar_File_item_Quit_menu},
      {&DtbGlMainMainwindowInfo::controlpane, "controlpane", &xmFormWidgetClass,
       &DtbGlMainMainwindowInfo::mainwindow_form},
      {&DtbGlMainMainwindowInfo::textfield_rowcolumn, "textfield_rowcolumn", &xmRowColumnWidgetClass,
       &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::textfield_label, "textfield_label", &xmLabelWidgetClass,
       &DtbGlMainMainwindowInfo::textfield_rowcolumn},
      {&DtbGlMainMainwindowInfo::textfield, "textfield", &xmTextFieldWidgetClass,
       &DtbGlMainMainwindowInfo::textfield_rowcolumn},
      {&DtbGlMainMainwindowInfo::usrhjd_list_scrolledwin, "usrhjd_listSW", &xmScrolledWindowWidgetClass,
       &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::usrhjd_list, "usrhjd_list", &xmListWidgetClass,
       &DtbGlMainMainwindowInfo::usrhjd_list_scrolledwin},
      {&DtbGlMainMainwindowInfo::label, "label", &xmLabelWidgetClass, &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::syshjd_list_scrolledwin, "syshjd_listSW", &xmScrolledWindowWidgetClass,
       &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::syshjd_list, "syshjd_list", &xmListWidgetClass,
       &DtbGlMainMainwindowInfo::syshjd_list_scrolledwin},
      {&DtbGlMainMainwindowInfo::label2, "label2", &xmLabelWidgetClass, &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::Find, "Find", &xmPushButtonWidgetClass, &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::Add, "Add", &xmPushButtonWidgetClass, &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::Delete, "Delete", &xmPushButtonWidgetClass, &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::Modify, "Modify", &xmPushButtonWidgetClass, &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::separator, "separator", &xmSeparatorWidgetClass,
       &DtbGlMainMainwindowInfo::controlpane},
      {&DtbGlMainMainwindowInfo::mainwindow_label, "mainwindow_label", &xmLabelWidgetClass,
       &DtbGlMainMainwindowInfo::mainwindow_footer},
  };
  EXPECT_EQ(W.mainwindow, toplevel);
  for (const TreeRow &row : rows) {
    Widget w = W.*row.field;
    ASSERT_NE(w, nullptr) << row.name;
    EXPECT_STREQ(XtName(w), row.name);
    EXPECT_EQ(XtClass(w), *row.widget_class) << row.name;
    Widget parent = row.parent != nullptr ? W.*row.parent : toplevel;
    EXPECT_EQ(XtParent(w), parent) << row.name;
    EXPECT_TRUE(XtIsManaged(w)) << row.name;
  }
  // The pulldown lives in a menu shell whose parent is the menu bar.
  ASSERT_NE(W.menubar_File_item_Quit_menu, nullptr);
  EXPECT_STREQ(XtName(W.menubar_File_item_Quit_menu), "menubar_File_item_Quit_menu");
  EXPECT_EQ(XtParent(XtParent(W.menubar_File_item_Quit_menu)), W.menubar);
  // The main window lives directly in the toplevel: no shell of its own.
  WidgetList children = nullptr;
  Cardinal count = 0;
  XtVaGetValues(toplevel, XmNchildren, &children, XmNnumChildren, &count, nullptr);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(children[0], W.mainwindow_mainwin);
}

TEST_F(MainWindowTest, KeyResources) {
  ui_test::start_main_window("ko_KR.UTF-8", nullptr);

  Widget menubar = nullptr, work = nullptr, message = nullptr, help = nullptr, submenu = nullptr;
  XtVaGetValues(W.mainwindow_mainwin, XmNmenuBar, &menubar, XmNworkWindow, &work, XmNmessageWindow, &message,
                nullptr);
  EXPECT_EQ(menubar, W.menubar);
  EXPECT_EQ(work, W.mainwindow_form);
  EXPECT_EQ(message, W.mainwindow_footer);
  XtVaGetValues(W.menubar, XmNmenuHelpWidget, &help, nullptr);
  EXPECT_EQ(help, W.Help_item);
  XtVaGetValues(W.File_item, XmNsubMenuId, &submenu, nullptr);
  EXPECT_EQ(submenu, W.menubar_File_item_Quit_menu);

  struct Mnemonic {
    Widget w;
    const char *letter;
  };
  for (Mnemonic m : {Mnemonic{W.File_item, "F"}, Mnemonic{W.Help_item, "H"}, Mnemonic{W.Close_item, "C"}}) {
    KeySym sym = 0;
    XtVaGetValues(m.w, XmNmnemonic, &sym, nullptr);
    EXPECT_EQ(sym, XStringToKeysym(m.letter)) << XtName(m.w);
  }

  int max_length = 0;
  short columns = 0;
  Boolean editable = False;
  XtVaGetValues(W.textfield, XmNmaxLength, &max_length, XmNcolumns, &columns, XmNeditable, &editable, nullptr);
  EXPECT_EQ(max_length, 80);
  EXPECT_EQ(columns, 17);
  EXPECT_TRUE(editable);

  struct ListRow {
    Widget list;
    int visible;
  };
  for (ListRow row : {ListRow{W.syshjd_list, 7}, ListRow{W.usrhjd_list, 8}}) {
    int visible = 0;
    unsigned char policy = 0, bars = 0;
    XtVaGetValues(row.list, XmNvisibleItemCount, &visible, XmNselectionPolicy, &policy, XmNscrollBarDisplayPolicy,
                  &bars, nullptr);
    EXPECT_EQ(visible, row.visible) << XtName(row.list);
    EXPECT_EQ(policy, XmSINGLE_SELECT);
    EXPECT_EQ(bars, XmSTATIC);
  }

  struct ButtonRow {
    Widget button;
    Widget left_widget;
    int top;
  };
  for (ButtonRow row : {ButtonRow{W.Find, W.textfield_rowcolumn, 24}, ButtonRow{W.Add, W.usrhjd_list_scrolledwin, 262},
                        ButtonRow{W.Modify, W.usrhjd_list_scrolledwin, 293},
                        ButtonRow{W.Delete, W.usrhjd_list_scrolledwin, 328}}) {
    Widget left = nullptr;
    unsigned char attachment = 0;
    int top = 0;
    Dimension width = 0, height = 0;
    XtVaGetValues(row.button, XmNleftWidget, &left, XmNleftAttachment, &attachment, XmNtopOffset, &top, XmNwidth,
                  &width, XmNheight, &height, nullptr);
    EXPECT_EQ(left, row.left_widget) << XtName(row.button);
    EXPECT_EQ(attachment, XmATTACH_WIDGET);
    EXPECT_EQ(top, row.top);
    EXPECT_EQ(width, 56);
    EXPECT_EQ(height, 23);
  }
  // The three buttons right of the user list line up at one x.
  Position add_x = 0, modify_x = 0, delete_x = 0;
  XtVaGetValues(W.Add, XmNx, &add_x, nullptr);
  XtVaGetValues(W.Modify, XmNx, &modify_x, nullptr);
  XtVaGetValues(W.Delete, XmNx, &delete_x, nullptr);
  EXPECT_EQ(add_x, modify_x);
  EXPECT_EQ(add_x, delete_x);

  unsigned char separator_type = 0;
  XtVaGetValues(W.separator, XmNseparatorType, &separator_type, nullptr);
  EXPECT_EQ(separator_type, XmSHADOW_ETCHED_IN);
}

TEST_F(MainWindowTest, SecondInitializeChangesNothing) {
  ui_test::start_main_window("ko_KR.UTF-8", nullptr);
  DtbGlMainMainwindowInfo before = W;
  Cardinal controls_before = 0;
  XtVaGetValues(W.controlpane, XmNnumChildren, &controls_before, nullptr);

  EXPECT_EQ(dtb_gl_main_mainwindow_initialize(&W, W.mainwindow), 0);

  EXPECT_EQ(std::memcmp(&before, &W, sizeof W), 0);
  Cardinal controls_after = 0;
  XtVaGetValues(W.controlpane, XmNnumChildren, &controls_after, nullptr);
  EXPECT_EQ(controls_after, controls_before);
}

// The texts each label shows: the catalog's when it is found, the built-in
// defaults in the running mode's encoding when it is not.
struct TextCase {
  const char *lang;
  bool catalog;
  const char *title;
  const char *find;        // 찾기
  const char *sys_caption; // 시스템 사전
  const char *file;        // 파일
};

class MainWindowTextTest : public MainWindowTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(MainWindowTextTest, LabelsAndTitle) {
  const TextCase &c = GetParam();
  std::string nlspath = ui_test::build_nlspath();
  Widget toplevel = ui_test::start_main_window(c.lang, c.catalog ? nlspath.c_str() : nullptr);
  String title = nullptr;
  XtVaGetValues(toplevel, XmNtitle, &title, nullptr);
  EXPECT_STREQ(title, c.title);
  EXPECT_EQ(label_text(W.Find), c.find);
  EXPECT_EQ(label_text(W.label), c.sys_caption);
  EXPECT_EQ(label_text(W.File_item), c.file);
  EXPECT_EQ(label_text(W.mainwindow_label), " ");
  EXPECT_EQ(ui_test::list_items(W.usrhjd_list).size(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, MainWindowTextTest,
    ::testing::Values(
        TextCase{"ko_KR.UTF-8", false, "glosset", "찾기", "시스템 사전", "파일"},
        TextCase{"ko.UTF-8", true, "glosset - 한자 사전 편집기", "찾기", "시스템 사전", "파일"},
        TextCase{"ko_KR.EUC", false, "glosset", "\xc3\xa3\xb1\xe2", "\xbd\xc3\xbd\xba\xc5\xdb \xbb\xe7\xc0\xfc",
                 "\xc6\xc4\xc0\xcf"},
        TextCase{"korean", true,
                 "glosset - \xc7\xd1\xc0\xda \xbb\xe7\xc0\xfc \xc6\xed\xc1\xfd\xb1\xe2",  // 한자 사전 편집기
                 "\xc3\xa3\xb1\xe2", "\xbd\xc3\xbd\xba\xc5\xdb \xbb\xe7\xc0\xfc", "\xc6\xc4\xc0\xcf"}));

TEST_F(MainWindowTest, DeleteConfirmationRecord) {
  ui_test::start_main_window("ko_KR.UTF-8", nullptr);
  DtbMessageRecord &r = dtb_gl_main_delete_confirm;
  EXPECT_TRUE(r.initialized);
  EXPECT_EQ(r.dialog_type, XmDIALOG_QUESTION);
  EXPECT_EQ(ui_test::xm_text(r.title), "삭제 확인");
  EXPECT_EQ(ui_test::xm_text(r.message), "확실합니까?");
  EXPECT_EQ(ui_test::xm_text(r.action1_label), "예");
  EXPECT_EQ(ui_test::xm_text(r.action2_label), "아니오");
  EXPECT_EQ(r.action1_callback, nullptr);
  EXPECT_NE(r.action2_callback, nullptr);
  EXPECT_EQ(r.action3_label, nullptr);
  EXPECT_FALSE(r.show_cancel);
  EXPECT_TRUE(r.show_help);
  EXPECT_EQ(r.help.help_text, nullptr);
  EXPECT_STREQ(r.help.help_volume, "");
  EXPECT_STREQ(r.help.help_location, "");
  EXPECT_EQ(r.default_button, DTB_DEFAULT_ACTION1);

  // A second filling makes no new strings.
  DtbMessageRecord before = r;
  EXPECT_EQ(dtb_gl_main_delete_confirm_initialize(&r), 0);
  EXPECT_EQ(std::memcmp(&before, &r, sizeof r), 0);
}

}  // namespace
