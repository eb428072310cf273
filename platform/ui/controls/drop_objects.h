// The drag-and-drop objects a control builds its own rearranging on: a drop-target base and a
// drop-source base with empty hooks to override, the data object a drag carries (a text offered
// as CF_TEXT and CF_UNICODETEXT in global memory) with its format enumerator, and the wrapper a
// drop target puts around a dropped data object. Create them with std::make_shared.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/drag_drop.h"
#include "platform/ui/core/exceptions.h"

namespace ui {

// A failed internal check, with the check's message.
class EAssertionFailed : public Exception {
public:
    explicit EAssertionFailed(const std::string& message) : Exception(message) {}
};

// Accepts every drag it is entered by, always as a move, and hands each step to the hooks.
class TCustomACLDropTarget : public IDropTarget {
public:
    HResult DragEnter(const std::shared_ptr<IDataObject>& data, TKeyState key_state, TPoint point,
                      TDropEffect& effect) override;
    HResult DragOver(TKeyState key_state, TPoint point, TDropEffect& effect) override;
    HResult DragLeave() override;
    HResult Drop(const std::shared_ptr<IDataObject>& data, TKeyState key_state, TPoint point,
                 TDropEffect& effect) override;

    bool Accepting() const { return accept_; }

protected:
    // The point is in screen coordinates. Accept comes in true when the drag is accepted so far.
    virtual void TargetDrop(TPoint& point) { (void)point; }
    virtual void TargetDragOver(TPoint& point, bool& accept) {
        (void)point;
        (void)accept;
    }
    virtual void TargetDragEnter() {}
    virtual void TargetDragLeave() {}

private:
    bool accept_ = false;
};

// Goes on while the left button is held, drops when it is released, cancels on Esc.
class TCustomACLDropSource : public IDropSource, public std::enable_shared_from_this<TCustomACLDropSource> {
public:
    HResult QueryContinueDrag(bool escape_pressed, TKeyState key_state) override;
    HResult GiveFeedback(TDropEffect effect) override;

    // Runs a drag of a data object with an empty text from this source (which must be owned by
    // a shared_ptr). DRAGDROP_S_CANCEL when the last feedback had no effect, else the drag's result.
    HResult ExecuteDrag(TDropEffect allowed, TDropEffect& effect);

    bool NoEffect() const { return no_effect_; }

protected:
    // When the mouse button is released.
    virtual void DropFinished() {}
    // With the effect of every feedback.
    virtual void EffectChanged(TDropEffect effect) { (void)effect; }
    // After every continue query.
    virtual void DragProgress() {}

private:
    bool no_effect_ = false;
};

// Carries a text in the platform's two text formats; with an empty text it renders nothing.
class TSourceDataObject : public IDataObject {
public:
    explicit TSourceDataObject(std::string text) : text_(std::move(text)) {}
    const std::string& Text() const { return text_; }

    // S_OK for CF_TEXT or CF_UNICODETEXT, the content aspect and a medium that allows global
    // memory, when the text is not empty; everything else DV_E_FORMATETC.
    HResult QueryGetData(const TFormatEtc& format) override;
    // What QueryGetData accepts, in global memory: CF_TEXT the text with its terminator
    // (length + 1 bytes), CF_UNICODETEXT the text as UTF-16 with a terminating zero. The medium
    // is cleared first; a refused format or exhausted memory answers DV_E_FORMATETC.
    HResult GetData(const TFormatEtc& format, TStgMedium& medium) override;
    HResult GetDataHere(const TFormatEtc& format, TStgMedium& medium) override;
    HResult GetCanonicalFormatEtc(const TFormatEtc& format, TFormatEtc& canonical) override;
    HResult SetData(const TFormatEtc& format, const TStgMedium& medium, bool release) override;
    HResult EnumFormatEtc(TDataDir direction, std::shared_ptr<IEnumFORMATETC>& enumerator) override;
    HResult DAdvise(const TFormatEtc& format, std::uint32_t flags, const std::shared_ptr<IAdviseSink>& sink,
                    std::uint32_t& connection) override;
    HResult DUnadvise(std::uint32_t connection) override;
    HResult EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& enumerator) override;

private:
    std::string text_;
};

// The two formats of TSourceDataObject in order: CF_TEXT, then CF_UNICODETEXT, each with no
// target device, the content aspect, index -1 and global memory.
class TSourceEnumFormatEtc : public IEnumFORMATETC {
public:
    static constexpr std::int32_t kFormatCount = 2;
    static TFormatEtc Format(std::int32_t index);

    HResult Next(std::uint32_t count, std::span<TFormatEtc> elements, std::uint32_t* fetched) override;
    HResult Skip(std::uint32_t count) override;
    HResult Reset() override;
    HResult Clone(std::shared_ptr<IEnumFORMATETC>& clone) override;
    std::int32_t Position() const { return position_; }

private:
    std::int32_t position_ = 0;
};

// A dropped data object with its format enumerator, walked one format at a time. Raises
// EAssertionFailed "Cannot get the format enumerator" when the data object gives none.
class TEnumFormats {
public:
    explicit TEnumFormats(std::shared_ptr<IDataObject> data);
    // Back to the first format.
    void Reset();
    // Moves to the next format; false at the end.
    bool Next();
    // The format Next moved to; meaningful after Next answered true.
    const TFormatEtc& Current() const { return current_; }
    bool HasCurrent() const { return has_current_; }
    bool AtEnd() const { return at_end_; }

private:
    std::shared_ptr<IDataObject> data_;
    std::shared_ptr<IEnumFORMATETC> enumerator_;
    TFormatEtc current_;
    bool has_current_ = false;
    bool at_end_ = false;
};

}  // namespace ui
