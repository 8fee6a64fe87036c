// Label pixmaps from image files and bitmap data, and their greyed copies.
#include <array>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>

#include <Xm/Xm.h>

#include "dtb/dtb_pixmap.h"
#include "dtb/dtb_utils.h"

namespace {

constexpr std::array<const char *, 4> kImageExtensions = {"pm", "xpm", "bm", "xbm"};
// Colour images first on colour screens; bitmaps first on monochrome ones.
constexpr std::array<const char *, 4> kColourSuffixes = {".pm", ".xpm", ".bm", ".xbm"};
constexpr std::array<const char *, 4> kMonochromeSuffixes = {".bm", ".xbm", ".pm", ".xpm"};
constexpr size_t kPathSize = 1025;  // at most 1024 characters and the NUL

// Joins a file base and a suffix; grows with the longest name and never shrinks.
std::string name_buffer;

bool pixmap_valid(Pixmap pixmap) { return pixmap != 0 && pixmap != XmUNSPECIFIED_PIXMAP; }

// Gadgets have no window, colours or depth of their own: their parent's serve.
Widget drawing_widget(Widget widget) {
  return XmIsGadget(widget) ? XtParent(widget) : widget;
}

Pixmap cached_pixmap(Widget widget, const char *name, Pixel foreground, Pixel background) {
  return XmGetPixmap(XtScreenOfObject(widget), const_cast<char *>(name), foreground, background);
}

}  // namespace

Boolean dtb_file_has_extension(String fileName, String extension) {
  if (extension == nullptr) return fileName == nullptr || fileName[0] == '\0';
  if (fileName == nullptr) return False;
  std::string_view name = fileName;
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return False;
  return name.substr(dot + 1) == extension;
}

int dtb_cvt_file_to_pixmap(String fileName, Widget widget, Pixmap *pixmap_out) {
  if (fileName == nullptr || widget == nullptr || pixmap_out == nullptr) return -1;
  Screen *screen = XtScreenOfObject(widget);
  Pixel foreground = WhitePixelOfScreen(screen);
  Pixel background = BlackPixelOfScreen(screen);
  XtVaGetValues(widget, XmNforeground, &foreground, XmNbackground, &background, nullptr);

  Pixmap pixmap = cached_pixmap(widget, fileName, foreground, background);
  // Without the executable's directory only the toolkit's own image path is searched.
  if (const char *exe_dir = dtb_get_exe_dir(); !pixmap_valid(pixmap) && exe_dir != nullptr) {
    for (const char *format : {"%s/%s", "%s/bitmaps/%s"}) {
      char path[kPathSize];
      int length = std::snprintf(path, sizeof path, format, exe_dir, fileName);
      if (length < 0 || size_t(length) >= sizeof path) break;  // too long to be a path we support
      pixmap = cached_pixmap(widget, path, foreground, background);
      if (pixmap_valid(pixmap)) break;
    }
  }
  if (!pixmap_valid(pixmap)) return -1;
  *pixmap_out = pixmap;
  return 0;
}

int dtb_cvt_filebase_to_pixmap(Widget widget, String fileBase, String extension, Pixmap *pixmap_out) {
  if (pixmap_out == nullptr) return -1;
  *pixmap_out = 0;
  if (fileBase == nullptr) return -1;
  try {
    name_buffer.assign(fileBase);
    if (extension != nullptr) name_buffer.append(extension);
  } catch (const std::bad_alloc &) {
    return -1;
  }
  return dtb_cvt_file_to_pixmap(name_buffer.data(), widget, pixmap_out);
}

int dtb_cvt_image_file_to_pixmap(Widget widget, String fileName, Pixmap *pixmap_out) {
  if (pixmap_out == nullptr) return -1;
  Pixmap pixmap = 0;
  int result = -1;
  bool named_image = false;
  for (const char *extension : kImageExtensions) {
    if (dtb_file_has_extension(fileName, const_cast<char *>(extension))) named_image = true;
  }
  if (named_image) {
    result = dtb_cvt_file_to_pixmap(fileName, widget, &pixmap);
  } else if (widget != nullptr) {
    int depth = 0;
    XtVaGetValues(drawing_widget(widget), XmNdepth, &depth, nullptr);
    const auto &suffixes = depth > 1 ? kColourSuffixes : kMonochromeSuffixes;
    for (const char *suffix : suffixes) {
      result = dtb_cvt_filebase_to_pixmap(widget, fileName, const_cast<char *>(suffix), &pixmap);
      if (result >= 0) break;
    }
  }
  *pixmap_out = result >= 0 ? pixmap : 0;
  return result >= 0 ? 0 : result;
}

