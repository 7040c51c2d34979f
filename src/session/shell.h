#pragma once
// What the windows show besides the two panes: the state of the named menu items and controls,
// the captions and the status line, and the geometry the settings file keeps.

#include <map>
#include <string>

namespace kursolin {

/// Checked / enabled / visible state of one named menu item, action or control.
struct UiItem {
  bool checked = false;
  bool enabled = true;
  bool visible = true;
};

/// Window geometry as the settings file stores it.
struct WindowGeometry {
  int SizeH = 693, SizeW = 853, PosT = 20, PosH = 20;
  int NMH = 338, NMW = 440, NAH = 338, NAW = 398, STH = 223, STW = 843;
};

/// Place and size of the route picture window.
struct PictureGeometry {
  int T = 80, L = 120, W = 720, H = 540;
};

/// Keys that only a hand-edited settings file sets.
struct DebugSettings {
  bool Find = false;
  bool HelpEdit = false;
  bool ShowErrorMenu = false;
  bool ShowError = false;
};

struct ShellState {
  /// The state the windows have before anything is loaded or read from the settings.
  ShellState();

  /// The named menu item, action or control; created on first use.
  UiItem& item(const std::string& name) { return items[name]; }
  std::map<std::string, UiItem> items;

  /// Captions of the two panes and the status line, as last shown.
  std::string inputCaption;
  std::string outputCaption;
  std::string statusText;
  /// The chosen output format's label, before the point count in the output caption.
  std::string OutputLabel;
  /// Whether the menus, captions and labels show the chosen output format yet: a format read
  /// from the settings is applied once at start-up.
  bool outputFormatApplied = false;

  WindowGeometry geometry;
  PictureGeometry pictureGeometry;
  DebugSettings debug;
  bool ShowStartNotice = true;
  bool HideStartDialog = false;
};

/// "OutputLabel + Routenpunkte := count" for the output pane caption.
std::string outputCaptionWith(const ShellState& shell, long long count);

}  // namespace kursolin
