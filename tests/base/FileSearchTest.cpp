// tests/base/FileSearchTest.cpp: the breadth-first file search against find.
#include <gtest/gtest.h>

#include "tests/support/QtPrint.h"

#include <QStringList>
#include <fstream>

#include "base/FileSearch.h"
#include "tests/support/Peers.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& P) {
    fs::create_directories(P.parent_path());
    std::ofstream(P) << "x";
}

QStringList Search(const QString& Mask, const QString& Start, int Depth) {
    rtl::TStringList Results;
    base::SearchFiles(Mask, Start, &Results, Depth, true, true);
    QStringList L;
    for (int i = 0; i < Results.Count(); ++i) L << Results[i];
    return L;
}

QStringList Sorted(QStringList L) {
    L.sort();
    return L;
}

// A tree with mixed-case folders, hidden entries, a chain deeper than 20 levels, links to a folder
// outside, to a file, a dangling link, and a link back to an ancestor.
class SearchTree : public ::testing::Test {
protected:
    void SetUp() override {
        Root = Dir.File("root");
        for (const char* F : {"top.ini", "top.TXT", ".hidden.ini", "b/one.ini", "A/two.ini", "A/x/three.ini",
                              "c/.dot/four.ini", "c/noext"})
            Touch(Root / F);
        fs::path Deep = Root / "deep";
        for (int i = 1; i <= 24; ++i) {
            Deep /= "d" + std::to_string(i);
            Touch(Deep / ("level" + std::to_string(i) + ".ini"));
        }
        Touch(Dir.File("outside/out.ini"));
        fs::create_directory_symlink(Dir.File("outside"), Root / "b/to-outside");
        fs::create_symlink(Root / "top.ini", Root / "A/file-link.ini");
        fs::create_symlink(Root / "missing.ini", Root / "A/dangling.ini");
        fs::create_directory_symlink(Root, Root / "A/x/loop");     // back to the start
        fs::create_directory_symlink(Root / "A", Root / "c/to-A"); // a second way into A: not a loop
    }

    QStringList Find(int Depth, const QString& Mask) {
        const auto Run = testing_support::RunProgram(
            QStringLiteral("find"),
            {QStringLiteral("-L"), QString::fromStdString(Root.string()), QStringLiteral("-maxdepth"),
             QString::number(Depth + 1), QStringLiteral("-type"), QStringLiteral("f"),
             QStringLiteral("-iname"), Mask});
        EXPECT_TRUE(Run.Started) << Run.Describe(); // find exits with 1 after reporting the loop
        return Sorted(QString::fromUtf8(Run.Out).split(u'\n', Qt::SkipEmptyParts));
    }

    testing_support::TempDir Dir;
    fs::path Root;
};

TEST_F(SearchTree, FindsWhatFindFindsAtDepths0And1And20) {
    TW_REQUIRE_TOOL("find");
    const QString Start = QString::fromStdString(Root.string());
    for (int Depth : {0, 1, 2, 20}) {
        QStringList Ours = Search("*.ini", Start, Depth);
        EXPECT_EQ(Sorted(Ours), Find(Depth, "*.ini")) << "depth " << Depth;
        EXPECT_EQ(Ours.removeDuplicates(), 0);
    }
    EXPECT_EQ(Sorted(Search("*.*", Start, 20)), Find(20, "*"));
    EXPECT_TRUE(
        Search("*.ini", Start, 20)
            .contains(
                Start +
                "/deep/d1/d2/d3/d4/d5/d6/d7/d8/d9/d10/d11/d12/d13/d14/d15/d16/d17/d18/d19/level19.ini"));
    EXPECT_FALSE(Search("*.ini", Start, 20).join(u'\n').contains("level20"));
}

TEST_F(SearchTree, ALinkLoopIsNotEnteredAgain) {
    const QStringList All = Search("*.*", QString::fromStdString(Root.string()), 20);
    for (const QString& F : All) EXPECT_FALSE(F.contains("/loop/")) << F.toStdString();
    EXPECT_TRUE(All.contains(QString::fromStdString((Root / "c/to-A/x/three.ini").string())));
}

TEST_F(SearchTree, DepthZeroWithTrailingSlashAndMaskCase) {
    const QString Start = QString::fromStdString(Root.string());
    const QStringList Expected{Start + "/.hidden.ini", Start + "/top.ini"};
    EXPECT_EQ(Sorted(Search("*.ini", Start, 0)), Expected);
    EXPECT_EQ(Sorted(Search("*.INI", Start + "/", 0)), Expected);
    EXPECT_EQ(Sorted(Search("top.*", Start, 0)), (QStringList{Start + "/top.TXT", Start + "/top.ini"}));
    EXPECT_EQ(Search("noext.*", Start + "/c", 0), QStringList{Start + "/c/noext"});
    EXPECT_TRUE(Search("*", Dir.QFile("no such folder"), 20).isEmpty());
}

