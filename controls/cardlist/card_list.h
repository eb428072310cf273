// TCustomFineCardList / TFineCardList: the scrolling list of cards built from one template. It
// owns the template, the cards, the four state appearances, the background gradient, the sort,
// filter and progress settings, the rating pictures, the horizontal scroll bar and the
// delayed-load timer, and keeps the selection and hover bookkeeping.
//
// Column layout, painting, input, editing, sorting and filtering build on the hooks here
// (RefreshList, ArrangeCards, Paint, ApplyFilter, SortCards); a setter stores and asks for a
// refresh or a repaint, it never paints.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/cardlist/card_column_sizing.h"
#include "controls/cardlist/card_edit_link.h"
#include "controls/cardlist/card_layout.h"
#include "controls/cardlist/card_list_editing.h"
#include "controls/cardlist/card_list_host.h"
#include "controls/cardlist/card_settings.h"
#include "controls/cardlist/card_template.h"
#include "controls/cardlist/cards.h"
#include "platform/ui/controls/controls.h"
#include "platform/ui/controls/drag_drop.h"
#include "platform/ui/controls/imagelist.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/timer.h"
#include "platform/ui/graphics/picture.h"

namespace ui {
class TArrowWindow;
class TDragImageWindow;
}  // namespace ui

namespace cardlist {

enum class TScrollBarType { sbtHorizontal, sbtVertical };

class TCustomFineCardList;
class CardListLayoutCards;
class TACLDropTarget;
class TACLDropSource;
struct CardListDrag;

struct CardListPictures;

using TFineCardEvent = std::function<void(TCustomFineCardList* sender, TFineCard* card)>;
using TFineCardDelayedLoad = TFineCardEvent;
using TCardAppearanceEvent = std::function<void(TCustomFineCardList* sender, TFineCard* card, TCardState state,
                                                TFineCardAppearance* appearance)>;
using TFineCardItemAllowEvent =
    std::function<void(TCustomFineCardList* sender, int cardIndex, int itemIndex, bool& allow)>;
using TFineCardItemEvent = std::function<void(TCustomFineCardList* sender, int cardIndex, int itemIndex)>;
using TFineCardCaptionGetDisplText = std::function<void(TCustomFineCardList* sender, int cardIndex, std::string& text)>;
using TFineCardItemGetDisplText =
    std::function<void(TCustomFineCardList* sender, int cardIndex, int itemIndex, std::string& text)>;
using TCardRatingChangeEvent = std::function<void(TCustomFineCardList* sender, TFineCard* card, TFineCardItem* item,
                                                  int& newValue, bool& allowChange)>;
using TCardCheckChangeEvent = std::function<void(TCustomFineCardList* sender, TFineCard* card, TFineCardItem* item)>;
using TFineCardCompareEvent = std::function<void(TCustomFineCardList* sender, TFineCard* a, TFineCard* b, int& res)>;
using TFineCardItemURLEvent = std::function<void(TCustomFineCardList* sender, int cardIndex, int itemIndex,
                                                 const std::string& url, bool& useDefault)>;
using TCardRearrangedEvent = std::function<void(TCustomFineCardList* sender, int fromCardIndex, int toCardIndex)>;
// A card drag's hooks: whether a card may be dragged or dropped (over a card, or at all).
using TCardDragAllowEvent = std::function<void(TCustomFineCardList* sender, TFineCard* card, bool& allow)>;
using TCardDragEndEvent = std::function<void(TCustomFineCardList* sender, ui::TDropEffect effect)>;
using TFineCardColumnResizing = std::function<void(TCustomFineCardList* sender, int& newSize)>;
using TFineCardDrawCardItem = std::function<void(TCustomFineCardList* sender, TFineCard* card, TFineCardItem* item,
                                                 ui::TCanvas& canvas, const ui::TRect& rect)>;
using TFineCardDrawCardItemProp = std::function<void(TCustomFineCardList* sender, TFineCard* card, TFineCardItem* item,
                                                     ui::TFont& font, ui::TBrush& brush)>;

// The list is its cards' host (CardListHost): the model reaches the control only through it.
class TCustomFineCardList : public ui::TCustomControl, public CardListHost {
public:
    explicit TCustomFineCardList(ui::TComponent* owner);
    ~TCustomFineCardList() override;

