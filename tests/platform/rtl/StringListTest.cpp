// tests/platform/rtl/StringListTest.cpp
#include "rtl/Classes.h"
#include "rtl/Encoding.h"
#include "rtl/Streams.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(const rtl::TStrings& S) {
    Lines result;
    for (int i = 0; i < S.Count(); ++i) result.push_back(S[i].toStdString());
    return result;
}

void Fill(rtl::TStrings& S, const Lines& L) {
    S.Clear();
    for (const auto& line : L) S.Add(QString::fromStdString(line));
}

QString Q(const std::string& S) {
    return QString::fromStdString(S);
}

class TCounted : public rtl::TObject {
public:
    explicit TCounted(int* ACounter) : FCounter(ACounter) {}
    ~TCounted() override { ++*FCounter; }

private:
    int* FCounter;
};

} // namespace

// ---- Text ----------------------------------------------------------------------------------------

struct TextCase {
    std::string text;
    Lines lines;
};

class TextSplits : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextSplits, AtCrLfAndCrLfWithoutATrailingEmptyLine) {
    rtl::TStringList list;
    list.SetText(Q(GetParam().text));
    EXPECT_EQ(LinesOf(list), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextSplits,
                         ::testing::Values(TextCase{"", {}}, TextCase{"a", {"a"}}, TextCase{"a\r\n", {"a"}},
                                           TextCase{"a\r\nb", {"a", "b"}},
                                           TextCase{"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
                                           TextCase{"\r\n", {""}}, TextCase{"a\r\n\r\nb", {"a", "", "b"}},
                                           TextCase{"a\n\rb", {"a", "", "b"}},
                                           TextCase{"a\r\rb", {"a", "", "b"}}, TextCase{"\n\n", {"", ""}},
                                           TextCase{" a \t", {" a \t"}}));

TEST(StringListText, EveryLineEndsWithTheLineBreakTheLastToo) {
    rtl::TStringList list;
    EXPECT_EQ(list.Text(), "");
    Fill(list, {"a", "", "\r\npause"}); // a line holding a break is written as it is
    EXPECT_EQ(list.Text(), "a\r\n\r\n\r\npause\r\n");
    list.SetLineBreak("|");
    EXPECT_EQ(list.Text(), "a||\r\npause|");
    list.SetText("x|y||z|");
    EXPECT_EQ(LinesOf(list), (Lines{"x", "y", "", "z"}));
    list.SetText("x\r\ny"); // other breaks are text now
    EXPECT_EQ(LinesOf(list), (Lines{"x\r\ny"}));
}

// ---- CommaText and DelimitedText -----------------------------------------------------------------

struct CommaCase {
    Lines lines;
    std::string text;
};

class CommaTextWrites : public ::testing::TestWithParam<CommaCase> {};

TEST_P(CommaTextWrites, QuotingOnlyWhatNeedsIt) {
    rtl::TStringList list;
    Fill(list, GetParam().lines);
    EXPECT_EQ(list.CommaText().toStdString(), GetParam().text);
    rtl::TStringList back; // and it reads back the same
    back.SetCommaText(list.CommaText());
    EXPECT_EQ(LinesOf(back), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommaTextWrites,
                         ::testing::Values(CommaCase{{}, ""}, CommaCase{{""}, "\"\""},
                                           CommaCase{{"a", "b"}, "a,b"}, CommaCase{{"a b", "c"}, "\"a b\",c"},
                                           CommaCase{{"a,b"}, "\"a,b\""},
                                           CommaCase{{"say \"hi\""}, "\"say \"\"hi\"\"\""},
                                           CommaCase{{"", "x"}, ",x"}, CommaCase{{"a", ""}, "a,"},
                                           CommaCase{{"tab\there"}, "\"tab\there\""},
                                           CommaCase{{"a;b", "it's"}, "a;b,it's"}, CommaCase{{"", ""}, ","}));

class CommaTextReads : public ::testing::TestWithParam<CommaCase> {};

TEST_P(CommaTextReads, CommasAndBlanksSeparateQuotesGroup) {
    rtl::TStringList list;
    list.Add("old");
    list.SetCommaText(Q(GetParam().text));
    EXPECT_EQ(LinesOf(list), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommaTextReads,
    ::testing::Values(CommaCase{{}, ""}, CommaCase{{}, "   "}, CommaCase{{""}, "\"\""},
                      CommaCase{{"a", "b", "c"}, "a,b,c"}, CommaCase{{"a", "b", "c"}, "a b  c"},
                      CommaCase{{"a b", "c"}, "\"a b\",c"}, CommaCase{{"a", "b"}, "  a , b  "},
                      CommaCase{{"a", "", "b"}, "a,,b"}, CommaCase{{"a", ""}, "a,"}, CommaCase{{"", ""}, ","},
                      CommaCase{{"a\"b"}, "\"a\"\"b\""}, CommaCase{{"open end"}, "\"open end"},
                      CommaCase{{"a", "b", "c"}, "\"a\"b,c"}, CommaCase{{"x", "y z"}, "x, \"y z\" "}));

TEST(StringListDelimited, DelimiterQuoteCharAndStrictDelimiter) {
    rtl::TStringList list;
    list.SetDelimiter(u';');
    list.SetQuoteChar(u'\'');
    Fill(list, {"a b", "c;d", "it's", "\"q\""});
    EXPECT_EQ(list.DelimitedText(), "'a b';'c;d';'it''s';\"q\"");
    list.SetDelimitedText("x y;'p;q' ; 'it''s'");
    EXPECT_EQ(LinesOf(list), (Lines{"x", "y", "p;q", "it's"}));

    list.SetStrictDelimiter(true); // blanks are text now, on both sides
    list.SetDelimitedText(" a b; c ;;");
    EXPECT_EQ(LinesOf(list), (Lines{" a b", " c ", "", ""}));
    Fill(list, {"a b", " c", "d;e"});
    EXPECT_EQ(list.DelimitedText(), "a b; c;'d;e'");
    // CommaText always uses ',', '"' and blanks as separators, whatever the list's own settings.
    EXPECT_EQ(list.CommaText(), "\"a b\",\" c\",d;e");
    EXPECT_EQ(list.Delimiter(), u';');
}

// ---- Names and values ----------------------------------------------------------------------------

TEST(StringListValues, NamesAreTheTextBeforeTheFirstSeparator) {
    rtl::TStringList list;
    Fill(list, {"a=1", "b", "=x", "c==d", "Name =v"});
    const Lines names = {"a", "", "", "c", "Name "};
    const Lines values = {"1", "", "x", "=d", "v"};
    for (int i = 0; i < list.Count(); ++i) {
        EXPECT_EQ(list.Names(i).toStdString(), names[i]) << i;
        EXPECT_EQ(list.ValueFromIndex(i).toStdString(), values[i]) << i;
    }
    EXPECT_EQ(list.Values("A"), "1"); // names compare without case
    EXPECT_EQ(list.Values("C"), "=d");
    EXPECT_EQ(list.Values("Name"), ""); // "Name " is another name
    EXPECT_EQ(list.Values("Name "), "v");
    EXPECT_EQ(list.Values("b"), ""); // a line without "=" has no name
    EXPECT_EQ(list.IndexOfName("c"), 3);
    EXPECT_EQ(list.ValueFromIndex(-1), "");
}

TEST(StringListValues, SettingReplacesInPlaceAppendsOrDeletes) {
    rtl::TStringList list;
    Fill(list, {"a=1", "b=2"});
    list.SetValues("A", "10");
    list.SetValues("c", "3");
    EXPECT_EQ(LinesOf(list), (Lines{"A=10", "b=2", "c=3"}));
    list.SetValues("b", "");
    EXPECT_EQ(LinesOf(list), (Lines{"A=10", "c=3"}));
    list.SetValueFromIndex(1, "30");
    EXPECT_EQ(LinesOf(list), (Lines{"A=10", "c=30"}));
    list.SetNameValueSeparator(u':');
    list.SetValues("k", "v");
    EXPECT_EQ(list.Strings(2), "k:v");
    EXPECT_EQ(list.Values("K"), "v");

    rtl::TStringList sorted;
    sorted.SetSorted(true);
    sorted.SetValues("z", "1");
    sorted.SetValues("a", "2"); // a new name goes into a sorted list whole, in its place
    EXPECT_EQ(LinesOf(sorted), (Lines{"a=2", "z=1"}));
}

// ---- Sorted lists --------------------------------------------------------------------------------

struct DupCase {
    rtl::TDuplicates mode;
    Lines expected;
    int indexOfAddB; // index Add("B") returns; -1 = raises
};

class SortedAdd : public ::testing::TestWithParam<DupCase> {};

TEST_P(SortedAdd, DuplicatesDecideWhatASecondEqualStringDoes) {
    const auto& c = GetParam();
    rtl::TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.mode);
    for (const char* s : {"b", "a", "c"}) list.Add(s);
    if (c.indexOfAddB < 0) {
        try {
            list.Add("B");
            FAIL() << "duplicate accepted";
        } catch (const rtl::EStringListError& e) {
            EXPECT_EQ(e.Message(), "String list does not allow duplicates");
        }
    } else {
        EXPECT_EQ(list.Add("B"), c.indexOfAddB);
    }
    EXPECT_EQ(LinesOf(list), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SortedAdd,
                         ::testing::Values(DupCase{rtl::dupIgnore, {"a", "b", "c"}, 1},
                                           DupCase{rtl::dupAccept, {"a", "B", "b", "c"}, 1},
                                           DupCase{rtl::dupError, {"a", "b", "c"}, -1}));

TEST(StringListSorted, UnsortedListsTakeDuplicatesWhateverTheMode) {
    rtl::TStringList list;
    list.SetDuplicates(rtl::dupError);
    list.Add("a");
    EXPECT_EQ(list.Add("a"), 1);
}

TEST(StringListSorted, FindSearchesBinaryAndGivesTheInsertPosition) {
    rtl::TStringList list;
    list.SetSorted(true);
    for (const char* s : {"cherry", "apple", "Banana", "date"}) list.Add(s);
    EXPECT_EQ(LinesOf(list), (Lines{"apple", "Banana", "cherry", "date"}));
    struct {
        const char* s;
        bool found;
        int index;
    } cases[] = {{"banana", true, 1}, {"APPLE", true, 0}, {"blueberry", false, 2},
                 {"zzz", false, 4},   {"", false, 0},     {"date", true, 3}};
    for (const auto& c : cases) {
        int index = -1;
        EXPECT_EQ(list.Find(c.s, index), c.found) << c.s;
        EXPECT_EQ(index, c.index) << c.s;
        EXPECT_EQ(list.IndexOf(c.s), c.found ? c.index : -1) << c.s;
    }

    rtl::TStringList dups(rtl::dupAccept, true, false);
    for (const char* s : {"b", "a", "b", "c", "b"}) dups.Add(s);
    int index = -1;
    EXPECT_TRUE(dups.Find("B", index));
    EXPECT_EQ(index, 1); // the first of the equal ones
}

TEST(StringListSorted, PositionalEditsAreRefused) {
    rtl::TStringList list;
    list.SetSorted(true);
    list.Add("a");
    for (auto edit :
         std::vector<std::function<void()>>{[&] { list.Insert(0, "b"); }, [&] { list.SetStrings(0, "b"); }}) {
        try {
            edit();
            FAIL() << "edit accepted";
        } catch (const rtl::EStringListError& e) {
            EXPECT_EQ(e.Message(), "Operation not allowed on sorted list");
        }
    }
    EXPECT_EQ(LinesOf(list), (Lines{"a"}));
}

TEST(StringListSorted, SortingIgnoresCaseUnlessCaseSensitive) {
    rtl::TStringList list;
    Fill(list, {"b", "C", "a"});
    list.Sort();
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "C"}));
    EXPECT_EQ(list.IndexOf("c"), 2);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("c"), -1);

