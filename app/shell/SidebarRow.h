#pragma once

#include "shell/AppSection.h"

#include <QAbstractButton>

#include <optional>

namespace kivo {

// One checkable row of the sidebar: symbol, title, then the badge text, the alerts capsule or
// the insights count. A page tab to screen readers; Return or Space opens it. Object name
// "sidebar.<section>". Painted, so a new figure costs a repaint and nothing else.
class SidebarRow : public QAbstractButton {
  Q_OBJECT
 public:
  explicit SidebarRow(AppSection section, QWidget* parent = nullptr);

  AppSection section() const { return section_; }
  // Absent values show nothing. Repaints only when something changed.
  void setFigures(std::optional<QString> badge, std::optional<int> capsule, std::optional<int> count);
  const std::optional<QString>& badge() const { return badge_; }
  const std::optional<int>& capsule() const { return capsule_; }
  const std::optional<int>& count() const { return count_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // An arrow key asks for the row above (-1) or below (+1).
  void stepRequested(int step);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void updateAccessibility();

  AppSection section_;
  std::optional<QString> badge_;
  std::optional<int> capsule_;
  std::optional<int> count_;
  bool hovered_ = false;
  // The ring is drawn for focus the keyboard moved here, not for a click or the window's start.
  bool keyboardFocus_ = false;
};

}  // namespace kivo
