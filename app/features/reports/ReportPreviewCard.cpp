#include "features/reports/ReportPreviewCard.h"

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
  auto* column = new QVBoxLayout(frame);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(sectionTitle(title, frame));
  return column;
}

// One finding: its severity's symbol and its title, both in the severity's colour.
class FindingLine : public QWidget {
 public:
  FindingLine(const ReportPreview::FindingLine& line, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
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

  auto* titleRow = new QHBoxLayout;
  title_ = new ToneLabel(QString(), Typeface::system(16, QFont::Bold), Palette::textPrimary, this);
  title_->setObjectName(QStringLiteral("reports.previewTitle"));
  period_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, this);
  period_->setObjectName(QStringLiteral("reports.previewPeriod"));
  titleRow->addWidget(title_, 0, Qt::AlignBaseline);
  titleRow->addStretch(1);
  titleRow->addWidget(period_, 0, Qt::AlignBaseline);
  body()->addLayout(titleRow);

  metricTable_ = new ReportTableView(this);
  metricTable_->setObjectName(QStringLiteral("reports.metrics"));
  addContent(metricTable_);

  auto* tables = new QWidget(this);
  tablesColumn_ = new QVBoxLayout(tables);
  tablesColumn_->setContentsMargins(0, 0, 0, 0);
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
