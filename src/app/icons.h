#pragma once
// Icons from the desktop's theme, with Qt's own as fallback where the theme has none.

#include <QIcon>
#include <QStyle>
#include <QWidget>

namespace kursolin::gui {

/// The theme's icon of that name, else the style's standard pixmap.
inline QIcon themedIcon(const QWidget* w, const char* name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(name), w->style()->standardIcon(fallback));
}

}  // namespace kursolin::gui
