#pragma once
// The main window's port: its own hooks (captions, status, busy cursor, focus, repaint) always
// run; the questions (prompts, file dialogs, split dialog) go to the Qt dialogs, or to the port a
// test gives instead.

#include "app/qtport.h"
#include "session/port.h"
#include "session/split_view.h"

namespace kursolin::gui {

class WindowPort : public UserPort {
 public:
  WindowPort(QtPort& qt, UserPort* dialogs) : qt_(qt), dialogs_(dialogs) {}

  PromptAnswer prompt(PromptKind kind, PromptButtons buttons, const std::string& text) override {
    return ask().prompt(kind, buttons, text);
  }
  std::optional<std::string> openFile(const FileDialogRequest& request) override {
    return ask().openFile(request);
  }
  std::optional<std::string> saveFile(const FileDialogRequest& request) override {
    return ask().saveFile(request);
  }
  std::optional<std::string> browseFolder(const std::string& title) override {
    return ask().browseFolder(title);
  }
  bool showSplitDialog(SplitDialogView& dialog) override { return ask().showSplitDialog(dialog); }
  ProcessOutcome runProcess(const ProcessRequest& request) override {
    return ask().runProcess(request);
  }
  bool waitWhile(const std::string& text, const std::function<bool()>& step) override {
    return ask().waitWhile(text, step);
  }
  void processPendingEvents() override {
    qt_.processPendingEvents();
    if (dialogs_) dialogs_->processPendingEvents();
  }
  void setInputCaption(const std::string& text) override {
    qt_.setInputCaption(text);
    if (dialogs_) dialogs_->setInputCaption(text);
  }
  void setOutputCaption(const std::string& text) override {
    qt_.setOutputCaption(text);
    if (dialogs_) dialogs_->setOutputCaption(text);
  }
  void setStatusText(const std::string& text) override {
    qt_.setStatusText(text);
    if (dialogs_) dialogs_->setStatusText(text);
  }
  void showProgress(const std::string& text) override {
    qt_.showProgress(text);
    if (dialogs_) dialogs_->showProgress(text);
  }
  void setBusy(bool busy) override {
    qt_.setBusy(busy);
    if (dialogs_) dialogs_->setBusy(busy);
  }
  void focusOutputPane() override {
    qt_.focusOutputPane();
    if (dialogs_) dialogs_->focusOutputPane();
  }
  void stateChanged() override {
    qt_.stateChanged();
    if (dialogs_) dialogs_->stateChanged();
  }

 private:
  UserPort& ask() { return dialogs_ ? *dialogs_ : static_cast<UserPort&>(qt_); }
  QtPort& qt_;
  UserPort* dialogs_;
};

}  // namespace kursolin::gui
