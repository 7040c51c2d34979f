#pragma once
// Writes small Access 97 (Jet 3) databases for the tests: nothing installable on the build
// machine creates them. A file holds the database definition page, the catalog MSysObjects and,
// per table, a page of usage maps, one table definition page and as many data pages as its rows
// need. No indexes, no memo pages; a row may take at most 256 bytes (no jump tables).

#include <string>
#include <vector>

namespace kursolin::test {

enum class JetType { Byte, Integer, Long, Single, Double, Text };

struct JetColumn {
  std::string name;  // cp1252
  JetType type;
  int length = 50;  // characters, Text only
};

/// One value of a row: a number, a text (cp1252) or, default-constructed, a missing value.
struct JetValue {
  enum class Kind { Null, Whole, Real, Text };
  Kind kind = Kind::Null;
  long long whole = 0;
  double real = 0;
  std::string text;

  JetValue() = default;
  JetValue(int v) : kind(Kind::Whole), whole(v) {}
  JetValue(long long v) : kind(Kind::Whole), whole(v) {}
  JetValue(double v) : kind(Kind::Real), real(v) {}
  JetValue(const char* v) : kind(Kind::Text), text(v) {}
  JetValue(std::string v) : kind(Kind::Text), text(std::move(v)) {}
};

struct JetTable {
  std::string name;  // cp1252
  std::vector<JetColumn> columns;
  std::vector<std::vector<JetValue>> rows;
};

/// The bytes of a Jet 3 database holding the tables, listed in this order in its catalog.
/// Throws std::invalid_argument for a value that does not fit its column or a row too long.
std::string jet3Database(const std::vector<JetTable>& tables);

/// Writes jet3Database(tables) to path.
void writeJet3(const std::string& path, const std::vector<JetTable>& tables);

/// An empty Touratech QV track table "Tour_trp" with the columns the program reads: trp_idx
/// (Long), lat, lon, speed and course (Double). Rows are {index, lat, lon, speed, course}.
JetTable touratechTrack();

/// Copies of a Jet 3 database, one per table definition page, each with the usage-map pointer
/// of that page (its byte 0x23) changed: libmdb reads far out of bounds on every one of them.
std::vector<std::string> withDamagedUsageMaps(const std::string& database);

}  // namespace kursolin::test
