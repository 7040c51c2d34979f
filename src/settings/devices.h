#pragma once
// Target device profiles in the settings file: one section "[Geraet ID]" per profile, with the
// keys Name, Format, Optionen, ProDatei and Punkte, and the chosen one in "[Zielgeraet]"
// Profil=ID. The shipped profiles are written into the file when it lacks them, so the user sees
// them there and can change them; a section of another ID adds a profile.

#include <string>
#include <vector>

#include "session/options.h"
#include "session/session.h"
#include "settings/profile.h"

namespace kursolin {

/// The section of the chosen profile and its key.
inline constexpr char kDeviceChoiceSection[] = "Zielgeraet";
inline constexpr char kDeviceChoiceKey[] = "Profil";
/// The beginning of a profile's section name; the rest is its id.
inline constexpr char kDeviceSectionPrefix[] = "Geraet ";

/// The profiles this version ships, in menu order.
const std::vector<DeviceProfile>& shippedDeviceProfiles();

/// The profiles of a settings file: the shipped ones as the file has them (a key it lacks keeps
/// the shipped value), then those it adds, in the order of its sections.
std::vector<DeviceProfile> readDeviceProfiles(const Profile& p);

/// Reads the profiles and the chosen one into the session (an id no profile has: none chosen).
void applyDeviceProfiles(Session& s, const Profile& p);

/// Writes the chosen profile, and every shipped profile the file has no section for.
void storeDeviceProfiles(const Session& s, Profile& p);

/// The profile with this id (ASCII letter case ignored), nullptr when there is none.
const DeviceProfile* deviceProfile(const Session& s, const std::string& id);

}  // namespace kursolin