    std::string ClassName() const override { return "TCustomFineCardList"; }
    // From another list: its settings, template and cards (not events, pictures, images,
    // URLColor, progress appearance, delayed loading, rearranging or drag image).
    void Assign(const ui::TPersistent* source) override;
    // The list's window is made anew under each new parent: CreateWnd follows.
    void SetParent(ui::TWinControl* parent) override;

    // --- owned objects ---
    TFineCards& Cards() { return *cards_; }
    TFineCardTemplate& CardTemplate() { return *template_; }
    const TFineCardTemplate& CardTemplate() const override { return *template_; }
    void SetCardTemplate(const TFineCardTemplate& value);
    TFineCardAppearance& CardNormalAppearance() { return *normal_; }
    TFineCardAppearance& CardHoverAppearance() { return *hover_; }
    TFineCardAppearance& CardSelectedAppearance() { return *selected_; }
    TFineCardAppearance& CardEditingAppearance() { return *editing_; }
    void SetCardNormalAppearance(const TFineCardAppearance& v);
    void SetCardHoverAppearance(const TFineCardAppearance& v);
    void SetCardSelectedAppearance(const TFineCardAppearance& v);
    void SetCardEditingAppearance(const TFineCardAppearance& v);
    TFineGradient& Color() { return *color_; }
    void SetColor(const TFineGradient& v);
    TFineCardSortSettings& SortSettings() { return *sort_settings_; }
    void SetSortSettings(const TFineCardSortSettings& v);
    TFineCardFilterSettings& FilterSettings() { return *filter_settings_; }
    void SetFilterSettings(const TFineCardFilterSettings& v);
    TProgressAppearance& ProgressAppearance() { return *progress_; }
    void SetProgressAppearance(const TProgressAppearance& v) { progress_->Assign(&v); }
    ui::TPicture& RatingActive() { return *rating_active_; }
    ui::TPicture& RatingInactive() { return *rating_inactive_; }
    void SetRatingActive(const ui::TPicture& v) { rating_active_->Assign(&v); }
    void SetRatingInactive(const ui::TPicture& v) { rating_inactive_->Assign(&v); }
    ui::TScrollBar& ScrollBar() { return *scroll_bar_; }
    ui::TTimer& DelayedLoadTimer() { return *timer_; }

