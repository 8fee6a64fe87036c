// Label pixmaps: image look-up order per screen depth, the places images are
// found, and the greyed copy, under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include <X11/Xutil.h>
#include <Xm/Label.h>
#include <Xm/LabelG.h>
#include <Xm/RowColumn.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

namespace fs = std::filesystem;

fs::path root_dir, exe_dir, toolkit_dir, work_dir;
std::string program_path;

// Images are told apart by their width: each test file has its own.
void write_xpm(const fs::path &path, int size) {
  std::ofstream out(path);
  out << "/* XPM */\nstatic char *img[] = {\n\"" << size << ' ' << size << " 2 1\",\n"
      << "\"  c #FFFFFF\",\n\". c #000000\",\n";
  for (int y = 0; y < size; ++y) out << '"' << std::string(size_t(size), y % 2 ? '.' : ' ') << "\",\n";
  out << "};\n";
}

void write_xbm(const fs::path &path, int size) {
  std::ofstream out(path);
  out << "#define img_width " << size << "\n#define img_height " << size
      << "\nstatic unsigned char img_bits[] = {\n";
  int bytes = (size + 7) / 8 * size;
  for (int i = 0; i < bytes; ++i) out << (i ? ", " : "") << "0x55";
  out << "};\n";
}

// Width of each suffix's test image.
constexpr int kPm = 3, kXpm = 4, kBm = 5, kXbm = 6;

void write_image(const fs::path &dir, const std::string &name) {
  std::string ext = fs::path(name).extension().string();
  if (ext == ".pm") write_xpm(dir / name, kPm);
  if (ext == ".xpm") write_xpm(dir / name, kXpm);
  if (ext == ".bm") write_xbm(dir / name, kBm);
  if (ext == ".xbm") write_xbm(dir / name, kXbm);
}

// The image files, made once for the whole run: the toolkit keeps its image
// path and the runtime its executable directory for the life of the process.
class ImageFiles : public ::testing::Environment {
 public:
  void SetUp() override {
    char pattern[] = "/tmp/dtb_pixmap.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_dir = pattern;
    exe_dir = root_dir / "bin";
    toolkit_dir = root_dir / "icons";
    work_dir = root_dir / "work";
    for (const fs::path &d : {exe_dir, exe_dir / "bitmaps", toolkit_dir, work_dir}) fs::create_directories(d);
    for (const char *name : {"all.pm", "all.xpm", "all.bm", "all.xbm", "nopm.xpm", "nopm.bm",
                             "nopm.xbm", "colour.xpm", "mono.xbm", "mixed.bm", "mixed.xpm",
                             "archive.tar.xpm", "icon.xpm", "both.xbm"}) {
      write_image(exe_dir, name);
    }
    write_xpm(exe_dir / "archive.tar", 8);
    write_xpm(exe_dir / "bitmaps" / "deep.xpm", 9);
    write_xpm(exe_dir / "bitmaps" / "both.xbm", 10);
    write_xpm(toolkit_dir / "shared.xpm", 7);
    write_xpm(exe_dir / "shared.xpm", 11);

    // The toolkit searches its image path and the current directory, neither of
    // which holds the executable's images.
    setenv("XMICONSEARCHPATH", (toolkit_dir.string() + "/%B").c_str(), 1);
    ASSERT_EQ(chdir(work_dir.c_str()), 0);
    program_path = (exe_dir / "program").string();
    dtb_save_command(program_path.data());
    ASSERT_STREQ(dtb_get_exe_dir(), exe_dir.c_str());
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_dir, ignored);
  }
};

const auto *const image_files = ::testing::AddGlobalTestEnvironment(new ImageFiles);

class PixmapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    shell_ = xs::make_shell(200, 100);
    box_ = XtVaCreateManagedWidget("box", xmRowColumnWidgetClass, shell_, nullptr);
    label_ = XtVaCreateManagedWidget("label", xmLabelWidgetClass, box_, nullptr);
    gadget_ = XtVaCreateManagedWidget("gadget", xmLabelGadgetClass, box_, nullptr);
    // The server offers no 1-bit windows, but the look-up goes by the widget's
    // depth, so a never-realized 1-bit label stands for a monochrome display.
    mono_shell_ = xs::make_shell(50, 50);
    mono_ = XtVaCreateManagedWidget("mono", xmLabelWidgetClass, mono_shell_, XmNdepth, 1, nullptr);
    XtRealizeWidget(shell_);
    display_ = XtDisplay(shell_);
  }
  void TearDown() override {
    XtDestroyWidget(shell_);
    XtDestroyWidget(mono_shell_);
  }

  int depth() const { return DefaultDepth(display_, DefaultScreen(display_)); }
  Widget widget_of_depth(bool colour) const { return colour ? label_ : mono_; }

  struct Geometry {
    unsigned width = 0, height = 0, depth = 0;
  };
  Geometry geometry(Pixmap p) const {
    Geometry g;
    Window root;
    int x, y;
    unsigned border;
    if (p != 0) XGetGeometry(display_, p, &root, &x, &y, &g.width, &g.height, &border, &g.depth);
    return g;
  }

  Widget shell_ = nullptr, box_ = nullptr, label_ = nullptr, gadget_ = nullptr, mono_ = nullptr;
  Widget mono_shell_ = nullptr;
  Display *display_ = nullptr;
};

// ---- extensions -----------------------------------------------------------------

struct ExtensionCase {
  const char *name;
  const char *extension;
  bool has;
};

class Extension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(Extension, ComparesTextAfterLastDot) {
  const ExtensionCase &c = GetParam();
  EXPECT_EQ(bool(dtb_file_has_extension(const_cast<char *>(c.name), const_cast<char *>(c.extension))),
            c.has)
      << (c.name ? c.name : "(null)") << " / " << (c.extension ? c.extension : "(null)");
}

INSTANTIATE_TEST_SUITE_P(
    Names, Extension,
    ::testing::Values(ExtensionCase{"icon.xpm", "xpm", true}, ExtensionCase{"icon.XPM", "xpm", false},
                      ExtensionCase{"icon", "xpm", false}, ExtensionCase{"archive.tar.gz", "gz", true},
                      ExtensionCase{"archive.tar.gz", "tar.gz", false},
                      ExtensionCase{"dir.d/icon", "d/icon", true}, ExtensionCase{nullptr, "xpm", false},
                      ExtensionCase{nullptr, nullptr, true}, ExtensionCase{"", nullptr, true},
                      ExtensionCase{"icon", nullptr, false}));

// ---- look-up order ------------------------------------------------------------------

struct LookupCase {
  const char *name;
  int colour_width;  // width of the image found on a colour screen (0: none)
  int mono_width;    // and on a 1-bit screen
};

