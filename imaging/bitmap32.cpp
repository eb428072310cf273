#include "imaging/bitmap32.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <typeinfo>

#include "imaging/blend.h"
#include "imaging/stretch_copy.h"
#include "platform/ui/core/filer.h"
#include "platform/ui/core/streams.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/decoded_image.h"
#include "platform/ui/graphics/icon.h"
#include "platform/ui/graphics/picture.h"

namespace imaging {

static_assert(std::endian::native == std::endian::little,
              "pixel memory is streamed and handed to the platform as little-endian TColor32");

namespace {

// Runs `body` between BeginUpdate and EndUpdate and fires Changed afterwards, on every path.
template <typename Body>
void Bracketed(TThreadPersistent& object, Body body) {
    object.BeginUpdate();
    try {
        body();
    } catch (...) {
        object.EndUpdate();
        object.Changed();
        throw;
    }
    object.EndUpdate();
    object.Changed();
}

void PutInt32(std::uint8_t* out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t GetInt32(const std::uint8_t* in) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= std::uint32_t{in[i]} << (8 * i);
    return static_cast<std::int32_t>(u);
}

}  // namespace

TBitmap32::TBitmap32() = default;

TBitmap32::~TBitmap32() {
    BeginUpdate();
    Lock();
    try {
        SetSize(0, 0);
    } catch (...) {
        // Freeing cannot fail; a throwing OnHandleChanged or OnResize must not escape a destructor.
    }
    Unlock();
}

bool TBitmap32::Empty() const { return TCustomMap::Empty() || bits_.empty(); }

void TBitmap32::ReleaseHandles() {
    dc_.reset();
    TPixelStore().swap(bits_);
}

void TBitmap32::ResizeBuffer(int& Width, int& Height, int NewWidth, int NewHeight) {
    ReleaseHandles();
    Width = 0;
    Height = 0;
    try {
        if (NewWidth > 0 && NewHeight > 0) {
            const std::int64_t bytes = std::int64_t{NewWidth} * NewHeight * 4;
            if (bytes > kMaxPixelBytes) throw ui::Exception("Can't allocate the DIB handle");
            const std::size_t count = static_cast<std::size_t>(NewWidth) * static_cast<std::size_t>(NewHeight);
            try {
                if (incoming_.size() == count)
                    bits_ = std::move(incoming_);
                else
                    bits_.assign(count, 0u);
            } catch (const std::bad_alloc&) {
                throw ui::Exception("Can't allocate the DIB handle");
            }
            try {
                dc_ = std::make_unique<ui::TCanvas>(bits_.data(), NewWidth, NewHeight, NewWidth * 4,
                                                    ui::TPixelFormat::pf32bit);
            } catch (const std::exception&) {
                ReleaseHandles();
                throw ui::Exception("Can't create compatible DC");
            }
        }
        // Also when only one side is 0: then there is no memory and the bitmap reports empty.
        Width = NewWidth;
        Height = NewHeight;
    } catch (...) {
        DoHandleChanged();
        throw;
    }
    DoHandleChanged();
}

void TBitmap32::DoHandleChanged() {
    if (OnHandleChanged) OnHandleChanged(this);
}

void TBitmap32::Clear(TColor32 FillColor) {
    if (Empty()) return;
    std::fill(bits_.begin(), bits_.end(), FillColor);
    Changed();
}

void TBitmap32::MakeOpaque() {
    for (TColor32& p : bits_) p |= 0xFF000000u;
    Changed();
}

void TBitmap32::SetDrawMode(TDrawMode Value) {
    if (draw_mode_ == Value) return;
    draw_mode_ = Value;
    Changed();
}

void TBitmap32::SetMasterAlpha(std::uint32_t Value) {
    if (master_alpha_ == Value) return;
    master_alpha_ = Value;
    Changed();
}

void TBitmap32::SetStretchFilter(TStretchFilter Value) {
    if (stretch_filter_ == Value) return;
    stretch_filter_ = Value;
    Changed();
}

void TBitmap32::Draw(const ui::TRect& DstRect, const ui::TRect& SrcRect, const TBitmap32* Src) {
    if (Src == nullptr || Src->Empty() || Empty()) return;
    StretchCopy(this, DstRect, BoundsRect(), Src, SrcRect, Src->StretchFilter(), Src->DrawMode(), Src->OnPixelCombine);
    Changed();
}

void TBitmap32::LoadFromFile(const std::string& FileName) {
    TDecodedPixels32 decoded;
    if (ui::LoadPictureFilePixels32(FileName, [&](int w, int h) { return decoded.For(w, h); })) {
        decoded.MoveTo(*this);
        return;
    }
    ui::TPicture picture;
    picture.LoadFromFile(FileName);
    Assign(&picture);
}

std::uint8_t* TDecodedPixels32::For(int width, int height) {
    if (std::int64_t{width} * height * 4 > TBitmap32::kMaxPixelBytes) {
        throw ui::Exception("Can't allocate the DIB handle");
    }
    try {
        pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    } catch (const std::bad_alloc&) {
        throw ui::Exception("Can't allocate the DIB handle");
    }
    width_ = width;
    height_ = height;
    return reinterpret_cast<std::uint8_t*>(pixels_.data());
}

void TDecodedPixels32::MoveTo(TBitmap32& bitmap) {
    bitmap.AdoptPixels(width_, height_, std::move(pixels_));
    width_ = 0;
    height_ = 0;
}

void TBitmap32::AdoptPixels(int width, int height, TPixelStore pixels) {
    // The same events as assigning a picture of this size.
    Bracketed(*this, [&] {
        if (width == Width() && height == Height()) {
            std::copy(pixels.begin(), pixels.end(), bits_.begin());
            return;
        }
        incoming_ = std::move(pixels);
        try {
            SetSize(width, height);
        } catch (...) {
            TPixelStore().swap(incoming_);
            throw;
        }
        TPixelStore().swap(incoming_);
    });
}

void TBitmap32::PaintToDC(ui::TCanvas& DC, int X, int Y) const {
    if (Empty()) return;
    DC.CopyRect(ui::Bounds(X, Y, Width(), Height()), *dc_, BoundsRect());
}

void TBitmap32::AssignBitmap(const ui::TBitmap& source) {
    SetSize(source.Width(), source.Height());
    if (Empty()) return;
    const int w = Width();
    if (source.PixelFormat() == ui::TPixelFormat::pf32bit) {
        // Same byte order as ours: the alpha bytes come across unchanged.
        for (int y = 0; y < Height(); ++y)
            std::memcpy(RowPointer(y), source.ScanLine(y), static_cast<std::size_t>(w) * 4);
        return;
    }
    for (int y = 0; y < Height(); ++y) {
        const std::uint8_t* s = source.ScanLine(y);
        TColor32* d = RowPointer(y);
        for (int x = 0; x < w; ++x, s += 3) d[x] = Color32(0, s[2], s[1], s[0]);
    }
    // A picture without alpha is opaque.
    MakeOpaque();
}

void TBitmap32::AssignDrawnOverBlack(const ui::TBitmap& source) {
    AssignBitmap(source);
    if (Empty() || source.PixelFormat() != ui::TPixelFormat::pf32bit) return;
    // The colour a transparent pixel holds is hidden, often something loud the picture's maker
    // never meant to show: weighted by its alpha over black, as on the screen it goes to.
    std::vector<TColor32> row(static_cast<std::size_t>(Width()));
    for (int y = 0; y < Height(); ++y) {
        TColor32* pixels = RowPointer(y);
        std::copy(pixels, pixels + Width(), row.begin());
        FillPixels(pixels, Width(), Color32(255, 0, 0, 0));
        BlendRow(row.data(), pixels, Width());
    }
    MakeOpaque();
}

void TBitmap32::AssignGraphic(const ui::TGraphic& source) {
    if (const auto* decoded = dynamic_cast<const ui::TDecodedImage*>(&source)) {
        AssignDrawnOverBlack(*decoded);
        return;
    }
    if (const auto* icon = dynamic_cast<const ui::TIcon*>(&source)) {
        AssignDrawnOverBlack(icon->Bitmap());
        return;
    }
    if (const auto* bitmap = dynamic_cast<const ui::TBitmap*>(&source)) {
        AssignBitmap(*bitmap);
        return;
    }
    SetSize(source.Width(), source.Height());
    if (Empty()) return;
    source.Draw(*dc_, BoundsRect());
    MakeOpaque();
}

void TBitmap32::Assign(const ui::TPersistent* source) {
    Bracketed(*this, [&] {
        if (source == nullptr) {
            SetSize(0, 0);
        } else if (const auto* other = dynamic_cast<const TBitmap32*>(source)) {
            if (other == this) return;
            SetSize(other->Width(), other->Height());
            if (!Empty()) std::copy(other->bits_.begin(), other->bits_.end(), bits_.begin());
            SetDrawMode(other->DrawMode());
            SetMasterAlpha(other->MasterAlpha());
            SetOuterColor(other->OuterColor());
            SetStretchFilter(other->StretchFilter());
        } else if (const auto* graphic = dynamic_cast<const ui::TGraphic*>(source)) {
            AssignGraphic(*graphic);
        } else if (const auto* picture = dynamic_cast<const ui::TPicture*>(source)) {
            if (picture->Graphic() == nullptr)
                SetSize(0, 0);
            else
                AssignGraphic(*picture->Graphic());
        } else {
            TCustomMap::Assign(source);
        }
    });
}

void TBitmap32::FillBitmap(ui::TBitmap& dest) const {
    dest.SetPixelFormat(ui::TPixelFormat::pf32bit);
    dest.SetSize(Width(), Height());
    if (Empty()) return;
    PaintToDC(dest.Canvas(), 0, 0);
}

void TBitmap32::AssignTo(ui::TPersistent* dest) const {
    if (auto* picture = dynamic_cast<ui::TPicture*>(dest)) {
        FillBitmap(picture->Bitmap());
    } else if (auto* bitmap = dynamic_cast<ui::TBitmap*>(dest)) {
        FillBitmap(*bitmap);
    } else {
        TCustomMap::AssignTo(dest);
    }
}

void TBitmap32::DefineProperties(ui::TFiler& Filer) {
    TCustomMap::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Data", [this](ui::TStream& stream) { ReadData(stream); }, [this](ui::TStream& stream) { WriteData(stream); },
        ShouldWriteData(Filer.Ancestor()));
}

