// Drag and drop between our widgets and Motif's text fields, with real pointer
// input under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <utility>

#include <Xm/DragDrop.h>
#include <Xm/DrawingA.h>
#include <Xm/Form.h>
#include <Xm/TextF.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

// What the client procedures saw: their reasons as digits in order, and the data.
std::string g_data, g_received, g_drag, g_drop;
bool g_text_is_buffer = false;
XmString g_sent = nullptr;

void drag_proc(DtbDndReason reason, DtbDragStartInfo *, DtDndConvertCallbackStruct *convert, Boolean *root_ok,
               DtDndConvertCallbackStruct *, DtDndDragFinishCallbackStruct *) {
  g_drag += char('0' + reason);
  if (reason == DTB_DND_DELETE) g_data.clear();
  if (reason == DTB_DND_ROOT_DROP) g_received = *root_ok ? "root ok" : "root refused";
  if (reason == DTB_DND_DRAG_FINISH && g_sent != nullptr) XmStringFree(std::exchange(g_sent, nullptr));
  if (reason == DTB_DND_CONVERT && convert->dragData->protocol == DtDND_TEXT_TRANSFER)
    convert->dragData->data.strings[0] = g_sent = XmStringCreateLocalized(g_data.data());
  else if (reason == DTB_DND_CONVERT)
    convert->dragData->data.buffers[0] = {g_data.data(), int(g_data.size()), nullptr};
}

void drop_proc(Widget, DtbDndReason reason, DtbDropRegisterInfo *info, DtDndTransferCallbackStruct *transfer,
               DtDndDropAnimateCallbackStruct *) {
  g_drop += char('0' + reason);
  if (reason == DTB_DND_REGISTER) info->text_is_buffer = g_text_is_buffer;
  if (reason != DTB_DND_TRANSFER) return;
  DtDndContext *ctx = transfer->dropData;
  g_received = transfer->operation == XmDROP_MOVE ? "moved " : "";
  if (ctx->protocol != DtDND_TEXT_TRANSFER) {
    g_received.append(static_cast<char *>(ctx->data.buffers[0].bp), size_t(ctx->data.buffers[0].size));
    return;
  }
  g_received += xs::text(ctx->data.strings[0]);
}

// One window for every drag: a source, a drop target holding a child, and a
// text field, made afresh for each drag. The drag icon is not drawn: Motif
// would spend 400 ms after every drop animating it.
class Dnd : public ::testing::Test {
 protected:
  void SetUp() override {
    g_data = "payload";
    g_received = g_drag = g_drop = "";
    XrmDatabase db = XtDatabase(xs::session().display);
    XrmPutLineResource(&db, "*blendModel: BLEND_NONE");
    if (form_ != nullptr) XtDestroyWidget(XtParent(form_));
    form_ = XtVaCreateManagedWidget("form", xmFormWidgetClass, xs::make_shell(400, 120), nullptr);
    source_ = XtVaCreateManagedWidget("source", xmDrawingAreaWidgetClass, form_, XmNwidth, 100, XmNheight, 100,
                                      nullptr);
    target_ = XtVaCreateManagedWidget("target", xmDrawingAreaWidgetClass, form_, XmNleftAttachment, XmATTACH_FORM,
                                      XmNleftOffset, 150, XmNwidth, 100, XmNheight, 100, nullptr);
    inner_ = XtVaCreateManagedWidget("inner", xmDrawingAreaWidgetClass, target_, XmNx, 25, XmNy, 25, XmNwidth, 50,
                                     XmNheight, 50, nullptr);
    field_ = XtVaCreateManagedWidget("field", xmTextFieldWidgetClass, form_, XmNleftAttachment, XmATTACH_FORM,
                                     XmNleftOffset, 300, XmNwidth, 90, nullptr);
    ASSERT_TRUE(xs::show_and_wait(XtParent(form_)));
  }
  static void drag_site(DtDndProtocol protocol, unsigned char ops, Boolean buffer_is_text, Boolean on_root) {
    Display *d = XtDisplay(form_);
    Pixmap icon = XCreatePixmap(d, XtWindow(form_), 16, 16, DefaultDepth(d, 0));
    Pixmap mask = XCreatePixmap(d, icon, 16, 16, 1);
    DtbDragSite *site = nullptr;
    EXPECT_EQ(0,
              dtb_drag_site_register(source_, drag_proc, protocol, ops, buffer_is_text, on_root, icon, mask, &site));
    EXPECT_NE(nullptr, site->source_icon);
  }
  // Plays the steps from timers 50 ms apart (timers also run inside the
  // drag's own event loop) and waits for them and for the drag to finish.
  static bool play(std::initializer_list<std::function<void()>> steps) {
    auto done = std::make_shared<bool>(false);
    int at = 0;
    for (const auto &step : steps) xs::after(at += 50, step);
    xs::after(at + 50, [done] { *done = true; });
    return xs::pump_until([&] { return *done && g_drag.back() == '0' + DTB_DND_DRAG_FINISH; }, 8000);
  }
  // After a short press elsewhere, which must leave nothing behind, button 1
  // down on the source; a motion of 9 pixels both ways starts no drag, one of
  // 10 either way does; the drop is at (x, y) in w.
  static bool drag_to(Widget w, int x = 10, int y = 5, bool down = false) {
    return play({[] { xs::pointer_to(source_, 60, 60); }, [] { xs::button(1, true); },
                 [] { xs::pointer_to(source_, 61, 60); }, [] { xs::button(1, false); },
                 [] { xs::pointer_to(source_, 20, 20); }, [] { xs::button(1, true); },
                 [] { xs::pointer_to(source_, 21, 20); }, [] { xs::pointer_to(source_, 30, 29); },
                 [down] {
                   EXPECT_EQ("", g_drag);
                   xs::pointer_to(source_, down ? 21 : 31, down ? 30 : 20);
                 },
                 [] { EXPECT_EQ("4", g_drag); },
                 [=] { xs::pointer_to(w, x, y); }, [=] { xs::pointer_to(w, x + 10, y + 3); },
                 [] { xs::button(1, false); }});
  }
  static inline Widget form_, source_, target_, inner_, field_;
};

