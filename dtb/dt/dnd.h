// Our own small desktop drag-and-drop service, built on Motif's drag and drop.
//
// A drag source hands over a list of items of one protocol: text (compound
// strings), file names or buffers of bytes. The data is asked for only when a
// drop site wants it (the convert callbacks), moved through the toolkit's
// selection transfer, and handed to the drop site's transfer callbacks. A
// move asks the source to delete its data once the drop site has it.
#pragma once
#include <Xm/Xm.h>

typedef enum {
  DtDND_SUCCESS = 0,
  DtDND_FAILURE = 1,
} DtDndStatus;

// Protocols are bits, so that a drop site can accept several.
typedef enum {
  DtDND_NOOP_TRANSFER = 0,
  DtDND_TEXT_TRANSFER = 1 << 0,
  DtDND_FILENAME_TRANSFER = 1 << 1,
  DtDND_BUFFER_TRANSFER = 1 << 2,
} DtDndProtocol;

// Reasons in the callback structures.
enum {
  DtCR_DND_CONVERT_DATA = 0,    // the source fills in dragData
  DtCR_DND_CONVERT_DELETE = 1,  // a move is complete: the source deletes its data
  DtCR_DND_DRAG_FINISH = 2,
  DtCR_DND_TRANSFER_DATA = 3,
  DtCR_DND_DROP_ANIMATE = 4,
  DtCR_DND_ROOT_TRANSFER = 5,
};

struct DtDndBuffer {
  void *bp;
  int size;
  char *name;  // may be null
};

struct DtDndContext {
  DtDndProtocol protocol;
  int numItems;
  union {
    XmString *strings;
    String *files;
    DtDndBuffer *buffers;
  } data;
};

// On the source side the item arrays are the service's, sized numItems and
// zero-filled; what the convert callback puts in them stays the client's (it
// may free it in its finish callback). On the drop side all data belongs to
// the service and lives only during the callback.
struct DtDndConvertCallbackStruct {
  int reason;
  XEvent *event;
  DtDndContext *dragData;
  DtDndStatus status;  // preset to success
};

struct DtDndDragFinishCallbackStruct {
  int reason;
  XEvent *event;
  DtDndContext *dragData;
  Widget sourceIcon;
};

struct DtDndTransferCallbackStruct {
  int reason;
  XEvent *event;
  Position x, y;  // root coordinates of the drop
  unsigned char operation;
  DtDndContext *dropData;
  Widget dragContext;
  Boolean completeMove;  // preset to true; false keeps the source's data after a move
  DtDndStatus status;    // preset to success
};

struct DtDndDropAnimateCallbackStruct {
  int reason;
  XEvent *event;
  Position x, y;
  unsigned char operation;
  DtDndContext *dropData;
};

// Resources of a drag.
#define DtNsourceIcon const_cast<char *>("sourceIcon")  // Widget from DtDndCreateSourceIcon
#define DtNbufferIsText const_cast<char *>("bufferIsText")  // Boolean: offer buffers as text too
#define DtNdropOnRootCallback const_cast<char *>("dropOnRootCallback")  // XtCallbackList, DtDndTransferCallbackStruct
// Resources of a drop site.
#define DtNregisterChildren const_cast<char *>("registerChildren")  // Boolean
#define DtNtextIsBuffer const_cast<char *>("textIsBuffer")  // Boolean: accept text as a buffer
#define DtNpreserveRegistration const_cast<char *>("preserveRegistration")  // Boolean: keep an existing drop site
#define DtNdropAnimateCallback const_cast<char *>("dropAnimateCallback")  // XtCallbackList

Widget DtDndCreateSourceIcon(Widget parent, Pixmap pixmap, Pixmap mask);

// Starts a drag of numItems items from dragSource; the drag context, or null.
// Arguments that are not the service's own go to the toolkit's drag context.
Widget DtDndDragStart(Widget dragSource, XEvent *event, DtDndProtocol protocol, Cardinal numItems,
                      unsigned char operations, XtCallbackList convertCallback,
                      XtCallbackList dragFinishCallback, ArgList argList, Cardinal argCount);

// Makes dropSite accept drops of the given protocols; the resource name/value
// pairs end with a null name, and each value is passed as an XtArgVal.
void DtDndVaDropRegister(Widget dropSite, DtDndProtocol protocols, unsigned char operations,
                         XtCallbackList transferCallback, ...);
void DtDndDropRegister(Widget dropSite, DtDndProtocol protocols, unsigned char operations,
                       XtCallbackList transferCallback, ArgList argList, Cardinal argCount);
void DtDndDropUnregister(Widget dropSite);
