// Points, sizes and rectangles as the class library uses them. A rectangle covers the pixels
// Left..Right-1 and Top..Bottom-1: its right and bottom edges lie outside it.
#pragma once

#include <algorithm>

namespace ui {

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    // No pixel inside: a rectangle with Right <= Left or Bottom <= Top.
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(const TPoint& p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return TPoint{x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return TRect{left, top, left + width, top + height}; }

// `r` moved by (dx, dy).
inline TRect OffsetRect(const TRect& r, int dx, int dy) {
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}
// `r` grown by `d` on every side (shrunk for a negative `d`).
inline TRect InflateRect(const TRect& r, int d) { return TRect{r.Left - d, r.Top - d, r.Right + d, r.Bottom + d}; }
// The pixels both rectangles cover; IsEmpty() when they share none.
inline TRect IntersectRect(const TRect& a, const TRect& b) {
    return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                 std::min(a.Bottom, b.Bottom)};
}
// True when the rectangles share at least one pixel.
inline bool RectsOverlap(const TRect& a, const TRect& b) { return !IntersectRect(a, b).IsEmpty(); }

}  // namespace ui
