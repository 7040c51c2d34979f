#pragma once
// The text-line lists behind the two panes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kursolin {

/// The lines of a pane, stored compactly: the texts back to back in one buffer and the end of
/// each, so a log of a million lines costs its bytes plus one offset per line.
class TextLines {
 public:
  /// Longest text a single read of a line yields.
  static constexpr std::size_t kMaxLineRead = 4096;

  /// Number of lines; an empty last line after a final line break is not counted.
  int Count() const { return static_cast<int>(ends_.size()); }
  bool empty() const { return ends_.empty(); }

  /// The line at index, at most kMaxLineRead characters; "" outside 0 .. Count-1.
  std::string at(long long index) const;
  /// at() into a buffer the caller keeps, so reading line after line allocates nothing.
  void readInto(long long index, std::string& into) const;
  /// The whole line without the read limit, "" outside the list; valid until the next change.
  std::string_view full(long long index) const;

  void add(std::string_view line);
  void clear();
  /// Replaces the content by the lines of a text (line ends CR LF, CR or LF).
  void setText(std::string_view text);
  /// As setText, calling `progress` with the number of lines split so far now and then.
  void setText(std::string_view text, const std::function<void(long long)>& progress);
  /// setText that takes over the text's buffer instead of copying it; `progress` as above.
  void adoptText(std::string&& text, const std::function<void(long long)>& progress = {});
  /// Replaces the text of one line (nothing outside the list).
  void replaceLine(long long index, std::string_view text);
  /// Replaces the content by the given lines.
  void assign(const std::vector<std::string>& lines);
  /// All lines, each followed by CR LF.
  std::string text() const;

  /// A copy of all lines.
  std::vector<std::string> lines() const;
  /// Grows with every change, so a view can tell whether it must redraw.
  std::uint64_t revision() const { return revision_; }

 private:
  std::size_t begin(std::size_t i) const { return i == 0 ? 0 : ends_[i - 1]; }

  std::string bytes_;
  std::vector<std::size_t> ends_;
  std::uint64_t revision_ = 0;
};

/// The lines of a text split at CR LF, CR or LF; a final line break adds no empty line.
std::vector<std::string> splitLines(std::string_view text);
/// As splitLines, calling `progress` (when given) with the number of lines so far every few
/// thousand lines.
std::vector<std::string> splitLines(std::string_view text,
                                    const std::function<void(long long)>& progress);

}  // namespace kursolin