    list.CustomSort([](rtl::TStringList* L, int i, int j) { return L->Strings(j).compare(L->Strings(i)); });
    EXPECT_EQ(LinesOf(list), (Lines{"b", "a", "C"})); // the compare function decides (descending code order)

    list.SetSorted(true);
    const Lines sorted = LinesOf(list);
    list.SetCaseSensitive(false); // a sorted list sorts again under the new rule
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "C"}));
    (void)sorted;
}

// ---- Editing -------------------------------------------------------------------------------------

TEST(StringListEdit, IndexErrorsAreStringListErrorsNamingTheIndex) {
    rtl::TStringList list;
    list.Add("a");
    struct {
        std::function<void()> edit;
        const char* message;
    } cases[] = {{[&] { list.Strings(1); }, "List index out of bounds (1)"},
                 {[&] { list.Delete(-1); }, "List index out of bounds (-1)"},
                 {[&] { list.Insert(2, "x"); }, "List index out of bounds (2)"},
                 {[&] { list.Objects(3); }, "List index out of bounds (3)"},
                 {[&] { list.Exchange(0, 1); }, "List index out of bounds (1)"},
                 {[&] { list.Move(0, 1); }, "List index out of bounds (1)"}};
    for (const auto& c : cases) {
        try {
            c.edit();
            ADD_FAILURE() << "no error for " << c.message;
        } catch (const rtl::EStringListError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
    }
    EXPECT_EQ(LinesOf(list), (Lines{"a"}));
}

TEST(StringListEdit, MoveExchangeAndAddStringsKeepObjects) {
    rtl::TStringList list;
    rtl::TObject o0, o1, o2;
    list.AddObject("0", &o0);
    list.AddObject("1", &o1);
    list.AddObject("2", &o2);
    list.Move(0, 2);
    EXPECT_EQ(LinesOf(list), (Lines{"1", "2", "0"}));
    EXPECT_EQ(list.Objects(2), &o0);
    list.Exchange(0, 2);
    EXPECT_EQ(LinesOf(list), (Lines{"0", "2", "1"}));
    EXPECT_EQ(list.Objects(0), &o0);
    EXPECT_EQ(list.IndexOfObject(&o1), 2);
    list.AddStrings(&list); // a list added to itself doubles once
    EXPECT_EQ(LinesOf(list), (Lines{"0", "2", "1", "0", "2", "1"}));
    EXPECT_EQ(list.Objects(5), &o1);
    // Objects may hold plain markers, never dereferenced by a list that does not own them.
    list.SetObjects(0, reinterpret_cast<rtl::TObject*>(1));
    EXPECT_EQ(list.Objects(0), reinterpret_cast<rtl::TObject*>(1));
}

TEST(StringListEdit, OwnedObjectsAreFreedWhenTheirLineGoesButNotWhenMoved) {
    int freed = 0;
    {
        rtl::TStringList list(true);
        list.AddObject("a", new TCounted(&freed));
        list.AddObject("b", new TCounted(&freed));
        list.AddObject("c", new TCounted(&freed));
        list.AddObject("d", new TCounted(&freed));
        list.Move(0, 3);
        list.Exchange(0, 1);
        EXPECT_EQ(freed, 0);
        list.Delete(0);
        EXPECT_EQ(freed, 1);
        list.Clear();
        EXPECT_EQ(freed, 4);
        list.AddObject("e", new TCounted(&freed));
    }
    EXPECT_EQ(freed, 5);
}

TEST(StringListEdit, ChangeEventsFireOncePerEditAndOncePerUpdateBracket) {
    rtl::TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](rtl::TObject* Sender) {
        EXPECT_EQ(Sender, &list);
        ++changing;
    };
    list.OnChange = [&](rtl::TObject*) { ++changed; };
    list.Add("a");
    list.SetStrings(0, "b");
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
    list.BeginUpdate();
    list.Add("c");
    list.Delete(0);
    list.SetText("x\r\ny");
    EXPECT_EQ(changed, 2);
    list.EndUpdate();
    EXPECT_EQ(changing, 3);
    EXPECT_EQ(changed, 3);
    rtl::TStringList other;
    Fill(other, {"p", "q"});
    list.Assign(&other);
    EXPECT_EQ(changed, 4);
    EXPECT_EQ(LinesOf(list), (Lines{"p", "q"}));
    list.Clear();
    list.Clear(); // nothing to clear: no event
    EXPECT_EQ(changed, 5);
}

