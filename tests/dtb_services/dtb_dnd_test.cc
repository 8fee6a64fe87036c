// Drag and drop between two of our widgets, with real pointer input under Xvfb.
// GoogleTest comes before the X headers, whose macros (None, Bool) it would trip over.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <Xm/DragDrop.h>
#include <Xm/DragIcon.h>
#include <Xm/DrawingA.h>
#include <Xm/Display.h>
#include <Xm/Form.h>
#include <Xm/TextF.h>

#include "dtb/dtb_utils.h"
#include "tests/support/x_session.h"

namespace {

using xs::button;
using xs::pointer_to;
using xs::pump_for;
using xs::pump_until;

// What the client procedures saw. Procedures are plain functions, so the
// record is global; each test starts it afresh.
struct Record {
  std::vector<DtbDndReason> drag;
  std::vector<DtbDndReason> drop;
  std::string source_data = "payload";   // what the drag source holds
  std::string received;                  // what the drop site got
  int received_items = 0;
  unsigned char drop_operation = 0;
  int start_protocol_seen = 0;
  bool root_answer_preset = false;
  XmString sent_text = nullptr;
  // Set by a test to change the next drag before it begins.
  int start_protocol_override = -1;
  bool text_is_buffer = false;  // the drop site's register answer
};
Record rec;

void drag_proc(DtbDndReason reason, DtbDragStartInfo *start, DtDndConvertCallbackStruct *convert,
               Boolean *root_ok, DtDndConvertCallbackStruct *deleted, DtDndDragFinishCallbackStruct *finish) {
  rec.drag.push_back(reason);
  switch (reason) {
    case DTB_DND_DRAG_START:
      ASSERT_NE(start, nullptr);
      EXPECT_EQ(start->item_count, 1);
      rec.start_protocol_seen = start->protocol;
      if (rec.start_protocol_override >= 0) start->protocol = rec.start_protocol_override;
      break;
    case DTB_DND_CONVERT: {
      ASSERT_NE(convert, nullptr);
      DtDndContext *ctx = convert->dragData;
      ASSERT_EQ(ctx->numItems, 1);
      if (ctx->protocol == DtDND_TEXT_TRANSFER) {
        rec.sent_text = XmStringCreateLocalized(rec.source_data.data());
        ctx->data.strings[0] = rec.sent_text;
      } else {
        ctx->data.buffers[0].bp = rec.source_data.data();
        ctx->data.buffers[0].size = int(rec.source_data.size());
        ctx->data.buffers[0].name = const_cast<char *>("note");
      }
      break;
    }
    case DTB_DND_DELETE:
      ASSERT_NE(deleted, nullptr);
      EXPECT_EQ(deleted->reason, DtCR_DND_CONVERT_DELETE);
      rec.source_data.clear();
      break;
    case DTB_DND_ROOT_DROP:
      ASSERT_NE(root_ok, nullptr);
      rec.root_answer_preset = *root_ok;
      break;
    case DTB_DND_DRAG_FINISH:
      ASSERT_NE(finish, nullptr);
      if (rec.sent_text != nullptr) XmStringFree(rec.sent_text);
      rec.sent_text = nullptr;
      break;
    default: ADD_FAILURE() << "drag procedure called with reason " << reason;
  }
}

void drop_proc(Widget, DtbDndReason reason, DtbDropRegisterInfo *info, DtDndTransferCallbackStruct *transfer,
               DtDndDropAnimateCallbackStruct *animate) {
  rec.drop.push_back(reason);
  switch (reason) {
    case DTB_DND_REGISTER:
      ASSERT_NE(info, nullptr);
      EXPECT_FALSE(info->text_is_buffer);
      info->text_is_buffer = rec.text_is_buffer;
      break;
    case DTB_DND_TRANSFER: {
      ASSERT_NE(transfer, nullptr);
      DtDndContext *ctx = transfer->dropData;
      rec.received_items = ctx->numItems;
      rec.drop_operation = transfer->operation;
      if (ctx->numItems < 1) break;
      if (ctx->protocol == DtDND_TEXT_TRANSFER) {
        char *text = static_cast<char *>(XmStringUnparse(ctx->data.strings[0], nullptr, XmCHARSET_TEXT,
                                                         XmCHARSET_TEXT, nullptr, 0, XmOUTPUT_ALL));
        rec.received = text != nullptr ? text : "";
        XtFree(text);
      } else {
        const DtDndBuffer &b = ctx->data.buffers[0];
        rec.received.assign(static_cast<char *>(b.bp), size_t(b.size));
      }
      break;
    }
    case DTB_DND_ANIMATE: ASSERT_NE(animate, nullptr); break;
    default: ADD_FAILURE() << "drop procedure called with reason " << reason;
  }
}

bool saw(const std::vector<DtbDndReason> &reasons, DtbDndReason r) {
  for (DtbDndReason x : reasons) {
    if (x == r) return true;
  }
  return false;
}

void set_btn1_transfer(Widget w, unsigned char value) {
  XtVaSetValues(XmGetXmDisplay(XtDisplay(w)), XmNenableBtn1Transfer, value, nullptr);
}

class DndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rec = Record{};
    dtb_save_toplevel_widget(xs::toplevel());
    shell_ = xs::make_shell(400, 120);
    Widget form = XtVaCreateManagedWidget("form", xmFormWidgetClass, shell_, nullptr);
    source_ = area(form, "source", 0);
    target_ = area(form, "target", 200);
    ASSERT_TRUE(xs::show_and_wait(shell_));
  }
  void TearDown() override {
    XtDestroyWidget(shell_);
    pump_for(50);
    if (rec.sent_text != nullptr) XmStringFree(rec.sent_text);
  }

  static Widget area(Widget form, const char *name, int x) {
    return XtVaCreateManagedWidget(name, xmDrawingAreaWidgetClass, form, XmNleftAttachment, XmATTACH_FORM,
                                   XmNleftOffset, x, XmNtopAttachment, XmATTACH_FORM, XmNwidth, 100,
                                   XmNheight, 100, XmNresizePolicy, XmRESIZE_NONE, nullptr);
  }

  DtbDragSite *drag_site(DtDndProtocol protocol, unsigned char ops = XmDROP_MOVE | XmDROP_COPY,
                         Boolean on_root = False) {
    DtbDragSite *site = nullptr;
    EXPECT_EQ(dtb_drag_site_register(source_, drag_proc, protocol, ops, False, on_root, 0, 0, &site), 0);
    EXPECT_NE(site, nullptr);
    return site;
  }
  DtbDropSite *drop_site(DtDndProtocol protocols, unsigned char ops = XmDROP_MOVE | XmDROP_COPY) {
    DtbDropSite *site = nullptr;
    EXPECT_EQ(dtb_drop_site_register(target_, drop_proc, protocols, ops, False, False, &site), 0);
    EXPECT_NE(site, nullptr);
    return site;
  }

  // Runs the script and waits for the drag to finish (or for the script to end
  // when no drag is expected).
  bool run(xs::Script &script, bool expect_finish = true) {
    script.start();
    bool ok = pump_until([&] {
      return script.finished() && (!expect_finish || saw(rec.drag, DTB_DND_DRAG_FINISH));
    }, 8000);
    pump_for(100);
    return ok;
  }

  // Button 1 down on the source and one motion, which records the start.
  void press_on_source(xs::Script &s) {
    s.then(10, [this] { pointer_to(source_, 20, 20); })
        .then(60, [] { button(1, true); })
        .then(60, [this] { pointer_to(source_, 21, 20); });
  }
  // Carries a started drag to the target and drops it there with the button.
  void drop_on_target(xs::Script &s, unsigned int number = 1) {
    s.then(150, [this] { pointer_to(target_, 30, 30); })
        .then(150, [this] { pointer_to(target_, 50, 50); })
        .then(150, [number] { button(number, false); });
  }

  // A Motif text field beside the target; it registers itself for text drops.
  Widget text_field() {
    Widget field = XtVaCreateManagedWidget("field", xmTextFieldWidgetClass, XtParent(target_),
                                           XmNleftAttachment, XmATTACH_FORM, XmNleftOffset, 300,
                                           XmNtopAttachment, XmATTACH_FORM, XmNwidth, 90, nullptr);
    pump_for(50);
    return field;
  }
  // Drags from the source and drops at (x, y) in the widget, by default near
  // its top left corner.
  bool drag_to(Widget w, int x = 10, int y = 5) {
    xs::Script s;
    press_on_source(s);
    s.then(60, [this] { pointer_to(source_, 40, 40); })
        .then(150, [=] { pointer_to(w, x, y); })
        .then(150, [=] { pointer_to(w, x + 10, y + 3); })
        .then(150, [] { button(1, false); });
    return run(s);
  }

  Widget shell_ = nullptr, source_ = nullptr, target_ = nullptr;
};

