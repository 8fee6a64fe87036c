// Label pixmaps: image look-up order per depth, the places images are found,
// and the greyed copy, under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <unistd.h>

#include <X11/Xutil.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/RowColumn.h>

#include "dtb/dtb_utils.h"
#include "tests/support/scratch.h"
#include "tests/support/x_session.h"

namespace {

unsigned width_of(Pixmap p) {
  Window root;
  int x, y;
  unsigned width = 0, height, border, depth;
  XGetGeometry(xs::session().display, p, &root, &x, &y, &width, &height, &border, &depth);
  return width;
}

// Images of two rows, white over black, told apart by their width; the
// toolkit reads them by their content, whatever their suffix.
TEST(Pixmaps, ImagesAreFoundInTheOrderOfTheDepthAndGreyedForInsensitiveLabels) {
  scratch::Dir dir("dtb-pixmap");
  for (auto [name, width] : {std::pair{"all.pm", 3}, {"all.xpm", 4}, {"all.bm", 5}, {"all.xbm", 6}, {"nopm.xpm", 4},
                             {"nopm.bm", 5}, {"archive.tar.xpm", 4}, {"archive.tar", 8}, {"icon.xpm", 4},
                             {"bitmaps/deep.xpm", 9}, {"bitmaps/both.xbm", 10}, {"both.xbm", 6}, {"shared.xpm", 11},
                             {"../icons/shared.xpm", 7}, {"../work/work.xpm", 12}}) {
    std::string rows = ", \"" + std::string(size_t(width), ' ') + "\", \"" + std::string(size_t(width), '.') + "\"";
    dir.write(std::string("bin/") + name, "/* XPM */\nstatic char *img[] = {\"" + std::to_string(width) +
                                              " 2 2 1\", \"  c #FFFFFF\", \". c #000000\"" + rows + "};\n");
  }
  scratch::Env icons("XMICONSEARCHPATH", (dir / "icons/%B").c_str());
  ASSERT_EQ(0, chdir((dir / "work").c_str()));  // the toolkit also looks in the current directory
  static std::string program = dir / "bin/program";
  dtb_save_command(program.data());
  Widget box = XtVaCreateManagedWidget("box", xmRowColumnWidgetClass, xs::make_shell(200, 100), nullptr);
  Widget label = XtVaCreateManagedWidget("label", xmLabelWidgetClass, box, nullptr);
  Widget gadget = XtVaCreateManagedWidget("gadget", xmLabelGadgetClass, box, nullptr);
  // The server offers no 1-bit windows, but the look-up goes by the widget's
  // depth, so a never-realized 1-bit label stands for a monochrome display.
  Widget mono = XtVaCreateManagedWidget("mono", xmLabelWidgetClass, xs::make_shell(50, 50), XmNdepth, 1, nullptr);
  XtRealizeWidget(XtParent(box));
  const std::tuple<const char *, unsigned, unsigned> cases[] = {  // name, width found in colour and in 1 bit (0: none)
      {"all", 3, 5},      {"nopm", 4, 5},       {"icon.xpm", 4, 4},   {"archive.tar", 4, 4}, {"deep.xpm", 9, 9},
      {"both.xbm", 6, 6}, {"shared.xpm", 7, 7}, {"work.xpm", 12, 12}, {"missing", 0, 0},     {"missing.xpm", 0, 0}};
  for (auto [name, colour_width, mono_width] : cases) {
    for (Widget w : {gadget, mono}) {  // a gadget goes by its parent's depth
      Pixmap pixmap = 99;
      unsigned expected = w == mono ? mono_width : colour_width;
      EXPECT_EQ(expected == 0 ? -1 : 0, dtb_cvt_image_file_to_pixmap(w, const_cast<char *>(name), &pixmap)) << name;
      EXPECT_EQ(expected, pixmap == 0 ? 0 : width_of(pixmap)) << name << " " << XtName(w);
    }
  }

  ASSERT_EQ(0, dtb_set_label_from_image_file(label, const_cast<char *>("nopm")));
  unsigned char type = 0;
  Pixmap normal = 0, insensitive = 0;
  Pixel background = 0;
  XtVaGetValues(label, XmNlabelType, &type, XmNlabelPixmap, &normal, XmNlabelInsensitivePixmap, &insensitive,
                XmNbackground, &background, nullptr);
  EXPECT_EQ(XmPIXMAP, type);
  EXPECT_EQ(4u, width_of(normal));
  XImage *image = XGetImage(XtDisplay(label), insensitive, 0, 0, 2, 1, AllPlanes, ZPixmap);
  EXPECT_EQ(background, XGetPixel(image, 0, 0));  // every other pixel of the image in the background
  EXPECT_EQ(WhitePixelOfScreen(XtScreen(label)), XGetPixel(image, 1, 0));
  XDestroyImage(image);
  EXPECT_EQ(-1, dtb_set_label_pixmaps(label, 0, 0));
}

}  // namespace