TEST(StringListEdit, RemoveIfClosesUpWithTheObjectsAndChangesOnce) {
    for (const bool owns : {true, false}) {
        int freed = 0, changing = 0, changed = 0, freedAtChange = -1;
        std::vector<TCounted*> objects;
        rtl::TStringList list(owns);
        for (int i = 0; i < 6; ++i) objects.push_back(new TCounted(&freed));
        for (int i = 0; i < 6; ++i) list.AddObject(Q(std::string(1, char('a' + i))), objects[size_t(i)]);
        list.AddObject("nil", nullptr);
        list.OnChanging = [&](rtl::TObject*) { ++changing; };
        list.OnChange = [&](rtl::TObject*) {
            ++changed;
            freedAtChange = freed;
        };
        Lines asked;
        const int removed = list.RemoveIf([&](const QString& S, rtl::TObject* AObject) {
            asked.push_back(S.toStdString());
            EXPECT_EQ(AObject, S == "nil" ? nullptr : objects[size_t(S[0].unicode() - u'a')]);
            return S == "b" || S == "c" || S == "f" || S == "nil";
        });
        EXPECT_EQ(removed, 4);
        EXPECT_EQ(asked, (Lines{"a", "b", "c", "d", "e", "f", "nil"}));
        EXPECT_EQ(LinesOf(list), (Lines{"a", "d", "e"}));
        EXPECT_EQ(list.Objects(0), objects[0]);
        EXPECT_EQ(list.Objects(1), objects[3]);
        EXPECT_EQ(list.Objects(2), objects[4]);
        EXPECT_EQ(changing, 1);
        EXPECT_EQ(changed, 1);
        EXPECT_EQ(freed, owns ? 3 : 0);
        EXPECT_EQ(freedAtChange, freed) << "owned objects are freed before OnChange";
        // Nothing picked: nothing changes and no event.
        EXPECT_EQ(list.RemoveIf([](const QString&, rtl::TObject*) { return false; }), 0);
        EXPECT_EQ(changed, 1);
        // Within an update, one change at its end.
        list.BeginUpdate();
        list.RemoveIf([](const QString& S, rtl::TObject*) { return S == "a"; });
        EXPECT_EQ(changed, 1);
        list.EndUpdate();
        EXPECT_EQ(changed, 2);
        EXPECT_EQ(freed, owns ? 4 : 0);
        list.Clear();
        if (!owns)
            for (TCounted* o : objects) delete o;
        EXPECT_EQ(freed, 6);
    }
}

