// skins/SkSkins.h: the skin model (a table of painting instructions per component and state, and its
// INI-style text), the registered skins and the process-wide skin manager that owns the current skin.
// The painting primitives of the same unit are in SkSkinsPaint.h.
#pragma once
#include "rtl/Classes.h"
#include "rtl/IniFiles.h"
#include "vcl/Controls.h"
#include "vcl/Graphics.h"
#include "vcl/Messages.h"
#include "vcl/Themes.h"

#include <array>
#include <cstdint>
#include <memory>

namespace skins {

using rtl::String;
using vcl::TColor;
using vcl::TRect;

enum TSkSkinStatesType {
    sknsNormal,
    sknsDisabled,
    sknsHotTrack,
    sknsPushed,
    sknsChecked,
    sknsCheckedAndHotTrack
};
constexpr int SkinStateCount = 6;

enum TSkSkinComponentsType {
    skncDock,
    skncDockablePanel,
    skncDockablePanelTitleBar,
    skncGutter,
    skncMenuBar,
    skncOpenToolbarItem,
    skncPanel,
    skncPopup,
    skncSeparator,
    skncSplitter,
    skncStatusBar,
    skncStatusBarGrip,
    skncTabBackground,
    skncTabToolbar,
    skncToolbar,
    skncToolbarGrip,
    skncWindow,
    skncWindowTitleBar,
    skncMenuBarItem,
    skncMenuItem,
    skncToolbarItem,
    skncButton,
    skncCheckBox,
    skncEditButton,
    skncEditFrame,
    skncHeader,
    skncLabel,
    skncListItem,
    skncProgressBar,
    skncRadioButton,
    skncTab,
    skncTrackBar,
    skncTrackBarButton
};
constexpr int SkinComponentCount = 33;

// One row of the component table: the section name of the skin text and the valid states as bits
// over TSkSkinStatesType (bit 0 Normal .. bit 5 CheckedAndHotTrack).
struct TSkSkinComponentData {
    const char* SectionName;
    uint8_t States;
};
extern const std::array<TSkSkinComponentData, SkinComponentCount> SkinComponents;
extern const std::array<const char*, SkinStateCount> SkinStatePrefixes;   // "Normal", "Disabled", ...

inline bool IsValidSkinState(TSkSkinComponentsType Component, TSkSkinStatesType State) {
    return (SkinComponents[Component].States >> State) & 1;
}

enum TSkSkinType { sknNone, sknWindows, sknSkin, sknDelphiStyle };

// The skin-changed notification that the manager hands to every registered object.
constexpr UINT WM_SKINCHANGED = WM_APP + 2007;

// ---- records and enumerations of the painting Parts ----

enum TSkComboPart { cpNone, cpCombo, cpSplitLeft, cpSplitRight };
enum TSkTextRotationAngle { tra0, tra90, tra270 };
enum TSkGlyphLayout { ghlGlyphLeft, ghlGlyphTop };
enum TSkGlowDirection { gldNone, gldAll, gldTopLeft, gldBottomRight };

struct TSkMenuItemMarginsInfo {
    TRect Margins;
    int GutterSize = 0;
    int LeftCaptionMargin = 0;
    int RightCaptionMargin = 0;
    int ImageTextSpace = 0;
};

struct TSkMenuItemInfo {
    bool Enabled = false;
    bool HotTrack = false;
    bool Pushed = false;
    bool Checked = false;
    bool HasArrow = false;
    bool ImageShown = false;
    bool ImageOrCheckShown = false;
    vcl::TSize ImageSize{0, 0};
    vcl::TSize RightImageSize{0, 0};
    bool IsDesigning = false;
    bool IsOnMenuBar = false;
    bool IsOnToolbox = false;
    bool IsOpen = false;
    bool IsSplit = false;
    bool IsSunkenCaption = false;
    bool IsVertical = false;
    TSkMenuItemMarginsInfo MenuMargins;
    TSkComboPart ComboPart = cpNone;
    TRect ComboRect;
    TSkSkinStatesType ComboState = sknsNormal;
    bool ToolbarStyle = false;
    TSkSkinStatesType State = sknsNormal;
    TSkSkinType SkinType = sknNone;
};

struct TSkTextInfo {
    String Text;
    TSkTextRotationAngle TextAngle = tra0;
    uint32_t TextFlags = 0;
    vcl::TSize TextSize{0, 0};
    bool IsCaptionShown = false;
    bool IsTextRotated = false;
};

// ---- the skin model ----

// One painting instruction: the fill (Body) or the frame (Borders) of one component state.
class TSkSkinOptionEntry : public rtl::TPersistent {
public:
    TSkSkinOptionEntry() { Reset(); }

