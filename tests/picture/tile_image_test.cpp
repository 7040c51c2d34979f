// Tiles decoded from PNG and JPEG bytes, and bytes that are no image: a reason, never a crash.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>

#include "core/cp1252.h"
#include "picture/tile_image.h"
#include "support/map_tiles.h"

namespace kursolin {
namespace {

using test::jpegBytes;
using test::pngBytes;
using test::twoToneTile;

constexpr Rgba kRed{200, 30, 40, 255};
constexpr Rgba kSeeThroughBlue{20, 60, 220, 128};

std::string bigEndian(std::uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}

std::string pngChunk(const std::string& type, const std::string& data) {
  const std::string body = type + data;
  const auto crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
  return bigEndian(static_cast<std::uint32_t>(data.size())) + body + bigEndian(crc);
}

// A PNG whose header claims a size no tile has; its pixels must never be allocated.
std::string hugePng() {
  const std::string ihdr = bigEndian(100000) + bigEndian(100000) + std::string("\x08\x06\0\0\0", 5);
  return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) +
         pngChunk("IDAT", std::string(10, '\0'));
}

// A JPEG whose frame header is patched to claim 60000 x 60000 pixels.
std::string hugeJpeg() {
  std::string bytes = jpegBytes(twoToneTile(kRed, kRed, 16));
  const std::size_t sof = bytes.find("\xFF\xC0");
  if (sof == std::string::npos) return {};
  for (std::size_t i : {sof + 5, sof + 7}) {
    bytes[i] = static_cast<char>(0xEA);
    bytes[i + 1] = 0x60;
  }
  return bytes;
}

bool near(Rgba a, Rgba b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

TEST(TileImage, PngAndJpegDecodeTheRestIsRefusedWithAReason) {
  const std::string png = pngBytes(twoToneTile(kRed, kSeeThroughBlue, 16));
  const std::string jpeg = jpegBytes(twoToneTile(kRed, {20, 60, 220, 255}, 16));
  struct Case {
    const char* what;
    std::string bytes;
    std::string error;  // empty: decodes
    int tolerance;      // of the colours (JPEG is lossy)
  } cases[] = {
      {"png", png, "", 0},
      {"jpeg", jpeg, "", 8},
      {"nothing", "", "leere Kachel", 0},
      {"text", "<html>Fehler 500</html>", "kein PNG- oder JPEG-Bild", 0},
      {"webp", std::string("RIFF\x10\0\0\0WEBPVP8 ", 16), "WebP-Bild", 0},
      {"png signature, then noise", png.substr(0, 8) + std::string(64, '\x5A'),
       "beschädigtes PNG-Bild"_cp, 0},
      {"png cut in half", png.substr(0, png.size() / 2), "beschädigtes PNG-Bild"_cp, 0},
      {"png of 100000 pixels square", hugePng(), "unmögliche Bildgröße 100000 x 100000"_cp, 0},
      {"jpeg start, then noise", std::string("\xFF\xD8\xFF", 3) + std::string(64, '\x11'),
       "beschädigtes JPEG-Bild"_cp, 0},
      {"jpeg cut in half", jpeg.substr(0, jpeg.size() / 2), "beschädigtes JPEG-Bild"_cp, 0},
      {"jpeg of 60000 pixels square", hugeJpeg(), "unmögliche Bildgröße 60000 x 60000"_cp, 0},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto image = decodeTileImage(c.bytes, &error);
    if (!c.error.empty()) {
      EXPECT_FALSE(image) << c.what;
      EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
      continue;
    }
    ASSERT_TRUE(image) << c.what << ": " << error;
    EXPECT_EQ(image->width, 16) << c.what;
    EXPECT_EQ(image->height, 16) << c.what;
    EXPECT_TRUE(near(image->at(3, 2), kRed, c.tolerance)) << c.what << " top";
    const Rgba bottom = c.tolerance ? Rgba{20, 60, 220, 255} : kSeeThroughBlue;
    EXPECT_TRUE(near(image->at(12, 13), bottom, c.tolerance)) << c.what << " bottom";
    EXPECT_EQ(image->at(16, 0), kNoColour) << c.what << " outside";
  }
}

}  // namespace
}  // namespace kursolin
