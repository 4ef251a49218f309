#include <gtest/gtest.h>

#include "atlas/icon_catalogue.h"
#include "atlas/new_icon_scan.h"
#include "tests/support/test_context.h"

TEST(IconCatalogue, LineHoldsNameWidthAndHeight) {
    EXPECT_EQ(catalogueLine("icon1", 28, 24), "icon1,28,24");
    EXPECT_EQ(catalogueLine("a b", 1, 2), "a b,1,2");
    EXPECT_EQ(catalogueLine("", 1, 2), ".png,1,2");
    EXPECT_EQ(catalogueLine("sub\\dir/x", 1, 2), "x,1,2");
}

TEST(IconCatalogue, ReaderTakesTheTextBeforeTheFirstComma) {
    TestContext t;
    t.useWorkingDirectoryLayout();
    writeFileText("battleatlas.dat", "a b,1,2\r\n\r\nno comma\r\nx,y,z,w\nlast,3,4");
    const auto entries = readIconCatalogue(t.settings.acCurrentDir, "battleatlas.dat", t.reporter);
    ASSERT_TRUE(entries);
    std::vector<std::string> names;
    for (const CatalogueEntry& entry : *entries) names.push_back(entry.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a b", "", "no comma", "x", "last"}));
    EXPECT_EQ(t.entries(), (std::vector<std::string>{"Loaded descriptor: battleatlas.dat"}));

    writeFileText("markeratlas.dat", "");
    EXPECT_TRUE(readIconCatalogue(t.settings.acCurrentDir, "markeratlas.dat", t.reporter)->empty());
    EXPECT_EQ(t.entries().back(), "Loaded descriptor: markeratlas.dat");

    EXPECT_FALSE(readIconCatalogue(t.settings.acCurrentDir, "missing.dat", t.reporter));
    EXPECT_EQ(t.entries().back(), "ERROR: Can't open atlas descriptor: missing.dat.");
}

TEST(NewIconScan, CountsPngFilesOnly) {
    TestContext t;
    std::filesystem::create_directories("icons/c.png");
    writeFileText("icons/a.png", "x");
    writeFileText("icons/B.PNG", "");
    writeFileText("icons/b.txt", "x");
    writeFileText("icons/c.png/inner.png", "x");
    EXPECT_EQ(scanNewIcons("icons/", t.reporter), 2);
    EXPECT_EQ(t.entries(), (std::vector<std::string>{"Checked new icon dir and found 2 PNG images"}));
    auto texts = t.ui.linesStartingWith("progress text");
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, (std::vector<std::string>{"progress text Found icon: B.PNG",
                                               "progress text Found icon: a.png"}));
    EXPECT_EQ(t.ui.transcript.front(), "progress open Searching for new icons");
    EXPECT_EQ(t.ui.transcript.back(), "progress close");
}

TEST(NewIconScan, EmptyAndMissingDirectories) {
    TestContext t;
    std::filesystem::create_directory("empty");
    EXPECT_EQ(scanNewIcons("empty/", t.reporter), 0);
    EXPECT_EQ(t.entries(), (std::vector<std::string>{"Checked new icon dir and found 0 PNG images"}));

    t.ui.transcript.clear();
    writeFileText("file.png", "x");
    EXPECT_EQ(scanNewIcons("missing/", t.reporter), 0);
    EXPECT_EQ(scanNewIcons("file.png", t.reporter), 0);
    EXPECT_EQ(t.entries()[1], "ERROR: The new icon dir 'missing/' doesn't exist.");
    EXPECT_EQ(t.entries()[2], "ERROR: The new icon dir 'file.png' doesn't exist.");
    EXPECT_TRUE(t.ui.transcript.empty());
}
