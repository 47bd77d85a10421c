// vcl/Forms.h: forms (top-level windows of the library with their focus, modal loop and closing
// rules), the application object with its message loop, hints and exception handling, the screen with
// its monitors, fonts and cursors, and the hint window.
#pragma once
#include "vcl/Controls.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace vcl {

class TApplication;
class TScreen;
class TMonitor;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = rtl::TSet<TBorderIcon>;
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TDefaultMonitor { dmDesktop, dmPrimary, dmMainForm, dmActiveForm };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = rtl::TSet<TFormStateItem>;
enum TShowAction { saIgnore, saRestore, saMinimize, saMaximize };

using TCloseEvent = rtl::TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = rtl::TEvent<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = rtl::TEvent<void(TWMKey& Msg, bool& Handled)>;
using TDropFilesEvent = rtl::TEvent<void(TObject* Sender, const QStringList& Files, TPoint Pos)>;

// ---- forms ----
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    // A form that builds itself in code; the same as the constructor here (no form file is read).
    static TCustomForm* CreateNew(TComponent* AOwner);
    ~TCustomForm() override;

    // Runs once after construction (OnCreate). The application's CreateForm and the first Show call it.
    virtual void AfterConstruction();

    void Show();
    void Hide();
    void Close();
    bool CloseQuery();
    virtual TModalResult ShowModal();
    void Release();                         // frees the form once the message in progress is done
    void SetFocus() override;
    bool CanFocus() override { return FVisible && FEnabled; }
    void FocusControl(TWinControl* Control);
    void DefocusControl(TWinControl* Control, bool Removing);
    bool SetFocusedControl(TWinControl* Control);
    // Offers a key to the form's shortcuts: OnShortCut, then the action lists it owns. True when one
    // of them took it.
    virtual bool IsShortCut(TWMKey& Message);
    bool Active() const { return FActive; }

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    TWinControl* FocusedControl() const { return FFocusedControl; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    TFormState FormState() const { return FFormState; }

    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TDefaultMonitor DefaultMonitor() const { return FDefaultMonitor; }
    void SetDefaultMonitor(TDefaultMonitor Value) { FDefaultMonitor = Value; }
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool Value) { FKeyPreview = Value; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Value) { FScaled = Value; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    bool ScreenSnap() const { return FScreenSnap; }
    void SetScreenSnap(bool Value) { FScreenSnap = Value; }
    bool AlphaBlend() const { return FAlphaBlend; }
    void SetAlphaBlend(bool Value);
    uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
    void SetAlphaBlendValue(uint8_t Value);
    TIcon* Icon() const { return FIcon.get(); }
    void SetIcon(TIcon* Value);
    // Files dropped from the desktop reach OnDropFiles while this is on.
    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool Value);
    TMonitor* Monitor();
    TCanvas* Canvas() const { return FCanvas.get(); }
    TComponent* Menu() const { return FMenu; }
    // A main menu shows as the window's menu bar; its commands, pop-ups and owner-drawn items come back
    // through the form's messages.
    void SetMenu(TComponent* Value);

    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;
    TDropFilesEvent OnDropFiles;

    // The wheel goes first to the form, which offers it to the focused control.
    void MouseWheelHandler(TMessage& Message) override;
    bool DoKeyDown(TWMKey& Message) { return TWinControl::DoKeyDown(Message); }
    bool DoKeyUp(TWMKey& Message) { return TWinControl::DoKeyUp(Message); }
    bool DoKeyPress(TWMKey& Message) { return TWinControl::DoKeyPress(Message); }

protected:
    friend class TApplication;
    friend class TScreen;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    bool DispatchToMenu(TMessage& Message);
    void Loaded() override;
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;
    bool IsFormLike() const override { return FParent == nullptr; }
    void Paint() override { OnPaint(this); }
    void PaintWindow(HDC DC) override;
    void WMPaint(TWMPaint& Message) override;
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void CMShowingChanged(TMessage& Message) override;
    void CMDialogKey(TCMDialogKey& Message) override;
    virtual void CMActivate(TMessage& Message);
    virtual void CMDeactivate(TMessage& Message);
    virtual void CMRelease(TMessage& Message);
    // CM_ACTIONEXECUTE / CM_ACTIONUPDATE (LParam: the action): the active control, then the form.
    virtual void CMActionExecute(TMessage& Message);
    virtual void CMActionUpdate(TMessage& Message);
    virtual void WMActivate(TWMActivate& Message);
    virtual void WMClose(TMessage& Message);
    virtual void WMDropFiles(TWMDropFiles& Message);
    virtual void WMNextDlgCtl(TMessage& Message);
    virtual void WMSysCommand(TWMSysCommand& Message);
    void WMSize(TWMSize& Message) override;
    void SetActive(bool Value);
    void SetWindowFocus();
    void CloseModal();
    void MoveToPosition();

    TFormState FFormState;