TEST_F(SearchTree, FoldersAreSearchedInCaseInsensitiveOrder) {
    const QString Start = QString::fromStdString(Root.string());
    QStringList Folders;
    for (const QString& F : Search("*.ini", Start, 1)) {
        const QString Folder = F.left(F.lastIndexOf(u'/'));
        if (Folders.isEmpty() || Folders.last() != Folder) Folders << Folder;
    }
    EXPECT_EQ(Folders, (QStringList{Start, Start + "/A", Start + "/b"}));
}

// Names whose case-insensitive order differs from their code-unit order ("B2" < "a1" by code units).
TEST(SearchOrder, FoldersComeInTheListsCaseInsensitiveOrderNotByCodeUnits) {
    testing_support::TempDir Dir;
    for (const char* F : {"c3/x.ini", "B2/x.ini", "a1/x.ini", "B2/Z/x.ini", "B2/y/x.ini"}) Touch(Dir.File(F));
    const QString Start = Dir.QPath();
    EXPECT_EQ(Search("*.ini", Start, 2), (QStringList{Start + "/a1/x.ini", Start + "/B2/x.ini", Start + "/B2/y/x.ini",
                                                      Start + "/B2/Z/x.ini", Start + "/c3/x.ini"}));
}

TEST_F(SearchTree, CallbacksCountAndStop) {
    const QString Start = QString::fromStdString(Root.string());
    rtl::TStringList Results;
    Results.Add("kept");
    std::vector<int> DirCounts;
    std::vector<std::tuple<int, int, int>> FileCalls;
    base::SearchFiles(
        "*.ini", Start, &Results, 1, true, true,
        [&](int Count, const QString&) {
            DirCounts.push_back(Count);
            return true;
        },
        [&](int Dirs, int Files, int Index, const QString&) {
            FileCalls.emplace_back(Dirs, Files, Index);
            return Files < 3;
        });
    EXPECT_EQ(DirCounts, (std::vector<int>{2, 3, 4, 5})); // A, b, c, deep after the start
    ASSERT_EQ(Results.Count(), 3);                        // stopped at once
    EXPECT_EQ(Results[0], "kept");
    EXPECT_EQ(FileCalls, (std::vector<std::tuple<int, int, int>>{{5, 2, 1}, {5, 3, 1}}));

    // OnDirFound false: nothing after it, not even the start folder's files.
    Results.Clear();
    base::SearchFiles("*.ini", Start, &Results, 20, true, true, [](int, const QString&) { return false; });
    EXPECT_EQ(Results.Count(), 0);

    // OnEntry false stops one folder's enumeration only: the start folder's files still come.
    std::vector<int> Entries;
    Results.Clear();
    base::SearchFiles("*.ini", Start, &Results, 3, true, true, {}, {}, [&](int Count) {
        Entries.push_back(Count);
        return false;
    });
    EXPECT_EQ(Entries, std::vector<int>{1});
    EXPECT_EQ(Results.Count(), 2);
}

TEST_F(SearchTree, OnEntryCountsEveryEntryOfEachFolder) {
    rtl::TStringList Found;
    std::vector<int> Counts;
    base::CollectSubDirs(QString::fromStdString((Root / "A").string()) + "/*", &Found, true, [&](int C) {
        Counts.push_back(C);
        return true;
    });
    // ".", "..", two.ini, x, file-link.ini, dangling.ini
    EXPECT_EQ(Counts, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    ASSERT_EQ(Found.Count(), 1);
    EXPECT_EQ(Found[0], QString::fromStdString((Root / "A/x").string()));

    rtl::TStringList Files;
    base::CollectFiles("*.ini", QString::fromStdString((Root / "A").string()), &Files, false);
    EXPECT_EQ(Files.Count(), 1); // links refused
    base::CollectFiles("*.ini", QString::fromStdString((Root / "A").string()), &Files, true);
    EXPECT_EQ(Files.Count(), 3); // + the link to a file
}

} // namespace

namespace {

// An empty start folder finds nothing (it is not the root); the root keeps its delimiter.
TEST(SearchStart, EmptyFindsNothingAndRootStaysRoot) {
    rtl::TStringList Results;
    int Dirs = 0;
    base::SearchFiles("*", "", &Results, 20, false, false, [&](int, const rtl::String&) { return ++Dirs < 2; });
    EXPECT_EQ(Results.Count(), 0);
    EXPECT_EQ(Dirs, 0);

    QStringList Seen;
    base::SearchFiles("*", "/", &Results, 1, false, false, [&](int, const rtl::String& Dir) {
        Seen << Dir;
        return false; // one folder is enough to see how it is named
    });
    ASSERT_EQ(Seen.size(), 1);
    EXPECT_TRUE(Seen[0].startsWith(u'/') && !Seen[0].startsWith("//")) << Seen[0].toStdString();
    Results.Clear();
    base::SearchFiles("*", "/", &Results, 0, false, false);
    for (int i = 0; i < Results.Count(); ++i) EXPECT_FALSE(Results[i].startsWith("//")) << Results[i].toStdString();
}

} // namespace
