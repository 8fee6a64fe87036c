// The items of a drag as they travel through a selection: one private target
// per protocol, whose value is the list of items, each a name and its bytes.
// Also the compound-text form that Motif's own text widgets exchange.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include <Xm/Xm.h>

#include "dtb/dt/dnd.h"

namespace dtdnd {

struct Item {
  std::string name;   // buffers only
  std::string bytes;  // compound text, a file name or a buffer's bytes
};

struct Atoms {
  Atom text;           // "_DTB_DND_TEXT": items of compound text
  Atom files;          // "_DTB_DND_FILES": items holding file names
  Atom buffers;        // "_DTB_DND_BUFFERS": named buffers
  Atom compound_text;  // "COMPOUND_TEXT": the first item as text, for Motif's text widgets
  Atom delete_target;  // "DELETE": the drop site asks the source to delete after a move
  Atom null_type;      // "NULL": the type of an answer without data
};
const Atoms &atoms(Display *display);

// The private target that carries a protocol's items; 0 for no protocol.
Atom items_target(Display *display, DtDndProtocol protocol);

// Serialised list: a 32-bit big-endian count, then per item the name and the
// bytes, each as a 32-bit big-endian length followed by that many bytes.
std::string pack(const std::vector<Item> &items);
// False when the value is cut short or says more than it holds.
bool unpack(std::string_view value, std::vector<Item> *items);

// The items a source's convert callback put in its context.
std::vector<Item> items_from_context(const DtDndContext &context);

// Text of the current locale to compound text and back; empty on failure.
std::string compound_text_from_locale(Display *display, const std::string &text);
std::string locale_text_from_compound(Display *display, std::string_view compound);

// Data received by a drop site, presented as a context of one protocol. It owns
// everything the context points to.
class Received {
 public:
  Received(DtDndProtocol protocol, std::vector<Item> items);
  ~Received();
  Received(const Received &) = delete;
  Received &operator=(const Received &) = delete;
  DtDndContext *context() { return &context_; }

 private:
  std::vector<Item> items_;
  std::vector<XmString> strings_;
  std::vector<String> files_;
  std::vector<DtDndBuffer> buffers_;
  DtDndContext context_{};
};

// Calls every procedure of a null-terminated callback list.
void call_list(const std::vector<XtCallbackRec> &list, Widget widget, XtPointer call_data);
// A copy of a null-terminated list (empty for a null list).
std::vector<XtCallbackRec> copy_list(XtCallbackList list);

}  // namespace dtdnd
