#include "features/insights/InsightsPage.h"

#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/Environment.h"
#include "design/PageHeader.h"
#include "design/QualityBadge.h"
#include "design/SymbolButton.h"
#include "design/SymbolLabel.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/insights/InsightsPresenter.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <set>

namespace kivo {

namespace insights_detail {

// The severity's title in capitals on a faint capsule of its colour.
class SeverityCapsule : public QWidget {
 public:
  explicit SeverityCapsule(QWidget* parent) : QWidget(parent) {
    setFont(Typeface::system(10, QFont::DemiBold));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  }
  void set(const QString& text, DynamicColor color) {
    if (text == text_ && color == color_) return;
    text_ = text;
    color_ = color;
    setAccessibleName(text);
    updateGeometry();
    update();
  }
  QSize sizeHint() const override {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text_) + 12, metrics.height() + 4};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor tint = color_.resolve(this);
    QColor fill = tint;
    fill.setAlphaF(0.14f);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    const QRectF box = QRectF(rect());
    painter.drawRoundedRect(box, box.height() / 2, box.height() / 2);
    painter.setPen(tint);
    painter.drawText(rect(), Qt::AlignCenter, text_);
  }

 private:
  QString text_;
  DynamicColor color_;
};

class FindingCard : public Card {
 public:
  explicit FindingCard(QWidget* parent) : Card(std::nullopt, std::nullopt, std::nullopt, parent) {
    auto* content = new QWidget(this);
    auto* line = bareRow(content, 12);
    icon_ = new SymbolLabel(QString(), 18, Palette::accent, content);
    line->addWidget(icon_, 0, Qt::AlignTop);
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    line->addLayout(column, 1);

    auto* titleRow = new QHBoxLayout;
    title_ = new ToneLabel(QString(), Typeface::system(14, QFont::DemiBold), Palette::textPrimary, content);
    title_->setObjectName(QStringLiteral("insights.finding.title"));
    capsule_ = new SeverityCapsule(content);
    capsule_->setObjectName(QStringLiteral("insights.finding.severity"));
    estimate_ = new QualityBadge(MetricQuality::estimated, content);
    estimate_->setObjectName(QStringLiteral("insights.finding.estimate"));
    titleRow->addWidget(title_);
    titleRow->addWidget(capsule_);
    titleRow->addWidget(estimate_);
    titleRow->addStretch(1);
    column->addLayout(titleRow);

    explanation_ = new ToneLabel(QString(), Typeface::system(12), Palette::textPrimary, content);
    explanation_->setWordWrap(true);
    column->addWidget(explanation_);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    const char* captions[] = {"Metric", "From", "Duration", "Samples"};
    for (int i = 0; i < 4; ++i) {
      auto* caption = new ToneLabel(tr(captions[i]), Typeface::label(), Palette::textTertiary, content);
      captions_[i] = caption;
      evidence_[i] = new ToneLabel(QString(), Typeface::caption(), Palette::textPrimary, content);
      grid->addWidget(caption, 0, i);
      grid->addWidget(evidence_[i], 1, i);
    }
    grid->setVerticalSpacing(0);
    grid->setColumnStretch(4, 1);
    column->addLayout(grid);

    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(
        new SymbolLabel(QStringLiteral("arrow.right.circle"), 14, Palette::textSecondary, content), 0,
        Qt::AlignTop);
    action_ = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, content);
    action_->setWordWrap(true);
    actionRow->addWidget(action_, 1);
    column->addLayout(actionRow);
    addContent(content);
  }

  void update(const FindingCardState& state) {
    if (state == state_) return;
    state_ = state;
    icon_->setSymbol(state.symbol, state.color);
    title_->setText(state.title);
    capsule_->set(state.capsule, state.color);
    estimate_->setVisible(state.estimate);
    explanation_->setText(state.explanation);
    const QString* values[] = {&state.metric, &state.from, &state.duration, &state.samples};
    for (int i = 0; i < 4; ++i) evidence_[i]->setText(*values[i]);
    captions_[2]->setText(state.durationCaption);
    captions_[3]->setText(state.samplesCaption);
    action_->setText(state.action);
    setAccessibleName(state.title + QStringLiteral(", ") + state.capsule + QStringLiteral(". ") +
                      state.explanation + QStringLiteral(" ") + state.action);
  }

 private:
  FindingCardState state_;
  SymbolLabel* icon_;
  ToneLabel* title_;
  SeverityCapsule* capsule_;
  QualityBadge* estimate_;
  ToneLabel* explanation_;
  ToneLabel* captions_[4];
  ToneLabel* evidence_[4];
  ToneLabel* action_;
};

// The findings' column: the page's own spacing between cards, following the density.
class CardColumn : public QWidget {
 public:
  explicit CardColumn(QWidget* parent) : QWidget(parent) { layout_ = bareColumn(this); }
  QVBoxLayout* column() const { return layout_; }

 protected:
  bool event(QEvent* event) override {
    if (event->type() == Environment::changedEventType() || event->type() == QEvent::ParentChange ||
        event->type() == QEvent::Polish) {
      layout_->setSpacing(static_cast<int>(std::lround(Page::kSpacing * Environment::density(this))));
    }
    return QWidget::event(event);
  }

 private:
  QVBoxLayout* layout_;
};

}  // namespace insights_detail

using insights_detail::FindingCard;

