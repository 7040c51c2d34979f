#pragma once
// The plan of part files for a route longer than a format's per-file maximum, and their names.

#include <string>

namespace kursolin {

/// How a route is divided into part files.
struct SplitPlan {
  int SplitSize = 1;           // points a full file
  int SplitFiles = 0;          // full files
  int SplitRest = 0;           // points of the partial file after them
  bool SplitRestFile = false;  // there is a partial file

  /// Number of files: the full ones and a partial one.
  int fileCount() const { return SplitFiles + (SplitRestFile ? 1 : 0); }
};

/// The plan for perFile points a file (at least 1) over count points.
SplitPlan planSplitOver(int count, int perFile);

/// The suffix of part file i (1-based) of a plan with `splitFiles` full files: "" for file 1,
/// else "_" and i - 1 zero-padded to the digits of `splitFiles` ("_1", "_01", ...).
std::string partFileSuffix(int i, int splitFiles);

/// The name of part file i (1-based) of a plan with `splitFiles` full files: file 1 unchanged,
/// later files with "_" and i - 1 (zero-padded by the plan's size) before the last four characters
/// of the file name (a name shorter than that: before its extension, or at its end).
std::string partFileName(const std::string& chosen, int i, int splitFiles);

/// true when a plan of that many full files can be named (fewer than 10000).
bool splitPlanNameable(int splitFiles);

/// The message refusing a plan whose part files cannot be named.
std::string splitTooManyFilesText(const SplitPlan& plan);

}  // namespace kursolin
