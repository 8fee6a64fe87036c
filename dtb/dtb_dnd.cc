// Drag sources and drop sites: when a drag starts, and how each step of the
// drag-and-drop service reaches the client's one procedure.
#include "dtb/dtb_dnd.h"

#include <cstdlib>
#include <deque>
#include <new>

#include <Xm/Display.h>

namespace {

// Pointer travel, in pixels along either axis, that turns a button-1 motion into a drag.
constexpr int kDragThreshold = 10;

// Shared by all drag sources: one drag at a time.
Boolean dragInProgress = False;
int dragInitialX = -1;
int dragInitialY = -1;

// Site records live for the whole run; a deque keeps their addresses stable.
std::deque<DtbDragSite> dragSites;
std::deque<DtbDropSite> dropSites;

template <typename Site>
Site *new_site(std::deque<Site> *sites) {
  try {
    return &sites->emplace_back();  // value-initialised: zero-filled
  } catch (const std::bad_alloc &) {
    return nullptr;
  }
}

// A start position belongs to one press of button 1: a click that follows
// must not be measured from the motion of an earlier one.
void forget_drag_start(Widget, XtPointer, XEvent *, Boolean *) {
  if (dragInProgress) return;
  dragInitialX = -1;
  dragInitialY = -1;
}

void set_closures(DtbDragSite *site, XtPointer closure) {
  site->convert_callbacks[0].closure = closure;
  site->root_drop_callbacks[0].closure = closure;
  site->finish_callbacks[0].closure = closure;
}

}  // namespace

int dtb_drag_site_register(Widget widget, DtbDragCallbackProc callback, DtDndProtocol protocol,
                           unsigned char operations, Boolean buffer_is_text,
                           Boolean allow_drop_on_root, Pixmap icon, Pixmap icon_mask,
                           DtbDragSite **site_out) {
  DtbDragSite *site = widget != nullptr ? new_site(&dragSites) : nullptr;
  if (site_out != nullptr) *site_out = site;
  // Reported as success even without a record; the caller sees the null site.
  if (site == nullptr) return 0;

  site->source = widget;
  site->protocol = protocol;
  site->operations = operations;
  site->buffer_is_text = buffer_is_text;
  site->allow_drop_on_root = allow_drop_on_root;
  if (icon != 0 && icon_mask != 0) site->source_icon = DtDndCreateSourceIcon(widget, icon, icon_mask);
  site->callback = callback;
  site->convert_callbacks[0] = {dtb_drag_convertCB, nullptr};
  site->root_drop_callbacks[0] = {dtb_drag_to_rootCB, nullptr};
  site->finish_callbacks[0] = {dtb_drag_finishCB, nullptr};

  XtAddEventHandler(widget, Button1MotionMask, False, dtb_drag_button1_motion_handler, site);
  XtAddEventHandler(widget, ButtonPressMask | ButtonReleaseMask, False, forget_drag_start, nullptr);
  XtAddEventHandler(widget, ButtonPressMask, False, dtb_drag_button2_event_handler, site);
  return 0;
}

void dtb_drag_button1_motion_handler(Widget, XtPointer client_data, XEvent *event, Boolean *) {
  auto *site = static_cast<DtbDragSite *>(client_data);
  if (site == nullptr || event == nullptr || event->type != MotionNotify || dragInProgress) return;
  // The drag is measured from the first motion with button 1 down, not from the press.
  if (dragInitialX == -1 && dragInitialY == -1) {
    dragInitialX = event->xmotion.x;
    dragInitialY = event->xmotion.y;
  }
  if (std::abs(event->xmotion.x - dragInitialX) < kDragThreshold &&
      std::abs(event->xmotion.y - dragInitialY) < kDragThreshold) {
    return;
  }
  dtb_drag_start(site, event);
  dragInitialX = -1;
  dragInitialY = -1;
}

void dtb_drag_button2_event_handler(Widget widget, XtPointer client_data, XEvent *event, Boolean *) {
  auto *site = static_cast<DtbDragSite *>(client_data);
  if (site == nullptr || event == nullptr || event->type != ButtonPress || event->xbutton.button != Button2) {
    return;
  }
  // At 1 button 2 extends selections instead of dragging.
  unsigned char btn1_transfer = XmOFF;
  XtVaGetValues(XmGetXmDisplay(XtDisplay(widget)), XmNenableBtn1Transfer, &btn1_transfer, nullptr);
  if (btn1_transfer == XmBUTTON2_ADJUST) return;
  dtb_drag_start(site, event);
}