    // --- properties ---
    bool AutoEdit() const { return auto_edit_; }
    void SetAutoEdit(bool v) { auto_edit_ = v; }
    TColor BorderColor() const { return border_color_; }
    void SetBorderColor(TColor v);
    int BorderWidth() const { return border_width_; }
    void SetBorderWidth(int v);
    int CardHorSpacing() const override { return card_hor_spacing_; }
    void SetCardHorSpacing(int v);
    int CardVertSpacing() const { return card_vert_spacing_; }
    void SetCardVertSpacing(int v);
    bool CardRearrange() const { return card_rearrange_; }
    void SetCardRearrange(bool v);
    bool ColumnSizing() const { return column_sizing_; }
    void SetColumnSizing(bool v) { column_sizing_ = v; }
    int ColumnWidth() const { return column_width_; }
    virtual void SetColumnWidth(int v);
    bool DelayedCardLoad() const { return delayed_card_load_; }
    void SetDelayedCardLoad(bool v);
    int DelayedCardLoadInterval() const { return timer_ ? timer_->Interval() : 0; }
    void SetDelayedCardLoadInterval(int v) { timer_->SetInterval(v); }
    bool Filtered() const { return filtered_; }
    void SetFiltered(bool v);
    TColor FocusColor() const { return focus_color_; }
    void SetFocusColor(TColor v);
    bool GotoSelectedAutomatic() const { return goto_selected_automatic_; }
    void SetGotoSelectedAutomatic(bool v) { goto_selected_automatic_ = v; }
    TColor GridLineColor() const { return grid_line_color_; }
    void SetGridLineColor(TColor v);
    int GridLineWidth() const { return grid_line_width_; }
    void SetGridLineWidth(int v);
    ui::TImageList* Images() const { return images_; }
    void SetImages(ui::TImageList* v);
    int MaxColumnWidth() const { return max_column_width_; }
    virtual void SetMaxColumnWidth(int v);
    int MinColumnWidth() const { return min_column_width_; }
    virtual void SetMinColumnWidth(int v);
    bool MultiSelect() const { return multi_select_; }
    void SetMultiSelect(bool v);
    bool ShowDragImage() const { return show_drag_image_; }
    void SetShowDragImage(bool v) { show_drag_image_ = v; }
    int PageCount() const { return page_count_; }
    void SetPageCount(int v);
    bool ReadOnly() const { return read_only_; }
    void SetReadOnly(bool v) { read_only_ = v; }
    TScrollBarType ScrollBarType() const { return scroll_bar_type_; }
    virtual void SetScrollBarType(TScrollBarType v);
    bool ShowGridLine() const { return show_grid_line_; }
    void SetShowGridLine(bool v);
    bool ShowFocus() const { return show_focus_; }
    void SetShowFocus(bool v);
    bool ShowScrollBar() const { return show_scroll_bar_; }
    void SetShowScrollBar(bool v);
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);
    TColor URLColor() const { return url_color_; }
    void SetURLColor(TColor v);
    std::string Version() const;
    void SetVersion(const std::string&) {}
    int CheckBoxSize() const { return check_box_size_; }

    // --- selection and view ---
    TFineCard* SelectedCard() const { return selected_card_; }
    int SelectedCardIndex() const { return selected_card_index_; }
    int SelectedCount() const { return selected_count_; }
    int HoverCardIndex() const { return hover_card_index_; }
    const std::vector<int>& DisplayOrder() const { return display_order_; }
    const std::vector<int>& ViewCards() const { return view_cards_; }
    int UpdateCount() const { return update_count_; }

    void BeginUpdate() override;
    void EndUpdate() override;
    virtual bool SelectShownCard(int step, bool toFirst, bool toLast);
    virtual bool SelectItem(int step, bool toFirst, bool toLast);
    TFineCard* FindShownCardByCaption(const std::string& text) const;
    TFineCard* CardAt(int x, int y, bool viewOnly) const;
    int ItemAt(int x, int y, TFineCard* card) const;
    void SelectCardIndex(int index);
    void SetCardSelected(int index, bool value);
    void SelectAll();
    void ClearSelection();
    void SetHoverCard(int index);
    virtual unsigned GetVersionNr() const { return 0x02000100; }

    // --- input ---
    // Type-ahead: selects the next shown card whose caption, or the next item whose text,
    // begins with `key`; true when it selected something.
    virtual bool SelectByKey(char key);
    // True when `x` lies on the display text of the card's item (a URL item's link).
    bool URLTextHit(int x, const TFineCard& card, int itemIndex);

    // --- in-place editing ---
    // Starts editing an item: Boolean items toggle here, ratings change by clicking, and every
    // other kind opens an editor through OpenEditor. `key` is the typed first character, or 0.
    void EditItem(int cardIndex, int itemIndex, char key);
    // True while an editor control is open over an item.
    virtual bool Editing() const { return edit_.Editor != nullptr; }
    // Stores the open editor's value and closes it; nothing without an editor.
    virtual void EndEdit();
    // Closes the open editor without storing; also ends an edit that opened no editor.
    virtual void CancelEdit();
    // The open editor control, or null.
    ui::TWinControl* Editor() const { return edit_.Editor.get(); }

