#include "picture/mbtiles.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <utility>

#include "core/cp1252.h"

namespace kursolin {

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string columnText(sqlite3_stmt* st, int column) {
  const unsigned char* text = sqlite3_column_text(st, column);
  return text ? std::string(reinterpret_cast<const char*>(text),
                            static_cast<std::size_t>(sqlite3_column_bytes(st, column)))
              : std::string();
}

std::optional<int> wholeNumber(const std::string& text) {
  std::string t = text;
  t.erase(0, t.find_first_not_of(" \t"));
  t.erase(t.find_last_not_of(" \t") + 1);
  if (t.empty() || t.size() > 3 || !std::all_of(t.begin(), t.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
      }))
    return std::nullopt;
  return std::stoi(t);
}

// SQLite's reasons in the words of the user.
std::string reasonOf(sqlite3* db, int code) {
  const std::string msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  switch (code & 0xFF) {
    case SQLITE_NOTADB:
      return "sie ist keine MBTiles-Kartendatei (keine SQLite-Datenbank)";
    case SQLITE_CORRUPT:
      return "sie ist beschädigt ("_cp + msg + ")";
    case SQLITE_CANTOPEN:
      return "sie lässt sich nicht öffnen ("_cp + msg + ")";
    case SQLITE_IOERR:
      return "Lesefehler ("_cp + msg + ")";
    case SQLITE_NOMEM:
      return "zu wenig Speicher";
    default:
      break;
  }
  if (msg.find("no such table") != std::string::npos) {
    return "sie enthält keine Kartenkacheln (Tabelle \"tiles\" fehlt)"_cp;
  }
  if (msg.find("no such column") != std::string::npos) {
    return "ihre Tabelle \"tiles\" hat nicht den Aufbau einer MBTiles-Datei ("_cp + msg + ")";
  }
  return msg;
}

// A named or numbered HTML character reference at s[i] == '&'; the characters a map's credits
// use, the rest left as they stand.
bool decodeEntity(std::string_view s, std::size_t& i, std::string& out) {
  const std::size_t end = s.find(';', i);
  if (end == std::string_view::npos || end - i > 10) return false;
  const std::string name(s.substr(i + 1, end - i - 1));
  char32_t cp = 0;
  if (name == "copy") {
    cp = 0xA9;
  } else if (name == "amp") {
    cp = '&';
  } else if (name == "lt") {
    cp = '<';
  } else if (name == "gt") {
    cp = '>';
  } else if (name == "quot") {
    cp = '"';
  } else if (name == "apos") {
    cp = '\'';
  } else if (name == "nbsp") {
    cp = ' ';
  } else if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 6) return false;
    for (char c : digits) {
      if (!(hex ? std::isxdigit(static_cast<unsigned char>(c))
                : std::isdigit(static_cast<unsigned char>(c))))
        return false;
    }
    cp = static_cast<char32_t>(std::stoul(digits, nullptr, hex ? 16 : 10));
  } else {
    return false;
  }
  out += unicodeToCp1252(cp);
  i = end;
  return true;
}

}  // namespace

