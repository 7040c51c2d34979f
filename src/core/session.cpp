#include "core/session.h"

namespace kursolin {

Session::Session(UserPort& port, const HostSettings& host) : port_(&port) { setHost(host); }

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

}  // namespace kursolin
