#pragma once
// The text-line lists behind the two panes.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kursolin {

class TextLines {
 public:
  /// Longest text a single read of a line yields.
  static constexpr std::size_t kMaxLineRead = 4096;

  /// Number of lines; an empty last line after a final line break is not counted.
  int Count() const { return static_cast<int>(lines_.size()); }
  bool empty() const { return lines_.empty(); }

  /// The line at index, at most kMaxLineRead characters; "" outside 0 .. Count-1.
  std::string at(long long index) const;
  /// The whole line without the read limit, "" outside the list.
  const std::string& full(long long index) const;

  void add(std::string line);
  void clear();
  /// Replaces the content by the lines of a text (line ends CR LF, CR or LF).
  void setText(std::string_view text);
  /// As setText, calling `progress` with the number of lines split so far now and then.
  void setText(std::string_view text, const std::function<void(long long)>& progress);
  /// Replaces the content by the given lines.
  void assign(std::vector<std::string> lines);
  /// All lines, each followed by CR LF.
  std::string text() const;

  const std::vector<std::string>& lines() const { return lines_; }
  /// Grows with every change, so a view can tell whether it must redraw.
  std::uint64_t revision() const { return revision_; }

 private:
  std::vector<std::string> lines_;
  std::uint64_t revision_ = 0;
};

/// The lines of a text split at CR LF, CR or LF; a final line break adds no empty line.
std::vector<std::string> splitLines(std::string_view text);
/// As splitLines, calling `progress` (when given) with the number of lines so far every few
/// thousand lines.
std::vector<std::string> splitLines(std::string_view text,
                                    const std::function<void(long long)>& progress);

}  // namespace kursolin
