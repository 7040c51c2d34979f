#pragma once
// Every file format of the program, one row each on the input side and on the output side, as the
// converter sees it; how each presents itself is workflow/presentation's.

#include <string>
#include <string_view>
#include <vector>

#include "formats/format.h"

namespace kursolin {

/// Every input code, 7 included, in the order of the menu.
const std::vector<InputFormatInfo>& inputFormats();
/// The row of a code, or nullptr.
const InputFormatInfo* inputFormat(int code);
/// The row named by its kursolin-cli name or its code, or nullptr.
const InputFormatInfo* inputFormatNamed(const std::string& nameOrCode);
/// true when this version can read the format.
bool inputFormatAvailable(int code);

/// The input codes format detection tries, in the order that decides between formats whose
/// content tests both accept a file (after the file's extension).
const std::vector<int>& detectionOrder();

/// The output formats in the order the emitter tests their flags (also the menu order).
const std::vector<OutputFormatInfo>& outputFormats();
/// The row of a code, or nullptr for a code outside the table.
const OutputFormatInfo* outputFormat(int code);
/// The row named by its kursolin-cli name or its code, or nullptr.
const OutputFormatInfo* outputFormatNamed(const std::string& nameOrCode);
/// The row of the chosen output format (OutputFormat), or nullptr for a code outside the table.
const OutputFormatInfo* chosenOutputFormat(const Session& s);
/// true when the code names a format this version can write.
bool outputFormatAvailable(int code);

/// Every option of the formats once, in the order of the rows (inputs first), then the map's
/// options (session/map_options.h), which no format owns but which are stored and shown alike.
const std::vector<const OptionInfo*>& allFormatOptions();
/// The option stored under section/key (ASCII letter case ignored), or nullptr.
const OptionInfo* findFormatOption(std::string_view section, std::string_view key);
/// One field of an option.
struct OptionFieldRef {
  const OptionInfo* option;
  const OptionField* field;
};
/// The pages of the settings dialog the formats' options are shown on, in their order.
std::vector<const OptionPage*> settingsPages();
/// The fields on a page (or a group), in the order of the rows.
std::vector<OptionFieldRef> fieldsOn(const OptionPage& page);
/// The groups that stand in a panel, in their order.
std::vector<const OptionPage*> groupsOf(const OptionPage& panel);
/// The option of the page whose field has the role, or nullptr.
const OptionInfo* optionWithRole(const OptionPage& page, FieldRole role);

/// The values of the options whose change wants the input loaded again, as one text: a change of
/// the text is a change of one of them.
std::string inputOptionsKey(const Session& s);
/// After the input was loaded with the options in force (or the settings dialog opened): a
/// change from now on wants it loaded again.
void markInputOptionsSeen(Session& s);
/// Whether such an option changed since.
bool inputOptionsChanged(const Session& s);

/// The output flags the rules test, derived from the chosen output format.
bool OutMN4(const Session& s);
bool OutMN42(const Session& s);
bool OutMN5(const Session& s);
bool OutTT(const Session& s);
bool OutAuto(const Session& s);
bool OutBCR(const Session& s);
bool OutCSV(const Session& s);
bool OutFPrv(const Session& s);
bool OutGMS(const Session& s);
bool OutGM(const Session& s);
bool OutDG(const Session& s);
bool OutMer(const Session& s);
bool OutGPX(const Session& s);

}  // namespace kursolin