std::string plainAttribution(std::string_view html) {
  // Tags go first on the UTF-8 text, then the rest becomes cp1252 with entities decoded.
  std::string text;
  bool inTag = false;
  for (char c : html) {
    if (inTag) {
      if (c == '>') inTag = false;
    } else if (c == '<') {
      inTag = true;
    } else {
      text += c;
    }
  }
  const std::string cp = utf8ToCp1252(text);
  std::string decoded;
  for (std::size_t i = 0; i < cp.size(); ++i) {
    if (cp[i] == '&' && decodeEntity(cp, i, decoded)) continue;
    decoded += cp[i];
  }
  std::string out;
  for (char c : decoded) {
    const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (space) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

MbTiles::MbTiles(std::string path, sqlite3* db, std::size_t cacheTiles)
    : path_(std::move(path)), db_(db), recent_(cacheTiles) {}

MbTiles::~MbTiles() {
  sqlite3_finalize(query_);
  sqlite3_close(db_);
}

std::unique_ptr<MbTiles> MbTiles::open(const std::string& path, std::string* error,
                                       std::size_t cacheTiles) {
  const auto refused = [&](const std::string& why) {
    if (error) *error = "Die Kartendatei " + path + " kann nicht gelesen werden: " + why;
    return nullptr;
  };
  const std::string native = nativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) return refused("die Datei gibt es nicht");
  if (S_ISDIR(st.st_mode)) return refused("sie ist ein Ordner");
  // SQLite would take an empty file for an empty database.
  if (st.st_size == 0) return refused("die Datei ist leer");
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(native.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = reasonOf(db, rc);
    sqlite3_close(db);
    return refused(why);
  }
  sqlite3_extended_result_codes(db, 1);
  std::unique_ptr<MbTiles> map(new MbTiles(path, db, cacheTiles));
  std::string why;
  if (!map->prepare(&why)) return refused(why);
  return map;
}

bool MbTiles::prepare(std::string* why) {
  const auto failed = [&](int code) {
    *why = reasonOf(db_, code);
    return false;
  };
  int rc = sqlite3_prepare_v2(db_,
                              "SELECT tile_data FROM tiles WHERE zoom_level = ?1 AND "
                              "tile_column = ?2 AND tile_row = ?3",
                              -1, &query_, nullptr);
  if (rc != SQLITE_OK) return failed(rc);

  // The metadata table is optional in practice; what it lacks is worked out from the tiles.
  std::optional<int> minZoom, maxZoom;
  std::string format;
  sqlite3_stmt* meta = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT name, value FROM metadata", -1, &meta, nullptr) ==
      SQLITE_OK) {
    while ((rc = sqlite3_step(meta)) == SQLITE_ROW) {
      const std::string key = lower(columnText(meta, 0));
      const std::string value = columnText(meta, 1);
      if (key == "name") {
        name_ = utf8ToCp1252(value);
      } else if (key == "attribution") {
        attribution_ = plainAttribution(value);
      } else if (key == "format") {
        format = lower(value);
      } else if (key == "minzoom") {
        minZoom = wholeNumber(value);
      } else if (key == "maxzoom") {
        maxZoom = wholeNumber(value);
      }
    }
    sqlite3_finalize(meta);
    if (rc != SQLITE_DONE) return failed(rc);
  } else {
    sqlite3_finalize(meta);
  }
  if (format == "pbf" || format == "mvt") {
    *why = "sie enthält Vektorkarten (pbf); Kursolin zeigt nur Kartenbilder (PNG, JPEG)"_cp;
    return false;
  }
  if (format == "webp") {
    *why = "ihre Kacheln sind WebP-Bilder; Kursolin zeigt nur PNG und JPEG";
    return false;
  }

  sqlite3_stmt* probe = nullptr;
  const bool needRange = !minZoom || !maxZoom;
  rc = sqlite3_prepare_v2(db_,
                          needRange ? "SELECT MIN(zoom_level), MAX(zoom_level) FROM tiles"
                                    : "SELECT zoom_level, zoom_level FROM tiles LIMIT 1",
                          -1, &probe, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(probe);
    return failed(rc);
  }
  rc = sqlite3_step(probe);
  const bool empty = rc != SQLITE_ROW || sqlite3_column_type(probe, 0) == SQLITE_NULL;
  const int low = sqlite3_column_int(probe, 0), high = sqlite3_column_int(probe, 1);
  sqlite3_finalize(probe);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) return failed(rc);
  if (empty) {
    *why = "sie enthält keine Kartenkacheln"_cp;
    return false;
  }
  minZoom_ = std::clamp(minZoom.value_or(low), 0, kMaxTileZoom);
  maxZoom_ = std::clamp(maxZoom.value_or(high), 0, kMaxTileZoom);
  if (minZoom_ > maxZoom_) std::swap(minZoom_, maxZoom_);
  return true;
}

std::shared_ptr<const TileImage> MbTiles::tile(const TileKey& key) {
  if (!validTile(key) || key.z < minZoom_ || key.z > maxZoom_) return nullptr;
  if (auto* kept = recent_.find(key)) return *kept;
  auto image = read(key);
  recent_.put(key, image);
  return image;
}

std::shared_ptr<const TileImage> MbTiles::read(const TileKey& key) {
  const auto damaged = [&](const std::string& why) {
    if (++damaged_ == 1) {
      firstDamage_ = "Kachel " + std::to_string(key.z) + "/" + std::to_string(key.x) + "/" +
                     std::to_string(key.y) + ": " + why;
    }
    return nullptr;
  };
  sqlite3_reset(query_);
  sqlite3_bind_int(query_, 1, key.z);
  sqlite3_bind_int(query_, 2, key.x);
  sqlite3_bind_int64(query_, 3, tmsRow(key));
  const int rc = sqlite3_step(query_);
  if (rc == SQLITE_DONE) return nullptr;
  if (rc != SQLITE_ROW) return damaged(reasonOf(db_, rc));
  const void* blob = sqlite3_column_blob(query_, 0);
  const int size = sqlite3_column_bytes(query_, 0);
  std::string why;
  auto image = decodeTileImage(
      std::string_view(static_cast<const char*>(blob), blob ? static_cast<std::size_t>(size) : 0),
      &why);
  sqlite3_reset(query_);
  if (!image) return damaged(why);
  return std::make_shared<const TileImage>(std::move(*image));
}

std::string MbTiles::damageNote() const {
  if (damaged_ == 0) return {};
  const std::string count = damaged_ == 1
                                ? "eine beschädigte Kachel; sie bleibt"_cp
                                : std::to_string(damaged_) + " beschädigte Kacheln; sie bleiben"_cp;
  return "Die Kartendatei " + path_ + " enthält "_cp + count + " leer (" + firstDamage_ + ").";
}

}  // namespace kursolin
