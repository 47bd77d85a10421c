// The main window's close and the visual style: the settings keep the user's style, every window is
// hidden, and only then is the style engine left on Carbon.
#include <QFile>

#include "app/shell/MainStyle.h"
#include "app/shell/VisualStyles.h"
#include "base/MemIniFile.h"
#include "rtl/Encoding.h"
#include "tests/shell/ShellWindows.h"
#include "tests/support/QtPrint.h"
#include "vcl/Themes.h"

namespace {

using namespace shell;

QString ActiveStyle() {
    return vcl::TStyleManager::ActiveStyle()->Name();
}

class Shutdown : public shell_test::ShellWindows {
protected:
    void TearDown() override {
        vcl::TStyleManager::TrySetStyle(QStringLiteral("Windows"), false);
        ShellWindows::TearDown();
    }
};

TEST_F(Shutdown, TheUsersStyleIsSavedAndTheHiddenWindowsAreLeftOnCarbon) {
    engine::AppParams.StylesDir = QStringLiteral(TW_STYLES_DIR);
    VisualStyles = std::make_unique<TVisualStyles>(engine::AppParams.StylesDir);
    ChangeVisualStyle(QStringLiteral("Luna"));
    ASSERT_EQ(ActiveStyle(), "Luna");
    Main->Show();
    Options->Show();
    Main->Close();
    EXPECT_FALSE(Main->Visible());
    EXPECT_FALSE(Options->Visible());
    EXPECT_EQ(ActiveStyle(), "Carbon");
    EXPECT_EQ(VisualStyles, nullptr);
    base::TKwpMemIniFile ini(engine::AppParams.IniName, rtl::TEncoding::UTF8());
    EXPECT_EQ(ini.ReadString("MAIN", "StyleName", ""), "Luna");
    EXPECT_TRUE(QFile::exists(engine::AppParams.LastProfileFile));
}

} // namespace
