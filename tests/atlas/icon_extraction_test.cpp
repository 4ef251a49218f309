#include "atlas/icon_extraction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "platform/file_system.h"
#include "platform/text_file.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/dds_samples.h"
#include "tests/support/test_context.h"

namespace {

struct ExtractionTest : ::testing::Test {
    TestContext t;
    AtlasFixture fixture = AtlasFixture::generate({});

    void SetUp() override {
        t.useWorkingDirectoryLayout();
        ASSERT_TRUE(saveImagePng(fixture.image, "originalAtlases/battleAtlas.png"));
    }
    void writeXml(const std::string& xml) { writeFileText("originalAtlases/battleAtlas.xml", xml); }
    AtlasExtraction last;
    std::int32_t extract() {
        last = extractAtlasIcons(kBattleAtlas, t.settings.acOriginalAtlasDir, t.settings.acCurrentDir,
                                 t.reporter);
        return last.iconCount;
    }
};

std::vector<int> pixelAt(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

}  // namespace

TEST_F(ExtractionTest, WritesOneIconAndOneCatalogueLinePerEntry) {
    writeXml(fixture.writerFormXml());
    EXPECT_EQ(extract(), static_cast<std::int32_t>(fixture.icons.size()));

    std::vector<std::string> expectedLines;
    for (const FixtureIcon& icon : fixture.icons) {
        expectedLines.push_back(icon.name + "," + std::to_string(icon.width) + "," +
                                std::to_string(icon.height));
        const Image extracted = *loadImage("defaultBattleImages/" + icon.name + ".png");
        ASSERT_EQ(extracted.width(), icon.width);
        ASSERT_EQ(extracted.height(), icon.height);
        for (int y = 0; y < icon.height; ++y) {
            for (int x = 0; x < icon.width; ++x) {
                ASSERT_EQ(pixelAt(extracted, x, y), pixelAt(fixture.image, icon.x + x, icon.y + y));
            }
        }
    }
    EXPECT_EQ(readCrLfLines("battleatlas.dat"), expectedLines);
    EXPECT_EQ(readFileText("battleatlas.dat").substr(readFileText("battleatlas.dat").size() - 2), "\r\n");
    EXPECT_TRUE(last.atlasImageLoaded);
    EXPECT_EQ(last.atlasWidth, 256);
    EXPECT_EQ(last.atlasHeight, 256);
    EXPECT_EQ(t.entries(),
              (std::vector<std::string>{
                  "Opened atlas file: battleAtlas.xml",
                  "Opened atlas image: battleAtlas.png with size: 256x256",
                  "Created descriptor file: battleatlas.dat",
                  "Extracted " + std::to_string(fixture.icons.size()) + " single icons from battleAtlas.png",
              }));
    EXPECT_EQ(t.ui.transcript.front(), "progress open Extract original battleAtlas icons");
    EXPECT_EQ(t.ui.linesStartingWith("progress text").front(),
              "progress text Found icon: " + fixture.icons[0].name + ".png");
    EXPECT_EQ(t.ui.transcript.back(), "progress close");
}

TEST_F(ExtractionTest, ProgressCountsLineBytesWithoutLineEndsOrEmptyLines) {
    // 10 bytes of file; the lines hold 3 + 3 bytes, so the bar shows 30 and then 60.
    writeXml("abc\n\n\ndef\n");
    EXPECT_EQ(extract(), 0);
    EXPECT_EQ(t.ui.linesStartingWith("progress bar"),
              (std::vector<std::string>{"progress bar 30", "progress bar 60"}));
    EXPECT_EQ(readFileText("battleatlas.dat"), "");
}

TEST_F(ExtractionTest, OddNamesAndSizes) {
    writeXml(
        "\xEF\xBB\xBF<root>\n"
        "<name> a b </name><x>0</x><y>0</y><width>2</width><height>3</height>\n"
        "<name>   </name><x>0</x><y>0</y><width>1</width><height>1</height>\n"
        "<name>zero</name><x>0</x><y>0</y><width>0</width><height>3</height>\n"
        "<name>negative</name><x>0</x><y>0</y><width>-4</width><height>3</height>\n"
        "<name>sub/inner</name><x>1</x><y>1</y><width>2</width><height>2</height>\n"
        "<name>edge</name><x>250</x><y>-2</y><width>10</width><height>4</height>\n");
    std::filesystem::create_directory("defaultBattleImages/sub");
    EXPECT_EQ(extract(), 6);  // the negative entry is counted but never emitted
    EXPECT_EQ(readCrLfLines("battleatlas.dat"),
              (std::vector<std::string>{"a b,2,3", ".png,1,1", "zero,0,3", "inner,2,2", "edge,10,4"}));
    EXPECT_EQ(fileSize("defaultBattleImages/a b.png") > 0, true);
    EXPECT_EQ(fileSize("defaultBattleImages/.png") > 0, true);
    EXPECT_EQ(fileSize("defaultBattleImages/sub/inner.png") > 0, true);
    EXPECT_EQ(fileSize("defaultBattleImages/zero.png"), kPathMissing);
    const Image edge = *loadImage("defaultBattleImages/edge.png");
    EXPECT_EQ(pixelAt(edge, 9, 0), (std::vector<int>{0, 0, 0, 0}));  // outside the atlas
    const auto entries = t.entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "ERROR: Can't create icon: zero.png"), entries.end());
    EXPECT_EQ(t.log.errorCount(), 1);
}

