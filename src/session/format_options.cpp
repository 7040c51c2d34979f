#include "session/format_options.h"

namespace kursolin {

OptionValue optionDefault(const OptionInfo& o, const std::string& appDir) {
  switch (o.type) {
    case OptionType::Integer:
      return OptionValue(std::in_place_type<long long>, o.defaultNumber);
    case OptionType::Boolean:
      return OptionValue(std::in_place_type<bool>, o.defaultNumber != 0);
    case OptionType::Text:
      return OptionValue(std::in_place_type<std::string>,
                         o.defaultIsAppDir ? appDir : std::string(o.defaultText));
  }
  return {};
}

OptionValue& FormatOptionValues::slot(const OptionInfo& o) const {
  auto it = values_.find(&o);
  // A folder that was never set is still empty: the program's folder is set where the session
  // knows it (start-up, the settings file).
  if (it == values_.end()) it = values_.emplace(&o, optionDefault(o, std::string())).first;
  return it->second;
}

}  // namespace kursolin
