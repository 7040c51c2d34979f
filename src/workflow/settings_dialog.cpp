#include "workflow/settings_dialog.h"

#include "core/ranges.h"
#include "formats/navigon.h"

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

SettingsDialogModel::SettingsDialogModel(Session& s) : s_(s) {
  fields_[static_cast<int>(SplitField::MpMNEdit)] = s.opt.MpMN;
  fields_[static_cast<int>(SplitField::MNSpinEdit)] = s.opt.MpMN;
  fields_[static_cast<int>(SplitField::MpTTEdit)] = s.opt.MpTT3;
  fields_[static_cast<int>(SplitField::TTSpinEdit)] = s.opt.MpTT3;
  fields_[static_cast<int>(SplitField::MpMTPEdit)] = s.opt.MpMTP;
  fields_[static_cast<int>(SplitField::MpFalkEdit)] = s.opt.MpFalk;
}

void SettingsDialogModel::FormShow() {
  s_.opt.SeparatorAtSettings = s_.opt.InputSeparator;

  // The fixed choices follow the separator; each one that becomes chosen sets the separator
  // (and so clears the free flag) before the free choice takes the flag as it then stands.
  for (SeparatorSide side : {SeparatorSide::Input, SeparatorSide::Output}) {
    for (SeparatorChoice c : kFixedSeparatorChoices) {
      const std::string& sep =
          side == SeparatorSide::Input ? s_.opt.InputSeparator : s_.opt.OutputSeparator;
      setChecked(side, c, sep == separatorOfChoice(c));
    }
    const bool free = side == SeparatorSide::Input ? s_.opt.InputFreeSeparator : s_.opt.OutputFreeSeparator;
    setChecked(side, SeparatorChoice::Free, free);
  }

  SplitFieldChange(SplitField::MpMNEdit, s_.opt.MpMN);
  SplitFieldChange(SplitField::MpTTEdit, s_.opt.MpTT3);
  SplitFieldChange(SplitField::MpMTPEdit, s_.opt.MpMTP);
  SplitFieldChange(SplitField::MpFalkEdit, s_.opt.MpFalk);

  s_.opt.InputSeparatorText = separatorDisplayText(s_.opt.InputSeparator);
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
  const SeparatorChoice c = chosen_[index(side)];
  const bool free = c == SeparatorChoice::Free;
  const std::string sep = free ? freeText(side) : separatorOfChoice(c);
  if (side == SeparatorSide::Input) {
    s_.opt.InputSeparator = sep;
    s_.opt.InputFreeSeparator = free;
    s_.opt.InputSeparatorText = separatorDisplayText(sep);
  } else {
    s_.opt.OutputSeparator = sep;
    s_.opt.OutputFreeSeparator = free;
  }
}

void SettingsDialogModel::SeparatorClick(SeparatorSide side, SeparatorChoice c) {
  if (c == SeparatorChoice::None) return;
  setChecked(side, c, true);
}

const std::string& SettingsDialogModel::freeText(SeparatorSide side) const {
  return side == SeparatorSide::Input ? s_.opt.TEFreeEdit : s_.opt.TAFreeEdit;
}

void SettingsDialogModel::FreeEditChange(SeparatorSide side, const std::string& text) {
  std::string& field = side == SeparatorSide::Input ? s_.opt.TEFreeEdit : s_.opt.TAFreeEdit;
  field = text.substr(0, 1);
}

bool SettingsDialogModel::latFirst(SeparatorSide side) const {
  return side == SeparatorSide::Input ? s_.opt.InputLatFirst : s_.opt.OutputLatFirst;
}

void SettingsDialogModel::LatFirstClick(SeparatorSide side, bool latFirst) {
  (side == SeparatorSide::Input ? s_.opt.InputLatFirst : s_.opt.OutputLatFirst) = latFirst;
}

void SettingsDialogModel::SplitFieldChange(SplitField f, long long value) {
  const int v = kSplitMaxRange.clamp(value);
  fields_[static_cast<int>(f)] = v;
  // A twin only takes the value; it does not run its own change again, so no loop can start.
  auto mirror = [&](SplitField twin) { fields_[static_cast<int>(twin)] = v; };
  switch (f) {
    case SplitField::MpMNEdit:
    case SplitField::MNSpinEdit:
      s_.opt.MpMN = v;
      mirror(f == SplitField::MpMNEdit ? SplitField::MNSpinEdit : SplitField::MpMNEdit);
      break;
    case SplitField::MpTTEdit:
    case SplitField::TTSpinEdit:
      s_.opt.MpTT3 = v;
      mirror(f == SplitField::MpTTEdit ? SplitField::TTSpinEdit : SplitField::MpTTEdit);
      break;
    case SplitField::MpMTPEdit:
      s_.opt.MpMTP = v;
      break;
    case SplitField::MpFalkEdit:
      s_.opt.MpFalk = v;
      break;
  }
}

void SettingsDialogModel::HKorEditChange(long long value) {
  s_.opt.HKorEdit = kHKorEditRange.clamp(value);
}

void SettingsDialogModel::HoeheNullClick(bool checked) {
  s_.opt.HoeheNull = checked;
}

bool SettingsDialogModel::showOrt(ShowOrtBox box) const {
  switch (box) {
    case ShowOrtBox::MN4ShowOrt:
      return s_.opt.MN4ShowOrt;
    case ShowOrtBox::MN42ShowOrt:
      return s_.opt.MN42ShowOrt;
    case ShowOrtBox::MN5ShowOrt:
      return s_.opt.MN5ShowOrt;
  }
  return false;
}

void SettingsDialogModel::ShowOrtChange(ShowOrtBox box, bool checked) {
  switch (box) {
    case ShowOrtBox::MN4ShowOrt:
      s_.opt.MN4ShowOrt = checked;
      break;
    case ShowOrtBox::MN42ShowOrt:
      s_.opt.MN42ShowOrt = checked;
      break;
    case ShowOrtBox::MN5ShowOrt:
      s_.opt.MN5ShowOrt = checked;
      break;
  }
}

void SettingsDialogModel::warnIfChecked(ShowOrtBox box) {
  if (!showOrt(box)) return;
  if (box == ShowOrtBox::MN4ShowOrt) {
    s_.port().prompt(PromptKind::Warning, PromptButtons::Ok, mn4ShowOrtWarning());
  } else if (box == ShowOrtBox::MN42ShowOrt) {
    s_.port().prompt(PromptKind::Warning, PromptButtons::Ok, mn42ShowOrtWarning());
  }
}

void SettingsDialogModel::ShowOrtKeyUp(ShowOrtBox box) {
  warnIfChecked(box);
}

void SettingsDialogModel::ShowOrtMouseUp(ShowOrtBox box, bool leftButton) {
  if (leftButton) warnIfChecked(box);
}

}  // namespace kursolin
