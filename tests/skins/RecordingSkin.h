// tests/skins/RecordingSkin.h: a skin that writes down every body-and-borders paint it is asked for
// (component, state, rectangle, body, borders, vertical flag, square sides) before painting it, so a
// test can tell which entry a painter chose. Every component state gets a plain body and a frame in
// colours of its own, so pixels tell them apart too.
#pragma once
#include "skins/SkSkins.h"

#include <vector>

namespace skins_test {

struct TPaintRecord {
    skins::TSkSkinComponentsType Component;
    skins::TSkSkinStatesType State;
    vcl::TRect Rect;
    bool Body;
    bool Borders;
    bool Vertical;
    vcl::TAnchors Forced;
};

class TRecordingSkin : public skins::TSkSkinOptions {
public:
    static constexpr const char16_t* Name = u"Recording";

    // The body colour of a component state: component in the blue channel, state in the green one.
    static vcl::TColor BodyColor(skins::TSkSkinComponentsType C, skins::TSkSkinStatesType S) {
        return vcl::TColor(0x40 + 4 * int(C)) << 16 | vcl::TColor(0x20 + 0x20 * int(S)) << 8 | 0x10;
    }
    static vcl::TColor BorderColor(skins::TSkSkinComponentsType C, skins::TSkSkinStatesType S) {
        return BodyColor(C, S) | 0x80;
    }
    static constexpr vcl::TColor Color2 = 0x00C0C0C0;

    void FillOptions() override {
        SetSkinName(QString::fromUtf16(Name));
        for (int c = 0; c < skins::SkinComponentCount; ++c)
            for (int s = 0; s < skins::SkinStateCount; ++s) {
                const auto C = skins::TSkSkinComponentsType(c);
                const auto S = skins::TSkSkinStatesType(s);
                if (!skins::IsValidSkinState(C, S)) continue;
                Options(C, S)->Body()->Fill(0, BodyColor(C, S), Color2, vcl::clNone, vcl::clNone);
                Options(C, S)->Borders()->Fill(0, BorderColor(C, S), BorderColor(C, S), vcl::clNone, vcl::clNone);
            }
    }

    void PaintBackground(vcl::TCanvas* ACanvas, const vcl::TRect& ARect, skins::TSkSkinComponentsType Component,
                         skins::TSkSkinStatesType State, bool Background, bool Borders, bool Vertical,
                         vcl::TAnchors ForceRectBorders) override {
        Log().push_back(TPaintRecord{Component, State, ARect, Background, Borders, Vertical, ForceRectBorders});
        skins::TSkSkinOptions::PaintBackground(ACanvas, ARect, Component, State, Background, Borders, Vertical,
                                               ForceRectBorders);
    }

    static std::vector<TPaintRecord>& Log() {
        static std::vector<TPaintRecord> log;
        return log;
    }
    static int Count(skins::TSkSkinComponentsType Component) {
        int n = 0;
        for (const TPaintRecord& r : Log()) n += r.Component == Component;
        return n;
    }
    static TPaintRecord Last(skins::TSkSkinComponentsType Component) {
        for (auto it = Log().rbegin(); it != Log().rend(); ++it)
            if (it->Component == Component) return *it;
        return TPaintRecord{};
    }
    // Registers the skin (once) and makes it current; the log starts empty.
    static void Use() {
        auto* manager = skins::GetSkinManager();
        manager->SkinsList()->AddSkin(QString::fromUtf16(Name), skins::TSkSkinOptions::ClassOf<TRecordingSkin>());
        manager->SetSkin(QString::fromUtf16(Name));
        Log().clear();
    }
};

} // namespace skins_test
