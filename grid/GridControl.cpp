// grid/GridControl.cpp: construction, property setters, update counting, the row operations of the
// base class, column notifications and the grid's text.
#include "grid/GridControl.h"

namespace grid {

using namespace vcl;

// ---- what columns and cells ask of their grid ----------------------------------------------------------

class TGridHost : public IRgGridHost {
public:
    explicit TGridHost(TRgCustomGridControl* Grid) : G(Grid) {}
    TRgCustomGridControl* const G;

    bool IsLoading() const override { return G->ComponentState().Contains(rtl::csLoading); }
    bool IsDestroying() const override { return G->ComponentState().Contains(rtl::csDestroying); }
    bool IsDesigning() const override { return false; }
    vcl::TFont* Font() override { return G->Font(); }
    bool ShowIndicator() const override { return G->Options().Contains(goIndicator); }
    bool IsReportStyle() const override { return G->GridStyle() == gsReport; }
    int ClientWidth() const override { return G->TControl::ClientWidth(); }
    int ClientHeight() const override { return G->TControl::ClientHeight(); }
    int HeaderSize() const override { return G->HeaderSize(); }
    int HorzScrollPos() const override { return G->HorzPosition(); }
    TRect GetAreaRect(TGridArea Area) const override {
        switch (Area) {
        case gaBody: return G->GetBodyRect();
        case gaFooter: return G->GetFooterRect();
        case gaHeader: return G->GetHeaderRect();
        case gaIndicator: return G->GetIndicatorRect();
        case gaInput: return G->GetInputRect();
        default: return {};
        }
    }
    int FocusedColumn() const override { return G->FocusedColumn() ? G->FocusedColumn()->Index() : -1; }
    int HoverColumn() const override { return G->HoverColumn() ? G->HoverColumn()->Index() : -1; }
    int SelectedColumn() const override { return G->SelectedColumn(); }
    void RefreshColumn(TRgCustomColumn* Column, TGridArea Area) override { G->RefreshColumn(Column, Area); }
    TColor GetActualCellColor(int ACol, int ARow) override { return G->GetActualCellColor(ACol, ARow); }
    TColor GetActualCellFontColor(int ACol, int ARow) override { return G->GetActualCellFontColor(ACol, ARow); }
    String GetDrawText(int ACol, int ARow) override { return G->GetDrawText(ACol, ARow); }
    bool IsCellHighlighted(int ACol, int ARow) override { return G->IsCellHighlighted(ACol, ARow); }
    bool CanCalculateRow(int Index) override { return G->CanCalculateRow(Index); }
    void DoColumnFooterValue(int ACol, double& Value) override {
        if (G->OnColumnFooterValue) G->OnColumnFooterValue(G, ACol, Value);
    }
    void DoFooterCalculate(int ACol, double& Value) override {
        if (G->OnFooterCalculate) G->OnFooterCalculate(G, ACol, Value);
    }
};

TRgCustomGridControl* GridOf(IRgGridHost* Host) {
    auto* H = dynamic_cast<TGridHost*>(Host);
    return H ? H->G : nullptr;
}

// ---- construction --------------------------------------------------------------------------------------

TRgCustomGridControl::TRgCustomGridControl(rtl::TComponent* AOwner) : TRgScrollControl(AOwner) {
    FHost = std::make_unique<TGridHost>(this);
    FColumns = CreateColumns();
    FColumns->OnRepaint = [this](TObject*, TColumnsOperation Op, int, int) { ColumnsRepaint(int(Op)); };
    FColumns->OnColumnChange = [this](TObject*, TRgCustomColumn* C, TColumnChangeKind Kind, int Param) {
        ColumnChanged(C, Kind, Param);
    };
    FColumns->OnChange = [this](TObject*, TColumnsOperation Op, int Value1, int Value2) {
        ColumnsChanged(Op, Value1, Value2);
        // A column added at the end reports no index of its own: it is the last one. A move adds nothing.
        if (Op == opAdd && Value1 == -1) Value1 = FColumns->Count() - 1;
        if (Value1 == -1 || Op == opMove || ComponentState().Contains(rtl::csDestroying)) return;
        DoDataChange(Op == opDelete ? dcDeleteColumn : Op == opInsert ? dcInsertColumn : dcAddColumn, Value1);
    };
    FDefaultStyleDisplay = std::make_unique<TDefaultStyleDisplay>(this);
    FFlatStyleDisplay = std::make_unique<TFlatStyleDisplay>(this);
    FOffice2007StyleDisplay = std::make_unique<TOffice2007StyleDisplay>(this);
    FOffice2010StyleDisplay = std::make_unique<TOffice2010StyleDisplay>(this);
    FOldStyleDisplay = std::make_unique<TOldStyleDisplay>(this);
    FOutlookStyleDisplay = std::make_unique<TOutlookStyleDisplay>(this);
    FVistaStyleDisplay = std::make_unique<TVistaStyleDisplay>(this);
    FCurrentStyleDisplay = FDefaultStyleDisplay.get();
    FCurrentStyleDisplay->SetCanvas(Canvas());
    SetTabStop(true);
    SetBounds(Left(), Top(), 250, 150);
}

TKwGridColors TRgCustomGridControl::KwColors() const {
    TKwGridColors C;
    C.CustomizationEnabled = FKW_CustomizationEnabled;
    C.IndicatorHotBackground = FKW_IndicatorHotBackground;
    C.IndicatorHotTriangle = FKW_IndicatorHotTriangle;
    C.FooterBorder = FKW_FooterBorder;
    C.FooterAreaSplitter = FKW_FooterAreaSplitter;
    C.HeaderGrid = FKW_HeaderGrid;
    C.IndicatorColumnBackground = FKW_IndicatorColumnBackground;
    C.IndicatorColumnGrid = FKW_IndicatorColumnGrid;
    C.IndicatorColumnGridSelected = FKW_IndicatorColumnGridSelected;
    C.CornerBoxTop = FKW_CornerBoxTop;
    C.CornerBoxTopBorder = FKW_CornerBoxTopBorder;
    C.CornerBoxBottom = FKW_CornerBoxBottom;
    C.CornerBoxBottomBorder = FKW_CornerBoxBottomBorder;
    C.DontDrawHeaderVertGridOnLastCol = FKW_DontDrawHeaderVertGridOnLastCol;
    return C;
}

TRgCustomGridControl::~TRgCustomGridControl() {
    CloseHeaderTheme();
    // The columns leave without telling a grid that is going.
    FColumns->OnChange = nullptr;
    FColumns->OnRepaint = nullptr;
    FColumns->OnColumnChange = nullptr;
    delete FColumns;
    FColumns = nullptr;
}

TRgColumns* TRgCustomGridControl::CreateColumns() { return new TRgColumns(this, FHost.get()); }

void TRgCustomGridControl::CreateParams(TCreateParams& Params) {
    TRgScrollControl::CreateParams(Params);
    if (FBorderStyle == bsSingle)
        Params.ExStyle |= WS_EX_STATICEDGE;
    else
        Params.ExStyle &= ~DWORD(WS_EX_STATICEDGE);
    // Resizing repaints only what the size change uncovers.
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TRgCustomGridControl::CreateWnd() {
    TRgScrollControl::CreateWnd();
    if (!FTheme) OpenHeaderTheme();
}

void TRgCustomGridControl::OpenHeaderTheme() {
    if (!IsThemingActive() || !ThemeLibrary().OpenThemeData || !HandleAllocated()) return;
    FTheme = ThemeLibrary().OpenThemeData(WindowHandle(), u"header");
    FDefaultStyleDisplay->SetTheme(FTheme);
}

void TRgCustomGridControl::CloseHeaderTheme() {
    if (FTheme && ThemeLibrary().CloseThemeData) ThemeLibrary().CloseThemeData(FTheme);
    FTheme = 0;
    FDefaultStyleDisplay->SetTheme(0);
}

void TRgCustomGridControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE: WMSizeChanged(); break; // before the class library's handling
    case WM_NCPAINT:
        TRgScrollControl::Dispatch(Message);
        PaintWindowEdge();
        return;
    case WM_GETDLGCODE:
        TRgScrollControl::Dispatch(Message);
        Message.Result = DialogCode(Message.Result);
        return;
    case WM_THEMECHANGED:
        CloseHeaderTheme();
        OpenHeaderTheme();
        Invalidate();
        break;
    default: break;
    }
    TRgScrollControl::Dispatch(Message);
}

