#include "effects/transform_frame.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "effects/colour_space.h"
#include "platform/dib.h"
#include "state/app_state.h"

using effects::Bgr;

namespace {

// A frame laid out as the blocks hold it: header, then rows padded to 4 bytes.
struct Frame {
    Frame(int w, int h, int nBits = 24) : width(w), height(h) {
        header = dib::MakeHeader24(w, h);
        header.biBitCount = static_cast<uint16_t>(nBits);
        const size_t nRow = (static_cast<size_t>(w) * nBits / 8 + 3) & ~size_t{3};
        pixels.assign(nRow * static_cast<size_t>(h) + 8, 0);
        out.assign(dib::RowBytes24(w) * static_cast<size_t>(h) + 8, 0xCD);
    }
    uint8_t* At(int x, int y) { return pixels.data() + dib::RowBytes24(width) * y + x * 3; }
    uint8_t* OutAt(int x, int y) { return out.data() + dib::RowBytes24(width) * y + x * 3; }
    void Fill(uint32_t nSeed) {
        std::mt19937 rng(nSeed);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width * 3; ++x) {
                At(0, y)[x] = static_cast<uint8_t>(rng());
            }
        }
    }
    void Run() { effects::TransformFrame(out.data(), pixels.data(), &header, width, height); }
    bool OutEqualsSource() {
        for (int y = 0; y < height; ++y) {
            if (std::memcmp(At(0, y), OutAt(0, y), static_cast<size_t>(width) * 3) != 0) {
                return false;
            }
        }
        return true;
    }

    int width;
    int height;
    dib::BitmapInfoHeader header;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> out;
};

class TransformFrameTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ResetAppState(); }
};

TEST_F(TransformFrameTest, MonochromeAndSepiaOfWhiteAndBlack) {
    Frame f(2, 1);
    std::memset(f.At(0, 0), 255, 3);  // white, then black
    AppState.nColorMode = 1;
    f.Run();
    EXPECT_EQ(std::vector<uint8_t>(f.out.begin(), f.out.begin() + 6),
              (std::vector<uint8_t>{254, 254, 254, 0, 0, 0}));
    AppState.nColorMode = 2;
    f.Run();
    EXPECT_EQ(std::vector<uint8_t>(f.out.begin(), f.out.begin() + 6),
              (std::vector<uint8_t>{234, 253, 255, 0, 0, 9}));
}

// Identities the modes promise, on odd widths whose rows carry padding the transform must
// neither read as pixels nor write.
TEST_F(TransformFrameTest, IdentitiesOnPaddedRows) {
    for (int w : {1, 5, 7, 64}) {
        Frame f(w, 5);
        f.Fill(static_cast<uint32_t>(w));
        AppState.nColorMode = 0;
        f.Run();
        EXPECT_TRUE(f.OutEqualsSource()) << "standard, width " << w;
        if (dib::RowBytes24(w) > static_cast<size_t>(w) * 3) {
            EXPECT_EQ(*(f.OutAt(0, 0) + w * 3), 0xCD) << "padding untouched";
        }
        AppState.nColorMode = 7;
        AppState.nPaintLevels = 8;
        f.Run();
        EXPECT_TRUE(f.OutEqualsSource()) << "paint 8";
        AppState.nColorMode = 6;
        AppState.nMosaicSize = 1;
        f.Run();
        EXPECT_TRUE(f.OutEqualsSource()) << "mosaic 1";
        AppState.nColorMode = 3;
        f.Run();
        EXPECT_TRUE(f.OutEqualsSource()) << "RGB modulation at 0";

        AppState.nColorMode = 9;
        f.Run();
        Frame g(w, 5);
        std::copy(f.out.begin(), f.out.begin() + dib::RowBytes24(w) * 5, g.pixels.begin());
        g.Run();
        for (int y = 0; y < 5; ++y) {
            EXPECT_EQ(std::memcmp(g.OutAt(0, y), f.At(0, y), static_cast<size_t>(w) * 3), 0)
                << "negative twice, width " << w;
        }
    }
}

