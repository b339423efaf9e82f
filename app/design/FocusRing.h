#pragma once

#include <QObject>
#include <QPointer>

class QFocusFrame;
class QWidget;

namespace kivo {

// A ring around whatever widget the keyboard moved the focus to, in light and dark alike:
// scroll areas, tables and flat buttons draw no focus of their own or only a faint tint. Focus
// that the pointer gave shows no ring. One for the application, made with the style.
class FocusRing : public QObject {
  Q_OBJECT

 public:
  explicit FocusRing(QObject* parent = nullptr);

  // The widget the ring is drawn around, if any.
  QWidget* ringed() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ring(QWidget* widget);

  QPointer<QFocusFrame> frame_;
  QMetaObject::Connection watch_;
  bool keyboard_ = false;
};

}  // namespace kivo
