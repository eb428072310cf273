#include "platform/ui/controls/drop_objects.h"

#include <QString>

#include <algorithm>
#include <new>

namespace ui {

// --- TCustomACLDropTarget ---------------------------------------------------------------------

HResult TCustomACLDropTarget::DragEnter(const std::shared_ptr<IDataObject>&, TKeyState, TPoint, TDropEffect& effect) {
    accept_ = true;
    effect = DROPEFFECT_MOVE;
    TargetDragEnter();
    return HResult::S_OK;
}

HResult TCustomACLDropTarget::DragOver(TKeyState, TPoint point, TDropEffect& effect) {
    effect = accept_ ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
    bool accept = effect != DROPEFFECT_NONE;
    TargetDragOver(point, accept);
    if (!accept) effect = DROPEFFECT_NONE;
    return HResult::S_OK;
}

HResult TCustomACLDropTarget::DragLeave() {
    TargetDragLeave();
    return HResult::S_OK;
}

HResult TCustomACLDropTarget::Drop(const std::shared_ptr<IDataObject>& data, TKeyState, TPoint point,
                                   TDropEffect& effect) {
    if (!accept_) {
        effect = DROPEFFECT_NONE;
        return HResult::S_OK;
    }
    {
        // The wrapper lives for the length of the drop only.
        const TEnumFormats formats(data);
        TargetDrop(point);
    }
    effect = DROPEFFECT_MOVE;
    return HResult::S_OK;
}

// --- TCustomACLDropSource ---------------------------------------------------------------------

HResult TCustomACLDropSource::QueryContinueDrag(bool escape_pressed, TKeyState key_state) {
    HResult answer = HResult::S_OK;
    if (escape_pressed) {
        answer = HResult::DRAGDROP_S_CANCEL;
    } else if ((key_state & MK_LBUTTON) == 0) {
        DropFinished();
        answer = HResult::DRAGDROP_S_DROP;
    }
    DragProgress();
    return answer;
}

HResult TCustomACLDropSource::GiveFeedback(TDropEffect effect) {
    no_effect_ = effect == DROPEFFECT_NONE;
    EffectChanged(effect);
    return HResult::DRAGDROP_S_USEDEFAULTCURSORS;
}

HResult TCustomACLDropSource::ExecuteDrag(TDropEffect allowed, TDropEffect& effect) {
    const HResult result = DoDragDrop(std::make_shared<TSourceDataObject>(""), shared_from_this(), allowed, effect);
    return no_effect_ ? HResult::DRAGDROP_S_CANCEL : result;
}

// --- TSourceDataObject ------------------------------------------------------------------------

HResult TSourceDataObject::QueryGetData(const TFormatEtc& format) {
    const bool text_format = format.cfFormat == CF_TEXT || format.cfFormat == CF_UNICODETEXT;
    if (!text_format || format.dwAspect != DVASPECT_CONTENT || (format.tymed & TYMED_HGLOBAL) == 0 || text_.empty()) {
        return HResult::DV_E_FORMATETC;
    }
    return HResult::S_OK;
}

HResult TSourceDataObject::GetData(const TFormatEtc& format, TStgMedium& medium) {
    medium = TStgMedium{};
    if (QueryGetData(format) != HResult::S_OK) return HResult::DV_E_FORMATETC;
    try {
        std::vector<std::uint8_t> block;
        if (format.cfFormat == CF_TEXT) {
            block.assign(text_.begin(), text_.end());
            block.push_back(0);
        } else {
            // The program's text is UTF-8; the block is little-endian UTF-16 as the format says.
            const QString text = QString::fromStdString(text_);
            block.reserve(static_cast<std::size_t>(text.size()) * 2 + 2);
            for (const QChar c : text) {
                block.push_back(static_cast<std::uint8_t>(c.unicode() & 0xFF));
                block.push_back(static_cast<std::uint8_t>(c.unicode() >> 8));
            }
            block.push_back(0);
            block.push_back(0);
        }
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = std::move(block);
    } catch (const std::bad_alloc&) {
        medium = TStgMedium{};
        return HResult::DV_E_FORMATETC;
    }
    return HResult::S_OK;
}

HResult TSourceDataObject::GetDataHere(const TFormatEtc&, TStgMedium&) { return HResult::DV_E_FORMATETC; }

HResult TSourceDataObject::GetCanonicalFormatEtc(const TFormatEtc&, TFormatEtc& canonical) {
    canonical.ptd.reset();
    return HResult::E_NOTIMPL;
}

HResult TSourceDataObject::SetData(const TFormatEtc&, const TStgMedium&, bool) { return HResult::DV_E_FORMATETC; }

HResult TSourceDataObject::EnumFormatEtc(TDataDir direction, std::shared_ptr<IEnumFORMATETC>& enumerator) {
    if (direction == TDataDir::DATADIR_GET) {
        enumerator = std::make_shared<TSourceEnumFormatEtc>();
        return HResult::S_OK;
    }
    enumerator.reset();
    return HResult::E_NOTIMPL;
}

HResult TSourceDataObject::DAdvise(const TFormatEtc&, std::uint32_t, const std::shared_ptr<IAdviseSink>&,
                                   std::uint32_t&) {
    return HResult::OLE_E_ADVISENOTSUPPORTED;
}

HResult TSourceDataObject::DUnadvise(std::uint32_t) { return HResult::OLE_E_ADVISENOTSUPPORTED; }

HResult TSourceDataObject::EnumDAdvise(std::shared_ptr<IEnumSTATDATA>& enumerator) {
    enumerator.reset();
    return HResult::OLE_E_ADVISENOTSUPPORTED;
}

// --- TSourceEnumFormatEtc ---------------------------------------------------------------------

TFormatEtc TSourceEnumFormatEtc::Format(std::int32_t index) {
    TFormatEtc f;
    f.cfFormat = index == 0 ? CF_TEXT : CF_UNICODETEXT;
    f.dwAspect = DVASPECT_CONTENT;
    f.lindex = -1;
    f.tymed = TYMED_HGLOBAL;
    return f;
}

HResult TSourceEnumFormatEtc::Next(std::uint32_t count, std::span<TFormatEtc> elements, std::uint32_t* fetched) {
    if (count > elements.size()) return HResult::E_INVALIDARG;
    std::uint32_t given = 0;
    while (given < count && position_ < kFormatCount) elements[given++] = Format(position_++);
    if (fetched != nullptr) *fetched = given;
    return given == count ? HResult::S_OK : HResult::S_FALSE;
}

HResult TSourceEnumFormatEtc::Skip(std::uint32_t count) {
    // Counted in 64 bits so that a huge count cannot wrap the position back into the list.
    const std::int64_t next = static_cast<std::int64_t>(position_) + count;
    if (next <= kFormatCount) {
        position_ = static_cast<std::int32_t>(next);
        return HResult::S_OK;
    }
    position_ = kFormatCount;
    return HResult::S_FALSE;
}

HResult TSourceEnumFormatEtc::Reset() {
    position_ = 0;
    return HResult::S_OK;
}

HResult TSourceEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& clone) {
    clone = std::make_shared<TSourceEnumFormatEtc>();
    return HResult::S_OK;
}

// --- TEnumFormats -----------------------------------------------------------------------------

TEnumFormats::TEnumFormats(std::shared_ptr<IDataObject> data) : data_(std::move(data)) {
    if (data_ == nullptr || data_->EnumFormatEtc(TDataDir::DATADIR_GET, enumerator_) != HResult::S_OK ||
        enumerator_ == nullptr) {
        throw EAssertionFailed("Cannot get the format enumerator");
    }
    Reset();
}

void TEnumFormats::Reset() {
    has_current_ = false;
    at_end_ = false;
    enumerator_->Reset();
}

bool TEnumFormats::Next() {
    if (at_end_) return false;
    std::uint32_t fetched = 0;
    TFormatEtc format;
    enumerator_->Next(1, std::span<TFormatEtc>(&format, 1), &fetched);
    has_current_ = fetched == 1;
    at_end_ = !has_current_;
    if (has_current_) current_ = format;
    return has_current_;
}

}  // namespace ui
