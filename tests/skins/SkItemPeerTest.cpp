// Items filled from menus against the real platform: the traces the menu probe wrote under Wine
// (tests/platform/user32/oracle/traces, made by scripts/make-message-oracle.sh) give a real system menu
// and a made menu read entry by entry; the items must carry what those entries say.
#include "tests/skins/SkItemFixture.h"

#include "vcl/Forms.h"

#include <QFile>
#include <QRegularExpression>

using namespace skins;
using namespace skins_test;

namespace {

struct TraceEntry {
    unsigned id = 0, state = 0, type = 0;
    bool sub = false;
    int length = 0;
    QChar last;
    QString text;   // a tab is written as "|"
};

// The "item" lines of one step ("> <step>") of a committed trace.
std::vector<TraceEntry> ReadTrace(const char* Name, const QString& Step) {
    QFile file(qEnvironmentVariable("TW_SOURCE_DIR") + QStringLiteral("/tests/platform/user32/oracle/traces/") +
               QLatin1String(Name) + QStringLiteral(".txt"));
    std::vector<TraceEntry> entries;
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "trace " << Name << " missing";
        return entries;
    }
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    static const QRegularExpression item(QStringLiteral(
        R"(^item \d+ (?:type=0x([0-9a-f]+) )?(?:id=0x([0-9a-f]+) |)state=0x([0-9a-f]+)(?: id=(\d+) sub=(\d) len=(\d+) last=(.))? text=(.*)$)"));
    bool inStep = false;
    for (const QString& line : lines) {
        if (line.startsWith(u'>')) {
            inStep = line == QStringLiteral("> ") + Step;
            continue;
        }
        if (!inStep) continue;
        const auto m = item.match(line);
        if (!m.hasMatch()) continue;
        TraceEntry e;
        e.type = m.captured(1).toUInt(nullptr, 16);
        e.id = m.captured(2).isEmpty() ? m.captured(4).toUInt() : m.captured(2).toUInt(nullptr, 16);
        e.state = m.captured(3).toUInt(nullptr, 16);
        e.sub = m.captured(5) == QStringLiteral("1");
        e.length = m.captured(6).toInt();
        e.last = m.captured(7).isEmpty() ? QChar() : m.captured(7)[0];
        e.text = m.captured(8);
        entries.push_back(e);
    }
    return entries;
}

QString TraceText(const QString& Caption) {
    QString s = Caption;
    s.replace(u'\t', u'|');
    return s;
}

TEST_F(ItemFixture, SystemMenuItemsAreTheEntriesOfARealSystemMenu) {
    std::vector<TraceEntry> real = ReadTrace("system_menu", QStringLiteral("GetSystemMenu maximized"));
    ASSERT_GE(real.size(), 3u);
    // Wine adds an entry of its own at the end, after a separator.
    real.resize(real.size() - 2);
    auto* form = harness.Show<vcl::TForm>();
    form->SetWindowState(vcl::wsMaximized);
    auto* parent = Add<TSkSubmenuItem>(u"System");
    ASSERT_TRUE(FillSystemMenuPopup(form, parent, true, true, true, true, nullptr));
    ASSERT_EQ(size_t(parent->Count()), real.size());
    TTestView popup(parent, false);
    for (int i = 0; i < parent->Count(); ++i) {
        TBarCustomItem* item = parent->GetItem(i);
        const TraceEntry& e = real[size_t(i)];
        SCOPED_TRACE(e.text.toStdString());
        const bool separator = e.state & MF_SEPARATOR;
        EXPECT_EQ(dynamic_cast<TSkSeparatorItem*>(item) != nullptr, separator);
        if (separator) continue;
        EXPECT_EQ(unsigned(item->Tag()), e.id);
        EXPECT_EQ(TraceText(item->Caption()), e.text);
        // The caption before the tab, the shortcut text after it.
        auto* skinned = static_cast<TSkCustomItem*>(item);
        const qsizetype bar = e.text.indexOf(u'|');
        EXPECT_EQ(static_cast<TSkItemViewer*>(popup.Find(item))->GetCaptionText(), e.text.left(bar));
        EXPECT_EQ(skinned->GetShortCutText(), bar >= 0 ? e.text.mid(bar + 1) : QString());
        EXPECT_EQ(item->Options().Contains(bars::tboDefault), (e.state & MFS_DEFAULT) != 0);
        // Real entries are all enabled; the items follow the window state instead.
        EXPECT_EQ(e.state & MFS_GRAYED, 0u);
        const bool maximizedOff = e.id == SC_SIZE || e.id == SC_MOVE || e.id == SC_MAXIMIZE;
        EXPECT_EQ(item->Enabled(), !maximizedOff);
    }
}

TEST_F(ItemFixture, ItemsFromAMadeMenuCarryWhatTheRealMenuReports) {
    const std::vector<TraceEntry> real = ReadTrace("menu_fill", QStringLiteral("fill"));
    ASSERT_EQ(real.size(), 7u);
    // The menu the probe made.
    HMENU m = CreatePopupMenu(), sub = CreatePopupMenu();
    std::u16string longText;
    for (int i = 0; i < 300; ++i) longText += char16_t(u'a' + i % 26);
    AppendMenuW(sub, MF_STRING, 201, u"Inner");
    AppendMenuW(m, MF_STRING, 101, u"&Open\tCtrl+O");
    AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(m, MF_STRING | MF_GRAYED, 102, u"&Grayed");
    AppendMenuW(m, MF_STRING | MF_DISABLED, 105, u"Disabled");
    AppendMenuW(m, MF_STRING | MF_CHECKED, 103, u"Checked");
    AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), u"&Sub");
    AppendMenuW(m, MF_STRING, 104, longText.c_str());
    SetMenuDefaultItem(m, 103, FALSE);
    ASSERT_TRUE(FillItemsFromMenu(m, root));
    ASSERT_EQ(root->Count(), 7);
    for (int i = 0; i < 7; ++i) {
        TBarCustomItem* item = root->GetItem(i);
        const TraceEntry& e = real[size_t(i)];
        SCOPED_TRACE(i);
        const bool separator = e.type & MFT_SEPARATOR;
        EXPECT_EQ(dynamic_cast<TSkSeparatorItem*>(item) != nullptr, separator);
        if (separator) continue;
        EXPECT_EQ(dynamic_cast<TSkSubmenuItem*>(item) != nullptr, e.sub);
        if (!e.sub) {
            EXPECT_EQ(unsigned(item->Tag()), e.id);
        }
        EXPECT_EQ(item->Caption().size(), e.length);
        EXPECT_EQ(TraceText(item->Caption()).left(40), e.text);
        EXPECT_EQ(item->Caption().back(), e.last);
        EXPECT_EQ(item->Enabled(), (e.state & MFS_GRAYED) == 0);
        EXPECT_EQ(item->Checked(), (e.state & MFS_CHECKED) != 0);
        EXPECT_EQ(item->Options().Contains(bars::tboDefault), (e.state & MFS_DEFAULT) != 0);
    }
    DestroyMenu(m);
}

} // namespace
