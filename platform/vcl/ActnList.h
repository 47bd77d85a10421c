// vcl/ActnList.h: actions and their links. An action holds what a command looks like (caption, hint,
// image, shortcut, checked, enabled, visible) and what it does (OnExecute); the controls, menu items and
// bar items linked to it follow its changes through their action links. Action lists group a form's
// actions, own their image list reference and dispatch the form's keyboard shortcuts.
#pragma once
#include "rtl/Classes.h"
#include "rtl/Event.h"
#include "rtl/System.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vcl {

class TCustomImageList;
class TChangeLink;
class TBasicAction;
class TCustomAction;
class TCustomActionList;

// A key with its modifiers: the virtual-key code in the low byte, the modifier bits above it.
using TShortCut = uint16_t;
constexpr TShortCut scNone = 0;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

using TImageIndex = int;
using THelpContext = int;

// The shortcut of a key message: the key code with Shift and Ctrl as the keyboard state says and Alt
// from the key data (bit 29, the context code), as the class library's key messages carry them.
TShortCut ShortCutFromKeyMessage(uint16_t CharCode, intptr_t KeyData);

// ---------------------------------------------------------------------------------------------------

// The link between an action and one client. The client's class derives its own link and overrides the
// members that copy an action property onto the client.
class TBasicActionLink : public rtl::TObject {
public:
    explicit TBasicActionLink(rtl::TObject* AClient);
    ~TBasicActionLink() override; // leaves the action

    // Runs the action on behalf of AComponent (kept in the action's ActionComponent meanwhile).
    virtual bool Execute(rtl::TComponent* AComponent = nullptr);
    virtual bool Update();

    TBasicAction* Action() const { return FAction; }
    virtual void SetAction(TBasicAction* Value);

    rtl::TNotifyEvent OnChange;

protected:
    friend class TBasicAction;
    virtual void AssignClient(rtl::TObject* AClient) { (void)AClient; }
    virtual void Change(); // the action changed: OnChange(action)
    virtual bool IsOnExecuteLinked() { return true; }
    virtual void SetOnExecute(const rtl::TNotifyEvent& Value) { (void)Value; }

    TBasicAction* FAction = nullptr;
};

// The link of a client that shows the action's properties. Is…Linked says whether the client still
// follows that property (the derived links compare the client's value with the action's); Set… copies
// a new value onto the client when it does. This base class links everything and copies nothing.
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;

    virtual bool IsAutoCheckLinked();
    virtual bool IsCaptionLinked();
    virtual bool IsCheckedLinked();
    virtual bool IsEnabledLinked();
    virtual bool IsGroupIndexLinked();
    virtual bool IsHelpContextLinked();
    virtual bool IsHintLinked();
    virtual bool IsImageIndexLinked();
    virtual bool IsShortCutLinked();
    virtual bool IsVisibleLinked();

    virtual void SetAutoCheck(bool Value) { (void)Value; }
    virtual void SetCaption(const rtl::String& Value) { (void)Value; }
    virtual void SetChecked(bool Value) { (void)Value; }
    virtual void SetEnabled(bool Value) { (void)Value; }
    virtual void SetGroupIndex(int Value) { (void)Value; }
    virtual void SetHelpContext(THelpContext Value) { (void)Value; }
    virtual void SetHint(const rtl::String& Value) { (void)Value; }
    virtual void SetImageIndex(TImageIndex Value) { (void)Value; }
    virtual void SetShortCut(TShortCut Value) { (void)Value; }
    virtual void SetVisible(bool Value) { (void)Value; }

    bool IsOnExecuteLinked() override;
    void SetOnExecute(const rtl::TNotifyEvent& Value) override { (void)Value; }

protected:
    // The linked action as a TCustomAction, or nullptr when it is a plainer action.
    TCustomAction* CustomAction() const;
};

// ---------------------------------------------------------------------------------------------------

class TBasicAction : public rtl::TComponent {
public:
    explicit TBasicAction(rtl::TComponent* AOwner);
    ~TBasicAction() override; // every link loses its action

    // Calls OnExecute; true when it was assigned.
    virtual bool Execute();
    // Calls OnUpdate; true when it was assigned.
    virtual bool Update();
    virtual bool HandlesTarget(rtl::TObject* Target) { (void)Target; return false; }
    virtual void ExecuteTarget(rtl::TObject* Target) { (void)Target; }
    virtual void UpdateTarget(rtl::TObject* Target) { (void)Target; }
    // What the key handling calls when the action's shortcut is pressed.
    virtual bool HandleShortCut() { return Execute(); }

    // The component that started the running Execute (a button, a menu item), or nullptr.
    rtl::TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(rtl::TComponent* Value);

    void RegisterChanges(TBasicActionLink* Value);
    void UnRegisterChanges(TBasicActionLink* Value);
    int ClientCount() const { return static_cast<int>(FClients.size()); }
    TBasicActionLink* Clients(int Index) const { return FClients.at(static_cast<size_t>(Index)); }

    const rtl::TNotifyEvent& OnExecute() const { return FOnExecute; }
    virtual void SetOnExecute(const rtl::TNotifyEvent& Value); // also given to the links that follow it
    rtl::TNotifyEvent OnUpdate;

protected:
    virtual void Change(); // tells every link (OnChange), then OnChange
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

    rtl::TNotifyEvent OnChange; // the action list's hook into its actions' changes
    std::vector<TBasicActionLink*> FClients;

private:
    rtl::TNotifyEvent FOnExecute;
    rtl::TComponent* FActionComponent = nullptr;
};

