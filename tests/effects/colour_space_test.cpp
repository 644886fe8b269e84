#include "effects/colour_space.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

using namespace effects;

namespace {

// Pixels and triples written as in the text: pixels (B, G, R), triples in their own order.
Bgr P(int b, int g, int r) {
    return Bgr{static_cast<uint8_t>(b), static_cast<uint8_t>(g), static_cast<uint8_t>(r)};
}
std::tuple<int, int, int> T(const Bgr& p) {
    return {p.b, p.g, p.r};
}
std::tuple<int, int, int> T(const Yuv& t) {
    return {t.y, t.u, t.v};
}
std::tuple<int, int, int> T(const Hsv& t) {
    return {t.h, t.s, t.v};
}

Yuv ToYuv(const Bgr& p) {
    Yuv yuv{};
    RgbToYuv(p, yuv, 1);
    return yuv;
}
Hsv ToHsv(const Bgr& p) {
    Hsv hsv{};
    RgbToHsv(p, hsv);
    return hsv;
}
Bgr FromHsv(int h, int s, int v) {
    Bgr out{};
    HsvToRgb(Hsv{static_cast<uint8_t>(h), static_cast<uint8_t>(s), static_cast<uint8_t>(v)}, out);
    return out;
}
template <void (*Modulate)(const Bgr&, Bgr&, const int32_t (&)[3])>
Bgr Mod(const Bgr& p, int32_t a, int32_t b, int32_t c) {
    const int32_t level[3] = {a, b, c};
    Bgr out{};
    Modulate(p, out, level);
    return out;
}

const Bgr kWhite = P(255, 255, 255), kBlack = P(0, 0, 0), kGrey = P(128, 128, 128);
const Bgr kRed = P(0, 0, 255), kGreen = P(0, 255, 0), kBlue = P(255, 0, 0);
const Bgr kYellow = P(0, 255, 255), kCyan = P(255, 255, 0), kMagenta = P(255, 0, 255);
using Tri = std::tuple<int, int, int>;

TEST(Yuv, ConversionsShiftEachProductOnItsOwnAndClamp) {
    EXPECT_EQ(T(ToYuv(kWhite)), Tri(254, -2, -1));
    EXPECT_EQ(T(ToYuv(kBlack)), Tri(0, 0, 0));
    EXPECT_EQ(T(ToYuv(kGrey)), Tri(127, -1, -1));
    EXPECT_EQ(T(ToYuv(kRed)), Tri(76, -44, 127));
    EXPECT_EQ(T(ToYuv(kYellow)), Tri(225, -128, 20)) << "U of -129 clamps";
    EXPECT_EQ(T(ToYuv(kCyan)), Tri(178, 42, -128));

    Yuv lumaOnly{0, 55, -66};
    RgbToYuv(kWhite, lumaOnly, 0);
    EXPECT_EQ(T(lumaOnly), Tri(254, 55, -66)) << "U and V left as they were";

    Bgr sepia{};
    YuvToRgb(Yuv{254, -11, 7}, sepia);
    EXPECT_EQ(T(sepia), Tri(234, 253, 255));
    YuvToRgb(Yuv{0, -11, 7}, sepia);
    EXPECT_EQ(T(sepia), Tri(0, 0, 9));
}

TEST(Yuv, ModulationAtZeroShiftsMostColours) {
    EXPECT_EQ(T(Mod<ModulateYuv>(kBlack, 0, 0, 0)), T(kBlack));
    EXPECT_EQ(T(Mod<ModulateYuv>(kGreen, 0, 0, 0)), T(kGreen));
    EXPECT_EQ(T(Mod<ModulateYuv>(kWhite, 0, 0, 0)), Tri(250, 255, 252));
    EXPECT_EQ(T(Mod<ModulateYuv>(kGrey, 0, 0, 0)), Tri(125, 129, 125));
    EXPECT_EQ(T(Mod<ModulateYuv>(kBlack, 255, 0, 0)), T(kWhite));
    EXPECT_EQ(T(Mod<ModulateYuv>(kGrey, 0, 255, 0)), Tri(255, 85, 125));
}

TEST(Hsv, ToByteTruncatesAndClamps) {
    EXPECT_EQ(ToByte(254.9999), 254);
    EXPECT_EQ(ToByte(255.5), 255);
    EXPECT_EQ(ToByte(-0.5), 0);
    EXPECT_EQ(ToByte(0.9999), 0);
    EXPECT_EQ(ToByte(1e300), 255);
}

TEST(Hsv, RgbToHsvPutsTheSectorsOnA256StepCircle) {
    EXPECT_EQ(T(ToHsv(kRed)), Tri(0, 255, 255));
    EXPECT_EQ(T(ToHsv(kGreen)), Tri(85, 255, 255));
    EXPECT_EQ(T(ToHsv(kBlue)), Tri(170, 255, 255));
    EXPECT_EQ(T(ToHsv(kYellow)), Tri(42, 255, 255));
    EXPECT_EQ(T(ToHsv(kCyan)), Tri(127, 255, 255));
    EXPECT_EQ(T(ToHsv(kMagenta)), Tri(213, 255, 255));
    EXPECT_EQ(T(ToHsv(P(50, 100, 200))), Tri(14, 191, 200));
    for (int g = 0; g < 256; ++g) {
        ASSERT_EQ(T(ToHsv(P(g, g, g))), Tri(0, 0, g));
    }
}

TEST(Hsv, HsvToRgbRampsAtFullSaturation) {
    const int hues[] = {0, 42, 43, 85, 86, 127, 128, 170, 171, 213, 214, 255};
    const Tri expected[] = {{0, 0, 255}, {0, 252, 255}, {0, 255, 254}, {0, 255, 2},
                            {4, 255, 0}, {250, 255, 0}, {255, 255, 0}, {255, 4, 0},
                            {255, 0, 2}, {255, 0, 254}, {252, 0, 255}, {6, 0, 255}};
    for (size_t i = 0; i < std::size(hues); ++i) {
        EXPECT_EQ(T(FromHsv(hues[i], 255, 255)), expected[i]) << "H " << hues[i];
    }
    for (int h = 0; h < 256; ++h) {
        for (int v = 0; v < 256; v += 17) {
            ASSERT_EQ(T(FromHsv(h, 0, v)), Tri(v, v, v)) << "no saturation: the grey of V";
        }
    }
}

TEST(Hsv, ModulationRotatesHueAndClampsSaturationAndValue) {
    EXPECT_EQ(T(Mod<ModulateHsv>(kRed, 0, 0, 0)), T(kRed));
    EXPECT_EQ(T(Mod<ModulateHsv>(kGreen, 0, 0, 0)), Tri(0, 255, 2));
    EXPECT_EQ(T(Mod<ModulateHsv>(kBlue, 0, 0, 0)), Tri(255, 4, 0));
    EXPECT_EQ(T(Mod<ModulateHsv>(kRed, 128, 0, 0)), Tri(255, 255, 0));
    EXPECT_EQ(T(Mod<ModulateHsv>(kRed, -1, 0, 0)), Tri(6, 0, 255));
    EXPECT_EQ(T(Mod<ModulateHsv>(P(50, 100, 200), 0, -255, 0)), Tri(200, 200, 200));
}

// Randomised: what the levels at 0 leave alone, and what full levels force.
TEST(Modulations, ZeroAndFullLevelsOverRandomColours) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int i = 0; i < 20000; ++i) {
        const Bgr p = P(byte(rng), byte(rng), byte(rng));
        const int g = byte(rng);
        ASSERT_EQ(T(Mod<ModulateRgb>(p, 0, 0, 0)), T(p));
        ASSERT_EQ(T(Mod<ModulateRgb>(p, 255, 255, 255)), T(kWhite));
        ASSERT_EQ(T(Mod<ModulateRgb>(p, -255, -255, -255)), T(kBlack));
        ASSERT_EQ(T(Mod<ModulateHsv>(P(g, g, g), 0, 0, 0)), T(P(g, g, g)));
        ASSERT_EQ(T(Mod<ModulateHsv>(p, byte(rng), -255, 0)),
                  Tri(ToHsv(p).v, ToHsv(p).v, ToHsv(p).v));
        ASSERT_EQ(T(Mod<ModulateYuv>(p, -255, 0, 0)),
                  T(Mod<ModulateYuv>(kBlack, 0, ToYuv(p).u, ToYuv(p).v)))
            << "Y at the floor leaves only the chroma";
    }
}

}  // namespace
