// The software raster of the batch converter's picture and its PNG encoding.
#include <gtest/gtest.h>

#include "picture/raster.h"

namespace kursolin {
namespace {

constexpr Rgba kPaper{250, 250, 240, 255};
constexpr Rgba kInk{10, 20, 200, 255};

TEST(Raster, ShapesLandOnTheirPixels) {
  RasterCanvas c(40, 30, kPaper);
  c.fillRect(2, 3, 4, 2, kInk);
  EXPECT_EQ(c.pixel(2, 3), kInk);
  EXPECT_EQ(c.pixel(5, 4), kInk);
  EXPECT_EQ(c.pixel(6, 4), kPaper) << "the right edge is outside";
  EXPECT_EQ(c.pixel(5, 5), kPaper);

  c.disc({20.5, 15.5}, 5, kInk, {255, 255, 255, 255});
  EXPECT_EQ(c.pixel(20, 15), kInk);
  EXPECT_EQ(c.pixel(24, 15), (Rgba{255, 255, 255, 255})) << "the outline";
  EXPECT_EQ(c.pixel(27, 15), kPaper);

  c.polyline({{0, 28.5}, {39, 28.5}}, 1, kInk);
  for (int x : {0, 13, 39}) EXPECT_EQ(c.pixel(x, 28), kInk) << x;
  EXPECT_EQ(c.pixel(10, 27), kPaper);

  // Half opaque over the paper.
  c.fillRect(0, 0, 1, 1, {0, 0, 0, 128});
  EXPECT_EQ(c.pixel(0, 0), (Rgba{125, 125, 120, 255}));
  // Far outside nothing happens, and nothing breaks.
  c.polyline({{-1e12, 5}, {1e12, 5}}, 3, kInk);
  c.disc({-1e9, 1e9}, 4, kInk, kInk);
}

TEST(Raster, TheFontWritesWhatThePictureNeeds) {
  RasterCanvas c(200, 12, kPaper);
  const std::string text = "-12,5\xB0 km Start Ziel Stopp";
  c.text({1, 2}, text, kInk);
  EXPECT_EQ(c.textWidth(text), static_cast<int>(text.size()) * 6 - 1);
  EXPECT_EQ(c.textHeight(), 7);
  // Every character but the blanks leaves ink in its own cell.
  for (std::size_t i = 0; i < text.size(); ++i) {
    int ink = 0;
    for (int y = 2; y < 9; ++y) {
      for (int x = 1 + static_cast<int>(i) * 6; x < 6 + static_cast<int>(i) * 6; ++x) {
        ink += c.pixel(x, y) == kInk;
      }
    }
    if (text[i] == ' ') {
      EXPECT_EQ(ink, 0) << i;
    } else {
      EXPECT_GT(ink, 2) << "character " << i;
    }
  }
  EXPECT_EQ(c.pixel(1, 10), kPaper) << "nothing below the line";
}

TEST(Raster, PngRoundTrip) {
  RasterCanvas c(33, 17, kPaper);
  c.fillRect(30, 14, 3, 3, kInk);
  std::string why;
  const auto png = encodePng(c, &why);
  ASSERT_TRUE(png) << why;
  ASSERT_GT(png->size(), 8u);
  EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  const auto back = decodePng(*png);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width, 33);
  EXPECT_EQ(back->height, 17);
  EXPECT_EQ(back->at(0, 0), kPaper);
  EXPECT_EQ(back->at(32, 16), kInk);
  EXPECT_FALSE(decodePng("not a picture"));
  EXPECT_FALSE(decodePng(png->substr(0, png->size() / 2))) << "a cut file is no picture";
}

// What blend() makes of a colour of the alpha over the paper.
Rgba over(Rgba c, int alpha, Rgba paper) {
  const auto mix = [&](int top, int below) {
    return static_cast<std::uint8_t>((top * alpha + below * (255 - alpha) + 127) / 255);
  };
  return {mix(c.r, paper.r), mix(c.g, paper.g), mix(c.b, paper.b), 255};
}

TEST(Raster, ImagesAreScaledIntoTheirRectangle) {
  constexpr Rgba kRed{220, 0, 0, 255}, kGreen{0, 200, 0, 255}, kBlue{0, 0, 210, 255};
  // Two by two: red, green / blue, a transparent white.
  const std::uint8_t px[] = {220, 0, 0, 255, 0, 200, 0, 255, 0, 0, 210, 255, 255, 255, 255, 0};
  const RgbaPixels image{px, 2, 2};
  RasterCanvas c(30, 16, kPaper);
  c.image(image, {0, 0, 2, 2}, {4, 4, 8, 8}, 1);
  struct Case {
    int x, y;
    Rgba colour;
  } cases[] = {
      {4, 4, kRed},
      {11, 4, kGreen},
      {4, 11, kBlue},
      {11, 11, kPaper},  // the transparent texel leaves the paper
      {3, 4, kPaper},
      {12, 4, kPaper},
      {4, 3, kPaper},
      {4, 12, kPaper},
      // Between green and the transparent texel: green, faded, not greyed by the white.
      {11, 8, over(kGreen, 96, kPaper)},
  };
  for (const Case& k : cases) EXPECT_EQ(c.pixel(k.x, k.y), k.colour) << k.x << "," << k.y;

  // A part of the image (the green texel) at half opacity.
  c.image(image, {1, 0, 1, 1}, {20, 2, 5, 5}, 0.5);
  EXPECT_EQ(c.pixel(20, 2), over(kGreen, 128, kPaper));
  EXPECT_EQ(c.pixel(24, 6), over(kGreen, 128, kPaper));
  EXPECT_EQ(c.pixel(25, 6), kPaper);

  // Partly or wholly outside, empty or without pixels: drawn where it lands, nothing breaks.
  c.image(image, {0, 0, 2, 2}, {-1, -1, 8, 8}, 1);
  EXPECT_EQ(c.pixel(0, 0), kRed);
  EXPECT_EQ(c.pixel(0, 6), kBlue);
  c.image(image, {0, 0, 2, 2}, {1e12, -1e12, 1e13, 1e13}, 1);
  c.image(image, {0, 0, 0, 2}, {0, 0, 30, 16}, 1);
  c.image(image, {0, 0, 2, 2}, {0, 0, 30, 16}, 0);
  c.image({nullptr, 2, 2}, {0, 0, 2, 2}, {0, 0, 30, 16}, 1);
  EXPECT_EQ(c.pixel(15, 12), kPaper);
}

}  // namespace
}  // namespace kursolin
