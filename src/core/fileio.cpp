#include "core/fileio.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <cstring>
#include <random>

#include "core/cp1252.h"

namespace kursolin {

std::string systemErrorText(int err) {
  switch (err) {
    case ENOENT: return "Datei oder Verzeichnis nicht gefunden";
    case ENOTDIR: return "ein Teil des Pfades ist kein Verzeichnis";
    case EISDIR: return "ist ein Verzeichnis";
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case ENOSPC: return "kein Platz mehr auf dem Datenträger"_cp;
    case EDQUOT: return "Speicherkontingent erschöpft"_cp;
    case EROFS: return "Dateisystem ist schreibgeschützt"_cp;
    case ENAMETOOLONG: return "Dateiname zu lang";
    case ELOOP: return "zu viele symbolische Verknüpfungen"_cp;
    case EIO: return "Ein-/Ausgabefehler";
    case EFBIG: return "Datei zu groß"_cp;
    case ENOMEM: return "nicht genug Speicher";
    case ENXIO: return "kein Leser an der Gegenstelle";
    case EBUSY: return "Gerät oder Datei belegt";
    case ETXTBSY: return "Datei wird gerade ausgeführt"_cp;
    default: return "Systemfehler " + std::to_string(err);
  }
}

namespace {

// A long log's text is touched page by page once; on hosts that leave large pages to the
// program's choice, asking for them spares most of the page faults.
void preferLargePages(char* data, std::size_t size) {
  constexpr std::size_t kLarge = std::size_t{2} << 20;
  if (size < 4 * kLarge) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) / page * page;
  // Only advice: without large pages the text is read all the same.
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace

std::optional<std::string> readFileBytes(const std::string& path, std::string* error,
                                         std::uint64_t maxBytes,
                                         const std::function<void(std::uint64_t)>& progress) {
  const auto fail = [&](const std::string& why) -> std::optional<std::string> {
    if (error) *error = why;
    return std::nullopt;
  };
  // O_NONBLOCK: a pipe without a writer must not hang the open; cleared again below.
  const int fd = ::open(nativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(systemErrorText(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    return fail(systemErrorText(err));
  }
  if (S_ISDIR(st.st_mode)) {
    ::close(fd);
    return fail(systemErrorText(EISDIR));
  }
  const std::string tooLarge = "Datei größer als "_cp + std::to_string(maxBytes / (1 << 20)) +
                               " MiB";
  if (S_ISREG(st.st_mode) && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return fail(tooLarge);
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  // Read straight into the text, in steps of at most 4 MiB so progress can be shown. A regular
  // file's size is known (one byte more, to see its end in the same pass); devices and growing
  // files have no size to trust, so the text grows with what actually arrives.
  constexpr std::size_t kStep = std::size_t{4} << 20;
  std::string bytes;
  std::size_t got = 0;
  if (S_ISREG(st.st_mode)) {
    const std::size_t size = static_cast<std::size_t>(st.st_size) + 1;
    bytes.reserve(size);
    preferLargePages(bytes.data(), size);
  }
  for (;;) {
    // The text grows a step at a time within what was reserved (each step is zeroed before it is
    // read into, so no step takes long), and by doubling past it.
    if (got == bytes.size()) {
      const std::size_t room = bytes.capacity() - got;
      bytes.resize(room > 0 ? got + std::min(room, kStep) : (got < 65536 ? 65536 : got * 2));
    }
    const std::size_t room = std::min(bytes.size() - got, kStep);
    const ssize_t n = ::read(fd, bytes.data() + got, room);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      return fail(systemErrorText(err));
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
    if (got > maxBytes) {
      ::close(fd);
      return fail(tooLarge);
    }
    if (progress && (got >> 20) != ((got - static_cast<std::size_t>(n)) >> 20)) progress(got);
  }
  ::close(fd);
  bytes.resize(got);
  return bytes;
}

std::optional<std::string> followLinks(const std::string& nativePath) {
  std::string path = nativePath;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf - 1);
    if (n < 0) return path;
    std::string to(buf, static_cast<std::size_t>(n));
    // A relative link is relative to the folder that holds the link.
    if (to.empty() || to[0] != '/') to = folderOf(path) + to;
    path = to;
  }
  return std::nullopt;
}

std::string temporaryNameBeside(const std::string& nativeTarget) {
  static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device rd;
  std::uniform_int_distribution<int> pick(0, sizeof kChars - 2);
  std::string name = folderOf(nativeTarget) + ".ks-";
  for (int i = 0; i < 10; ++i) name.push_back(kChars[pick(rd)]);
  return name + ".tmp";
}

namespace {

bool writeAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(w);
  }
  return true;
}

// A device or pipe cannot be replaced by a rename; it is written in place.
bool writeDirect(const std::string& target, const std::string& bytes, std::string* error) {
  // O_NONBLOCK for the open only: a pipe without a reader is an error, not a hang.
  const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) {
    if (error) *error = systemErrorText(errno);
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  bool ok = writeAll(fd, bytes);
  int err = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok && error) *error = systemErrorText(err);
  return ok;
}

}  // namespace

