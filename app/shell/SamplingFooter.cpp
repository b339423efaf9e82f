#include "shell/SamplingFooter.h"

#include "design/Appearance.h"
#include "design/Tokens.h"
#include "model/MonitorModel.h"
#include "shell/RootPresenter.h"

#include <QPainter>

namespace kivo {

namespace {
constexpr int kHorizontal = 12;
constexpr int kVertical = 8;
constexpr int kDot = 7;
constexpr int kSpacing = 6;
}  // namespace

SamplingFooter::SamplingFooter(const MonitorModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("sidebar.sampling"));
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  connect(&model, &MonitorModel::snapshotChanged, this, &SamplingFooter::refresh);
  connect(&model, &MonitorModel::pausedChanged, this, &SamplingFooter::refresh);
  refresh();
}

void SamplingFooter::refresh() {
  QString text = RootPresenter::footerText(model_);
  const bool paused = model_.isPaused();
  if (text == text_ && paused == paused_) return;
  text_ = std::move(text);
  paused_ = paused;
  setAccessibleName(text_);
  update();
}

QSize SamplingFooter::sizeHint() const {
  const QFontMetrics metrics(Typeface::caption());
  return {kHorizontal * 2 + kDot + kSpacing + metrics.horizontalAdvance(text_),
          1 + 2 + kVertical * 2 + metrics.height()};
}

void SamplingFooter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool dark = Appearance::isDark(this);
  painter.fillRect(QRect(0, 0, width(), 1), Palette::hairline.resolve(dark));
  const QRect row = rect().adjusted(kHorizontal, 1 + 2 + kVertical, -kHorizontal, -kVertical);
  painter.setPen(Qt::NoPen);
  painter.setBrush((paused_ ? Palette::warning : Palette::success).resolve(dark));
  painter.drawEllipse(QRectF(row.left(), row.center().y() + 0.5 - kDot / 2.0, kDot, kDot));
  painter.setFont(Typeface::caption());
  painter.setPen(Palette::textSecondary.resolve(dark));
  const QRect textRect = row.adjusted(kDot + kSpacing, 0, 0, 0);
  painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                   painter.fontMetrics().elidedText(text_, Qt::ElideRight, textRect.width()));
}

}  // namespace kivo
