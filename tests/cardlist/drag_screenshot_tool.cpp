// qbk-card-drag-screenshot: a card list of five cards with a card being dragged and held over
// the lower half of another card, so that the drag image and the insertion arrow show; saves a
// picture of the screen around the list as PNG. A test tool for scripts/screenshot.sh, run
// under a virtual X server.
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>
#include <QWidget>

#include <cstdio>
#include <string>

#include "controls/cardlist/card_list.h"
#include "platform/ui/controls/drag_drop.h"
#include "tests/support/input.h"

namespace {

void Settle(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
}

ui::TPoint Centre(const ui::TRect& r) { return ui::TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }

// A move with the left button held, sent to the list. The screen's own pointer stays where it
// is: a real pointer event now would carry no button and drop the card.
void MoveWithButton(cardlist::TFineCardList& list, ui::TPoint p) {
    test_support::MouseMove(list, p, Qt::LeftButton);
    Settle(5);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qbk-card-drag-screenshot <out.png>\n");
        return 2;
    }
    QApplication qt(argc, argv);
    cardlist::TFineCardList list(nullptr);
    list.BeginUpdate();
    for (const char* name : {"Title", "Place"}) {
        cardlist::TFineCardTemplateItem* row = list.CardTemplate().Items().Add();
        row->SetAutoSize(false);
        row->SetHeight(20);
        row->SetCaption(name);
    }
    const char* places[] = {"Harbour", "Old town", "Market", "Lighthouse", "Dunes"};
    for (int i = 0; i < 5; ++i) {
        cardlist::TFineCard* card = list.Cards().Add();
        card->SetCaption("Picture " + std::to_string(i + 1));
        card->Items().Items(0)->SetAsString("Picture " + std::to_string(i + 1));
        card->Items().Items(1)->SetAsString(places[i]);
    }
    list.SetSorted(false);
    list.SetCardRearrange(true);
    list.EndUpdate();
    list.SetBounds(60, 60, 520, 300);
    list.Widget()->setWindowTitle("Card list drag");
    list.Widget()->show();
    list.SetAcceptDrops(true);
    Settle(25);

    // Pick the second card, press on it and drag it over the lower half of the fourth.
    const ui::TRect caption = list.Cards().Items(1)->CaptionClientRect;
    test_support::Click(list, Centre(caption));
    Settle(5);
    test_support::MousePress(list, Centre(caption));
    MoveWithButton(list, ui::TPoint{Centre(caption).X + 4, Centre(caption).Y + 4});
    if (ui::TDragSession::Active() == nullptr) {
        std::fprintf(stderr, "no drag started\n");
        return 1;
    }
    const ui::TRect target = list.Cards().Items(3)->ListRect;
    MoveWithButton(list, ui::TPoint{(target.Left + target.Right) / 2 - 30, target.Bottom - 12});
    Settle(20);

    const QRect area = list.Widget()->frameGeometry().adjusted(-40, -40, 40, 40);
    const QPixmap shot = list.Widget()->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!shot.save(QString::fromStdString(argv[1]), "PNG")) return 1;
    std::printf("saved %s (%dx%d)\n", argv[1], shot.width(), shot.height());
    // Esc ends the drag; nothing changes.
    test_support::SendKey(list.Widget(), Qt::Key_Escape);
    return 0;
}
