#include "formats/accessdb.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

// glib first: mdbtools.h relies on its types.
#include <glib.h>
#include <mdbtools.h>

#include "core/cp1252.h"
#include "session/prompt.h"

namespace kursolin {

namespace {

// --- The header check ---

constexpr char kJetSignature[] = "Standard Jet DB";  // bytes 4 to 18, a NUL at 19
constexpr char kAceSignature[] = "Standard ACE DB";  // Access 2007 and later
constexpr std::size_t kSignatureAt = 4;
constexpr std::size_t kSignatureLength = 16;  // with its NUL
constexpr std::size_t kVersionAt = 0x14;
constexpr std::size_t kHeaderLength = kVersionAt + 1;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Up to n bytes from the start of the file; fewer only at its end.
bool readHead(int fd, unsigned char* out, std::size_t n, std::size_t* got) {
  *got = 0;
  while (*got < n) {
    const ssize_t r = ::pread(fd, out + *got, n - *got, static_cast<off_t>(*got));
    if (r < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (r == 0) break;
    *got += static_cast<std::size_t>(r);
  }
  return true;
}

// The signature as far as the file holds it: 0 no match, 1 Jet, 2 ACE.
int signatureKind(const unsigned char* head, std::size_t got) {
  if (got == 0 || head[0] != 0x00) return 0;
  for (const auto& [text, kind] : {std::pair{kJetSignature, 1}, std::pair{kAceSignature, 2}}) {
    bool match = true;
    for (std::size_t i = 0; i < kSignatureLength && kSignatureAt + i < got; ++i) {
      if (head[kSignatureAt + i] != static_cast<unsigned char>(text[i])) {
        match = false;
        break;
      }
    }
    if (match) return kind;
  }
  return 0;
}

AccessFileCheck refused(std::string reason) {
  AccessFileCheck c;
  c.reason = std::move(reason);
  return c;
}

std::string truncatedReason() {
  return "Die Datei ist unvollständig (abgeschnitten)."_cp;
}

// --- libmdb ownership ---

// One open libmdb handle, shared by the database and the table open on it, so that the handle
// outlives the table whichever of the two is closed first.
struct MdbOwner {
  MdbHandle* mdb;
  long long pageCount;
  bool tableOpen = false;
  MdbOwner(MdbHandle* h, long long pages) : mdb(h), pageCount(pages) {}
  ~MdbOwner() { mdb_close(mdb); }
  MdbOwner(const MdbOwner&) = delete;
  MdbOwner& operator=(const MdbOwner&) = delete;
};

struct TableDefFree {
  void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};
using TableDefPtr = std::unique_ptr<MdbTableDef, TableDefFree>;

// true when every page the usage map names lies inside the file: a file cut at a page boundary
// passes the header check, and the library would read what lies past its end as empty pages.
bool pagesInFile(MdbHandle* mdb, unsigned char* map, std::size_t size, long long pageCount) {
  if (!map || size == 0) return true;
  if (map[0] == 1) {
    // An indirect map lists the pages that hold the bitmaps.
    for (std::size_t at = 1; at + 4 <= size; at += 4) {
      const long long page = static_cast<std::uint32_t>(mdb_get_int32(map, static_cast<int>(at)));
      if (page >= pageCount) return false;
    }
  }
  guint32 from = 0;
  for (long long steps = 0; steps <= pageCount; ++steps) {
    const gint32 next = mdb_map_find_next(mdb, map, static_cast<unsigned int>(size), from);
    if (next <= 0) return true;
    if (next >= pageCount) return false;
    if (static_cast<guint32>(next) <= from) return true;
    from = static_cast<guint32>(next);
  }
  return true;
}

std::string asciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

template <typename T>
std::string numberText(T v) {
  // Fixed notation, as short as the value allows: never an exponent, never the locale's comma.
  char buf[400];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
  if (r.ec != std::errc()) return {};
  std::string text(buf, r.ptr);
  // A fraction column keeps its point also for whole values: the heading rule reads a course
  // text without "." as 0.
  if (std::isfinite(v) && text.find('.') == std::string::npos) text += ".0";
  return text;
}

bool isRawNumber(int type) {
  return type == MDB_BYTE || type == MDB_INT || type == MDB_LONGINT || type == MDB_FLOAT ||
         type == MDB_DOUBLE;
}

}  // namespace

// --- Header check ---

std::string accessFileMessage(const std::string& path, const std::string& reason) {
  return "Die Datei " + path + " kann nicht als Access-Datenbank gelesen werden:" + kCR + reason;
}

AccessFileCheck checkAccessFile(const std::string& path) {
  const std::string native = nativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return refused("Die Datei ist nicht vorhanden.");
    return refused("Die Datei kann nicht geöffnet werden."_cp);
  }
  if (S_ISDIR(st.st_mode)) return refused("Der Name bezeichnet einen Ordner, keine Datei.");
  if (!S_ISREG(st.st_mode)) return refused("Der Name bezeichnet keine gewöhnliche Datei."_cp);