void TRgCustomGridControl::Loaded() {
    TRgScrollControl::Loaded();
    UpdateGridSpace();
}

bool TRgCustomGridControl::Focused() const {
    return TRgScrollControl::Focused() || (FInplaceEdit && FInplaceEdit->Focused());
}

// ---- property setters ----------------------------------------------------------------------------------

void TRgCustomGridControl::SetAppearanceOptions(TAppearanceOptions Value) {
    FAppearanceOptions = Value;
    UpdateGridSpace();
    Invalidate();
    RepaintWindowEdge();
}

void TRgCustomGridControl::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (HandleAllocated()) RecreateWnd();
}

void TRgCustomGridControl::SetCaption(const String& Value) {
    FCaption = Value;
    const TRect Body = GetBodyRect();
    InvalidateArea(TRect(Body.Left, Body.Top, TControl::ClientWidth(), Body.Bottom));
}

void TRgCustomGridControl::SetEnableVisualStyles(bool Value) {
    FEnableVisualStyles = Value;
    Invalidate();
    RepaintWindowEdge();
}

void TRgCustomGridControl::SetFixedCols(int Value) {
    FFixedCols = Value;
    FColumns->SetFixedCols(Value);
    Invalidate();
}

void TRgCustomGridControl::SetGridLinesStyle(TGridLinesStyle Value) {
    FGridLinesStyle = Value;
    UpdateGridSpace();
    Invalidate();
}

