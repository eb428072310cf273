// Drag and drop inside the program: the data-object, format-enumerator, drop-source and
// drop-target interfaces, and the platform's drag loop over them.
//
// An object is handed out as a shared_ptr to its interface and lives as long as a reference does.
// A window registers a drop target; DoDragDrop runs the drag: the mouse and keyboard are grabbed,
// every mouse and key event asks the source whether to go on (QueryContinueDrag) and then tells
// the registered target under the cursor (DragEnter, DragOver, DragLeave, Drop) and the source
// (GiveFeedback). Esc cancels. Drags never leave the program and nothing from outside is taken:
// only windows of this program are drop targets. User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/ui/controls/controls.h"
#include "platform/ui/graphics/geometry.h"

class QEvent;
class QObject;

namespace ui {

// The results the interfaces answer with, named as the platform names them.
enum class HResult {
    S_OK,
    S_FALSE,
    E_NOTIMPL,
    E_INVALIDARG,
    E_UNEXPECTED,
    DV_E_FORMATETC,
    OLE_E_ADVISENOTSUPPORTED,
    DRAGDROP_S_DROP,
    DRAGDROP_S_CANCEL,
    DRAGDROP_S_USEDEFAULTCURSORS,
    DRAGDROP_E_ALREADYREGISTERED,
    DRAGDROP_E_NOTREGISTERED,
};
const char* HResultName(HResult result);

using TDropEffect = std::int32_t;
inline constexpr TDropEffect DROPEFFECT_NONE = 0;
inline constexpr TDropEffect DROPEFFECT_COPY = 1;
inline constexpr TDropEffect DROPEFFECT_MOVE = 2;
inline constexpr TDropEffect DROPEFFECT_LINK = 4;

// Mouse buttons and modifier keys held during a drag.
using TKeyState = std::uint32_t;
inline constexpr TKeyState MK_LBUTTON = 0x01;
inline constexpr TKeyState MK_RBUTTON = 0x02;
inline constexpr TKeyState MK_SHIFT = 0x04;
inline constexpr TKeyState MK_CONTROL = 0x08;
inline constexpr TKeyState MK_MBUTTON = 0x10;
inline constexpr TKeyState MK_ALT = 0x20;

using TClipFormat = std::uint16_t;
inline constexpr TClipFormat CF_TEXT = 1;
inline constexpr TClipFormat CF_UNICODETEXT = 13;

inline constexpr std::uint32_t DVASPECT_CONTENT = 1;
inline constexpr std::uint32_t DVASPECT_THUMBNAIL = 2;
inline constexpr std::uint32_t DVASPECT_ICON = 4;

inline constexpr std::uint32_t TYMED_NULL = 0;
inline constexpr std::uint32_t TYMED_HGLOBAL = 1;
inline constexpr std::uint32_t TYMED_FILE = 2;
inline constexpr std::uint32_t TYMED_ISTREAM = 4;

enum class TDataDir { DATADIR_GET = 1, DATADIR_SET = 2 };

// The device a format is rendered for; the program renders for none.
struct TTargetDevice {
    std::string device_name;
    friend bool operator==(const TTargetDevice&, const TTargetDevice&) = default;
};

struct TFormatEtc {
    TClipFormat cfFormat = 0;
    std::optional<TTargetDevice> ptd;  // none: no target device
    std::uint32_t dwAspect = DVASPECT_CONTENT;
    std::int32_t lindex = -1;
    std::uint32_t tymed = TYMED_NULL;
    friend bool operator==(const TFormatEtc&, const TFormatEtc&) = default;
};

// A rendered format. A TYMED_HGLOBAL medium carries its global memory block (which may be empty).
struct TStgMedium {
    std::uint32_t tymed = TYMED_NULL;
    std::optional<std::vector<std::uint8_t>> hGlobal;
    bool has_release_object = false;
};

class IEnumFORMATETC {
public:
    virtual ~IEnumFORMATETC() = default;
    // Fills elements[0..] with up to `count` formats from the current position on and moves on
    // by the number given; S_OK when `count` came back. E_INVALIDARG when `count` exceeds the
    // room in `elements`. `fetched` (may be null) receives the number given.
    virtual HResult Next(std::uint32_t count, std::span<TFormatEtc> elements, std::uint32_t* fetched) = 0;
    virtual HResult Skip(std::uint32_t count) = 0;
    virtual HResult Reset() = 0;
    virtual HResult Clone(std::shared_ptr<IEnumFORMATETC>& clone) = 0;
};

// Data-change notification; the program's data objects support none.
class IAdviseSink {
public:
    virtual ~IAdviseSink() = default;
};
class IEnumSTATDATA {
public:
    virtual ~IEnumSTATDATA() = default;
};

class IDataObject {
public:
    virtual ~IDataObject() = default;
    virtual HResult GetData(const TFormatEtc& format, TStgMedium& medium) = 0;
    virtual HResult GetDataHere(const TFormatEtc& format, TStgMedium& medium) = 0;
    virtual HResult QueryGetData(const TFormatEtc& format) = 0;
    virtual HResult GetCanonicalFormatEtc(const TFormatEtc& format, TFormatEtc& canonical) = 0;
    virtual HResult SetData(const TFormatEtc& format, const TStgMedium& medium, bool release) = 0;
    virtual HResult EnumFormatEtc(TDataDir direction, std::shared_ptr<IEnumFORMATETC>& enumerator) = 0;
    virtual HResult DAdvise(const TFormatEtc& format, std::uint32_t flags, const std::shared_ptr<IAdviseSink>& sink,
                            std::uint32_t& connection) = 0;
    virtual HResult DUnadvise(std::uint32_t connection) = 0;
    virtual HResult EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& enumerator) = 0;
};

