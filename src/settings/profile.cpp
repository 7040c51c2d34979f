#include "settings/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "core/cp1252.h"
#include "core/fileio.h"
#include "core/host.h"

namespace kursolin {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && isBlank(s[b])) ++b;
  while (e > b && isBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

enum class LineKind { Blank, Comment, Section, Key, Other };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;       // section or key name, trimmed
  std::string_view value;      // raw value, trimmed (keys only)
  std::size_t valueStart = 0;  // offset of the value in the line content (keys only)
};

ParsedLine parseLine(std::string_view content) {
  ParsedLine p;
  std::size_t i = 0;
  while (i < content.size() && isBlank(content[i])) ++i;
  if (i == content.size()) {
    p.kind = LineKind::Blank;
    return p;
  }
  if (content[i] == ';') {
    p.kind = LineKind::Comment;
    return p;
  }
  if (content[i] == '[') {
    const std::size_t close = content.rfind(']');
    if (close != std::string_view::npos && close > i) {
      p.kind = LineKind::Section;
      p.name = trim(content.substr(i + 1, close - i - 1));
    }
    return p;
  }
  const std::size_t eq = content.find('=', i);
  if (eq == std::string_view::npos) return p;
  p.name = trim(content.substr(i, eq - i));
  if (p.name.empty()) return p;
  p.kind = LineKind::Key;
  std::size_t v = eq + 1;
  while (v < content.size() && isBlank(content[v])) ++v;
  p.valueStart = v;
  p.value = trim(content.substr(v));
  return p;
}

std::string withoutLineBreaks(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    if (c != '\r' && c != '\n') out.push_back(c);
  }
  return out;
}

std::string errnoText(int err) {
  return systemErrorText(err);
}

std::string parentFolder(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool writeAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

}  // namespace

std::string profileValueText(std::string_view raw) {
  std::string_view v = trim(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.substr(1, v.size() - 2);
  }
  if (v.size() > Profile::kMaxValueRead) v = v.substr(0, Profile::kMaxValueRead);
  return std::string(v);
}

std::optional<int> parseProfileInt(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    unsigned long long acc = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
      const char c = text[i];
      int d;
      if (c >= '0' && c <= '9') {
        d = c - '0';
      } else if (c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
      } else if (c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
      } else {
        return std::nullopt;
      }
      acc = acc * 16 + static_cast<unsigned>(d);
      if (acc > static_cast<unsigned long long>(INT_MAX)) return std::nullopt;
    }
    return static_cast<int>(acc);
  }
  // tryStrToInt would skip leading blanks; a value with blanks left in it is no whole number.
  if (text.empty() || text[0] == ' ') return std::nullopt;
  const auto v = tryStrToInt(text);
  if (!v || *v < INT_MIN || *v > INT_MAX) return std::nullopt;
  return static_cast<int>(*v);
}

std::optional<long double> parseProfileFloat(std::string_view text, char sep) {
  return tryStrToFloat(text, sep);
}

Profile Profile::fromBytes(std::string_view bytes) {
  Profile p;
  std::size_t i = 0;
  while (i < bytes.size()) {
    std::size_t e = i;
    while (e < bytes.size() && bytes[e] != '\r' && bytes[e] != '\n') ++e;
    Line line;
    line.text.assign(bytes.substr(i, e - i));
    if (e < bytes.size()) {
      const std::size_t eolLen =
          (bytes[e] == '\r' && e + 1 < bytes.size() && bytes[e + 1] == '\n') ? 2 : 1;
      line.eol.assign(bytes.substr(e, eolLen));
      e += eolLen;
    }
    p.lines_.push_back(std::move(line));
    i = e;
  }
  return p;
}

ProfileReadStatus Profile::readFile(const std::string& path, Profile& out, std::string* error) {
  out = Profile();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT || err == ENOTDIR) return ProfileReadStatus::Missing;
    if (error) *error = errnoText(err);
    return ProfileReadStatus::Unreadable;
  }
  std::string data;
  char buf[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      ::close(fd);
      if (error) *error = errnoText(err);
      return ProfileReadStatus::Unreadable;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > kMaxSettingsFileBytes) {
      // Far beyond any settings file; refused, and so never replaced by a save either.
      ::close(fd);
      if (error) *error = "Datei größer als 1 MiB"_cp;
      return ProfileReadStatus::Unreadable;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  out = fromBytes(data);
  return ProfileReadStatus::Read;
}

std::string Profile::bytes() const {
  std::string out;
  for (const Line& l : lines_) {
    out += l.text;
    out += l.eol;
  }
  return out;
}

