// components/PngCollection.cpp
#include "components/PngCollection.h"

namespace components {

THqPngCollectionItem::THqPngCollectionItem(rtl::TCollection* Collection)
    : rtl::TCollectionItem(Collection), FPngImage(std::make_unique<vcl::TPngImage>()) {
    FName = QStringLiteral("Png_") + QString::number(Index());
}

void THqPngCollectionItem::Assign(rtl::TPersistent* Source) {
    auto* item = dynamic_cast<THqPngCollectionItem*>(Source);
    if (!item) {
        rtl::TCollectionItem::Assign(Source);
        return;
    }
    FPngImage->Assign(item->FPngImage.get());
    FName = item->FName;
    FTag = item->FTag;
    FEnabled = item->FEnabled;
}

rtl::String THqPngCollectionItem::GetDisplayName() const {
    return FName.isEmpty() ? rtl::TCollectionItem::GetDisplayName() : FName;
}

void THqPngCollectionItem::SetPngImage(vcl::TPngImage* Value) {
    if (!FPngImage) FPngImage = std::make_unique<vcl::TPngImage>();
    FPngImage->Assign(Value);
    FTag = 0;
    Changed(false);
}

THqPngCollectionItems::THqPngCollectionItems(rtl::TPersistent* AOwner)
    : rtl::TCollection(ItemClassOf<THqPngCollectionItem>()), FOwner(AOwner) {}

THqPngCollectionItem* THqPngCollectionItems::GetItem(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return static_cast<THqPngCollectionItem*>(Items(Index));
}

void THqPngCollectionItems::Assign(rtl::TPersistent* Source) {
    rtl::TCollection::Assign(Source);
    Changed();
}

THqPngCollection::THqPngCollection(rtl::TComponent* AOwner)
    : rtl::TComponent(AOwner), FItems(std::make_unique<THqPngCollectionItems>(this)) {}

THqPngCollection::~THqPngCollection() = default;

vcl::TPngImage* THqPngCollection::GetPngImage(int Index) const {
    THqPngCollectionItem* item = FItems->GetItem(Index);
    return item ? item->PngImage() : nullptr;
}

int THqPngCollection::AddPngImage(vcl::TPngImage* Image, const rtl::String& Name) {
    THqPngCollectionItem* item = FItems->Add();
    item->SetPngImage(Image);
    if (!Name.isEmpty()) item->SetName(Name);
    return item->Index();
}

} // namespace components
