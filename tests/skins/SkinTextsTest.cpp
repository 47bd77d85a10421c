// The program's ten skin texts (skins/texts): each registers under its name, loads without an error,
// and keeps its text readable on its bars and menus.
#include "skins/SkSkins.h"
#include "skins/SkSkinsPaint.h"

#include "tests/support/windows/HeadlessApp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace skins;

namespace {

QString TextsDir() { return qEnvironmentVariable("TW_SOURCE_DIR", QStringLiteral(".")) + QStringLiteral("/skins/texts/"); }

// In the order the main window registers them, with the names it selects.
const std::pair<const char*, const char*> kTexts[] = {
    {"main.skin", "main"},   {"carbon.skin", "Carbon"},   {"auric.skin", "Auric"}, {"charcoal.skin", "Charcoal"},
    {"cobalt.skin", "Cobalt"}, {"iceberg.skin", "Iceberg"}, {"luna.skin", "Luna"},   {"silver.skin", "Silver"},
    {"slate.skin", "Slate"}, {"tabletdark.skin", "TabletDark"}};

double Luminance(TColor C) {
    int r, g, b;
    SplitColorRGB(C, r, g, b);
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

} // namespace

TEST(SkinTexts, RegisterLoadAndStayReadable) {
    testing_support::HeadlessApp app;
    TSkSkinManager manager;
    int index = 0;
    for (const auto& [file, name] : kTexts) {
        SCOPED_TRACE(file);
        auto lines = std::make_unique<rtl::TStringList>();
        ASSERT_NO_THROW(lines->LoadFromFile(TextsDir() + QString::fromLatin1(file))) << TextsDir().toStdString();
        EXPECT_EQ(manager.SkinsList()->AddSkin(lines.get()), index++);

        manager.SetSkin(QString::fromLatin1(name));
        TSkSkinOptions* skin = manager.CurrentSkin();
        EXPECT_EQ(skin->SkinName(), QString::fromLatin1(name));
        EXPECT_FALSE(skin->Options(skncToolbarItem, sknsHotTrack)->IsEmpty());
        EXPECT_FALSE(skin->OfficePopup());
        // Text on the bar, on a hot item and on a popup stands out from what is under it.
        const struct {
            TSkSkinComponentsType text, under;
            TSkSkinStatesType state;
        } pairs[] = {{skncToolbarItem, skncToolbar, sknsNormal},
                     {skncMenuItem, skncMenuItem, sknsHotTrack},
                     {skncMenuItem, skncPopup, sknsNormal},
                     {skncButton, skncButton, sknsNormal}};
        for (const auto& p : pairs) {
            const TColor text = skin->Options(p.text, p.state)->TextColor();
            const TColor under = skin->Options(p.under, p.state)->Body()->Color1();
            EXPECT_GT(std::fabs(Luminance(text) - Luminance(under)), 90.0)
                << SkinComponents[p.text].SectionName << " on " << SkinComponents[p.under].SectionName;
        }
    }
    EXPECT_EQ(manager.SkinsList()->Count(), 10);
}
