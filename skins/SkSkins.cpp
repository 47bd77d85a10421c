// skins/SkSkins.cpp: the skin model, its text form, the registered skins and the skin manager.
#include "skins/SkSkins.h"

#include "skins/SkDefaultSkins.h"
#include "skins/SkSkinsPaint.h"

#include "rtl/SysUtils.h"
#include "vcl/Themes.h"

#include <algorithm>

namespace skins {

using namespace vcl;

constexpr uint8_t N = 0x01, All = 0x3F;

const std::array<TSkSkinComponentData, SkinComponentCount> SkinComponents{{
    {"Dock", N},
    {"DockablePanel", N},
    {"DockablePanelTitleBar", N},
    {"Gutter", N},
    {"MenuBar", N},
    {"OpenToolbarItem", N},
    {"Panel", N},
    {"Popup", N},
    {"Separator", N},
    {"Splitter", N},
    {"StatusBar", N},
    {"StatusBarGrip", N},
    {"TabBackground", N},
    {"TabToolbar", N},
    {"Toolbar", N},
    {"ToolbarGrip", N},
    {"Window", N},
    {"WindowTitleBar", N},
    {"MenuBarItem", All},
    {"MenuItem", All},
    {"ToolbarItem", All},
    {"Button", All},
    {"CheckBox", All},
    {"EditButton", All},
    {"EditFrame", 0x07},
    {"Header", 0x0F},
    {"Label", 0x03},
    {"ListItem", All},
    {"ProgressBar", 0x05},
    {"RadioButton", All},
    {"Tab", All},
    {"TrackBar", 0x05},
    {"TrackBarButton", 0x09},
}};

const std::array<const char*, SkinStateCount> SkinStatePrefixes{
    {"Normal", "Disabled", "HotTrack", "Pushed", "Checked", "CheckedAndHotTrack"}};

namespace {

String Section(int Component) { return QString::fromLatin1(SkinComponents[size_t(Component)].SectionName); }
String Prefix(int State) { return QString::fromLatin1(SkinStatePrefixes[size_t(State)]); }

const String SkinSection = QStringLiteral("Skin");

// Every valid (component, state) pair in table order, as the text form walks them.
template <class F> void ForEachValidCategory(F&& Visit) {
    for (int c = 0; c < SkinComponentCount; ++c)
        for (int s = 0; s < SkinStateCount; ++s)
            if (IsValidSkinState(TSkSkinComponentsType(c), TSkSkinStatesType(s)))
                Visit(TSkSkinComponentsType(c), TSkSkinStatesType(s));
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TSkSkinOptionEntry

void TSkSkinOptionEntry::Reset() { Fill(0, clNone, clNone, clNone, clNone); }

void TSkSkinOptionEntry::Fill(int ASkinType, TColor AColor1, TColor AColor2, TColor AColor3, TColor AColor4) {
    FSkinType = ASkinType;
    FColor1 = AColor1;
    FColor2 = AColor2;
    FColor3 = AColor3;
    FColor4 = AColor4;
}

bool TSkSkinOptionEntry::IsEmpty() const {
    return FColor1 == clNone && FColor2 == clNone && FColor3 == clNone && FColor4 == clNone;
}

bool TSkSkinOptionEntry::IsEqual(const TSkSkinOptionEntry* AOptionEntry) const {
    return AOptionEntry && FSkinType == AOptionEntry->FSkinType && FColor1 == AOptionEntry->FColor1 &&
           FColor2 == AOptionEntry->FColor2 && FColor3 == AOptionEntry->FColor3 && FColor4 == AOptionEntry->FColor4;
}

void TSkSkinOptionEntry::Lighten(int Amount) {
    for (TColor* c : {&FColor1, &FColor2, &FColor3, &FColor4})
        if (*c != clNone) *c = LightenColor(*c, Amount);
}

void TSkSkinOptionEntry::ReadFromString(const String& S) {
    Reset();
    rtl::TStringList fields;
    fields.SetCommaText(S);
    if (fields.Count() > 0) FSkinType = rtl::StrToIntDef(fields[0], 0);
    TColor* colors[] = {&FColor1, &FColor2, &FColor3, &FColor4};
    for (int i = 1; i < std::min(fields.Count(), 5); ++i) {
        TColor c = 0;
        if (!IdentToColor(fields[i], c) && !rtl::TryStrToInt(fields[i], c)) return;
        *colors[i - 1] = c;
    }
}

String TSkSkinOptionEntry::WriteToString() const {
    return QStringLiteral("%1, %2, %3, %4, %5")
        .arg(FSkinType)
        .arg(ColorToSkinText(FColor1, 0), ColorToSkinText(FColor2, 0), ColorToSkinText(FColor3, 0),
             ColorToSkinText(FColor4, 0));
}

void TSkSkinOptionEntry::Assign(rtl::TPersistent* Source) {
    if (auto* e = dynamic_cast<TSkSkinOptionEntry*>(Source)) {
        Fill(e->FSkinType, e->FColor1, e->FColor2, e->FColor3, e->FColor4);
        return;
    }
    rtl::TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------------------------
// TSkSkinOptionCategory

TSkSkinOptionCategory::TSkSkinOptionCategory()
    : FBody(std::make_unique<TSkSkinOptionEntry>()), FBorders(std::make_unique<TSkSkinOptionEntry>()) {}

void TSkSkinOptionCategory::Reset() {
    FBody->Reset();
    FBorders->Reset();
    FTextColor = clNone;
}

bool TSkSkinOptionCategory::IsEmpty() const { return FBody->IsEmpty() && FBorders->IsEmpty() && FTextColor == clNone; }

bool TSkSkinOptionCategory::IsEqual(const TSkSkinOptionCategory* ACategory) const {
    return ACategory && FBody->IsEqual(ACategory->Body()) && FBorders->IsEqual(ACategory->Borders()) &&
           FTextColor == ACategory->FTextColor;
}

void TSkSkinOptionCategory::SaveToIni(rtl::TMemIniFile* MemIni, const String& Section, const String& Ident) const {
    MemIni->WriteString(Section, Ident + QStringLiteral(".Body"), FBody->WriteToString());
    MemIni->WriteString(Section, Ident + QStringLiteral(".Borders"), FBorders->WriteToString());
    MemIni->WriteString(Section, Ident + QStringLiteral(".TextColor"), ColorToSkinText(FTextColor, 0));
}

void TSkSkinOptionCategory::LoadFromIni(rtl::TMemIniFile* MemIni, const String& Section, String Ident) {
    Reset();
    if (Ident.isEmpty()) Ident = QStringLiteral("Normal");
    FBody->ReadFromString(MemIni->ReadString(Section, Ident + QStringLiteral(".Body"), String()));
    FBorders->ReadFromString(MemIni->ReadString(Section, Ident + QStringLiteral(".Borders"), String()));
    FTextColor = StringToColor(MemIni->ReadString(Section, Ident + QStringLiteral(".TextColor"), QStringLiteral("clNone")));
}

void TSkSkinOptionCategory::Assign(rtl::TPersistent* Source) {
    if (auto* c = dynamic_cast<TSkSkinOptionCategory*>(Source)) {
        FBody->Assign(c->FBody.get());
        FBorders->Assign(c->FBorders.get());
        FTextColor = c->FTextColor;
        return;
    }
    rtl::TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------------------------------
// TSkSkinOptions

TSkSkinOptions::TSkSkinOptions() {
    for (auto& row : FOptions)
        for (auto& category : row) category = std::make_unique<TSkSkinOptionCategory>();
}

TSkSkinOptions::~TSkSkinOptions() = default;

TSkSkinOptionCategory* TSkSkinOptions::Options(TSkSkinComponentsType Component, TSkSkinStatesType State) const {
    if (SkinComponents[Component].States == N) State = sknsNormal;
    return FOptions[Component][State].get();
}

void TSkSkinOptions::Reset(bool ForceResetSkinProperties) {
    if (ForceResetSkinProperties) {
        FColorBtnFace = clBtnFace;
        FFloatingWindowBorderSize = 4;
        FOfficeIcons = FOfficeMenu = FOfficeStatusBar = false;
    }
    for (auto& row : FOptions)
        for (auto& category : row) category->Reset();
}

void TSkSkinOptions::CopyOptions(TSkSkinComponentsType AComponent, TSkSkinComponentsType ToComponent) {
    for (int s = 0; s < SkinStateCount; ++s) FOptions[ToComponent][s]->Assign(FOptions[AComponent][s].get());
}

void TSkSkinOptions::Assign(rtl::TPersistent* Source) {
    auto* skin = dynamic_cast<TSkSkinOptions*>(Source);
    if (!skin) {
        rtl::TPersistent::Assign(Source);
        return;
    }
    for (int c = 0; c < SkinComponentCount; ++c)
        for (int s = 0; s < SkinStateCount; ++s)
            FOptions[c][s]->Assign(skin->Options(TSkSkinComponentsType(c), TSkSkinStatesType(s)));
    FColorBtnFace = skin->FColorBtnFace;
    SetFloatingWindowBorderSize(skin->FFloatingWindowBorderSize);
    FOfficeIcons = skin->FOfficeIcons;
    FOfficeMenu = skin->FOfficeMenu;
    FOfficeStatusBar = skin->FOfficeStatusBar;
    FSkinAuthor = skin->FSkinAuthor;
    FSkinName = skin->FSkinName;
}

TSkSkinStatesType TSkSkinOptions::GetState(bool Enabled, bool Pushed, bool HotTrack, bool Checked) {
    if (!Enabled) return sknsDisabled;
    if (Pushed) return sknsPushed;
    if (HotTrack && Checked) return sknsCheckedAndHotTrack;
    if (HotTrack) return sknsHotTrack;
    if (Checked) return sknsChecked;
    return sknsNormal;
}

void TSkSkinOptions::GetState(TSkSkinStatesType State, bool& Enabled, bool& Pushed, bool& HotTrack, bool& Checked) {
    Enabled = State != sknsDisabled;
    Pushed = State == sknsPushed;
    HotTrack = State == sknsHotTrack || State == sknsCheckedAndHotTrack;
    Checked = State == sknsChecked || State == sknsCheckedAndHotTrack;
}

bool TSkSkinOptions::OfficeIcons() const { return FOfficeIcons && GetSkinManager()->GetSkinType() == sknSkin; }
bool TSkSkinOptions::OfficeMenu() const { return FOfficeMenu && GetSkinManager()->GetSkinType() == sknSkin; }

bool TSkSkinOptions::OfficePopup() const {
    return GetSkinManager()->GetSkinType() == sknSkin && !Options(skncOpenToolbarItem)->IsEmpty();
}

bool TSkSkinOptions::OfficeStatusBar() const {
    const TSkSkinType type = GetSkinManager()->GetSkinType();
    return (FOfficeStatusBar && type == sknSkin) || type == sknNone;
}

int TSkSkinOptions::FloatingWindowBorderSize() const {
    return GetSkinManager()->GetSkinType() == sknSkin ? FFloatingWindowBorderSize : 4;
}

void TSkSkinOptions::SetFloatingWindowBorderSize(int Value) { FFloatingWindowBorderSize = std::clamp(Value, 0, 4); }

void TSkSkinOptions::SaveToMemIni(rtl::TMemIniFile* MemIni) {
    MemIni->WriteString(SkinSection, QStringLiteral("Name"), FSkinName);
    MemIni->WriteString(SkinSection, QStringLiteral("Author"), FSkinAuthor);
    MemIni->WriteString(SkinSection, QStringLiteral("ColorBtnFace"), ColorToSkinText(FColorBtnFace, 0));
    MemIni->WriteInteger(SkinSection, QStringLiteral("FloatingWindowBorderSize"), FFloatingWindowBorderSize);
    MemIni->WriteBool(SkinSection, QStringLiteral("OfficeIcons"), FOfficeIcons);
    MemIni->WriteBool(SkinSection, QStringLiteral("OfficeMenu"), FOfficeMenu);
    MemIni->WriteBool(SkinSection, QStringLiteral("OfficeStatusBar"), FOfficeStatusBar);
    ForEachValidCategory([&](TSkSkinComponentsType c, TSkSkinStatesType s) {
        FOptions[c][s]->SaveToIni(MemIni, Section(c), Prefix(s));
    });
}

void TSkSkinOptions::SaveToStrings(rtl::TStrings* L) {
    rtl::TMemIniFile ini{String()};
    ini.SetStrings(L);
    SaveToMemIni(&ini);
    L->Clear();
    ini.GetStrings(L);
}

void TSkSkinOptions::LoadFromStrings(rtl::TStrings* L) {
    rtl::TMemIniFile ini{String()};
    ini.SetStrings(L);
    FSkinName = ini.ReadString(SkinSection, QStringLiteral("Name"), String());
    FSkinAuthor = ini.ReadString(SkinSection, QStringLiteral("Author"), String());
    FColorBtnFace = StringToColor(ini.ReadString(SkinSection, QStringLiteral("ColorBtnFace"), QStringLiteral("clBtnFace")));
    FFloatingWindowBorderSize = rtl::StrToIntDef(ini.ReadString(SkinSection, QStringLiteral("FloatingWindowBorderSize"), String()), 4);
    auto flag = [&](const char* Key) {
        return rtl::StrToIntDef(ini.ReadString(SkinSection, QString::fromLatin1(Key), String()), 0) != 0;
    };
    FOfficeIcons = flag("OfficeIcons");
    FOfficeMenu = flag("OfficeMenu");
    FOfficeStatusBar = flag("OfficeStatusBar");
    ForEachValidCategory([&](TSkSkinComponentsType c, TSkSkinStatesType s) {
        FOptions[c][s]->LoadFromIni(&ini, Section(c), Prefix(s));
    });
    if (GetSkinManager()->CurrentSkin() == this) GetSkinManager()->BroadcastSkinNotification();
}

void TSkSkinOptions::GetDropDownArrowSize(int& DropDownArrowSize, int& DropDownArrowMargin, int& SplitBtnArrowSize) {
    DropDownArrowSize = 8;
    DropDownArrowMargin = 3;
    const TSkSkinType type = GetSkinManager()->GetSkinType();
    SplitBtnArrowSize = type == sknWindows || type == sknDelphiStyle ? 13 : 12;
}

void TSkSkinOptions::GetMenuItemMargins(TCanvas* ACanvas, int ImgSize, TSkMenuItemMarginsInfo& MarginsInfo) {
    MarginsInfo = TSkMenuItemMarginsInfo();
    if (ImgSize == 0) ImgSize = 16;
    const TSkSkinType type = GetSkinManager()->GetSkinType();
    if ((type == sknWindows && IsWindowsVistaOrLater()) || type == sknDelphiStyle || type == sknSkin) {
        MarginsInfo.Margins = TRect(1, 3, 1, 3);
        MarginsInfo.ImageTextSpace = type == sknSkin ? 5 : 6;
        MarginsInfo.LeftCaptionMargin = 3;
        MarginsInfo.RightCaptionMargin = 3;
    } else {
        MarginsInfo.Margins = TRect(0, 2, 0, 2);
        MarginsInfo.ImageTextSpace = 1;
        MarginsInfo.LeftCaptionMargin = 2;
        MarginsInfo.RightCaptionMargin = 2;
    }
    TEXTMETRICW tm{};
    GetTextMetricsW(ACanvas->Handle(), &tm);
    const int vertical = MarginsInfo.Margins.Top + MarginsInfo.Margins.Bottom;
    MarginsInfo.GutterSize = std::max(int(tm.tmHeight + tm.tmExternalLeading) + vertical, ImgSize + vertical);
}

void TSkSkinOptions::PaintBackground(TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                                     TSkSkinStatesType State, bool Background, bool Borders, bool Vertical,
                                     TAnchors ForceRectBorders) {
    TSkSkinOptionCategory* category = Options(Component, State);
    const bool drawBorders = Borders && !category->Borders()->IsEmpty();
    if (Background && !category->Body()->IsEmpty()) {
        TRect r = ARect;
        if (drawBorders) r.Inflate(-1, -1);
        PaintSkinBody(ACanvas, r, category, Vertical);
    }
    if (drawBorders) PaintSkinBorders(ACanvas, ARect, category, ForceRectBorders);
}

void TSkSkinOptions::PaintWindowFrame(TCanvas* ACanvas, const TRect& ARect, bool IsActive, bool DrawBody,
                                      int BorderSize) {
    (void)IsActive;   // the Window component has only its Normal state
    if (DrawBody) PaintBackground(ACanvas, ARect, skncWindow, sknsNormal, true, false);
    TSkSkinOptionEntry* borders = Options(skncWindow)->Borders();
    const TColor saved = ACanvas->Brush()->Color();
    TRect r = ARect;
    for (int i = 1; i <= BorderSize; ++i) {
        const TColor c = i == 1 ? borders->Color1() : i == 2 ? borders->Color2() : i == 3 ? borders->Color3() : borders->Color4();
        ACanvas->Brush()->SetColor(c);
        ACanvas->FrameRect(r);
        r.Inflate(-1, -1);
    }
    ACanvas->Brush()->SetColor(saved);
}

// ---------------------------------------------------------------------------------------------------
// TSkSkinsList

TSkSkinsListEntry::~TSkSkinsListEntry() {
    SkinClass = nullptr;
    delete SkinStrings;
}

TSkSkinsList::TSkSkinsList() { SetCaseSensitive(false); }

TSkSkinsList::~TSkSkinsList() {
    while (Count() > 0) Delete(0);
}

void TSkSkinsList::Delete(int Index) {
    if (Index >= 0 && Index < Count()) delete GetSkinOption(Index);
    rtl::TStringList::Delete(Index);
}

void TSkSkinsList::Clear() {
    while (Count() > 0) Delete(Count() - 1);
}

TSkSkinsListEntry* TSkSkinsList::GetSkinOption(int Index) const { return static_cast<TSkSkinsListEntry*>(Objects(Index)); }

int TSkSkinsList::AddSkin(const String& SkinName, TSkSkinOptionsClass SkinClass) {
    if (SkinName.isEmpty() || IndexOf(SkinName) >= 0) return -1;
    auto entry = std::make_unique<TSkSkinsListEntry>();
    entry->SkinClass = SkinClass;
    try {
        const int index = AddObject(SkinName, entry.get());
        entry.release();
        return index;
    } catch (const rtl::Exception&) {
        return -1;
    }
}

int TSkSkinsList::AddSkin(rtl::TStrings* SkinOptions) {
    if (!SkinOptions) return -1;
    String name = SkinOptions->Values(QStringLiteral("Name "));
    if (name.isEmpty()) name = SkinOptions->Values(QStringLiteral("Name"));
    name = rtl::Trim(name);
    auto entry = std::make_unique<TSkSkinsListEntry>();
    try {
        if (name.isEmpty() || IndexOf(name) >= 0) return -1;
        entry->SkinStrings = new rtl::TStringList();
        entry->SkinStrings->Assign(SkinOptions);
        const int index = AddObject(name, entry.get());
        entry.release();
        return index;
    } catch (const rtl::Exception&) {
        return -1;
    }
}

// ---------------------------------------------------------------------------------------------------
// TSkSkinManager

TSkSkinManager::TSkSkinManager()
    : FCurrentSkin(std::make_unique<TSkSkinOptions>()), FSkinsList(std::make_unique<TSkSkinsList>()) {}

TSkSkinManager::~TSkSkinManager() {
    FNotifies.Clear();
    FCurrentSkin.reset();
    FSkinsList.reset();
}

bool TSkSkinManager::IsDefaultSkin() const { return FCurrentSkin->SkinName() == QStringLiteral("Default"); }

bool TSkSkinManager::IsXPThemesEnabled() const { return TStyleManager::ActiveStyle()->Enabled(); }

TSkSkinType TSkSkinManager::GetSkinType() const {
    if (!IsDefaultSkin()) return sknSkin;
    if (TStyleManager::IsCustomStyleActive()) return sknDelphiStyle;
    if (IsXPThemesEnabled()) return sknWindows;
    return sknNone;
}

void TSkSkinManager::MakeCurrent(std::unique_ptr<TSkSkinOptions> Skin) {
    // The old skin goes only once the new one stands, so a failed build leaves a whole skin current.
    std::unique_ptr<TSkSkinOptions> old = std::move(FCurrentSkin);
    FCurrentSkin = std::move(Skin);
    old.reset();
}

void TSkSkinManager::SetSkin(const String& SkinName) {
    if (SkinName.compare(CurrentSkinName(), Qt::CaseInsensitive) == 0) return;
    if (SkinName.isEmpty() || SkinName.compare(QStringLiteral("Default"), Qt::CaseInsensitive) == 0) {
        SetToDefaultSkin();
        return;
    }
    const int index = FSkinsList->IndexOf(SkinName);
    if (index < 0) return;
    TSkSkinsListEntry* entry = FSkinsList->GetSkinOption(index);
    if (entry->SkinClass) {
        MakeCurrent(entry->SkinClass());
        BroadcastSkinNotification();
    } else if (entry->SkinStrings) {
        // Loaded aside: a bad colour in the text leaves the current skin as it was (and propagates).
        auto skin = std::make_unique<TSkSkinOptions>();
        skin->LoadFromStrings(entry->SkinStrings);
        MakeCurrent(std::move(skin));
        BroadcastSkinNotification();   // the one loading the current skin makes
        BroadcastSkinNotification();
    }
}

void TSkSkinManager::SetToDefaultSkin() {
    if (IsDefaultSkin()) return;
    MakeCurrent(std::make_unique<TSkSkinOptions>());
    if (TStyleManager::IsCustomStyleActive() && TStyleManager::ActiveStyle() != TStyleManager::SystemStyle())
        TStyleManager::SetStyle(TStyleManager::SystemStyle());
    BroadcastSkinNotification();
}

void TSkSkinManager::AddSkinNotification(rtl::TObject* AObject) {
    if (FNotifies.IndexOf(AObject) < 0) FNotifies.Add(AObject);
}

void TSkSkinManager::RemoveSkinNotification(rtl::TObject* AObject) { FNotifies.Remove(AObject); }

void TSkSkinManager::BroadcastSkinNotification() {
    if (FNotifies.Count() > 0) {
        TMessage message;
        message.Msg = WM_SKINCHANGED;
        const int count = FNotifies.Count();
        // A handler that unregisters objects shortens the list; stop at its end instead of reading past it.
        for (int i = 0; i < count && i < FNotifies.Count(); ++i) {
            auto* object = static_cast<rtl::TObject*>(FNotifies.Items(i));
            if (auto* control = dynamic_cast<TControl*>(object))
                control->Dispatch(message);
            else if (auto* notifiable = dynamic_cast<ISkSkinNotifiable*>(object))
                notifiable->Dispatch(message);
        }
    }
    OnSkinChange(this);
}

namespace {
std::unique_ptr<TSkSkinManager>& ManagerSlot() {
    static std::unique_ptr<TSkSkinManager> manager;
    return manager;
}
} // namespace

TSkSkinManager* GetSkinManager() {
    auto& slot = ManagerSlot();
    if (!slot) {
        slot = std::make_unique<TSkSkinManager>();
        RegisterDefaultSkins();   // the built-in skins are listed from the start, ahead of any other
    }
    return slot.get();
}

TSkSkinOptions* GetCurrentSkin() { return GetSkinManager()->CurrentSkin(); }

} // namespace skins
