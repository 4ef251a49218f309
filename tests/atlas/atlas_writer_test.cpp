#include "atlas/atlas_writer.h"

#include "atlas/atlas_output.h"

#include <gtest/gtest.h>

#include <cstring>

#include <map>

#include "atlas/atlas_descriptor_reader.h"
#include "atlas/atlas_kind.h"
#include "atlas/icon_extraction.h"
#include "image/png_codec.h"
#include "tests/support/atlas_fixture.h"
#include "tests/support/dds_samples.h"
#include "tests/support/scoped_file_size_limit.h"
#include "tests/support/test_context.h"

namespace {

struct BuildTest : ::testing::Test {
    TestContext t;
    void SetUp() override { t.useWorkingDirectoryLayout(); }

    AtlasBuild run() {
        return buildAtlas(kBattleAtlas,
                          {t.settings.acCurrentDir, t.settings.acOriginalAtlasDir, t.settings.acNewIconsDir,
                           t.settings.atlas(kBattleAtlas).iconDirectory},
                          t.reporter);
    }
    bool build() { return run().completed; }
    void icon(const std::string& name, int width, int height, unsigned seed = 1) {
        ASSERT_TRUE(saveImagePng(AtlasFixture::drawIcon(width, height, seed),
                                 "defaultBattleImages/" + name + ".png"));
    }
    std::string spots() {
        std::string text;
        for (const auto& e : writtenAtlasEntries("battleAtlas.xml")) {
            text += e.name + ".png@" + std::to_string(e.x) + "," + std::to_string(e.y) + ":" +
                    std::to_string(e.width) + "x" + std::to_string(e.height) + " ";
        }
        return text;
    }
};

std::vector<int> pixelAt(const Image& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * image.bytesPerPixel();
    return std::vector<int>(p, p + image.bytesPerPixel());
}

bool fullyTransparent(const Image& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.row(y)[x * 4 + 3] != 0) return false;
    return true;
}

}  // namespace

TEST(AtlasWriter, SubTextureEntryHasTheExactForm) {
    EXPECT_EQ(subTextureLines("icon1", 2, 0, 28, 30),
              (std::vector<std::string>{"  <SubTexture>", "    <name> icon1 </name>", "    <x> 2 </x>",
                                        "    <y> 0 </y>", "    <width> 28 </width>",
                                        "    <height> 30 </height>", "  </SubTexture>"}));
}

TEST_F(BuildTest, RoundTripReproducesEveryExtractedIcon) {
    const AtlasFixture fixture = AtlasFixture::generate({40, 256, 256, 3, 30, 11, "icon"});
    ASSERT_TRUE(saveImagePng(fixture.image, "originalAtlases/battleAtlas.png"));
    writeFileText("originalAtlases/battleAtlas.xml", fixture.gameXml());
    ASSERT_EQ(
        extractAtlasIcons(kBattleAtlas, t.settings.acOriginalAtlasDir, t.settings.acCurrentDir, t.reporter)
            .iconCount,
        static_cast<std::int32_t>(fixture.icons.size()));

    ASSERT_TRUE(build());
    const Image atlas = *loadImage("battleAtlas.png");
    ASSERT_EQ(atlas.width(), 2048);
    const auto entries = writtenAtlasEntries("battleAtlas.xml");
    ASSERT_EQ(entries.size(), fixture.icons.size());
    std::int64_t previousHeight = 1 << 30;
    for (const AtlasDescriptorEntry& entry : entries) {
        SCOPED_TRACE(entry.name);
        EXPECT_LE(entry.height, previousHeight);  // tallest first
        previousHeight = entry.height;
        const Image icon = *loadImage("defaultBattleImages/" + entry.name + ".png");
        ASSERT_EQ(icon.width(), entry.width);
        ASSERT_EQ(icon.height(), entry.height);
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                std::vector<int> expected = pixelAt(icon, x, y);
                if (expected[3] == 0) expected = {0, 0, 0, 0};
                ASSERT_EQ(pixelAt(atlas, static_cast<int>(entry.x) + x, static_cast<int>(entry.y) + y),
                          expected);
            }
        }
    }
    // Rows never overlap: every pair of rectangles is disjoint.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = i + 1; j < entries.size(); ++j) {
            const auto& a = entries[i];
            const auto& b = entries[j];
            EXPECT_TRUE(a.x + a.width < b.x + 1 || b.x + b.width < a.x + 1 || a.y + a.height < b.y + 1 ||
                        b.y + b.height < a.y + 1);
        }
    }
    const auto log = t.entries();
    EXPECT_EQ(log.size(), 11u);
    EXPECT_EQ(std::vector<std::string>(log.end() - 7, log.end()),
              (std::vector<std::string>{
                  "Creating Atlas files battleAtlas", "Loaded descriptor: battleatlas.dat",
                  "Rearranged " + std::to_string(fixture.icons.size()) + " icons.",
                  "Created empty atlas image with size 2048x2048", "Created empty xml file.",
                  "Saved new atlas image: battleAtlas.png", "Saved new atlas xml file: battleAtlas.xml"}));

    // Building again writes the same bytes.
    const auto firstImage = readFileBytes("battleAtlas.png");
    const auto firstXml = readFileBytes("battleAtlas.xml");
    ASSERT_TRUE(build());
    EXPECT_EQ(readFileBytes("battleAtlas.png"), firstImage);
    EXPECT_EQ(readFileBytes("battleAtlas.xml"), firstXml);
}