int dtb_drag_start(DtbDragSite *site, XEvent *event) {
  if (site == nullptr) return -1;
  dragInProgress = True;
  set_closures(site, site);
  DtbDragStartInfo info{site->protocol,           site->operations, site->buffer_is_text,
                        site->allow_drop_on_root, 1,                site->source_icon};
  if (site->callback != nullptr) site->callback(DTB_DND_DRAG_START, &info, nullptr, nullptr, nullptr, nullptr);

  Arg args[3];
  Cardinal n = 0;
  if (info.source_icon != nullptr) XtSetArg(args[n], DtNsourceIcon, info.source_icon), ++n;
  if (info.buffer_is_text && info.protocol == DtDND_BUFFER_TRANSFER) {
    XtSetArg(args[n], DtNbufferIsText, True), ++n;
  }
  if (info.allow_drop_on_root) XtSetArg(args[n], DtNdropOnRootCallback, site->root_drop_callbacks), ++n;
  Widget drag = DtDndDragStart(site->source, event, DtDndProtocol(info.protocol), Cardinal(info.item_count),
                               info.operations, site->convert_callbacks, site->finish_callbacks, args, n);
  if (drag == nullptr) {
    dtb_drag_terminate(site);
    return -1;
  }
  return 0;
}

void dtb_drag_terminate(DtbDragSite *site) {
  dragInProgress = False;
  dragInitialX = -1;
  dragInitialY = -1;
  if (site != nullptr) set_closures(site, nullptr);
}

void dtb_drag_convertCB(Widget, XtPointer client_data, XtPointer call_data) {
  auto *site = static_cast<DtbDragSite *>(client_data);
  auto *convert = static_cast<DtDndConvertCallbackStruct *>(call_data);
  if (site == nullptr || site->callback == nullptr || convert == nullptr) return;
  if (convert->reason == DtCR_DND_CONVERT_DATA) {
    site->callback(DTB_DND_CONVERT, nullptr, convert, nullptr, nullptr, nullptr);
  } else if (convert->reason == DtCR_DND_CONVERT_DELETE) {
    site->callback(DTB_DND_DELETE, nullptr, nullptr, nullptr, convert, nullptr);
  }
}

void dtb_drag_to_rootCB(Widget, XtPointer client_data, XtPointer) {
  auto *site = static_cast<DtbDragSite *>(client_data);
  if (site == nullptr || site->callback == nullptr) return;
  Boolean accept = True;
  site->callback(DTB_DND_ROOT_DROP, nullptr, nullptr, &accept, nullptr, nullptr);
}

void dtb_drag_finishCB(Widget, XtPointer client_data, XtPointer call_data) {
  auto *site = static_cast<DtbDragSite *>(client_data);
  if (site == nullptr) return;
  if (site->callback != nullptr) {
    site->callback(DTB_DND_DRAG_FINISH, nullptr, nullptr, nullptr, nullptr,
                   static_cast<DtDndDragFinishCallbackStruct *>(call_data));
  }
  dtb_drag_terminate(site);
}

int dtb_drop_site_register(Widget widget, DtbDropCallbackProc callback, DtDndProtocol protocols,
                           unsigned char operations, Boolean register_children,
                           Boolean preserve_registration, DtbDropSite **site_out) {
  DtbDropSite *site = widget != nullptr && callback != nullptr ? new_site(&dropSites) : nullptr;
  if (site_out != nullptr) *site_out = site;
  if (site == nullptr) return -1;

  site->widget = widget;
  site->callback = callback;
  site->protocols = protocols;
  site->operations = operations;
  site->register_children = register_children;
  site->preserve_registration = preserve_registration;
  site->animate_callbacks[0] = {dtb_drop_animateCB, site};
  site->transfer_callbacks[0] = {dtb_drop_transferCB, site};

  DtbDropRegisterInfo info{site->protocols, site->operations, site->text_is_buffer,
                           site->preserve_registration, site->register_children};
  callback(widget, DTB_DND_REGISTER, &info, nullptr, nullptr);

  DtDndVaDropRegister(widget, DtDndProtocol(info.protocols), info.operations, site->transfer_callbacks,
                      DtNregisterChildren, XtArgVal(info.register_children), DtNtextIsBuffer,
                      XtArgVal(info.text_is_buffer), DtNpreserveRegistration,
                      XtArgVal(info.preserve_registration), DtNdropAnimateCallback,
                      reinterpret_cast<XtArgVal>(site->animate_callbacks), nullptr);
  return 0;
}

void dtb_drop_animateCB(Widget, XtPointer client_data, XtPointer call_data) {
  auto *site = static_cast<DtbDropSite *>(client_data);
  if (site == nullptr || site->callback == nullptr) return;
  site->callback(site->widget, DTB_DND_ANIMATE, nullptr, nullptr,
                 static_cast<DtDndDropAnimateCallbackStruct *>(call_data));
}

void dtb_drop_transferCB(Widget, XtPointer client_data, XtPointer call_data) {
  auto *site = static_cast<DtbDropSite *>(client_data);
  if (site == nullptr || site->callback == nullptr) return;
  site->callback(site->widget, DTB_DND_TRANSFER, nullptr,
                 static_cast<DtDndTransferCallbackStruct *>(call_data), nullptr);
}
