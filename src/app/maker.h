#pragma once
// Who makes the program, as the about box, the help page's caption and the main window name it.

namespace kursolin::gui {

/// The maker named in captions and the about box.
inline constexpr char kMakerName[] = "Kursolin-Projekt";
/// The year of this release.
inline constexpr char kReleaseYear[] = "2026";
/// The maker's e-mail address (a placeholder until the project has one).
inline constexpr char kMakerEmail[] = "kontakt@kursolin.invalid";
/// The maker's web address (a placeholder until the project has one).
inline constexpr char kMakerWeb[] = "https://kursolin.invalid/";

}  // namespace kursolin::gui
