// toolbars/BarDock.cpp: the dock: its lists, the arrangement of its windows in rows, its bound lines
// and its relay of menu keys to the floating windows that belong to it.
#include "toolbars/BarDock.h"

#include "rtl/SysUtils.h"
#include "vcl/Messages.h"

#include <algorithm>

namespace bars {

using vcl::TMessage;

// ---- metrics and unit routines ----

int DockedBorderWidth() { return ScaleForDPI(2); }

int DragHandleThickness(bool CloseButtonWhenDocked, TBarDragHandleStyle DragHandleStyle) {
    if (CloseButtonWhenDocked) return ScaleForDPI(14);
    switch (DragHandleStyle) {
    case dhDouble: return ScaleForDPI(9);
    case dhNone: return 0;
    case dhSingle: return ScaleForDPI(6);
    }
    return 0;
}

int DragHandleBarOffset(bool CloseButtonWhenDocked, TBarDragHandleStyle DragHandleStyle) {
    static const int without[] = {2, 0, 1}, with[] = {3, 0, 5};
    return ScaleForDPI((CloseButtonWhenDocked ? with : without)[DragHandleStyle]);
}

int SmallCaptionHeight() { return GetSystemMetrics(SM_CYSMCAPTION); }

TBarDockKind DockKindOf(TBarDock* Dock, bool Floating) {
    if (Floating) return dkFloating;
    if (!Dock) return dkNotDocked;
    return Dock->Vertical() ? dkLeftRight : dkTopBottom;
}

bool DockOrderCompare(TBarCustomDockableWindow* A, TBarCustomDockableWindow* B) {
    if (A->DockRow() != B->DockRow()) return A->DockRow() < B->DockRow();
    return A->DockPos() < B->DockPos();
}

bool ShownOnDock(TBarDock* Dock, TBarCustomDockableWindow* Window) {
    return Window->Parent() == Dock &&
           (Window->Visible() || Window->ComponentState().Contains(rtl::csDesigning));
}

// ---- the dock ----

TBarDock::TBarDock(rtl::TComponent* AOwner) : vcl::TCustomControl(AOwner) {
    FControlStyle.Include(vcl::csAcceptsControls).Include(vcl::csMenuEvents);
    FControlStyle.Exclude(vcl::csCaptureMouse).Exclude(vcl::csClickEvents).Exclude(vcl::csOpaque);
    SetColor(vcl::clBtnFace);
    FPosition = dpBottom;  // so that the setter below aligns the control
    SetPosition(dpTop);
}

TBarDock::~TBarDock() {
    if (FBackground) FBackground->RemoveChangeListener(rtl::TNotifyEvent(this, &TBarDock::BackgroundChangeNotify));
    // The windows that still belong to the dock forget it now, before the class library takes them
    // off the dock without a word to them.
    for (TBarCustomDockableWindow* w : std::vector<TBarCustomDockableWindow*>(DockList)) w->DockFreed(this);
    for (TBarCustomDockableWindow* w : std::vector<TBarCustomDockableWindow*>(DockVisibleList)) w->DockFreed(this);
}

void TBarDock::SetPosition(TBarDockPosition Value) {
    if (Value == FPosition) return;
    if (ControlCount() > 0) throw rtl::EInvalidOperation(String::fromUtf16(STBarDockCannotChangePosition));
    FPosition = Value;
    static const vcl::TAlign aligns[] = {vcl::alTop, vcl::alBottom, vcl::alLeft, vcl::alRight};
    SetAlign(aligns[Value]);
    ArrangeToolbars();
}

void TBarDock::SetAllowDrag(bool Value) {
    if (FAllowDrag == Value) return;
    FAllowDrag = Value;
    // The docked windows' non-client areas gain or lose their drag handles.
    for (TBarCustomDockableWindow* w : DockList)
        if (w->Parent() == this) w->RefreshFrame();
    ArrangeToolbars();
}

void TBarDock::SetBoundLines(TBarDockBoundLines Value) {
    if (FBoundLines == Value) return;
    FBoundLines = Value;
    UpdateNonClientSize();
    RefreshFrame();
    ArrangeToolbars();
}

void TBarDock::UpdateNonClientSize() {
    FNonClientWidth = int(FBoundLines.Contains(blLeft)) + int(FBoundLines.Contains(blRight));
    FNonClientHeight = int(FBoundLines.Contains(blTop)) + int(FBoundLines.Contains(blBottom));
}

void TBarDock::RefreshFrame() {
    if (HandleAllocated())
        SetWindowPos(WindowHandle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
}

void TBarDock::SetBackground(TBarBasicBackground* Value) {
    if (FBackground == Value) return;
    const rtl::TNotifyEvent notify(this, &TBarDock::BackgroundChangeNotify);
    if (FBackground) {
        FBackground->RemoveFreeNotification(this);
        FBackground->RemoveChangeListener(notify);
    }
    FBackground = Value;
    if (FBackground) {
        FBackground->FreeNotification(this);
        FBackground->AddChangeListener(notify);
    }
    RepaintBackground();
}

void TBarDock::SetBackgroundOnToolbars(bool Value) {
    if (FBkgOnToolbars == Value) return;
    FBkgOnToolbars = Value;
    RepaintBackground();
}

void TBarDock::SetFixAlign(bool Value) {
    if (FFixAlign == Value) return;
    FFixAlign = Value;
    ArrangeToolbars();
}

void TBarDock::SetLimitToOneRow(bool Value) {
    if (FLimitToOneRow == Value) return;
    FLimitToOneRow = Value;
    ArrangeToolbars();
}

void TBarDock::DrawBackground(HDC DC, const TRect& DrawRect) { FBackground->PaintTo(DC, DrawRect); }

bool TBarDock::BackgroundInUse() { return FBackground && FBackground->InUse(); }

void TBarDock::BackgroundChangeNotify(rtl::TObject*) { RepaintBackground(); }

void TBarDock::RepaintBackground() {
    if (!HandleAllocated()) return;
    Invalidate();
    for (TBarCustomDockableWindow* w : DockVisibleList)
        if (w->HandleAllocated()) RedrawWholeWindow(w->WindowHandle());
}

void TBarDock::BeginUpdate() { ++FDisableArrangeToolbars; }

void TBarDock::EndUpdate() {
    if (--FDisableArrangeToolbars == 0 && FArrangeToolbarsNeeded) ArrangeToolbars();
}

int TBarDock::GetCurrentRowSize(int Row, bool& AFullSize) {
    AFullSize = false;
    if (Row < 0) return 0;
    int result = 0;
    for (TBarCustomDockableWindow* w : DockList)
        if (w->FEffectiveDockRow == Row && ShownOnDock(this, w)) {
            AFullSize = w->FFullSize;
            result = std::max(result, Vertical() ? w->Width() : w->Height());
        }
    return result;
}

int TBarDock::GetMinRowSize(int Row, TBarCustomDockableWindow* ExcludeControl) {
    if (Row < 0) return 0;
    int result = 0;
    for (TBarCustomDockableWindow* w : DockList)
        if (w != ExcludeControl && w->FEffectiveDockRow == Row && ShownOnDock(this, w))
            result = std::max(result, w->FLastRowSize);
    return result;
}

int TBarDock::GetHighestRow(bool HighestEffective) {
    int result = -1;
    for (TBarCustomDockableWindow* w : DockList)
        result = std::max(result, HighestEffective ? w->FEffectiveDockRow : w->FDockRow);
    return result;
}

int TBarDock::RowAtPosition(int Pos) {
    const int highest = GetHighestRow(true);
    int total = 0;
    for (int r = 0; r <= highest; ++r) {
        bool full;
        total += GetCurrentRowSize(r, full);
        if (Pos < total) return r;
    }
    return highest + 1;
}

bool TBarDock::AnyToolbarShown() {
    return std::any_of(DockList.begin(), DockList.end(), [this](auto* w) { return ShownOnDock(this, w); });
}

void TBarDock::UpdateDockList(bool Insert, TBarCustomDockableWindow* Bar) {
    auto it = std::find(DockList.begin(), DockList.end(), Bar);
    if (Insert) {
        if (it == DockList.end()) {
            DockList.push_back(Bar);
            Bar->FreeNotification(this);
        }
    } else if (it != DockList.end())
        DockList.erase(it);
    UpdateVisibleList(Bar, false);
}

void TBarDock::UpdateVisibleList(TBarCustomDockableWindow* Bar, bool ForceRemove) {
    const bool wanted = !ForceRemove && ShownOnDock(this, Bar);
    auto it = std::find(DockVisibleList.begin(), DockVisibleList.end(), Bar);
    const bool present = it != DockVisibleList.end();
    if (wanted == present) return;
    if (wanted) {
        DockVisibleList.push_back(Bar);
        std::stable_sort(DockVisibleList.begin(), DockVisibleList.end(), DockOrderCompare);
    } else
        DockVisibleList.erase(it);
    ArrangeToolbars();
    OnInsertRemoveBar(this, wanted, Bar);
}

void TBarDock::AdoptEffectivePositions() {
    for (TBarCustomDockableWindow* w : DockVisibleList) {
        w->FDockRow = w->FEffectiveDockRow;
        w->FDockPos = w->FEffectiveDockPos;
    }
}

void TBarDock::RelayToFloatingBars(TMessage& Message) {
    for (TBarCustomDockableWindow* w : std::vector<TBarCustomDockableWindow*>(DockList)) {
        if (Message.Msg == WM_SYSCOMMAND && !w->ControlStyle().Contains(vcl::csMenuEvents)) continue;
        if (!w->Floating() || !w->CanFocus()) continue;
        Message.Result = w->Perform(Message.Msg, Message.WParam, Message.LParam);
        if (Message.Result != 0) return;
    }
}

void TBarDock::SetDockSize(int W, int H) {
    int left = Left(), top = Top();
    switch (Align()) {
    case vcl::alBottom: top = Top() + Height() - H; break;
    case vcl::alRight: left = Left() + Width() - W; break;
    case vcl::alClient:
    case vcl::alCustom: return;
    default: break;
    }
    SetBounds(left, top, W, H);
}

// ---- arrangement ----

struct TBarDock::TPosDataRec {
    int Row = 0;
    int ActualRow = 0;
    int PrecSpace = 0;
    int FullSize = 0;
    int MinimumSize = 0;
    int Size = 0;
    int Overlap = 0;
    int Pos = 0;
    TBarShrinkMode ShrinkMode = tbsmNone;
    bool NeedArrange = false;
};

namespace {

// Lowers a counter and clears flags however the arrangement ends.
struct TArrangeGuard {
    int& Counter;
    bool& Needed;
    bool& Commit;
    ~TArrangeGuard() {
        --Counter;
        Needed = false;
        Commit = false;
    }
};

struct TUpdatingBounds {
    int& Counter;
    explicit TUpdatingBounds(int& C) : Counter(C) { ++Counter; }
    ~TUpdatingBounds() { --Counter; }
};

} // namespace

void TBarDock::ArrangeToolbars() {
    if (FDisableArrangeToolbars > 0 || ComponentState().Contains(rtl::csLoading)) {
        FArrangeToolbarsNeeded = true;
        return;
    }
    ++FDisableArrangeToolbars;
    TArrangeGuard guard{FDisableArrangeToolbars, FArrangeToolbarsNeeded, FCommitNewPositions};
    const bool vertical = Vertical();

    if (!AnyToolbarShown()) {
        const int thickness = ComponentState().Contains(rtl::csDesigning) ? 9 : FFixAlign ? 1 : 0;
        if (vertical)
            SetDockSize(thickness, Height());
        else
            SetDockSize(Width(), thickness);
        return;
    }
    const int rowLength = std::max(0, vertical ? Height() - FNonClientHeight : Width() - FNonClientWidth);

    for (size_t i = DockList.size(); i-- > 0;) {
        TBarCustomDockableWindow* w = DockList[i];
        if (w->ComponentState().Contains(rtl::csDestroying)) {
            DockList.erase(DockList.begin() + ptrdiff_t(i));
            auto v = std::find(DockVisibleList.begin(), DockVisibleList.end(), w);
            if (v != DockVisibleList.end()) DockVisibleList.erase(v);
        }
    }
    if (FLimitToOneRow)
        for (TBarCustomDockableWindow* w : DockList) w->FDockRow = 0;

    // The work list in row and position order; equal keys keep their list order.
    std::vector<TBarCustomDockableWindow*> work(DockList);
    int dragIndex = -1;
    for (size_t i = 0; i < work.size(); ++i)
        if (work[i]->FDragMode) {
            dragIndex = int(i);
            break;
        }
    TBarCustomDockableWindow* dragged = dragIndex >= 0 ? work[size_t(dragIndex)] : nullptr;
    std::stable_sort(work.begin(), work.end(), DockOrderCompare);
    if (dragged) {
        auto at = std::find(work.begin(), work.end(), dragged);
        if (dragged->FDragSplitting) {
            // A split drag keeps the window's place in the row order.
            work.erase(at);
            work.insert(work.begin() + dragIndex, dragged);
        } else
            dragIndex = int(at - work.begin());
    }
    std::stable_sort(DockVisibleList.begin(), DockVisibleList.end(), DockOrderCompare);

    const int n = int(work.size());
    std::vector<TPosDataRec> data(static_cast<size_t>(n));
    int highestRow = GetHighestRow(false);
    for (int i = 0; i < n; ++i) {
        TBarCustomDockableWindow* w = work[size_t(i)];
        data[size_t(i)].ActualRow = w->FDockRow;
        data[size_t(i)].Row = ShownOnDock(this, w) ? w->FDockRow : -1;
        data[size_t(i)].Pos = w->FDockPos;
    }

    // Rows of their own: row-before claims first, then full-size windows.
    for (int pass = 0; pass < 2; ++pass) {
        auto picked = [&](int i) {
            TBarCustomDockableWindow* w = work[size_t(i)];
            return pass == 0 ? w->FInsertRowBefore && !FLimitToOneRow : w->FFullSize;
        };
        bool any = false;
        for (int i = 0; i < n && !any; ++i) any = picked(i);
        if (!any) continue;
        for (int r = 0; r <= highestRow; ++r)
            for (int i = 0; i < n; ++i) {
                if (!picked(i) || data[size_t(i)].ActualRow != r) continue;
                bool shared = false;
                for (int j = 0; j < n && !shared; ++j) shared = j != i && data[size_t(j)].ActualRow == r;
                if (!shared) continue;
                for (int j = 0; j < n; ++j) {
                    if (j == i) continue;
                    if (data[size_t(j)].ActualRow >= r) ++data[size_t(j)].ActualRow;
                    if (data[size_t(j)].Row >= r) ++data[size_t(j)].Row;
                }
                ++highestRow;
            }
    }

    // Close the gaps: rows are numbered by their rank among the rows in use. Until the rows are laid
    // out, a window's Row is its ActualRow or -1.
    {
        std::vector<int> used;
        used.reserve(size_t(n));
        for (const TPosDataRec& d : data) used.push_back(d.ActualRow);
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        for (TPosDataRec& d : data) {
            d.ActualRow = int(std::lower_bound(used.begin(), used.end(), d.ActualRow) - used.begin());
            if (d.Row != -1) d.Row = d.ActualRow;
        }
        highestRow = int(used.size()) - 1;
    }

    // The entries of each row in work-list order, so that a row is reached without a scan of the
    // whole list; rebuilt only when a row wraps.
    std::vector<std::vector<int>> rows;
    auto buildRows = [&](int from) {
        rows.resize(size_t(std::max(highestRow + 1, 0)));
        for (int r = from; r <= highestRow; ++r) rows[size_t(r)].clear();
        for (int i = 0; i < n; ++i) {
            const int r = data[size_t(i)].Row;
            if (r >= from && r <= highestRow) rows[size_t(r)].push_back(i);
        }
    };
    buildRows(0);

    // The take-space step: removes gaps before the entries of the row up to position Last so that
    // they end at Limit; the amount taken.
    auto takeSpace = [&](const std::vector<int>& row, int Last, int Limit) {
        int excess = -Limit;
        for (int k = 0; k <= Last; ++k) excess += data[size_t(row[size_t(k)])].PrecSpace + data[size_t(row[size_t(k)])].Size;
        if (excess <= 0) return 0;
        int taken = 0;
        for (int k = Last; k >= 0 && excess > 0; --k) {
            TPosDataRec& d = data[size_t(row[size_t(k)])];
            const int t = std::min(d.PrecSpace, excess);
            d.PrecSpace -= t;
            excess -= t;
            taken += t;
        }
        return taken;
    };

    for (int r = 0; r <= highestRow; ++r) {
        std::vector<int>& row = rows[size_t(r)];
        // Measure; the first window that overflows goes to the next row with all after it.
        int total = 0, runningMin = 0;
        size_t count = 0;
        for (; count < row.size(); ++count) {
            const int i = row[count];
            TBarCustomDockableWindow* w = work[size_t(i)];
            TPosDataRec& d = data[size_t(i)];
            TPoint base;
            w->GetBaseSize(base);
            const TPoint nc = w->GetNonClientSize();
            d.Size = vertical ? base.Y + nc.Y : base.X + nc.X;
            d.FullSize = d.Size;
            d.ShrinkMode = w->GetShrinkMode();
            d.MinimumSize = 0;
            w->GetMinimumLength(d.MinimumSize);
            d.MinimumSize = std::min(d.MinimumSize, d.FullSize);
            d.PrecSpace = 0;
            d.Overlap = 0;
            runningMin += d.ShrinkMode == tbsmChevron ? d.MinimumSize : d.FullSize;
            if (count > 0 && runningMin > rowLength && !FLimitToOneRow) {
                for (int j = i; j < n; ++j) {
                    if (data[size_t(j)].ActualRow >= r) ++data[size_t(j)].ActualRow;
                    if (data[size_t(j)].Row >= r) ++data[size_t(j)].Row;
                }
                ++highestRow;
                row.resize(count);
                buildRows(r + 1);
                break;
            }
            total += d.Size;
        }
        const std::vector<int>& entries = rows[size_t(r)];
        const int last = int(entries.size()) - 1;
        int overflow = total - rowLength;

        // Requested positions.
        int dragK = -1, dragPos = 0;
        {
            int curPos = 0, prevEnd = 0, minPos = 0;
            for (int k = 0; k <= last; ++k) {
                const int i = entries[size_t(k)];
                TBarCustomDockableWindow* w = work[size_t(i)];
                TPosDataRec& d = data[size_t(i)];
                int newPos = curPos == 0 && (w->FFullSize || w->FStretch) ? 0 : w->FDockPos;
                if (i == dragIndex) {
                    dragK = k;
                    dragPos = newPos;
                }
                newPos = std::max(newPos, minPos);
                if (newPos > curPos) {
                    if (overflow > 0)
                        newPos = curPos;
                    else {
                        d.PrecSpace = newPos - curPos;
                        curPos = newPos;
                    }
                } else if (newPos < prevEnd)
                    d.Overlap = prevEnd - newPos;
                curPos += d.Size;
                prevEnd = newPos + d.Size;
                minPos += d.MinimumSize;
            }
        }

        // A window dragged within free space takes the room before it from the windows ahead; the
        // windows behind it keep their places.
        if (overflow < 0 && dragK > 0) {
            const int taken = takeSpace(entries, dragK - 1, dragPos);
            if (dragK < last) data[size_t(entries[size_t(dragK + 1)])].PrecSpace += taken;
        }
        if (last >= 0) takeSpace(entries, last, rowLength);

        if (overflow > 0) {
            int running = 0;
            for (int k = 0; k <= last; ++k) {
                TBarCustomDockableWindow* w = work[size_t(entries[size_t(k)])];
                running = std::min(running + data[size_t(entries[size_t(k)])].Overlap, overflow);
                if (w->FDragMode && last > 0) w->FDragCanSplit = true;
                if (running <= 0) continue;
                for (int m = k - 1; m >= 0; --m) {
                    if (work[size_t(entries[size_t(m)])]->FDragMode) break;
                    TPosDataRec& d = data[size_t(entries[size_t(m)])];
                    const int give = d.ShrinkMode == tbsmChevron ? std::min(running, d.Size - d.MinimumSize) : 0;
                    const bool all = give == running;
                    d.Size -= give;
                    overflow -= give;
                    running -= give;
                    if (all) break;
                }
            }
            // Shrink from the end.
            for (int k = last; k >= 0 && overflow > 0; --k) {
                TPosDataRec& d = data[size_t(entries[size_t(k)])];
                if (d.ShrinkMode == tbsmChevron || (d.ShrinkMode == tbsmWrap && last == 0)) {
                    const int give = std::min(d.Size - d.MinimumSize, overflow);
                    d.Size -= give;
                    overflow -= give;
                }
            }
        }

        // Final positions.
        int curPos = 0;
        for (int k = 0; k <= last; ++k) {
            TBarCustomDockableWindow* w = work[size_t(entries[size_t(k)])];
            TPosDataRec& d = data[size_t(entries[size_t(k)])];
            if (w->FFullSize || w->FStretch) {
                d.Size += d.PrecSpace;
                d.PrecSpace = 0;
            }
            curPos += d.PrecSpace;
            if (w->FFullSize) d.Size = std::max(d.Size, rowLength);
            if (w->FStretch) {
                if (k < last) {
                    TPosDataRec& next = data[size_t(entries[size_t(k + 1)])];
                    d.Size += next.PrecSpace;
                    next.PrecSpace = 0;
                } else
                    d.Size = std::max(d.Size, rowLength - curPos);
            }
            d.Pos = curPos;
            curPos += d.Size;
        }
    }

    for (int i = 0; i < n; ++i) {
        TBarCustomDockableWindow* w = work[size_t(i)];
        w->FEffectiveDockRow = data[size_t(i)].ActualRow;
        w->FEffectiveDockPos = data[size_t(i)].Pos;
        if (FCommitNewPositions) {
            w->FDockRow = w->FEffectiveDockRow;
            w->FDockPos = w->FEffectiveDockPos;
        }
    }
    if (FCommitNewPositions) DockList = work;

    // Place the rows.
    const int border2 = 2 * DockedBorderWidth();
    int rowPos = 0;
    for (int r = 0; r <= highestRow; ++r) {
        const std::vector<int>& entries = rows[size_t(r)];
        int largest = 0;
        for (int i : entries) {
            TBarCustomDockableWindow* w = work[size_t(i)];
            TPosDataRec& d = data[size_t(i)];
            const int saved = w->FCurrentSize;
            w->FCurrentSize = d.Size >= d.FullSize ? 0 : d.Size;
            TPoint s;
            if (d.ShrinkMode != tbsmNone && w->FCurrentSize != saved) {
                s = w->ArrangeContents(false, DockKindOf(this, false), false, this);
                d.NeedArrange = true;
            } else if (d.ShrinkMode == tbsmWrap && d.Size < d.FullSize) {
                const TPoint nc = w->GetNonClientSize();
                s = TPoint(w->Width() - nc.X, w->Height() - nc.Y);
            } else
                w->GetBaseSize(s);
            w->FLastRowSize = vertical ? s.X : s.Y;
            largest = std::max(largest, w->FLastRowSize);
        }
        const int thickness = entries.empty() ? 0 : largest + border2;
        for (int i : entries) {
            TBarCustomDockableWindow* w = work[size_t(i)];
            const TPosDataRec& d = data[size_t(i)];
            TUpdatingBounds updating(w->FUpdatingBounds);
            const int saved = w->FCurrentSize;
            try {
                if (d.NeedArrange) w->FArrangeNeeded = true;
                if (vertical)
                    w->SetBounds(rowPos, d.Pos, thickness, d.Size);
                else
                    w->SetBounds(d.Pos, rowPos, d.Size, thickness);
                if (w->FArrangeNeeded) w->RecalcArrangement();
            } catch (...) {
                w->FCurrentSize = saved;
                throw;
            }
            w->FCurrentSize = saved;
        }
        rowPos += thickness;
    }
    if (vertical)
        SetDockSize(rowPos + FNonClientWidth, Height());
    else
        SetDockSize(Width(), rowPos + FNonClientHeight);
}

// ---- class-library overrides ----

void TBarDock::Loaded() {
    vcl::TCustomControl::Loaded();
    ArrangeToolbars();
}

void TBarDock::Notification(rtl::TComponent* AComponent, rtl::TOperation Operation) {
    vcl::TCustomControl::Notification(AComponent, Operation);
    if (Operation != rtl::opRemove) return;
    if (AComponent == FBackground) SetBackground(nullptr);
    if (auto* w = dynamic_cast<TBarCustomDockableWindow*>(AComponent)) {
        DockList.erase(std::remove(DockList.begin(), DockList.end(), w), DockList.end());
        DockVisibleList.erase(std::remove(DockVisibleList.begin(), DockVisibleList.end(), w), DockVisibleList.end());
    }
}

void TBarDock::SetParent(vcl::TWinControl* AParent) {
    if (dynamic_cast<TBarDock*>(AParent) || dynamic_cast<TBarCustomDockableWindow*>(AParent))
        throw rtl::EInvalidOperation(String::fromUtf16(STBarDockParentNotAllowed));
    vcl::TCustomControl::SetParent(AParent);
}

void TBarDock::AlignControls(vcl::TControl*, TRect&) { ArrangeToolbars(); }

void TBarDock::CreateParams(vcl::TCreateParams& Params) {
    vcl::TCustomControl::CreateParams(Params);
    if (!ComponentState().Contains(rtl::csDesigning)) Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TBarDock::Paint() {
    vcl::TCustomControl::Paint();
    if (!ComponentState().Contains(rtl::csDesigning)) return;
    vcl::TCanvas* c = Canvas();
    c->Pen()->SetStyle(vcl::psDot);
    c->Pen()->SetColor(vcl::clBtnShadow);
    c->Brush()->SetStyle(vcl::bsClear);
    const TRect r = ClientRect();
    c->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

HPALETTE TBarDock::GetPalette() { return BackgroundInUse() ? FBackground->GetPalette() : nullptr; }

void TBarDock::PaintNonClient(bool DrawToDC, HDC DC, HRGN Clip) {
    if (!HandleAllocated()) return;
    const HWND wnd = WindowHandle();
    HDC dc = DrawToDC ? DC : GetWindowDC(wnd);
    if (!DrawToDC) SelectNCPaintClipRgn(wnd, dc, Clip);
    RECT wr;
    GetWindowRect(wnd, &wr);
    TRect r(0, 0, wr.right - wr.left, wr.bottom - wr.top);
    if (!FBoundLines.Empty() && (ComponentState().Contains(rtl::csDesigning) || AnyToolbarShown())) {
        TRect fill = r;
        HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        HGDIOBJ old = SelectObject(dc, shadow);
        if (FBoundLines.Contains(blTop)) {
            MoveToEx(dc, r.Left, r.Top, nullptr);
            LineTo(dc, r.Right, r.Top);
            ++fill.Top;
        }
        if (FBoundLines.Contains(blLeft)) {
            MoveToEx(dc, r.Left, r.Top, nullptr);
            LineTo(dc, r.Left, r.Bottom);
            ++fill.Left;
        }
        SelectObject(dc, highlight);
        if (FBoundLines.Contains(blBottom)) {
            MoveToEx(dc, r.Left, r.Bottom - 1, nullptr);
            LineTo(dc, r.Right, r.Bottom - 1);
            --fill.Bottom;
        }
        if (FBoundLines.Contains(blRight)) {
            MoveToEx(dc, r.Right - 1, r.Top, nullptr);
            LineTo(dc, r.Right - 1, r.Bottom);
            --fill.Right;
        }
        SelectObject(dc, old);
        DeleteObject(shadow);
        DeleteObject(highlight);
        // The client area in window coordinates is left alone.
        RECT client;
        ::GetClientRect(wnd, &client);
        POINT origin{0, 0};
        ::ClientToScreen(wnd, &origin);
        OffsetRect(&client, origin.x - wr.left, origin.y - wr.top);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        if (!(TRect(client) == fill)) {
            HBRUSH brush = CreateSolidBrush(vcl::ColorToRGB(Color()));
            RECT f{fill.Left, fill.Top, fill.Right, fill.Bottom};
            FillRect(dc, &f, brush);
            DeleteObject(brush);
        }
    }
    if (!DrawToDC) ReleaseDC(wnd, dc);
}

void TBarDock::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        if (BackgroundInUse()) {
            const HDC dc = reinterpret_cast<HDC>(Message.WParam);
            TRect r = ClientRect();
            TRect draw = r;
            const int dx = Left() + int(FBoundLines.Contains(blLeft)), dy = Top() + int(FBoundLines.Contains(blTop));
            draw = TRect(draw.Left - dx, draw.Top - dy, draw.Right - dx, draw.Bottom - dy);
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);
            DrawBackground(dc, draw);
            RestoreDC(dc, saved);
            Message.Result = 1;
            return;
        }
        break;
    case WM_MOVE:
        vcl::TCustomControl::Dispatch(Message);
        if (BackgroundInUse()) RepaintBackground();
        return;
    case WM_NCCALCSIZE: {
        vcl::TCustomControl::Dispatch(Message);
        RECT* r = reinterpret_cast<RECT*>(Message.LParam);
        if (FBoundLines.Contains(blTop)) ++r->top;
        if (FBoundLines.Contains(blBottom)) --r->bottom;
        if (FBoundLines.Contains(blLeft)) ++r->left;
        if (FBoundLines.Contains(blRight)) --r->right;
        return;
    }
    case WM_NCPAINT:
        PaintNonClient(false, nullptr, reinterpret_cast<HRGN>(Message.WParam));
        return;
    case WM_PRINT:
        HandlePrintRequest(
            WindowHandle(), Message,
            [](HWND, HDC DC, LPARAM AppData) { reinterpret_cast<TBarDock*>(AppData)->PaintNonClient(true, DC, nullptr); },
            reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT: HandlePrintClientRequest(WindowProc, Message); return;
    case WM_SYSCOMMAND:
        if ((Message.WParam & 0xFFF0) == SC_KEYMENU) RelayToFloatingBars(Message);
        return;
    case vcl::CM_DIALOGKEY:
    case vcl::CM_DIALOGCHAR:
        RelayToFloatingBars(Message);
        if (Message.Result == 0) vcl::TCustomControl::Dispatch(Message);
        return;
    case vcl::CM_SYSCOLORCHANGE:
        vcl::TCustomControl::Dispatch(Message);
        if (FBackground) FBackground->SystemColorsChanged();
        return;
    default: break;
    }
    vcl::TCustomControl::Dispatch(Message);
}

} // namespace bars
