#pragma once
// The plan of part files for a route longer than a format's per-file maximum, and their names.

#include <string>

#include "core/session.h"

namespace kursolin {

/// Sets the plan (SplitSize, SplitFiles, SplitRest, SplitRestFile) for perFile points a file
/// (at least 1) over count points.
void planSplitOver(Session& s, int count, int perFile);

/// Number of files of the plan in the session: the full ones and a partial one.
int splitFileCount(const Session& s);

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
std::string splitTooManyFilesText(const Session& s);

}  // namespace kursolin