bool Profile::writeFile(const std::string& path, std::string* error) const {
  auto fail = [&](int err) {
    if (error) *error = errnoText(err);
    return false;
  };
  // Replace what a link points to, not the link itself.
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  bool exists = false;
  mode_t mode = 0;
  if (::stat(target.c_str(), &st) == 0) {
    exists = true;
    mode = st.st_mode & 07777;
    // A file the user made read-only stays as it is, even where the folder would allow a rename.
    if (!S_ISDIR(st.st_mode) && ::access(target.c_str(), W_OK) != 0) return fail(errno);
  }

  std::string tmp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tmp = temporaryNameBeside(target);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return fail(errno);
  }
  if (fd < 0) return fail(EEXIST);

  auto abandon = [&](int err) {
    if (fd >= 0) ::close(fd);
    ::unlink(tmp.c_str());
    return fail(err);
  };
  if (!writeAll(fd, bytes())) return abandon(errno);
  if (exists) ::fchmod(fd, mode);  // best effort: keep the permissions the file had
  if (::fsync(fd) != 0) return abandon(errno);
  const int closed = ::close(fd);
  fd = -1;
  if (closed != 0) return abandon(errno);
  if (::rename(tmp.c_str(), target.c_str()) != 0) return abandon(errno);

  // Make the rename itself durable; a failure here no longer endangers either version.
  const int dfd = ::open(parentFolder(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

std::string_view Profile::lineContent(std::size_t index) const {
  std::string_view t = lines_[index].text;
  // A byte-order mark left by an editor must not hide the first section.
  if (index == 0 && t.substr(0, 3) == "\xEF\xBB\xBF") t.remove_prefix(3);
  return t;
}

std::optional<Profile::SectionSpan> Profile::findSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const ParsedLine p = parseLine(lineContent(i));
    if (p.kind != LineKind::Section || !equalsNoCase(p.name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && parseLine(lineContent(end)).kind != LineKind::Section) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::vector<std::string> Profile::sections() const {
  std::vector<std::string> names;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const ParsedLine p = parseLine(lineContent(i));
    if (p.kind == LineKind::Section) names.emplace_back(p.name);
  }
  return names;
}

std::optional<std::size_t> Profile::findKey(const SectionSpan& span, std::string_view key) const {
  for (std::size_t i = span.begin + 1; i < span.end; ++i) {
    const ParsedLine p = parseLine(lineContent(i));
    if (p.kind == LineKind::Key && equalsNoCase(p.name, key)) return i;
  }
  return std::nullopt;
}

std::optional<std::string> Profile::find(std::string_view section, std::string_view key) const {
  const auto span = findSection(section);
  if (!span) return std::nullopt;
  const auto line = findKey(*span, key);
  if (!line) return std::nullopt;
  return profileValueText(parseLine(lineContent(*line)).value);
}

std::string Profile::readString(std::string_view section, std::string_view key,
                                const std::string& def) const {
  auto v = find(section, key);
  return v ? std::move(*v) : def;
}

int Profile::readInt(std::string_view section, std::string_view key, int def) const {
  const auto v = find(section, key);
  if (!v) return def;
  return parseProfileInt(*v).value_or(def);
}

bool Profile::readBool(std::string_view section, std::string_view key, bool def) const {
  return readInt(section, key, def ? 1 : 0) != 0;
}

long double Profile::readFloat(std::string_view section, std::string_view key, long double def,
                               char sep) const {
  const auto v = find(section, key);
  if (!v) return def;
  return parseProfileFloat(*v, sep).value_or(def);
}

void Profile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string v = withoutLineBreaks(value);
  const auto span = findSection(section);
  if (span) {
    if (const auto at = findKey(*span, key)) {
      Line& line = lines_[*at];
      const std::string_view content = lineContent(*at);
      const ParsedLine p = parseLine(content);
      // A line that already reads as the new value stays as the user wrote it.
      if (profileValueText(p.value) == profileValueText(v)) return;
      const std::size_t prefix = line.text.size() - content.size() + p.valueStart;
      line.text = line.text.substr(0, prefix) + v;
      return;
    }
    std::size_t last = span->end - 1;
    while (last > span->begin && parseLine(lineContent(last)).kind == LineKind::Blank) --last;
    if (lines_[last].eol.empty()) lines_[last].eol = "\r\n";
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1),
                  Line{std::string(key) + "=" + v, "\r\n"});
    return;
  }
  if (!lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = "\r\n";
  lines_.push_back(Line{"[" + std::string(section) + "]", "\r\n"});
  lines_.push_back(Line{std::string(key) + "=" + v, "\r\n"});
}

void Profile::writeInt(std::string_view section, std::string_view key, long long value) {
  writeString(section, key, intToStr(value));
}

void Profile::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

void Profile::writeFloat(std::string_view section, std::string_view key, long double value,
                         char sep) {
  writeString(section, key, floatToStrGeneral(value, sep));
}

}  // namespace kursolin
