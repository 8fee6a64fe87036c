// The drop side of our drag-and-drop service: registering drop sites, choosing
// what to fetch from a drag, and handing the fetched items to the client.
#include <cstdarg>
#include <map>
#include <memory>
#include <string_view>
#include <vector>

#include <Xm/DragDrop.h>

#include "dtb/dt/dnd.h"
#include "dtb/dt/dnd_items.h"

namespace {

using dtdnd::atoms;

struct Site {
  DtDndProtocol protocols = DtDND_NOOP_TRANSFER;
  unsigned char operations = 0;
  bool text_is_buffer = false;
  std::vector<XtCallbackRec> transfer, animate;
  // The drop procedure of a registration we kept; drops we cannot take go to it.
  XtCallbackProc previous_drop_proc = nullptr;
};

// Registered widgets (a site's children share its record) and their sites.
std::map<Widget, std::shared_ptr<Site>> sites;

// One fetch in progress: where and how the drop happened.
struct Fetch {
  std::shared_ptr<Site> site;
  Widget widget;
  Widget drag_context;
  DtDndProtocol protocol;  // as the client will see the data
  Atom target;
  XEvent event;
  Position x, y;
  unsigned char operation;
};

// Targets a site would take, best first, with the protocol each arrives as.
std::vector<std::pair<Atom, DtDndProtocol>> wanted_targets(Display *display, const Site &site) {
  std::vector<std::pair<Atom, DtDndProtocol>> wanted;
  for (DtDndProtocol p : {DtDND_BUFFER_TRANSFER, DtDND_FILENAME_TRANSFER, DtDND_TEXT_TRANSFER}) {
    if (site.protocols & p) wanted.emplace_back(dtdnd::items_target(display, p), p);
  }
  Atom text = atoms(display).compound_text;
  if (site.protocols & DtDND_TEXT_TRANSFER) {
    wanted.emplace_back(text, DtDND_TEXT_TRANSFER);
  } else if ((site.protocols & DtDND_BUFFER_TRANSFER) && site.text_is_buffer) {
    wanted.emplace_back(text, DtDND_BUFFER_TRANSFER);
  }
  return wanted;
}

void refuse(XmDropProcCallbackStruct *cb) {
  cb->operation = XmDROP_NOOP;
  cb->dropSiteStatus = XmINVALID_DROP_SITE;
  Arg args[2];
  XtSetArg(args[0], XmNtransferStatus, XmTRANSFER_FAILURE);
  XtSetArg(args[1], XmNnumDropTransfers, 0);
  XmDropTransferStart(cb->dragContext, args, 2);
}

std::vector<dtdnd::Item> items_of(Display *display, const Fetch &fetch, std::string_view value, bool *ok) {
  std::vector<dtdnd::Item> items;
  if (fetch.target != atoms(display).compound_text) {
    *ok = dtdnd::unpack(value, &items);
    return items;
  }
  // Plain compound text is one item; a buffer site takes it as text of the locale.
  dtdnd::Item item;
  item.bytes = fetch.protocol == DtDND_TEXT_TRANSFER ? std::string(value)
                                                    : dtdnd::locale_text_from_compound(display, value);
  items.push_back(std::move(item));
  *ok = true;
  return items;
}

void transfer_proc(Widget transfer, XtPointer client_data, Atom *, Atom *type, XtPointer value,
                   unsigned long *length, int *) {
  std::unique_ptr<Fetch> fetch(static_cast<Fetch *>(client_data));
  // The answer to our DELETE request after a move carries nothing for us.
  if (fetch == nullptr) {
    XtFree(static_cast<char *>(value));
    return;
  }
  Display *display = XtDisplayOfObject(transfer);
  bool ok = value != nullptr && *type != XT_CONVERT_FAIL;
  std::vector<dtdnd::Item> items;
  if (ok) items = items_of(display, *fetch, std::string_view(static_cast<char *>(value), *length), &ok);
  XtFree(static_cast<char *>(value));
  if (!ok) {
    XtVaSetValues(transfer, XmNtransferStatus, XmTRANSFER_FAILURE, nullptr);
    return;
  }

  dtdnd::Received received(fetch->protocol, std::move(items));
  DtDndTransferCallbackStruct call{DtCR_DND_TRANSFER_DATA, &fetch->event, fetch->x, fetch->y,
                                   fetch->operation, received.context(), fetch->drag_context, True,
                                   DtDND_SUCCESS};
  dtdnd::call_list(fetch->site->transfer, fetch->widget, &call);
  if (call.status != DtDND_SUCCESS) {
    XtVaSetValues(transfer, XmNtransferStatus, XmTRANSFER_FAILURE, nullptr);
    return;
  }
  if (call.operation == XmDROP_MOVE && call.completeMove) {
    XmDropTransferEntryRec entry{nullptr, atoms(display).delete_target};
    XmDropTransferAdd(transfer, &entry, 1);
  }
  DtDndDropAnimateCallbackStruct animate{DtCR_DND_DROP_ANIMATE, &fetch->event, fetch->x, fetch->y,
                                         fetch->operation, received.context()};
  dtdnd::call_list(fetch->site->animate, fetch->widget, &animate);
}

void drop_proc(Widget widget, XtPointer client_data, XtPointer call_data) {
  auto *cb = static_cast<XmDropProcCallbackStruct *>(call_data);
  auto found = sites.find(widget);
  if (found == sites.end()) return refuse(cb);
  std::shared_ptr<Site> site = found->second;
  Display *display = XtDisplay(widget);

  Atom *exported = nullptr;
  Cardinal count = 0;
  XtVaGetValues(cb->dragContext, XmNexportTargets, &exported, XmNnumExportTargets, &count, nullptr);
  for (auto [target, protocol] : wanted_targets(display, *site)) {
    for (Cardinal i = 0; i < count; ++i) {
      if (exported[i] != target) continue;
      if (cb->dropAction != XmDROP || (cb->operation & site->operations) == 0) return refuse(cb);
      XEvent event{};
      if (cb->event != nullptr) event = *cb->event;
      auto fetch = std::make_unique<Fetch>(Fetch{site, widget, cb->dragContext, protocol, target, event,
                                                 cb->x, cb->y, cb->operation});
      XmDropTransferEntryRec entry{fetch.get(), target};
      Arg args[3];
      XtSetArg(args[0], XmNdropTransfers, &entry);
      XtSetArg(args[1], XmNnumDropTransfers, 1);
      XtSetArg(args[2], XmNtransferProc, transfer_proc);
      fetch.release();  // transfer_proc takes it back, whether the fetch succeeds or fails
      XmDropTransferStart(cb->dragContext, args, 3);
      return;
    }
  }
  if (site->previous_drop_proc != nullptr) return site->previous_drop_proc(widget, client_data, call_data);
  refuse(cb);
}

void forget_site(Widget widget, XtPointer, XtPointer) { sites.erase(widget); }

void register_widget(Widget widget, const std::shared_ptr<Site> &site, bool preserve, bool composite) {
  Display *display = XtDisplay(widget);
  std::vector<Atom> targets;
  for (auto [target, protocol] : wanted_targets(display, *site)) targets.push_back(target);

  Boolean registered = XmDropSiteRegistered(widget);
  std::shared_ptr<Site> own = site;
  if (registered && preserve) {
    // Keep what the widget already takes, adding our targets to its own.
    Atom *old_targets = nullptr;
    Cardinal old_count = 0;
    XtCallbackProc old_proc = nullptr;
    Arg get[3];
    XtSetArg(get[0], XmNimportTargets, &old_targets);
    XtSetArg(get[1], XmNnumImportTargets, &old_count);
    XtSetArg(get[2], XmNdropProc, &old_proc);
    XmDropSiteRetrieve(widget, get, 3);
    for (Cardinal i = 0; i < old_count; ++i) targets.push_back(old_targets[i]);
    if (old_proc != drop_proc) {
      own = std::make_shared<Site>(*site);
      own->previous_drop_proc = old_proc;
    }
  } else if (registered) {
    XmDropSiteUnregister(widget);
    registered = False;
  }

  Arg args[5];
  Cardinal n = 0;
  XtSetArg(args[n], XmNimportTargets, targets.data()), ++n;
  XtSetArg(args[n], XmNnumImportTargets, targets.size()), ++n;
  XtSetArg(args[n], XmNdropSiteOperations, site->operations), ++n;
  XtSetArg(args[n], XmNdropProc, drop_proc), ++n;
  if (registered) {
    XmDropSiteUpdate(widget, args, n);
  } else {
    if (composite) XtSetArg(args[n], XmNdropSiteType, XmDROP_SITE_COMPOSITE), ++n;
    XmDropSiteRegister(widget, args, n);
  }
  if (sites.count(widget) == 0) XtAddCallback(widget, XmNdestroyCallback, forget_site, nullptr);
  sites[widget] = own;
}

}  // namespace