TEST_F(ExtractionTest, NamesThatWouldLeaveTheIconDirectoryAreNotWritten) {
    writeXml(
        "<name>../escaped</name><x>0</x><y>0</y><width>2</width><height>2</height>\n"
        "<name>/rooted</name><x>0</x><y>0</y><width>2</width><height>2</height>\n"
        "<name>sub\\..\\..\\up</name><x>0</x><y>0</y><width>2</width><height>2</height>\n"
        "<name>C:evil</name><x>0</x><y>0</y><width>2</width><height>2</height>\n"
        "<name>fine..name</name><x>0</x><y>0</y><width>2</width><height>2</height>\n");
    EXPECT_EQ(extract(), 5);
    EXPECT_FALSE(std::filesystem::exists("escaped.png"));
    EXPECT_FALSE(std::filesystem::exists("up.png"));
    EXPECT_FALSE(std::filesystem::exists("/rooted.png"));
    EXPECT_TRUE(std::filesystem::exists("defaultBattleImages/fine..name.png"));
    EXPECT_EQ(
        readCrLfLines("battleatlas.dat"),
        (std::vector<std::string>{"escaped,2,2", "rooted,2,2", "up,2,2", "C:evil,2,2", "fine..name,2,2"}));
    const auto entries = t.entries();
    for (const char* name : {"../escaped.png", "/rooted.png", "sub\\..\\..\\up.png", "C:evil.png"}) {
        EXPECT_NE(std::find(entries.begin(), entries.end(), std::string("ERROR: Can't create icon: ") + name),
                  entries.end())
            << name;
    }
}

TEST_F(ExtractionTest, HugeNumbersAndFailedSavesAreReported) {
    writeXml(
        "<name>wide</name><x>0</x><y>0</y><width>4294967298</width><height>2</height>\n"
        "<name>far</name><x>-9999999999</x><y>0</y><width>2</width><height>2</height>\n"
        "<name>huge</name><x>0</x><y>0</y><width>20000</width><height>20000</height>\n"
        "<name>nodir/icon</name><x>0</x><y>0</y><width>2</width><height>2</height>\n");
    EXPECT_EQ(extract(), 4);
    EXPECT_EQ(readCrLfLines("battleatlas.dat"),
              (std::vector<std::string>{"wide,4294967298,2", "far,2,2", "huge,20000,20000", "icon,2,2"}));
    const auto entries = t.entries();
    for (const char* expected :
         {"ERROR: Can't create icon: wide.png", "ERROR: Can't create icon: far.png",
          "ERROR: Can't cut icon: huge.png (its rectangle is larger than the 256x256 atlas image)",
          "ERROR: Can't save icon: nodir/icon.png"}) {
        EXPECT_NE(std::find(entries.begin(), entries.end(), expected), entries.end()) << expected;
    }
}

