#include "app/helppage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QTextEdit>
#include <QVBoxLayout>

#include "app/maker.h"
#include "app/qtext.h"
#include "app/rtf.h"
#include "app/textpane.h"
#include "core/cp1252.h"

namespace kursolin::gui {

HelpPage::HelpPage(Session& s, QWidget* parent) : QDialog(parent), s_(s) {
  setObjectName(QStringLiteral("HilfeSeite"));
  setWindowTitle(
      toQString("Bedienungsanleitung  Kursolin   -   © "_cp + kReleaseYear + " " + kMakerName));
  setModal(true);
  setSizeGripEnabled(true);

  editPanel_ = new QFrame(this);
  editPanel_->setObjectName(QStringLiteral("HelpEditPanel"));
  editPanel_->setFrameShape(QFrame::StyledPanel);
  editPanel_->setFixedHeight(kHelpEditPanelHeight);
  saveBtn_ = new QPushButton(toQString("Änderungen Speichern"_cp), editPanel_);
  saveBtn_->setObjectName(QStringLiteral("SaveBtn"));
  connect(saveBtn_, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
  auto* bar = new QHBoxLayout(editPanel_);
  bar->setContentsMargins(8, 4, 8, 4);
  bar->addWidget(saveBtn_);
  bar->addStretch(1);
  editPanel_->setVisible(false);

  pane_ = new TextOnlyEdit<QTextEdit>(this);
  pane_->setObjectName(QStringLiteral("HelpRichEdit"));
  pane_->setAcceptRichText(true);
  pane_->setLineWrapMode(QTextEdit::NoWrap);
  pane_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  pane_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(editPanel_);
  layout->addWidget(pane_, 1);
  resize(960, 480);

  FormCreate();
}

std::string HelpPage::helpFilePath() const {
  const std::string beside = s_.AppDir + kHelpFileName;
  // An installed program keeps its manual in its data folder, not among the programs.
  const QString installed =
      QDir::cleanPath(toQString(s_.AppDir) + QStringLiteral(KURSOLIN_DATA_FROM_BIN "/") +
                      QString::fromLatin1(kHelpFileName));
  if (!QFileInfo::exists(toQString(beside)) && QFileInfo::exists(installed)) {
    return fromQString(installed);
  }
  return beside;
}

bool HelpPage::FormCreate() {
  const std::string path = helpFilePath();
  QFile file(toQString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    pane_->setPlainText(toQString("Bedienungsanleitung Kursolin nicht gefunden !"_cp));
    s_.port().prompt(PromptKind::Error, PromptButtons::Ok,
                     "Datei " + path + " kann nicht geöffnet werden"_cp);
    return false;
  }
  loadRichOrPlainText(file.readAll(), *pane_->document());
  pane_->moveCursor(QTextCursor::Start);
  return true;
}

bool HelpPage::SaveBtnClick() {
  const std::string path = helpFilePath();
  if (!writeRtfFile(toQString(path), *pane_->document())) {
    s_.port().prompt(PromptKind::Error, PromptButtons::Ok,
                     "Datei " + path + " kann nicht erstellt werden");
    return false;
  }
  return true;
}

void HelpPage::showEvent(QShowEvent* event) {
  if (!event->spontaneous()) {
    // The settings are read after the page was created, so the bar is decided at showing.
    const bool edit = s_.shell.debug.HelpEdit;
    s_.shell.item("HelpEditPanel").visible = edit;
    editPanel_->setVisible(edit);
  }
  QDialog::showEvent(event);
}

}  // namespace kursolin::gui
