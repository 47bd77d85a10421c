// base/DropFiles.h: files and folders dropped from the desktop onto a form, listed by options, a filter
// component and an event, without deriving a new form class.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/System.h"
#include "vcl/Controls.h"
#include "vcl/Forms.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace base {

using rtl::String;

// A filter component: Accept decides whether a dropped path is listed.
class TKwFileFilter : public rtl::TComponent {
public:
    using rtl::TComponent::TComponent;
    virtual bool Accept(const String& FilePath, bool IsFolder) = 0;
};

enum TKwDropFilesOption { dfoIncFolders, dfoIncFiles, dfoRecurseFolders };
using TKwDropFilesOptions = rtl::TSet<TKwDropFilesOption>;

using TKwDroppedFileFilter = rtl::TEvent<void(rtl::TObject* Sender, const String& FileName, bool IsFolder, bool& Accept)>;
using TKwAfterDropEvent = rtl::TEvent<void(rtl::TObject* Sender, HDROP Drop)>;

// The message that delivers a drop like WM_DROPFILES (wParam: the drop), with the drop point in
// lParam (X in the low 32 bits, Y in the high 32 bits) instead of the one the drop holds.
UINT KwDropFilesMessage();

class TKwSubClassedDropFiles;

// The drop logic: the list of paths (an entry's object is 1 for a folder), the options, the filter.
class TKwAbstractDropFilesHelper : public rtl::TObject {
public:
    explicit TKwAbstractDropFilesHelper(TKwSubClassedDropFiles* Comp);
    ~TKwAbstractDropFilesHelper() override;

    // The window registered for drops: the drop control's, or 0.
    virtual HWND GetDropWindow();
    // The windowed control the drops land on.
    virtual vcl::TWinControl* DropWinControl() = 0;
    virtual void DropFiles();
    virtual void BeforeDrop();

    // Registers (or unregisters) the drop window with the desktop, when it exists.
    void AcceptFiles(bool Flag);
    // Lists the paths of a drop and releases it.
    void FilesDropped(HDROP hDrop);
    // The deepest visible control under the drop point; none when the point is outside the client area.
    vcl::TControl* GetDropControl();

    rtl::TStringList* FileList() const { return FFileList.get(); }
    bool IsFolder(int Index) const;

    TKwSubClassedDropFiles* FComp;
    bool FForeGroundOnDrop = false;
    rtl::TNotifyEvent FOnDropFiles;
    rtl::TNotifyEvent FOnBeforeDrop;
    TKwAfterDropEvent FOnAfterDrop;
    TKwDroppedFileFilter FOnFileFilter;
    TKwFileFilter* FFilterComp = nullptr;
    vcl::TPoint FDropPoint{0, 0};
    TKwDropFilesOptions FOptions{dfoIncFolders, dfoIncFiles};

private:
    bool Accepted(const String& Path, bool IsFolder);
    // Walks one path; Ancestors are the folders (device, inode) on the way down, never entered twice.
    void AddPath(const String& Path, std::vector<std::pair<uint64_t, uint64_t>>& Ancestors);

    std::unique_ptr<rtl::TStringList> FFileList;
    HWND FRegistered = nullptr; // the window DragAcceptFiles was given, so that a new one is registered too
    friend class TKwFormDropFiles;
};

// The drop control is the form that owns the component.
class TKwFormDropFilesHelper : public TKwAbstractDropFilesHelper {
public:
    using TKwAbstractDropFilesHelper::TKwAbstractDropFilesHelper;
    vcl::TWinControl* DropWinControl() override;
};

// The published face: Enabled, Filter, ForegroundOnDrop, Options and the events; the last drop's list.
class TKwSubClassedDropFiles : public rtl::TComponent {
public:
    explicit TKwSubClassedDropFiles(rtl::TComponent* AOwner);
    ~TKwSubClassedDropFiles() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TKwFileFilter* Filter() const { return FHelper->FFilterComp; }
    void SetFilter(TKwFileFilter* Value);
    bool ForegroundOnDrop() const { return FHelper->FForeGroundOnDrop; }
    void SetForegroundOnDrop(bool Value) { FHelper->FForeGroundOnDrop = Value; }
    TKwDropFilesOptions Options() const { return FHelper->FOptions; }
    void SetOptions(TKwDropFilesOptions Value) { FHelper->FOptions = Value; }
    rtl::TNotifyEvent& OnBeforeDrop() { return FHelper->FOnBeforeDrop; }
    rtl::TNotifyEvent& OnDropFiles() { return FHelper->FOnDropFiles; }
    TKwDroppedFileFilter& OnFileFilter() { return FHelper->FOnFileFilter; }

    int Count() const { return FHelper->FileList()->Count(); }
    String Files(int Idx) const { return FHelper->FileList()->Strings(Idx); }
    bool IsFolder(int Idx) const { return FHelper->IsFolder(Idx); }
    String FileName() const { return Count() > 0 ? Files(0) : String(); }
    vcl::TPoint DropPoint() const { return FHelper->FDropPoint; }
    vcl::TControl* DropControl() const { return FHelper->GetDropControl(); }

protected:
    virtual TKwAbstractDropFilesHelper* CreateHelper() = 0;
    // C++ cannot call CreateHelper from this constructor: the derived constructor calls this.
    void InitHelper();
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

    std::unique_ptr<TKwAbstractDropFilesHelper> FHelper;
    bool FEnabled = true;
};

class TKwFormDropFiles : public TKwSubClassedDropFiles {
public:
    // Raises rtl::Exception when the owner is not a form, or when the form already owns one.
    explicit TKwFormDropFiles(rtl::TComponent* AOwner);
    ~TKwFormDropFiles() override;

protected:
    TKwAbstractDropFilesHelper* CreateHelper() override;
    virtual void FormWndProc(vcl::TMessage& Message);

private:
    static rtl::TComponent* CheckedOwner(rtl::TComponent* AOwner);

    vcl::TWndMethod FOldWndProc;
    vcl::TWndMethod FNewWndProc;
    vcl::TCustomForm* FForm = nullptr; // kept: the owner lets go of its components before freeing them
};

} // namespace base
