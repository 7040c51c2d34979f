#pragma once
// All working state of one running program, in three parts by what they hold: the document (the
// loaded and the produced lines), the options (what the user chose) and the shell state (what the
// windows show). Beside them the record being read, the state of the run, the host's settings and
// the port to the user. The main window (or the batch converter) owns exactly one; tests make as
// many as they like.

#include <string>

#include "core/host.h"
#include "core/numtext.h"
#include "core/point.h"
#include "session/document.h"
#include "session/options.h"
#include "session/port.h"
#include "session/shell.h"

namespace kursolin {

class Session {
 public:
  Session(UserPort& port, const HostSettings& host);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  UserPort& port() { return *port_; }
  void setPort(UserPort& port) { port_ = &port; }
  const HostSettings& host() const { return host_; }
  /// Changes the regional settings (tests, command-line override).
  void setHost(const HostSettings& host);

  /// Caption of the input pane, kept and passed to the port.
  void setInputCaption(const std::string& text);
  /// Caption of the output pane, kept and passed to the port.
  void setOutputCaption(const std::string& text);
  /// Status line text, kept and passed to the port.
  void setStatusText(const std::string& text);
  const std::string& inputCaption() const { return shell.inputCaption; }
  const std::string& outputCaption() const { return shell.outputCaption; }
  const std::string& statusText() const { return shell.statusText; }

  Document doc;
  Options opt;
  ShellState shell;

  // --- The record being read and the state of the run ---
  PointRecord CurrentPoint;
  bool AbortRequested = false;
  /// The user's "Abbrechen" of a route being made; the generator stops before its next record.
  /// Kept apart from AbortRequested, which every record read resets.
  bool cancelRequested = false;
  /// True while a generator run adds points: until it ends, the route has no destination.
  bool routeInProgress = false;
  /// Hours added to the record times shown during one generation.
  int ActiveTimeOffset = 0;

  // --- The host ---
  /// How numbers and times are written: the host's separators, or those the batch converter was
  /// told to use.
  NumberStyle numbers;
  std::string AppDir;  // ends in '/'
  /// The user's own settings folder, used when AppDir can't be written; ends in '/', "" none.
  std::string ConfigDir;

 private:
  UserPort* port_;
  HostSettings host_;
};

}  // namespace kursolin