TEST_F(BuildTest, EmptyCatalogueAndUnloadableIconsGiveAnEmptyAtlas) {
    writeFileText("battleatlas.dat", "");
    ASSERT_TRUE(build());
    EXPECT_EQ(readFileText("battleAtlas.xml"), "<root>\r\n</root>\r\n");
    EXPECT_TRUE(fullyTransparent(*loadImage("battleAtlas.png")));
    EXPECT_EQ(t.entries()[2], "Rearranged 0 icons.");

    writeFileText("battleatlas.dat", "gone,1,1\r\n\r\nalso gone\r\n");
    t.ui.transcript.clear();
    ASSERT_TRUE(build());
    EXPECT_EQ(readFileText("battleAtlas.xml"), "<root>\r\n</root>\r\n");
    EXPECT_EQ(t.ui.linesStartingWith("progress text Processing"),
              (std::vector<std::string>{"progress text Processing icon: gone.png",
                                        "progress text Processing icon: .png",
                                        "progress text Processing icon: also gone.png"}));
    EXPECT_EQ(t.ui.transcript.back(), "progress close");
    const std::string directory = t.settings.atlas(kBattleAtlas).iconDirectory;
    const auto entries = t.entries();
    EXPECT_EQ(std::vector<std::string>(entries.end() - 8, entries.end() - 5),
              (std::vector<std::string>{"ERROR: Can't load icon: " + directory + "gone.png",
                                        "ERROR: Can't load icon: " + directory + ".png",
                                        "ERROR: Can't load icon: " + directory + "also gone.png"}));
}

TEST_F(BuildTest, FixedIconsKeepTheirSpotsAndRowsIgnoreThem) {
    // A look-alike name gets no fixed spot (on Windows, whose file names ignore case, a longer one).
#ifdef _WIN32
    const std::string lookalike = "CameraWithDirection_";
#else
    const std::string lookalike = "camerawithdirection";
#endif
    writeFileText("battleatlas.dat",
                  "CameraWithDirection\r\nrow1\r\nShotSectorLine\r\n" + lookalike + "\r\n");
    icon("CameraWithDirection", 4, 60);
    icon("row1", 10, 50);
    icon("ShotSectorLine", 2, 40);
    icon(lookalike, 5, 30);
    ASSERT_TRUE(build());
    EXPECT_EQ(spots(), "CameraWithDirection.png@2046,0:4x60 row1.png@2,0:10x50 ShotSectorLine.png@0,0:2x40 " +
                           lookalike + ".png@13,0:5x30 ");
    // The camera icon reaches two columns past the canvas: drawn clipped and reported.
    const auto entries = t.entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(),
                        "ERROR: Icon doesn't fit into the atlas: CameraWithDirection.png"),
              entries.end());
    const Image atlas = *loadImage("battleAtlas.png");
    const Image camera = *loadImage("defaultBattleImages/CameraWithDirection.png");
    std::vector<int> expected = pixelAt(camera, 1, 30);
    if (expected[3] == 0) expected = {0, 0, 0, 0};
    EXPECT_EQ(pixelAt(atlas, 2047, 30), expected);
}

