#include "core/session.h"

namespace kursolin {

Session::Session(UserPort& port, const HostSettings& host) : port_(&port) {
  setHost(host);
  // The state the windows have before anything is loaded or read from the settings.
  for (const char* name :
       {"Route", "SaveNavi", "RouteReversAction", "RouteVerringern", "RPInfo", "Zeitangabe"})
    ui_[name].enabled = false;
  for (const char* name : {"Fehlermeldung", "N5", "FindButton", "HelpEditPanel", "Zeitangabe"})
    ui_[name].visible = false;
}

void Session::setHost(const HostSettings& host) {
  host_ = host;
  DecimalSep = host.DecimalSep;
  TimeSep = host.TimeSep;
}

void Session::setInputCaption(const std::string& text) {
  inputCaption_ = text;
  port_->setInputCaption(text);
}

void Session::setOutputCaption(const std::string& text) {
  outputCaption_ = text;
  port_->setOutputCaption(text);
}

void Session::setStatusText(const std::string& text) {
  statusText_ = text;
  port_->setStatusText(text);
}

std::string outputCaptionWith(const Session& s, long long count) {
  return s.OutputLabel + "Routenpunkte := " + std::to_string(count);
}

}  // namespace kursolin
