#include "dialogs/settings_dialog.h"

#include "core/ranges.h"
#include "formats/registry.h"

namespace kursolin {

std::string separatorOfChoice(SeparatorChoice c) {
  switch (c) {
    case SeparatorChoice::Komma:
      return ",";
    case SeparatorChoice::Semikolon:
      return ";";
    case SeparatorChoice::Strich:
      return "|";
    case SeparatorChoice::Punkt:
      return ".";
    case SeparatorChoice::Tabulator:
      return "\t";
    case SeparatorChoice::Free:
    case SeparatorChoice::None:
      break;
  }
  return {};
}

std::string separatorChoiceCaption(SeparatorChoice c) {
  switch (c) {
    case SeparatorChoice::Komma:
      return "\",\"  -  Komma";
    case SeparatorChoice::Semikolon:
      return "\";\"  -  Semikolon";
    case SeparatorChoice::Strich:
      return "\"|\"  -  Strich";
    case SeparatorChoice::Punkt:
      return "\".\"  -  Punkt";
    case SeparatorChoice::Tabulator:
      return "\"Tab\"  -  Tabulator";
    case SeparatorChoice::Free:
      return " Anderes Zeichen";
    case SeparatorChoice::None:
      break;
  }
  return {};
}

std::string separatorDisplayText(const std::string& separator) {
  // Captions name the separator; a raw tab would show as a gap. The settings file gives the
  // word for the same character.
  return separator == "\t" ? std::string("Tab") : separator;
}

SettingsDialogModel::SettingsDialogModel(Session& s) : s_(s), pages_(settingsPages()) {
  // The first two pages with separator choices: the one that reads, then the one that writes.
  int side = 0;
  for (const OptionPage* page : pages_) {
    if (side > 1) break;
    SeparatorPage& p = separators_[static_cast<std::size_t>(side)];
    p.separator = optionWithRole(*page, FieldRole::Separator);
    if (!p.separator) continue;
    p.free = optionWithRole(*page, FieldRole::FreeSeparator);
    p.freeCharacter = optionWithRole(*page, FieldRole::FreeCharacter);
    p.latFirst = optionWithRole(*page, FieldRole::LatitudeFirst);
    p.shown = optionWithRole(*page, FieldRole::ShownSeparator);
    ++side;
  }
}

bool SettingsDialogModel::inputSeparatorChanged() const {
  return inputOptionsChanged(s_);
}

const std::string& SettingsDialogModel::text(const OptionInfo* o) const {
  static const std::string none;
  return o ? std::get<std::string>(s_.opt.formats.value(*o)) : none;
}

bool SettingsDialogModel::flag(const OptionInfo* o) const {
  return o && std::get<bool>(s_.opt.formats.value(*o));
}

void SettingsDialogModel::FormShow() {
  markInputOptionsSeen(s_);

  // The fixed choices follow the separator; each one that becomes chosen sets the separator
  // (and so clears the free flag) before the free choice takes the flag as it then stands.
  for (SeparatorSide side : {SeparatorSide::Input, SeparatorSide::Output}) {
    const SeparatorPage& p = separators_[index(side)];
    if (!p.separator) continue;
    for (SeparatorChoice c : kFixedSeparatorChoices) {
      setChecked(side, c, text(p.separator) == separatorOfChoice(c));
    }
    setChecked(side, SeparatorChoice::Free, flag(p.free));
  }

  // Each number field runs its change rule, so a stored value outside its range comes back as
  // the nearer bound.
  for (const OptionPage* page : pages_) {
    for (const OptionFieldRef& f : fieldsOn(*page)) {
      if (f.option->type == OptionType::Integer && !f.option->choices &&
          f.field->role == FieldRole::Value)
        NumberFieldChange(*f.option, fieldValue(*f.option));
    }
  }

  const SeparatorPage& in = separators_[0];
  if (in.shown) s_.opt.formats.setValue(*in.shown, separatorDisplayText(text(in.separator)));
}

void SettingsDialogModel::setChecked(SeparatorSide side, SeparatorChoice c, bool checked) {
  SeparatorChoice& current = chosen_[index(side)];
  if (checked) {
    if (current == c) return;
    current = c;
    applyChoice(side);
  } else if (current == c) {
    // Clearing the chosen choice by program leaves none chosen and the separator as it is.
    current = SeparatorChoice::None;
  }
}

void SettingsDialogModel::applyChoice(SeparatorSide side) {
  const SeparatorPage& p = separators_[index(side)];
  if (!p.separator) return;
  const SeparatorChoice c = chosen_[index(side)];
  const bool free = c == SeparatorChoice::Free;
  const std::string sep = free ? freeText(side) : separatorOfChoice(c);
  s_.opt.formats.setValue(*p.separator, sep);
  if (p.free) s_.opt.formats.setValue(*p.free, free);
  if (p.shown) s_.opt.formats.setValue(*p.shown, separatorDisplayText(sep));
}

void SettingsDialogModel::SeparatorClick(SeparatorSide side, SeparatorChoice c) {
  if (c == SeparatorChoice::None) return;
  setChecked(side, c, true);
}

const std::string& SettingsDialogModel::freeText(SeparatorSide side) const {
  return text(separators_[index(side)].freeCharacter);
}

void SettingsDialogModel::FreeEditChange(SeparatorSide side, const std::string& text) {
  if (const OptionInfo* o = separators_[index(side)].freeCharacter)
    s_.opt.formats.setValue(*o, text.substr(0, 1));
}

bool SettingsDialogModel::latFirst(SeparatorSide side) const {
  return flag(separators_[index(side)].latFirst);
}

void SettingsDialogModel::LatFirstClick(SeparatorSide side, bool latFirst) {
  if (const OptionInfo* o = separators_[index(side)].latFirst)
    s_.opt.formats.setValue(*o, latFirst);
}

int SettingsDialogModel::fieldValue(const OptionInfo& option) const {
  return static_cast<int>(std::get<long long>(s_.opt.formats.value(option)));
}

void SettingsDialogModel::NumberFieldChange(const OptionInfo& option, long long value) {
  // Every field of the option shows the one value, so a twin on another page follows at once
  // without a change of its own.
  s_.opt.formats.setValue(option, static_cast<long long>(option.range.clamp(value)));
}

void SettingsDialogModel::TextFieldChange(const OptionInfo& option, const std::string& text) {
  if (option.type == OptionType::Text) s_.opt.formats.setValue(option, text);
}

bool SettingsDialogModel::BrowseFile(const OptionInfo& option, const OptionField& field) {
  FileDialogRequest req;
  req.title = std::string(field.label) + " ausw\xE4hlen";
  req.filter = field.filter;
  const std::string& now = fieldText(option);
  const std::size_t slash = now.find_last_of('/');
  if (slash != std::string::npos) {
    req.initialDir = now.substr(0, slash + 1);
    req.fileName = now.substr(slash + 1);
  }
  const auto chosen = s_.port().openFile(req);
  if (!chosen) return false;
  TextFieldChange(option, *chosen);
  return true;
}

void SettingsDialogModel::HKorEditChange(long long value) {
  s_.opt.HKorEdit = kHKorEditRange.clamp(value);
}

void SettingsDialogModel::HoeheNullClick(bool checked) {
  s_.opt.HoeheNull = checked;
}

bool SettingsDialogModel::boxChecked(const OptionInfo& option) const {
  return flag(&option);
}

void SettingsDialogModel::BoxChange(const OptionInfo& option, bool checked) {
  if (*option.fixedHint) return;
  s_.opt.formats.setValue(option, checked);
}

void SettingsDialogModel::warnIfChecked(const OptionInfo& option) {
  if (!*option.warning || !boxChecked(option)) return;
  s_.port().prompt(PromptKind::Warning, PromptButtons::Ok, option.warning);
}

void SettingsDialogModel::BoxKeyUp(const OptionInfo& option) {
  warnIfChecked(option);
}

void SettingsDialogModel::BoxMouseUp(const OptionInfo& option, bool leftButton) {
  if (leftButton) warnIfChecked(option);
}

}  // namespace kursolin