TEST_F(TransformFrameTest, PaintMasksKeepTheTopBits) {
    const uint8_t masks[] = {0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(effects::PaintMask(n), masks[n - 1]);
    }
    EXPECT_EQ(effects::PaintMask(0), 0);
    EXPECT_EQ(effects::PaintMask(-3), 0);
    EXPECT_EQ(effects::PaintMask(9), 0xFF);
    Frame f(3, 1);
    f.Fill(7);
    AppState.nColorMode = 7;
    AppState.nPaintLevels = 1;
    f.Run();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(f.out[i], f.pixels[i] & 0x80);
    }
}

TEST_F(TransformFrameTest, MosaicSamplesTheBlockCentreInsideTheFrame) {
    Frame f(8, 8);
    f.Fill(3);
    AppState.nColorMode = 6;
    AppState.nMosaicSize = 4;
    f.Run();
    // The block with origin row 4, column 0 takes the pixel at row 6, column 2.
    for (int y = 4; y < 8; ++y) {
        for (int x = 0; x < 4; ++x) {
            ASSERT_EQ(std::memcmp(f.OutAt(x, y), f.At(2, 6), 3), 0);
        }
    }
    // Sizes that do not divide the frame: edge blocks sample the nearest pixel inside.
    for (auto [w, h, n] : {std::tuple{10, 7, 4}, {5, 5, 8}, {13, 3, 32}, {9, 9, 3}}) {
        Frame g(w, h);
        g.Fill(static_cast<uint32_t>(w * h));
        AppState.nMosaicSize = n;
        g.Run();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const int ys = std::min(y / n * n + n / 2, h - 1);
                const int xs = std::min(x / n * n + n / 2, w - 1);
                ASSERT_EQ(std::memcmp(g.OutAt(x, y), g.At(xs, ys), 3), 0)
                    << w << "x" << h << " n " << n << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(TransformFrameTest, StrobeCountsEveryCallWhateverTheFormat) {
    Frame f(4, 2);
    f.Fill(9);
    AppState.nColorMode = 8;
    AppState.nStrobeInterval = 5;
    std::string shown;
    for (int i = 0; i < 11; ++i) {
        f.Run();
        shown += f.OutEqualsSource() ? 'F' : (f.out[0] == 0 && f.out[23] == 0 ? '.' : '?');
    }
    EXPECT_EQ(shown, "F....F....F");
    EXPECT_EQ(AppState.nStrobeCount, 11);

    // Other formats show plain pictures in strobe mode but still count; so do frames with
    // nothing to walk and unknown formats.
    Frame g(4, 2, 32);
    g.Run();
    EXPECT_NE(g.out[0], 0xCD);
    Frame empty(0, 5);
    empty.Run();
    Frame odd(4, 2, 4);
    odd.Run();
    EXPECT_EQ(odd.out[0], 0xCD) << "4-bit frames write nothing";
    EXPECT_EQ(AppState.nStrobeCount, 14);
}

TEST_F(TransformFrameTest, OtherDepthsBecomePlain24Bit) {
    AppState.nColorMode = 9;  // ignored for these formats
    Frame w16(3, 1, 16);
    const uint16_t words[3] = {0x7FFF, 0x8000, (1u << 10) | (31u << 5) | 16u};
    std::memcpy(w16.pixels.data(), words, sizeof(words));
    w16.Run();
    EXPECT_EQ(std::vector<uint8_t>(w16.out.begin(), w16.out.begin() + 9),
              (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 132, 255, 8}));

    Frame w32(2, 1, 32);
    const uint8_t px32[8] = {1, 2, 3, 99, 4, 5, 6, 99};
    std::memcpy(w32.pixels.data(), px32, 8);
    w32.Run();
    EXPECT_EQ(std::vector<uint8_t>(w32.out.begin(), w32.out.begin() + 6),
              (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));

    // 8-bit: the colour table follows the 40-byte header.
    struct {
        dib::BitmapInfoHeader header;
        uint8_t table[256 * 4];
    } withTable{};
    withTable.header = dib::MakeHeader24(3, 1);
    withTable.header.biBitCount = 8;
    withTable.table[7 * 4 + 0] = 10;
    withTable.table[7 * 4 + 1] = 20;
    withTable.table[7 * 4 + 2] = 30;
    const uint8_t indices[4] = {7, 0, 7, 0};
    std::vector<uint8_t> out(12, 0xCD);
    effects::TransformFrame(out.data(), indices, &withTable.header, 3, 1);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 9),
              (std::vector<uint8_t>{10, 20, 30, 0, 0, 0, 10, 20, 30}));
}

