// The editors and the data types of card items, each with everything known about its values in
// one row: an editor's name, the data types it refuses, what an edit of its item does and how
// its value shows; a data type's name and the editor it switches to. The rows are the cases of a
// switch without a default, so a value added to an enumeration without its row does not build
// (-Wswitch, an error with warnings as errors).
//
// Adding an editor: its enumerator and its row here. When it opens a control of a new kind: that
// kind in CardEditorKind, and its cases in EditorTakesUpDownKeys below and in OpenEditor and
// EndEdit (card_list_editing.cpp), where the compiler points.
#pragma once

#include <initializer_list>
#include <string>

namespace cardlist {

enum class TFineCardItemEditor {
    ieText,
    ieNumber,
    ieFloat,
    ieBoolean,
    ieDropDownList,
    ieDropDownEdit,
    ieDate,
    ieTime,
    iePictureDialog,
    ieCustom,
    ieRating
};
enum class TFineCardItemDataType { idtString, idtFloat, idtInteger, idtBoolean, idtDate, idtTime, idtImage };

// What an edit of an item does, by its editor: the control the list opens over the value, or
// what happens instead of one.
enum class CardEditorKind {
    None,           // no editor (also: no edit open); a rating changes by clicking its pictures
    Toggle,         // a Boolean item toggles; no editor opens
    Text,           // a one-line edit (the multi-line editor when the template item wraps words)
    Memo,           // the multi-line text editor
    Mask,           // a masked edit holding a number
    DropDownList,   // a list of the template item's choices
    DropDownEdit,   // an edit with the template item's choices dropped down
    DatePicker,     // the date picker
    TimePicker,     // the time picker
    PictureDialog,  // the modal picture dialog: it runs to its end, no editor stays open
    Custom,         // the control the template item's edit link makes
};

// Whether an open editor of this kind uses the Up and Down keys itself (to move in its text, its
// list or its date); for the others they move the focus between items and cards.
constexpr bool EditorTakesUpDownKeys(CardEditorKind kind) {
    switch (kind) {
    case CardEditorKind::Memo:
    case CardEditorKind::DropDownList:
    case CardEditorKind::DropDownEdit:
    case CardEditorKind::DatePicker:
    case CardEditorKind::TimePicker:
        return true;
    case CardEditorKind::None:
    case CardEditorKind::Toggle:
    case CardEditorKind::Text:
    case CardEditorKind::Mask:
    case CardEditorKind::PictureDialog:
    case CardEditorKind::Custom:
        return false;
    }
    return false;
}

// A set of data types.
class DataTypeSet {
public:
    constexpr DataTypeSet() = default;
    constexpr DataTypeSet(std::initializer_list<TFineCardItemDataType> types) {
        for (TFineCardItemDataType type : types) bits_ |= Bit(type);
    }
    // A value outside the enumeration is in no set.
    constexpr bool Contains(TFineCardItemDataType type) const { return (bits_ & Bit(type)) != 0; }

private:
    static constexpr unsigned Bit(TFineCardItemDataType type) {
        const auto n = static_cast<unsigned>(type);
        return n < 32 ? 1u << n : 0u;
    }
    unsigned bits_ = 0;
};

struct ItemEditorRow {
    const char* name;      // as the enumeration spells it (messages name it); empty: no such editor
    DataTypeSet refuses;   // the data types it cannot edit
    CardEditorKind opens;  // what an edit of the item does
    // The value shows as rating pictures: measured and drawn as them, set by clicking one.
    bool rating_pictures = false;
};

struct DataTypeRow {
    const char* name;  // as the enumeration spells it; empty: no such data type
    TFineCardItemEditor default_editor;
};

constexpr ItemEditorRow ItemEditorRowOf(TFineCardItemEditor editor) {
    using enum TFineCardItemDataType;
    using K = CardEditorKind;
    using E = TFineCardItemEditor;
    switch (editor) {
    case E::ieText:
        return {"ieText", {idtBoolean, idtImage}, K::Text};
    case E::ieNumber:
        return {"ieNumber", {idtBoolean, idtDate, idtTime, idtImage}, K::Mask};
    case E::ieFloat:
        return {"ieFloat", {idtBoolean, idtDate, idtTime, idtImage}, K::Mask};
    case E::ieBoolean:
        return {"ieBoolean", {idtString, idtFloat, idtInteger, idtDate, idtTime, idtImage}, K::Toggle};
    case E::ieDropDownList:
        return {"ieDropDownList", {idtImage}, K::DropDownList};
    case E::ieDropDownEdit:
        return {"ieDropDownEdit", {idtImage}, K::DropDownEdit};
    case E::ieDate:
        return {"ieDate", {idtFloat, idtInteger, idtBoolean, idtTime, idtImage}, K::DatePicker};
    case E::ieTime:
        return {"ieTime", {idtFloat, idtInteger, idtBoolean, idtDate, idtImage}, K::TimePicker};
    case E::iePictureDialog:
        return {"iePictureDialog", {idtString, idtFloat, idtInteger, idtBoolean, idtDate, idtTime}, K::PictureDialog};
    case E::ieCustom:
        return {"ieCustom", {}, K::Custom};
    case E::ieRating:
        return {.name = "ieRating",
                .refuses = {idtBoolean, idtDate, idtTime, idtImage},
                .opens = K::None,
                .rating_pictures = true};
    }
    // A value cast from outside the enumeration: no name, fits nothing, opens nothing.
    return {"", {idtString, idtFloat, idtInteger, idtBoolean, idtDate, idtTime, idtImage}, K::None};
}

constexpr DataTypeRow DataTypeRowOf(TFineCardItemDataType type) {
    using enum TFineCardItemEditor;
    using T = TFineCardItemDataType;
    switch (type) {
    case T::idtString:
        return {"idtString", ieText};
    case T::idtFloat:
        return {"idtFloat", ieFloat};
    case T::idtInteger:
        return {"idtInteger", ieNumber};
    case T::idtBoolean:
        return {"idtBoolean", ieBoolean};
    case T::idtDate:
        return {"idtDate", ieDate};
    case T::idtTime:
        return {"idtTime", ieTime};
    case T::idtImage:
        return {"idtImage", iePictureDialog};
    }
    return {"", ieText};
}

inline std::string EditorName(TFineCardItemEditor editor) { return ItemEditorRowOf(editor).name; }
inline std::string DataTypeName(TFineCardItemDataType type) { return DataTypeRowOf(type).name; }

// Whether an in-place editor can edit values of a data type.
constexpr bool EditorFitsDataType(TFineCardItemEditor editor, TFineCardItemDataType type) {
    return *DataTypeRowOf(type).name != '\0' && !ItemEditorRowOf(editor).refuses.Contains(type);
}

// The editor a data type switches to when it is set.
constexpr TFineCardItemEditor DefaultEditorFor(TFineCardItemDataType type) {
    return DataTypeRowOf(type).default_editor;
}

// The value of an item with this editor shows as rating pictures.
constexpr bool ShowsRatingPictures(TFineCardItemEditor editor) { return ItemEditorRowOf(editor).rating_pictures; }

// Every data type's own editor can edit it.
static_assert([] {
    using enum TFineCardItemDataType;
    for (TFineCardItemDataType type : {idtString, idtFloat, idtInteger, idtBoolean, idtDate, idtTime, idtImage}) {
        if (!EditorFitsDataType(DefaultEditorFor(type), type)) return false;
    }
    return true;
}());

}  // namespace cardlist