void TRgCustomGridControl::SetGridStyle(TGridStyle Value) {
    if (Value == FGridStyle) return;
    FGridStyle = Value;
    GridStyleChanged();
    if (Value == gsSlides) {
        CloseEditor();
        LeaveInput();
    }
    Invalidate();
    RepositionEditor();
    UpdateVertScrollRange();
    UpdateHorzScrollRange();
}

void TRgCustomGridControl::SetHeaderSize(int Value) {
    FHeaderSize = Value;
    Invalidate();
    RepositionEditor();
}

void TRgCustomGridControl::SetHeaderStyle(THeaderStyle Value) {
    if (Value == FHeaderStyle) return;
    FHeaderStyle = Value;
    switch (Value) {
    case hsFlatBorders: FCurrentStyleDisplay = FFlatStyleDisplay.get(); break;
    case hsOffice2007: FCurrentStyleDisplay = FOffice2007StyleDisplay.get(); break;
    case hsOffice2010: FCurrentStyleDisplay = FOffice2010StyleDisplay.get(); break;
    case hsOldStyle: FCurrentStyleDisplay = FOldStyleDisplay.get(); break;
    case hsOutlook: FCurrentStyleDisplay = FOutlookStyleDisplay.get(); break;
    case hsVista: FCurrentStyleDisplay = FVistaStyleDisplay.get(); break;
    default: FCurrentStyleDisplay = FDefaultStyleDisplay.get(); break;
    }
    FCurrentStyleDisplay->SetCanvas(Canvas());
    HeaderStyleChanged();
    Invalidate();
    RepaintWindowEdge();
}

void TRgCustomGridControl::SetHideScrollBar(bool Value) {
    FHideScrollBar = Value;
    FVertScrollBar->SetAutoHide(Value);
}

void TRgCustomGridControl::SetHighlightedTextColor(TColor Value) {
    FHighlightedTextColor = Value;
    RefreshSelection();
}

void TRgCustomGridControl::SetIndicatorDrawingOptions(TDrawingOptions Value) {
    FIndicatorDrawingOptions = Value;
    InvalidateArea(GetIndicatorRect());
}