TEST_F(TransformFrameTest, UnknownModeWritesNothing) {
    Frame f(3, 3);
    f.Fill(1);
    for (int nMode : {-1, 10, 12345}) {
        AppState.nColorMode = nMode;
        f.Run();
        EXPECT_EQ(f.out[0], 0xCD);
    }
    EXPECT_EQ(AppState.nStrobeCount, 3);
}

// The table-driven modes against the per-pixel operations, over every 24-bit colour.
TEST_F(TransformFrameTest, FastModesMatchThePerPixelOperationsForEveryColour) {
    Frame f(4096, 4096);
    for (int i = 0; i < (1 << 24); ++i) {
        uint8_t* p = f.pixels.data() + static_cast<size_t>(i) * 3;
        p[0] = static_cast<uint8_t>(i);
        p[1] = static_cast<uint8_t>(i >> 8);
        p[2] = static_cast<uint8_t>(i >> 16);
    }
    struct Case {
        int nMode;
        int32_t levels[3];
    };
    const Case cases[] = {{1, {}},
                          {2, {}},
                          {4, {0, 0, 0}},
                          {4, {-37, 101, -128}},
                          {5, {0, 0, 0}},
                          {5, {77, -30, 45}},
                          {5, {-200, 255, -255}}};
    for (const Case& c : cases) {
        AppState.nColorMode = c.nMode;
        std::memcpy(AppState.nYuvLevel, c.levels, sizeof(c.levels));
        std::memcpy(AppState.nHsvLevel, c.levels, sizeof(c.levels));
        f.Run();
        for (int i = 0; i < (1 << 24); ++i) {
            Bgr src;
            std::memcpy(&src, f.pixels.data() + static_cast<size_t>(i) * 3, 3);
            Bgr expected{};
            effects::Yuv yuv{};
            switch (c.nMode) {
                case 1:
                    effects::RgbToYuv(src, yuv, 0);
                    expected = Bgr{yuv.y, yuv.y, yuv.y};
                    break;
                case 2:
                    effects::RgbToYuv(src, yuv, 0);
                    effects::YuvToRgb(effects::Yuv{yuv.y, -11, 7}, expected);
                    break;
                case 4:
                    effects::ModulateYuv(src, expected, c.levels);
                    break;
                default:
                    effects::ModulateHsv(src, expected, c.levels);
                    break;
            }
            ASSERT_EQ(std::memcmp(&expected, f.out.data() + static_cast<size_t>(i) * 3, 3), 0)
                << "mode " << c.nMode << " colour " << std::hex << i;
        }
    }
}

// A frame made in bands (as a conversion makes it on several threads) is the frame made
// whole, in every mode, with bands that cut mosaic blocks and an odd width; the screen's
// TransformFrame is the whole frame with AppState's settings.
TEST(TransformFrame24, BandsGiveTheWholeFrameInEveryMode) {
    constexpr int32_t w = 37;
    constexpr int32_t h = 29;
    std::vector<uint8_t> src(dib::RowBytes24(w) * h);
    std::mt19937 random(7);
    for (uint8_t& b : src) {
        b = static_cast<uint8_t>(random());
    }
    for (int32_t nMode = 0; nMode <= 9; ++nMode) {
        effects::EffectSettings e;
        e.nColorMode = nMode;
        e.nRgbLevel[0] = 30;
        e.nYuvLevel[1] = -40;
        e.nHsvLevel[0] = 100;
        e.nMosaicSize = 6;
        e.nStrobeCount = 10;  // a multiple of the interval: shown
        std::vector<uint8_t> whole(src.size(), 0);
        std::vector<uint8_t> banded(src.size(), 0);
        effects::TransformFrame24(whole.data(), src.data(), w, h, e);
        for (const auto& [y0, y1] : {std::pair{0, 7}, std::pair{7, 20}, std::pair{20, 29}}) {
            effects::TransformFrame24Rows(banded.data(), src.data(), w, h, y0, y1, e);
        }
        EXPECT_EQ(banded, whole) << "mode " << nMode;
    }
}

}  // namespace
