#include "app/helppage.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSet>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "app/maker.h"
#include "app/qtext.h"
#include "app/rtf.h"
#include "app/textpane.h"
#include "core/cp1252.h"

namespace kursolin::gui {

namespace {

// Where an entry's heading begins in the document.
constexpr int kPositionRole = Qt::UserRole;
// Widest the contents list starts: the manual has lines of some 650 pixels, and a long chapter
// title is better cut (its tooltip shows it whole) than every line of text.
constexpr int kContentsMaxWidth = 250;

qreal pointSizeOf(const QTextCharFormat& f, const QTextDocument& doc) {
  const qreal pt = f.fontPointSize();
  return pt > 0 ? pt : doc.defaultFont().pointSizeF();
}

// The body text's size: the one that sets the most characters.
qreal bodySizeOf(const QTextDocument& doc) {
  QMap<qreal, qsizetype> chars;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      chars[pointSizeOf(it.fragment().charFormat(), doc)] += it.fragment().length();
    }
  }
  qreal size = doc.defaultFont().pointSizeF();
  qsizetype most = 0;
  for (auto it = chars.cbegin(); it != chars.cend(); ++it) {
    if (it.value() > most) {
      most = it.value();
      size = it.key();
    }
  }
  return size;
}

// All entries of the list, in document order (a chapter before its sections).
QList<QTreeWidgetItem*> entriesOf(const QTreeWidget& tree) {
  QList<QTreeWidgetItem*> out;
  for (int i = 0; i < tree.topLevelItemCount(); ++i) {
    QTreeWidgetItem* chapter = tree.topLevelItem(i);
    out << chapter;
    for (int j = 0; j < chapter->childCount(); ++j) out << chapter->child(j);
  }
  return out;
}

}  // namespace

QList<HelpHeading> helpHeadings(const QTextDocument& doc) {
  static const QRegularExpression numbered(QStringLiteral("^\\d+\\.\\s+\\S"));
  const qreal body = bodySizeOf(doc);
  QList<HelpHeading> out;
  qreal chapterSize = 0;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
    const QString title = b.text().section(QChar(QChar::LineSeparator), 0, 0).simplified();
    if (title.isEmpty()) continue;
    // A heading is bold throughout; its size is that of its smallest letters.
    bool bold = true;
    qreal size = std::numeric_limits<qreal>::max();
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      const QTextFragment f = it.fragment();
      if (f.text().trimmed().isEmpty()) continue;
      bold = bold && f.charFormat().fontWeight() > QFont::Normal;
      size = std::min(size, pointSizeOf(f.charFormat(), doc));
    }
    if (!bold || size <= body) continue;
    if (numbered.match(title).hasMatch()) {
      out.append({title, b.position(), 1});
      chapterSize = size;
    } else if (size < chapterSize) {
      out.append({title, b.position(), 2});
    }
  }
  return out;
}

