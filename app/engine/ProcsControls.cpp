#include "app/engine/ProcsControls.h"

#include "win/shell32/shellapi.h"

namespace engine {

namespace {
void SetCaptionAndRepaint(vcl::TControl* Control, const String& Text) {
    Control->SetCaption(Text);
    Control->Repaint();
}
} // namespace

void SetControlCaption(vcl::TLabel* Control, const String& Text) { SetCaptionAndRepaint(Control, Text); }
void SetControlCaption(components::TKwpLabel* Control, const String& Text) { SetCaptionAndRepaint(Control, Text); }
void SetControlCaption(components::TKwpLinkLabel* Control, const String& Text) { SetCaptionAndRepaint(Control, Text); }
void SetControlCaption(components::TKwpPngButton* Control, const String& Text) { SetCaptionAndRepaint(Control, Text); }
void SetControlCaption(vcl::TCheckBox* Control, const String& Text) { SetCaptionAndRepaint(Control, Text); }
void SetControlCaption(vcl::TGroupBox* Control, const String& Text) { SetCaptionAndRepaint(Control, Text); }
void SetControlCaption(components::TFlatGroupBox* Control, const String& Text) { SetCaptionAndRepaint(Control, Text); }
void SetControlCaption(vcl::TLabeledEdit* Control, const String& Text) {
    SetCaptionAndRepaint(Control->EditLabel(), Text);
}
void SetControlCaption(components::TPlusComboBox* Control, const String& Text) {
    Control->SetLabelCaption(Text);
    if (Control->Label()) Control->Label()->Repaint();
}

void SetControlCaption(vcl::TAction* Action, const String& Text, bool SetHint) {
    Action->SetCaption(Text);
    if (SetHint) Action->SetHint(Text);
}

void ShellOpen(const String& FileName, HWND OwnerWindow) {
    const std::u16string file = FileName.toStdU16String();
    ShellExecuteW(OwnerWindow, u"open", file.c_str(), nullptr, nullptr, SW_SHOW);
}

bool IsValidGridRow(grid::TReportGrid* Grid, int Row) { return Row >= 0 && Row < Grid->RowCount(); }

} // namespace engine
