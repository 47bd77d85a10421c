// Template part of Gdi.h.
#pragma once

namespace wingdi {

template <class F> void BlitRop(DC& dc, const RECT& devRect, DWORD rop, F&& srcAt) {
    PixelTarget t = dc.Target();
    if (!t.Valid()) return;
    const BYTE code = BYTE(rop >> 16);
    const bool usesPat = ((code >> 4) & 0x0F) != (code & 0x0F);
    const bool usesSrc = ((code >> 2) & 0x33) != (code & 0x33);
    BrushSource pat = MakeBrushSource(dc, dc.s.brush, t);
    Region clip = dc.EffectiveClip().Intersect(devRect);
    const POINT o = dc.deviceOrigin;
    clip.ForEachSpan([&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            uint32_t p = 0, s = 0;
            if (usesPat && !pat.At(x, y, p)) p = t.Get(x + o.x, y + o.y);
            if (usesSrc) s = srcAt(x - devRect.left, y - devRect.top);
            const uint32_t d = t.Get(x + o.x, y + o.y);
            t.Set(x + o.x, y + o.y, Rop3(rop, p, s, d));
        }
    });
}

} // namespace wingdi
