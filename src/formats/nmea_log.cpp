#include "formats/nmea_log.h"

#include <chrono>

#include "track/nmea.h"

namespace kursolin {

namespace {

bool anyLineOfKind(const TextLines& lines, SentenceKind kind) {
  const int count = lines.Count();
  for (int i = 0; i < count; ++i) {
    if (!talkerOf(lines.full(i), kind).empty()) return true;
  }
  return false;
}

// Comma-separated fields of a sentence line, without the checksum.
std::vector<std::string_view> fieldsOf(std::string_view line) {
  const auto star = line.rfind('*');
  if (star != std::string_view::npos) line = line.substr(0, star);
  std::vector<std::string_view> fields;
  std::size_t from = 0;
  while (true) {
    const auto comma = line.find(',', from);
    fields.push_back(line.substr(from, comma == std::string_view::npos ? line.npos : comma - from));
    if (comma == std::string_view::npos) break;
    from = comma + 1;
  }
  return fields;
}

std::optional<int> number(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

// A UTC date and time of a log as Central European standard time (UTC + 1 hour), the clock the
// summer time rule counts in; nullopt for no real date. Receivers that do not know the date yet
// report 1980 (the start of GPS time) or nothing.
std::optional<LocalDateTime> centralEuropean(int y, int m, int d, std::string_view time) {
  using namespace std::chrono;
  const year_month_day date{year{y}, month{static_cast<unsigned>(m)},
                            day{static_cast<unsigned>(d)}};
  if (y <= 1980 || !date.ok() || time.size() < 6) return std::nullopt;
  const auto hh = number(time.substr(0, 2)), mi = number(time.substr(2, 2)),
             ss = number(time.substr(4, 2));
  if (!hh || !mi || !ss || *hh > 23 || *mi > 59 || *ss > 60) return std::nullopt;
  sys_days day = date;
  int hour = *hh + 1;
  if (hour == 24) {
    hour = 0;
    day += days{1};
  }
  const year_month_day local{day};
  return LocalDateTime{static_cast<int>(local.year()),
                       static_cast<int>(unsigned(local.month())),
                       static_cast<int>(unsigned(local.day())),
                       hour,
                       *mi,
                       *ss};
}

std::optional<LocalDateTime> rmcDate(std::string_view line) {
  if (talkerOf(line, SentenceKind::RMC).empty()) return std::nullopt;
  const auto f = fieldsOf(line);
  // A void fix may carry the receiver's unset clock.
  if (f.size() < 10 || f[2] != "A" || f[9].size() != 6) return std::nullopt;
  const auto d = number(f[9].substr(0, 2)), m = number(f[9].substr(2, 2)),
             yy = number(f[9].substr(4, 2));
  if (!d || !m || !yy) return std::nullopt;
  // Two-digit years as receivers mean them: 80 to 99 in the last century.
  return centralEuropean(*yy >= 80 ? 1900 + *yy : 2000 + *yy, *m, *d, f[1]);
}

std::optional<LocalDateTime> zdaDate(std::string_view line) {
  // "$--ZDA,hhmmss.ss,dd,mm,yyyy,zh,zm": any talker but a proprietary one.
  if (line.size() < 6 || line[0] != '$' || line[1] == 'P' || line.substr(3, 3) != "ZDA")
    return std::nullopt;
  const auto f = fieldsOf(line);
  if (f.size() < 5) return std::nullopt;
  const auto d = number(f[2]), m = number(f[3]), y = number(f[4]);
  if (!d || !m || !y || f[4].size() != 4) return std::nullopt;
  return centralEuropean(*y, *m, *d, f[1]);
}

}  // namespace

bool ggaVtgRecognized(Session& s) {
  return anyLineOfKind(s.doc.InputLines, SentenceKind::GGA);
}

bool rmcRecognized(Session& s) {
  return anyLineOfKind(s.doc.InputLines, SentenceKind::RMC);
}

bool ggaLogHasVtg(const Session& s) {
  return !logTalkers(s.doc).vtg.empty();
}

bool readGgaRecord(Session& s, const std::string& line, int index) {
  return ggaLogHasVtg(s) ? GetGGA(s, line, index) : readGgaWithoutVtg(s, line, index);
}

bool isGgaVtgRecordLine(const Session& s, std::string_view line) {
  return isLogSentence(s, line, SentenceKind::GGA) || isLogSentence(s, line, SentenceKind::VTG);
}

bool isRmcRecordLine(const Session& s, std::string_view line) {
  return isLogSentence(s, line, SentenceKind::RMC);
}

std::optional<LocalDateTime> nmeaRecordedAt(const Session& s) {
  const int count = s.doc.InputLines.Count();
  for (int i = 0; i < count; ++i) {
    const std::string_view line = s.doc.InputLines.full(i);
    if (line.size() < 6 || line[0] != '$') continue;
    auto date = rmcDate(line);
    if (!date) date = zdaDate(line);
    if (date && checksumOk(line)) return date;
  }
  return std::nullopt;
}

bool ggaVtgLogFound(const Session&, const FileSample& file) {
  const NmeaLogState talkers = talkersOf(file.lines);
  return !talkers.gga.empty() && (!talkers.vtg.empty() || talkers.rmc.empty());
}

bool rmcLogFound(const Session&, const FileSample& file) {
  return !talkersOf(file.lines).rmc.empty();
}

}  // namespace kursolin
