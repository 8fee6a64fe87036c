// Resource values converted from strings, and sashes taken out of traversal.
#include <string>

#include <gtest/gtest.h>
#include <Xm/PanedW.h>
#include <Xm/SashP.h>
#include <Xm/TextF.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

struct CvtCase {
  const char *type;
  unsigned int size;
  const char *text;
  unsigned long expected;  // kWhite and kBlack stand for the screen's pixels
};
constexpr unsigned long kWhite = ~0ul - 1;
constexpr unsigned long kBlack = ~0ul - 2;
constexpr unsigned long kDefault = 12345;

class CvtResource : public ::testing::TestWithParam<CvtCase> {};

TEST_P(CvtResource, ConvertsOrGivesTheDefault) {
  const CvtCase &c = GetParam();
  Widget w = xs::toplevel();
  unsigned long expected = c.expected == kWhite   ? WhitePixelOfScreen(XtScreen(w))
                           : c.expected == kBlack ? BlackPixelOfScreen(XtScreen(w))
                                                  : c.expected;
  EXPECT_EQ(expected, dtb_cvt_resource_from_string(w, const_cast<char *>(c.type), c.size,
                                                   const_cast<char *>(c.text), kDefault))
      << c.type << " " << c.size << " " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CvtResource,
    ::testing::Values(CvtCase{XtRPixel, 4, "white", kWhite},
                      CvtCase{XtRPixel, 4, "#000000", kBlack},
                      CvtCase{XtRPixel, 3, "white", kDefault},
                      CvtCase{XtRPixel, 8, "white", kDefault},
                      CvtCase{XtRPixel, 4, "no-such-colour-at-all", kDefault},
                      CvtCase{XtRBoolean, 1, "true", 1},
                      CvtCase{XtRBoolean, 1, "off", 0},
                      CvtCase{XtRDimension, 2, "300", 300},
                      CvtCase{XtRInt, 4, "-1", 0xffffffffu},
                      CvtCase{XtRInt, 2, "7", kDefault}));  // an int never fits 2 bytes

TEST(SashFocus, SashesLoseTraversalAndPanesKeepIt) {
  Widget shell = XtVaAppCreateShell("sash", "DtbTest", topLevelShellWidgetClass, XtDisplay(xs::toplevel()),
                                    nullptr);
  Widget paned = XmCreatePanedWindow(shell, const_cast<char *>("paned"), nullptr, 0);
  for (const char *name : {"one", "two", "three"})
    XtManageChild(XmCreateTextField(paned, const_cast<char *>(name), nullptr, 0));
  XtManageChild(paned);
  XtRealizeWidget(shell);

  auto count = [&](bool sashes, bool traversal) {
    WidgetList children;
    Cardinal n;
    XtVaGetValues(paned, XmNchildren, &children, XmNnumChildren, &n, nullptr);
    int found = 0;
    for (Cardinal i = 0; i < n; ++i) {
      Boolean on = False;
      XtVaGetValues(children[i], XmNtraversalOn, &on, nullptr);
      if ((XmIsSash(children[i]) != 0) == sashes && (on != 0) == traversal) ++found;
    }
    return found;
  };
  // Motif keeps a sash for every pane, the last one unmanaged.
  int sashes = count(true, true);
  ASSERT_GE(sashes, 2);
  ASSERT_EQ(3, count(false, true));  // the text fields (separators never take traversal)
  dtb_remove_sash_focus(paned);
  EXPECT_EQ(sashes, count(true, false));
  EXPECT_EQ(0, count(true, true));
  EXPECT_EQ(3, count(false, true));
  dtb_remove_sash_focus(XtParent(paned));  // not a paned window: nothing happens
  dtb_remove_sash_focus(nullptr);
  XtDestroyWidget(shell);
}

}  // namespace
