#pragma once
// Position arithmetic on texts with 1-based positions and the forgiving copy rule of the desktop
// platform: copies that reach outside the text give what lies inside it, or an empty text.

#include <string>
#include <string_view>
#include <vector>

namespace kursolin {

/// 1-based position of the first occurrence of `what` in s, 0 when absent.
int pos(std::string_view what, std::string_view s);

/// 1-based position of the first occurrence of c in s, 0 when absent.
int pos(char c, std::string_view s);

/// `count` characters of s from the 1-based position `index`. An index below 1 shortens the
/// count by the positions before the text; an index past the end or a count below 1 give "".
std::string copy(std::string_view s, long long index, long long count);
/// copy() as a view into s, for comparisons that need no string of their own.
std::string_view copyView(std::string_view s, long long index, long long count);

/// Number of occurrences of c in s.
int countChar(std::string_view s, char c);

/// The pieces of s between the separators, the text after the last one included ("a|b|" gives
/// "a", "b" and "").
std::vector<std::string> splitAt(std::string_view s, char separator);

/// s with its first occurrence of `from` replaced by `to`.
std::string replaceFirst(std::string s, char from, char to);

/// true when s, compared as a byte string, sorts after the one-character text c
/// (the emptiness test of the panes: anything starting at or below c counts as empty).
bool sortsAfter(std::string_view s, char c);

}  // namespace kursolin