  FileDescriptor fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == EACCES) return refused("Die Datei darf nicht gelesen werden.");
    return refused("Die Datei kann nicht geöffnet werden."_cp);
  }
  if (::fstat(fd.get(), &st) != 0) return refused("Die Datei kann nicht gelesen werden.");
  const long long size = st.st_size;
  if (size == 0) return refused("Die Datei ist leer.");

  unsigned char head[kHeaderLength] = {};
  std::size_t got = 0;
  if (!readHead(fd.get(), head, sizeof head, &got)) {
    return refused("Die Datei kann nicht gelesen werden.");
  }
  const int kind = signatureKind(head, got);
  if (kind == 0) return refused("Die Datei ist keine Access-Datenbank.");
  if (got < kHeaderLength) return refused(truncatedReason());

  AccessFileCheck c;
  const int version = head[kVersionAt];
  // Version 2 and up are the Access 2007+ formats, whatever the signature says.
  if (kind == 2 || (version >= 2 && version <= 6)) {
    return refused(
        "Die Datei ist im Format von Access 2007 oder neuer gespeichert; gelesen werden die "
        "Formate von Access 97 und Access 2000 bis 2003.");
  }
  if (version == 0) {
    c.jetVersion = 3;
    c.pageSize = 2048;
  } else if (version == 1) {
    c.jetVersion = 4;
    c.pageSize = 4096;
  } else {
    return refused("Die Datei stammt von einer unbekannten, neueren Access-Version (Kennung " +
                   std::to_string(version) +
                   "); gelesen werden die Formate von Access 97 und Access 2000 bis 2003.");
  }
  // Access writes whole pages only; a shorter tail is a cut-off copy.
  if (size < 2 * c.pageSize || size % c.pageSize != 0) return refused(truncatedReason());
  c.pageCount = size / c.pageSize;
  c.usable = true;
  return c;
}

// --- Table ---

struct AccessTable::Impl {
  struct Column {
    std::string key;  // lower-case name for the lookup
    MdbColumn* col;
    std::vector<char> text;  // the library's bound text, for all but raw numbers
  };

  std::shared_ptr<MdbOwner> owner;
  TableDefPtr table;
  std::string name;
  std::vector<Column> columns;
  std::vector<std::string> values;
  int count = 0;
  bool current = false;