    int SkinType() const { return FSkinType; }
    void SetSkinType(int Value) { FSkinType = Value; }
    TColor Color1() const { return FColor1; }
    void SetColor1(TColor Value) { FColor1 = Value; }
    TColor Color2() const { return FColor2; }
    void SetColor2(TColor Value) { FColor2 = Value; }
    TColor Color3() const { return FColor3; }
    void SetColor3(TColor Value) { FColor3 = Value; }
    TColor Color4() const { return FColor4; }
    void SetColor4(TColor Value) { FColor4 = Value; }

    void Reset();
    void Fill(int ASkinType, TColor AColor1, TColor AColor2, TColor AColor3, TColor AColor4);
    bool IsEmpty() const;                                  // all four colours clNone; the kind is not looked at
    bool IsEqual(const TSkSkinOptionEntry* AOptionEntry) const;
    void Lighten(int Amount);
    // Kind and colours as comma text; a field that is no colour ends the parse quietly.
    void ReadFromString(const String& S);
    String WriteToString() const;
    void Assign(rtl::TPersistent* Source) override;

private:
    int FSkinType = 0;
    TColor FColor1 = vcl::clNone;
    TColor FColor2 = vcl::clNone;
    TColor FColor3 = vcl::clNone;
    TColor FColor4 = vcl::clNone;
};

// The instructions for one component in one state.
class TSkSkinOptionCategory : public rtl::TPersistent {
public:
    TSkSkinOptionCategory();

    TSkSkinOptionEntry* Body() const { return FBody.get(); }
    TSkSkinOptionEntry* Borders() const { return FBorders.get(); }
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value) { FTextColor = Value; }

    void Reset();
    bool IsEmpty() const;
    bool IsEqual(const TSkSkinOptionCategory* ACategory) const;
    void SaveToIni(rtl::TMemIniFile* MemIni, const String& Section, const String& Ident) const;
    // Resets, then reads Ident.Body, Ident.Borders and Ident.TextColor; a bad text colour raises
    // EConvertError. An empty Ident reads as "Normal".
    void LoadFromIni(rtl::TMemIniFile* MemIni, const String& Section, String Ident);
    void Assign(rtl::TPersistent* Source) override;

private:
    std::unique_ptr<TSkSkinOptionEntry> FBody;
    std::unique_ptr<TSkSkinOptionEntry> FBorders;
    TColor FTextColor = vcl::clNone;
};

class TSkSkinOptions;
// The class reference a skin is built from: a new, filled skin of that class.
using TSkSkinOptionsClass = std::unique_ptr<TSkSkinOptions> (*)();

// One skin: 33 components x 6 states of categories, and a few skin-wide properties.
class TSkSkinOptions : public rtl::TPersistent {
public:
    TSkSkinOptions();
    ~TSkSkinOptions() override;

    // Builds a skin of class T and fills it (the virtual constructor's FillOptions, which C++ cannot
    // reach from a base constructor).
    template <class T> static std::unique_ptr<TSkSkinOptions> Create() {
        std::unique_ptr<TSkSkinOptions> Skin = std::make_unique<T>();
        Skin->FillOptions();
        return Skin;
    }
    template <class T> static TSkSkinOptionsClass ClassOf() { return &Create<T>; }

