// The drag side of our drag-and-drop service: drag icons, starting a drag, and
// answering the drop site's requests for the data.
#include "dtb/dt/dnd.h"

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include <Xm/DragDrop.h>

#include "dtb/dt/dnd_items.h"
#include "dtb/dtb_private.h"

namespace {

using dtdnd::atoms;

// Everything one drag needs until the toolkit reports it finished.
struct Drag {
  Widget source = nullptr;
  XEvent event{};  // the event that started the drag
  DtDndProtocol protocol = DtDND_NOOP_TRANSFER;
  bool buffer_is_text = false;
  Widget source_icon = nullptr;
  std::vector<XtCallbackRec> convert, finish, root_drop;
  bool over_root = false;

  // The items, asked of the client once, when a drop site first wants them.
  bool asked = false;
  bool converted = false;
  std::vector<XmString> strings;
  std::vector<String> files;
  std::vector<DtDndBuffer> buffers;
  DtDndContext context{};
  std::vector<dtdnd::Item> items;
};

Drag *drag_of(Widget drag_context) {
  XtPointer data = nullptr;
  XtVaGetValues(drag_context, XmNclientData, &data, nullptr);
  return static_cast<Drag *>(data);
}

void ask_for_items(Drag *drag) {
  if (drag->asked) return;
  drag->asked = true;
  DtDndConvertCallbackStruct call{DtCR_DND_CONVERT_DATA, &drag->event, &drag->context, DtDND_SUCCESS};
  dtdnd::call_list(drag->convert, drag->source, &call);
  drag->converted = call.status == DtDND_SUCCESS;
  if (drag->converted) drag->items = dtdnd::items_from_context(drag->context);
}

// The value of a converted target: a copy the toolkit frees when it has sent it.
Boolean answer(std::string_view bytes, Atom type, Atom *type_return, XtPointer *value_return,
               unsigned long *length_return, int *format_return) {
  char *value = XtMalloc(Cardinal(bytes.size() + 1));
  if (!bytes.empty()) std::memcpy(value, bytes.data(), bytes.size());
  value[bytes.size()] = '\0';
  *type_return = type;
  *value_return = value;
  *length_return = bytes.size();
  *format_return = 8;
  return True;
}

Boolean convert_proc(Widget drag_context, Atom *, Atom *target, Atom *type_return,
                     XtPointer *value_return, unsigned long *length_return, int *format_return) {
  Drag *drag = drag_of(drag_context);
  if (drag == nullptr) return False;
  Display *display = XtDisplay(drag_context);
  const dtdnd::Atoms &a = atoms(display);

  if (*target == a.delete_target) {
    DtDndConvertCallbackStruct call{DtCR_DND_CONVERT_DELETE, &drag->event, &drag->context, DtDND_SUCCESS};
    dtdnd::call_list(drag->convert, drag->source, &call);
    return answer({}, a.null_type, type_return, value_return, length_return, format_return);
  }
  bool items_wanted = *target == dtdnd::items_target(display, drag->protocol);
  bool text_wanted = *target == a.compound_text &&
                     (drag->protocol == DtDND_TEXT_TRANSFER || drag->buffer_is_text);
  if (!items_wanted && !text_wanted) return False;

  ask_for_items(drag);
  if (!drag->converted) return False;
  if (items_wanted) {
    return answer(dtdnd::pack(drag->items), *target, type_return, value_return, length_return,
                  format_return);
  }
  if (drag->items.empty()) return False;
  std::string text = drag->protocol == DtDND_TEXT_TRANSFER
                         ? drag->items.front().bytes
                         : dtdnd::compound_text_from_locale(display, drag->items.front().bytes);
  return answer(text, a.compound_text, type_return, value_return, length_return, format_return);
}

// Whether the pointer is over the desktop background: the toolkit reports the
// root window as the top-level window entered.
void top_level_enter_cb(Widget, XtPointer client_data, XtPointer call_data) {
  auto *drag = static_cast<Drag *>(client_data);
  auto *cb = static_cast<XmTopLevelEnterCallbackStruct *>(call_data);
  if (drag != nullptr && cb != nullptr) drag->over_root = cb->window == RootWindowOfScreen(cb->screen);
}

// No drop site answers over the desktop background, so the toolkit fails the
// drop; when the buttons were released there, the root-drop callbacks get the
// items instead. (A drag cancelled there with a key, button still held, is not a drop.)
void drop_finish_cb(Widget drag_context, XtPointer client_data, XtPointer call_data) {
  auto *drag = static_cast<Drag *>(client_data);
  auto *cb = static_cast<XmDropFinishCallbackStruct *>(call_data);
  if (drag == nullptr || cb == nullptr || !drag->over_root || drag->root_drop.size() <= 1) return;
  Display *display = XtDisplay(drag_context);
  Window root = RootWindowOfScreen(XtScreen(drag_context));
  Window root_return = 0, child = 0;  // the child is the drag icon's own window
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  constexpr unsigned int kButtons = Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask;
  if (!XQueryPointer(display, root, &root_return, &child, &x, &y, &wx, &wy, &mask)) return;
  if ((mask & kButtons) != 0) return;
  ask_for_items(drag);
  if (!drag->converted) return;
  DtDndTransferCallbackStruct call{DtCR_DND_ROOT_TRANSFER, cb->event,      Position(x),
                                   Position(y),            cb->operation,  &drag->context,
                                   drag_context,           True,           DtDND_SUCCESS};
  dtdnd::call_list(drag->root_drop, drag->source, &call);
}

void drag_drop_finish_cb(Widget, XtPointer client_data, XtPointer) {
  std::unique_ptr<Drag> drag(static_cast<Drag *>(client_data));
  DtDndDragFinishCallbackStruct call{DtCR_DND_DRAG_FINISH, &drag->event, &drag->context,
                                     drag->source_icon};
  dtdnd::call_list(drag->finish, drag->source, &call);
}

void size_items(Drag *drag, Cardinal count) {
  drag->context.protocol = drag->protocol;
  drag->context.numItems = int(count);
  switch (drag->protocol) {
    case DtDND_TEXT_TRANSFER:
      drag->strings.assign(count, nullptr);
      drag->context.data.strings = drag->strings.data();
      break;
    case DtDND_FILENAME_TRANSFER:
      drag->files.assign(count, nullptr);
      drag->context.data.files = drag->files.data();
      break;
    default:
      drag->buffers.assign(count, DtDndBuffer{nullptr, 0, nullptr});
      drag->context.data.buffers = drag->buffers.data();
      break;
  }
}

}  // namespace

