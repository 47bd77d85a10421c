// app/engine/ProcsControls.h: the shared routines that touch controls or the desktop: one caption setter
// overloaded for every control kind the windows label, so a language change reads the same everywhere,
// opening a file or address, and the grid's row check.
#pragma once
#include "app/engine/Types.h"
#include "components/FlatGroupBox.h"
#include "components/KwpLabel.h"
#include "components/KwpLinkLabel.h"
#include "components/KwpPngButton.h"
#include "components/PlusCombo.h"
#include "grid/GridReport.h"
#include "vcl/ActnList.h"
#include "vcl/ExtCtrls.h"
#include "vcl/StdCtrls.h"

namespace engine {

// Each sets the caption and repaints the control at once (a language change may come in the middle of a
// run, when the window is not painted again until the next message pump).
void SetControlCaption(vcl::TLabel* Control, const String& Text);
void SetControlCaption(components::TKwpLabel* Control, const String& Text);
void SetControlCaption(components::TKwpLinkLabel* Control, const String& Text);
void SetControlCaption(components::TKwpPngButton* Control, const String& Text);
void SetControlCaption(vcl::TCheckBox* Control, const String& Text);
void SetControlCaption(vcl::TGroupBox* Control, const String& Text);
void SetControlCaption(components::TFlatGroupBox* Control, const String& Text);
// The edit's own label takes the text.
void SetControlCaption(vcl::TLabeledEdit* Control, const String& Text);
// The combo box's attached label takes the text.
void SetControlCaption(components::TPlusComboBox* Control, const String& Text);
// An action is not painted; with SetHint the hint takes the text too.
void SetControlCaption(vcl::TAction* Action, const String& Text, bool SetHint = false);

// Lets the desktop open the file or address ("open", shown normally). Whether it could is not reported.
void ShellOpen(const String& FileName, HWND OwnerWindow);

// 0 <= Row < the grid's row count.
bool IsValidGridRow(grid::TReportGrid* Grid, int Row);

} // namespace engine
