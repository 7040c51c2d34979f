#pragma once
// A profile (INI) file that reads and writes like the Windows private-profile functions, but
// leaves every line it does not write exactly as it found it and replaces the file in one step.
//
// Section and key names match without regard to ASCII letter case. A value is read with its
// surrounding blanks and one pair of enclosing quotes removed, at most kMaxValueRead characters.
// Bytes are cp1252 and pass through untouched.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kursolin {

/// How reading a profile file went.
enum class ProfileReadStatus {
  Read,        // the file was there and has been read
  Missing,     // no such file: an empty profile
  Unreadable,  // the file exists but could not be read: an empty profile
};

/// The text of a raw value as the profile functions hand it out: blanks around it and one pair
/// of enclosing quotes (" or ') removed, cut to kMaxValueRead characters.
std::string profileValueText(std::string_view raw);

/// An integer in profile notation: decimal with optional sign, or hexadecimal when the text is
/// longer than two characters and begins with "0x" / "0X"; nullopt when it is no whole number
/// or does not fit an int.
std::optional<int> parseProfileInt(std::string_view text);

/// A number with fraction written with the decimal separator sep; nullopt when unreadable.
std::optional<long double> parseProfileFloat(std::string_view text, char sep);

class Profile {
 public:
  /// Longest value text a read yields.
  static constexpr std::size_t kMaxValueRead = 2047;
  /// The largest settings file read; a larger one counts as unreadable.
  static constexpr std::size_t kMaxSettingsFileBytes = 1 << 20;

  Profile() = default;

  /// The profile held in the bytes of a file (line ends CR LF, LF or CR, kept as found).
  static Profile fromBytes(std::string_view bytes);

  /// Reads a file into out. A missing or unreadable file leaves out empty; for an unreadable one
  /// error receives the reason.
  static ProfileReadStatus readFile(const std::string& path, Profile& out,
                                    std::string* error = nullptr);

  /// The bytes of the file as it stands now.
  std::string bytes() const;

  /// Replaces the file at path by this profile: written to a temporary file in the same folder,
  /// flushed to disk and renamed over the target, so a failure leaves the old file as it was.
  /// false with the reason in error when that fails.
  bool writeFile(const std::string& path, std::string* error = nullptr) const;

  /// The names of the sections in the order of the file.
  std::vector<std::string> sections() const;

  /// The value text of a key (see profileValueText), nullopt when the section or key is missing.
  std::optional<std::string> find(std::string_view section, std::string_view key) const;

  /// The value of a text key, def when missing; a key present with an empty value gives "".
  std::string readString(std::string_view section, std::string_view key,
                         const std::string& def) const;
  /// The value of an integer key, def when missing or no whole number.
  int readInt(std::string_view section, std::string_view key, int def) const;
  /// A boolean read as integer: any non-zero value is true; def when missing or unreadable.
  bool readBool(std::string_view section, std::string_view key, bool def) const;
  /// A number with fraction in the notation of sep, def when missing or unreadable.
  long double readFloat(std::string_view section, std::string_view key, long double def,
                        char sep) const;

  /// Sets a key: its first line in the section is replaced in place, or a new line goes after the
  /// section's last non-blank line; a missing section is added at the end. CR and LF in the value
  /// are dropped, since they would break the line structure.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  /// Writes an integer in decimal digits.
  void writeInt(std::string_view section, std::string_view key, long long value);
  /// Writes a boolean as "1" or "0".
  void writeBool(std::string_view section, std::string_view key, bool value);
  /// Writes a number in the shortest general form with the decimal separator sep.
  void writeFloat(std::string_view section, std::string_view key, long double value, char sep);

 private:
  struct Line {
    std::string text;  // without its line end
    std::string eol;   // "\r\n", "\n", "\r" or "" for a last line without one
  };

  // Index range [begin, end) of the lines of the first section of that name; begin is the header.
  struct SectionSpan {
    std::size_t begin, end;
  };

  std::optional<SectionSpan> findSection(std::string_view section) const;
  std::optional<std::size_t> findKey(const SectionSpan& span, std::string_view key) const;
  std::string_view lineContent(std::size_t index) const;

  std::vector<Line> lines_;
};

}  // namespace kursolin