void TBitmap32::ReadData(ui::TStream& Stream) {
    try {
        std::uint8_t head[8];
        Stream.ReadBuffer(head, sizeof head);
        const std::int32_t w = std::max(GetInt32(head), 0);
        const std::int32_t h = std::max(GetInt32(head + 4), 0);
        // 64-bit: width * height * 4 overflows 32 bits long before it reaches the stream's size.
        const std::int64_t pixels = std::int64_t{w} * h;
        const std::int64_t available = std::max<std::int64_t>(Stream.Size() - Stream.Position(), 0);
        if (pixels > available / 4) {
            SetSize(0, 0);
            throw ui::EReadError("Bitmap data is invalid: " + std::to_string(w) + " x " + std::to_string(h) +
                                 " pixels do not fit in the " + std::to_string(available) +
                                 " bytes left in the stream");
        }
        try {
            SetSize(w, h);
            if (!Empty()) Stream.ReadBuffer(bits_.data(), pixels * 4);
        } catch (...) {
            SetSize(0, 0);
            throw;
        }
    } catch (...) {
        Changed();
        throw;
    }
    Changed();
}

void TBitmap32::WriteData(ui::TStream& Stream) const {
    std::uint8_t head[8];
    PutInt32(head, Width());
    PutInt32(head + 4, Height());
    Stream.WriteBuffer(head, sizeof head);
    if (!Empty()) Stream.WriteBuffer(bits_.data(), static_cast<std::int64_t>(bits_.size()) * 4);
}

bool TBitmap32::ShouldWriteData(const ui::TPersistent* ancestor) const {
    if (ancestor == nullptr) return !Empty();
    const auto* other = dynamic_cast<const TBitmap32*>(ancestor);
    if (Empty() && other != nullptr && other->Empty()) return false;
    // Equal 32-bit bitmap streams of the two are equal sizes and equal pixel bytes.
    const bool same = other != nullptr && typeid(*other) == typeid(*this) && other->Width() == Width() &&
                      other->Height() == Height() && other->bits_ == bits_;
    return !same;
}

}  // namespace imaging