void TRgCustomGridControl::SetOptions(TGridOptions Value) {
    const bool IndicatorChanged = Value.Contains(goIndicator) != FOptions.Contains(goIndicator);
    FOptions = Value;
    if (IndicatorChanged) {
        // The columns' left edges start after the indicator.
        FColumns->UpdateColumns(false);
        if (OnUpdateColumns) OnUpdateColumns(this);
    }
    UpdateGridSpace();
    if (HandleAllocated()) {
        Invalidate();
        RepositionEditor();
        UpdateHorzScrollRange();
    }
}

void TRgCustomGridControl::SetRowSize(int Value) {
    if (Value <= 0) return;
    FRowSize = Value;
    const TRect Body = GetBodyRect();
    InvalidateArea(TRect(0, GetInputRect().Top, TControl::ClientWidth(), Body.Bottom));
    RepositionEditor();
}

void TRgCustomGridControl::SetSlideSize(int Value) {
    FSlideSize = Value;
    UpdateVertScrollRange();
    Invalidate();
}

void TRgCustomGridControl::SetKW_BorderColor(TColor Value) {
    if (Value == FKW_BorderColor) return;
    FKW_BorderColor = Value;
    if (FBorderStyle != bsNone) Invalidate();
}

void TRgCustomGridControl::SetSelectedColumn(int Value) {
    if (FColumns->Count() > 0 && Value >= 0 && Value < FColumns->Count())
        SelectCell(Value, SelectedRow(), {}, true, false);
}

void TRgCustomGridControl::DoSetSelectedRow(int Value) {
    if (GetRowCount() > 0 && Value >= -1 && Value < GetRowCount()) {
        LeaveInput();
        SelectCell(FSelectedColumn, Value, {}, true, false);
    }
}

void TRgCustomGridControl::SetRowCount(int Value) {
    if (Value < 0) return;
    const int Count = GetRowCount();
    if (Value > Count) {
        AddRow(Value - Count);
        return;
    }
    while (GetRowCount() > Value) DeleteRow(GetRowCount() - 1);
}

void TRgCustomGridControl::UpdateGridSpace() {
    FGridSpace.fill(0);
    if (FOptions.Contains(goGrid)) {
        const bool ThreeD = FAppearanceOptions.Contains(ao3DGridLines);
        if (FGridLinesStyle != lsHorizontalOnly && FGridLinesStyle != lsActiveHorzOnly) {
            FGridSpace[lpRight] = 1;
            if (ThreeD) FGridSpace[lpLeft] = 1;
        }
        if (FGridLinesStyle != lsVerticalOnly) {
            FGridSpace[lpBottom] = 1;
            if (ThreeD) FGridSpace[lpTop] = 1;
        }
    }
    FGridSpace[lpTopBottom] = FGridSpace[lpTop] + FGridSpace[lpBottom];
}

// ---- update counting -----------------------------------------------------------------------------------

void TRgCustomGridControl::EndUpdate(bool CanUpdate) {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount == 0 && CanUpdate) {
        Invalidate();
        // Rows that came or went meanwhile move the bar's count; otherwise the range is enough.
        if (FRowsChangedWhileUpdating)
            SyncVertScroll();
        else
            UpdateVertScrollRange();
        FRowsChangedWhileUpdating = false;
        UpdateHorzScrollRange();
    }
}

void TRgCustomGridControl::RecountVisibleRange() {
    const int Count = GetRowCount();
    int First = 0;
    while (First < Count && !GetRowVisible(First)) ++First;
    int Last = Count - 1;
    while (Last > First && !GetRowVisible(Last)) --Last;
    if (First >= Count) First = Last = 0;
    FFirstVisibleRow = First;
    FLastVisibleRow = std::max(Last, 0);
}

void TRgCustomGridControl::SyncVertScroll() {
    if (Updating()) {
        FRowsChangedWhileUpdating = true;
        return;
    }
    const int Count = GetRowCount();
    if (FFirstRow >= Count) FFirstRow = std::max(Count - 1, 0);
    FVertScrollBar->SyncPosition(CountVisibleRows(0, FFirstRow));
    UpdateVertScrollRange();
    // Past the last page now (rows went below): the clamp scrolls the view back.
    FVertScrollBar->SetPosition(FVertScrollBar->Position());
}