  explicit Impl(std::shared_ptr<MdbOwner> o) : owner(std::move(o)) { owner->tableOpen = true; }
  ~Impl() {
    table.reset();
    owner->tableOpen = false;
  }
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // The value the last fetch left in a column, as text.
  std::string valueOf(const Column& c) const {
    const MdbColumn& col = *c.col;
    if (!isRawNumber(col.col_type)) {
      if (c.text.empty()) return {};
      return utf8ToCp1252(std::string_view(c.text.data(), ::strnlen(c.text.data(), c.text.size())));
    }
    // The raw bytes of the value in the current page: the library's own text would follow the
    // process locale.
    MdbHandle* mdb = owner->mdb;
    const int start = col.cur_value_start;
    const int len = col.cur_value_len;
    const auto fits = [&](int n) {
      return len >= n && start >= 0 && start + n <= mdb->fmt->pg_size;
    };
    switch (col.col_type) {
      case MDB_BYTE:
        if (!fits(1)) return {};
        return std::to_string(mdb_get_byte(mdb->pg_buf, start));
      case MDB_INT:
        if (!fits(2)) return {};
        return std::to_string(static_cast<std::int16_t>(mdb_get_int16(mdb->pg_buf, start)));
      case MDB_LONGINT:
        if (!fits(4)) return {};
        return std::to_string(static_cast<std::int32_t>(
            static_cast<std::uint32_t>(mdb_get_int32(mdb->pg_buf, start))));
      case MDB_FLOAT:
        if (!fits(4)) return {};
        return numberText(mdb_get_single(mdb->pg_buf, start));
      case MDB_DOUBLE:
        if (!fits(8)) return {};
        return numberText(mdb_get_double(mdb->pg_buf, start));
    }
    return {};
  }

  void fetch() {
    current = mdb_fetch_row(table.get()) != 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      values[i] = current ? valueOf(columns[i]) : std::string();
    }
  }
};

AccessTable::AccessTable(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
AccessTable::~AccessTable() = default;
AccessTable::AccessTable(AccessTable&&) noexcept = default;
AccessTable& AccessTable::operator=(AccessTable&&) noexcept = default;

const std::string& AccessTable::name() const {
  static const std::string none;
  return impl_ ? impl_->name : none;
}

int AccessTable::recordCount() const {
  return impl_ ? impl_->count : 0;
}

void AccessTable::moveFirst() {
  if (!impl_) return;
  mdb_rewind_table(impl_->table.get());
  impl_->fetch();
}

void AccessTable::moveNext() {
  if (impl_ && impl_->current) impl_->fetch();
}

bool AccessTable::eof() const {
  return !impl_ || !impl_->current;
}

std::string AccessTable::field(const std::string& column) const {
  if (!impl_ || !impl_->current) return {};
  const std::string key = asciiLower(column);
  for (std::size_t i = 0; i < impl_->columns.size(); ++i) {
    if (impl_->columns[i].key == key) return impl_->values[i];
  }
  return {};
}

void AccessTable::close() {
  impl_.reset();
}

// --- Database ---

struct AccessDatabase::Impl {
  std::string path;
  int jetVersion = 0;
  std::shared_ptr<MdbOwner> owner;
  std::vector<std::string> names;
  std::vector<MdbCatalogEntry*> entries;  // owned by the handle's catalog
};

AccessDatabase::AccessDatabase(const std::string& path) : impl_(std::make_unique<Impl>()) {
  const AccessFileCheck check = checkAccessFile(path);
  if (!check.usable) throw AccessDbError(accessFileMessage(path, check.reason));
  impl_->path = path;
  impl_->jetVersion = check.jetVersion;

  MdbHandle* h = mdb_open(nativePath(path).c_str(), MDB_NOFLAGS);
  if (!h) throw AccessDbError(accessFileMessage(path, "Die Datenbank ist beschädigt."_cp));
  impl_->owner = std::make_shared<MdbOwner>(h, check.pageCount);

  const std::string damagedCatalog =
      "Das Tabellenverzeichnis der Datenbank ist beschädigt oder unvollständig."_cp;
  // The catalog's own pages first, as the library finds them: from its definition on page 2.
  MdbCatalogEntry catalogTable{};
  catalogTable.mdb = h;
  catalogTable.object_type = MDB_TABLE;
  catalogTable.table_pg = 2;
  std::snprintf(catalogTable.object_name, sizeof catalogTable.object_name, "MSysObjects");
  {
    TableDefPtr def(mdb_read_table(&catalogTable));
    if (!def) throw AccessDbError(accessFileMessage(path, damagedCatalog));
    if (!pagesInFile(h, def->usage_map, def->map_sz, check.pageCount)) {
      throw AccessDbError(accessFileMessage(path, truncatedReason()));
    }
  }
  if (!mdb_read_catalog(h, MDB_TABLE)) throw AccessDbError(accessFileMessage(path, damagedCatalog));
  for (guint i = 0; i < h->catalog->len; ++i) {
    auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(h->catalog, i));
    if (mdb_is_user_table(entry)) {
      impl_->names.push_back(utf8ToCp1252(entry->object_name));
      impl_->entries.push_back(entry);
    }
  }
}

