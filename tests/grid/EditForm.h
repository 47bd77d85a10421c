// tests/grid/EditForm.h: a form holding one editor of the grid, with a button beside it that can take
// the focus away; characters go to the editor as the window would receive them.
#pragma once
#include "grid/NumberEdit.h"
#include "tests/support/windows/FormHarness.h"
#include "vcl/Forms.h"
#include "win/uxtheme/uxtheme.h"

namespace grid_test {

template <class E> class TEditForm : public vcl::TForm {
public:
    explicit TEditForm(rtl::TComponent* AOwner) : vcl::TForm(AOwner) {
        BeginLoading();
        SetPosition(vcl::poDesigned);
        SetBounds(100, 100, 300, 200);
        Editor = new E(this);
        Editor->SetBounds(10, 10, 150, 22);
        Editor->SetParent(this);
        Other = new vcl::TButton(this);
        Other->SetBounds(10, 100, 75, 25);
        Other->SetParent(this);
        EndLoading();
    }
    E* Editor;
    vcl::TButton* Other;
};

// Sets the text and puts the selection (or the caret) where a case wants it.
inline void Select(grid::TRgCustomEdit* E, int Start, int Length = 0) {
    E->SetSelStart(Start);
    E->SetSelLength(Length);
}

// One character as the window hands it to the control (WM_CHAR), filters included.
inline void Char(grid::TRgCustomEdit* E, char16_t C) { E->Perform(WM_CHAR, WPARAM(C), LPARAM(1)); }

// The platform's visual styles on for a scope (off again even when an assertion leaves early).
struct TVisualStylesOn {
    TVisualStylesOn() { TwSetThemeActive(TRUE); }
    ~TVisualStylesOn() { TwSetThemeActive(FALSE); }
};

// A colour as a grabbed window image holds it (0xRRGGBB).
inline QRgb ToRgb(vcl::TColor C) { return ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF); }

} // namespace grid_test
