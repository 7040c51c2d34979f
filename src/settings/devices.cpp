#include "settings/devices.h"

#include <algorithm>
#include <cctype>

#include "core/cp1252.h"

namespace kursolin {

namespace {

bool sameId(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string sectionOf(const std::string& id) {
  return kDeviceSectionPrefix + id;
}

// A number key as it stands; a text that is no whole number stays visible to the check of the
// profile (it becomes -1, which no profile allows) instead of silently turning into a default.
int numberKey(const Profile& p, const std::string& section, const char* key, int def) {
  const auto text = p.find(section, key);
  if (!text) return def;
  const auto v = parseProfileInt(*text);
  return v ? *v : -1;
}

}  // namespace

const std::vector<DeviceProfile>& shippedDeviceProfiles() {
  // Point limits that depend on the unit's firmware are defaults the user changes in the file.
  static const std::vector<DeviceProfile> shipped = {
      {"garmin-motorrad", "Garmin Motorrad-Navi (zumo): GPX Route mit Via- und Formpunkten", "gpx",
       "GPX/Inhalt=0;GPX/ViaFormpunkte=1", 0, 120},
      {"tomtom", "TomTom (ITN, 48 Punkte je Datei)", "itn", "", 48, 0},
      {"tomtom-gpx", "TomTom aktuelle Ger\xE4te (GPX Track)", "gpx",
       "GPX/Inhalt=1;GPX/ViaFormpunkte=0", 0, 0},
      {"navigon-mn5", "Navigon MN5", "mn5", "", 100, 0},
      {"tourenplaner", "Tourenplaner (BCR)", "bcr", "", 50, 0},
      {"falk", "Falk (PreviousDestination)", "falk", "", 90, 0},
  };
  return shipped;
}

std::vector<DeviceProfile> readDeviceProfiles(const Profile& p) {
  const auto fill = [&p](DeviceProfile d) {
    const std::string section = sectionOf(d.id);
    d.name = p.readString(section, "Name", d.name);
    d.format = p.readString(section, "Format", d.format);
    d.options = p.readString(section, "Optionen", d.options);
    d.perFile = numberKey(p, section, "ProDatei", d.perFile);
    d.pointLimit = numberKey(p, section, "Punkte", d.pointLimit);
    if (d.name.empty()) d.name = d.id;
    return d;
  };
  std::vector<DeviceProfile> devices;
  for (const DeviceProfile& d : shippedDeviceProfiles()) devices.push_back(fill(d));
  const std::string_view prefix = kDeviceSectionPrefix;
  for (const std::string& section : p.sections()) {
    if (section.size() <= prefix.size() || !sameId(section.substr(0, prefix.size()), prefix))
      continue;
    const std::string id = section.substr(prefix.size());
    const bool known = std::any_of(devices.begin(), devices.end(),
                                   [&](const DeviceProfile& d) { return sameId(d.id, id); });
    if (!known) devices.push_back(fill(DeviceProfile{.id = id}));
  }
  return devices;
}

void applyDeviceProfiles(Session& s, const Profile& p) {
  s.opt.devices = readDeviceProfiles(p);
  s.opt.Device.clear();
  s.opt.DevicePointLimit = 0;
  const std::string chosen = p.readString(kDeviceChoiceSection, kDeviceChoiceKey, "");
  if (const DeviceProfile* d = deviceProfile(s, chosen)) {
    s.opt.Device = d->id;
    s.opt.DevicePointLimit = std::max(0, d->pointLimit);
  }
}

void storeDeviceProfiles(const Session& s, Profile& p) {
  p.writeString(kDeviceChoiceSection, kDeviceChoiceKey, s.opt.Device);
  for (const DeviceProfile& d : shippedDeviceProfiles()) {
    const std::string section = sectionOf(d.id);
    // A profile the user changed stays as he left it; only a missing one is written.
    if (p.find(section, "Format")) continue;
    p.writeString(section, "Name", d.name);
    p.writeString(section, "Format", d.format);
    p.writeString(section, "Optionen", d.options);
    p.writeInt(section, "ProDatei", d.perFile);
    p.writeInt(section, "Punkte", d.pointLimit);
  }
}

const DeviceProfile* deviceProfile(const Session& s, const std::string& id) {
  if (id.empty()) return nullptr;
  for (const DeviceProfile& d : s.opt.devices) {
    if (sameId(d.id, id)) return &d;
  }
  return nullptr;
}

}  // namespace kursolin