AccessDatabase::~AccessDatabase() = default;
AccessDatabase::AccessDatabase(AccessDatabase&&) noexcept = default;
AccessDatabase& AccessDatabase::operator=(AccessDatabase&&) noexcept = default;

const std::vector<std::string>& AccessDatabase::tableNames() const {
  static const std::vector<std::string> none;
  return impl_ ? impl_->names : none;
}

AccessTable AccessDatabase::openTable(const std::string& name) {
  if (!impl_) throw std::logic_error("openTable on a closed database");
  if (impl_->owner->tableOpen) throw std::logic_error("only one table may be open at a time");
  const auto unreadable = [&](const std::string& reason) {
    return AccessDbError("Die Tabelle " + name + " der Datei " + impl_->path +
                         " kann nicht gelesen werden:" + kCR + reason);
  };
  MdbCatalogEntry* entry = nullptr;
  for (std::size_t i = 0; i < impl_->names.size(); ++i) {
    if (impl_->names[i] == name) {
      entry = impl_->entries[i];
      break;
    }
  }
  if (!entry) throw unreadable("Die Datenbank hat keine Tabelle dieses Namens.");

  auto t = std::make_unique<AccessTable::Impl>(impl_->owner);
  t->name = name;
  MdbHandle* mdb = impl_->owner->mdb;
  t->table.reset(mdb_read_table(entry));
  const std::string damaged = "Sie ist beschädigt oder unvollständig."_cp;
  if (!t->table || !mdb_read_columns(t->table.get())) throw unreadable(damaged);
  MdbTableDef* def = t->table.get();
  if (!pagesInFile(mdb, def->usage_map, def->map_sz, impl_->owner->pageCount)) {
    throw unreadable(truncatedReason());
  }

  // Counted by reading, not taken from the table header: a database that was not closed
  // properly keeps a stale count there.
  mdb_rewind_table(def);
  while (mdb_fetch_row(def)) ++t->count;

  t->columns.reserve(def->columns->len);
  for (guint i = 0; i < def->columns->len; ++i) {
    auto* col = static_cast<MdbColumn*>(g_ptr_array_index(def->columns, i));
    AccessTable::Impl::Column c{asciiLower(utf8ToCp1252(col->name)), col, {}};
    // Long binary data has no text; numbers are read raw.
    if (col->col_type != MDB_OLE && !isRawNumber(col->col_type)) {
      c.text.assign(mdb->bind_size, '\0');
      mdb_bind_column(def, static_cast<int>(i) + 1, c.text.data(), nullptr);
    }
    t->columns.push_back(std::move(c));
  }
  t->values.resize(t->columns.size());
  mdb_rewind_table(def);
  return AccessTable(std::move(t));
}

void AccessDatabase::close() {
  impl_.reset();
}

bool AccessDatabase::isOpen() const {
  return impl_ != nullptr;
}

int AccessDatabase::jetVersion() const {
  return impl_ ? impl_->jetVersion : 0;
}

}  // namespace kursolin
