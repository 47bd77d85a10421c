// styling/hooks/ComCtrlHooks.h: the common controls of foreign windows in the style: list views with
// their headers, trees, tabs, rich edits, rebars, status bars, track bars, up-downs and toolbars, and
// the registration of their window classes.
#pragma once
#include <memory>
#include <vector>

#include "styling/hooks/ScrollingHooks.h"
#include "vcl/ImgList.h"

namespace styling {

class TSysListViewStyleHook : public TSysScrollingStyleHook {
public:
    // The column headers of a list view, painted by the hook from the control's items. Only a list
    // view's hook makes one, for its header child.
    class TSysHeaderStyleHook : public TMouseTrackSysControlStyleHook {
    public:
        // One header item as seen at display position Index.
        class TSysSection {
        public:
            TSysSection(TSysControl* SysParent, int Index);
            // With the header's order array already read (a paint reads it once for all sections).
            TSysSection(TSysControl* SysParent, int Index, const std::vector<int>& Order);

            int Index() const { return FIndex; }
            int ColumnIndex() const { return FColumnIndex; }
            int ImageIndex() const { return FImageIndex; }
            HIMAGELIST ImageListHandle() const { return FImageListHandle; }
            const rtl::String& Text() const { return FText; }
            TRect SectionRect() const { return FSectionRect; }
            bool HasSplitButton() const { return FHasSplitButton; }
            vcl::TTextFormat TextFormat() const { return FTextFormat; }
            bool BitmapOnRight() const { return FBitmapOnRight; }
            bool ShowImage() const { return FShowImage; }
            TRect DropDownRect() const { return FDropDownRect; }

        private:
            void UpdateSectionInfo(const std::vector<int>& Order);

            int FIndex;
            int FColumnIndex = -1;
            int FImageIndex = -1;
            HIMAGELIST FImageListHandle = nullptr;
            rtl::String FText;
            TRect FSectionRect;
            HWND FHeaderHandle;
            bool FHasSplitButton = false;
            vcl::TTextFormat FTextFormat;
            bool FBitmapOnRight = false;
            bool FShowImage = false;
            TRect FDropDownRect;
        };

        explicit TSysHeaderStyleHook(HWND AHandle);
        void Paint(vcl::TCanvas* Canvas) override;
        void PaintBackground(vcl::TCanvas*) override {}
        void WndProc(TMessage& Message) override;

        int SectionCount() const;
        // Null outside 0 .. SectionCount - 1; valid until the next call.
        TSysSection* GetItem(int Index);
        int PressedSection() const { return FPressedSection; }

        TSysListViewStyleHook* FListViewStyleHook = nullptr;

    protected:
        void MouseLeave() override { Invalidate(); }

    private:
        int FPressedSection = -1;
        bool FHeaderMouseDown = false;
        std::unique_ptr<TSysSection> FSysSection;
    };

    explicit TSysListViewStyleHook(HWND AHandle);
    ~TSysListViewStyleHook() override;

    void Paint(vcl::TCanvas*) override {}
    void PaintBackground(vcl::TCanvas*) override {}
    void WndProc(TMessage& Message) override;
    void UpdateColors() override;
    void Scroll(vcl::TScrollBarKind Kind, TSysScrollingType ScrollType, int Pos, int Delta) override;

    void SetSelectedColumn(int iCol);
    HWND HeaderHandle() const { return FHeaderHandle; }
    TSysHeaderStyleHook* HeaderStyleHook() const { return FHeaderStyleHook.get(); }

private:
    HWND FHeaderHandle = nullptr;
    std::unique_ptr<TSysHeaderStyleHook> FHeaderStyleHook;
};

// Trees: colours through the tree's own colour messages; the styled scroll bars' actions become the
// tree's scroll messages as the scrolling base sends them.
class TSysTreeViewStyleHook : public TSysScrollingStyleHook {
public:
    explicit TSysTreeViewStyleHook(HWND AHandle);
    void WndProc(TMessage& Message) override;
    void UpdateColors() override;
};

class TSysTabControlStyleHook : public TMouseTrackSysControlStyleHook {
public:
    explicit TSysTabControlStyleHook(HWND AHandle);
    void Paint(vcl::TCanvas* Canvas) override;

    TRect GetTabRect(int Index) const;
    rtl::String GetTabs(int Index) const;
    int TabCount() const;
    int SelectedTab() const;
    TRect TabsDisplayRect() const;

protected:
    virtual void DrawTab(vcl::TCanvas* Canvas, int Index);

private:
    int FHotTabIndex = -1;  // nothing sets it: no tab is drawn hot
};

class TSysRichEditStyleHook : public TSysScrollingStyleHook {
public:
    explicit TSysRichEditStyleHook(HWND AHandle);
    TRect GetBorderWidths() override;
    void WndProc(TMessage& Message) override;
    void UpdateColors() override;
    TColor BackColor() const { return FBackColor; }

private:
    TColor FBackColor = vcl::clWindow;
};

class TSysReBarStyleHook : public TSysStyleHook {
public:
    explicit TSysReBarStyleHook(HWND AHandle);
    void Paint(vcl::TCanvas* Canvas) override;
    void PaintBackground(vcl::TCanvas* Canvas) override;
    void PaintNC(vcl::TCanvas* Canvas) override;
    void WndProc(TMessage& Message) override;

