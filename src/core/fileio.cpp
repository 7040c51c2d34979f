#include "core/fileio.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>

#include "core/cp1252.h"

namespace kursolin {

std::optional<std::string> readFileBytes(const std::string& path, std::string* error) {
  std::ifstream in(nativePath(path), std::ios::binary);
  if (!in) {
    if (error) *error = std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = "Lesefehler";
    return std::nullopt;
  }
  return bytes;
}

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
  struct stat st {};
  mode_t mode = 0644;
  if (::stat(nativePath(path).c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return fail("ist ein Verzeichnis");
    mode = st.st_mode & 07777;
  }
  std::random_device rd;
  const std::string tmp = folderOf(path) + "." + nameOf(path) + ".tmp" + std::to_string(rd());
  const int fd = ::open(nativePath(tmp).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return fail(std::strerror(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      const std::string why = std::strerror(errno);
      ::close(fd);
      ::unlink(nativePath(tmp).c_str());
      return fail(why);
    }
    done += static_cast<std::size_t>(w);
  }
  const bool synced = ::fsync(fd) == 0;
  const std::string syncError = synced ? std::string() : std::strerror(errno);
  if (::close(fd) != 0 || !synced) {
    const std::string why = synced ? std::strerror(errno) : syncError;
    ::unlink(nativePath(tmp).c_str());
    return fail(why);
  }
  if (::rename(nativePath(tmp).c_str(), nativePath(path).c_str()) != 0) {
    const std::string why = std::strerror(errno);
    ::unlink(nativePath(tmp).c_str());
    return fail(why);
  }
  return true;
}

bool FileCopy(const std::string& source, const std::string& target) {
  std::ifstream in(nativePath(source), std::ios::binary);
  struct stat st {};
  if (!in || ::stat(nativePath(source).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
    throw FileOpenError("Datei " + source + " kann nicht geöffnet werden"_cp);
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  // Through a temporary file: a copy that fails half-way leaves the old target or none.
  return writeFileAtomic(target, bytes);
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(nativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
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

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kursolin
