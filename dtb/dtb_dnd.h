// Drag sources and drop sites for generated windows, on our drag-and-drop
// service. A drag starts when the pointer has moved 10 pixels with button 1
// held, or at once on a button-2 press; the client's one procedure is called
// with a reason for every step.
#pragma once
#include <Xm/Xm.h>

#include "dtb/dt/dnd.h"

typedef enum {
  DTB_DND_ANIMATE = 1,
  DTB_DND_CONVERT = 2,
  DTB_DND_DELETE = 3,
  DTB_DND_DRAG_START = 4,
  DTB_DND_ROOT_DROP = 6,
  DTB_DND_DRAG_FINISH = 7,
  DTB_DND_TRANSFER = 8,
  DTB_DND_REGISTER = 9,
} DtbDndReason;

// Handed to the drag procedure when a drag starts; changes apply to that drag only.
struct DtbDragStartInfo {
  int protocol;
  unsigned char operations;
  Boolean buffer_is_text;
  Boolean allow_drop_on_root;
  int item_count;
  Widget source_icon;
};

// Handed to the drop procedure at registration; it may change what is registered.
struct DtbDropRegisterInfo {
  int protocols;
  unsigned char operations;
  Boolean text_is_buffer;
  Boolean preserve_registration;
  Boolean register_children;
};

// Only the arguments of the given reason are non-null.
typedef void (*DtbDragCallbackProc)(DtbDndReason reason, DtbDragStartInfo *start_info,
                                    DtDndConvertCallbackStruct *convert_info, Boolean *root_drop_ok,
                                    DtDndConvertCallbackStruct *delete_info,
                                    DtDndDragFinishCallbackStruct *finish_info);
typedef void (*DtbDropCallbackProc)(Widget widget, DtbDndReason reason,
                                    DtbDropRegisterInfo *register_info,
                                    DtDndTransferCallbackStruct *transfer_info,
                                    DtDndDropAnimateCallbackStruct *animate_info);

struct DtbDragSite {
  Widget source;
  int protocol;  // DtDndProtocol
  unsigned char operations;
  Boolean buffer_is_text;
  Boolean allow_drop_on_root;
  Widget source_icon;
  DtbDragCallbackProc callback;
  XtCallbackRec convert_callbacks[2];
  XtCallbackRec root_drop_callbacks[2];
  XtCallbackRec finish_callbacks[2];
};

struct DtbDropSite {
  Widget widget;
  int protocols;  // DtDndProtocol bits
  unsigned char operations;
  Boolean text_is_buffer;
  Boolean register_children;
  Boolean preserve_registration;
  DtbDropCallbackProc callback;
  XtCallbackRec animate_callbacks[2];
  XtCallbackRec transfer_callbacks[2];
};

int dtb_drag_site_register(Widget widget, DtbDragCallbackProc callback, DtDndProtocol protocol,
                           unsigned char operations, Boolean buffer_is_text,
                           Boolean allow_drop_on_root, Pixmap icon, Pixmap icon_mask,
                           DtbDragSite **site_out);
int dtb_drop_site_register(Widget widget, DtbDropCallbackProc callback, DtDndProtocol protocols,
                           unsigned char operations, Boolean register_children,
                           Boolean preserve_registration, DtbDropSite **site_out);

// Internal steps, named for those who trace a drag.
void dtb_drag_button1_motion_handler(Widget widget, XtPointer client_data, XEvent *event, Boolean *cont);
void dtb_drag_button2_event_handler(Widget widget, XtPointer client_data, XEvent *event, Boolean *cont);
int dtb_drag_start(DtbDragSite *site, XEvent *event);
void dtb_drag_terminate(DtbDragSite *site);
void dtb_drag_convertCB(Widget widget, XtPointer client_data, XtPointer call_data);
void dtb_drag_to_rootCB(Widget widget, XtPointer client_data, XtPointer call_data);
void dtb_drag_finishCB(Widget widget, XtPointer client_data, XtPointer call_data);
void dtb_drop_animateCB(Widget widget, XtPointer client_data, XtPointer call_data);
void dtb_drop_transferCB(Widget widget, XtPointer client_data, XtPointer call_data);
