#pragma once

#include <QPointer>
#include <QWidget>

namespace qinglan::gui {

// Disables a widget for a scope; it is enabled again however the scope ends.
class ScopedDisable {
 public:
  explicit ScopedDisable(QWidget* widget) : m_widget(widget) { m_widget->setEnabled(false); }
  ~ScopedDisable() {
    if (!m_widget.isNull())
      m_widget->setEnabled(true);
  }
  ScopedDisable(const ScopedDisable&) = delete;
  ScopedDisable& operator=(const ScopedDisable&) = delete;

 private:
  QPointer<QWidget> m_widget;
};

}  // namespace qinglan::gui