TEST_F(ExtractionTest, SetUpFailuresReturnZeroAndKeepTheOldCatalogue) {
    writeFileText("battleatlas.dat", "old,1,1\r\n");
    EXPECT_EQ(extract(), 0);
    EXPECT_EQ(t.entries(),
              (std::vector<std::string>{"ERROR: Can't open the original atlas: battleAtlas.xml"}));

    writeXml("<name>a</name><width>1</width><height>1</height>\n");
    std::filesystem::remove("originalAtlases/battleAtlas.png");
    EXPECT_EQ(extract(), 0);
    EXPECT_FALSE(last.atlasImageLoaded);
    EXPECT_EQ(t.entries().back(), "ERROR: Can't open the original image: battleAtlas.png");
    EXPECT_EQ(readFileText("battleatlas.dat"), "old,1,1\r\n");
    EXPECT_TRUE(t.ui.transcript.empty());

    ASSERT_TRUE(saveImagePng(fixture.image, "originalAtlases/battleAtlas.png"));
    std::filesystem::remove("battleatlas.dat");
    std::filesystem::create_directory("battleatlas.dat");
    EXPECT_EQ(extract(), 0);
    EXPECT_EQ(t.entries().back(), "ERROR: Can't create descriptor: battleatlas.dat");
    EXPECT_EQ(last.atlasWidth, 256);  // known before the catalogue failed
}

TEST_F(ExtractionTest, GameAtlasFilesExtractCompletely) {
    const char* realdata = std::getenv("RAVELIN_REALDATA");
    if (!realdata || !std::filesystem::is_directory(realdata))
        GTEST_SKIP() << "real atlas files not available";
    for (const char* file :
         {"WorldofTanks-Code-2.4.0.2-vehicleMarkerAtlas.xml", "wot-src-1.14.1.3-digits.xml"}) {
        SCOPED_TRACE(file);
        const std::string xml = readFileText(std::string(realdata) + "/" + file);
        writeXml(xml);
        // An image just large enough for every rectangle of the file.
        std::int64_t width = 1, height = 1, subTextures = 0;
        AtlasDescriptorReader reader;
        for (std::size_t start = 0; start < xml.size();) {
            std::size_t end = xml.find('\n', start);
            if (end == std::string::npos) end = xml.size();
            const std::string line = xml.substr(start, end - start);
            subTextures += line.find("</SubTexture>") != std::string::npos;
            if (const auto entry = reader.readLine(line).entry) {
                width = std::max(width, entry->x + entry->width);
                height = std::max(height, entry->y + entry->height);
            }
            start = end + 1;
        }
        ASSERT_TRUE(saveImagePng(*createImage(width, height, 32), "originalAtlases/battleAtlas.png"));
        EXPECT_EQ(extract(), subTextures);
        EXPECT_EQ(static_cast<std::int64_t>(readCrLfLines("battleatlas.dat").size()), subTextures);
        EXPECT_EQ(t.log.errorCount(), 0);
    }
}

TEST_F(ExtractionTest, TodaysDdsAtlasesGiveTheirIconsInEveryFormat) {
    writeXml(fixture.gameXml());
    std::filesystem::remove("originalAtlases/battleAtlas.png");
    for (const DdsSampleFormat format : kEveryDdsSampleFormat) {
        SCOPED_TRACE(ddsSampleFormatName(format));
        const std::string file = ddsFileText(fixture.image, format);
        writeFileText("originalAtlases/battleAtlas.dds", file);
        const Image atlas = *decodeDds(reinterpret_cast<const std::uint8_t*>(file.data()), file.size()).image;
        EXPECT_EQ(extract(), static_cast<std::int32_t>(fixture.icons.size()));
        EXPECT_EQ(last.atlasWidth, 256);
        for (const FixtureIcon& icon : fixture.icons) {
            const Image extracted = *loadImage("defaultBattleImages/" + icon.name + ".png");
            ASSERT_EQ(encodePng(extracted),
                      encodePng(*grabImage(atlas, icon.x, icon.y, icon.width, icon.height)))
                << icon.name;
        }
        EXPECT_EQ(t.entries()[1], "Opened atlas image: battleAtlas.dds with size: 256x256");
        EXPECT_EQ(t.entries().back(),
                  "Extracted " + std::to_string(fixture.icons.size()) + " single icons from battleAtlas.dds");
        EXPECT_EQ(t.log.errorCount(), 0);
        t.log = EventLog();
    }

    // A format the program cannot read: nothing extracted, the catalogue kept.
    const std::string catalogue = readFileText("battleatlas.dat");
    writeFileText("originalAtlases/battleAtlas.dds", ddsHeaderText(256, 256, 0x4, "DX10", 0, 71));
    EXPECT_EQ(extract(), 0);
    EXPECT_EQ(t.entries().back(), "ERROR: Unsupported atlas image: battleAtlas.dds (DXGI 71)");
    EXPECT_EQ(readFileText("battleatlas.dat"), catalogue);
    // While a PNG is there, it is the atlas image, as it always was.
    ASSERT_TRUE(saveImagePng(fixture.image, "originalAtlases/battleAtlas.png"));
    EXPECT_EQ(extract(), static_cast<std::int32_t>(fixture.icons.size()));
}

