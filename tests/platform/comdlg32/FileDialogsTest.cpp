// The open and save dialogs answered by the common-dialog handler: filters, multi-select, default
// extension, the existence checks and the overwrite prompt, the result buffer; the class library's
// dialogs over them, and its message dialogs.
#include "vcl/Dialogs.h"
#include "win/comdlg32/commdlg.h"

#include "tests/support/windows/HeadlessApp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::function<int(HWND, int round)> answer;
int rounds = 0;
int CALLBACK Answer(HWND dlg, UINT) { return answer(dlg, ++rounds); }

std::vector<QString> boxes;
std::vector<int> boxAnswers;
int CALLBACK Box(HWND, LPCWSTR text, LPCWSTR, UINT) {
    boxes.push_back(QString::fromUtf16(text));
    if (boxAnswers.empty()) return IDOK;
    const int a = boxAnswers.front();
    boxAnswers.erase(boxAnswers.begin());
    return a;
}

QStringList ListLines(HWND dlg) {
    QStringList out;
    HWND list = GetDlgItem(dlg, lst1);
    const int n = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        WCHAR line[256] = {};
        SendMessageW(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(line));
        out << QString::fromUtf16(line);
    }
    return out;
}

void Type(HWND dlg, const QString& text) { SetDlgItemTextW(dlg, edt1, text.toStdU16String().c_str()); }

void PickFilter(HWND dlg, int index) {
    SendDlgItemMessageW(dlg, cmb1, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dlg, cmb1)));
}

TEST(FileDialogs, WithoutDisplayOrHandlerCancelAtOnce) {
    WCHAR file[MAX_PATH] = {};
    OPENFILENAMEW o{};
    o.lStructSize = sizeof o;
    o.lpstrFile = file;
    o.nMaxFile = MAX_PATH;
    EXPECT_FALSE(GetOpenFileNameW(&o));
    EXPECT_EQ(CommDlgExtendedError(), 0u);
}

class FileDialogTest : public ::testing::Test {
protected:
    testing_support::HeadlessApp app;
    QTemporaryDir dir;
    TwCommonDialogProc oldDialog = nullptr;
    TwMessageBoxProc oldBox = nullptr;
    std::u16string filter;
    void SetUp() override {
        for (const char* f : {"a.mp3", "b.MP3", "c.txt"}) QFile(dir.filePath(f)).open(QIODevice::WriteOnly);
        QDir().mkdir(dir.filePath("sub"));
        QFile(dir.filePath("sub/d.mp3")).open(QIODevice::WriteOnly);
        oldDialog = TwSetCommonDialogHandler(Answer);
        oldBox = TwSetMessageBoxHandler(Box);
        rounds = 0;
        boxes.clear();
        boxAnswers.clear();
        filter = std::u16string(u"Audio (*.mp3)\0*.mp3\0Text\0*.txt;*.log\0All files\0*.*\0\0", 52);
    }
    void TearDown() override {
        TwSetCommonDialogHandler(oldDialog);
        TwSetMessageBoxHandler(oldBox);
        answer = nullptr;
    }
    OPENFILENAMEW Params(WCHAR* file, DWORD size, DWORD flags) {
        OPENFILENAMEW o{};
        o.lStructSize = sizeof o;
        o.lpstrFile = file;
        o.nMaxFile = size;
        o.lpstrFilter = filter.c_str();
        o.nFilterIndex = 1;
        o.lpstrInitialDir = initialDir.c_str();
        o.Flags = flags | OFN_EXPLORER;
        return o;
    }
    std::u16string initialDir = dir.path().toStdU16String();
    QString P(const char* rel) const { return dir.filePath(rel); }
};

TEST_F(FileDialogTest, FiltersAndMultiSelect) {
    answer = [&](HWND dlg, int) {
        EXPECT_EQ(ListLines(dlg), (QStringList{"../", "sub/", "a.mp3", "b.MP3"})); // patterns match without case
        PickFilter(dlg, 1);
        EXPECT_EQ(ListLines(dlg), (QStringList{"../", "sub/", "c.txt"}));
        PickFilter(dlg, 0);
        Type(dlg, "\"a.mp3\" \"b.MP3\"");
        return IDOK;
    };
    WCHAR file[512] = {};
    OPENFILENAMEW o = Params(file, 512, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST);
    ASSERT_TRUE(GetOpenFileNameW(&o));
    // The folder, then each name, each ended by a zero, and a last zero.
    const std::u16string expected = dir.path().toStdU16String() + u'\0' + u"a.mp3" + u'\0' + u"b.MP3" + u'\0' + u'\0';
    EXPECT_EQ(std::u16string(file, expected.size()), expected);
    EXPECT_EQ(o.nFileOffset, dir.path().size() + 1);
    EXPECT_EQ(o.nFilterIndex, 1u);
}