private:
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TModalResult FModalResult = mrNone;
    TFormStyle FFormStyle = fsNormal;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TWindowState FWindowState = wsNormal;
    TPosition FPosition = poDefaultPosOnly;
    TDefaultMonitor FDefaultMonitor = dmActiveForm;
    bool FKeyPreview = false;
    bool FActive = false;
    bool FScaled = true;
    bool FScreenSnap = false;
    bool FAlphaBlend = false;
    uint8_t FAlphaBlendValue = 255;
    bool FAcceptFiles = false;
    bool FCreated = false;      // OnCreate has run
    bool FPositioned = false;   // Position was applied at the first show
    int FPixelsPerInch = 96;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TControlCanvas> FCanvas;
    TComponent* FMenu = nullptr;
    HWND FModalActiveWindow = nullptr;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

// ---- the hint window ----
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    // The size the hint needs, at the top-left corner (0,0); MaxWidth limits its width.
    virtual TRect CalcHintRect(int MaxWidth, const String& AHint, void* AData);
    virtual void ActivateHint(TRect Rect, const String& AHint);
    virtual void ActivateHintData(const TRect& Rect, const String& AHint, void* AData);
    void ReleaseHandle() { DestroyHandle(); }
    bool Active() const { return FActive; }

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    bool IsFormLike() const override { return true; }
    void Dispatch(TMessage& Message) override;

private:
    bool FActive = false;
};
using THintWindowClass = THintWindow* (*)(TComponent* AOwner);
// The class of hint window the application makes (a factory standing for the class reference).
extern THintWindowClass HintWindowClass;
template <class T> THintWindow* MakeHintWindow(TComponent* AOwner) { return new T(AOwner); }

// ---- monitors and the screen ----
class TMonitor : public TObject {
public:
    HMONITOR Handle() const { return FHandle; }
    int MonitorNum() const { return FMonitorNum; }
    TRect BoundsRect() const;
    TRect WorkareaRect() const;
    int Left() const { return BoundsRect().Left; }
    int Top() const { return BoundsRect().Top; }
    int Width() const { return BoundsRect().Width(); }
    int Height() const { return BoundsRect().Height(); }
    bool Primary() const;
    int PixelsPerInch() const;

private:
    friend class TScreen;
    HMONITOR FHandle = nullptr;
    int FMonitorNum = 0;
};

enum TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    int FormCount() const { return int(FForms.size()); }
    TCustomForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
    int CustomFormCount() const { return FormCount(); }
    TCustomForm* CustomForms(int Index) const { return Forms(Index); }
    TCustomForm* ActiveForm() const { return FActiveForm; }
    TCustomForm* ActiveCustomForm() const { return FActiveForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    TCustomForm* FocusedForm() const { return FFocusedForm; }

    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    TRect DesktopRect() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int MonitorCount();
    TMonitor* Monitors(int Index);
    TMonitor* PrimaryMonitor();
    TMonitor* MonitorFromPoint(const TPoint& Point, TMonitorDefaultTo Default = mdNearest);
    TMonitor* MonitorFromRect(const TRect& Rect, TMonitorDefaultTo Default = mdNearest);
    TMonitor* MonitorFromWindow(HWND Handle, TMonitorDefaultTo Default = mdNearest);
    int PixelsPerInch() const;

    // The installed font families, sorted.
    rtl::TStrings* Fonts();
    TFont* HintFont() const { EnsureFonts(); return FHintFont.get(); }
    TFont* MenuFont() const { EnsureFonts(); return FMenuFont.get(); }
    TFont* IconFont() const { EnsureFonts(); return FIconFont.get(); }
    TFont* MessageFont() const { EnsureFonts(); return FMessageFont.get(); }
    void ResetFonts();  // from the system's non-client metrics

    // Cursors by number: the standard ones (negative) are loaded on first use; a program adds its own.
    HCURSOR Cursors(TCursor Index);
    void SetCursors(TCursor Index, HCURSOR Handle);
    // A cursor over every window of the program (crDefault: each control's own).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

private:
    friend class TCustomForm;
    friend class TApplication;
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    void SetActiveForm(TCustomForm* Form);
    void SetActiveControl(TWinControl* Control);
    void RefreshMonitors();
    void EnsureFonts() const;
    TMonitor* FindMonitor(HMONITOR Handle);

    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TCustomForm* FFocusedForm = nullptr;
    std::vector<TCustomForm*> FSaveFocusedList;
    std::vector<std::unique_ptr<TMonitor>> FMonitors;
    std::unique_ptr<rtl::TStringList> FFonts;
    std::unique_ptr<TFont> FHintFont, FMenuFont, FIconFont, FMessageFont;
    std::vector<std::pair<TCursor, HCURSOR>> FCursors;
    TCursor FCursor = crDefault;
};

