#pragma once
// Microsoft Access databases (Jet 3: Access 97; Jet 4: Access 2000 to 2003), read through the
// mdbtools library. The unit offers only what the route readers need -- open a file, list its
// tables, walk a table record by record, take fields as text, close -- so no other unit sees the
// library, and every handle it gives is released on every path. The library trusts the file: a
// damaged one can make it read out of bounds or loop, so a file from a user is read in a child
// process (session/isolated.h).

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kursolin {

/// A file or table that cannot be read; what() is the message for the user (cp1252), naming the
/// file and the reason.
class AccessDbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// What a look at a file's header says, before the library is given the file.
struct AccessFileCheck {
  bool usable = false;
  int jetVersion = 0;  // 3 or 4 when usable
  long long pageSize = 0;
  long long pageCount = 0;
  std::string reason;  // why the file is not usable: one German sentence (cp1252)
};

/// Checks the file at path (cp1252): present, readable, at least two whole pages, the Jet
/// signature and a version this layer reads (Jet 3 or Jet 4).
AccessFileCheck checkAccessFile(const std::string& path);

/// The message for a file that cannot be read as a database.
std::string accessFileMessage(const std::string& path, const std::string& reason);

class AccessTable;

/// An open database, read-only and shared; released on destruction at the latest.
class AccessDatabase {
 public:
  /// Opens the database at path (cp1252); throws AccessDbError when it cannot be read.
  explicit AccessDatabase(const std::string& path);
  ~AccessDatabase();
  AccessDatabase(AccessDatabase&&) noexcept;
  AccessDatabase& operator=(AccessDatabase&&) noexcept;

  /// Names of the user tables (cp1252), in the order of the database's table list; system tables
  /// are left out. Empty after close().
  const std::vector<std::string>& tableNames() const;

  /// Opens the table of exactly this name (case counts). One table at a time: a second open
  /// table is a programming error (std::logic_error). Throws AccessDbError when there is no such
  /// table or it cannot be read.
  AccessTable openTable(const std::string& name);

  /// Closes the database; an open table keeps the file open until it is closed itself.
  void close();
  bool isOpen() const;
  /// 3 for Access 97, 4 for Access 2000 to 2003; 0 after close().
  int jetVersion() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

/// One table of an AccessDatabase, read forward record by record.
class AccessTable {
 public:
  ~AccessTable();
  AccessTable(AccessTable&&) noexcept;
  AccessTable& operator=(AccessTable&&) noexcept;

  const std::string& name() const;
  /// Number of records, counted when the table was opened.
  int recordCount() const;
  /// Makes the first record current; eof() when the table has none.
  void moveFirst();
  /// Makes the next record current; eof() after the last one.
  void moveNext();
  /// true while no record is current: before moveFirst(), after the last record, after close().
  bool eof() const;
  /// The field of the current record by its column name (case does not count), as text in cp1252:
  /// integer columns in decimal, Single and Double columns in fixed notation with "." whatever
  /// the process locale and at least one decimal ("90.0"), text converted to cp1252 ("?" for
  /// characters it lacks). "" for a missing value, a column the table lacks and when no record
  /// is current.
  std::string field(const std::string& column) const;
  /// Closes the table (again harmless).
  void close();

 private:
  friend class AccessDatabase;
  struct Impl;
  explicit AccessTable(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace kursolin