TEST_F(BuildTest, NamesAreWrittenUnescapedAndDuplicatesTwice) {
    writeFileText("battleatlas.dat", "a&b'c,1,1\r\ndup\r\ndup\r\n");
    icon("a&b'c", 3, 3);
    icon("dup", 4, 4);
    ASSERT_TRUE(build());
    EXPECT_EQ(spots(), "dup.png@2,0:4x4 dup.png@7,0:4x4 a&b'c.png@12,0:3x3 ");
    EXPECT_NE(readFileText("battleAtlas.xml").find("    <name> a&b'c </name>\r\n"), std::string::npos);
}

TEST_F(BuildTest, ReplacementsAreChosenByContent) {
    writeFileText("battleatlas.dat", "empty\r\nbroken\r\nrgb\r\n");
    icon("empty", 3, 3);
    writeFileText("newTankImages/empty.png", "");
    icon("broken", 3, 3);
    writeFileText("newTankImages/broken.png", "\x89PNG but not really");
    Image rgb = *createImage(2, 2, 24);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) std::memcpy(rgb.row(y) + x * 3, "\x09\x08\x07", 3);
    ASSERT_TRUE(saveImagePng(rgb, "newTankImages/rgb.png"));
    ASSERT_TRUE(build());
    // The broken replacement is reported and its default icon takes its place.
    EXPECT_EQ(spots(), "empty.png@2,0:3x3 broken.png@6,0:3x3 rgb.png@10,0:2x2 ");
    EXPECT_EQ(t.entries()[2], "ERROR: Can't load icon: " + t.settings.acNewIconsDir + "broken.png");
    const Image atlas = *loadImage("battleAtlas.png");
    EXPECT_EQ(pixelAt(atlas, 11, 1), (std::vector<int>{9, 8, 7, 255}));  // RGB drawn opaque
}

// A replacement whose header reads but whose pixels do not is no replacement: the atlas is the one its
// default icon gives, byte for byte, and only the replacement is blamed.
TEST_F(BuildTest, ReplacementsWithDamagedPixelsGiveWayToTheirDefaults) {
    writeFileText("battleatlas.dat", "same,6,5\r\nother,4,4\r\n");
    icon("same", 6, 5, 3);
    icon("other", 4, 4);
    ASSERT_TRUE(run().clean());
    const auto defaultImage = readFileBytes("battleAtlas.png");
    const auto defaultXml = readFileBytes("battleAtlas.xml");
    writeFileText("newTankImages/same.png", pngFileText(AtlasFixture::drawIcon(6, 5, 4)).substr(0, 40));
    writeFileText("newTankImages/other.png", pngFileText(AtlasFixture::drawIcon(9, 9, 5)).substr(0, 40));
    const AtlasBuild built = run();
    EXPECT_TRUE(built.completed);
    EXPECT_EQ(readFileBytes("battleAtlas.png"), defaultImage);
    EXPECT_EQ(readFileBytes("battleAtlas.xml"), defaultXml);
    const std::string news = t.settings.acNewIconsDir;
    EXPECT_EQ(built.errors, (std::vector<std::string>{"Can't load icon: " + news + "same.png",
                                                      "Can't load icon: " + news + "other.png"}));
    EXPECT_EQ(t.log.errorCount(), 2);
    EXPECT_EQ(built.states.counts.unreadable, 2u);
    EXPECT_EQ(built.states.icons[1].state, IconState::UnreadableReplacement);
}

