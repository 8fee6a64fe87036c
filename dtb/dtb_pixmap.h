// Pixmaps for labels and buttons: from image files (found through the
// toolkit's image cache or next to the program) or from bitmap data, with a
// greyed copy for the insensitive state.
#pragma once
#include <Xm/Xm.h>

// Loads the named image file; 0, or -1 when no image was found.
int dtb_cvt_file_to_pixmap(String fileName, Widget widget, Pixmap *pixmap_out);
// Loads base followed by suffix; as above, or -1 when the name cannot be built.
int dtb_cvt_filebase_to_pixmap(Widget widget, String fileBase, String extension, Pixmap *pixmap_out);
// Loads an image by name, trying the image suffixes in the order that suits
// the widget's depth when the name has none; 0, or a negative value.
int dtb_cvt_image_file_to_pixmap(Widget widget, String fileName, Pixmap *pixmap_out);
Boolean dtb_file_has_extension(String fileName, String extension);
int dtb_set_label_pixmaps(Widget widget, Pixmap labelPixmap, Pixmap labelInsensitivePixmap);
int dtb_set_label_from_bitmap_data(Widget widget, int width, int height, unsigned char *bitmapData);
int dtb_set_label_from_image_file(Widget widget, String fileName);
// A new pixmap: the given one with every other pixel in the widget's background; or 0.
Pixmap dtb_create_greyed_pixmap(Widget widget, Pixmap pixmap);
