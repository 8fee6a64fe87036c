#include "dtb/dt/dnd_items.h"

#include <cstdint>
#include <memory>

#include <X11/Xutil.h>

namespace dtdnd {

namespace {

void put_u32(std::string *out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out->push_back(char((value >> shift) & 0xFF));
}

bool get_u32(std::string_view *in, uint32_t *value) {
  if (in->size() < 4) return false;
  *value = 0;
  for (int i = 0; i < 4; ++i) *value = (*value << 8) | uint8_t((*in)[size_t(i)]);
  in->remove_prefix(4);
  return true;
}

bool get_bytes(std::string_view *in, std::string *out) {
  uint32_t length = 0;
  if (!get_u32(in, &length) || length > in->size()) return false;
  out->assign(in->substr(0, length));
  in->remove_prefix(length);
  return true;
}

struct XFreeDeleter {
  void operator()(void *p) const { XFree(p); }
};

}  // namespace

const Atoms &atoms(Display *display) {
  // One display per program in practice; the atoms are looked up again for another.
  static Display *known = nullptr;
  static Atoms cached{};
  if (display != known) {
    cached.text = XInternAtom(display, "_DTB_DND_TEXT", False);
    cached.files = XInternAtom(display, "_DTB_DND_FILES", False);
    cached.buffers = XInternAtom(display, "_DTB_DND_BUFFERS", False);
    cached.compound_text = XInternAtom(display, "COMPOUND_TEXT", False);
    cached.delete_target = XInternAtom(display, "DELETE", False);
    cached.null_type = XInternAtom(display, "NULL", False);
    known = display;
  }
  return cached;
}

Atom items_target(Display *display, DtDndProtocol protocol) {
  const Atoms &a = atoms(display);
  switch (protocol) {
    case DtDND_TEXT_TRANSFER: return a.text;
    case DtDND_FILENAME_TRANSFER: return a.files;
    case DtDND_BUFFER_TRANSFER: return a.buffers;
    default: return 0;
  }
}

std::string pack(const std::vector<Item> &items) {
  std::string out;
  put_u32(&out, uint32_t(items.size()));
  for (const Item &item : items) {
    put_u32(&out, uint32_t(item.name.size()));
    out += item.name;
    put_u32(&out, uint32_t(item.bytes.size()));
    out += item.bytes;
  }
  return out;
}

bool unpack(std::string_view value, std::vector<Item> *items) {
  items->clear();
  uint32_t count = 0;
  if (!get_u32(&value, &count)) return false;
  // Every item takes at least 8 bytes, which bounds a lying count.
  if (count > value.size() / 8) return false;
  items->resize(count);
  for (Item &item : *items) {
    if (!get_bytes(&value, &item.name) || !get_bytes(&value, &item.bytes)) return false;
  }
  return value.empty();
}

std::vector<Item> items_from_context(const DtDndContext &context) {
  std::vector<Item> items;
  for (int i = 0; i < context.numItems; ++i) {
    Item item;
    switch (context.protocol) {
      case DtDND_TEXT_TRANSFER:
        if (context.data.strings != nullptr && context.data.strings[i] != nullptr) {
          if (char *ct = XmCvtXmStringToCT(context.data.strings[i])) {
            item.bytes = ct;
            XtFree(ct);
          }
        }
        break;
      case DtDND_FILENAME_TRANSFER:
        if (context.data.files != nullptr && context.data.files[i] != nullptr) {
          item.bytes = context.data.files[i];
        }
        break;
      case DtDND_BUFFER_TRANSFER:
        if (context.data.buffers != nullptr) {
          const DtDndBuffer &b = context.data.buffers[i];
          if (b.name != nullptr) item.name = b.name;
          if (b.bp != nullptr && b.size > 0) item.bytes.assign(static_cast<const char *>(b.bp), size_t(b.size));
        }
        break;
      default: break;
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::string compound_text_from_locale(Display *display, const std::string &text) {
  std::string copy = text;
  char *list[] = {copy.data()};
  XTextProperty property{};
  if (XmbTextListToTextProperty(display, list, 1, XCompoundTextStyle, &property) < Success) return {};
  std::unique_ptr<unsigned char, XFreeDeleter> owned(property.value);
  return std::string(reinterpret_cast<char *>(property.value), property.nitems);
}

std::string locale_text_from_compound(Display *display, std::string_view compound) {
  std::string copy(compound);
  XTextProperty property{};
  property.value = reinterpret_cast<unsigned char *>(copy.data());
  property.encoding = atoms(display).compound_text;
  property.format = 8;
  property.nitems = copy.size();
  char **list = nullptr;
  int count = 0;
  if (XmbTextPropertyToTextList(display, &property, &list, &count) < Success || list == nullptr) return {};
  std::string text;
  for (int i = 0; i < count; ++i) text += list[i];
  XFreeStringList(list);
  return text;
}

Received::Received(DtDndProtocol protocol, std::vector<Item> items) : items_(std::move(items)) {
  context_.protocol = protocol;
  context_.numItems = int(items_.size());
  for (Item &item : items_) {
    switch (protocol) {
      case DtDND_TEXT_TRANSFER: strings_.push_back(XmCvtCTToXmString(item.bytes.data())); break;
      case DtDND_FILENAME_TRANSFER: files_.push_back(item.bytes.data()); break;
      case DtDND_BUFFER_TRANSFER:
        buffers_.push_back({item.bytes.data(), int(item.bytes.size()), item.name.empty() ? nullptr : item.name.data()});
        break;
      default: break;
    }
  }
  if (protocol == DtDND_TEXT_TRANSFER) context_.data.strings = strings_.data();
  if (protocol == DtDND_FILENAME_TRANSFER) context_.data.files = files_.data();
  if (protocol == DtDND_BUFFER_TRANSFER) context_.data.buffers = buffers_.data();
}

Received::~Received() {
  for (XmString s : strings_) XmStringFree(s);
}

void call_list(const std::vector<XtCallbackRec> &list, Widget widget, XtPointer call_data) {
  for (const XtCallbackRec &rec : list) {
    if (rec.callback == nullptr) break;
    rec.callback(widget, rec.closure, call_data);
  }
}

std::vector<XtCallbackRec> copy_list(XtCallbackList list) {
  std::vector<XtCallbackRec> copy;
  for (XtCallbackList p = list; p != nullptr && p->callback != nullptr; ++p) copy.push_back(*p);
  copy.push_back({nullptr, nullptr});
  return copy;
}

}  // namespace dtdnd
