#include "picture/tile_image.h"

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "core/cp1252.h"

namespace kursolin {

namespace {

bool startsWith(std::string_view bytes, std::string_view magic) {
  return bytes.size() >= magic.size() && bytes.substr(0, magic.size()) == magic;
}

bool fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

bool sizeAllowed(long long width, long long height, std::string* error) {
  if (width <= 0 || height <= 0 || width > kMaxTileEdge || height > kMaxTileEdge) {
    return fail(
        error, "unmögliche Bildgröße "_cp + std::to_string(width) + " x " + std::to_string(height));
  }
  return true;
}

// libpng's simplified reader keeps its errors (it longjmps inside itself) and never prints.
bool decodePng(std::string_view bytes, TileImage& out, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
    return fail(error, "beschädigtes PNG-Bild: "_cp + image.message);
  }
  if (!sizeAllowed(image.width, image.height, error)) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGBA;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, out.rgba.data(), 0, nullptr)) {
    const std::string why = image.message;
    png_image_free(&image);
    return fail(error, "beschädigtes PNG-Bild: "_cp + why);
  }
  return true;
}

// libjpeg calls error_exit on a fatal error and must not return from it: the handler jumps back
// into decodeJpeg. Warnings (a cut-off stream, bad Huffman codes) would otherwise go to standard
// error and leave grey areas; they are kept and make the tile count as damaged.
struct JpegErrors {
  jpeg_error_mgr mgr;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void jpegFatal(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, errors->message);
  std::longjmp(errors->back, 1);
}

void jpegKeepMessage(j_common_ptr cinfo) {
  auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
  if (errors->message[0] == '\0') (*cinfo->err->format_message)(cinfo, errors->message);
}

// Everything that crosses the longjmp lives here, in memory, not in registers of decodeJpeg.
struct JpegState {
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  TileImage* out = nullptr;
  bool badSize = false;
};

bool readJpeg(std::string_view bytes, JpegState& st) {
  jpeg_decompress_struct& cinfo = st.cinfo;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxTileEdge ||
      cinfo.image_height > kMaxTileEdge) {
    st.badSize = true;
    return false;
  }
  cinfo.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&cinfo);
  TileImage& out = *st.out;
  out.width = static_cast<int>(cinfo.output_width);
  out.height = static_cast<int>(cinfo.output_height);
  out.rgba.assign(static_cast<std::size_t>(out.width) * out.height * 4, 0);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = &out.rgba[static_cast<std::size_t>(cinfo.output_scanline) * out.width * 4];
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

bool decodeJpeg(std::string_view bytes, TileImage& out, std::string* error) {
  JpegState st;
  st.out = &out;
  st.cinfo.err = jpeg_std_error(&st.errors.mgr);
  st.errors.mgr.error_exit = jpegFatal;
  st.errors.mgr.output_message = jpegKeepMessage;
  if (setjmp(st.errors.back)) {
    jpeg_destroy_decompress(&st.cinfo);
    return fail(error, "beschädigtes JPEG-Bild: "_cp + st.errors.message);
  }
  jpeg_create_decompress(&st.cinfo);
  const bool read = readJpeg(bytes, st);
  const bool warned = st.errors.mgr.num_warnings > 0;
  const long long width = st.cinfo.image_width, height = st.cinfo.image_height;
  jpeg_destroy_decompress(&st.cinfo);
  if (!read && st.badSize) return sizeAllowed(width, height, error);
  if (warned) return fail(error, "beschädigtes JPEG-Bild: "_cp + st.errors.message);
  return read;
}

}  // namespace

Rgba TileImage::at(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return kNoColour;
  const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

std::optional<TileImage> decodeTileImage(std::string_view bytes, std::string* error) {
  TileImage out;
  bool ok = false;
  if (startsWith(bytes, "\x89PNG\r\n\x1a\n")) {
    ok = decodePng(bytes, out, error);
  } else if (startsWith(bytes, "\xFF\xD8\xFF")) {
    ok = decodeJpeg(bytes, out, error);
  } else if (startsWith(bytes, "RIFF") && bytes.size() >= 12 && bytes.substr(8, 4) == "WEBP") {
    ok = fail(error, "WebP-Bild (nur PNG und JPEG werden gezeigt)");
  } else if (bytes.empty()) {
    ok = fail(error, "leere Kachel");
  } else {
    ok = fail(error, "kein PNG- oder JPEG-Bild");
  }
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace kursolin
