#include "features/reports/ReportPreviewCard.h"

#include "design/BareLayout.h"
#include "design/Icons.h"
#include "design/SeverityLook.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/reports/ReportTableView.h"
#include "features/reports/ReportsPresenter.h"
#include "texts/Localized.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace kivo {

namespace {

constexpr int kSectionPadding = 6;
constexpr int kIconSize = 14;

// A section title inside the preview ("Findings", a table's title), 6 px below what precedes it.
QWidget* sectionTitle(ToneLabel* label, QWidget* parent) {
  auto* frame = new QWidget(parent);
  auto* column = new QVBoxLayout(frame);
  column->setContentsMargins(0, kSectionPadding, 0, 0);
  column->setSpacing(0);
  column->addWidget(label);
  return frame;
}

// The column of a section of the preview, its title first.
QVBoxLayout* titledColumn(QWidget* frame, ToneLabel* title) {
  auto* column = bareColumn(frame);
  column->addWidget(sectionTitle(title, frame));
  return column;
}

// The report's title with its period on the same line at the right edge, or, when the card is
// too narrow for both, the period under the title: a long period never widens the page.
class HeadingRow final : public QWidget {
 public:
  HeadingRow(QLabel* title, QLabel* period, QWidget* parent)
      : QWidget(parent), title_(title), period_(period) {
    title_->setParent(this);
    period_->setParent(this);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  }

  QSize sizeHint() const override {
    const QSize title = title_->sizeHint();
    const QSize period = period_->sizeHint();
    return {title.width() + kGap + period.width(), std::max(title.height(), period.height())};
  }
  QSize minimumSizeHint() const override {
    return {std::max(title_->sizeHint().width(), period_->sizeHint().width()), 0};
  }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override {
    const QSize title = title_->sizeHint();
    const QSize period = period_->sizeHint();
    if (fitsOnOneLine(width)) return std::max(title.height(), period.height());
    return title.height() + kLineGap + period.height();
  }

 protected:
  bool event(QEvent* event) override {
    // New texts change what fits.
    if (event->type() == QEvent::LayoutRequest) {
      updateGeometry();
      place();
    }
    return QWidget::event(event);
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    place();
  }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    place();
  }

 private:
  static constexpr int kGap = 12;
  static constexpr int kLineGap = 2;

  bool fitsOnOneLine(int width) const {
    return title_->sizeHint().width() + kGap + period_->sizeHint().width() <= width;
  }

  void place() {
    const QSize title = title_->sizeHint();
    const QSize period = period_->sizeHint();
    if (fitsOnOneLine(width())) {
      // One line, on the title's baseline.
      const int baseline = title_->fontMetrics().ascent();
      const int top = std::max(baseline - period_->fontMetrics().ascent(), 0);
      title_->setGeometry(0, 0, title.width(), title.height());
      period_->setGeometry(width() - period.width(), top, period.width(), period.height());
    } else {
      title_->setGeometry(0, 0, std::min(title.width(), width()), title.height());
      period_->setGeometry(0, title.height() + kLineGap, std::min(period.width(), width()), period.height());
    }
  }

  QLabel* title_;
  QLabel* period_;
};

// One finding: its severity's symbol and its title, both in the severity's colour.
class FindingLine : public QWidget {
 public:
  FindingLine(const ReportPreview::FindingLine& line, QWidget* parent) : QWidget(parent) {
    auto* row = bareRow(this, 6);
    icon_ = new QLabel(this);
    icon_->setFixedSize(kIconSize, kIconSize);
    text_ = new ToneLabel(QString(), Typeface::system(12), Palette::accent, this);
    text_->setWordWrap(true);
    row->addWidget(icon_, 0, Qt::AlignTop);
    row->addWidget(text_, 1);
    setLine(line);
  }

  void setLine(const ReportPreview::FindingLine& line) {
    line_ = line;
    text_->setText(line.text);
    text_->setTone(SeverityLook::color(line.severity));
    paintIcon();
  }

 protected:
  void changeEvent(QEvent* event) override {
    if (event->type() == QEvent::PaletteChange) paintIcon();
    QWidget::changeEvent(event);
  }