    // --- rearranging by dragging ---
    bool AcceptDrops() const;
    // Registers the list as a drop target for its own card drags (or revokes that). A list
    // made in code, never loaded, accepts drops only after SetAcceptDrops(true).
    void SetAcceptDrops(bool value);
    // Moves the dragged card to the place the arrow at `screen` shows.
    void DropCardAt(ui::TPoint screen);
    // Moves one entry of DisplayOrder and raises OnCardRearranged with the collection indexes.
    void MoveCardInOrder(int fromPosition, int toPosition);
    bool IsInView(const TFineCard* card) const;
    // One step of scrolling during a drag, towards the end or the start of the display order.
    void AutoScrollForward();
    void AutoScrollBack();
    // Shows arrow `arrow` (0 up, 1 down, 2 right, 3 left) and hides the other three; -1 hides all.
    void ShowArrow(int arrow);
    // The arrow windows (null at design time) and the drag image (null when there is none).
    const ui::TArrowWindow* DropArrow(int arrow) const;
    const ui::TDragImageWindow* DragImage() const;
    // The card of the armed or running drag; null when there is none or it was freed meanwhile.
    TFineCard* DragCard() const;
    // The form the list is on was stay-on-top when the drag was armed: the drag image is then
    // brought to the front at every step, so that the form never covers it.
    bool ParentStayOnTop() const;

    // Runs the chosen steps in this order: sort, filter, measure every card, arrange. Skipped
    // while an update is open.
    void RefreshList(const RefreshSteps& steps) override;
    // Places the shown cards; the column layout builds on it.
    virtual void ArrangeCards(bool updateBar);
    virtual void ApplyFilter(bool filtered);
    virtual void SortCards(bool sorted);
    virtual void UpdateScrollBar();
    virtual bool ScrollToSelected();
    // The scroll bar's position for the current flow: the first column or the first row.
    virtual void ScrollToPosition(int position);
    // The layout state of the last arrangement or scroll (offsets, columns, rows, the bar).
    const CardLayoutState& LayoutState() const { return layout_.state; }

    // --- used by the template and the cards (CardListHost) ---
    void CardChanged(TFineCard* card, TFineCardItem* item, bool valueChanged) override;
    void SelectionChanged() override {}
    virtual void SizingEnded() {}
    void TemplateChanged() override;
    void TemplateItemChanged(TFineCardTemplateItem* item) override;
    void CardsChanged() override;
    void CardRemoved(const void* card) override;
    void CardLeaving(TFineCard* card) override;
    void CardSelected(TFineCard* card) override;
    void CardDeselected(TFineCard* card) override;
    void ClearViewCards() override;
    int MeasureTextHeight(const ui::TFont& font, const std::string& text, int width, bool wordWrap) override;
    ui::TSize RatingPictureSize() const override;
    bool RatingPicturesLoaded() const override;