TEST(StringListEdit, RemoveIfThatThrowsKeepsTheLinesNotYetAskedAndEndsItsChange) {
    int freed = 0, changed = 0;
    rtl::TStringList list(true);
    for (const char* s : {"a", "x1", "b", "stop", "x2", "c"}) list.AddObject(s, new TCounted(&freed));
    list.OnChange = [&](rtl::TObject*) { ++changed; };
    EXPECT_THROW(list.RemoveIf([](const QString& S, rtl::TObject*) {
        if (S == "stop") throw std::runtime_error("stop");
        return S.startsWith('x');
    }),
                 std::runtime_error);
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b", "stop", "x2", "c"}));
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(changed, 1);
}

// A list of lines that is not a string list: the removal built on Get, Exchange and Delete.
class TPlainLines : public rtl::TStrings {
public:
    int Deletes = 0;
    void Insert(int Index, const QString& S) override { FLines.insert(FLines.begin() + Index, S); }
    void Delete(int Index) override {
        ++Deletes;
        FLines.erase(FLines.begin() + Index);
    }
    void Clear() override { FLines.clear(); }
    int Count() const override { return static_cast<int>(FLines.size()); }

protected:
    QString Get(int Index) const override { return FLines.at(size_t(Index)); }
    void Put(int Index, const QString& S) override { FLines.at(size_t(Index)) = S; }

private:
    std::vector<QString> FLines;
};

