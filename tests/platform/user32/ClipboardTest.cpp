// The clipboard: what the program puts there reaches the desktop's clipboard and back.
#include "Recorder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

#include <cstring>

using namespace user32_test;

namespace {

HGLOBAL TextBlock(const std::u16string& s) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (s.size() + 1) * sizeof(char16_t));
    std::memcpy(GlobalLock(h), s.c_str(), (s.size() + 1) * sizeof(char16_t));
    GlobalUnlock(h);
    return h;
}

HGLOBAL FileBlock(const std::u16string& list) {  // null-separated, ending with an empty name
    const size_t bytes = sizeof(DROPFILES) + (list.size() + 1) * sizeof(char16_t);
    HGLOBAL h = GlobalAlloc(GHND, bytes);
    auto* df = static_cast<DROPFILES*>(GlobalLock(h));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), list.c_str(), (list.size() + 1) * sizeof(char16_t));
    GlobalUnlock(h);
    return h;
}

} // namespace

TEST_F(WindowTest, TextAndFilesRoundTripThroughTheDesktopClipboard) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr));  // one opener at a time
    ASSERT_TRUE(EmptyClipboard());
    SetClipboardData(CF_UNICODETEXT, TextBlock(u"Größe 3\u266A"));
    SetClipboardData(CF_HDROP, FileBlock(std::u16string(u"/tmp/a b.flac\0/tmp/c.mp3\0", 25)));
    CloseClipboard();
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->text(), QStringLiteral(u"Größe 3\u266A"));  // both formats survive together
    ASSERT_EQ(m->urls().size(), 2);
    EXPECT_EQ(m->urls()[0].toLocalFile(), QStringLiteral("/tmp/a b.flac"));

    // Another program puts files and text there; we read them.
    auto* other = new QMimeData;
    other->setUrls({QUrl::fromLocalFile(QStringLiteral("/music/x.wav"))});
    other->setText(QStringLiteral("line1\r\nline2"));
    QGuiApplication::clipboard()->setMimeData(other);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);  // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
    HANDLE text = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(text))), u"line1\r\nline2");
    auto drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    ASSERT_NE(drop, nullptr);
    ASSERT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 1u);
    char16_t name[64];
    DragQueryFileW(drop, 0, name, 64);
    EXPECT_EQ(std::u16string(name), u"/music/x.wav");
    CloseClipboard();
}

TEST_F(WindowTest, EmptiedClipboardOffersNoText) {
    QGuiApplication::clipboard()->setText(QStringLiteral("left over"));
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    CloseClipboard();
}
