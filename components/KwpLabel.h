// components/KwpLabel.h: the pack's label: the class library's label with the extended tag and up to
// four companion controls kept around it.
#pragma once
#include "components/Common.h"
#include "components/KwpAnchoredControls.h"

#include <memory>

namespace components {

class TKwpCustomLabel : public vcl::TCustomLabel {
public:
    explicit TKwpCustomLabel(rtl::TComponent* AOwner);
    ~TKwpCustomLabel() override;

    // The label keeps and frees its own objects; these are configured through their members.
    TKwpTagExt* TagExt() const { return FTagExt.get(); }
    TKwpAnchoredControls* AnchoredControls() const { return FAnchoredControls.get(); }

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    std::unique_ptr<TKwpTagExt> FTagExt;
    std::unique_ptr<TKwpAnchoredControls> FAnchoredControls;
};

class TKwpLabel : public TKwpCustomLabel {
public:
    using TKwpCustomLabel::TKwpCustomLabel;
};

// The steps every labelled host of the pack shares: companions follow a move, and a freed companion
// is let go of.
void FollowHostBounds(rtl::TComponent* Host, TKwpAnchoredControls* Anchors);
void ForgetRemovedCompanion(rtl::TComponent* Host, TKwpAnchoredControls* Anchors, rtl::TComponent* AComponent,
                            rtl::TOperation Operation);

} // namespace components