TEST_F(BuildTest, IconsBelowTheCanvasAreClippedAndReported) {
    writeFileText("battleatlas.dat", "tall,1,1\r\nnext,1,1\r\n");
    icon("tall", 2043, 2047);
    icon("next", 2043, 5);
    ASSERT_TRUE(build());
    // Wider than 2042: each opens a row of its own, the first one row below the empty first row.
    EXPECT_EQ(spots(), "tall.png@2,1:2043x2047 next.png@2,2049:2043x5 ");
    const auto entries = t.entries();
    EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                            [](const std::string& e) { return e.rfind("ERROR: ", 0) == 0; }),
              1);
    EXPECT_NE(std::find(entries.begin(), entries.end(), "ERROR: Icon doesn't fit into the atlas: next.png"),
              entries.end());
}

TEST_F(BuildTest, EarlyFailuresWriteNothing) {
    EXPECT_FALSE(build());
    EXPECT_EQ(t.entries(),
              (std::vector<std::string>{"Creating Atlas files battleAtlas",
                                        "ERROR: Can't open atlas descriptor: battleatlas.dat."}));
    EXPECT_TRUE(t.ui.progressWindowOpen);  // left for the caller to close

    writeFileText("battleatlas.dat", "a\r\n");
    icon("a", 3, 3);
    std::filesystem::create_directory("battleAtlas.xml");
    EXPECT_FALSE(build());
    EXPECT_EQ(t.entries().back(), "ERROR: Can't create atlas XML file.");
    EXPECT_FALSE(std::filesystem::exists("battleAtlas.png"));
}

TEST_F(BuildTest, FailedImageSaveStillCompletesTheXmlAndKeepsTheOldImage) {
    writeFileText("battleatlas.dat", "a\r\n");
    icon("a", 3, 3);
    std::filesystem::create_directory("battleAtlas.png");
    EXPECT_TRUE(build());
    EXPECT_EQ(spots(), "a.png@2,0:3x3 ");
    const auto entries = t.entries();
    EXPECT_EQ(std::vector<std::string>(entries.end() - 2, entries.end()),
              (std::vector<std::string>{"ERROR: Can't save atlas image battleAtlas.png",
                                        "Saved new atlas xml file: battleAtlas.xml"}));
}

TEST_F(BuildTest, WritesFailingPartWayKeepTheEarlierAtlas) {
    RAVELIN_SKIP_WITHOUT_FILE_SIZE_LIMIT();
    writeFileText("battleatlas.dat", "a\r\n");
    icon("a", 30, 30);
    writeFileText("battleAtlas.png", "earlier image");
    writeFileText("battleAtlas.xml", "earlier xml");
    {
        ScopedFileSizeLimit limit(64);
        EXPECT_TRUE(build());
    }
    EXPECT_EQ(readFileText("battleAtlas.png"), "earlier image");
    EXPECT_EQ(readFileText("battleAtlas.xml"), "earlier xml");
    const auto entries = t.entries();
    EXPECT_EQ(std::vector<std::string>(entries.end() - 2, entries.end()),
              (std::vector<std::string>{"ERROR: Can't save atlas image battleAtlas.png",
                                        "ERROR: Can't write atlas XML file: battleAtlas.xml"}));
}