std::string fileHead(const std::string& path, std::size_t n) {
  std::ifstream in(nativePath(path), std::ios::binary);
  std::string bytes(n, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(n));
  bytes.resize(in ? n : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

bool writeFileAtomic(const std::string& path, const std::string& bytes, std::string* error) {
  const auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  const auto followed = followLinks(nativePath(path));
  if (!followed) return fail(systemErrorText(ELOOP));
  const std::string target = *followed;
  struct stat st {};
  bool exists = false;
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return fail(systemErrorText(EISDIR));
    if (!S_ISREG(st.st_mode)) return writeDirect(target, bytes, error);
    exists = true;
  }
  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tmp = temporaryNameBeside(target);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return fail(systemErrorText(errno));
  }
  if (fd < 0) return fail(systemErrorText(EEXIST));
  const auto abandon = [&](int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.c_str());
    return fail(systemErrorText(err));
  };
  if (exists) {
    // The replacement is the same file to its owner: same owner, group and permissions. Only
    // root may give a file away; for anyone else the owner already is the one writing.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && errno != EPERM) return abandon(errno);
    if (::fchmod(fd, st.st_mode & 07777) != 0) return abandon(errno);
  }
  if (!writeAll(fd, bytes)) return abandon(errno);
  if (::fsync(fd) != 0) return abandon(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (::rename(tmp.c_str(), target.c_str()) != 0) return abandon(errno);
  // Make the rename itself durable; a failure here no longer endangers either version.
  const std::string folder = folderOf(target).empty() ? "." : folderOf(target);
  const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

bool FileCopy(const std::string& source, const std::string& target) {
  struct stat st {};
  const std::string native = nativePath(source);
  if (::stat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode) || ::access(native.c_str(), R_OK) != 0) {
    throw FileOpenError("Datei " + source + " kann nicht geöffnet werden"_cp);
  }
  const auto bytes = readFileBytes(source);
  if (!bytes) return false;
  // Through a temporary file: a copy that fails half-way leaves the old target or none.
  return writeFileAtomic(target, *bytes);
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool folderExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool removeFile(const std::string& path) {
  return ::unlink(nativePath(path).c_str()) == 0 || errno == ENOENT;
}

std::optional<std::string> makePrivateFolder(std::string* error) {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = tmp && *tmp ? tmp : "/tmp";
  if (base.back() != '/') base += '/';
  std::string tmpl = base + "kursolin-XXXXXX";
  // mkdtemp creates the folder with mode 0700.
  if (!::mkdtemp(tmpl.data())) {
    if (error) *error = std::strerror(errno);
    return std::nullopt;
  }
  return sessionPath(tmpl) + "/";
}

void removeFolder(const std::string& folder) {
  const std::string native = nativePath(folder);
  if (DIR* d = ::opendir(native.c_str())) {
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      ::unlink((native + "/" + name).c_str());
    }
    ::closedir(d);
  }
  ::rmdir(native.c_str());
}

std::optional<std::string> findOnPath(const std::string& name, const std::string& searchPath) {
  std::size_t from = 0;
  while (from <= searchPath.size()) {
    std::size_t to = searchPath.find(':', from);
    if (to == std::string::npos) to = searchPath.size();
    std::string folder = searchPath.substr(from, to - from);
    from = to + 1;
    // An empty entry means the current folder, which a program of ours must not depend on.
    if (folder.empty()) continue;
    if (folder.back() != '/') folder += '/';
    const std::string candidate = folder + name;
    struct stat st {};
    if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(candidate.c_str(), X_OK) == 0) {
      return sessionPath(candidate);
    }
  }
  return std::nullopt;
}

// ChangeFileExt: the part of the name after its last dot is replaced, or the extension added.
// A leading dot belongs to the name, so ".tour" becomes ".tour.rte", not ".rte".
std::string withExtension(const std::string& path, const std::string& ext) {
  std::string name = nameOf(path);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return folderOf(path) + name + ext;
}

std::string joinLinesCrLf(const std::vector<std::string>& lines) {
  std::size_t n = 0;
  for (const auto& l : lines) n += l.size() + 2;
  std::string out;
  out.reserve(n);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

bool folderWritable(const std::string& folder) {
  const std::string native = nativePath(folder.empty() ? std::string(".") : folder);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return ::access(native.c_str(), W_OK | X_OK) == 0;
}

bool makeFolders(const std::string& folder, std::string* error) {
  const std::string native = nativePath(folder);
  for (std::size_t end = 1; end <= native.size(); ++end) {
    if (end < native.size() && native[end] != '/') continue;
    const std::string part = native.substr(0, end);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      if (error) *error = std::strerror(errno);
      return false;
    }
  }
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    if (error) *error = "ist kein Verzeichnis";
    return false;
  }
  return true;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kursolin
