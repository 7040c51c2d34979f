#include "session/session.h"

namespace kursolin {

ShellState::ShellState() {
  for (const char* name :
       {"Route", "SaveNavi", "RouteReversAction", "RouteVerringern", "RPInfo", "Zeitangabe"})
    items[name].enabled = false;
  for (const char* name : {"Fehlermeldung", "N5", "FindButton", "HelpEditPanel", "Zeitangabe"})
    items[name].visible = false;
}

std::string outputCaptionWith(const ShellState& shell, long long count) {
  return shell.OutputLabel + "Routenpunkte := " + std::to_string(count);
}

Session::Session(UserPort& port, const HostSettings& host) : port_(&port) {
  setHost(host);
}

void Session::setHost(const HostSettings& host) {
  host_ = host;
  numbers = {host.DecimalSep, host.TimeSep};
}

void Session::setInputCaption(const std::string& text) {
  shell.inputCaption = text;
  port_->setInputCaption(text);
}

void Session::setOutputCaption(const std::string& text) {
  shell.outputCaption = text;
  port_->setOutputCaption(text);
}

void Session::setStatusText(const std::string& text) {
  shell.statusText = text;
  port_->setStatusText(text);
}

}  // namespace kursolin
