// Dropped files: options, filter and event, order, folder marks, the disabled component, the drop
// message with its own point, the drop control, and a link loop in a dropped folder.
#include "base/DropFiles.h"
#include "vcl/ExtCtrls.h"

#include "tests/support/windows/FormHarness.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

namespace {

using namespace base;
using testing_support::FormHarness;

class DropFilesTest : public ::testing::Test {
protected:
    FormHarness h;
    QTemporaryDir dir;
    vcl::TForm* form = nullptr;
    TKwFormDropFiles* drop = nullptr;
    std::vector<QString> events;

    void SetUp() override {
        QDir().mkpath(dir.filePath("sub/inner"));
        for (const char* f : {"a.mp3", "b.mp3", "sub/c.mp3", "sub/inner/d.mp3"}) QFile(dir.filePath(f)).open(QIODevice::WriteOnly);
        // A link from deep inside back up to the dropped folder.
        ASSERT_EQ(::symlink("..", dir.filePath("sub/inner/loop").toUtf8().constData()), 0);
        form = h.Show<vcl::TForm>();
        form->SetName(QStringLiteral("formEditor"));
        form->SetBounds(100, 100, 400, 300);
        drop = new TKwFormDropFiles(form);
        drop->SetName(QStringLiteral("dropFolder"));
        drop->OnBeforeDrop() = [this](rtl::TObject* Sender) { events.push_back(Sender == drop ? "before" : "before?"); };
        drop->OnDropFiles() = [this](rtl::TObject* Sender) { events.push_back(Sender == drop ? "drop" : "drop?"); };
        h.Pump();
    }
    QString P(const char* rel) const { return dir.filePath(rel); }

    // Drops the paths at a client point of the form, as the desktop does.
    void Drop(const QStringList& paths, vcl::TPoint at = {10, 10}) {
        std::u16string list;
        for (const QString& p : paths) list += p.toStdU16String() + u'\0';
        list += u'\0';
        const vcl::TPoint screen = form->ClientToScreen(at);
        ASSERT_TRUE(TwInputDropFiles(screen.X, screen.Y, list.c_str()));
        h.Pump();
    }
    // "path" for a file, "path/" for a folder.
    QStringList Listed() const {
        QStringList out;
        for (int i = 0; i < drop->Count(); ++i) out << drop->Files(i) + (drop->IsFolder(i) ? "/" : "");
        return out;
    }
};

TEST_F(DropFilesTest, OptionsDecideWhatIsListedInDropOrder) {
    struct Case {
        TKwDropFilesOptions options;
        QStringList expected;
    };
    const Case cases[] = {
        {{dfoIncFolders, dfoIncFiles}, {P("b.mp3"), P("sub") + "/", P("a.mp3")}},
        {{dfoIncFolders}, {P("sub") + "/"}},
        // The loop link is a folder on the walk's own path: listed where folders are, never entered.
        {{dfoIncFiles, dfoRecurseFolders}, {P("b.mp3"), P("sub/c.mp3"), P("sub/inner/d.mp3"), P("a.mp3")}},
        {{dfoIncFolders, dfoIncFiles, dfoRecurseFolders},
         {P("b.mp3"), P("sub") + "/", P("sub/c.mp3"), P("sub/inner") + "/", P("sub/inner/d.mp3"), P("sub/inner/loop") + "/",
          P("a.mp3")}},
    };
    for (const Case& c : cases) {
        drop->SetOptions(c.options);
        events.clear();
        Drop({P("b.mp3"), P("sub"), P("a.mp3")});
        EXPECT_EQ(Listed(), c.expected);
        EXPECT_EQ(events, (std::vector<QString>{"before", "drop"}));
    }
    EXPECT_EQ(drop->FileName(), P("b.mp3"));
    EXPECT_EQ(drop->DropPoint().X, 10);
    EXPECT_EQ(drop->DropPoint().Y, 10);
}

class RejectB : public TKwFileFilter {
public:
    using TKwFileFilter::TKwFileFilter;
    bool Accept(const String& FilePath, bool) override { return !FilePath.endsWith(QLatin1String("b.mp3")); }
};

TEST_F(DropFilesTest, FilterComponentThenEventDecide) {
    auto* filter = new RejectB(form);
    drop->SetFilter(filter);
    drop->OnFileFilter() = [](rtl::TObject*, const String& FileName, bool IsFolder, bool& Accept) {
        if (IsFolder) Accept = false;                              // the event may refuse
        if (FileName.endsWith(QLatin1String("a.mp3"))) Accept = true; // or accept again
    };
    Drop({P("a.mp3"), P("b.mp3"), P("sub")});
    EXPECT_EQ(Listed(), QStringList{P("a.mp3")});
    // A freed filter is forgotten.
    delete filter;
    EXPECT_EQ(drop->Filter(), nullptr);
    drop->OnFileFilter() = nullptr;
    Drop({P("b.mp3")});
    EXPECT_EQ(Listed(), QStringList{P("b.mp3")});
}

TEST_F(DropFilesTest, DisabledComponentIgnoresDropsAndKeepsTheList) {
    Drop({P("a.mp3")});
    drop->SetEnabled(false);
    events.clear();
    // The window is no drop target now; the message itself is answered without effect as well.
    const vcl::TPoint screen = form->ClientToScreen({10, 10});
    EXPECT_FALSE(TwInputDropFiles(screen.X, screen.Y, (P("b.mp3").toStdU16String() + u'\0' + u'\0').c_str()));
    EXPECT_EQ(SendMessageW(form->Handle(), KwDropFilesMessage(), 0, 0), 1);
    EXPECT_EQ(Listed(), QStringList{P("a.mp3")});
    EXPECT_TRUE(events.empty());
    drop->SetEnabled(true);
    Drop({P("b.mp3")});
    EXPECT_EQ(Listed(), QStringList{P("b.mp3")});
}

HDROP MakeDrop(const QString& path, POINT pt) {
    const std::u16string files = path.toStdU16String() + u'\0' + u'\0';
    HGLOBAL h = GlobalAlloc(0, sizeof(DROPFILES) + files.size() * 2);
    auto* df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->pt = pt;
    df->fNC = FALSE;
    df->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(df) + sizeof(DROPFILES), files.data(), files.size() * 2);
    GlobalUnlock(h);
    return reinterpret_cast<HDROP>(h);
}

