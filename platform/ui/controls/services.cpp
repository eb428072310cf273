#include "platform/ui/controls/services.h"

#include <QCursor>
#include <QDesktopServices>
#include <QString>
#include <QUrl>

namespace ui {

namespace {

// The installed replacements (empty: the platform's own). User-interface thread only.
TUrlOpener& UrlOpenerSlot() {
    static TUrlOpener slot;
    return slot;
}
TCursorWarp& CursorWarpSlot() {
    static TCursorWarp slot;
    return slot;
}

}  // namespace

TUrlOpener SetUrlOpener(TUrlOpener opener) {
    TUrlOpener previous = std::move(UrlOpenerSlot());
    UrlOpenerSlot() = std::move(opener);
    return previous;
}

TCursorWarp SetCursorWarp(TCursorWarp warp) {
    TCursorWarp previous = std::move(CursorWarpSlot());
    CursorWarpSlot() = std::move(warp);
    return previous;
}

bool OpenUrl(const std::string& url) {
    if (UrlOpenerSlot()) return UrlOpenerSlot()(url);
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void WarpCursor(TPoint p) {
    if (CursorWarpSlot()) {
        CursorWarpSlot()(p);
        return;
    }
    QCursor::setPos(p.X, p.Y);
}

}  // namespace ui