// Protocols of the drag and of the drop site, the operations, the two
// buffer/text settings; where the drop lands: t(arget), i(nner child of the
// target registered with it), f(ield), d(esktop); what our site got, what the
// field holds,
// the reasons the drag and the drop procedures saw.
struct Case {
  DtDndProtocol protocol, drop_protocols;
  unsigned char operations;
  Boolean buffer_is_text, text_is_buffer;
  char into;
  const char *received, *field_text, *drag, *drop;
};

class Drop : public Dnd, public ::testing::WithParamInterface<Case> {};

TEST_P(Drop, CarriesTheSourcesDataToTheSitesThatTakeIt) {
  const Case &c = GetParam();
  g_text_is_buffer = c.text_is_buffer;
  drag_site(c.protocol, c.operations, c.buffer_is_text, c.into == 'd');
  Widget site = c.into == 'f' ? field_ : target_;
  if (c.into != 'f') {
    ASSERT_EQ(0, dtb_drop_site_register(site, drop_proc, c.drop_protocols, XmDROP_MOVE | XmDROP_COPY, c.into == 'i',
                                        False, nullptr));
  }
  ASSERT_TRUE(c.into == 'd' ? drag_to(form_, 600, 500) : drag_to(c.into == 'i' ? inner_ : site, 10, 5, c.into == 'i'));
  EXPECT_EQ(c.drag, g_drag);
  EXPECT_EQ(c.drop, g_drop);
  EXPECT_EQ(c.received, g_received);
  EXPECT_EQ(std::string(c.received).rfind("moved", 0) == 0 ? "" : "payload", g_data);
  xs::pump_until([&] { return XmTextFieldGetLastPosition(field_) > 0; }, *c.field_text != '\0' ? 1000 : 100);
  EXPECT_EQ(c.field_text, xs::taken(XmTextFieldGetString(field_)));
}

constexpr unsigned char kAny = XmDROP_MOVE | XmDROP_COPY, kCopy = XmDROP_COPY;
constexpr auto kText = DtDND_TEXT_TRANSFER, kBuffer = DtDND_BUFFER_TRANSFER;
INSTANTIATE_TEST_SUITE_P(
    Sites, Drop,
    ::testing::Values(Case{kBuffer, kBuffer, kAny, False, false, 't', "moved payload", "", "4237", "981"},
                      Case{kText, kBuffer, kCopy, False, true, 't', "payload", "", "427", "981"},
                      Case{kText, kBuffer, kAny, False, false, 't', "", "", "47", "9"},
                      Case{kText, kText, kAny, False, false, 'i', "moved payload", "", "4237", "981"},
                      Case{kText, kBuffer, kCopy, False, false, 'f', "", "payload", "427", ""},
                      Case{kBuffer, kBuffer, kCopy, True, false, 'f', "", "payload", "427", ""},
                      Case{kBuffer, kBuffer, kCopy, False, false, 'd', "root ok", "", "4267", "9"}));

}  // namespace