    int BandCount() const;
    TRect BandRect(int Index) const;
    TRect BandBorders(int Index) const;
    rtl::String BandText(int Index) const;
    // The band-information size the control's version knows.
    static UINT BandInfoSize();
};

class TSysStatusBarStyleHook : public TSysStyleHook {
public:
    explicit TSysStatusBarStyleHook(HWND AHandle);
    void Paint(vcl::TCanvas* Canvas) override;

private:
    // Part Index's text, empty for an owner-drawn part (its data is not text).
    rtl::String PartText(int Index) const;
    void DrawPartText(vcl::TCanvas* Canvas, int Index, TRect R);
};

class TSysTrackBarStyleHook : public TSysStyleHook {
public:
    explicit TSysTrackBarStyleHook(HWND AHandle);
    void Paint(vcl::TCanvas* Canvas) override;
    void PaintBackground(vcl::TCanvas* Canvas) override;
    void WndProc(TMessage& Message) override;

    vcl::TThemedTrackBar ThumbElement() const;
    bool MouseOnThumb() const { return FMouseOnThumb; }
    bool ThumbPressed() const { return FThumbPressed; }

private:
    TRect ThumbRect() const;
    bool FMouseOnThumb = false;
    bool FThumbPressed = false;
};

class TSysUpDownStyleHook : public TMouseTrackSysControlStyleHook {
public:
    explicit TSysUpDownStyleHook(HWND AHandle);
    void Paint(vcl::TCanvas* Canvas) override;

    bool IsVertical() const;
    bool LeftPressed() const { return FLeftPressed; }
    bool RightPressed() const { return FRightPressed; }
    bool MouseOnLeft() const { return FMouseOnLeft; }
    bool MouseOnRight() const { return FMouseOnRight; }
    // The halves in client coordinates: up or left first, down or right second.
    TRect FirstHalf() const;
    TRect SecondHalf() const;

protected:
    void Dispatch(TMessage& Message) override;
    void MouseLeave() override;

private:
    bool FLeftPressed = false;
    bool FRightPressed = false;
    bool FMouseOnLeft = false;
    bool FMouseOnRight = false;
};

class TSysToolbarStyleHook : public TMouseTrackSysControlStyleHook {
public:
    enum TButtonState { bsEnabled, bsPressed, bsChecked, bsHidden };
    enum TButtonStyle { bsBtn, bsSep, bsCheck, bsGroup, bsCheckGroup, bsDropDown };
    using TSysToolbarButtonState = rtl::TSet<TButtonState>;
    using TSysToolbarButtonStyle = rtl::TSet<TButtonStyle>;

    class TSysToolbarButton {
    public:
        TSysToolbarButton(TSysControl* SysParent, int Index);
        int Index() const { return FIndex; }
        const rtl::String& Text() const { return FText; }
        int ImageIndex() const { return FImageIndex; }
        TSysToolbarButtonState State() const { return FState; }
        TSysToolbarButtonStyle Style() const { return FStyle; }
        TRect ButtonRect() const;
        int DropDownWidth() const;

    private:
        void UpdateButtonInfo();
        TSysControl* FParent;
        int FIndex;
        rtl::String FText;
        int FImageIndex = -1;
        TSysToolbarButtonState FState;
        TSysToolbarButtonStyle FStyle;
    };

    explicit TSysToolbarStyleHook(HWND AHandle);
    ~TSysToolbarStyleHook() override;
    void Paint(vcl::TCanvas* Canvas) override;

    int ButtonCount() const;
    // Null outside 0 .. ButtonCount - 1; valid until the next call.
    TSysToolbarButton* GetItem(int Index);
    bool ButtonsPainted() const { return FButtonsPainted; }
    vcl::TImageList* Images() const { return FImages.get(); }

private:
    bool TextShown() const { return FSysControl->Style() & 0x40; }
    bool IsFlat() const { return FSysControl->Style() & 0x800; }
    bool IsList() const { return FSysControl->Style() & 0x1000; }
    bool IsTransparent() const { return FSysControl->Style() & 0x8000; }
    bool IsWrapable() const { return FSysControl->Style() & 0x200; }
    void PaintButton(vcl::TCanvas* Canvas, TSysToolbarButton& B, UINT NoPrefix);

    std::unique_ptr<vcl::TImageList> FImages;
    std::unique_ptr<vcl::TImageList> FDisabledImages;
    std::unique_ptr<TSysToolbarButton> FSysToolbarButton;
    bool FButtonsPainted = false;
};

// Registers the sixteen common-control classes once, when the active style is available; the end
// unregisters them whatever the style.
void RegisterComCtrlStyleHooks();
void UnRegisterComCtrlStyleHooks();

} // namespace styling