void DtDndDropRegister(Widget dropSite, DtDndProtocol protocols, unsigned char operations,
                       XtCallbackList transferCallback, ArgList argList, Cardinal argCount) {
  if (dropSite == nullptr) return;
  auto site = std::make_shared<Site>();
  site->protocols = protocols;
  site->operations = operations;
  site->transfer = dtdnd::copy_list(transferCallback);
  site->animate = dtdnd::copy_list(nullptr);
  bool register_children = false, preserve = false;
  for (Cardinal i = 0; i < argCount; ++i) {
    std::string_view name = argList[i].name;
    if (name == DtNregisterChildren) register_children = argList[i].value != 0;
    if (name == DtNtextIsBuffer) site->text_is_buffer = argList[i].value != 0;
    if (name == DtNpreserveRegistration) preserve = argList[i].value != 0;
    if (name == DtNdropAnimateCallback) {
      site->animate = dtdnd::copy_list(reinterpret_cast<XtCallbackList>(argList[i].value));
    }
  }

  WidgetList children = nullptr;
  Cardinal count = 0;
  if (register_children && XtIsComposite(dropSite)) {
    XtVaGetValues(dropSite, XmNchildren, &children, XmNnumChildren, &count, nullptr);
  }
  // Drop sites inside another must be registered after it, as parts of a composite one.
  register_widget(dropSite, site, preserve, count > 0);
  for (Cardinal i = 0; i < count; ++i) {
    if (XtIsWidget(children[i])) register_widget(children[i], site, preserve, false);
  }
}

void DtDndVaDropRegister(Widget dropSite, DtDndProtocol protocols, unsigned char operations,
                         XtCallbackList transferCallback, ...) {
  std::vector<Arg> args;
  va_list ap;
  va_start(ap, transferCallback);
  while (const char *name = va_arg(ap, const char *)) {
    Arg arg;
    XtSetArg(arg, const_cast<char *>(name), va_arg(ap, XtArgVal));
    args.push_back(arg);
  }
  va_end(ap);
  DtDndDropRegister(dropSite, protocols, operations, transferCallback, args.data(), Cardinal(args.size()));
}

void DtDndDropUnregister(Widget dropSite) {
  if (dropSite == nullptr || sites.erase(dropSite) == 0) return;
  XtRemoveCallback(dropSite, XmNdestroyCallback, forget_site, nullptr);
  XmDropSiteUnregister(dropSite);
}