class IDropSource {
public:
    virtual ~IDropSource() = default;
    // S_OK: go on; DRAGDROP_S_DROP: drop where the cursor is; DRAGDROP_S_CANCEL: cancel.
    virtual HResult QueryContinueDrag(bool escape_pressed, TKeyState key_state) = 0;
    // DRAGDROP_S_USEDEFAULTCURSORS lets the drag loop show its cursor for `effect`.
    virtual HResult GiveFeedback(TDropEffect effect) = 0;
};

// Points are in screen coordinates. `effect` comes in as the effects the source allows and
// goes out as the one the target would carry out.
class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    virtual HResult DragEnter(const std::shared_ptr<IDataObject>& data, TKeyState key_state, TPoint point,
                              TDropEffect& effect) = 0;
    virtual HResult DragOver(TKeyState key_state, TPoint point, TDropEffect& effect) = 0;
    virtual HResult DragLeave() = 0;
    virtual HResult Drop(const std::shared_ptr<IDataObject>& data, TKeyState key_state, TPoint point,
                         TDropEffect& effect) = 0;
};

// Makes `target` the drop target of `window` until RevokeDragDrop or the window's end.
// DRAGDROP_E_ALREADYREGISTERED when the window has one.
HResult RegisterDragDrop(TWinControl& window, std::shared_ptr<IDropTarget> target);
// DRAGDROP_E_NOTREGISTERED when the window has none.
HResult RevokeDragDrop(TWinControl& window);

// Runs a drag until it ends (blocking, with the events processed meanwhile). Answers
// DRAGDROP_S_DROP (effect: what the target carried out, DROPEFFECT_NONE when there was no
// target or it refused) or DRAGDROP_S_CANCEL (effect DROPEFFECT_NONE); E_UNEXPECTED while
// another drag runs or without an application object.
HResult DoDragDrop(std::shared_ptr<IDataObject> data, std::shared_ptr<IDropSource> source, TDropEffect allowed,
                   TDropEffect& effect);

// One running drag: the state DoDragDrop plays its loop on. Tests drive one directly with
// synthetic events and Tick, without a nested event loop.
class TDragSession {
public:
    TDragSession(std::shared_ptr<IDataObject> data, std::shared_ptr<IDropSource> source, TDropEffect allowed);
    ~TDragSession();  // a session still running is cancelled
    TDragSession(const TDragSession&) = delete;
    TDragSession& operator=(const TDragSession&) = delete;

    // Grabs mouse and keyboard and takes the first step at the cursor's position with the left
    // button held (a drag starts from a move with the button down). E_UNEXPECTED when another
    // session runs.
    HResult Begin();
    // The repeated step while the mouse rests (the drag loop runs it on a timer so that a target
    // can scroll): asks the source and tells the target as a mouse move to the same place would.
    void Tick();
    bool Running() const { return running_; }
    HResult Result() const { return result_; }
    TDropEffect Effect() const { return effect_; }

    // Called once when the session ends.
    std::function<void()> OnFinished;

    // The session that runs now, or null.
    static TDragSession* Active();

private:
    friend class DragEventFilter;
    // True when the event belongs to the drag and goes nowhere else.
    bool HandleEvent(QEvent* event);
    void Step(TPoint point, TKeyState key_state, bool escape);
    void Over(TPoint point, TKeyState key_state);
    void Finish(HResult result, TDropEffect effect);
    void Guard(const std::function<void()>& action);

    std::shared_ptr<IDataObject> data_;
    std::shared_ptr<IDropSource> source_;
    TDropEffect allowed_;
    std::shared_ptr<IDropTarget> target_;  // the target under the cursor
    std::unique_ptr<QObject> filter_;
    std::unique_ptr<QObject> grab_;  // releases the mouse and keyboard when it goes
    TPoint point_;
    TKeyState key_state_ = MK_LBUTTON;
    TDropEffect last_effect_ = DROPEFFECT_NONE;
    bool running_ = false;
    bool cursor_set_ = false;
    HResult result_ = HResult::E_UNEXPECTED;
    TDropEffect effect_ = DROPEFFECT_NONE;
};

// The interval of the drag loop's repeated step.
inline constexpr int kDragTickMs = 50;

}  // namespace ui
