// controls/RgNotebook6.h: a notebook of the second family, a container of sheets of which exactly one,
// the active page, is visible; the page control builds its tabs on it.
#pragma once
#include "controls/RgCollection6.h"

namespace controls {

class TRgCustomNotebook6;

// One page of a notebook: fills the notebook and paints itself in its Color.
class TRgNotebookSheet6 : public TRgCollectionControl6 {
public:
    explicit TRgNotebookSheet6(rtl::TComponent* AOwner);

    // Stored and streamed only.
    bool PageVisible() const { return FPageVisible; }
    void SetPageVisible(bool Value) { FPageVisible = Value; }
    // The position in the parent's child list (every child counts, not only sheets); -1 without a parent.
    int Index() const;
    void SetIndex(int Value);

protected:
    void CreateParams(vcl::TCreateParams& Params) override;
    void Paint() override;

private:
    bool FPageVisible = true;
};

using TRgSheetClass = TRgNotebookSheet6* (*)(rtl::TComponent* AOwner);
using TRgActiveChangeEvent = rtl::TEvent<void(rtl::TObject* Sender, TRgNotebookSheet6* Sheet)>;
using TRgActiveChangeQueryEvent =
    rtl::TEvent<void(rtl::TObject* Sender, TRgNotebookSheet6* Sheet, bool& Accept)>;

class TRgCustomNotebook6 : public TRgCollectionControl6 {
public:
    explicit TRgCustomNotebook6(rtl::TComponent* AOwner);

    TRgNotebookSheet6* ActivePage() const { return FActivePage; }
    void SetActivePage(TRgNotebookSheet6* Value);
    int ActivePageIndex() const;
    // A position of the child list whose control is no sheet raises the invalid-cast error; positions
    // outside the child list are ignored.
    void SetActivePageIndex(int Value);
    // The child controls that are sheets.
    int Count() const;
    void MoveSheet(TRgNotebookSheet6* Sheet, int Index);

    TRgActiveChangeEvent OnActiveChange;
    TRgActiveChangeQueryEvent OnActiveChangeQuery;

    virtual TRgSheetClass GetTabSheetClass();

protected:
    // Called for the sheet that stops being active and for the one that becomes active.
    virtual void UpdateSheetTab(TRgNotebookSheet6* Sheet) { (void)Sheet; }
    // A sheet joins the notebook.
    virtual void AttachSheet(TRgNotebookSheet6* Sheet) { (void)Sheet; }
    virtual void DoActiveChange(TRgNotebookSheet6* Sheet) { OnActiveChange(this, Sheet); }
    virtual void DoActiveChangeQuery(rtl::TObject* Sender, TRgNotebookSheet6* Sheet, bool& Accept) {
        OnActiveChangeQuery(Sender, Sheet, Accept);
    }
    void CreateParams(vcl::TCreateParams& Params) override;
    void Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) override;
    void Paint() override;
    bool Designing() const { return ComponentState().Contains(rtl::csDesigning); }

private:
    TRgNotebookSheet6* FActivePage = nullptr;
};

} // namespace controls
