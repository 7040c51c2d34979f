#pragma once
// Writing the files of a route one after another, for the formats whose files are built by their
// own writer: each file whole or not at all, and a message that names what was already written.

#include <string>
#include <vector>

#include "session/session.h"

namespace kursolin {

/// true when the part files of the session's split plan can be named; else tells the user, before
/// anything is written.
bool splitPlanUsable(Session& s);

/// The files of one save, written in order; remembers which ones are on disk.
class PartFileWriter {
 public:
  /// A save of `files` files (1: no split).
  PartFileWriter(Session& s, int files) : s_(s), files_(files) {}

  /// Writes file i (1-based) safely. On failure tells the user which file failed, why, and which
  /// files were written before; false then.
  bool write(int i, const std::string& path, const std::vector<std::string>& lines);

  /// Stops the save before file i: tells the user the reason, that this file and the later ones
  /// were not written, and which files were written before.
  void stop(int i, const std::string& path, const std::string& reason);

  /// The paths written so far.
  const std::vector<std::string>& written() const { return written_; }

  /// After the last file: the save dialog opens next time in the folder of the chosen file.
  void remember(const std::string& chosen);

 private:
  std::string notWrittenText(int i, const std::string& path) const;
  std::string writtenText() const;

  Session& s_;
  int files_;
  std::vector<std::string> written_;
};

}  // namespace kursolin
