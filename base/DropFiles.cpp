// base/DropFiles.cpp
#include "base/DropFiles.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>

namespace base {

namespace {

const UINT KwDropFiles = RegisterWindowMessageW(u"KW_DROPFILES");

rtl::TObject* const FolderMark = reinterpret_cast<rtl::TObject*>(intptr_t(1));

LPWSTR W(String& S) { return reinterpret_cast<LPWSTR>(S.data()); }

} // namespace

UINT KwDropFilesMessage() { return KwDropFiles; }

// ---- TKwAbstractDropFilesHelper --------------------------------------------------------------------------

TKwAbstractDropFilesHelper::TKwAbstractDropFilesHelper(TKwSubClassedDropFiles* Comp)
    : FComp(Comp), FFileList(std::make_unique<rtl::TStringList>()) {}

TKwAbstractDropFilesHelper::~TKwAbstractDropFilesHelper() = default;

HWND TKwAbstractDropFilesHelper::GetDropWindow() {
    vcl::TWinControl* Control = DropWinControl();
    return Control && Control->HandleAllocated() ? Control->WindowHandle() : nullptr;
}

void TKwAbstractDropFilesHelper::AcceptFiles(bool Flag) {
    if (FComp->ComponentState().Contains(rtl::csDesigning)) return;
    const HWND Window = GetDropWindow();
    if (!Window) return; // registered once the window exists (the form's procedure watches for it)
    DragAcceptFiles(Window, Flag);
    FRegistered = Flag ? Window : nullptr;
}

bool TKwAbstractDropFilesHelper::IsFolder(int Index) const { return FFileList->Objects(Index) == FolderMark; }

bool TKwAbstractDropFilesHelper::Accepted(const String& Path, bool IsFolder) {
    bool Accept = true;
    if (FFilterComp && !FFilterComp->Accept(Path, IsFolder)) Accept = false;
    if (FOnFileFilter) FOnFileFilter(this, Path, IsFolder, Accept);
    return Accept;
}

void TKwAbstractDropFilesHelper::AddPath(const String& Path, std::vector<std::pair<uint64_t, uint64_t>>& Ancestors) {
    struct stat St {};
    const QByteArray Native = QFile::encodeName(Path);
    // Links are followed; a path whose attributes cannot be read counts as a folder.
    const bool Readable = ::stat(Native.constData(), &St) == 0;
    const bool Folder = !Readable || S_ISDIR(St.st_mode);
    if (!Folder) {
        if (FOptions.Contains(dfoIncFiles) && Accepted(Path, false)) FFileList->Add(Path);
        return;
    }
    if (FOptions.Contains(dfoIncFolders) && Accepted(Path, true)) FFileList->AddObject(Path, FolderMark);
    if (!FOptions.Contains(dfoRecurseFolders) || !Readable) return;
    // A link back to a folder above would walk forever: a folder already on the way down is not entered.
    const std::pair<uint64_t, uint64_t> Id{uint64_t(St.st_dev), uint64_t(St.st_ino)};
    if (std::find(Ancestors.begin(), Ancestors.end(), Id) != Ancestors.end()) return;
    Ancestors.push_back(Id);
    const QDir Dir(Path);
    const QStringList Names = Dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                            QDir::Name);
    for (const QString& Name : Names) AddPath(Dir.filePath(Name), Ancestors);
    Ancestors.pop_back();
}

void TKwAbstractDropFilesHelper::FilesDropped(HDROP hDrop) {
    struct Finish {
        HDROP Drop;
        ~Finish() { DragFinish(Drop); } // released even when a handler raises
    } Guard{hDrop};
    FFileList->Clear();
    const UINT N = LOWORD(DragQueryFileW(hDrop, 0xFFFFFFFF, nullptr, 0));
    for (UINT I = 0; I < N; ++I) {
        const UINT Length = DragQueryFileW(hDrop, I, nullptr, 0);
        String Path(qsizetype(Length) + 1, QChar(0));
        DragQueryFileW(hDrop, I, W(Path), Length + 1);
        Path.truncate(qsizetype(Length));
        std::vector<std::pair<uint64_t, uint64_t>> Ancestors;
        AddPath(Path, Ancestors);
    }
    POINT P{0, 0};
    DragQueryPoint(hDrop, &P);
    FDropPoint = vcl::TPoint(P.x, P.y);
    if (FOnAfterDrop) FOnAfterDrop(this, hDrop);
}

void TKwAbstractDropFilesHelper::DropFiles() {
    if (FForeGroundOnDrop)
        if (const HWND Window = GetDropWindow()) SetForegroundWindow(Window);
    if (FOnDropFiles) FOnDropFiles(FComp);
}

void TKwAbstractDropFilesHelper::BeforeDrop() {
    if (FOnBeforeDrop) FOnBeforeDrop(FComp);
}

