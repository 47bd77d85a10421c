// skins/SkDefaultSkins.h: the twelve built-in skins, filled in code, and the brushed-metal texture of
// the Aluminum skin. They are registered under their names when the skin manager is made.
#pragma once
#include "skins/SkSkins.h"
#include "skins/SkSkinsPaint.h"

#include <array>

namespace skins {

// Adds the twelve built-in skins to GetSkinManager()'s list, in their order (a second call adds nothing).
void RegisterDefaultSkins();

// The brushed-metal texture shared by all Aluminum skins: rows of random lines, in a colour and
// roughness, from Origin; nothing for clNone. The texture is made on the first paint.
void PaintBrushedMetal(HDC DC, const vcl::TPoint& Origin, const TRect& R, TColor Color, int Roughness);
// Frees the texture and its cached bitmaps; the next paint makes a new texture.
void FreeBrushedMetal();
// Makes the texture from Seed from now on (0: randomly again) and frees the current one.
void SeedBrushedMetal(uint32_t Seed);
// Whether the cache holds the bitmaps of (Color, Roughness); at most 16 sets are kept.
bool BrushedMetalCached(TColor Color, int Roughness);

using TSkAluminumColors = std::array<TColor, 4>;
using TSkOffice2003Colors = std::array<TColor, 23>;
using TSkOffice2007Colors = std::array<TColor, 18>;

class TSkAluminumSkin : public TSkSkinOptions {
public:
    ~TSkAluminumSkin() override;
    void FillOptions() override;
    void PaintBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                         TSkSkinStatesType State, bool Background, bool Borders, bool Vertical = false,
                         vcl::TAnchors ForceRectBorders = {}) override;
    TSkLunaScheme DefaultColorScheme() const { return FDefaultColorScheme; }
    void SetDefaultColorScheme(TSkLunaScheme Value);   // refills the skin for the new scheme
    const TSkAluminumColors& Colors() const { return FColors; }

protected:
    virtual void FillColors();
    virtual TColor GetTextureColor(TSkSkinComponentsType Component) const;

private:
    TSkAluminumColors FColors{};
    TSkLunaScheme FDefaultColorScheme = lusUnknown;
    TColor FLightMetalColor = 0xC7C7C7;
    TColor FDarkMetalColor = 0xDFDFDF;
    int FRoughness = 12;
};

class TSkAthenSkin : public TSkSkinOptions {
public:
    void FillOptions() override;
};

class TSkDreamSkin : public TSkSkinOptions {
public:
    void FillOptions() override;
};

class TSkEosSkin : public TSkSkinOptions {
public:
    void FillOptions() override;
};

class TSkHumanSkin : public TSkSkinOptions {
public:
    void FillOptions() override;
    void PaintBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                         TSkSkinStatesType State, bool Background, bool Borders, bool Vertical = false,
                         vcl::TAnchors ForceRectBorders = {}) override;
};

class TSkLeopardSkin : public TSkSkinOptions {
public:
    void FillOptions() override;
    void PaintBackground(vcl::TCanvas* ACanvas, const TRect& ARect, TSkSkinComponentsType Component,
                         TSkSkinStatesType State, bool Background, bool Borders, bool Vertical = false,
                         vcl::TAnchors ForceRectBorders = {}) override;
};

class TSkXitoSkin : public TSkSkinOptions {
public:
    void FillOptions() override;
};

class TSkOfficeXPSkin : public TSkSkinOptions {
public:
    void FillOptions() override;
};

class TSkOffice2003Skin : public TSkSkinOptions {
public:
    void FillOptions() override;
    TSkLunaScheme DefaultColorScheme() const { return FDefaultColorScheme; }
    void SetDefaultColorScheme(TSkLunaScheme Value);
    const TSkOffice2003Colors& Colors() const { return FColors; }

protected:
    virtual void FillColors();

private:
    TSkOffice2003Colors FColors{};
    TSkLunaScheme FDefaultColorScheme = lusUnknown;
    bool FSystemColors = false;   // the scheme was unknown: colours come from the system colours
};

class TSkOffice2007Skin : public TSkSkinOptions {
public:
    void FillOptions() override;
    const TSkOffice2007Colors& Colors() const { return FColors; }

protected:
    virtual void FillColors() = 0;
    TSkOffice2007Colors FColors{};
};

class TSkOffice2007BlueSkin : public TSkOffice2007Skin {
protected:
    void FillColors() override;
};

class TSkOffice2007BlackSkin : public TSkOffice2007Skin {
protected:
    void FillColors() override;
};

class TSkOffice2007SilverSkin : public TSkOffice2007Skin {
protected:
    void FillColors() override;
};

} // namespace skins