TEST_F(DropFilesTest, DropMessageCarriesItsOwnPointAndFindsTheControl) {
    auto* panel = new vcl::TPanel(form);
    panel->SetParent(form);
    panel->SetBounds(50, 40, 100, 80);
    h.Pump();
    // The point in lParam replaces the drop's own: X low, Y high.
    const LPARAM at = LPARAM(uint64_t(60) | uint64_t(50) << 32);
    EXPECT_EQ(SendMessageW(form->Handle(), KwDropFilesMessage(), WPARAM(MakeDrop(P("a.mp3"), {5, 5})), at), 1);
    EXPECT_EQ(drop->DropPoint().X, 60);
    EXPECT_EQ(drop->DropControl(), panel);
    EXPECT_EQ(SendMessageW(form->Handle(), KwDropFilesMessage(), WPARAM(MakeDrop(P("a.mp3"), {5, 5})), 0), 1);
    EXPECT_EQ(drop->DropControl(), form);
    const LPARAM outside = LPARAM(uint64_t(uint32_t(-5)) | uint64_t(10) << 32);
    SendMessageW(form->Handle(), KwDropFilesMessage(), WPARAM(MakeDrop(P("a.mp3"), {5, 5})), outside);
    EXPECT_EQ(drop->DropControl(), nullptr);
    // WM_DROPFILES is answered 0.
    EXPECT_EQ(SendMessageW(form->Handle(), WM_DROPFILES, WPARAM(MakeDrop(P("a.mp3"), {5, 5})), 0), 0);
}

TEST_F(DropFilesTest, PathWhoseAttributesCannotBeReadCountsAsFolder) {
    // Gone since the drag began: listed among folders, and not walked.
    drop->SetOptions({dfoIncFolders, dfoIncFiles, dfoRecurseFolders});
    SendMessageW(form->Handle(), KwDropFilesMessage(), WPARAM(MakeDrop(P("gone.mp3"), {5, 5})), 0);
    EXPECT_EQ(Listed(), QStringList{P("gone.mp3") + "/"});
    drop->SetOptions({dfoIncFiles});
    SendMessageW(form->Handle(), KwDropFilesMessage(), WPARAM(MakeDrop(P("gone.mp3"), {5, 5})), 0);
    EXPECT_EQ(Listed(), QStringList{});
}

TEST_F(DropFilesTest, HandlerExceptionGoesToTheApplication) {
    std::vector<QString> shown;
    vcl::Application->OnException = [&](rtl::TObject*, rtl::Exception* E) { shown.push_back(E->Message()); };
    drop->OnDropFiles() = [](rtl::TObject*) { throw rtl::Exception(QStringLiteral("handler failed")); };
    Drop({P("a.mp3")});
    EXPECT_EQ(shown, std::vector<QString>{"handler failed"});
    EXPECT_EQ(Listed(), QStringList{P("a.mp3")});
}

TEST_F(DropFilesTest, OneComponentPerFormAndOnlyOnForms) {
    try {
        new TKwFormDropFiles(form);
        FAIL() << "a second component was accepted";
    } catch (const rtl::Exception& E) {
        EXPECT_EQ(E.Message(), "Only one TKwFormDropFiles component is permitted on a form: dropFolder is already present on formEditor");
    }
    EXPECT_EQ(form->ComponentCount(), 1); // nothing half-made stays with the form
    auto* panel = new vcl::TPanel(form);
    EXPECT_THROW(new TKwFormDropFiles(panel), rtl::Exception);
    // Freed, it gives the form's procedure back: a later drop reaches the form's own handling only.
    delete drop;
    drop = nullptr;
    EXPECT_EQ(SendMessageW(form->Handle(), KwDropFilesMessage(), 0, 0), 0);
}

} // namespace