// ---- the application ----
using TExceptionEvent = rtl::TEvent<void(TObject* Sender, rtl::Exception* E)>;
using TMessageEvent = rtl::TEvent<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = rtl::TEvent<void(TObject* Sender, bool& Done)>;
using TShowHintEvent = rtl::TEvent<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    void Initialize() {}
    // Creates a form owned by the application; the first one becomes the main form.
    template <class T> void CreateForm(T*& Reference) {
        T* form = new T(this);
        Reference = form;
        if (!FMainForm) FMainForm = form;
        form->AfterConstruction();
    }
    void Run();
    void ProcessMessages();
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminate; }
    bool Running() const { return FRunning; }
    // Shows (or hands to OnException) the exception being handled; the caller's loop goes on.
    void HandleException(TObject* Sender);
    void ShowException(rtl::Exception* E);
    void Minimize();
    void Restore();
    void BringToFront();
    int MessageBox(const String& Text, const String& Caption, UINT Flags = MB_OK);
    bool IsShortCut(TWMKey& Message);
    // Hooks on the application's window: each sees its messages first (CM_APPKEYDOWN,
    // CM_APPSYSCOMMAND...) and ends their handling by returning true.
    using TWindowHook = rtl::TEvent<bool(TMessage& Message)>;
    void HookMainWindow(const TWindowHook& Hook);
    void UnhookMainWindow(const TWindowHook& Hook);
    // Updates the actions of every visible form's controls (what idle time does).
    void UpdateActions();

    HWND Handle();
    TCustomForm* MainForm() const { return FMainForm; }
    void SetMainForm(TCustomForm* Value) { FMainForm = Value; }
    bool MainFormOnTaskbar() const { return FMainFormOnTaskbar; }
    void SetMainFormOnTaskbar(bool Value) { FMainFormOnTaskbar = Value; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool Value) { FShowMainForm = Value; }
    String Title() const;  // the program's file name without extension until one is set
    void SetTitle(const String& Value);
    TIcon* Icon() const { return FIcon.get(); }
    String ExeName() const;
    // Help goes to OnHelp (there is no help viewer on this platform): true when the handler took it.
    bool HelpCommand(WORD Command, intptr_t Data);
    bool HelpContext(int Context) { return HelpCommand(0x0001 /* HELP_CONTEXT */, Context); }
    bool HelpKeyword(const String& Keyword);

    // Hints.
    String Hint() const { return FHint; }
    void SetHint(const String& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor Value) { FHintColor = Value; }
    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }
    bool HintShortCuts() const { return FHintShortCuts; }
    void SetHintShortCuts(bool Value) { FHintShortCuts = Value; }
    void CancelHint();
    void ActivateHint(const TPoint& CursorPos);
    void HintMouseMessage(TControl* Control, TMessage& Message);
    THintWindow* HintWindow() const { return FHintWindow; }  // the one showing or shown last, or nullptr

    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
    TShowHintEvent OnShowHint;
    TNotifyEvent OnMinimize;
    TNotifyEvent OnRestore;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TShortCutEvent OnShortCut;
    rtl::TEvent<bool(WORD Command, intptr_t Data, bool& CallHelp)> OnHelp;

protected:
    void Notification(TComponent* AComponent, rtl::TOperation Operation) override;

private:
    friend class TCustomForm;
    bool ProcessMessage(MSG& Msg);
    void Idle(const MSG& Msg);
    bool IsKeyMsg(MSG& Msg);
    bool IsHintMsg(MSG& Msg);
    void WndProc(TMessage& Message);
    void StartHintTimer(int Pause, int Mode);
    void StopHintTimer();
    void ControlDestroyed(TControl* Control);

    HWND FHandle = nullptr;
    TCustomForm* FMainForm = nullptr;
    bool FTerminate = false;
    bool FRunning = false;
    bool FMainFormOnTaskbar = true;
    bool FShowMainForm = true;
    String FTitle;
    std::unique_ptr<TIcon> FIcon;
    String FHint;
    bool FShowHint = true;
    TColor FHintColor = clInfoBk;
    int FHintPause = 500;
    int FHintShortPause = 50;
    int FHintHidePause = 2500;
    bool FHintShortCuts = true;
    TControl* FHintControl = nullptr;
    TRect FHintCursorRect;
    bool FHintActive = false;
    int FHintTimerMode = 0;
    THintWindow* FHintWindow = nullptr;
    THintWindowClass FHintWindowClass = nullptr;
    TControl* FMouseControl = nullptr;
    std::vector<TWindowHook> FWindowHooks;
};

extern TApplication* Application;
extern TScreen* Screen;

// The part of a hint before "|" (the short hint), and after it (the long hint).
String GetShortHint(const String& Hint);
String GetLongHint(const String& Hint);

} // namespace vcl
