#pragma once
// Finds a dialog's control by its object name (the control's own name); a missing control ends
// the test at once, since every later check would only fail for the same reason.

#include <QString>
#include <QWidget>
#include <QtGlobal>

namespace kursolin::test {

template <class T>
T* findControl(const QWidget* root, const char* name) {
  T* w = root->findChild<T*>(QString::fromLatin1(name));
  if (!w) qFatal("no control %s", name);
  return w;
}

}  // namespace kursolin::test
