#include "support/map_tiles.h"

#include <jpeglib.h>
#include <png.h>
#include <sqlite3.h>

#include <cstring>
#include <stdexcept>
#include <vector>

namespace kursolin::test {

TileImage twoToneTile(Rgba top, Rgba bottom, int size) {
  TileImage image;
  image.width = image.height = size;
  image.rgba.resize(static_cast<std::size_t>(size) * size * 4);
  for (int y = 0; y < size; ++y) {
    const Rgba c = y < size / 2 ? top : bottom;
    for (int x = 0; x < size; ++x) {
      std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
      p[0] = c.r;
      p[1] = c.g;
      p[2] = c.b;
      p[3] = c.a;
    }
  }
  return image;
}

std::string pngBytes(const TileImage& image) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.rgba.data(), 0, nullptr)) {
    throw std::runtime_error(png.message);
  }
  std::string bytes(size, '\0');
  if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.rgba.data(), 0, nullptr)) {
    throw std::runtime_error(png.message);
  }
  bytes.resize(size);
  return bytes;
}

std::string jpegBytes(const TileImage& image, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr err;
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &out, &size);
  cinfo.image_width = static_cast<JDIMENSION>(image.width);
  cinfo.image_height = static_cast<JDIMENSION>(image.height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_RGBA;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> row;
  while (cinfo.next_scanline < cinfo.image_height) {
    row.assign(
        image.rgba.begin() + static_cast<std::ptrdiff_t>(cinfo.next_scanline) * image.width * 4,
        image.rgba.begin() +
            static_cast<std::ptrdiff_t>(cinfo.next_scanline + 1) * image.width * 4);
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&cinfo, &p, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string bytes(reinterpret_cast<const char*>(out), size);
  std::free(out);
  return bytes;
}

MbTilesFile::MbTilesFile(const std::string& path, bool withTables) {
  if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("sqlite3_open");
  if (withTables) {
    exec("CREATE TABLE metadata (name TEXT, value TEXT)");
    exec(
        "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, "
        "tile_data BLOB)");
    exec("CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)");
  }
}

MbTilesFile::~MbTilesFile() {
  sqlite3_close(db_);
}

void MbTilesFile::exec(const std::string& sql) {
  char* msg = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &msg) != SQLITE_OK) {
    const std::string why = msg ? msg : "?";
    sqlite3_free(msg);
    throw std::runtime_error(sql + ": " + why);
  }
}

void MbTilesFile::metadata(const std::string& name, const std::string& value) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db_, "INSERT INTO metadata VALUES (?1, ?2)", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  sqlite3_bind_text(st, 2, value.c_str(), -1, SQLITE_TRANSIENT);
  const int rc = sqlite3_step(st);
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) throw std::runtime_error("metadata insert");
}

void MbTilesFile::tile(int z, int x, int y, const std::string& bytes) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db_, "INSERT INTO tiles VALUES (?1, ?2, ?3, ?4)", -1, &st, nullptr);
  sqlite3_bind_int(st, 1, z);
  sqlite3_bind_int(st, 2, x);
  sqlite3_bind_int64(st, 3, (1LL << z) - 1 - y);
  sqlite3_bind_blob(st, 4, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
  const int rc = sqlite3_step(st);
  sqlite3_finalize(st);
  if (rc != SQLITE_DONE) throw std::runtime_error("tile insert");
}

}  // namespace kursolin::test