TEST(StringsEdit, RemoveIfOverAnyListKeepsTheOrderAndDeletesOnlyThePicked) {
    TPlainLines lines;
    Fill(lines, {"a", "x", "b", "x", "x", "c", "d"});
    EXPECT_EQ(lines.RemoveIf([](const QString& S, rtl::TObject*) { return S == "x"; }), 3);
    EXPECT_EQ(LinesOf(lines), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(lines.Deletes, 3);
    EXPECT_EQ(lines.UpdateCount(), 0);
    Fill(lines, {"a", "x", "b", "stop", "x"});
    EXPECT_THROW(lines.RemoveIf([](const QString& S, rtl::TObject*) {
        if (S == "stop") throw std::runtime_error("stop");
        return S == "x";
    }),
                 std::runtime_error);
    EXPECT_EQ(LinesOf(lines), (Lines{"a", "b", "stop", "x"}));
    EXPECT_EQ(lines.UpdateCount(), 0);
}

TEST(StringListEdit, AssignCopiesLinesObjectsAndListSettings) {
    rtl::TStringList source(rtl::dupError, true, true);
    source.SetDelimiter(u';');
    rtl::TObject marker;
    source.AddObject("b", &marker);
    source.Add("a");
    rtl::TStringList copy;
    copy.Add("old");
    copy.Assign(&source);
    EXPECT_EQ(LinesOf(copy), (Lines{"a", "b"}));
    EXPECT_EQ(copy.Objects(1), &marker);
    EXPECT_TRUE(copy.Sorted());
    EXPECT_TRUE(copy.CaseSensitive());
    EXPECT_EQ(copy.Duplicates(), rtl::dupError);
    EXPECT_EQ(copy.Delimiter(), u';');
    EXPECT_TRUE(copy.Equals(&source));
    copy.Assign(&copy);
    EXPECT_EQ(copy.Count(), 2);
}

// ---- Files and streams ---------------------------------------------------------------------------

namespace {

QByteArray Bytes(rtl::TBytesStream& S) {
    return QByteArray(static_cast<const char*>(S.Memory()), static_cast<qsizetype>(S.Size()));
}

} // namespace

struct LoadCase {
    const char* name;
    QByteArray bytes;
    Lines lines;
    int codePage;
};

class StringListLoads : public ::testing::TestWithParam<LoadCase> {};

TEST_P(StringListLoads, BomDecidesElseUtf8WhenValidElseWindows1252) {
    const auto& c = GetParam();
    testing_support::TempDir dir;
    const QString path = dir.Write("list.txt", c.bytes);
    rtl::TStringList list;
    list.LoadFromFile(path);
    EXPECT_EQ(LinesOf(list), c.lines);
    ASSERT_NE(list.Encoding(), nullptr);
    EXPECT_EQ(list.Encoding()->CodePage(), c.codePage);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StringListLoads,
    ::testing::Values(LoadCase{"utf8bom",
                               QByteArray("\xEF\xBB\xBF"
                                          "caf\xC3\xA9\r\nb\r\n"),
                               {"caf\xC3\xA9", "b"},
                               65001},
                      LoadCase{"utf8", QByteArray("caf\xC3\xA9\nb"), {"caf\xC3\xA9", "b"}, 65001},
                      LoadCase{"ansi", QByteArray("caf\xE9\r\n\x80"), {"caf\xC3\xA9", "\xE2\x82\xAC"}, 1252},
                      LoadCase{"utf16le",
                               QByteArray("\xFF\xFE"
                                          "a\0\r\0\n\0\xE9\0",
                                          10),
                               {"a", "\xC3\xA9"},
                               1200},
                      LoadCase{"utf16be", QByteArray("\xFE\xFF\0a\0\n\0b", 8), {"a", "b"}, 1201}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringListFiles, SaveWritesCrLfAfterEveryLineWithTheEncodingsBom) {
    testing_support::TempDir dir;
    rtl::TStringList list;
    Fill(list, {"caf\xC3\xA9", "echo", "\r\npause"});
    const QString path = dir.QFile("out.txt");
    list.SaveToFile(path, rtl::TEncoding::UTF8());
    EXPECT_EQ(testing_support::ReadFileBytes(path), QByteArray("\xEF\xBB\xBF"
                                                               "caf\xC3\xA9\r\necho\r\n\r\npause\r\n"));
    list.SaveToFile(path, rtl::TEncoding::UTF8NoBOM());
    EXPECT_EQ(testing_support::ReadFileBytes(path), QByteArray("caf\xC3\xA9\r\necho\r\n\r\npause\r\n"));
    list.SetWriteBOM(false);
    list.SaveToFile(path, rtl::TEncoding::UTF8());
    EXPECT_EQ(testing_support::ReadFileBytes(path).left(3), QByteArray("caf"));
    list.SetWriteBOM(true);
    list.SaveToFile(path); // no encoding yet: ANSI
    EXPECT_EQ(testing_support::ReadFileBytes(path), QByteArray("caf\xE9\r\necho\r\n\r\npause\r\n"));
}

TEST(StringListFiles, ASaveWithoutEncodingKeepsTheEncodingTheFileWasReadIn) {
    testing_support::TempDir dir;
    const QString path = dir.Write("in.txt", QByteArray("\xEF\xBB\xBF"
                                                        "x"));
    rtl::TStringList list;
    list.LoadFromFile(path);
    list.Add("\xC3\xA9");
    list.SaveToFile(path);
    EXPECT_EQ(testing_support::ReadFileBytes(path), QByteArray("\xEF\xBB\xBF"
                                                               "x\r\n\xC3\xA9\r\n"));
}

TEST(StringListFiles, StreamsReadFromThePositionAndWriteAtIt) {
    rtl::TBytesStream in(rtl::TBytes{'s', 'k', 'i', 'p', 'a', '\n', 'b'});
    in.SetPosition(4);
    rtl::TStringList list;
    list.LoadFromStream(&in, rtl::TEncoding::ANSI());
    EXPECT_EQ(LinesOf(list), (Lines{"a", "b"}));
    rtl::TBytesStream out;
    out.Write(rtl::TBytes{'>'});
    list.SaveToStream(&out, rtl::TEncoding::Unicode());
    EXPECT_EQ(Bytes(out), QByteArray(">\xFF\xFE"
                                     "a\0\r\0\n\0b\0\r\0\n\0",
                                     15));
}

TEST(StringListFiles, FailuresRaiseAndLeaveTheOldFile) {
    testing_support::TempDir dir;
    rtl::TStringList list;
    EXPECT_THROW(list.LoadFromFile(dir.QFile("missing.txt")), rtl::EFOpenError);
    EXPECT_THROW(list.SaveToFile(dir.QFile("no/such/folder/x.txt")), rtl::EFCreateError);

    const QString path = dir.Write("keep.txt", "old\r\n");
    list.Add(QString(QChar(0xD800))); // a lone surrogate has no UTF-8 form
    EXPECT_THROW(list.SaveToFile(path, rtl::TEncoding::UTF8()), rtl::EEncodingError);
    EXPECT_EQ(testing_support::ReadFileBytes(path), QByteArray("old\r\n"));
}

TEST(StringListFiles, KeepsItsOwnCopyOfACallersEncoding) {
    testing_support::TempDir dir;
    const QString path = dir.Write("in.txt", QByteArray("a\xC3\xA9"));
    rtl::TStringList list;
    rtl::TEncoding* mine = rtl::TEncoding::GetEncoding(rtl::CodePageUtf8);
    list.LoadFromFile(path, mine);
    list.SetDefaultEncoding(mine);
    rtl::TEncoding::FreeEncoding(mine);
    EXPECT_EQ(LinesOf(list), (Lines{"a\xC3\xA9"}));
    list.SaveToFile(path); // uses the list's copy, not the freed encoding
    EXPECT_EQ(testing_support::ReadFileBytes(path), QByteArray("\xEF\xBB\xBF"
                                                               "a\xC3\xA9\r\n"));
}
