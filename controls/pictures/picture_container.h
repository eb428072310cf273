// TPictureContainer: a form's named pictures for the markup texts of its panels. An IMG source
// without a colon names one of its items.
#pragma once

#include <memory>
#include <string>

#include "controls/pictures/html_picture.h"
#include "platform/ui/core/collection.h"
#include "platform/ui/core/component.h"

namespace panel {

class TPictureItem : public ui::TCollectionItem {
public:
    explicit TPictureItem(ui::TCollection* collection);
    ~TPictureItem() override;

    std::string ClassName() const override { return "TPictureItem"; }
    // Copies Name, Tag and the picture from another item.
    void Assign(const ui::TPersistent* source) override;

    THTMLPicture& Picture() { return *picture_; }
    const THTMLPicture& Picture() const { return *picture_; }
    // Assigns `picture` into the item's own picture.
    void SetPicture(const THTMLPicture* picture) { picture_->Assign(picture); }
    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

private:
    std::unique_ptr<THTMLPicture> picture_;
    std::string name_;
    int tag_ = 0;
};

class TPictureCollection : public ui::TOwnedCollection {
public:
    explicit TPictureCollection(ui::TPersistent* owner);
    std::string ClassName() const override { return "TPictureCollection"; }

    TPictureItem* Add() { return static_cast<TPictureItem*>(TOwnedCollection::Add()); }
    TPictureItem* Items(int index) const { return static_cast<TPictureItem*>(TOwnedCollection::Items(index)); }
    // Counts the changes that may change what a name finds (items added, removed, moved or
    // renamed, their pictures changed), for users that keep what they measured of the pictures.
    unsigned Changes() const { return changes_; }

protected:
    void Update(ui::TCollectionItem* item) override;
    void Notify(ui::TCollectionItem* item, ui::TCollectionNotification action) override;

private:
    unsigned changes_ = 0;
};

class TPictureContainer : public ui::TComponent {
public:
    explicit TPictureContainer(ui::TComponent* owner);
    ~TPictureContainer() override;
    std::string ClassName() const override { return "TPictureContainer"; }

    TPictureCollection& Items() { return *items_; }
    const TPictureCollection& Items() const { return *items_; }
    // Copies the given collection's items into the container's own.
    void SetItems(const TPictureCollection& items) { items_->Assign(&items); }
    std::string Version() const { return "1.0.0.0"; }
    void SetVersion(const std::string&) {}

    // The picture of the first item whose Name equals `name` without regard to ASCII letter
    // case; nullptr when none.
    virtual THTMLPicture* FindPicture(const std::string& name);

private:
    std::unique_ptr<TPictureCollection> items_;
};

}  // namespace panel
