#include "session/map_options.h"

namespace kursolin {

const std::vector<std::string>& mapSourceNames() {
  static const std::vector<std::string> names = {"keine", "online", "Kartendatei"};
  return names;
}

const std::vector<const OptionInfo*>& mapOptions() {
  // The cache last: the dialog shows the fields in this order, the lists and texts together.
  static const std::vector<const OptionInfo*> options = {
      &MapSource.info, &MapUrl.info, &MapAttribution.info, &MapFile.info, &MapCacheMB.info};
  return options;
}

}  // namespace kursolin