TEST_F(FileDialogTest, FolderIsEnteredAndMissingFileRefused) {
    answer = [&](HWND dlg, int round) {
        if (round == 1) Type(dlg, "sub");          // enters the folder, stays open
        if (round == 2) Type(dlg, "missing.mp3");  // refused with a box, stays open
        if (round == 3) {
            EXPECT_EQ(ListLines(dlg), (QStringList{"../", "d.mp3"}));
            Type(dlg, "d.mp3");
        }
        return IDOK;
    };
    WCHAR file[MAX_PATH] = {};
    OPENFILENAMEW o = Params(file, MAX_PATH, OFN_FILEMUSTEXIST);
    ASSERT_TRUE(GetOpenFileNameW(&o));
    EXPECT_EQ(QString::fromUtf16(file), P("sub/d.mp3"));
    EXPECT_EQ(o.nFileExtension, P("sub/d.mp3").size() - 3);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].startsWith("missing.mp3\nFile not found."));
}

TEST_F(FileDialogTest, SaveAddsDefaultExtensionAndAsksBeforeReplacing) {
    answer = [&](HWND dlg, int) {
        Type(dlg, "a");
        return IDOK;
    };
    boxAnswers = {IDNO, IDYES};
    WCHAR file[MAX_PATH] = {};
    OPENFILENAMEW o = Params(file, MAX_PATH, OFN_OVERWRITEPROMPT);
    o.lpstrDefExt = u"mp3";
    ASSERT_TRUE(GetSaveFileNameW(&o));
    EXPECT_EQ(QString::fromUtf16(file), P("a.mp3"));
    EXPECT_EQ(rounds, 2); // the first answer kept the dialog open
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "a.mp3 already exists.\nDo you want to replace it?");

    // A new name needs no question; a result that does not fit fails and tells the size.
    boxes.clear();
    answer = [&](HWND dlg, int) {
        Type(dlg, "new name");
        return IDOK;
    };
    WCHAR small[8] = {};
    OPENFILENAMEW s = Params(small, 8, OFN_OVERWRITEPROMPT);
    s.lpstrDefExt = u"mp3";
    EXPECT_FALSE(GetSaveFileNameW(&s));
    EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
    EXPECT_EQ(small[0], char16_t(P("new name.mp3").size() + 1));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileDialogTest, ClassLibraryDialogs) {
    vcl::TOpenDialog open(nullptr);
    open.SetFilter(QStringLiteral("Audio|*.mp3|Everything|*.*"));
    open.SetInitialDir(dir.path());
    open.SetOptions({vcl::ofAllowMultiSelect, vcl::ofFileMustExist});
    answer = [&](HWND dlg, int) {
        PickFilter(dlg, 1);
        Type(dlg, "\"c.txt\" \"a.mp3\"");
        return IDOK;
    };
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.Files()->Count(), 2);
    EXPECT_EQ(open.Files()->Strings(0), P("c.txt"));
    EXPECT_EQ(open.FileName(), P("c.txt"));
    EXPECT_EQ(open.FilterIndex(), 2);

    vcl::TSaveDialog save(nullptr);
    save.SetDefaultExt(QStringLiteral("ini"));
    save.SetFileName(P("sub/profile"));
    save.SetOptions({vcl::ofOverwritePrompt});
    answer = [&](HWND, int) { return IDOK; }; // takes the name it was given
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName(), P("sub/profile.ini"));
    answer = [&](HWND, int) { return IDCANCEL; };
    EXPECT_FALSE(save.Execute());
    EXPECT_EQ(save.FileName(), P("sub/profile.ini"));
}

UINT lastType = 0;
QString lastCaption;
int CALLBACK Record(HWND, LPCWSTR, LPCWSTR caption, UINT type) {
    lastType = type;
    lastCaption = QString::fromUtf16(caption);
    return IDYES;
}

TEST(MessageDialogs, ButtonsAndIconsMapToTheSystemBox) {
    const TwMessageBoxProc old = TwSetMessageBoxHandler(Record);
    struct Case {
        vcl::TMsgDlgType type;
        vcl::TMsgDlgButtons buttons;
        UINT expected;
        const char* caption;
    };
    using namespace vcl;
    const Case cases[] = {
        {mtConfirmation, {mbYes, mbNo}, MB_YESNO | MB_ICONQUESTION, "Confirm"},
        {mtWarning, {mbYes, mbNo, mbCancel}, MB_YESNOCANCEL | MB_ICONWARNING, "Warning"},
        {mtError, {mbOK}, MB_OK | MB_ICONERROR, "Error"},
        {mtInformation, {mbOK, mbCancel}, MB_OKCANCEL | MB_ICONINFORMATION, "Information"},
        {mtWarning, {mbAbort, mbRetry, mbIgnore}, MB_ABORTRETRYIGNORE | MB_ICONWARNING, "Warning"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageDlg(QStringLiteral("Go?"), c.type, c.buttons, 0), mrYes);
        EXPECT_EQ(lastType, c.expected);
        EXPECT_EQ(lastCaption, c.caption);
    }
    TwSetMessageBoxHandler(old);
}

} // namespace