#ifdef _WIN32
TEST_F(ExtractionTest, NamesWindowsRefusesAreRefusedLikeOtherUnsafeNames) {
    std::string xml;
    for (const char* name : {"a<b", "x:y", "CON", "lpt1", "sub. /x"})
        xml += std::string("<name>") + name + "</name><x>0</x><y>0</y><width>2</width><height>2</height>\n";
    writeXml(xml + "<name>fine</name><x>0</x><y>0</y><width>2</width><height>2</height>\n");
    EXPECT_EQ(extract(), 6);
    const auto entries = t.entries();
    for (const char* name : {"a<b", "x:y", "CON", "lpt1", "sub. /x"}) {
        EXPECT_NE(std::find(entries.begin(), entries.end(),
                            "ERROR: Can't create icon: " + std::string(name) + ".png"),
                  entries.end())
            << name;
    }
    std::vector<std::string> written;
    for (const auto& file : std::filesystem::directory_iterator("defaultBattleImages"))
        written.push_back(file.path().filename().string());
    EXPECT_EQ(written, std::vector<std::string>{"fine.png"});
}
#endif

// Icons are cut and encoded on several threads, yet every file, catalogue line and log entry comes out as
// one thread would write it, in the XML's order; failures among them are reported in place.
TEST_F(ExtractionTest, ParallelCuttingWritesTheSameBytesInTheSameOrder) {
    const AtlasFixture many = AtlasFixture::generate({600, 512, 512, 3, 14, 9, "icon"});
    ASSERT_TRUE(saveImagePng(many.image, "originalAtlases/battleAtlas.png"));
    std::string xml = "<root>\n";
    std::vector<std::string> expectedLines, expectedErrors;
    for (std::size_t i = 0; i < many.icons.size(); ++i) {
        FixtureIcon icon = many.icons[i];
        if (i % 97 == 5) {  // an entry that cannot be cut
            icon.name = "bad" + std::to_string(i);
            icon.width = 0;
            expectedErrors.push_back("ERROR: Can't create icon: " + icon.name + ".png");
        }
        xml += "<SubTexture><name> " + icon.name + " </name><x> " + std::to_string(icon.x) + " </x><y> " +
               std::to_string(icon.y) + " </y><width> " + std::to_string(icon.width) + " </width><height> " +
               std::to_string(icon.height) + " </height></SubTexture>\n";
        expectedLines.push_back(icon.name + "," + std::to_string(icon.width) + "," +
                                std::to_string(icon.height));
    }
    // A later entry of the same name overwrites the earlier one's file, as on one thread.
    const FixtureIcon& later = many.icons[2];
    xml += "<SubTexture><name> " + many.icons[1].name + " </name><x> " + std::to_string(later.x) +
           " </x><y> " + std::to_string(later.y) + " </y><width> " + std::to_string(later.width) +
           " </width><height> " + std::to_string(later.height) + " </height></SubTexture>\n";
    expectedLines.push_back(many.icons[1].name + "," + std::to_string(later.width) + "," +
                            std::to_string(later.height));
    writeXml(xml + "</root>\n");
    EXPECT_EQ(extract(), static_cast<std::int32_t>(many.icons.size() + 1));
    EXPECT_EQ(readCrLfLines("battleatlas.dat"), expectedLines);
    std::vector<std::string> errors;
    for (const std::string& entry : t.entries())
        if (entry.rfind("ERROR", 0) == 0) errors.push_back(entry);
    EXPECT_EQ(errors, expectedErrors);
    for (std::size_t i = 0; i < many.icons.size(); ++i) {
        const FixtureIcon& icon = i == 1 ? later : many.icons[i];
        if (i % 97 == 5) continue;
        const std::vector<std::uint8_t> expected =
            *encodePng(*grabImage(many.image, icon.x, icon.y, icon.width, icon.height));
        ASSERT_EQ(readFileBytes("defaultBattleImages/" + many.icons[i].name + ".png"), expected) << icon.name;
    }
}

