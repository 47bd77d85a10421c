#include "vcl/Clipbrd.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vcl;

TEST(Clipboard, TextRoundTripsAndReplacesWhatWasThere) {
    Clipboard()->SetAsText(QStringLiteral(u"Größe\r\n\u266A"));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_UNICODETEXT));
    EXPECT_EQ(Clipboard()->AsText(), QStringLiteral(u"Größe\r\n\u266A"));

    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_UNICODETEXT));
    EXPECT_EQ(Clipboard()->AsText(), QString());
}

TEST(Clipboard, FormatsWrittenInOneBracketStayTogether) {
    Clipboard()->SetAsText("old");
    Clipboard()->Open();
    Clipboard()->SetAsText("new");
    HGLOBAL other = GlobalAlloc(GMEM_MOVEABLE, 4);
    Clipboard()->SetAsHandle(CF_DIB, other); // does not empty the clipboard again
    Clipboard()->Close();
    EXPECT_EQ(Clipboard()->AsText(), "new");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_DIB));

    Clipboard()->SetAsText("alone"); // a new bracket empties first
    EXPECT_FALSE(Clipboard()->HasFormat(CF_DIB));
}

TEST(Clipboard, RaisesWhileAnotherHoldsItAndStaysUsable) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_THROW(Clipboard()->SetAsText("x"), EClipboardException);
    CloseClipboard();
    Clipboard()->SetAsText("y");
    EXPECT_EQ(Clipboard()->AsText(), "y");
}

TEST(Clipboard, TextWithoutTerminatorEndsAtTheBlock) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3 * sizeof(char16_t));
    std::memcpy(GlobalLock(block), u"abc", 3 * sizeof(char16_t));
    GlobalUnlock(block);
    Clipboard()->SetAsHandle(CF_UNICODETEXT, block);
    EXPECT_EQ(Clipboard()->AsText(), "abc");
}
