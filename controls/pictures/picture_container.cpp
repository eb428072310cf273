#include "controls/pictures/picture_container.h"

#include "platform/ui/core/sysutils.h"

namespace panel {

TPictureItem::TPictureItem(ui::TCollection* collection)
    : ui::TCollectionItem(collection), picture_(std::make_unique<THTMLPicture>()) {
    picture_->OnChange = [this](ui::TPersistent*) { Changed(false); };
}

TPictureItem::~TPictureItem() { picture_->OnChange = nullptr; }

void TPictureItem::SetName(const std::string& name) {
    name_ = name;
    Changed(false);
}

void TPictureItem::Assign(const ui::TPersistent* source) {
    if (const auto* item = dynamic_cast<const TPictureItem*>(source)) {
        name_ = item->name_;
        tag_ = item->tag_;
        picture_->Assign(item->picture_.get());
        return;
    }
    ui::TCollectionItem::Assign(source);
}

TPictureCollection::TPictureCollection(ui::TPersistent* owner)
    : ui::TOwnedCollection(owner, ui::ItemClass<TPictureItem>()) {}

void TPictureCollection::Update(ui::TCollectionItem*) { ++changes_; }

void TPictureCollection::Notify(ui::TCollectionItem*, ui::TCollectionNotification) { ++changes_; }

TPictureContainer::TPictureContainer(ui::TComponent* owner)
    : ui::TComponent(owner), items_(std::make_unique<TPictureCollection>(this)) {}

TPictureContainer::~TPictureContainer() = default;

THTMLPicture* TPictureContainer::FindPicture(const std::string& name) {
    const std::string wanted = ui::UpperCase(name);
    for (int i = 0; i < items_->Count(); ++i) {
        TPictureItem* item = items_->Items(i);
        if (ui::UpperCase(item->Name()) == wanted) return &item->Picture();
    }
    return nullptr;
}

}  // namespace panel