// ---- the threshold -----------------------------------------------------------------

// Motions 9 pixels away from the first one start no drag; 10 in either
// direction start one.
struct ThresholdCase {
  const char *name;
  int nine_x, nine_y, ten_x, ten_y;  // relative to the first motion
};

class Threshold : public DndTest, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(Threshold, NinePixelsStartNoDragAndTenStartOne) {
  const ThresholdCase &c = GetParam();
  drag_site(DtDND_BUFFER_TRANSFER);
  drop_site(DtDND_BUFFER_TRANSFER);
  size_t after_nine = 99;
  xs::Script s;
  press_on_source(s);
  s.then(60, [&] { pointer_to(source_, 21 + c.nine_x, 20 + c.nine_y); })
      .then(80, [&] { after_nine = rec.drag.size(); })
      .then(10, [&] { pointer_to(source_, 21 + c.ten_x, 20 + c.ten_y); });
  drop_on_target(s);
  ASSERT_TRUE(run(s));
  EXPECT_EQ(after_nine, 0u);
  ASSERT_FALSE(rec.drag.empty());
  EXPECT_EQ(rec.drag.front(), DTB_DND_DRAG_START);
  EXPECT_EQ(rec.drag.back(), DTB_DND_DRAG_FINISH);
}

INSTANTIATE_TEST_SUITE_P(Directions, Threshold,
                         ::testing::Values(ThresholdCase{"Right", 9, 9, 10, 0}, ThresholdCase{"Down", 0, 9, 0, 10}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(DndTest, ClickAfterAShortPressIsMeasuredFromItsOwnMotion) {
  drag_site(DtDND_BUFFER_TRANSFER);
  drop_site(DtDND_BUFFER_TRANSFER);
  xs::Script s;
  press_on_source(s);
  s.then(60, [] { button(1, false); })
      .then(60, [this] { pointer_to(source_, 60, 60); })
      .then(60, [] { button(1, true); })
      .then(60, [this] { pointer_to(source_, 61, 60); })
      .then(60, [] { button(1, false); });
  ASSERT_TRUE(run(s, false));
  EXPECT_TRUE(rec.drag.empty());
}

// ---- moving the data -------------------------------------------------------------------

struct MoveCase {
  const char *name;
  DtDndProtocol protocol;
  unsigned char operations;
  DtDndProtocol drop_protocol;
  bool text_is_buffer;     // the drop site's register answer
  const char *received;    // "": the drop site takes nothing
  bool moved;              // the source's data is gone afterwards
};

class DataTransfer : public DndTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(DataTransfer, DropSiteReceivesTheSourcesData) {
  const MoveCase &c = GetParam();
  rec.text_is_buffer = c.text_is_buffer;
  drag_site(c.protocol, c.operations);
  drop_site(c.drop_protocol);
  ASSERT_TRUE(drag_to(target_));

  EXPECT_EQ(rec.received, c.received);
  EXPECT_EQ(rec.source_data, c.moved ? "" : "payload");
  EXPECT_EQ(saw(rec.drag, DTB_DND_DELETE), c.moved);
  EXPECT_EQ(rec.drag.front(), DTB_DND_DRAG_START);
  EXPECT_EQ(rec.drag.back(), DTB_DND_DRAG_FINISH);
  if (*c.received == '\0') {
    EXPECT_FALSE(saw(rec.drop, DTB_DND_TRANSFER));
    return;
  }
  EXPECT_EQ(rec.received_items, 1);
  EXPECT_EQ(rec.drop_operation, c.moved ? XmDROP_MOVE : XmDROP_COPY);
  const std::vector<DtbDndReason> drop_steps = {DTB_DND_REGISTER, DTB_DND_TRANSFER, DTB_DND_ANIMATE};
  EXPECT_EQ(rec.drop, drop_steps);
  EXPECT_EQ(rec.drag[1], DTB_DND_CONVERT);
}

constexpr unsigned char kMoveOrCopy = XmDROP_MOVE | XmDROP_COPY;
INSTANTIATE_TEST_SUITE_P(
    Protocols, DataTransfer,
    ::testing::Values(
        MoveCase{"BufferMoved", DtDND_BUFFER_TRANSFER, kMoveOrCopy, DtDND_BUFFER_TRANSFER, false, "payload", true},
        MoveCase{"BufferCopied", DtDND_BUFFER_TRANSFER, XmDROP_COPY, DtDND_BUFFER_TRANSFER, false, "payload", false},
        MoveCase{"TextMoved", DtDND_TEXT_TRANSFER, kMoveOrCopy, DtDND_TEXT_TRANSFER, false, "payload", true},
        MoveCase{"TextCopied", DtDND_TEXT_TRANSFER, XmDROP_COPY, DtDND_TEXT_TRANSFER, false, "payload", false},
        // A buffer site that takes text as a buffer gets text drops too.
        MoveCase{"TextAsBuffer", DtDND_TEXT_TRANSFER, XmDROP_COPY, DtDND_BUFFER_TRANSFER, true, "payload", false},
        MoveCase{"OtherProtocol", DtDND_TEXT_TRANSFER, kMoveOrCopy, DtDND_BUFFER_TRANSFER, false, "", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(DndTest, DragWithIconFromPixmapAndMask) {
  Display *d = XtDisplay(source_);
  Window root = RootWindowOfScreen(XtScreen(source_));
  Pixmap icon = XCreatePixmap(d, root, 16, 16, unsigned(DefaultDepthOfScreen(XtScreen(source_))));
  Pixmap mask = XCreatePixmap(d, root, 16, 16, 1);
  DtbDragSite *site = nullptr;
  Widget other = area(XtParent(source_), "iconless", 100);
  ASSERT_EQ(dtb_drag_site_register(other, drag_proc, DtDND_BUFFER_TRANSFER, XmDROP_COPY, False, False, icon, 0,
                                   &site),
            0);
  EXPECT_EQ(site->source_icon, nullptr);  // an icon needs its mask
  ASSERT_EQ(dtb_drag_site_register(source_, drag_proc, DtDND_BUFFER_TRANSFER, XmDROP_COPY, False, False, icon,
                                   mask, &site),
            0);
  ASSERT_NE(site->source_icon, nullptr);
  EXPECT_TRUE(XmIsDragIconObjectClass(site->source_icon));
  Dimension width = 0;
  XtVaGetValues(site->source_icon, XmNwidth, &width, nullptr);
  EXPECT_EQ(width, 16);
  drop_site(DtDND_BUFFER_TRANSFER);
  ASSERT_TRUE(drag_to(target_));
  EXPECT_EQ(rec.received, "payload");
  XFreePixmap(d, icon);
  XFreePixmap(d, mask);
}

// ---- button 2 ----------------------------------------------------------------------------

TEST_F(DndTest, Button2StartsADragAtOnceUnlessItAdjustsSelections) {
  drag_site(DtDND_BUFFER_TRANSFER, XmDROP_COPY);
  drop_site(DtDND_BUFFER_TRANSFER);

  set_btn1_transfer(source_, XmBUTTON2_ADJUST);
  xs::Script adjust;
  adjust.then(10, [this] { pointer_to(source_, 20, 20); })
      .then(60, [] { button(2, true); })
      .then(100, [] { button(2, false); });
  ASSERT_TRUE(run(adjust, false));
  EXPECT_TRUE(rec.drag.empty());

  set_btn1_transfer(source_, XmBUTTON2_TRANSFER);
  size_t at_press = 0;
  xs::Script drag;
  drag.then(10, [this] { pointer_to(source_, 20, 20); })
      .then(60, [] { button(2, true); })
      .then(100, [&] { at_press = rec.drag.size(); });
  drop_on_target(drag, 2);
  ASSERT_TRUE(run(drag));
  EXPECT_GE(at_press, 1u);
  EXPECT_EQ(rec.drag.front(), DTB_DND_DRAG_START);
  EXPECT_EQ(rec.received, "payload");
  set_btn1_transfer(source_, XmOFF);
}

// ---- refusals ------------------------------------------------------------------------------

TEST_F(DndTest, DropSiteWithoutProcedureIsNotRegistered) {
  DtbDropSite *site = reinterpret_cast<DtbDropSite *>(1);
  EXPECT_EQ(dtb_drop_site_register(target_, nullptr, DtDND_BUFFER_TRANSFER, XmDROP_COPY, False, False, &site),
            -1);
  EXPECT_EQ(site, nullptr);
  EXPECT_FALSE(XmDropSiteRegistered(target_));
  EXPECT_TRUE(rec.drop.empty());

  drop_site(DtDND_BUFFER_TRANSFER);
  EXPECT_TRUE(XmDropSiteRegistered(target_));
}

TEST_F(DndTest, RefusedDragEndsAtOnceAndTheNextOneStarts) {
  drag_site(DtDND_BUFFER_TRANSFER, XmDROP_COPY);
  drop_site(DtDND_BUFFER_TRANSFER);
  // The client turns the drag into one the service cannot carry.
  rec.start_protocol_override = DtDND_NOOP_TRANSFER;
  xs::Script refused;
  press_on_source(refused);
  refused.then(60, [this] { pointer_to(source_, 40, 40); })
      .then(60, [] { button(1, false); });
  ASSERT_TRUE(run(refused, false));
  EXPECT_EQ(rec.drag, std::vector<DtbDndReason>{DTB_DND_DRAG_START});
  EXPECT_EQ(rec.start_protocol_seen, DtDND_BUFFER_TRANSFER);

  rec.start_protocol_override = -1;
  rec.drag.clear();
  ASSERT_TRUE(drag_to(target_));
  EXPECT_EQ(rec.received, "payload");
}

// ---- registration resources -----------------------------------------------------------------

TEST_F(DndTest, RegisteredChildrenTakeDropsToo) {
  Widget inner = XtVaCreateManagedWidget("inner", xmDrawingAreaWidgetClass, target_, XmNx, 25, XmNy, 25,
                                         XmNwidth, 50, XmNheight, 50, nullptr);
  pump_for(50);
  drag_site(DtDND_BUFFER_TRANSFER, XmDROP_COPY);
  DtbDropSite *site = nullptr;
  ASSERT_EQ(dtb_drop_site_register(target_, drop_proc, DtDND_BUFFER_TRANSFER, XmDROP_COPY, True, False, &site), 0);
  EXPECT_TRUE(site->register_children);
  EXPECT_TRUE(XmDropSiteRegistered(inner));
  ASSERT_TRUE(drag_to(inner));
  EXPECT_EQ(rec.received, "payload");
}

// Motif's own text fields take our text, and buffers marked as text. A field
// that also gets a buffer drop site of ours keeps taking the text drops our
// site does not want only when its own registration is preserved.
struct FieldCase {
  const char *name;
  bool ours;  // a buffer drop site of ours on the field
  Boolean preserve;
  DtDndProtocol protocol;
  Boolean buffer_is_text;
  const char *field_text;  // what the field holds afterwards
  const char *received;    // what our drop procedure got
};

void PrintTo(const FieldCase &c, std::ostream *os) { *os << c.name; }

class IntoTextField : public DndTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(IntoTextField, TakesTextButNotPlainBuffers) {
  const FieldCase &c = GetParam();
  Widget field = text_field();
  ASSERT_TRUE(XmDropSiteRegistered(field));
  if (c.ours) {
    ASSERT_EQ(dtb_drop_site_register(field, drop_proc, DtDND_BUFFER_TRANSFER, XmDROP_COPY, False, c.preserve, nullptr),
              0);
  }
  ASSERT_EQ(dtb_drag_site_register(source_, drag_proc, c.protocol, XmDROP_COPY, c.buffer_is_text, False, 0, 0,
                                   nullptr),
            0);
  ASSERT_TRUE(drag_to(field));
  pump_until([&] { return XmTextFieldGetLastPosition(field) > 0; }, *c.field_text != '\0' ? 1000 : 500);
  char *value = XmTextFieldGetString(field);
  EXPECT_EQ(std::string(value), c.field_text);
  XtFree(value);
  EXPECT_EQ(rec.received, c.received);
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, IntoTextField,
    ::testing::Values(FieldCase{"Text", false, False, DtDND_TEXT_TRANSFER, False, "payload", ""},
                      FieldCase{"BufferAsText", false, False, DtDND_BUFFER_TRANSFER, True, "payload", ""},
                      FieldCase{"PlainBuffer", false, False, DtDND_BUFFER_TRANSFER, False, "", ""},
                      FieldCase{"BufferToOursReplacing", true, False, DtDND_BUFFER_TRANSFER, False, "", "payload"},
                      FieldCase{"BufferToOursPreserving", true, True, DtDND_BUFFER_TRANSFER, False, "", "payload"},
                      FieldCase{"TextPastOursReplacing", true, False, DtDND_TEXT_TRANSFER, False, "", ""},
                      FieldCase{"TextPastOursPreserving", true, True, DtDND_TEXT_TRANSFER, False, "payload", ""}),
    [](const auto &info) { return std::string(info.param.name); });

class RootDrop : public DndTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RootDrop, DropOnTheDesktopBackgroundAsksTheSourceWhenAllowed) {
  const bool allowed = GetParam();
  drag_site(DtDND_BUFFER_TRANSFER, XmDROP_COPY, allowed ? True : False);
  ASSERT_TRUE(drag_to(shell_, 600, 500));
  EXPECT_EQ(saw(rec.drag, DTB_DND_ROOT_DROP), allowed);
  EXPECT_EQ(rec.root_answer_preset, allowed);
  EXPECT_EQ(rec.source_data, "payload");
  EXPECT_EQ(rec.drag.back(), DTB_DND_DRAG_FINISH);
}

INSTANTIATE_TEST_SUITE_P(Allowed, RootDrop, ::testing::Values(false, true),
                         [](const auto &info) { return info.param ? "Allowed" : "NotAllowed"; });

}  // namespace