    virtual void FillOptions() {}
    // Reads the skin text; broadcasts the change when this skin is the manager's current one. A bad
    // colour in a TextColor key or in ColorBtnFace raises EConvertError (what was read stays).
    virtual void LoadFromStrings(rtl::TStrings* L);
    // Writes into L, keeping the sections and keys of L that the skin does not write.
    virtual void SaveToStrings(rtl::TStrings* L);
    virtual void SaveToMemIni(rtl::TMemIniFile* MemIni);
    virtual void GetDropDownArrowSize(int& DropDownArrowSize, int& DropDownArrowMargin, int& SplitBtnArrowSize);
    virtual void GetMenuItemMargins(vcl::TCanvas* ACanvas, int ImgSize, TSkMenuItemMarginsInfo& MarginsInfo);
    // The caption colour of a component state: the skin's own under sknSkin (clNone for a state the
    // component does not have), else the theme's or the system colours.
    virtual TColor GetTextColor(TSkSkinComponentsType Component, TSkSkinStatesType State);
    virtual void PaintBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                                 TSkSkinStatesType State, bool Background, bool Borders, bool Vertical = false,
                                 vcl::TAnchors ForceRectBorders = {});
    // The check and radio marks of menu items (MenuItemStyle) and of check and radio boxes.
    virtual void PaintMenuCheckMark(vcl::TCanvas* ACanvas, const TRect& ARect, bool Checked, bool Grayed,
                                    bool MenuItemStyle, TSkSkinStatesType State);
    virtual void PaintMenuRadioMark(vcl::TCanvas* ACanvas, const TRect& ARect, bool Checked, bool MenuItemStyle,
                                    TSkSkinStatesType State);
    virtual void PaintWindowFrame(vcl::TCanvas* ACanvas, const TRect& ARect, bool IsActive, bool DrawBody,
                                  int BorderSize);

    // The category of (Component, State); a component valid only in Normal gives its Normal
    // category for every state.
    TSkSkinOptionCategory* Options(TSkSkinComponentsType Component, TSkSkinStatesType State) const;
    TSkSkinOptionCategory* Options(TSkSkinComponentsType Component) const { return Options(Component, sknsNormal); }
    void Reset(bool ForceResetSkinProperties);
    void CopyOptions(TSkSkinComponentsType AComponent, TSkSkinComponentsType ToComponent);
    void Assign(rtl::TPersistent* Source) override;

    // The theme element that draws a component under sknWindows and sknDelphiStyle; false for a
    // component that has none.
    bool GetThemedElementDetails(TSkSkinComponentsType Component, bool Enabled, bool Pushed, bool HotTrack,
                                 bool Checked, bool Focused, bool Defaulted, bool Grayed,
                                 vcl::TThemedElementDetails& Details) const;
    bool GetThemedElementDetails(TSkSkinComponentsType Component, TSkSkinStatesType State,
                                 vcl::TThemedElementDetails& Details) const;
    static vcl::TSize GetThemedElementSize(vcl::TCanvas* ACanvas, const vcl::TThemedElementDetails& Details);
    // AColor stays as it is when the style has no text colour for the element.
    static void GetThemedElementTextColor(const vcl::TThemedElementDetails& Details, TColor& AColor);
    static TColor GetThemedSystemColor(TColor AColor);
    static void PaintThemedElementBackground(vcl::TCanvas* ACanvas, const TRect& ARect,
                                             const vcl::TThemedElementDetails& Details);
    // These two ask the current skin for the element and draw nothing when there is none.
    static void PaintThemedElementBackground(vcl::TCanvas* ACanvas, const TRect& ARect,
                                             TSkSkinComponentsType Component, bool Enabled, bool Pushed,
                                             bool HotTrack, bool Checked, bool Focused, bool Defaulted, bool Grayed);
    static void PaintThemedElementBackground(vcl::TCanvas* ACanvas, const TRect& ARect,
                                             TSkSkinComponentsType Component, TSkSkinStatesType State);

    static TSkSkinStatesType GetState(bool Enabled, bool Pushed, bool HotTrack, bool Checked);
    static void GetState(TSkSkinStatesType State, bool& Enabled, bool& Pushed, bool& HotTrack, bool& Checked);

    // Skin-wide properties; the Office ones and the border size depend on the current skin type.
    bool OfficeIcons() const;
    bool OfficeMenu() const;
    bool OfficePopup() const;
    bool OfficeStatusBar() const;
    void SetOfficeIcons(bool Value) { FOfficeIcons = Value; }
    void SetOfficeMenu(bool Value) { FOfficeMenu = Value; }
    void SetOfficeStatusBar(bool Value) { FOfficeStatusBar = Value; }
    int FloatingWindowBorderSize() const;
    void SetFloatingWindowBorderSize(int Value);           // clamped to 0..4
    int StoredFloatingWindowBorderSize() const { return FFloatingWindowBorderSize; }
    TColor ColorBtnFace() const { return FColorBtnFace; }
    void SetColorBtnFace(TColor Value) { FColorBtnFace = Value; }
    const String& SkinName() const { return FSkinName; }
    void SetSkinName(const String& Value) { FSkinName = Value; }
    const String& SkinAuthor() const { return FSkinAuthor; }
    void SetSkinAuthor(const String& Value) { FSkinAuthor = Value; }