class Lookup : public PixmapTest, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(Lookup, FindsImageInDepthOrder) {
  const LookupCase &c = GetParam();
  for (bool colour : {true, false}) {
    SCOPED_TRACE(colour ? "colour widget" : "1-bit widget");
    int expected = colour ? c.colour_width : c.mono_width;
    Pixmap pixmap = 99;
    int result = dtb_cvt_image_file_to_pixmap(widget_of_depth(colour), const_cast<char *>(c.name),
                                              &pixmap);
    if (expected == 0) {
      EXPECT_LT(result, 0);
      EXPECT_EQ(pixmap, Pixmap(0));
      continue;
    }
    ASSERT_EQ(result, 0);
    EXPECT_EQ(int(geometry(pixmap).width), expected);
    EXPECT_EQ(int(geometry(pixmap).depth), depth());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Lookup,
    ::testing::Values(LookupCase{"all", kPm, kBm},           // every suffix present
                      LookupCase{"nopm", kXpm, kBm},         // colour first, then bitmaps
                      LookupCase{"mixed", kXpm, kBm},        // .xpm before .bm only in colour
                      LookupCase{"colour", kXpm, kXpm},      // the only one there
                      LookupCase{"mono", kXbm, kXbm},
                      LookupCase{"icon.xpm", kXpm, kXpm},    // own name, no suffix search
                      LookupCase{"archive.tar", kXpm, kXpm}, // not an image extension
                      LookupCase{"deep.xpm", 9, 9},          // in the bitmaps folder
                      LookupCase{"both.xbm", kXbm, kXbm},    // beside the program before bitmaps/
                      LookupCase{"shared.xpm", 7, 7},        // the toolkit's path comes first
                      LookupCase{"missing", 0, 0}, LookupCase{"missing.xpm", 0, 0}),
    [](const auto &info) { return std::to_string(info.index); });

TEST_F(PixmapTest, GadgetUsesItsParentsDepth) {
  Pixmap pixmap = 0;
  ASSERT_EQ(dtb_cvt_image_file_to_pixmap(gadget_, const_cast<char *>("all"), &pixmap), 0);
  EXPECT_EQ(int(geometry(pixmap).width), kPm);
}

TEST_F(PixmapTest, FilebaseJoinsGrowingNames) {
  Pixmap pixmap = 99;
  std::string long_base(300, 'x');
  EXPECT_EQ(dtb_cvt_filebase_to_pixmap(label_, long_base.data(), const_cast<char *>(".xpm"), &pixmap),
            -1);
  EXPECT_EQ(pixmap, Pixmap(0));
  ASSERT_EQ(dtb_cvt_filebase_to_pixmap(label_, const_cast<char *>("nopm"), const_cast<char *>(".bm"),
                                       &pixmap),
            0);
  EXPECT_EQ(int(geometry(pixmap).width), kBm);
}

// ---- labels ----------------------------------------------------------------------------

TEST_F(PixmapTest, LabelPixmapsWithNeitherPixmapChangeNothing) {
  EXPECT_EQ(dtb_set_label_pixmaps(label_, 0, 0), -1);
  EXPECT_EQ(dtb_set_label_pixmaps(nullptr, 5, 5), -1);
  unsigned char type = 0;
  XtVaGetValues(label_, XmNlabelType, &type, nullptr);
  EXPECT_EQ(type, XmSTRING);
}

TEST_F(PixmapTest, LabelFromImageFileGetsGreyedInsensitiveCopy) {
  ASSERT_EQ(dtb_set_label_from_image_file(label_, const_cast<char *>("colour")), 0);
  unsigned char type = 0;
  Pixmap normal = 0, insensitive = 0;
  XtVaGetValues(label_, XmNlabelType, &type, XmNlabelPixmap, &normal, XmNlabelInsensitivePixmap,
                &insensitive, nullptr);
  EXPECT_EQ(type, XmPIXMAP);
  EXPECT_EQ(int(geometry(normal).width), kXpm);
  EXPECT_NE(insensitive, normal);
  EXPECT_EQ(int(geometry(insensitive).width), kXpm);
  EXPECT_LT(dtb_set_label_from_image_file(label_, const_cast<char *>("missing")), 0);
}

TEST_F(PixmapTest, LabelFromBitmapDataDrawsSetBitsInForeground) {
  unsigned char bits[] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80};  // two corners
  ASSERT_EQ(dtb_set_label_from_bitmap_data(gadget_, 8, 8, bits), 0);
  Pixmap pixmap = 0;
  XtVaGetValues(gadget_, XmNlabelPixmap, &pixmap, nullptr);
  ASSERT_EQ(int(geometry(pixmap).width), 8);
  EXPECT_EQ(int(geometry(pixmap).depth), depth());
  Pixel foreground = 0, background = 0;
  XtVaGetValues(box_, XmNforeground, &foreground, XmNbackground, &background, nullptr);
  XImage *image = XGetImage(display_, pixmap, 0, 0, 8, 8, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(XGetPixel(image, 0, 0), foreground);
  EXPECT_EQ(XGetPixel(image, 7, 7), foreground);
  EXPECT_EQ(XGetPixel(image, 1, 0), background);
  XDestroyImage(image);
  EXPECT_EQ(dtb_set_label_from_bitmap_data(label_, 0, 8, bits), -1);
  EXPECT_EQ(dtb_set_label_from_bitmap_data(label_, 8, 8, nullptr), -1);
}

// ---- greyed copy ------------------------------------------------------------------------

class Greyed : public PixmapTest, public ::testing::WithParamInterface<bool> {};

// A copy of a pixmap of the screen's depth uses the toolkit's shared GC; a
// 1-bit pixmap needs a GC of its own depth.
TEST_P(Greyed, CopyHasEveryOtherPixelInBackground) {
  const bool one_bit = GetParam();
  const unsigned pixmap_depth = one_bit ? 1 : unsigned(depth());
  Pixel foreground = 0, background = 0;
  if (one_bit) XtVaSetValues(label_, XmNbackground, BlackPixel(display_, DefaultScreen(display_)), nullptr);
  XtVaGetValues(label_, XmNforeground, &foreground, XmNbackground, &background, nullptr);
  const unsigned long ink = one_bit ? 1 : foreground;
  const unsigned long paper = one_bit ? (background & 1) : background;
  ASSERT_NE(ink, paper);

  constexpr int kSize = 8;
  Pixmap source = XCreatePixmap(display_, XtWindow(label_), kSize, kSize, pixmap_depth);
  GC gc = XCreateGC(display_, source, 0, nullptr);
  XSetForeground(display_, gc, ink);
  XFillRectangle(display_, source, gc, 0, 0, kSize, kSize);
  XFreeGC(display_, gc);

  Pixmap greyed = dtb_create_greyed_pixmap(label_, source);
  ASSERT_NE(greyed, Pixmap(0));
  EXPECT_NE(greyed, source);
  EXPECT_EQ(geometry(greyed).depth, pixmap_depth);
  XImage *image = XGetImage(display_, greyed, 0, 0, kSize, kSize, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  int paper_pixels = 0;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      unsigned long pixel = XGetPixel(image, x, y);
      EXPECT_TRUE(pixel == ink || pixel == paper) << x << ',' << y;
      if (pixel == paper) ++paper_pixels;
      // A checker: each pixel differs from its right and lower neighbours.
      if (x + 1 < kSize) {
        EXPECT_NE(pixel, XGetPixel(image, x + 1, y)) << x << ',' << y;
      }
      if (y + 1 < kSize) {
        EXPECT_NE(pixel, XGetPixel(image, x, y + 1)) << x << ',' << y;
      }
    }
  }
  EXPECT_EQ(paper_pixels, kSize * kSize / 2);
  XDestroyImage(image);

  // The source is left as it was.
  image = XGetImage(display_, source, 0, 0, kSize, kSize, AllPlanes, ZPixmap);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(XGetPixel(image, 1, 0), ink);
  EXPECT_EQ(XGetPixel(image, 0, 0), ink);
  XDestroyImage(image);
  XFreePixmap(display_, source);
  XFreePixmap(display_, greyed);
}

INSTANTIATE_TEST_SUITE_P(Depths, Greyed, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "OneBit" : "ScreenDepth"; });

TEST_F(PixmapTest, NoGreyedCopyOfAnInvalidPixmap) {
  EXPECT_EQ(dtb_create_greyed_pixmap(label_, 0), Pixmap(0));
  EXPECT_EQ(dtb_create_greyed_pixmap(label_, XmUNSPECIFIED_PIXMAP), Pixmap(0));
  EXPECT_EQ(dtb_create_greyed_pixmap(nullptr, 1234), Pixmap(0));
}

}  // namespace