TEST_F(BuildTest, TodaysClientGetsEveryIconPackedInItsOwnFormat) {
    writeFileText("battleatlas.dat", "wide,1,1\r\ntall,1,1\r\nCameraWithDirection,1,1\r\nsmall,1,1\r\n");
    icon("wide", 300, 20, 1);
    icon("tall", 12, 400, 2);
    icon("CameraWithDirection", 4, 20, 3);
    icon("small", 5, 5, 4);
    const Image original = AtlasFixture::generate({3, 64, 32, 3, 9, 3, "x"}).image;
    writeFileText("originalAtlases/battleAtlas.dds", ddsFileText(original, DdsSampleFormat::Dx10Bgra, 3));

    ASSERT_TRUE(build());
    const DdsDecoding written = loadDds("battleAtlas.dds");
    ASSERT_TRUE(written.image) << written.fault;
    EXPECT_TRUE(written.header.format.dx10);
    EXPECT_EQ(written.header.format.dxgiFormat, 87u);
    EXPECT_EQ(written.header.mipLevels, 3);
    EXPECT_FALSE(std::filesystem::exists("battleAtlas.png"));  // the client shipped no PNG
    const Image& atlas = *written.image;
    EXPECT_EQ(atlas.width() % 4, 0);
    EXPECT_LT(std::int64_t{atlas.width()} * atlas.height(), 2048 * 2048);
    const auto entries = writtenAtlasEntries("battleAtlas.xml");
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, "tall");  // tallest first, as always
    for (const auto& entry : entries) {
        SCOPED_TRACE(entry.name);
        const Image icon = *loadImage("defaultBattleImages/" + entry.name + ".png");
        // Drawn onto a transparent canvas: visible pixels exactly, invisible ones without their colour.
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                const std::vector<int> shown = pixelAt(icon, x, y);
                const std::vector<int> expected = shown[3] ? shown : std::vector<int>(4, 0);
                ASSERT_EQ(pixelAt(atlas, static_cast<int>(entry.x) + x, static_cast<int>(entry.y) + y),
                          expected);
            }
        }
    }
    EXPECT_EQ(t.entries().back(), "Saved new atlas xml file: battleAtlas.xml");
}

TEST_F(BuildTest, BlockSevenOriginalsGetBlockThreeAndPngOriginalsTheirPngToo) {
    writeFileText("battleatlas.dat", "a,1,1\r\n");
    icon("a", 9, 7);
    const Image original = AtlasFixture::generate({3, 32, 32, 3, 9, 3, "x"}).image;
    writeFileText("originalAtlases/battleAtlas.dds", ddsFileText(original, DdsSampleFormat::Bc7));
    ASSERT_TRUE(build());
    const DdsDecoding written = loadDds("battleAtlas.dds");
    ASSERT_TRUE(written.image);
    EXPECT_EQ(written.header.format.encoding, DdsEncoding::Bc3);
    EXPECT_FALSE(written.header.format.dx10);

    // A transitional client shipped both: the PNG shows the same canvas.
    ASSERT_TRUE(saveImagePng(original, "originalAtlases/battleAtlas.png"));
    writeFileText("originalAtlases/battleAtlas.dds", ddsFileText(original, DdsSampleFormat::Dx10Rgba));
    ASSERT_TRUE(build());
    EXPECT_EQ(encodePng(*loadImage("battleAtlas.png")), encodePng(*loadDds("battleAtlas.dds").image));

#ifndef _WIN32
    // A DDS that cannot be written completely leaves the previous one as it was.
    const std::string previous = readFileText("battleAtlas.dds");
    icon("a", 60, 60);
    {
        ScopedFileSizeLimit limit(2000);
        EXPECT_TRUE(build());
    }
    const auto entries = t.entries();
    EXPECT_NE(std::find(entries.begin(), entries.end(), "ERROR: Can't save atlas image battleAtlas.dds"),
              entries.end());
    EXPECT_EQ(readFileText("battleAtlas.dds"), previous);
#endif

    // A DDS original the program cannot read builds nothing.
    writeFileText("originalAtlases/battleAtlas.dds", ddsHeaderText(32, 32, 0x4, "ATI2"));
    const std::string before = readFileText("battleAtlas.xml");
    EXPECT_FALSE(build());
    EXPECT_EQ(t.entries().back(), "ERROR: Unsupported atlas image: battleAtlas.dds (FourCC ATI2)");
    EXPECT_EQ(readFileText("battleAtlas.xml"), before);
}