// An action that lives in an action list.
class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(rtl::TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override; // leaves its list

    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    const rtl::String& Category() const { return FCategory; }
    void SetCategory(const rtl::String& Value);
    int Index() const; // position in the list, -1 outside one
    void SetIndex(int Value);

    bool HasParent() const override { return FActionList != nullptr; }
    rtl::TComponent* GetParentComponent() const override;
    void SetParentComponent(rtl::TComponent* AParent) override;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
    rtl::String FCategory;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(rtl::TComponent* AOwner);

    // Nothing while the list is suspended. Otherwise Update first; a disabled action does not run.
    // An enabled AutoCheck action toggles Checked (a checked radio action stays checked), then the
    // list's OnExecute, the application's handler, the action's OnExecute and the application's
    // action message are asked in that order until one handles it. True when one did.
    bool Execute() override;
    // The list's OnUpdate, the application's handler, OnUpdate, the application's message.
    bool Update() override;
    // OnHint may change the text or refuse to show it; true when it is to be shown.
    virtual bool DoHint(rtl::String& HintStr);

    bool AutoCheck() const { return FAutoCheck; }
    void SetAutoCheck(bool Value);
    const rtl::String& Caption() const { return FCaption; }
    void SetCaption(const rtl::String& Value);
    bool Checked() const { return FChecked; }
    // Checking one action of a group (GroupIndex > 0) unchecks the others of its list.
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(THelpContext Value);
    const rtl::String& Hint() const { return FHint; }
    void SetHint(const rtl::String& Value);
    TImageIndex ImageIndex() const { return FImageIndex; }
    void SetImageIndex(TImageIndex Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    // The list's Images, or nullptr.
    TCustomImageList* Images() const;

    void SetOnExecute(const rtl::TNotifyEvent& Value) override;

    rtl::TEvent<void(rtl::String& HintStr, bool& CanShow)> OnHint;

protected:
    template <class F> void ForEachActionLink(F&& Apply);

private:
    bool FAutoCheck = false;
    rtl::String FCaption;
    bool FChecked = false;
    bool FChecking = false;
    bool FEnabled = true;
    int FGroupIndex = 0;
    THelpContext FHelpContext = 0;
    rtl::String FHint;
    TImageIndex FImageIndex = -1;
    TShortCut FShortCut = scNone;
    bool FVisible = true;
};

class TAction : public TCustomAction {
public:
    explicit TAction(rtl::TComponent* AOwner) : TCustomAction(AOwner) {}
};

// ---------------------------------------------------------------------------------------------------

enum TActionListState { asNormal, asSuspended, asSuspendedEnabled };

using TActionEvent = rtl::TEvent<void(TBasicAction* Action, bool& Handled)>;

class TCustomActionList : public rtl::TComponent {
public:
    explicit TCustomActionList(rtl::TComponent* AOwner);
    ~TCustomActionList() override; // frees the actions still in the list

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TContainedAction* Actions(int Index) const; // EListError out of range
    TContainedAction* operator[](int Index) const { return Actions(Index); }
    auto begin() const { return FActions.begin(); }
    auto end() const { return FActions.end(); }
    void AddAction(TContainedAction* Action);
    void RemoveAction(TContainedAction* Action);

    // OnExecute / OnUpdate of the list: true when the handler said it handled the action.
    virtual bool ExecuteAction(TBasicAction* Action);
    virtual bool UpdateAction(TBasicAction* Action);

    // The key handling's question: does an action of this list have this shortcut? The first one that
    // has it is executed (once); the answer is whether it ran, so a disabled action lets the key go on.
    virtual bool IsShortCut(TShortCut ShortCut);

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TActionListState State() const { return FState; }
    void SetState(TActionListState Value);

    rtl::TNotifyEvent OnChange;
    TActionEvent OnExecute;
    TActionEvent OnUpdate;
    rtl::TNotifyEvent OnStateChange;

    void GetChildren(const rtl::TGetChildProc& Proc, rtl::TComponent* Root) override;
    void SetChildOrder(rtl::TComponent* Child, int Order) override;

protected:
    virtual void Change(); // OnChange, then every action's links (an image list or state change)
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;

private:
    friend class TContainedAction;
    void ImageListChange(rtl::TObject* Sender);

    std::vector<TContainedAction*> FActions;
    TCustomImageList* FImages = nullptr;
    std::unique_ptr<TChangeLink> FImageChangeLink;
    TActionListState FState = asNormal;
};

class TActionList : public TCustomActionList {
public:
    explicit TActionList(rtl::TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// The form's action manager: an action list with the same images, iteration and shortcuts.
class TActionManager : public TCustomActionList {
public:
    explicit TActionManager(rtl::TComponent* AOwner) : TCustomActionList(AOwner) {}
};

// Offers a shortcut to the action lists Root owns, in creation order, until one runs an action: a
// form's share of the key handling. True when an action ran.
bool DispatchShortCut(rtl::TComponent* Root, TShortCut ShortCut);

// ---------------------------------------------------------------------------------------------------

// The application's part in running and updating actions, which the application object fills in:
// its own handlers (asked after the action list) and its action message to the active form and its
// controls (asked last).
struct TActionDispatch {
    rtl::TEvent<bool(TBasicAction* Action)> ExecuteAction;
    rtl::TEvent<bool(TBasicAction* Action)> UpdateAction;
    rtl::TEvent<bool(TBasicAction* Action)> ExecuteMessage;
    rtl::TEvent<bool(TBasicAction* Action)> UpdateMessage;
};
TActionDispatch& ActionDispatch();

} // namespace vcl
