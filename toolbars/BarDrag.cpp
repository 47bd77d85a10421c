// toolbars/BarDrag.cpp: the two modal mouse loops of a dockable window: dragging it into another
// dock, row or position, or out to float, and sizing its floating frame.
#include "toolbars/BarDock.h"

#include "rtl/Math.h"
#include "rtl/SysUtils.h"

#include <algorithm>

namespace bars {

namespace {

// One candidate placement of a drag: a dock, or floating (no dock).
struct TDockedSize {
    TBarDock* Dock = nullptr;
    TRect BoundsRect;  // the dock's client rectangle on the screen; empty for floating
    TPoint Size;       // the window's outer size in that placement
    struct TRowSize {
        int Size;
        bool FullSize;
    };
    std::vector<TRowSize> RowSizes;
};

TPoint CursorPos() {
    POINT p;
    GetCursorPos(&p);
    return TPoint(p.x, p.y);
}

TRect Offset(const TRect& R, int DX, int DY) { return TRect(R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY); }

bool Intersects(const TRect& A, const TRect& B) {
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// What a drag loop does with the messages it reads.
struct TLoopHandlers {
    std::function<void(UINT Key, bool Down)> Key;  // every key message; the loop swallows them
    std::function<void(const TPoint& Pos)> MouseMove;
};

enum class TLoopEnd { Cancel, Accept };

// Pumps the thread's messages while Wnd holds the capture; ends on the left button, or as the
// handlers decide through Cancelled.
TLoopEnd RunCaptureLoop(HWND Wnd, const TLoopHandlers& Handlers, bool& Cancelled) {
    while (GetCapture() == Wnd && !Cancelled) {
        MSG msg;
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) return TLoopEnd::Cancel;
        if (!got) {
            PostQuitMessage(int(msg.wParam));
            return TLoopEnd::Cancel;
        }
        switch (msg.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: Handlers.Key(UINT(msg.wParam), true); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: Handlers.Key(UINT(msg.wParam), false); break;
        case WM_CHAR:
        case WM_SYSCHAR: break;
        case WM_MOUSEMOVE: Handlers.MouseMove(TPoint(msg.pt.x, msg.pt.y)); break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: return TLoopEnd::Cancel;
        case WM_LBUTTONUP: return TLoopEnd::Accept;
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
            break;
        default:
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return TLoopEnd::Cancel;
}

// The desktop is locked and drawn on for the XOR outline of a drag that does not move the window.
struct TOutlineDC {
    HDC DC = nullptr;
    void Open() {
        LockWindowUpdate(GetDesktopWindow());
        DC = GetDCEx(GetDesktopWindow(), nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    }
    void Close() {
        if (!DC) return;
        ReleaseDC(GetDesktopWindow(), DC);
        DC = nullptr;
        LockWindowUpdate(nullptr);
    }
};

} // namespace

void DrawDragOutline(TBarCustomDockableWindow* Window, HDC DC, const TRect& NewRect, const TRect& OldRect,
                     bool NewDocking, bool OldDocking) {
    auto sizeFor = [Window](bool Docking) {
        if (Docking) return SIZE{1, 1};
        const TPoint b = Window->GetFloatingBorderSize();
        return SIZE{b.X, b.Y};
    };
    if (NewRect.IsEmpty() && OldRect.IsEmpty()) return;
    DrawHalftoneInvertFrame(DC, NewRect, OldRect, sizeFor(NewDocking), sizeFor(OldDocking));
}

struct TBarCustomDockableWindow::TDragState {
    TBarDock* StartDock = nullptr;
    int StartDockRow = 0;
    int StartDockPos = 0;
    bool StartVertical = false;
    bool CanSplit = false;
    TPoint DPoint;
    TPoint OrigSize;
    bool PreventDocking = false;
    bool PreventFloating = false;
    std::vector<TBarDock*> Candidates;
    std::vector<TDockedSize> Sizes;
    TRect MoveRect;
    TBarDock* MouseOverDock = nullptr;
    TPoint StartPos, LastPos;
    bool Smooth = false;
    TOutlineDC Outline;
    HCURSOR OldCursor = nullptr;

    const TDockedSize* SizeFor(TBarDock* Dock) const {
        for (const TDockedSize& s : Sizes)
            if (s.Dock == Dock) return &s;
        return nullptr;
    }
    // The outer rectangle at Pos for a placement, keeping the cursor's relative place in the window.
    TRect PlacementRect(TBarDock* Dock, const TPoint& Pos) const {
        const TDockedSize* s = SizeFor(Dock);
        if (!s) return TRect();
        const int left = Pos.X - rtl::MulDiv(s->Size.X - 1, DPoint.X, OrigSize.X);
        const int top = Pos.Y - rtl::MulDiv(s->Size.Y - 1, DPoint.Y, OrigSize.Y);
        return vcl::Bounds(left, top, s->Size.X, s->Size.Y);
    }
};

void TBarCustomDockableWindow::MouseMoveStep(TDragState& D, bool AllowDocking) {
    TBarDock* oldDock = D.MouseOverDock;
    const TRect oldRect = D.MoveRect;
    TPoint pos = CursorPos();
    if (FDragSplitting)
        D.MouseOverDock = FCurrentDock;
    else {
        D.MouseOverDock = nullptr;
        if (AllowDocking && !D.PreventDocking) {
            const int s3 = ScaleForDPI(3), s25 = ScaleForDPI(25);
            const int x25 = rtl::MulDiv(s25, D.DPoint.X, D.OrigSize.X);
            const int y25 = rtl::MulDiv(s25, D.DPoint.Y, D.OrigSize.Y);
            for (TBarDock* dock : D.Candidates) {
                const TDockedSize* size = D.SizeFor(dock);
                if (!size) continue;
                TRect r = size->BoundsRect;
                r = TRect(r.Left - s3, r.Top - s3, r.Right + s3, r.Bottom + s3);
                const TRect s = D.PlacementRect(dock, pos);
                bool reach = r.Left - (s25 - x25) <= pos.X && pos.X < r.Right + x25 &&
                             r.Top - (s25 - y25) <= pos.Y && pos.Y < r.Bottom + y25 && Intersects(r, s);
                if (dock->Vertical()) reach = reach && r.Top <= pos.Y && pos.Y < r.Bottom;
                if (!reach) continue;
                bool accept = true;
                dock->OnRequestDock(dock, this, accept);
                if (accept) {
                    D.MouseOverDock = dock;
                    break;
                }
            }
        }
    }
    const TRect workArea = MonitorRectForPoint(pos, true);
    if (!D.MouseOverDock) {
        pos.X = std::clamp<int>(pos.X, workArea.Left, std::max<int>(workArea.Left, workArea.Right - 1));
        pos.Y = std::clamp<int>(pos.Y, workArea.Top, std::max<int>(workArea.Top, workArea.Bottom - 1));
    }
    D.MoveRect = D.PlacementRect(D.MouseOverDock, pos);
    if (!D.MouseOverDock && !D.MoveRect.IsEmpty()) {
        // Keep a floating frame within reach on the work area, its client area below the top edge.
        const TPoint b = GetFloatingBorderSize();
        const int s4 = ScaleForDPI(4);
        const TRect wa(workArea.Left + b.X + s4, workArea.Top + b.Y + s4, workArea.Right - b.X - s4,
                       workArea.Bottom - b.Y - s4);
        TRect& m = D.MoveRect;
        if (m.Bottom < wa.Top) m = Offset(m, 0, wa.Top - m.Bottom);
        if (m.Top > wa.Bottom) m = Offset(m, 0, wa.Bottom - m.Top);
        if (m.Right < wa.Left) m = Offset(m, wa.Left - m.Right, 0);
        if (m.Left > wa.Right) m = Offset(m, wa.Right - m.Left, 0);
        TPoint tl, br;
        GetFloatingNCArea(tl, br);
        const int minTop = workArea.Top + s4 - tl.Y;
        if (m.Top < minTop) m = Offset(m, 0, minTop - m.Top);
    }
    if (D.PreventFloating && !D.MouseOverDock) {
        D.MoveRect = TRect();
        ::SetCursor(LoadCursorW(nullptr, IDC_NO));
    } else if (FDragSplitting)
        ::SetCursor(LoadCursorW(nullptr, D.StartVertical ? IDC_SIZENS : IDC_SIZEWE));
    else
        ::SetCursor(D.OldCursor);
    if (!D.Smooth)
        DrawDragOutline(this, D.Outline.DC, D.MoveRect, oldRect, D.MouseOverDock != nullptr, oldDock != nullptr);
    else if (!D.MoveRect.IsEmpty()) {
        DropStep(D);
        // Re-parenting hides the window for a moment, which may have cost it the capture.
        if (HandleAllocated() && GetCapture() != WindowHandle()) SetCapture(WindowHandle());
    }
}

void TBarCustomDockableWindow::DropStep(TDragState& D) {
    if (TBarDock* dock = D.MouseOverDock) {
        const TDockedSize* size = D.SizeFor(dock);
        const TRect r = Offset(D.MoveRect, -size->BoundsRect.Left, -size->BoundsRect.Top);
        const bool vertical = dock->Vertical();
        int row = 0;
        bool newRowBefore = false;
        if (FDragSplitting)
            row = FDockRow;
        else {
            const int centre = vertical ? (r.Left + r.Right) / 2 : (r.Top + r.Bottom) / 2;
            row = int(size->RowSizes.size());
            int sum = 0;
            for (int i = 0; i < int(size->RowSizes.size()); ++i) {
                const auto& rs = size->RowSizes[size_t(i)];
                if (rs.Size == 0) continue;
                const bool full = FFullSize || rs.FullSize;
                const int t = full ? rs.Size / 2 : rs.Size / 4;
                if (centre < sum + t) {
                    row = i;
                    newRowBefore = true;
                    break;
                }
                sum += rs.Size;
                if (!full && centre < sum - t) {
                    row = i;
                    break;
                }
            }
            if (newRowBefore) D.CanSplit = false;
        }
        if (D.CanSplit) {
            if (dock == D.StartDock && row == D.StartDockRow) {
                const int moved = D.StartVertical ? D.LastPos.Y - D.StartPos.Y : D.LastPos.X - D.StartPos.X;
                if (std::abs(moved) >= ScaleForDPI(10)) {
                    FDragSplitting = true;
                    D.CanSplit = false;
                    ::SetCursor(LoadCursorW(nullptr, D.StartVertical ? IDC_SIZENS : IDC_SIZEWE));
                }
            } else
                D.CanSplit = false;
        }
        FDockRow = row;
        FDockPos = vertical ? r.Top : r.Left;
        SetParent(dock);
        if (!FSmoothDragging) dock->SetCommitNewPositions(true);
        FInsertRowBefore = newRowBefore;
        try {
            dock->ArrangeToolbars();
        } catch (...) {
            FInsertRowBefore = false;
            throw;
        }
        FInsertRowBefore = false;
    } else {
        D.CanSplit = false;
        SetFloatingPosition(D.MoveRect.TopLeft());
        SetFloating(true);
        MoveOnScreen(true);
    }
    Update();
}

void TBarCustomDockableWindow::BeginMoving(int InitX, int InitY) {
    TDragState D;
    D.StartDock = FCurrentDock;
    D.StartDockRow = FDockRow;
    D.StartDockPos = FDockPos;
    FDragMode = true;
    FDragSplitting = false;
    try {
        if (FDocked) {
            FDragCanSplit = false;
            FCurrentDock->SetCommitNewPositions(true);
            FCurrentDock->ArrangeToolbars();
            D.StartVertical = FCurrentDock->Vertical();
            D.CanSplit = FDragCanSplit;
        }
        D.Smooth = FSmoothDrag;
        FSmoothDragging = D.Smooth;

        vcl::TWinControl* outer = FFloating && FFloatParent ? static_cast<vcl::TWinControl*>(FFloatParent) : this;
        {
            RECT wr;
            GetWindowRect(outer->Handle(), &wr);
            POINT co{0, 0};
            ::ClientToScreen(outer->Handle(), &co);
            D.DPoint = TPoint(InitX + co.x - wr.left, InitY + co.y - wr.top);
            const int s1 = ScaleForDPI(1);
            D.OrigSize = TPoint(outer->Width() - s1, outer->Height() - s1);
        }
        D.PreventDocking = GetKeyState(VK_CONTROL) < 0;
        D.PreventFloating = FDockMode != dmCanFloat;

        // Candidate docks.
        auto mayDock = [this](TBarDock* Dock) { return Dock->AllowDrag() && FDockableTo.Contains(Dock->Position()); };
        if (FDockMode == dmCannotFloatOrChangeDocks) {
            if (FDocked) D.Candidates.push_back(FCurrentDock);
        } else {
            if (FDocked && mayDock(FCurrentDock)) D.Candidates.push_back(FCurrentDock);
            std::function<void(vcl::TWinControl*)> search = [&](vcl::TWinControl* Ctl) {
                if (Ctl == this || ContainsControl(Ctl) || !Ctl->HandleAllocated() || !Ctl->Visible()) return;
                std::vector<vcl::TWinControl*> children;
                for (int i = 0; i < Ctl->ControlCount(); ++i)
                    if (auto* w = dynamic_cast<vcl::TWinControl*>(Ctl->Controls(i))) children.push_back(w);
                for (TBarDockPosition p : {dpTop, dpBottom, dpLeft, dpRight})
                    for (vcl::TWinControl* c : children)
                        if (auto* dock = dynamic_cast<TBarDock*>(c); dock && dock->Position() == p) search(c);
                for (vcl::TWinControl* c : children)
                    if (!dynamic_cast<TBarDock*>(c)) search(c);
                if (auto* dock = dynamic_cast<TBarDock*>(Ctl);
                    dock && mayDock(dock) && std::find(D.Candidates.begin(), D.Candidates.end(), dock) == D.Candidates.end())
                    D.Candidates.push_back(dock);
            };
            std::vector<vcl::TCustomForm*> forms;
            if (vcl::TCustomForm* form = ParentFormOf(this)) forms.push_back(form);
            if (FDockForms && vcl::Screen)
                for (int i = 0; i < vcl::Screen->CustomFormCount(); ++i) {
                    vcl::TCustomForm* f = vcl::Screen->CustomForms(i);
                    if (std::find(FDockForms->begin(), FDockForms->end(), f) != FDockForms->end() &&
                        std::find(forms.begin(), forms.end(), f) == forms.end())
                        forms.push_back(f);
                }
            for (vcl::TCustomForm* f : forms) search(f);
        }

        // The sizes of every placement.
        const TBarDockKind kind = DockKindOf(FCurrentDock, FFloating);
        for (TBarDock* dock : D.Candidates) dock->AdoptEffectivePositions();
        {
            TDockedSize floating;
            floating.Size = ArrangeContents(false, kind, true, nullptr);
            AddFloatingNCAreaToSize(floating.Size);
            D.Sizes.push_back(floating);
        }
        for (TBarDock* dock : D.Candidates) {
            TDockedSize s;
            s.Dock = dock;
            RECT client;
            ::GetClientRect(dock->Handle(), &client);
            POINT o{0, 0};
            ::ClientToScreen(dock->Handle(), &o);
            s.BoundsRect = TRect(o.x, o.y, o.x + client.right, o.y + client.bottom);
            if (dock == FCurrentDock)
                s.Size = TPoint(Width(), Height());
            else {
                s.Size = ArrangeContents(false, kind, false, dock);
                AddDockedNCAreaToSize(s.Size, dock->Vertical());
            }
            const int highest = dock->GetHighestRow(true);
            for (int r = 0; r <= highest; ++r) {
                bool full = false;
                const int size = dock->GetCurrentRowSize(r, full);
                s.RowSizes.push_back({size, full});
            }
            D.Sizes.push_back(std::move(s));
        }

        ProcessPaintMessages();
        D.OldCursor = GetCursor();
        if (!D.Smooth) D.Outline.Open();
        bool accepted = false;
        const HWND wnd = Handle();
        auto finishLoop = [&] {
            if (GetCapture() == wnd) ReleaseCapture();
            if (!D.Smooth) {
                DrawDragOutline(this, D.Outline.DC, TRect(), D.MoveRect, false, D.MouseOverDock != nullptr);
                D.Outline.Close();
            }
            FSmoothDragging = false;
        };
        try {
            SetCapture(wnd);
            D.StartPos = D.LastPos = CursorPos();
            MouseMoveStep(D, FDocked);
            bool cancelled = false;
            TLoopHandlers handlers;
            handlers.Key = [&](UINT Key, bool Down) {
                if (Key == VK_CONTROL) {
                    if (D.PreventDocking != Down) {
                        D.PreventDocking = Down;
                        MouseMoveStep(D, true);
                    }
                } else if (Key == VK_ESCAPE)
                    cancelled = true;
            };
            handlers.MouseMove = [&](const TPoint& Pos) {
                if (Pos == D.LastPos) return;
                D.LastPos = Pos;
                MouseMoveStep(D, true);
            };
            accepted = RunCaptureLoop(wnd, handlers, cancelled) == TLoopEnd::Accept;
        } catch (...) {
            finishLoop();
            throw;
        }
        finishLoop();
        if (accepted && !D.MoveRect.IsEmpty()) DropStep(D);
        if (FUseLastDock && FDocked) SetLastDock(FCurrentDock);
        FreeUnusedFloatParent();
    } catch (...) {
        if (!FDocked) {
            FDockRow = D.StartDockRow;
            FDockPos = D.StartDockPos;
        }
        FDragMode = false;
        FDragSplitting = false;
        FSmoothDragging = false;
        throw;
    }
    if (!FDocked) {
        FDockRow = D.StartDockRow;
        FDockPos = D.StartDockPos;
    }
    FDragMode = false;
    FDragSplitting = false;
}

void TBarCustomDockableWindow::BeginSizing(TBarSizeHandle ASizeHandle) {
    if (!FFloating || !FFloatParent) return;
    TBarFloatingWindowParent* frame = FFloatParent;
    const bool smooth = FSmoothDrag;
    int minW = 0, minH = 0, maxW = 0, maxH = 0;
    GetSizeLimits(minW, minH, maxW, maxH);
    const int ncW = frame->Width() - Width(), ncH = frame->Height() - Height();
    minW += ncW;
    minH += ncH;
    if (maxW > 0) maxW += ncW;
    if (maxH > 0) maxH += ncH;
    const bool horizontal = ASizeHandle != twshTop && ASizeHandle != twshBottom;
    const bool leftEdge = ASizeHandle == twshLeft || ASizeHandle == twshTopLeft || ASizeHandle == twshBottomLeft;
    const bool verticalSizing = ASizeHandle != twshLeft && ASizeHandle != twshRight;
    const bool topEdge = ASizeHandle == twshTop || ASizeHandle == twshTopLeft || ASizeHandle == twshTopRight;

    auto apply = [&](const TRect& R) {
        BeginUpdate();
        try {
            SizingAccepted();
            frame->SetBounds(R.Left, R.Top, R.Width(), R.Height());
            SetBounds(Left(), Top(), frame->ClientWidth(), frame->ClientHeight());
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
        MoveOnScreen(true);
    };

    TOutlineDC outline;
    const HWND wnd = Handle();
    TRect origRect, newRect;
    bool accepted = false;
    auto finish = [&] {
        if (GetCapture() == wnd) ReleaseCapture();
        ClipCursor(nullptr);
        if (!smooth) {
            DrawDragOutline(this, outline.DC, TRect(), newRect, false, false);
            outline.Close();
        }
    };
    try {
        SizingStarted(ASizeHandle);
        ProcessPaintMessages();
        if (!smooth) outline.Open();
        SetCapture(wnd);
        if (FDockableWindowStyles.Contains(tbdsResizeClipCursor) && !MultipleMonitors()) {
            const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            ClipCursor(&screen);
        }
        origRect = newRect = frame->BoundsRect();
        if (!smooth) DrawDragOutline(this, outline.DC, newRect, TRect(), false, false);
        const TPoint origPos = CursorPos();
        TPoint lastPos = origPos;
        bool cancelled = false;
        TLoopHandlers handlers;
        handlers.Key = [&](UINT Key, bool) {
            if (Key == VK_ESCAPE) cancelled = true;
        };
        handlers.MouseMove = [&](const TPoint&) {
            const TPoint pos = CursorPos();
            if (pos == lastPos) return;
            lastPos = pos;
            const TRect oldRect = newRect;
            newRect = origRect;
            const int dx = pos.X - origPos.X, dy = pos.Y - origPos.Y;
            if (horizontal) (leftEdge ? newRect.Left : newRect.Right) += dx;
            if (verticalSizing) (topEdge ? newRect.Top : newRect.Bottom) += dy;
            auto hold = [](LONG& Moving, LONG Fixed, int Sign, int Min, int Max) {
                const int size = (Moving - Fixed) * Sign;
                if (size < Min) Moving = Fixed + Min * Sign;
                else if (Max > 0 && size > Max) Moving = Fixed + Max * Sign;
            };
            if (leftEdge)
                hold(newRect.Left, newRect.Right, -1, minW, maxW);
            else
                hold(newRect.Right, newRect.Left, 1, minW, maxW);
            if (topEdge)
                hold(newRect.Top, newRect.Bottom, -1, minH, maxH);
            else
                hold(newRect.Bottom, newRect.Top, 1, minH, maxH);
            SizingTracked(newRect, origRect);
            if (smooth)
                apply(newRect);
            else
                DrawDragOutline(this, outline.DC, newRect, oldRect, false, false);
        };
        accepted = RunCaptureLoop(wnd, handlers, cancelled) == TLoopEnd::Accept;
    } catch (...) {
        finish();
        SizingEnded();
        throw;
    }
    finish();
    try {
        if (accepted && !smooth) apply(newRect);
    } catch (...) {
        SizingEnded();
        throw;
    }
    SizingEnded();
}

} // namespace bars