// The numbers in the XML are checked against the image: nothing is cut for a rectangle that lies wholly
// outside it or is larger than it, whatever it would cost, and the icon is named.
TEST_F(ExtractionTest, RectanglesAreCheckedAgainstTheImage) {
    writeXml(
        "<name>right</name><x>256</x><y>0</y><width>4</width><height>4</height>\n"
        "<name>above</name><x>0</x><y>-4</y><width>4</width><height>4</height>\n"
        "<name>vast</name><x>0</x><y>0</y><width>16384</width><height>16384</height>\n"
        "<name>tall</name><x>0</x><y>0</y><width>2</width><height>257</height>\n"
        "<name>corner</name><x>254</x><y>254</y><width>4</width><height>4</height>\n");
    EXPECT_EQ(extract(), 5);
    const auto entries = t.entries();
    for (const auto& [name, fault] : {std::pair{"right", "lies outside"},
                                      {"above", "lies outside"},
                                      {"vast", "is larger than"},
                                      {"tall", "is larger than"}}) {
        const std::string expected = std::string("ERROR: Can't cut icon: ") + name + ".png (its rectangle " +
                                     fault + " the 256x256 atlas image)";
        EXPECT_NE(std::find(entries.begin(), entries.end(), expected), entries.end()) << expected;
        EXPECT_FALSE(std::filesystem::exists(std::string("defaultBattleImages/") + name + ".png")) << name;
    }
    EXPECT_EQ(t.log.errorCount(), 4);
    EXPECT_EQ(pixelAt(*loadImage("defaultBattleImages/corner.png"), 3, 3), (std::vector<int>{0, 0, 0, 0}));
}

// An atlas without icons would make every icon of its kind vanish in the game.
TEST_F(ExtractionTest, AnXmlWithoutIconsIsAnError) {
    for (const char* xml : {"", "<SubTexture name=\"a\" x=\"0\" y=\"0\" width=\"2\" height=\"2\"/>\n"}) {
        SCOPED_TRACE(xml);
        writeXml(xml);
        EXPECT_EQ(extract(), 0);
        EXPECT_EQ(t.entries().back(), "ERROR: No icons found in battleAtlas.xml");
    }
}

// Taking the same atlas apart again writes no icon file; an icon whose pixels changed is written again,
// and only it.
TEST_F(ExtractionTest, OnlyIconsThatChangedAreWrittenAgain) {
    writeXml(fixture.writerFormXml());
    extract();
    EXPECT_EQ(last.iconFilesWritten, static_cast<std::int32_t>(fixture.icons.size()));
    const FixtureIcon& first = fixture.icons.front();
    const std::string path = "defaultBattleImages/" + first.name + ".png";
    const auto writtenAt = std::filesystem::last_write_time(path);

    extract();
    EXPECT_EQ(last.iconFilesWritten, 0);
    EXPECT_EQ(std::filesystem::last_write_time(path), writtenAt);

    fixture.image.row(first.y)[first.x * 4] ^= 0xFF;
    ASSERT_TRUE(saveImagePng(fixture.image, "originalAtlases/battleAtlas.png"));
    extract();
    EXPECT_EQ(last.iconFilesWritten, 1);
    EXPECT_EQ(pixelAt(*loadImage(path), 0, 0), pixelAt(fixture.image, first.x, first.y));
}
