#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/application.h"
#include "platform/ui/controls/drag_drop.h"
#include "platform/ui/controls/drop_objects.h"
#include "platform/ui/controls/screen.h"
#include "tests/support/input.h"

namespace ui {
namespace {

using test_support::SendKey;
using test_support::SendMouse;

// --- the data object and its enumerator ------------------------------------------------------

TFormatEtc Fmt(TClipFormat format, std::uint32_t tymed = TYMED_HGLOBAL, std::uint32_t aspect = DVASPECT_CONTENT) {
    TFormatEtc f;
    f.cfFormat = format;
    f.tymed = tymed;
    f.dwAspect = aspect;
    return f;
}

TEST(DataObject, EnumeratorTable) {
    // Each row: one call on the same enumerator, with what it must answer.
    enum Op { Next, Skip, Reset };
    struct Row {
        Op op;
        std::uint32_t count;
        HResult result;
        std::vector<TClipFormat> formats;  // Next only
        std::int32_t position_after;
    };
    const Row rows[] = {
        {Next, 2, HResult::S_OK, {CF_TEXT, CF_UNICODETEXT}, 2},
        {Next, 1, HResult::S_FALSE, {}, 2},
        {Reset, 0, HResult::S_OK, {}, 0},
        {Next, 1, HResult::S_OK, {CF_TEXT}, 1},
        {Next, 2, HResult::S_FALSE, {CF_UNICODETEXT}, 2},
        {Reset, 0, HResult::S_OK, {}, 0},
        {Skip, 1, HResult::S_OK, {}, 1},
        {Skip, 1, HResult::S_OK, {}, 2},
        {Skip, 1, HResult::S_FALSE, {}, 2},
        {Reset, 0, HResult::S_OK, {}, 0},
        {Skip, 0xFFFFFFFFu, HResult::S_FALSE, {}, 2},
        {Reset, 0, HResult::S_OK, {}, 0},
        {Next, 0, HResult::S_OK, {}, 0},
    };
    TSourceDataObject data("card");
    std::shared_ptr<IEnumFORMATETC> e;
    ASSERT_EQ(data.EnumFormatEtc(TDataDir::DATADIR_GET, e), HResult::S_OK);
    auto* source = dynamic_cast<TSourceEnumFormatEtc*>(e.get());
    ASSERT_NE(source, nullptr);
    int line = 0;
    for (const Row& row : rows) {
        ++line;
        if (row.op == Next) {
            std::vector<TFormatEtc> out(4);
            std::uint32_t fetched = 99;
            EXPECT_EQ(e->Next(row.count, out, &fetched), row.result) << "row " << line;
            ASSERT_EQ(fetched, row.formats.size()) << "row " << line;
            for (std::size_t i = 0; i < row.formats.size(); ++i) {
                EXPECT_EQ(out[i].cfFormat, row.formats[i]) << "row " << line;
                EXPECT_FALSE(out[i].ptd.has_value());
                EXPECT_EQ(out[i].dwAspect, DVASPECT_CONTENT);
                EXPECT_EQ(out[i].lindex, -1);
                EXPECT_EQ(out[i].tymed, TYMED_HGLOBAL);
            }
        } else if (row.op == Skip) {
            EXPECT_EQ(e->Skip(row.count), row.result) << "row " << line;
        } else {
            EXPECT_EQ(e->Reset(), row.result) << "row " << line;
        }
        EXPECT_EQ(source->Position(), row.position_after) << "row " << line;
    }
}

TEST(DataObject, EnumeratorEdges) {
    TSourceEnumFormatEtc e;
    TFormatEtc one;
    EXPECT_EQ(e.Next(2, std::span<TFormatEtc>(&one, 1), nullptr), HResult::E_INVALIDARG)
        << "more asked than room given";
    EXPECT_EQ(e.Position(), 0);
    EXPECT_EQ(e.Next(1, std::span<TFormatEtc>(&one, 1), nullptr), HResult::S_OK) << "fetched may be left out";
    std::shared_ptr<IEnumFORMATETC> clone;
    EXPECT_EQ(e.Clone(clone), HResult::S_OK);
    EXPECT_EQ(dynamic_cast<TSourceEnumFormatEtc&>(*clone).Position(), 0);

    TSourceDataObject data("x");
    std::shared_ptr<IEnumFORMATETC> set = clone;
    EXPECT_EQ(data.EnumFormatEtc(TDataDir::DATADIR_SET, set), HResult::E_NOTIMPL);
    EXPECT_EQ(set, nullptr);
}

TEST(DataObject, FormatAndMediumQueries) {
    struct Case {
        const char* text;
        TFormatEtc format;
        HResult result;
        std::vector<std::uint8_t> block;
    };
    const Case cases[] = {
        {"Hi", Fmt(CF_TEXT), HResult::S_OK, {'H', 'i', 0}},
        {"Hi", Fmt(CF_UNICODETEXT), HResult::S_OK, {'H', 0, 'i', 0, 0, 0}},
        {"\xC3\xA9", Fmt(CF_UNICODETEXT), HResult::S_OK, {0xE9, 0, 0, 0}},  // UTF-8 e-acute as one UTF-16 unit
        {"Hi",
         Fmt(CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM),
         HResult::S_OK,
         {'H', 'i', 0}},                                             // the medium is a set of choices
        {"Hi", Fmt(2 /* a bitmap */), HResult::DV_E_FORMATETC, {}},  // a format it does not offer
        {"Hi", Fmt(0), HResult::DV_E_FORMATETC, {}},
        {"Hi", Fmt(CF_TEXT, TYMED_FILE), HResult::DV_E_FORMATETC, {}},  // a medium it does not offer
        {"Hi", Fmt(CF_TEXT, TYMED_NULL), HResult::DV_E_FORMATETC, {}},
        {"Hi", Fmt(CF_TEXT, TYMED_HGLOBAL, DVASPECT_ICON), HResult::DV_E_FORMATETC, {}},
        {"", Fmt(CF_TEXT), HResult::DV_E_FORMATETC, {}},  // the drag's own empty text
        {"", Fmt(CF_UNICODETEXT), HResult::DV_E_FORMATETC, {}},
    };
    for (const Case& c : cases) {
        TSourceDataObject data(c.text);
        EXPECT_EQ(data.QueryGetData(c.format), c.result) << c.text << " format " << c.format.cfFormat;
        TStgMedium medium;
        medium.tymed = TYMED_FILE;
        medium.hGlobal = std::vector<std::uint8_t>{1, 2, 3};
        medium.has_release_object = true;
        EXPECT_EQ(data.GetData(c.format, medium), c.result) << c.text << " format " << c.format.cfFormat;
        EXPECT_FALSE(medium.has_release_object);
        if (c.result == HResult::S_OK) {
            EXPECT_EQ(medium.tymed, TYMED_HGLOBAL);
            ASSERT_TRUE(medium.hGlobal.has_value());
            EXPECT_EQ(*medium.hGlobal, c.block);
        } else {
            EXPECT_EQ(medium.tymed, TYMED_NULL) << "a refused request leaves the medium cleared";
            EXPECT_FALSE(medium.hGlobal.has_value());
        }
    }
}

TEST(DataObject, TheOtherCallsRefuse) {
    TSourceDataObject data("Hi");
    TStgMedium medium;
    EXPECT_EQ(data.GetDataHere(Fmt(CF_TEXT), medium), HResult::DV_E_FORMATETC);
    EXPECT_EQ(data.SetData(Fmt(CF_TEXT), medium, true), HResult::DV_E_FORMATETC);
    TFormatEtc canonical = Fmt(CF_TEXT);
    canonical.ptd = TTargetDevice{"printer"};
    EXPECT_EQ(data.GetCanonicalFormatEtc(Fmt(CF_TEXT), canonical), HResult::E_NOTIMPL);
    EXPECT_FALSE(canonical.ptd.has_value());
    std::uint32_t connection = 0;
    EXPECT_EQ(data.DAdvise(Fmt(CF_TEXT), 0, nullptr, connection), HResult::OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data.DUnadvise(1), HResult::OLE_E_ADVISENOTSUPPORTED);
    auto stat = std::make_shared<IEnumSTATDATA>();
    EXPECT_EQ(data.EnumDAdvise(stat), HResult::OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(stat, nullptr);
}

// A data object that gives no format enumerator.
class NoFormats : public TSourceDataObject {
public:
    NoFormats() : TSourceDataObject("") {}
    HResult EnumFormatEtc(TDataDir, std::shared_ptr<IEnumFORMATETC>& e) override {
        e.reset();
        return HResult::E_NOTIMPL;
    }
};

TEST(DataObject, TheDropWrapperWalksTheFormats) {
    TEnumFormats formats(std::make_shared<TSourceDataObject>(""));
    std::vector<TClipFormat> seen;
    while (formats.Next()) seen.push_back(formats.Current().cfFormat);
    EXPECT_EQ(seen, (std::vector<TClipFormat>{CF_TEXT, CF_UNICODETEXT}));
    EXPECT_TRUE(formats.AtEnd());
    formats.Reset();
    EXPECT_FALSE(formats.AtEnd());
    EXPECT_FALSE(formats.HasCurrent());
    EXPECT_TRUE(formats.Next());
    try {
        TEnumFormats none(std::make_shared<NoFormats>());
        ADD_FAILURE() << "no exception";
    } catch (const EAssertionFailed& e) {
        EXPECT_STREQ(e.what(), "Cannot get the format enumerator");
    }
}

// --- source and target bases -----------------------------------------------------------------

class RecordingSource : public TCustomACLDropSource {
public:
    std::vector<std::string> log;

protected:
    void DropFinished() override { log.push_back("finished"); }
    void EffectChanged(TDropEffect effect) override { log.push_back("effect " + std::to_string(effect)); }
    void DragProgress() override { log.push_back("progress"); }
};

TEST(DropSource, ContinueAndFeedback) {
    RecordingSource s;
    EXPECT_EQ(s.QueryContinueDrag(false, MK_LBUTTON | MK_SHIFT), HResult::S_OK);
    EXPECT_EQ(s.QueryContinueDrag(true, MK_LBUTTON), HResult::DRAGDROP_S_CANCEL);
    EXPECT_EQ(s.QueryContinueDrag(false, MK_RBUTTON), HResult::DRAGDROP_S_DROP);
    EXPECT_EQ(s.log, (std::vector<std::string>{"progress", "progress", "finished", "progress"}));
    s.log.clear();
    EXPECT_EQ(s.GiveFeedback(DROPEFFECT_NONE), HResult::DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_TRUE(s.NoEffect());
    EXPECT_EQ(s.GiveFeedback(DROPEFFECT_MOVE), HResult::DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_FALSE(s.NoEffect());
    EXPECT_EQ(s.log, (std::vector<std::string>{"effect 0", "effect 2"}));
}

class HookTarget : public TCustomACLDropTarget {
public:
    bool accept = true;
    std::vector<std::string> log;

protected:
    void TargetDrop(TPoint& p) override { log.push_back("drop " + std::to_string(p.X) + "," + std::to_string(p.Y)); }
    void TargetDragOver(TPoint& p, bool& a) override {
        log.push_back("over " + std::to_string(p.X) + (a ? " accepted" : " refused"));
        a = accept;
    }
    void TargetDragEnter() override { log.push_back("enter"); }
    void TargetDragLeave() override { log.push_back("leave"); }
};

TEST(DropTarget, AlwaysAMoveAndTheHookMayRefuse) {
    HookTarget t;
    auto data = std::make_shared<TSourceDataObject>("");
    TDropEffect effect = DROPEFFECT_COPY;
    t.Drop(data, 0, {1, 2}, effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE) << "nothing was entered";
    effect = DROPEFFECT_COPY;
    t.DragEnter(data, MK_LBUTTON | MK_CONTROL, {1, 2}, effect);
    EXPECT_EQ(effect, DROPEFFECT_MOVE) << "a move whatever the keys";
    t.DragOver(MK_LBUTTON, {3, 4}, effect);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    t.accept = false;
    t.DragOver(MK_LBUTTON, {5, 6}, effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    t.Drop(data, 0, {7, 8}, effect);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    t.DragLeave();
    EXPECT_EQ(t.log, (std::vector<std::string>{"enter", "over 3 accepted", "over 5 accepted", "drop 7,8", "leave"}));
}

// --- the drag loop through real windows ------------------------------------------------------

// A window on the screen at a known place.
class Window : public TCustomControl {
public:
    Window(int left, int top) : TCustomControl(nullptr) {
        Widget()->setGeometry(left, top, 100, 80);
        Widget()->show();
    }
    std::vector<std::string> log;  // what reached the window itself

protected:
    void MouseMove(TShiftState, int, int) override { log.push_back("move"); }
    void MouseUp(TMouseButton, TShiftState, int, int) override { log.push_back("up"); }
    void KeyDown(int&, TShiftState) override { log.push_back("key"); }
};

// Records what the drag loop tells it, with points relative to its window.
class RecordingTarget : public IDropTarget {
public:
    RecordingTarget(const char* name, QWidget* w, TDropEffect answer) : name_(name), widget_(w), answer_(answer) {}
    std::vector<std::string>* log = nullptr;

    HResult DragEnter(const std::shared_ptr<IDataObject>& data, TKeyState, TPoint p, TDropEffect& effect) override {
        data_seen = data != nullptr;
        Say("enter", p);
        effect = answer_;
        return HResult::S_OK;
    }
    HResult DragOver(TKeyState, TPoint p, TDropEffect& effect) override {
        Say("over", p);
        effect = answer_;
        return HResult::S_OK;
    }
    HResult DragLeave() override {
        log->push_back(name_ + " leave");
        return HResult::S_OK;
    }
    HResult Drop(const std::shared_ptr<IDataObject>&, TKeyState keys, TPoint p, TDropEffect& effect) override {
        Say(keys & MK_LBUTTON ? "drop held" : "drop", p);
        effect = answer_;
        return HResult::S_OK;
    }
    bool data_seen = false;

private:
    void Say(const char* what, TPoint p) {
        const QPoint c = widget_->mapFromGlobal(QPoint(p.X, p.Y));
        log->push_back(name_ + " " + what + " " + std::to_string(c.x()) + "," + std::to_string(c.y()));
    }
    std::string name_;
    QWidget* widget_;
    TDropEffect answer_;
};

class DragLoop : public ::testing::Test {
protected:
    DragLoop() : a(10, 10), b(300, 10) {
        target_a = std::make_shared<RecordingTarget>("a", a.Widget(), DROPEFFECT_MOVE);
        target_b = std::make_shared<RecordingTarget>("b", b.Widget(), DROPEFFECT_COPY);
        target_a->log = target_b->log = &log;
        EXPECT_EQ(RegisterDragDrop(a, target_a), HResult::S_OK);
        EXPECT_EQ(RegisterDragDrop(b, target_b), HResult::S_OK);
        source = std::make_shared<RecordingSource>();
        Mouse().Track(a.ClientToScreen({20, 30}));
    }
    ~DragLoop() override {
        RevokeDragDrop(a);
        RevokeDragDrop(b);
    }
    void Move(TWinControl& w, QPoint p, Qt::MouseButtons held = Qt::LeftButton) {
        SendMouse(w.Widget(), QEvent::MouseMove, p, Qt::NoButton, held);
    }
    void Release(TWinControl& w, QPoint p) {
        SendMouse(w.Widget(), QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    }
    int VisibleWindows() const {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) n += w->isVisible() ? 1 : 0;
        return n;
    }

    Window a;
    Window b;
    std::shared_ptr<RecordingTarget> target_a;
    std::shared_ptr<RecordingTarget> target_b;
    std::shared_ptr<RecordingSource> source;
    std::vector<std::string> log;
};

TEST_F(DragLoop, EnterOverLeaveAndDropOnTheTargetUnderTheCursor) {
    TDragSession session(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_COPY | DROPEFFECT_MOVE);
    ASSERT_EQ(session.Begin(), HResult::S_OK);
    EXPECT_EQ(TDragSession::Active(), &session);
    Move(a, {25, 35});
    // Events go to the window under the cursor's sender; the loop finds the target by position.
    Move(a, {300 - 10 + 5, 6});  // over b, though sent to a
    Move(b, {40, 50});
    Release(b, {40, 50});
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(TDragSession::Active(), nullptr);
    EXPECT_EQ(session.Result(), HResult::DRAGDROP_S_DROP);
    EXPECT_EQ(session.Effect(), DROPEFFECT_COPY);
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a over 25,35", "a leave", "b enter 5,6", "b over 40,50",
                                             "b drop 40,50"}));
    EXPECT_TRUE(target_a->data_seen);
    EXPECT_TRUE(a.log.empty()) << "the drag grabbed every event";
    EXPECT_TRUE(b.log.empty());
    // Every event asked the source first and fed back the target's effect.
    EXPECT_EQ(std::count(source->log.begin(), source->log.end(), "progress"), 5);
    EXPECT_EQ(std::count(source->log.begin(), source->log.end(), "finished"), 1);
    EXPECT_EQ(source->log.back(), "progress");
    // Afterwards events reach the windows again.
    Move(a, {1, 1}, Qt::NoButton);
    EXPECT_EQ(a.log, std::vector<std::string>{"move"});
}

TEST_F(DragLoop, EscCancelsWithALeaveAndLeavesNoWindow) {
    const int windows = VisibleWindows();
    TDragSession session(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE);
    ASSERT_EQ(session.Begin(), HResult::S_OK);
    Move(a, {30, 30});
    SendKey(a.Widget(), Qt::Key_Escape);
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.Result(), HResult::DRAGDROP_S_CANCEL);
    EXPECT_EQ(session.Effect(), DROPEFFECT_NONE);
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a over 30,30", "a leave"}));
    EXPECT_EQ(std::count(source->log.begin(), source->log.end(), "finished"), 0);
    EXPECT_TRUE(a.log.empty()) << "the Esc key went to the drag only";
    EXPECT_EQ(VisibleWindows(), windows);
    EXPECT_FALSE(QApplication::overrideCursor() != nullptr) << "the drag's cursor is gone";
}

TEST_F(DragLoop, AnEffectTheSourceDoesNotAllowIsNone) {
    // b answers copy; a source that allows only moves gets no effect there, and the release
    // over b is a leave, not a drop.
    TDragSession session(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE);
    ASSERT_EQ(session.Begin(), HResult::S_OK);
    Move(b, {10, 10});
    EXPECT_TRUE(source->NoEffect());
    Release(b, {10, 10});
    EXPECT_EQ(session.Result(), HResult::DRAGDROP_S_DROP);
    EXPECT_EQ(session.Effect(), DROPEFFECT_NONE);
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a leave", "b enter 10,10", "b leave"}));
}

TEST_F(DragLoop, OutsideEveryTargetNothingIsEntered) {
    RevokeDragDrop(b);
    TDragSession session(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE);
    ASSERT_EQ(session.Begin(), HResult::S_OK);
    Move(b, {10, 10});
    Release(b, {10, 10});
    EXPECT_EQ(session.Effect(), DROPEFFECT_NONE);
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a leave"}));
}

TEST_F(DragLoop, AChildWindowBelongsToItsRegisteredParent) {
    TCustomControl child(nullptr);
    child.SetParent(&a);
    child.SetBounds(40, 20, 30, 30);
    TDragSession session(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE);
    ASSERT_EQ(session.Begin(), HResult::S_OK);
    Move(a, {50, 30});  // over the child
    SendKey(a.Widget(), Qt::Key_Escape);
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a over 50,30", "a leave"}));
}

TEST_F(DragLoop, TicksRepeatTheStepWhereTheMouseRests) {
    TDragSession session(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE);
    ASSERT_EQ(session.Begin(), HResult::S_OK);
    Move(a, {50, 5});
    session.Tick();
    session.Tick();
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a over 50,5", "a over 50,5", "a over 50,5"}));
    SendKey(a.Widget(), Qt::Key_Escape);
    session.Tick();
    EXPECT_EQ(log.size(), 5u) << "no step after the end";
}

TEST_F(DragLoop, OnlyOneDragAtATimeAndARegistrationOncePerWindow) {
    TDragSession first(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE);
    ASSERT_EQ(first.Begin(), HResult::S_OK);
    TDragSession second(std::make_shared<TSourceDataObject>(""), std::make_shared<RecordingSource>(), DROPEFFECT_MOVE);
    EXPECT_EQ(second.Begin(), HResult::E_UNEXPECTED);
    TDropEffect effect = DROPEFFECT_COPY;
    EXPECT_EQ(DoDragDrop(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE, effect),
              HResult::E_UNEXPECTED);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(RegisterDragDrop(a, target_b), HResult::DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(RegisterDragDrop(a, nullptr), HResult::E_INVALIDARG);
    EXPECT_EQ(RevokeDragDrop(a), HResult::S_OK);
    EXPECT_EQ(RevokeDragDrop(a), HResult::DRAGDROP_E_NOTREGISTERED);
}

TEST_F(DragLoop, ASessionGoneWhileRunningLeavesItsTarget) {
    {
        TDragSession session(std::make_shared<TSourceDataObject>(""), source, DROPEFFECT_MOVE);
        ASSERT_EQ(session.Begin(), HResult::S_OK);
    }
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a leave"}));
    EXPECT_EQ(TDragSession::Active(), nullptr);
}

// A source whose continue query fails.
class FailingSource : public TCustomACLDropSource {
protected:
    void DragProgress() override { throw EInvalidOperation("broken source"); }
};

TEST_F(DragLoop, AFailingSourceCancelsAndIsReported) {
    std::vector<std::string> reported;
    Application().OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
    TDragSession session(std::make_shared<TSourceDataObject>(""), std::make_shared<FailingSource>(), DROPEFFECT_MOVE);
    session.Begin();
    Application().OnException = nullptr;
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.Result(), HResult::DRAGDROP_S_CANCEL);
    EXPECT_EQ(reported, std::vector<std::string>{"broken source"});
}

// Posts mouse events to `w` for the blocking loop to take.
void Post(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
    QCoreApplication::postEvent(
        w, new QMouseEvent(type, QPointF(p), QPointF(w->mapToGlobal(p)), button, held, Qt::NoModifier));
}

TEST_F(DragLoop, ExecuteDragRunsTheBlockingLoop) {
    Post(a.Widget(), QEvent::MouseMove, {60, 40}, Qt::NoButton, Qt::LeftButton);
    Post(a.Widget(), QEvent::MouseButtonRelease, {60, 40}, Qt::LeftButton, Qt::NoButton);
    TDropEffect effect = DROPEFFECT_NONE;
    EXPECT_EQ(source->ExecuteDrag(DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), HResult::DRAGDROP_S_DROP);
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
    EXPECT_EQ(log, (std::vector<std::string>{"a enter 20,30", "a over 60,40", "a drop 60,40"}));
    EXPECT_EQ(TDragSession::Active(), nullptr);
}

TEST_F(DragLoop, ExecuteDragAnswersCancelWhenTheLastFeedbackHadNoEffect) {
    RevokeDragDrop(a);
    Post(a.Widget(), QEvent::MouseButtonRelease, {60, 41}, Qt::LeftButton, Qt::NoButton);
    TDropEffect effect = DROPEFFECT_MOVE;
    EXPECT_EQ(source->ExecuteDrag(DROPEFFECT_COPY | DROPEFFECT_MOVE, effect), HResult::DRAGDROP_S_CANCEL);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
}

}  // namespace
}  // namespace ui
