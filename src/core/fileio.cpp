#include "core/fileio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
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
