#pragma once

#include <QWidget>

namespace kivo {

class MonitorModel;

// The sidebar's bottom line: a dot (warning while paused, success otherwise) and whether and
// how often sampling runs. Object name "sidebar.sampling".
class SamplingFooter : public QWidget {
  Q_OBJECT
 public:
  explicit SamplingFooter(const MonitorModel& model, QWidget* parent = nullptr);

  const QString& text() const { return text_; }
  bool isPaused() const { return paused_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void refresh();

  const MonitorModel& model_;
  QString text_;
  bool paused_ = false;
};

}  // namespace kivo
