#include "design/PageHeader.h"

#include "design/Appearance.h"
#include "design/BareLayout.h"
#include "design/Environment.h"
#include "design/Icons.h"
#include "design/ToneLabel.h"
#include "texts/Localized.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace kivo {

namespace {

constexpr int kSymbolSize = 20;
constexpr qreal kTileRadius = 9;

// The symbol tile, painted with the colour of the moment (appearance and colour-blind choice).
class HeaderTile : public QWidget {
 public:
  HeaderTile(MetricFamily family, std::optional<QString> symbol, QWidget* parent)
      : QWidget(parent), family_(family), symbol_(std::move(symbol)) {
    setFixedSize(PageHeader::kTile, PageHeader::kTile);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor color = PageHeader::tileColor(family_, symbol_, Environment::colorBlindSafe(this))
                             .resolve(Appearance::isDark(this));
    // A gentle top-to-bottom gradient of the tile colour.
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, color.lighter(118));
    gradient.setColorAt(1, color);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawRoundedRect(QRectF(rect()), kTileRadius, kTileRadius);
    const QPixmap icon =
        Icons::pixmap(PageHeader::tileSymbol(family_, symbol_), kSymbolSize, Qt::white, devicePixelRatioF());
    painter.drawPixmap(QPointF((width() - kSymbolSize) / 2.0, (height() - kSymbolSize) / 2.0), icon);
  }

 private:
  MetricFamily family_;
  std::optional<QString> symbol_;
};

}  // namespace

PageHeader::PageHeader(const QString& titleKey, std::optional<QString> subtitle, MetricFamily family,
                       std::optional<QString> symbol, QWidget* parent)
    : QWidget(parent) {
  auto* row = bareRow(this, kSpacing);
  row->addWidget(new HeaderTile(family, std::move(symbol), this), 0, Qt::AlignVCenter);

  auto* texts = new QVBoxLayout;
  texts->setSpacing(1);
  const QString title = translated(titleKey);
  auto* titleLabel = new ToneLabel(title, Typeface::system(20, QFont::Bold), Palette::textPrimary, this);
  titleLabel->setObjectName(QStringLiteral("pageHeader.title"));
  texts->addWidget(titleLabel);
  subtitle_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, this);
  subtitle_->setObjectName(QStringLiteral("pageHeader.subtitle"));
  subtitle_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  texts->addWidget(subtitle_);
  row->addLayout(texts);
  row->addStretch(1);

  setAccessibleName(title);
  setSubtitle(std::move(subtitle));
}

void PageHeader::setSubtitle(std::optional<QString> subtitle) {
  subtitle_->setText(subtitle.value_or(QString()));
  subtitle_->setVisible(subtitle.has_value());
  setAccessibleDescription(subtitle.value_or(QString()));
}

QString PageHeader::tileSymbol(MetricFamily family, const std::optional<QString>& symbol) {
  return symbol ? *symbol : MetricFamilies::symbol(family);
}

DynamicColor PageHeader::tileColor(MetricFamily family, const std::optional<QString>& symbol,
                                   bool colorBlindSafe) {
  return symbol ? Palette::accentSecondary : MetricFamilies::color(family, colorBlindSafe);
}

}  // namespace kivo
