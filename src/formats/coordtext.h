#pragma once
// Coordinate pairs in text files, one pair a line, in four notations (degree-minute-second,
// degree-minute, decimal degrees, Mercator), separated by the separator of the settings.

#include <string>

#include "core/session.h"

namespace kursolin {

/// InputLabel of the four text inputs; they name the input separator.
std::string textGmsLabel(const Session& s);
std::string textGmLabel(const Session& s);
std::string textDgLabel(const Session& s);
std::string textMerLabel(const Session& s);

/// Input pane captions when a file fails the check.
std::string textGmsFailureCaption(const Session& s);
std::string textGmFailureCaption(const Session& s);
std::string textDgFailureCaption(const Session& s);
std::string textMerFailureCaption(const Session& s);

/// Error box texts when a file fails the check.
std::string textGmsMessage(const Session& s);
std::string textGmMessage(const Session& s);
std::string textDgMessage(const Session& s);
std::string textMerMessage(const Session& s);

}  // namespace kursolin