    // --- events ---
    TFineCardDelayedLoad OnDelayedCardLoad;
    TCardAppearanceEvent OnCardAppearance;
    TFineCardItemAllowEvent OnCardStartEdit;
    TFineCardItemEvent OnCardEndEdit;
    TFineCardCaptionGetDisplText OnCardCaptionGetDisplText;
    TFineCardItemGetDisplText OnCardItemGetDisplText;
    TFineCardEvent OnCardCaptionClick, OnCardCaptionDblClick, OnCardClick, OnCardDblClick, OnCardRightClick;
    TCardRatingChangeEvent OnCardRatingChange;
    TCardCheckChangeEvent OnCardCheckChange;
    TFineCardCompareEvent OnCardCompare;
    TFineCardItemEvent OnCardItemClick, OnCardItemRightClick;
    TFineCardItemURLEvent OnCardItemURLClick;
    TCardRearrangedEvent OnCardRearranged;
    // The hooks of a card drag, for a user of the list (the program sets none): before it starts
    // (allow false: no drag, the move is an ordinary one), once it started, after it ended in
    // a drop (with the drop's effect; not after a cancel or a drop with no effect), over a card
    // (accept false: no arrow and no drop there), and around the drop (allow false: the card
    // stays where it was).
    TCardDragAllowEvent OnCardDragAllow;
    TFineCardEvent OnCardDragStart;
    TCardDragEndEvent OnCardDragEnd;
    TCardDragAllowEvent OnCardDragOver;
    TCardDragAllowEvent OnCardDrop;
    TFineCardEvent OnCardAfterDrop;
    TFineCardColumnResizing OnColumnResizing;
    TFineCardDrawCardItem OnDrawCardItem;
    TFineCardDrawCardItemProp OnDrawCardItemProp;
    TFineCardItemAllowEvent OnShowCardItem;

protected:
    virtual std::unique_ptr<TFineCardTemplate> CreateCardTemplate();
    // The list's window was made under its parent. In a designer, and not while the form
    // loads, a template without rows gets one captioned "DefaultItem".
    virtual void CreateWnd();
    void Notification(ui::TComponent* component, ui::TOperation operation) override;
    void Loaded() override;
    void DoEnter() override;
    void DoExit() override;
    void CMMouseLeave() override;
    void CMHintShow(std::string& hint, int x, int y) override;
    void Resize() override;
    void Paint() override;
    void Click() override;
    void DblClick() override;
    void MouseDown(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    void MouseMove(ui::TShiftState shift, int x, int y) override;
    void MouseUp(ui::TMouseButton button, ui::TShiftState shift, int x, int y) override;
    bool DoMouseWheel(ui::TShiftState shift, int wheelDelta, ui::TPoint mousePos) override;
    void KeyDown(int& key, ui::TShiftState shift) override;
    void KeyPress(char& key) override;
    // Arrow keys and characters come to the list, not to the window's shortcuts.
    unsigned DialogCode() const override { return ui::dlgcWantArrows | ui::dlgcWantChars; }

    // Opens the editor for `ItemEditor` of the template item over `rect` holding `value` (the
    // typed `key` replacing it when not 0); true when an editor control opened. The picture
    // dialog runs here to its end and opens no editor.
    virtual bool OpenEditor(int cardIndex, int itemIndex, const ui::TRect& rect, const TCardEditValue& value, char key);
    // Writes a value into the edited item by its type and ends the edit.
    void StoreEditValue(const TCardEditValue& value);

    bool Scrolling = false;      // the scroll bar's thumb is being dragged: cards load later
    int HintItemIndex = -1;      // the item the hint is for; -1 none, -2 the card's caption
    bool AfterDblClick = false;  // the next mouse-down does nothing

private:
    friend class TACLDropTarget;
    friend class TACLDropSource;
    // The rest of CardListHost: the list's state, its appearance for a state, its events for
    // the cards, and a repaint.
    bool DesignTime() const override { return Designing(); }
    bool FormLoading() const override { return Loading(); }
    const TFineCardAppearance& StateAppearance(TCardState state) const override;
    void DoCardAppearance(TFineCard* card, TCardState state, TFineCardAppearance* appearance) override;
    void DoShowCardItem(int cardIndex, int itemIndex, bool& shown) override;
    void RequestPaint() override { Invalidate(); }
    // The editor key handler: the key goes to the list's KeyDown, and no further when that
    // closed or moved the edit.
    void EditorKeyDown(int& key, ui::TShiftState shift);
    // Arms a drag on a left press at (x, y); true when the press goes no further.
    bool ArmDrag(int x, int y);
    // Starts the armed drag at a mouse move; true when one started.
    bool StartDrag(int x);
    void DragFinished();
    std::unique_ptr<ui::TDragImageWindow> CreateDragImage(const ui::TRect& rect);
    // Puts the drag image's top-left at a screen point.
    void PlaceDragImage(ui::TPoint at);

    // In a designer: the cards "Normal", "Hover", "Selected" and "Editing", each in the look of
    // that state.
    void AddSampleCards();
    void AssignAndRearrange(ui::TPersistent& target, const ui::TPersistent& source);
    // Aligns and sizes the scroll bar for ScrollBarType.
    void TurnScrollBar();
    void AppearanceChanged(ui::TPersistent* sender, bool stateChanged);
    void DelayedLoadTick();
    void ShownItemIndexes(TFineCard* card, std::vector<int>& out) const;
    bool MouseOverViewCard() const;
    // The bar's height (horizontal flow) or width (vertical flow): the one thickness the
    // layout reserves for it.
    int ScrollBarThickness() const;
    void PrepareLayout();
    // Copies the layout's state into the list and onto the scroll bar.
    void ApplyLayout();
    CardSelection Selection() const { return CardSelection{selected_count_, selected_card_index_}; }
    void InvalidateHoverRect(int index);
    // The parts of a click: a URL item's link (false when its handler raised), the single and
    // the multiple selection, and a rating click.
    bool ClickURL(TFineCard& card, int itemIndex);
    void ClickSingle(TFineCard* card, const ui::TPoint& p);
    void ClickMultiple(TFineCard& card);
    void ClickRating(TFineCard& card, int itemIndex, const ui::TPoint& p);
    ui::TPoint CursorInClient() const;

    ui::TShiftState click_shift_ = 0;  // the keys held at the last mouse-down, for the click
    int wheel_rest_ = 0;               // wheel movement short of a whole notch
    int kept_first_row_ = 0;           // the first row before a card left, for the next layout

    std::unique_ptr<TFineCardAppearance> normal_, hover_, selected_, editing_;
    std::unique_ptr<TProgressAppearance> progress_;
    std::unique_ptr<ui::TPicture> rating_active_, rating_inactive_;
    std::unique_ptr<ui::TTimer> timer_;
    std::unique_ptr<TFineCards> cards_;
    std::unique_ptr<TFineCardTemplate> template_;
    std::unique_ptr<TFineGradient> color_;
    std::unique_ptr<TFineCardFilterSettings> filter_settings_;
    std::unique_ptr<TFineCardSortSettings> sort_settings_;
    std::unique_ptr<ui::TScrollBar> scroll_bar_;
    ui::TCanvas measure_canvas_;
    CardLayout layout_;
    std::unique_ptr<CardListLayoutCards> layout_cards_;
    std::unique_ptr<CardListPictures> pictures_;
    CardListEditing edit_;     // the in-place edit
    CardColumnSizing sizing_;  // a grid line dragged to size the columns
    std::unique_ptr<CardListDrag> drag_;

    bool auto_edit_ = true;
    TColor border_color_ = 0xB99D7F;
    int border_width_ = 1;
    int card_hor_spacing_ = 20;
    int card_vert_spacing_ = 20;
    bool card_rearrange_ = false;
    bool column_sizing_ = true;
    int column_width_ = 240;
    bool delayed_card_load_ = false;
    bool filtered_ = false;
    TColor focus_color_ = 0x808080;
    bool goto_selected_automatic_ = true;
    TColor grid_line_color_ = 0xFF00000F;
    int grid_line_width_ = 2;
    ui::TImageList* images_ = nullptr;
    int max_column_width_ = 0;
    int min_column_width_ = 150;
    bool multi_select_ = false;
    bool show_drag_image_ = true;
    int page_count_ = 4;
    bool read_only_ = false;
    TScrollBarType scroll_bar_type_ = TScrollBarType::sbtHorizontal;
    bool show_grid_line_ = true;
    bool show_focus_ = true;
    bool show_scroll_bar_ = true;
    bool sorted_ = true;
    TColor url_color_ = 0xFF0000;
    int check_box_size_ = 13;

    TFineCard* selected_card_ = nullptr;
    int selected_card_index_ = -1;
    int selected_count_ = 0;
    int hover_card_index_ = -1;
    std::vector<int> display_order_;
    std::vector<int> view_cards_;
    int update_count_ = 0;
    // Lives exactly as long as the list: code that lets other events run (which may free the
    // list) keeps a weak reference to it and stops once it has expired.
    std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
};

class TFineCardList : public TCustomFineCardList {
public:
    explicit TFineCardList(ui::TComponent* owner) : TCustomFineCardList(owner) {}
    std::string ClassName() const override { return "TFineCardList"; }
};

}  // namespace cardlist
