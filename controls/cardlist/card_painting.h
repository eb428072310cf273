// Painting of the card list: background, the cards in view with caption, frame and items,
// grid lines, the border and the focus rectangle. Painting only reads what the layout cached
// (card bounds and client rectangles, the cards in view); it never lays out.
//
// The list fills CardListPaintSettings from its properties before each paint. A hover change
// does not draw at once: the list asks for a repaint of HoverRect(card), and the normal paint
// path redraws that area, so a hover redraw is by construction equal to a full repaint.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/cardlist/card_settings.h"
#include "controls/cardlist/card_template.h"
#include "controls/cardlist/cards.h"
#include "platform/theme/visual_styles.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/graphics/bitmap.h"
#include "platform/ui/graphics/canvas.h"
#include "platform/ui/graphics/picture.h"

namespace cardlist {

inline constexpr const char* kEmptyItemCaptionText = "[Item caption]";
inline constexpr const char* kEmptyItemValueText = "[Item value]";

struct CardListPaintSettings {
    const TFineCardTemplate* card_template = nullptr;
    const TFineGradient* color = nullptr;  // the background
    bool show_grid_line = true;
    int grid_line_width = 2;
    TColor grid_line_color = ui::clBtnFace;
    TColor border_color = 0xB99D7F;
    int border_width = 1;
    int column_count = 0;
    int column_width = 240;
    int scroll_offset = 0;
    int hor_spacing = 20;
    bool show_focus = true;
    bool focused = false;      // the control's window has the focus
    bool editor_open = false;  // an in-place editor is open
    bool design_time = false;
    TColor focus_color = 0x808080;
    TColor url_color = 0xFF0000;
    const ui::TPicture* rating_active = nullptr;
    const ui::TPicture* rating_inactive = nullptr;
    const TProgressAppearance* progress = nullptr;
    const ui::TBitmap* checked = nullptr;
    const ui::TBitmap* unchecked = nullptr;
    const ui::TImageList* images = nullptr;  // the caption pictures, chosen by each card's ImageIndex
    int check_box_size = 13;
    // The visual-styles binding for themed check boxes; nullptr uses the process's binding.
    theme::VisualStyles* styles = nullptr;

    // The list's events (each optional).
    std::function<void(int card_index, std::string& text)> caption_text;
    std::function<void(int card_index, int item_index, std::string& text)> item_text;
    std::function<void(TFineCard& card, TFineCardItem& item, ui::TCanvas& canvas, const ui::TRect& rect)> draw_item;
    std::function<void(TFineCard& card, TFineCardItem& item, ui::TFont& font, ui::TBrush& brush)> item_prop;
};

// The cell one rating picture takes: the active picture's width + 2 and its height, each raised
// to the inactive picture's; an empty or missing picture counts as 0 x 0.
ui::TSize RatingCellSize(const ui::TPicture* active, const ui::TPicture* inactive);

class CardPainter {
public:
    CardPainter(const CardListPaintSettings& settings, TFineCards& cards) : s_(settings), cards_(cards) {}

    // The list into `client` (the client area less a visible scroll bar), for the `exposed`
    // area only: pixels outside it stay as they are, and only the cards of `view_cards` that
    // reach into it are drawn.
    void Paint(ui::TCanvas& canvas, const ui::TRect& client, const std::vector<int>& view_cards,
               const ui::TRect& exposed) const;
    // One card, moved by (dx, dy) (an off-screen bitmap passes minus the card's corner).
    void DrawCard(ui::TCanvas& canvas, int card_index, int dx = 0, int dy = 0) const;
    void DrawItemLabel(ui::TCanvas& canvas, TFineCard& card, int item_index, int dx, int dy) const;
    void DrawItemValue(ui::TCanvas& canvas, TFineCard& card, int card_index, int item_index, int dx, int dy) const;
    // The card's bounds inflated by its frame: the area a hover change repaints.
    ui::TRect HoverRect(int card_index) const;
    // The cell of one rating picture (RatingCellSize of the settings' pictures).
    ui::TSize RatingPictureSize() const;

    static ui::TRect ItemCheckBoxRect(const ui::TRect& rect, TAlignment alignment, TTextLayout layout, int size);
    static void DrawProgress(ui::TCanvas& canvas, const ui::TRect& rect, int value, int max, int min, bool classic,
                             const TProgressAppearance& appearance);

private:
    void PaintArea(ui::TCanvas& canvas, const ui::TRect& client, const std::vector<int>& view_cards,
                   const ui::TRect& area, int dx, int dy) const;
    void DrawPicture(ui::TCanvas& canvas, const TFineCardTemplateItem& ti, const ui::TGraphic& graphic,
                     const ui::TRect& value) const;

    const CardListPaintSettings& s_;
    TFineCards& cards_;
};

}  // namespace cardlist