int dtb_set_label_pixmaps(Widget widget, Pixmap labelPixmap, Pixmap labelInsensitivePixmap) {
  if (widget == nullptr || (labelPixmap == 0 && labelInsensitivePixmap == 0)) return -1;
  XtVaSetValues(widget, XmNlabelType, XmPIXMAP, nullptr);
  if (labelPixmap != 0) XtVaSetValues(widget, XmNlabelPixmap, labelPixmap, nullptr);
  if (labelInsensitivePixmap != 0) {
    XtVaSetValues(widget, XmNlabelInsensitivePixmap, labelInsensitivePixmap, nullptr);
  }
  return 0;
}

int dtb_set_label_from_bitmap_data(Widget widget, int width, int height, unsigned char *bitmapData) {
  if (widget == nullptr || width < 1 || height < 1 || bitmapData == nullptr) return -1;
  Display *display = XtDisplayOfObject(widget);
  Drawable drawable = XtWindowOfObject(widget);
  if (drawable == 0) drawable = RootWindowOfScreen(XtScreenOfObject(widget));
  Pixel background = 0, foreground = 0;
  int depth = 0;
  XtVaGetValues(drawing_widget(widget), XmNbackground, &background, XmNforeground, &foreground,
                XmNdepth, &depth, nullptr);
  Pixmap pixmap = XCreatePixmapFromBitmapData(display, drawable, reinterpret_cast<char *>(bitmapData),
                                              unsigned(width), unsigned(height), foreground,
                                              background, unsigned(depth));
  if (pixmap == 0) return -1;
  dtb_set_label_pixmaps(widget, pixmap, 0);
  return 0;
}

int dtb_set_label_from_image_file(Widget widget, String fileName) {
  Pixmap pixmap = 0;
  int result = dtb_cvt_image_file_to_pixmap(widget, fileName, &pixmap);
  if (result < 0) return result;
  Pixmap greyed = dtb_create_greyed_pixmap(widget, pixmap);
  return dtb_set_label_pixmaps(widget, pixmap, greyed);
}

Pixmap dtb_create_greyed_pixmap(Widget widget, Pixmap pixmap) {
  if (widget == nullptr || !pixmap_valid(pixmap)) return 0;
  Display *display = XtDisplayOfObject(widget);
  Screen *screen = XtScreenOfObject(widget);
  Pixel background = 0;
  XtVaGetValues(widget, XmNbackground, &background, nullptr);

  Window root;
  int x, y;
  unsigned int width, height, border, depth;
  if (XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &depth) == 0) return 0;

  // The toolkit's 50 % checker; it stays in the toolkit's image cache.
  Pixmap stipple = XmGetPixmapByDepth(screen, const_cast<char *>("50_foreground"), 1, 0, 1);
  if (!pixmap_valid(stipple)) return 0;
  XGCValues values;
  values.foreground = background;
  values.fill_style = FillStippled;
  values.stipple = stipple;
  constexpr unsigned long kMask = GCForeground | GCFillStyle | GCStipple;
  Widget owner = drawing_widget(widget);
  int owner_depth = 0;
  XtVaGetValues(owner, XmNdepth, &owner_depth, nullptr);
  // The shared GC fits drawables of the widget's depth; a pixmap of another
  // depth gets a GC of its own.
  bool shared = unsigned(owner_depth) == depth;
  GC gc = shared ? XtGetGC(owner, kMask, &values) : XCreateGC(display, pixmap, kMask, &values);

  Pixmap greyed = XCreatePixmap(display, pixmap, width, height, depth);
  if (greyed != 0) {
    XCopyArea(display, pixmap, greyed, gc, 0, 0, width, height, 0, 0);
    XFillRectangle(display, greyed, gc, 0, 0, width, height);
  }
  if (shared) {
    XtReleaseGC(owner, gc);
  } else {
    XFreeGC(display, gc);
  }
  return greyed;
}