// ---- rows ----------------------------------------------------------------------------------------------

void TRgCustomGridControl::InsertRow(int Pos, int Count) {
    (void)Count;
    CloseEditor();
    if (Pos < FFirstVisibleRow) FFirstVisibleRow = Pos;
    if (FVertScrollBar->Position() == 0) FFirstRow = FFirstVisibleRow;
}

void TRgCustomGridControl::DeleteRow(int Index) {
    (void)Index;
    CloseEditor();
}

void TRgCustomGridControl::MoveRow(int FromPos, int ToPos) {
    (void)FromPos, (void)ToPos;
    Invalidate();
    CloseEditor();
}

void TRgCustomGridControl::ClearRows() {
    FFirstRow = 0;
    FSelectedColumn = 0;
    FSelectedRow = -1;
    CloseEditor();
}

int TRgCustomGridControl::GetRowHeight(int Index) {
    (void)Index;
    return FRowSize;
}

void TRgCustomGridControl::SetRowHeight(int Index, int Value) {
    if (OnChangeRowHeight) OnChangeRowHeight(this, Index, Value);
}

void TRgCustomGridControl::SetRowVisible(int Index, bool Value) {
    if (Value) {
        if (Index < FFirstVisibleRow) FFirstVisibleRow = Index;
        if (Index > FLastVisibleRow) FLastVisibleRow = Index;
        return;
    }
    const int Count = GetRowCount();
    if (Index == FFirstVisibleRow) {
        int First = Index;
        for (int r = Index; r < Count; ++r)
            if (GetRowVisible(r)) {
                First = r;
                break;
            }
        FFirstVisibleRow = First;
    }
    for (int r = std::min(FLastVisibleRow, Count - 1); r >= 0; --r)
        if (GetRowVisible(r)) {
            FLastVisibleRow = r;
            break;
        }
}

int TRgCustomGridControl::GetSelectedCount() {
    int Count = 0;
    for (int r = 0, n = GetRowCount(); r < n; ++r)
        if (GetSelected(r)) ++Count;
    return Count;
}

int TRgCustomGridControl::GetShownRows() {
    if (GetRowCount() == 0 || FColumns->Count() == 0) return 0;
    return GetVisibleRows();
}

TColor TRgCustomGridControl::GetCellColor(int ACol, int) { return FColumns->Item(ACol)->Color(); }

String TRgCustomGridControl::GetCellHint(int ACol, int ARow) {
    String Hint;
    if (OnCellHint) OnCellHint(this, ACol, ARow, Hint);
    return Hint;
}

bool TRgCustomGridControl::IsCellEmpty(int ACol, int ARow) {
    bool Showing = true;
    if (OnCellShowing) OnCellShowing(this, ACol, ARow, Showing);
    return !Showing;
}

bool TRgCustomGridControl::ApplyCellFont(int ACol, int ARow, TCellState CellState) {
    TFont* Font = Canvas()->Font();
    AssignFont(Font, FColumns->Item(ACol)->Font());
    Font->SetColor(Enabled() ? GetActualCellFontColor(ACol, ARow) : clGrayText);
    if (CellState.Contains(csBoldTextSelection)) Font->SetStyle(Font->Style() + TFontStyles{fsBold});
    return false;
}

bool TRgCustomGridControl::CanCalculateRow(int Index) {
    bool Accept = true;
    if (OnCalculateRow) OnCalculateRow(this, Index, Accept);
    return Accept;
}

void TRgCustomGridControl::SortColumn(TRgCustomColumn* AColumn, bool) {
    if (!AColumn || !AColumn->Options().Contains(coCanSort)) return;
    CloseEditor();
    FSortedColumn = AColumn;
    if (OnSortColumn) OnSortColumn(this, AColumn->Index(), AColumn->SortKind() == skAscending);
}