Widget DtDndCreateSourceIcon(Widget parent, Pixmap pixmap, Pixmap mask) {
  if (parent == nullptr || pixmap == 0) return nullptr;
  Window root;
  int x, y;
  unsigned width, height, border, depth;
  if (!XGetGeometry(XtDisplay(parent), pixmap, &root, &x, &y, &width, &height, &border, &depth)) {
    return nullptr;
  }
  Arg args[5];
  Cardinal n = 0;
  XtSetArg(args[n], XmNpixmap, pixmap), ++n;
  XtSetArg(args[n], XmNmask, mask), ++n;
  XtSetArg(args[n], XmNwidth, width), ++n;
  XtSetArg(args[n], XmNheight, height), ++n;
  XtSetArg(args[n], XmNdepth, depth), ++n;
  // Under the shell: the toolkit gives an icon (an object, not a widget) a
  // constraint record under a constraint parent and never frees it.
  Widget shell = dtb::find_shell(parent);
  return XmCreateDragIcon(shell != nullptr ? shell : parent, const_cast<char *>("sourceIcon"), args, n);
}

Widget DtDndDragStart(Widget dragSource, XEvent *event, DtDndProtocol protocol, Cardinal numItems,
                      unsigned char operations, XtCallbackList convertCallback,
                      XtCallbackList dragFinishCallback, ArgList argList, Cardinal argCount) {
  if (dragSource == nullptr || event == nullptr || numItems < 1) return nullptr;
  if (protocol != DtDND_TEXT_TRANSFER && protocol != DtDND_FILENAME_TRANSFER &&
      protocol != DtDND_BUFFER_TRANSFER) {
    return nullptr;
  }
  auto drag = std::make_unique<Drag>();
  drag->source = dragSource;
  drag->event = *event;
  drag->protocol = protocol;
  drag->convert = dtdnd::copy_list(convertCallback);
  drag->finish = dtdnd::copy_list(dragFinishCallback);
  drag->root_drop = dtdnd::copy_list(nullptr);

  // Our own resources are taken out; the rest go to the toolkit.
  std::vector<Arg> passed;
  for (Cardinal i = 0; i < argCount; ++i) {
    std::string_view name = argList[i].name;
    if (name == DtNsourceIcon) {
      drag->source_icon = reinterpret_cast<Widget>(argList[i].value);
    } else if (name == DtNbufferIsText) {
      drag->buffer_is_text = argList[i].value != 0;
    } else if (name == DtNdropOnRootCallback) {
      drag->root_drop = dtdnd::copy_list(reinterpret_cast<XtCallbackList>(argList[i].value));
    } else {
      passed.push_back(argList[i]);
    }
  }
  size_items(drag.get(), numItems);

  Display *display = XtDisplay(dragSource);
  std::vector<Atom> targets = {dtdnd::items_target(display, protocol)};
  if (protocol == DtDND_TEXT_TRANSFER || (protocol == DtDND_BUFFER_TRANSFER && drag->buffer_is_text)) {
    targets.push_back(atoms(display).compound_text);
  }
  XtCallbackRec finish_list[] = {{drag_drop_finish_cb, drag.get()}, {nullptr, nullptr}};
  XtCallbackRec enter_list[] = {{top_level_enter_cb, drag.get()}, {nullptr, nullptr}};
  XtCallbackRec drop_finish_list[] = {{drop_finish_cb, drag.get()}, {nullptr, nullptr}};
  Arg arg;
  auto add = [&](const char *name, XtArgVal value) {
    XtSetArg(arg, const_cast<char *>(name), value);
    passed.push_back(arg);
  };
  add(XmNexportTargets, reinterpret_cast<XtArgVal>(targets.data()));
  add(XmNnumExportTargets, XtArgVal(targets.size()));
  add(XmNdragOperations, XtArgVal(operations));
  add(XmNconvertProc, reinterpret_cast<XtArgVal>(convert_proc));
  add(XmNclientData, reinterpret_cast<XtArgVal>(drag.get()));
  add(XmNdragDropFinishCallback, reinterpret_cast<XtArgVal>(finish_list));
  add(XmNtopLevelEnterCallback, reinterpret_cast<XtArgVal>(enter_list));
  add(XmNdropFinishCallback, reinterpret_cast<XtArgVal>(drop_finish_list));
  if (drag->source_icon != nullptr) add(XmNsourcePixmapIcon, reinterpret_cast<XtArgVal>(drag->source_icon));

  Widget drag_context = XmDragStart(dragSource, event, passed.data(), Cardinal(passed.size()));
  if (drag_context == nullptr) return nullptr;
  drag.release();  // owned by the drag until drag_drop_finish_cb
  return drag_context;
}
