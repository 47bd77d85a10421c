// toolbars/BarLayout.cpp: the layout of a view: which viewers show, where each stands, wrapping into
// lines with separators as line breaks, shrinking behind the chevron by priority, right alignment,
// vertical mirroring and the scrolled band of a tall popup.
#include "toolbars/BarItem.h"

#include <unordered_map>

namespace bars {

namespace {

struct TPositionRec {
    TRect Bounds;  // while measuring: (0, 0, width, height)
    bool Show = false;
    bool OffEdge = false;
    bool LineBreak = false;
    bool Clipped = false;
    bool SameWidth = false;
};

bool IsSeparator(const TBarCustomItem* Item) { return Item->ItemStyle().Contains(tbisSeparator); }

} // namespace

TBarItemViewer::TMeasureKey TBarView::MeasureKeyOf(TBarItemViewer* Viewer, vcl::TFont* Font,
                                                   TBarViewOrientation AOrientation, int DPI) {
    TBarCustomItem* item = Viewer->Item();
    TBarItemViewer::TMeasureKey key;
    key.Caption = item->Caption();
    key.ShortCut = item->ShortCut();
    key.Images = Viewer->EffectiveImages();
    if (key.Images) {
        key.ImagesWidth = key.Images->Width();
        key.ImagesHeight = key.Images->Height();
    }
    key.ImageIndex = item->ImageIndex();
    key.DisplayMode = int(item->DisplayMode());
    key.Orientation = int(AOrientation);
    key.DPI = DPI;
    key.FontName = Font->Name();
    key.FontHeight = Font->Height();
    key.FontCharset = Font->Charset();
    key.FontPitch = int(Font->Pitch());
    key.FontOrientation = Font->Orientation();
    key.FontStyle = Font->Style();
    key.Options = item->EffectiveOptions();
    key.ItemStyle = item->ItemStyle();
    key.Toolbar = IsToolbar();
    return key;
}

bool TBarView::LayoutViewers(bool Apply, TBarViewOrientation AOrientation, int AWrapOffset, int AChevronOffset,
                             int AChevronSize, TPoint& ABaseSize, TPoint& ATotalSize, int& AWrappedLines) {
    struct TRestoreOrientation {
        TBarView* View;
        TBarViewOrientation Saved;
        ~TRestoreOrientation() { View->FOrientation = Saved; }
    } restore{this, FOrientation};
    FOrientation = AOrientation;
    AWrappedLines = 1;
    ATotalSize = TPoint(0, 0);
    const bool vertical = AOrientation == tbvoVertical;
    const int count = ViewerCount();
    std::vector<TPositionRec> pos(static_cast<size_t>(count));
    TBarCustomItem* chevron = ChevronItem();
    auto length = [&](int i) { return vertical ? pos[i].Bounds.Height() : pos[i].Bounds.Width(); };
    auto itemOf = [&](int i) { return FViewers[i]->Item(); };
    auto hideTrailingSeparators = [&] {
        for (int i = count - 1; i >= 0; --i) {
            if (!pos[i].Show) continue;
            if (!IsSeparator(itemOf(i))) break;
            pos[i].Show = false;
        }
    };

    // 1. Which viewers show.
    bool prevSep = true;
    for (int i = 0; i < count; ++i) {
        TBarCustomItem* item = itemOf(i);
        if (chevron && item == chevron) continue;
        auto* controlItem = dynamic_cast<TBarControlItem*>(item);
        if (FChevronParentView) {
            // A chevron popup shows what the toolbar could not, plus separators.
            if (controlItem) continue;
            FChevronParentView->ValidatePositions();
            const int j = i + FChevronParentView->FInternalViewersAtFront;
            TBarItemViewer* there = j < FChevronParentView->ViewerCount() ? FChevronParentView->FViewers[j] : nullptr;
            if (!there || (!there->OffEdge() && !IsSeparator(item))) continue;
        }
        if (controlItem) {
            vcl::TControl* control = controlItem->Control();
            if (control && control->Parent() == FWindow &&
                (control->Visible() || control->ComponentState().Contains(rtl::csDesigning))) {
                pos[i].Show = true;
                prevSep = false;
            }
            continue;
        }
        if (item->ItemStyle().Contains(tbisEmbeddedGroup) && !FCustomizing) continue;
        bool show = item->Visible();
        if (show && IsSeparator(item) && prevSep) show = false;
        if (show) prevSep = IsSeparator(item);
        pos[i].Show = show;
    }
    hideTrailingSeparators();

    // 2. Measuring, on the screen with the view's font.
    HDC screenDC = GetDC(nullptr);
    struct TReleaseScreenDC {
        HDC DC;
        ~TReleaseScreenDC() { ReleaseDC(nullptr, DC); }
    } releaseDC{screenDC};
    vcl::TCanvas canvas;
    canvas.SetHandle(screenDC);
    if (vcl::TFont* font = GetFont()) canvas.SetFont(font);
    const int dpi = GetDeviceCaps(screenDC, LOGPIXELSY);
    int maxSame = 0;
    for (int i = 0; i < count; ++i) {
        if (!pos[i].Show) continue;
        TBarCustomItem* item = itemOf(i);
        int w = 0, h = 0;
        if (auto* controlItem = dynamic_cast<TBarControlItem*>(item)) {
            w = controlItem->Control()->Width();
            h = controlItem->Control()->Height();
        } else {
            const vcl::TFontStyles oldStyle = canvas.Font()->Style();
            const bool bold = item->EffectiveOptions().Contains(tboDefault);
            if (bold) canvas.Font()->SetStyle(oldStyle + vcl::TFontStyles{vcl::fsBold});
            TBarItemViewer* viewer = FViewers[i];
            std::unique_ptr<TBarItemViewer> temporary;
            if (item->ViewerNeedsRecreate(viewer)) {
                if (Apply) {
                    RecreateViewer(i);
                    viewer = FViewers[i];
                } else {
                    temporary.reset(item->GetItemViewerClass(this).Create(this, item, 0));
                    viewer = temporary.get();
                }
            }
            // A plain viewer keeps its size from one layout to the next while nothing it is measured
            // from has changed; a subclass may measure from more, so it is measured every time.
            const bool cacheable = typeid(*viewer) == typeid(TBarItemViewer);
            TBarItemViewer::TMeasureKey key;
            if (cacheable) key = MeasureKeyOf(viewer, canvas.Font(), AOrientation, dpi);
            if (cacheable && viewer->FMeasured.Valid && viewer->FMeasured.Key == key) {
                w = viewer->FMeasured.Width;
                h = viewer->FMeasured.Height;
            } else {
                try {
                    viewer->MeasureSize(&canvas, w, h);
                } catch (...) {
                    canvas.SetHandle(nullptr);
                    throw;
                }
                if (cacheable) viewer->FMeasured = {true, std::move(key), w, h};
            }
            if (bold) canvas.Font()->SetStyle(oldStyle);
            if (viewer->UsesSameWidth()) {
                pos[i].SameWidth = true;
                maxSame = std::max(maxSame, w);
            }
        }
        pos[i].Bounds = TRect(0, 0, w, h);
    }
    canvas.SetHandle(nullptr);

    // 3. Same width, and the length before any shrinking.
    int totalLength = 0;
    for (int i = 0; i < count; ++i) {
        if (pos[i].SameWidth && pos[i].Bounds.Right < maxSame) pos[i].Bounds.Right = maxSame;
        if (pos[i].Show) totalLength += length(i);
    }
    ABaseSize = TPoint(0, 0);
    (vertical ? ABaseSize.Y : ABaseSize.X) = totalLength;

    // 4. Shrinking behind the chevron, lowest priority first.
    const bool chevronStep = chevron && AChevronOffset > 0 && AChevronOffset < totalLength;
    int room = 0;
    bool anyOffEdge = false;
    if (chevronStep) {
        room = AChevronOffset - AChevronSize;
        auto hide = [&](int i) {
            pos[i].Show = false;
            totalLength -= length(i);
        };
        // Items are only ever hidden here, so the candidates (lowest priority first) and the last
        // shown item are walked once each, and the separator sweep runs only where there are
        // separators: a long bar shrinks in time linear in its items.
        std::vector<int> order;
        order.reserve(size_t(count));
        if (FPriorityList) {
            // Positions looked up once, not searched for each entry: a long bar stays linear.
            std::unordered_map<const TBarItemViewer*, int> position;
            position.reserve(size_t(count));
            for (int i = 0; i < count; ++i) position.emplace(FViewers[i], i);
            for (auto it = FPriorityList->rbegin(); it != FPriorityList->rend(); ++it)
                if (const auto found = position.find(*it); found != position.end()) order.push_back(found->second);
        } else
            for (int i = count - 1; i >= 0; --i) order.push_back(i);
        size_t next = 0;
        int items = 0, lastShown = -1;
        bool anySeparator = false;
        for (int i = 0; i < count; ++i) {
            const bool sep = IsSeparator(itemOf(i));
            anySeparator = anySeparator || sep;
            if (!pos[i].Show) continue;
            lastShown = i;
            if (!sep) ++items;
        }
        while (totalLength > room) {
            while (lastShown >= 0 && !pos[lastShown].Show) --lastShown;
            if (items < 2) break;  // the last item always stays
            if (IsSeparator(itemOf(lastShown)))
                hide(lastShown);
            else {
                while (next < order.size() && (!pos[order[next]].Show || IsSeparator(itemOf(order[next])))) ++next;
                if (next == order.size()) break;
                const int victim = order[next];
                hide(victim);
                --items;
                pos[victim].OffEdge = true;
                if (!dynamic_cast<TBarControlItem*>(itemOf(victim))) anyOffEdge = true;
            }
            if (!anySeparator) continue;
            bool prev = true;
            for (int i = 0; i < count; ++i) {
                if (!pos[i].Show) continue;
                const bool sep = IsSeparator(itemOf(i));
                if (sep && prev)
                    hide(i);
                else
                    prev = sep;
            }
        }
        hideTrailingSeparators();
    }

    // 5. The cross size.
    for (int i = 0; i < count; ++i) {
        if (!pos[i].Show) continue;
        if (vertical)
            ABaseSize.X = std::max<LONG>(ABaseSize.X, pos[i].Bounds.Width());
        else
            ABaseSize.Y = std::max<LONG>(ABaseSize.Y, pos[i].Bounds.Height());
    }

    // 6. Margins.
    int marginLeft = 0, marginTop = 0, marginRight = 0, marginBottom = 0;
    ContentMargins(AOrientation, marginLeft, marginTop, marginRight, marginBottom);
    const int startX = marginLeft, startY = marginTop;
    if (AWrapOffset > 0) AWrapOffset = std::max(AWrapOffset - marginRight, ScaleForDPI(1));

    // 7. Placing, line by line.
    int curX = startX, curY = startY, lineStart = -1, lineWidth = 0, lineHeight = 0;
    bool wrapped = false, wrapPending = false, prevTB = FIsToolbar;

    auto finishLine = [&](int last, bool isFinal) {
        if (lineStart == -1) return;
        if (wrapped && !FChevronParentView) {
            if (AOrientation == tbvoHorizontal) ATotalSize.X = std::max<LONG>(ATotalSize.X, AWrapOffset);
            if (AOrientation == tbvoVertical) ATotalSize.Y = std::max<LONG>(ATotalSize.Y, AWrapOffset);
        }
        if (FIsToolbar && isFinal && !wrapped && AOrientation != tbvoFloating) {
            // A single-line docked toolbar: the line is the whole content.
            lineWidth = ATotalSize.X;
            lineHeight = ATotalSize.Y;
        }
        int rightAlignStart = -1, lastShown = -1;
        for (int i = lineStart; i <= last && i < count; ++i) {
            if (!pos[i].Show) continue;
            lastShown = i;
            TBarItemViewer* v = FViewers[i];
            TRect& r = pos[i].Bounds;
            if (rightAlignStart < 0 && v->Item()->ItemStyle().Contains(tbisRightAlign)) rightAlignStart = i;
            if (FIsToolbar) {
                if (IsSeparator(v->Item())) {
                    if (vertical)
                        r.Right = r.Left + lineWidth;
                    else
                        r.Bottom = r.Top + lineHeight;
                } else if (vertical)
                    r.Offset((lineWidth - r.Width()) / 2, 0);
                else
                    r.Offset(0, (lineHeight - r.Height()) / 2);
            } else if (!v->IsToolbarSize())
                r.Right = r.Left + lineWidth;  // every menu item as wide as the widest
        }
        if (rightAlignStart >= 0 && lastShown >= 0) {
            const LONG edge = vertical ? pos[lastShown].Bounds.Bottom : pos[lastShown].Bounds.Right;
            const LONG shift = std::min<LONG>(AWrapOffset, vertical ? ATotalSize.Y : ATotalSize.X) - edge;
            if (shift > 0)
                for (int i = rightAlignStart; i <= lastShown; ++i)
                    if (pos[i].Show) pos[i].Bounds.Offset(vertical ? 0 : shift, vertical ? shift : 0);
        }
        lineStart = -1;
        lineWidth = lineHeight = 0;
    };

    auto lengthToNextSeparator = [&](int from) {
        int sum = 0;
        for (int i = from; i < count; ++i) {
            if (!pos[i].Show) continue;
            if (IsSeparator(itemOf(i))) break;
            sum += length(i);
        }
        return sum;
    };

    auto placeViewer = [&](int i) {
        TRect& r = pos[i].Bounds;
        if (lineStart == -1) {
            lineStart = i;
            lineWidth = lineHeight = 0;
        }
        const int cur = vertical ? curY : curX;
        bool separatorBreak = false;
        if (AWrapOffset > 0 && cur > 0) {
            const int end = cur + length(i);
            TBarCustomItem* item = itemOf(i);
            if (IsSeparator(item) && ((wrapPending && !item->ItemStyle().Contains(tbisNoLineBreak)) ||
                                      end + lengthToNextSeparator(i + 1) > AWrapOffset)) {
                wrapped = true;
                ++AWrappedLines;
                // The break itself starts at 0, not at the margin.
                if (vertical) {
                    curY = 0;
                    curX += lineWidth;
                } else {
                    curX = 0;
                    curY += lineHeight;
                }
                finishLine(i - 1, false);
                lineStart = i + 1;
                r = vertical ? TRect(0, 0, LineBreakSeparatorSize(), 0) : TRect(0, 0, 0, LineBreakSeparatorSize());
                pos[i].LineBreak = true;
                separatorBreak = true;
            } else if (end > AWrapOffset) {
                wrapped = true;
                ++AWrappedLines;
                if (vertical) {
                    curY = startY;
                    curX += lineWidth;
                } else {
                    curX = startX;
                    curY += lineHeight;
                }
                wrapPending = true;
                finishLine(i - 1, false);
                lineStart = i;
            }
        }
        lineHeight = std::max<int>(lineHeight, r.Height());
        lineWidth = std::max<int>(lineWidth, r.Width());
        r.Offset(std::max(curX, 0), std::max(curY, 0));
        if (separatorBreak) {
            if (vertical) {
                curY = startY;
                curX += LineBreakSeparatorSize();
            } else {
                curX = startX;
                curY += LineBreakSeparatorSize();
            }
            wrapPending = false;
        }
    };

    int lastPlaced = -1;
    for (int i = 0; i < count; ++i) {
        if (!pos[i].Show) continue;
        const bool tb = FViewers[i]->IsToolbarSize();
        if (prevTB && !tb) {
            // A menu-sized item after toolbar-sized ones starts a row below everything so far.
            curX = startX;
            curY = ATotalSize.Y;
        }
        prevTB = tb;
        placeViewer(i);
        if (tb && !vertical)
            curX += pos[i].Bounds.Width();
        else
            curY += pos[i].Bounds.Height();
        ATotalSize.X = std::max<LONG>(ATotalSize.X, pos[i].Bounds.Right);
        ATotalSize.Y = std::max<LONG>(ATotalSize.Y, pos[i].Bounds.Bottom);
        lastPlaced = i;
    }
    if (lastPlaced >= 0) finishLine(lastPlaced, true);
    ATotalSize.X += marginRight;
    ATotalSize.Y += marginBottom;
    if (vertical)
        for (auto& p : pos)
            if (p.Show) {
                const LONG left = p.Bounds.Left;
                p.Bounds.Left = ATotalSize.X - p.Bounds.Right;
                p.Bounds.Right = ATotalSize.X - left;
            }

    // The scrolled band of a popup taller than its maximum height.
    FShowUpArrow = FShowDownArrow = false;
    if (FMaxHeight > 0 && FMaxHeight < ATotalSize.Y) {
        const int excess = ATotalSize.Y - FMaxHeight;
        FScrollOffset = std::max(0, std::min(FScrollOffset, excess));
        FShowUpArrow = FScrollOffset > 0;
        FShowDownArrow = FScrollOffset < excess;
        const int bandTop = FShowUpArrow ? PopupScrollArrowHeight() : 0;
        const int bandBottom = FShowDownArrow ? FMaxHeight - PopupScrollArrowHeight() : FMaxHeight;
        for (auto& p : pos) {
            if (p.Bounds.IsEmpty()) continue;
            p.Bounds.Offset(0, -FScrollOffset);
            if (p.Show && !(p.Bounds.Top >= bandTop && p.Bounds.Bottom <= bandBottom)) {
                p.Show = false;
                p.Clipped = true;
            }
        }
        ATotalSize.Y = FMaxHeight;
    } else
        FScrollOffset = 0;

    // 8. Controls on the bar: placed, or moved out of sight.
    if (Apply) {
        for (int i = 0; i < count; ++i) {
            auto* controlItem = dynamic_cast<TBarControlItem*>(itemOf(i));
            if (!controlItem || !controlItem->Control()) continue;
            vcl::TControl* control = controlItem->Control();
            if (pos[i].Show) {
                const TRect& r = pos[i].Bounds;
                if (control->BoundsRect() != r) control->SetBounds(r.Left, r.Top, r.Width(), r.Height());
            } else if ((pos[i].OffEdge || pos[i].Clipped) && FWindow)
                control->SetBounds(FWindow->ClientWidth(), FWindow->ClientHeight(), control->Width(), control->Height());
        }
    }

    // 9. Line-break separators span the content.
    if (FIsToolbar)
        for (int i = 0; i < count; ++i)
            if (pos[i].Show && pos[i].LineBreak && IsSeparator(itemOf(i))) {
                if (vertical)
                    pos[i].Bounds.Bottom = ATotalSize.Y;
                else
                    pos[i].Bounds.Right = ATotalSize.X;
            }

    // 10. The chevron, after the room or the content.
    if (chevronStep && count > 0) {
        if (Apply) chevron->SetEnabled(anyOffEdge);
        TPositionRec& c = pos[static_cast<size_t>(count - 1)];
        c.Show = true;
        if (vertical) {
            const int at = std::max<int>(room, ATotalSize.Y);
            c.Bounds = TRect(0, at, ATotalSize.X, at + AChevronSize);
        } else {
            const int at = std::max<int>(room, ATotalSize.X);
            c.Bounds = TRect(at, 0, at + AChevronSize, ATotalSize.Y);
        }
    }

    // 11. Writing.
    bool changed = false;
    if (Apply)
        for (int i = 0; i < count; ++i) {
            TBarItemViewer* v = FViewers[i];
            const TPositionRec& p = pos[i];
            if (v->FBoundsRect != p.Bounds || v->FShow != p.Show ||
                v->State.Contains(tbvsLineBreak) != p.LineBreak)
                changed = true;
            v->FBoundsRect = p.Bounds;
            v->FShow = p.Show;
            v->FOffEdge = p.OffEdge;
            v->FClipped = p.Clipped;
            if (p.LineBreak)
                v->State.Include(tbvsLineBreak);
            else
                v->State.Exclude(tbvsLineBreak);
        }

    // 12. Empty content still has a size.
    if (ABaseSize.X == 0 || ABaseSize.Y == 0) {
        ABaseSize = TPoint(ScaleForDPI(23), ScaleForDPI(22));
        ATotalSize.X = std::max<LONG>(ATotalSize.X, ABaseSize.X);
        ATotalSize.Y = std::max<LONG>(ATotalSize.Y, ABaseSize.Y);
    }
    return changed;
}

} // namespace bars