private:
    TColor FColorBtnFace = vcl::clBtnFace;
    int FFloatingWindowBorderSize = 4;
    std::array<std::array<std::unique_ptr<TSkSkinOptionCategory>, SkinStateCount>, SkinComponentCount> FOptions;
    bool FOfficeIcons = false;
    bool FOfficeMenu = false;
    bool FOfficeStatusBar = false;
    String FSkinAuthor;
    String FSkinName = QStringLiteral("Default");
};

// ---- registered skins and the manager ----

// One registered skin: built from a class, or by loading its lines into a plain skin.
class TSkSkinsListEntry : public rtl::TObject {
public:
    ~TSkSkinsListEntry() override;
    TSkSkinOptionsClass SkinClass = nullptr;
    rtl::TStringList* SkinStrings = nullptr;   // owned
};

// The registered skins by name (unsorted, names compared ignoring case); the list owns the entries.
class TSkSkinsList : public rtl::TStringList {
public:
    TSkSkinsList();
    ~TSkSkinsList() override;
    // -1 for an empty or already listed name; otherwise the new line's index.
    int AddSkin(const String& SkinName, TSkSkinOptionsClass SkinClass);
    // The name comes from the line "Name =" or "Name=" of the skin text; the lines are copied.
    int AddSkin(rtl::TStrings* SkinOptions);
    void Delete(int Index) override;
    void Clear() override;
    TSkSkinsListEntry* GetSkinOption(int Index) const;
};

// Objects that are not controls take the skin-changed message through this.
class ISkSkinNotifiable {
public:
    virtual ~ISkSkinNotifiable() = default;
    virtual void Dispatch(vcl::TMessage& Message) = 0;
};

class TSkSkinManager : public rtl::TObject {
public:
    TSkSkinManager();
    ~TSkSkinManager() override;

    TSkSkinOptions* CurrentSkin() const { return FCurrentSkin.get(); }
    TSkSkinsList* SkinsList() const { return FSkinsList.get(); }
    String CurrentSkinName() const { return FCurrentSkin->SkinName(); }
    bool IsDefaultSkin() const;
    bool IsXPThemesEnabled() const;
    TSkSkinType GetSkinType() const;

    void SetSkin(const String& SkinName);
    void SetToDefaultSkin();
    void AddSkinNotification(rtl::TObject* AObject);
    void RemoveSkinNotification(rtl::TObject* AObject);
    void BroadcastSkinNotification();
    int NotificationCount() const { return FNotifies.Count(); }

    rtl::TNotifyEvent OnSkinChange;

private:
    void MakeCurrent(std::unique_ptr<TSkSkinOptions> Skin);

    std::unique_ptr<TSkSkinOptions> FCurrentSkin;
    rtl::TList FNotifies;
    std::unique_ptr<TSkSkinsList> FSkinsList;
};

// The single manager, made on first use (with the built-in skins registered) and freed at exit.
TSkSkinManager* GetSkinManager();
TSkSkinOptions* GetCurrentSkin();

} // namespace skins