vcl::TControl* TKwAbstractDropFilesHelper::GetDropControl() {
    vcl::TWinControl* Control = DropWinControl();
    if (!Control || !Control->ClientRect().Contains(FDropPoint)) return nullptr;
    const vcl::TPoint Screen = Control->ClientToScreen(FDropPoint);
    vcl::TControl* Current = Control;
    while (auto* Win = dynamic_cast<vcl::TWinControl*>(Current)) {
        const vcl::TPoint Local = Win->ScreenToClient(Screen);
        vcl::TControl* Found = nullptr;
        for (int I = 0; I < Win->ControlCount() && !Found; ++I) {
            vcl::TControl* Child = Win->Controls(I);
            if (Child->Visible() && Child->BoundsRect().Contains(Local)) Found = Child;
        }
        if (!Found) break;
        Current = Found;
    }
    return Current;
}

vcl::TWinControl* TKwFormDropFilesHelper::DropWinControl() { return dynamic_cast<vcl::TWinControl*>(FComp->Owner()); }

// ---- TKwSubClassedDropFiles --------------------------------------------------------------------------------

TKwSubClassedDropFiles::TKwSubClassedDropFiles(rtl::TComponent* AOwner) : rtl::TComponent(AOwner) {}

TKwSubClassedDropFiles::~TKwSubClassedDropFiles() = default;

void TKwSubClassedDropFiles::InitHelper() { FHelper.reset(CreateHelper()); }

void TKwSubClassedDropFiles::SetEnabled(bool Value) {
    FEnabled = Value;
    FHelper->AcceptFiles(Value);
}

void TKwSubClassedDropFiles::SetFilter(TKwFileFilter* Value) {
    if (FHelper->FFilterComp) FHelper->FFilterComp->RemoveFreeNotification(this);
    FHelper->FFilterComp = Value;
    if (Value) Value->FreeNotification(this);
}

void TKwSubClassedDropFiles::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    rtl::TComponent::Notification(AComponent, Operation);
    if (Operation == rtl::opRemove && FHelper && AComponent == FHelper->FFilterComp) FHelper->FFilterComp = nullptr;
}

// ---- TKwFormDropFiles --------------------------------------------------------------------------------------

rtl::TComponent* TKwFormDropFiles::CheckedOwner(rtl::TComponent* AOwner) {
    auto* Form = dynamic_cast<vcl::TCustomForm*>(AOwner);
    if (!Form) throw rtl::Exception(QStringLiteral("TKwFormDropFiles owner must be a form"));
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (auto* Existing = dynamic_cast<TKwFormDropFiles*>(Form->Components(I)))
            throw rtl::Exception(QStringLiteral("Only one TKwFormDropFiles component is permitted on a form: %1 is already present on %2")
                                     .arg(Existing->Name(), Form->Name()));
    return AOwner;
}

TKwFormDropFiles::TKwFormDropFiles(rtl::TComponent* AOwner) : TKwSubClassedDropFiles(CheckedOwner(AOwner)) {
    InitHelper();
    if (ComponentState().Contains(rtl::csDesigning)) return;
    FForm = static_cast<vcl::TCustomForm*>(Owner());
    FOldWndProc = FForm->WindowProc;
    FNewWndProc = vcl::TWndMethod(this, &TKwFormDropFiles::FormWndProc);
    FForm->WindowProc = FNewWndProc;
    FHelper->AcceptFiles(FEnabled);
}

TKwFormDropFiles::~TKwFormDropFiles() {
    if (FNewWndProc) {
        if (FHelper->FRegistered) DragAcceptFiles(FHelper->FRegistered, FALSE);
        FForm->WindowProc = FOldWndProc;
        FNewWndProc = nullptr;
    }
}

TKwAbstractDropFilesHelper* TKwFormDropFiles::CreateHelper() { return new TKwFormDropFilesHelper(this); }

void TKwFormDropFiles::FormWndProc(vcl::TMessage& Message) {
    // The form's window may be made after this component, or made again: register the one there is.
    if (FEnabled && FHelper->FRegistered != FHelper->GetDropWindow()) FHelper->AcceptFiles(true);
    const bool Kw = Message.Msg == KwDropFiles;
    if (Message.Msg != WM_DROPFILES && !Kw) {
        FOldWndProc(Message);
        return;
    }
    if (FEnabled) {
        try {
            FHelper->BeforeDrop();
            FHelper->FilesDropped(reinterpret_cast<HDROP>(Message.WParam));
            if (Kw) {
                const auto Packed = uint64_t(Message.LParam);
                FHelper->FDropPoint = vcl::TPoint(int(int32_t(Packed & 0xFFFFFFFFu)), int(int32_t(Packed >> 32)));
            }
            FHelper->DropFiles();
        } catch (const rtl::Exception&) {
            if (vcl::Application) vcl::Application->HandleException(this);
            return;
        }
    }
    Message.Result = Kw ? 1 : 0;
}

} // namespace base