std::string helpNotFoundText(const QString& searched) {
  return "Der Text „"_cp + fromQString(searched) + "“ wurde nicht gefunden."_cp;
}

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
  // Enter in the contents or the search field must never write the manual.
  saveBtn_->setAutoDefault(false);
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

  // A list beside the text rather than one written into it: it stays in sight while the reader
  // scrolls, marks the chapter in view, and can never be saved into the manual as text.
  contents_ = new QTreeWidget(this);
  contents_->setObjectName(QStringLiteral("HelpInhalt"));
  contents_->setHeaderLabel(QStringLiteral("Inhalt"));
  contents_->header()->setSectionsClickable(false);
  contents_->setUniformRowHeights(true);
  contents_->setTextElideMode(Qt::ElideRight);
  connect(contents_, &QTreeWidget::itemClicked, this,
          [this](QTreeWidgetItem* item) { showHeading(item); });
  connect(contents_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { showHeading(item); });

  split_ = new QSplitter(Qt::Horizontal, this);
  split_->addWidget(contents_);
  split_->addWidget(pane_);
  split_->setStretchFactor(1, 1);
  split_->setCollapsible(1, false);

  searchBar_ = new QFrame(this);
  searchBar_->setObjectName(QStringLiteral("HelpSuchen"));
  searchBar_->setFrameShape(QFrame::StyledPanel);
  auto* searchLabel = new QLabel(QStringLiteral("Suchen:"), searchBar_);
  searchField_ = new QLineEdit(searchBar_);
  searchField_->setObjectName(QStringLiteral("HelpSuchText"));
  searchLabel->setBuddy(searchField_);
  searchNextBtn_ = new QPushButton(QStringLiteral("Weitersuchen"), searchBar_);
  searchNextBtn_->setObjectName(QStringLiteral("HelpWeitersuchen"));
  searchNextBtn_->setToolTip(
      QStringLiteral("Die nächste Fundstelle (F3), die vorige mit Umschalt+F3"));
  searchNextBtn_->setAutoDefault(false);
  searchNote_ = new QLabel(searchBar_);
  searchNote_->setObjectName(QStringLiteral("HelpSuchHinweis"));
  auto* closeBtn = new QPushButton(QStringLiteral("Schließen"), searchBar_);
  closeBtn->setObjectName(QStringLiteral("HelpSucheSchliessen"));
  closeBtn->setToolTip(QStringLiteral("Die Suche schließen (Esc)"));
  closeBtn->setAutoDefault(false);
  auto* row = new QHBoxLayout(searchBar_);
  row->setContentsMargins(8, 4, 8, 4);
  row->addWidget(searchLabel);
  row->addWidget(searchField_, 1);
  row->addWidget(searchNextBtn_);
  row->addWidget(searchNote_, 1);
  row->addWidget(closeBtn);
  searchBar_->setVisible(false);
  connect(searchField_, &QLineEdit::returnPressed, this, [this] { searchEntered(); });
  connect(searchField_, &QLineEdit::textEdited, searchNote_, &QLabel::clear);
  connect(searchNextBtn_, &QPushButton::clicked, this, [this] { findNext(); });
  connect(closeBtn, &QPushButton::clicked, this, [this] { closeSearch(); });

  auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
  connect(find, &QShortcut::activated, this, [this] { openSearch(); });
  auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(next, &QShortcut::activated, this, [this] { findNext(); });
  auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
  connect(previous, &QShortcut::activated, this, [this] { findNext(true); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(editPanel_);
  layout->addWidget(split_, 1);
  layout->addWidget(searchBar_);
  resize(960, 480);

  // Edits (with the edit bar) may add, rename or remove a heading; the list follows once the
  // typing pauses rather than at every key.
  contentsTimer_.setSingleShot(true);
  contentsTimer_.setInterval(300);
  connect(&contentsTimer_, &QTimer::timeout, this, [this] { refreshContents(); });
  connect(pane_->document(), &QTextDocument::contentsChanged, &contentsTimer_,
          qOverload<>(&QTimer::start));
  connect(pane_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { followView(); });

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
    refreshContents();
    s_.port().prompt(PromptKind::Error, PromptButtons::Ok,
                     "Datei " + path + " kann nicht geöffnet werden"_cp);
    return false;
  }
  loadRichOrPlainText(file.readAll(), *pane_->document());
  pane_->moveCursor(QTextCursor::Start);
  refreshContents();
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

void HelpPage::refreshContents() {
  contentsTimer_.stop();
  const QList<HelpHeading> headings = helpHeadings(*pane_->document());
  const QList<QTreeWidgetItem*> entries = entriesOf(*contents_);
  bool same = entries.size() == headings.size();
  for (qsizetype i = 0; same && i < headings.size(); ++i) {
    same = entries[i]->text(0) == headings[i].title &&
           (entries[i]->parent() ? 2 : 1) == headings[i].level;
  }
  if (same) {
    // Text typed above a heading moves it.
    for (qsizetype i = 0; i < headings.size(); ++i) {
      entries[i]->setData(0, kPositionRole, headings[i].position);
    }
  } else {
    buildContents(headings);
  }
  // A manual without headings (plain text, the missing file) has nothing to list.
  contents_->setVisible(!headings.isEmpty());
  followView();
}

void HelpPage::buildContents(const QList<HelpHeading>& headings) {
  QSet<QString> opened;
  for (QTreeWidgetItem* e : entriesOf(*contents_)) {
    if (e->isExpanded()) opened.insert(e->text(0));
  }
  // A width the reader has set by the splitter stays when an edit changes the list.
  const bool firstFill = contents_->topLevelItemCount() == 0;
  contents_->clear();
  QTreeWidgetItem* chapter = nullptr;
  for (const HelpHeading& h : headings) {
    QTreeWidgetItem* item = nullptr;
    if (h.level == 1 || !chapter) {
      item = chapter = new QTreeWidgetItem(contents_);
    } else {
      item = new QTreeWidgetItem(chapter);
    }
    item->setText(0, h.title);
    item->setToolTip(0, h.title);
    item->setData(0, kPositionRole, h.position);
  }
  for (QTreeWidgetItem* e : entriesOf(*contents_)) e->setExpanded(opened.contains(e->text(0)));
  if (!firstFill) return;
  int widest = 0;
  const QFontMetrics metrics(contents_->font());
  for (const HelpHeading& h : headings) {
    widest = std::max(
        widest, metrics.horizontalAdvance(h.title) + (h.level - 1) * contents_->indentation());
  }
  // Room for the arrows of opened chapters, the cell's margins and the scroll bar.
  const int wanted = widest + 2 * contents_->indentation() + 2 * contents_->frameWidth() +
                     contents_->verticalScrollBar()->sizeHint().width();
  const int width = std::min(wanted, kContentsMaxWidth);
  split_->setSizes({width, std::max(1, this->width() - width)});
}

void HelpPage::showHeading(QTreeWidgetItem* entry) {
  if (!entry) return;
  QTextDocument* doc = pane_->document();
  QTextCursor c(doc);
  c.setPosition(std::clamp(entry->data(0, kPositionRole).toInt(), 0, doc->characterCount() - 1));
  QScopedValueRollback<bool> keep(showingHeading_, true);
  pane_->setTextCursor(c);
  // The heading where the manual's first line stands, so it reads as the top of a page; the last
  // chapters get as near as the end of the text lets them.
  const QRectF r = doc->documentLayout()->blockBoundingRect(c.block());
  pane_->verticalScrollBar()->setValue(qRound(r.top() - doc->documentMargin()));
  pane_->horizontalScrollBar()->setValue(0);
  if (contents_->currentItem() != entry) contents_->setCurrentItem(entry);
}

void HelpPage::followView() {
  if (showingHeading_ || contents_->topLevelItemCount() == 0) return;
  // The chapter the reader is in is the last one whose heading lies at or above the view's top.
  const int top = pane_->cursorForPosition(QPoint(0, 0)).block().position();
  QTreeWidgetItem* here = nullptr;
  for (QTreeWidgetItem* e : entriesOf(*contents_)) {
    if (e->data(0, kPositionRole).toInt() > top) break;
    here = e;
  }
  // A section of a closed chapter is shown by its chapter.
  if (here && here->parent() && !here->parent()->isExpanded()) here = here->parent();
  const QSignalBlocker quiet(contents_);
  if (here) {
    contents_->setCurrentItem(here);
    contents_->scrollToItem(here);
  } else {
    contents_->setCurrentItem(nullptr);
    contents_->clearSelection();
  }
}

void HelpPage::openSearch() {
  const QString selected = pane_->textCursor().selectedText();
  // As the find button takes the selected time, a selected word is what the reader looks for.
  if (!selected.trimmed().isEmpty() && !selected.contains(QChar::ParagraphSeparator) &&
      !selected.contains(QChar::LineSeparator)) {
    searchField_->setText(selected);
  }
  searchNote_->clear();
  searchBar_->show();
  searchField_->setFocus(Qt::ShortcutFocusReason);
  searchField_->selectAll();
}

void HelpPage::closeSearch() {
  searchBar_->hide();
  searchNote_->clear();
  pane_->setFocus(Qt::OtherFocusReason);
}

void HelpPage::searchEntered() {
  // Enter on the text just found goes on to its next occurrence; a new text starts at the top.
  if (searchField_->text() == searched_) {
    findNext();
  } else {
    findFirst(searchField_->text());
  }
}

bool HelpPage::findFirst(const QString& text) {
  searched_ = text;
  searchNote_->clear();
  if (text.isEmpty()) return false;
  if (select(text, 0, false)) return true;
  s_.port().prompt(PromptKind::Information, PromptButtons::Ok, helpNotFoundText(text));
  return false;
}

bool HelpPage::findNext(bool backwards) {
  const QString text = searchField_->text();
  if (text.isEmpty()) {
    openSearch();
    return false;
  }
  searchBar_->show();
  if (text != searched_) return findFirst(text);
  searchNote_->clear();
  const QTextCursor caret = pane_->textCursor();
  if (select(text, backwards ? caret.selectionStart() : caret.selectionEnd(), backwards)) {
    return true;
  }
  const int end = pane_->document()->characterCount() - 1;
  if (select(text, backwards ? end : 0, backwards)) {
    searchNote_->setText(backwards ? QStringLiteral("Suche am Ende fortgesetzt")
                                   : QStringLiteral("Suche am Anfang fortgesetzt"));
    return true;
  }
  s_.port().prompt(PromptKind::Information, PromptButtons::Ok, helpNotFoundText(text));
  return false;
}

bool HelpPage::select(const QString& text, int from, bool backwards) {
  QTextDocument* doc = pane_->document();
  QTextCursor start(doc);
  start.setPosition(std::clamp(from, 0, doc->characterCount() - 1));
  const QTextCursor hit =
      doc->find(text, start, backwards ? QTextDocument::FindBackward : QTextDocument::FindFlags());
  if (hit.isNull()) return false;
  pane_->setTextCursor(hit);
  pane_->ensureCursorVisible();
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

void HelpPage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier &&
      searchBar_->isVisible()) {
    closeSearch();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace kursolin::gui