 private:
  void paintIcon() {
    icon_->setPixmap(Icons::pixmap(SeverityLook::symbol(line_.severity), kIconSize,
                                   SeverityLook::color(line_.severity).resolve(this), devicePixelRatioF()));
  }

  ReportPreview::FindingLine line_;
  QLabel* icon_ = nullptr;
  ToneLabel* text_ = nullptr;
};

}  // namespace

ReportPreviewCard::ReportPreviewCard(QWidget* parent) : Card(QStringLiteral("Preview"), {}, {}, parent) {
  setObjectName(QStringLiteral("reports.preview"));

  title_ = new ToneLabel(QString(), Typeface::system(16, QFont::Bold), Palette::textPrimary, this);
  title_->setObjectName(QStringLiteral("reports.previewTitle"));
  period_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, this);
  period_->setObjectName(QStringLiteral("reports.previewPeriod"));
  addContent(new HeadingRow(title_, period_, this));

  metricTable_ = new ReportTableView(this);
  metricTable_->setObjectName(QStringLiteral("reports.metrics"));
  addContent(metricTable_);

  auto* tables = new QWidget(this);
  tablesColumn_ = bareColumn(tables);
  addContent(tables);

  findingsFrame_ = new QWidget(this);
  findingsFrame_->setObjectName(QStringLiteral("reports.findings"));
  findingsColumn_ = titledColumn(
      findingsFrame_, new ToneLabel(kivo::tr("Findings"), Typeface::label(), Palette::textSecondary));
  addContent(findingsFrame_);

  auto* limitations = new QWidget(this);
  limitations->setObjectName(QStringLiteral("reports.limitations"));
  limitationsColumn_ = titledColumn(
      limitations, new ToneLabel(kivo::tr("Limitations"), Typeface::label(), Palette::textSecondary));
  addContent(limitations);
}

void ReportPreviewCard::setPreview(const ReportPreview& preview) {
  title_->setText(preview.title);
  period_->setText(preview.period);
  metricTable_->setTable(preview.metrics);

  // Sections are kept by position and given their new texts; only surplus ones go.
  while (tableSections_.size() > preview.tables.size()) {
    tableSections_.back().frame->hide();
    tableSections_.back().frame->deleteLater();
    tableSections_.pop_back();
  }
  for (std::size_t i = 0; i < preview.tables.size(); ++i) {
    const ReportTable& table = preview.tables[i];
    if (i == tableSections_.size()) {
      auto* frame = new QWidget;
      auto* title = new ToneLabel(QString(), Typeface::label(), Palette::textSecondary);
      QVBoxLayout* column = titledColumn(frame, title);
      auto* view = new ReportTableView(frame);
      column->addWidget(view);
      tablesColumn_->addWidget(frame);
      tableSections_.push_back({frame, title, view});
    }
    tableSections_[i].frame->setObjectName(QStringLiteral("reports.table.%1").arg(i));
    tableSections_[i].title->setText(table.title);
    tableSections_[i].view->setTable(table);
  }

  while (findingLines_.size() > preview.findings.size()) {
    findingLines_.back()->hide();
    findingLines_.back()->deleteLater();
    findingLines_.pop_back();
  }
  for (std::size_t i = 0; i < preview.findings.size(); ++i) {
    if (i == findingLines_.size()) {
      auto* line = new FindingLine(preview.findings[i], findingsFrame_);
      findingsColumn_->addWidget(line);
      findingLines_.push_back(line);
    } else {
      static_cast<FindingLine*>(findingLines_[i])->setLine(preview.findings[i]);
    }
  }
  findingsFrame_->setVisible(!preview.findings.empty());

  while (limitationLines_.size() > static_cast<std::size_t>(preview.limitations.size())) {
    limitationLines_.back()->hide();
    limitationLines_.back()->deleteLater();
    limitationLines_.pop_back();
  }
  for (qsizetype i = 0; i < preview.limitations.size(); ++i) {
    const auto index = static_cast<std::size_t>(i);
    if (index == limitationLines_.size()) {
      auto* line = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary);
      line->setWordWrap(true);
      limitationsColumn_->addWidget(line);
      limitationLines_.push_back(line);
    }
    limitationLines_[index]->setText(preview.limitations[i]);
  }
}

}  // namespace kivo
