// components/PngCollection.h: numbered PNG images for the mark-up label's image tag, as a component.
#pragma once
#include "rtl/Classes.h"
#include "vcl/PngImage.h"

#include <memory>

namespace components {

class THqPngCollectionItem : public rtl::TCollectionItem {
public:
    explicit THqPngCollectionItem(rtl::TCollection* Collection);

    void Assign(rtl::TPersistent* Source) override;  // image, name, tag and enabled; not the description
    rtl::String GetDisplayName() const override;

    rtl::String Name() const { return FName; }
    void SetName(const rtl::String& Value) { FName = Value; }
    rtl::String Description() const { return FDescription; }
    void SetDescription(const rtl::String& Value) { FDescription = Value; }
    vcl::TPngImage* PngImage() const { return FPngImage.get(); }
    // Copies the image (nothing is taken over), resets Tag and signals the change.
    void SetPngImage(vcl::TPngImage* Value);
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t Value) { FTag = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }
    int Width() const { return FPngImage && !FPngImage->Empty() ? FPngImage->Width() : 0; }
    int Height() const { return FPngImage && !FPngImage->Empty() ? FPngImage->Height() : 0; }

private:
    rtl::String FName;
    rtl::String FDescription;
    std::unique_ptr<vcl::TPngImage> FPngImage;
    int32_t FTag = 0;
    bool FEnabled = true;
};

class THqPngCollectionItems : public rtl::TCollection {
public:
    explicit THqPngCollectionItems(rtl::TPersistent* AOwner);

    // nullptr outside 0..Count-1, rather than a list error.
    THqPngCollectionItem* GetItem(int Index) const;
    THqPngCollectionItem* Add() { return static_cast<THqPngCollectionItem*>(rtl::TCollection::Add()); }
    void Assign(rtl::TPersistent* Source) override;

protected:
    rtl::TPersistent* GetOwner() const override { return FOwner; }

private:
    rtl::TPersistent* FOwner;
};

class THqPngCollection : public rtl::TComponent {
public:
    explicit THqPngCollection(rtl::TComponent* AOwner);
    ~THqPngCollection() override;

    THqPngCollectionItems* Items() const { return FItems.get(); }
    void SetItems(THqPngCollectionItems* Value) { FItems->Assign(Value); }
    int Count() const { return FItems->Count(); }
    // The image at Index, nullptr outside the collection.
    vcl::TPngImage* GetPngImage(int Index) const;
    // Adds a copy of the image; the new item's index.
    int AddPngImage(vcl::TPngImage* Image, const rtl::String& Name = {});

private:
    std::unique_ptr<THqPngCollectionItems> FItems;
};

} // namespace components