InsightsPage::InsightsPage(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : Page(parent), model_(model), settings_(settings) {
  setObjectName(QStringLiteral("insights.page"));
  addWidget(new PageHeader(QStringLiteral("Insights"),
                           tr("Patterns found in the last 24 hours of stored history"), MetricFamily::system,
                           QStringLiteral("lightbulb")));

  auto* bar = new QWidget;
  auto* barLine = bareRow(bar);
  analysed_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, bar);
  analysed_->setObjectName(QStringLiteral("insights.analysed"));
  auto* refresh =
      new SymbolButton(QStringLiteral("arrow.clockwise"), tr("Analyse Now"), Palette::textPrimary, bar);
  refresh->setObjectName(QStringLiteral("insights.refresh"));
  barLine->addWidget(analysed_);
  barLine->addStretch(1);
  barLine->addWidget(refresh);
  addWidget(bar);
  // Returns at once; the page changes when the model's findings do.
  connect(refresh, &QPushButton::clicked, this, [this] { model_.refreshFindings(); });

  empty_ = new Card;
  empty_->setObjectName(QStringLiteral("insights.empty"));
  auto* emptyContent = new QWidget(empty_);
  emptyContent->setMinimumHeight(180);
  auto* emptyColumn = new QVBoxLayout(emptyContent);
  emptyColumn->setSpacing(8);
  emptyColumn->addStretch(1);
  emptyColumn->addWidget(
      new SymbolLabel(QStringLiteral("checkmark.seal"), 32, Palette::textSecondary, emptyContent), 0,
      Qt::AlignHCenter);
  auto* emptyTitle = new ToneLabel(tr("Nothing to report"), Typeface::system(17, QFont::DemiBold),
                                   Palette::textPrimary, emptyContent);
  emptyTitle->setAlignment(Qt::AlignHCenter);
  emptyColumn->addWidget(emptyTitle);
  auto* emptyText =
      new ToneLabel(tr("No pattern in the stored history crossed a threshold. Findings appear only when "
                       "there is evidence for them."),
                    Typeface::system(12), Palette::textSecondary, emptyContent);
  emptyText->setAlignment(Qt::AlignHCenter);
  emptyText->setWordWrap(true);
  emptyColumn->addWidget(emptyText);
  emptyColumn->addStretch(1);
  empty_->addContent(emptyContent);
  addWidget(empty_);

  auto* holder = new insights_detail::CardColumn(nullptr);
  holder->setObjectName(QStringLiteral("insights.findings"));
  findingsHolder_ = holder;
  findingsLayout_ = holder->column();
  addWidget(holder);

  auto* checked = new Card(QStringLiteral("What is checked"));
  checked->setObjectName(QStringLiteral("insights.checked"));
  auto* linesHolder = new QWidget(checked);
  auto* linesColumn = bareColumn(linesHolder, 4);
  for (int i = 0; i < 7; ++i) {
    auto* row = new QWidget(linesHolder);
    auto* rowLine = bareRow(row);
    rowLine->addWidget(new SymbolLabel(QStringLiteral("checkmark"), 12, Palette::textSecondary, row), 0,
                       Qt::AlignTop);
    auto* text = new ToneLabel(QString(), Typeface::system(12), Palette::textSecondary, row);
    text->setObjectName(QStringLiteral("insights.rule%1").arg(i + 1));
    text->setWordWrap(true);
    rowLine->addWidget(text, 1);
    lines_.push_back(text);
    linesColumn->addWidget(row);
  }
  checked->addContent(linesHolder);
  auto* note = new ToneLabel(
      tr("A single unusual reading never produces a finding, and no finding claims a hardware fault."),
      Typeface::caption(), Palette::textTertiary, checked);
  note->setWordWrap(true);
  checked->addContent(note);
  addWidget(checked);

  refreshAnalysed();
  refreshFindings();
  refreshLines();

  connect(&model_, &MonitorModel::findingsChanged, this, [this] {
    refreshFindings();
    refreshAnalysed();
  });
  // "5 minutes ago" ages between analyses.
  connect(&model_, &MonitorModel::snapshotChanged, this, &InsightsPage::refreshAnalysed);
  connect(&settings_, &AppSettings::thresholdsChanged, this, &InsightsPage::refreshLines);
}

InsightsPage::~InsightsPage() = default;

void InsightsPage::refreshAnalysed() {
  const auto text =
      InsightsPresenter::analysedText(model_.findingsUpdated(), QDateTime::currentDateTimeUtc());
  analysed_->setVisible(text.has_value());
  if (text && analysed_->text() != *text) analysed_->setText(*text);
}

void InsightsPage::refreshFindings() {
  const auto states = InsightsPresenter::cards(model_.findings(), model_.format());
  empty_->setVisible(states.empty());
  findingsHolder_->setVisible(!states.empty());
  std::set<QString> wanted;
  for (const auto& state : states) wanted.insert(state.id);
  for (auto it = cards_.begin(); it != cards_.end();) {
    if (wanted.count(it->first) == 0) {
      findingsLayout_->removeWidget(it->second);
      it->second->hide();
      it->second->deleteLater();
      it = cards_.erase(it);
    } else {
      ++it;
    }
  }
  int index = 0;
  for (const auto& state : states) {
    FindingCard*& card = cards_[state.id];
    if (card == nullptr) card = new FindingCard(findingsHolder_);
    if (findingsLayout_->indexOf(card) != index) {
      findingsLayout_->removeWidget(card);
      findingsLayout_->insertWidget(index, card);
    }
    card->update(state);
    card->show();
    ++index;
  }
}

void InsightsPage::refreshLines() {
  const auto& capabilities = model_.capabilities();
  const bool thermalZones = std::any_of(
      capabilities.begin(), capabilities.end(),
      [](const SensorCapability& c) { return c.id == QLatin1String("thermal.state") && c.present; });
  const QStringList lines =
      InsightsPresenter::ruleLines(settings_.thresholds(), model_.format(), thermalZones);
  for (std::size_t i = 0; i < lines_.size() && i < static_cast<std::size_t>(lines.size()); ++i) {
    lines_[i]->setText(lines[static_cast<int>(i)]);
  }
}

}  // namespace kivo