String TRgCustomGridControl::GetTextStr(const String& Separator) {
    static const String LineEnd = QStringLiteral("\r\n");
    static const String Marked = QStringLiteral("%\r\n");
    const int Rows = GetRowCount();
    const int Cols = FColumns->Count();
    // The length first, so that the text is built in one allocation.
    std::vector<String> Texts;
    Texts.reserve(size_t(Rows) * size_t(Cols));
    qsizetype Length = Separator.size();
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) {
            Texts.push_back(GetCells(c, r));
            Length += Texts.back().size() + Texts.back().count(LineEnd) + Separator.size() + 2;
        }
    String Result;
    Result.reserve(Length);
    Result += Separator;
    size_t i = 0;
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < Cols; ++c) {
            String Text = std::move(Texts[i++]);
            Text.replace(LineEnd, Marked);
            Result += Text;
            const bool LastCell = r == Rows - 1 && c == Cols - 1;
            if (LastCell) break;
            Result += Separator;
            if (c == Cols - 1) Result += LineEnd;
        }
    return Result;
}

void TRgCustomGridControl::DoDataChange(TDataChange AChangeType, int AIndex) {
    if (OnDataChange) OnDataChange(this, AChangeType, AIndex);
}

// ---- column notifications ------------------------------------------------------------------------------

void TRgCustomGridControl::ColumnsChanged(TColumnsOperation ChangeOpearation, int, int) {
    if (ChangeOpearation == opDelete || ChangeOpearation == opClear) CloseEditor();
    if (FSelectedColumn >= FColumns->Count() && FColumns->Count() > 0) FSelectedColumn = FColumns->Count() - 1;
    UpdateHorzScrollRange();
}

void TRgCustomGridControl::ColumnsRepaint(int Kind) {
    if (Kind != 2) RepositionEditor();
    Invalidate();
}

void TRgCustomGridControl::ColumnChanged(TRgCustomColumn* Column, TColumnChangeKind ChangeKind, int Param) {
    if (!HandleAllocated()) return;
    if (ChangeKind == ccInputChange) {
        RefreshInputCell(Column->Index());
        return;
    }
    if ((FGridState.Contains(gtEdit) || FGridState.Contains(gtInput)) &&
        (ChangeKind == ccPosition || ChangeKind == ccSorted || ChangeKind == ccVisible || ChangeKind == ccWidth))
        RepositionEditor();
    switch (ChangeKind) {
    case ccPosition:
        if (OnColumnMove) OnColumnMove(this, Column->Index(), Param, Column->Position());
        Invalidate();
        break;
    case ccVisible:
        UpdateHorzScrollRange();
        Invalidate();
        break;
    case ccUndefined: {
        const int L = Column->AbsoluteLeft();
        InvalidateArea(TRect(L, 0, L + Column->Width(), TControl::ClientHeight()));
        break;
    }
    case ccRevertStyle: RevertStyle(Column->Index()); break;
    case ccSlideChanged:
        Invalidate();
        if (OnSlideChange) OnSlideChange(this, Column->Index());
        break;
    case ccUnsorted:
        RefreshColumn(Column, gaHeader);
        if (FAppearanceOptions.Contains(aoIndicateSortedColumn)) RefreshColumn(Column, gaBody);
        if (FSortedColumn == Column) FSortedColumn = nullptr;
        break;
    case ccWidth:
        if (!Updating()) {
            RefreshColumn(Column, gaNone);
            const int Right = Column->AbsoluteLeft() + Column->Width();
            const int Bottom = FGridStyle == gsSlides ? FHeaderSize : TControl::ClientHeight();
            const RECT Area{Right - Param, 0, TControl::ClientWidth(), Bottom};
            ScrollWindowEx(WindowHandle(), Param, 0, &Area, &Area, nullptr, nullptr, SW_INVALIDATE);
        }
        if (OnColumnResize) OnColumnResize(this, Column->Index());
        UpdateHorzScrollRange();
        break;
    case ccSorted:
    case ccSortTypeChange:
        if (Column->Sorted()) {
            RefreshColumn(Column, gaHeader);
            SortColumn(Column, Column->SortKind() == skAscending);
        }
        break;
    default: break;
    }
}

} // namespace grid
