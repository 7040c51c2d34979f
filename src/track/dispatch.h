#pragma once
// The record dispatch: the generators read every input format through Get_A / Get_B, which call
// the reader registered for InputFormat.

#include <string>

#include "core/session.h"

namespace kursolin {

/// A record reader: parses one line (0-based index) into CurrentPoint; true for a usable record.
using RecordReader = bool (*)(Session& s, const std::string& line, int index);

/// The reader of an input format code, or nullptr when there is none (yet).
RecordReader readerFor(int inputFormat);

/// Parses one record with the reader of the input format.
bool Get_A(Session& s, const std::string& line, int index);

/// The second record of a point (VTG for GGA + VTG), else the validity of the first.
bool Get_B(Session& s, const std::string& line, int index);

}  // namespace kursolin
