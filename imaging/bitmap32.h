// TBitmap32: the program's working picture. 32-bit pixels (TColor32), rows top-down without
// padding, directly addressable; a canvas over the same memory stands for the memory device
// context the platform draws with. Fresh pixel memory is zero (transparent black).
//
// Used on one thread at a time; Lock/Unlock (from TThreadPersistent) are for callers that share
// a bitmap between threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/color32.h"
#include "imaging/custom_map.h"
#include "imaging/draw_mode.h"
#include "imaging/filter_kernels.h"
#include "platform/kernel/large_memory.h"
#include "platform/ui/graphics/geometry.h"

namespace ui {
class TBitmap;
class TCanvas;
class TFiler;
class TGraphic;
class TStream;
}  // namespace ui

namespace imaging {

// Pixel memory: large pictures in the system's large pages, and new elements left as they are
// (memory a picture is decoded into is written once, by the decoder, instead of zeroed first).
using TPixelStore = kernel::LargeBuffer<TColor32>;

class TBitmap32;

// A picture decoded straight into memory that then becomes a bitmap's pixels, neither zeroed
// first nor copied: For gives the memory for a picture of width x height (raising "Can't allocate
// the DIB handle" where a bitmap of that size would), the decoder writes every pixel, and MoveTo
// makes them the bitmap's pixels as assigning a picture of that size does.
class TDecodedPixels32 {
public:
    std::uint8_t* For(int width, int height);
    void MoveTo(TBitmap32& bitmap);

private:
    TPixelStore pixels_;
    int width_ = 0;
    int height_ = 0;
};

class TBitmap32 : public TCustomMap {
public:
    // 0 x 0 without pixel memory; MasterAlpha 255, OuterColor 0, dmOpaque, sfNearest.
    TBitmap32();
    ~TBitmap32() override;

    std::string ClassName() const override { return "TBitmap32"; }

    // From nullptr (empties), another TBitmap32 (pixels and settings, not the events), a
    // class-library bitmap (a 32-bit one keeps its alpha, others become opaque), any other
    // graphic (drawn, then opaque; a PNG, GIF or icon with transparency is drawn over black) or
    // a picture holding one of those. Anything else raises the class library's conversion error.
    // OnChange fires once at the end, on every path.
    void Assign(const ui::TPersistent* source) override;

    // Also empty while there is no pixel memory.
    bool Empty() const override;

    // Pixel memory, Width x Height values; nullptr while empty.
    TColor32* Bits() { return bits_.empty() ? nullptr : bits_.data(); }
    const TColor32* Bits() const { return bits_.empty() ? nullptr : bits_.data(); }
    // No bounds checks: callers guarantee 0 <= X < Width and 0 <= Y < Height.
    TColor32* RowPointer(int Y) { return bits_.data() + static_cast<std::ptrdiff_t>(Y) * Width(); }
    const TColor32* RowPointer(int Y) const { return bits_.data() + static_cast<std::ptrdiff_t>(Y) * Width(); }
    TColor32* PixelPointer(int X, int Y) { return RowPointer(Y) + X; }
    const TColor32* PixelPointer(int X, int Y) const { return RowPointer(Y) + X; }

    // The device context stand-in: a canvas over the pixel memory; nullptr while empty.
    ui::TCanvas* Handle() const { return dc_.get(); }

    // Every pixel becomes FillColor, then Changed; nothing on an empty bitmap.
    void Clear(TColor32 FillColor);
    ui::TRect BoundsRect() const { return ui::TRect{0, 0, Width(), Height()}; }

    // Draws SrcRect of Src into DstRect of this bitmap, clipped to it, with Src's StretchFilter,
    // DrawMode, MasterAlpha and OnPixelCombine; then Changed. Nothing when Src is missing or
    // either bitmap is empty. ETransformError passes to the caller.
    void Draw(const ui::TRect& DstRect, const ui::TRect& SrcRect, const TBitmap32* Src);

    // Through a class-library picture (every registered format); JPEG files are decoded
    // straight into the pixel memory. On failure the picture's error passes to the caller and
    // this bitmap is unchanged.
    void LoadFromFile(const std::string& FileName);

    // Copies the whole bitmap onto `DC` with its top-left at (X, Y), bytes unchanged (alpha
    // included where the canvas has it).
    void PaintToDC(ui::TCanvas& DC, int X, int Y) const;
    // Alpha 255 in every pixel, then Changed.
    void MakeOpaque();

    TDrawMode DrawMode() const { return draw_mode_; }
    void SetDrawMode(TDrawMode Value);
    std::uint32_t MasterAlpha() const { return master_alpha_; }
    void SetMasterAlpha(std::uint32_t Value);
    TColor32 OuterColor() const { return outer_color_; }
    void SetOuterColor(TColor32 Value) { outer_color_ = Value; }
    TStretchFilter StretchFilter() const { return stretch_filter_; }
    void SetStretchFilter(TStretchFilter Value);

    // The bitmap streams its pixels as the binary property "Data" (ui::WriteDefinedProperties),
    // written when ShouldWriteData holds for the filer's ancestor.
    void DefineProperties(ui::TFiler& Filer) override;

    // The "Data" property's value: int32 width, int32 height (little endian), then the pixels
    // row after row from the top, each as little-endian TColor32 (blue, green, red, alpha).
    // ReadData rejects a size whose pixels overflow or exceed what the stream holds with
    // EReadError and leaves the bitmap empty; a stream too short for the size fields raises
    // EReadError and leaves the bitmap unchanged. Changed fires in every case.
    virtual void ReadData(ui::TStream& Stream);
    virtual void WriteData(ui::TStream& Stream) const;
    // Whether "Data" is written: when it differs from `ancestor`'s, or, without an ancestor,
    // when this bitmap is not empty.
    bool ShouldWriteData(const ui::TPersistent* ancestor) const;

    ui::TNotifyEvent OnHandleChanged;
    TPixelCombineEvent OnPixelCombine;

    // The largest pixel memory a bitmap takes, in bytes: the 32-bit size of a bitmap section.
    static constexpr std::int64_t kMaxPixelBytes = 0x7FFFFFFF;

protected:
    void AssignTo(ui::TPersistent* dest) const override;
    void ResizeBuffer(int& Width, int& Height, int NewWidth, int NewHeight) override;
    // Fires OnHandleChanged.
    virtual void DoHandleChanged();

private:
    void AssignBitmap(const ui::TBitmap& source);
    void AssignGraphic(const ui::TGraphic& source);
    void AssignDrawnOverBlack(const ui::TBitmap& source);
    void FillBitmap(ui::TBitmap& dest) const;
    void ReleaseHandles();
    // Takes `pixels` (width * height, every one written) as the new pixel memory, as Assign does.
    void AdoptPixels(int width, int height, TPixelStore pixels);
    friend class TDecodedPixels32;

    TPixelStore bits_;
    // Memory for the next ResizeBuffer to take instead of allocating (AdoptPixels).
    TPixelStore incoming_;
    std::unique_ptr<ui::TCanvas> dc_;
    TDrawMode draw_mode_ = TDrawMode::dmOpaque;
    std::uint32_t master_alpha_ = 255;
    TColor32 outer_color_ = 0;
    TStretchFilter stretch_filter_ = TStretchFilter::sfNearest;
};

}  // namespace imaging
