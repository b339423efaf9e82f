#include "features/reports/ReportsPage.h"

#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/FlowLayout.h"
#include "design/Hairline.h"
#include "design/Icons.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "features/reports/ReportFileDialogs.h"
#include "features/reports/ReportPreviewCard.h"
#include "features/reports/ReportTableView.h"
#include "features/reports/ReportText.h"
#include "model/MonitorModel.h"
#include "reporting/ReportFile.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeZone>
#include <QVBoxLayout>

#include <utility>

namespace kivo {

namespace {

constexpr int kProgressHeight = 160;
constexpr int kIconSize = 14;

ToneLabel* caption(const QString& text, DynamicColor tone, QWidget* parent) {
  auto* label = new ToneLabel(text, Typeface::caption(), tone, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

ReportsPage::ReportsPage(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : Page(parent),
      model_(model),
      settings_(settings),
      dialogs_(std::make_shared<DesktopReportFileDialogs>()) {
  choices_.incidentDate = QDateTime::currentDateTimeUtc();
  choices_.includeHostName = settings_.includeHostInReports();

  addWidget(new PageHeader(QStringLiteral("Reports"),
                           tr("Built from stored measurements, with their sources and their gaps"),
                           MetricFamily::system, QStringLiteral("doc.text")));
  auto* row = new CardRow;
  row->addWidget(buildReportCard());
  row->addWidget(buildExportCard());
  addWidget(row);
  addWidget(buildComparisonCard());

  progress_ = new QWidget;
  progress_->setObjectName(QStringLiteral("reports.progress"));
  progress_->setMinimumHeight(kProgressHeight);
  auto* progressLayout = new QHBoxLayout(progress_);
  auto* bar = new QProgressBar(progress_);
  bar->setRange(0, 0);
  bar->setTextVisible(false);
  bar->setFixedWidth(160);
  progressLayout->addWidget(bar, 0, Qt::AlignCenter);
  addWidget(progress_);
  previewCard_ = new ReportPreviewCard;
  addWidget(previewCard_);

  connect(&settings_, &AppSettings::includeHostInReportsChanged, this, &ReportsPage::hostSettingChanged);
  // A history that opens after the page was shown gets its first report then.
  connect(&model_, &MonitorModel::storeErrorChanged, this, [this] {
    if (model_.hasHistory() && !report_ && !building_) build();
  });
  // A report built before the first sample lacks its current-state tables until then.
  connect(&model_, &MonitorModel::snapshotChanged, this, [this] {
    if (builtWithoutSnapshot_ && model_.snapshot()) build();
  });
  connect(&model_, &MonitorModel::processesChanged, this, [this] {
    if (builtWithoutProcesses_ && model_.processes()) build();
  });

  showChoices();
  showState();
  showComparison();
  setMessage(std::nullopt);
  rebuildIfChanged();
}

ReportsPage::~ReportsPage() = default;

void ReportsPage::setFileDialogs(std::shared_ptr<ReportFileDialogs> dialogs) {
  dialogs_ = std::move(dialogs);
}

QWidget* ReportsPage::buildReportCard() {
  auto* card = new Card(QStringLiteral("Report"));
  auto* formFrame = new QWidget(card);
  form_ = new QFormLayout(formFrame);
  form_->setContentsMargins(0, 0, 0, 0);
  form_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  form_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  kind_ = new QComboBox(formFrame);
  kind_->setObjectName(QStringLiteral("reports.kind"));
  for (ReportKind kind : ReportKinds::allCases()) kind_->addItem(ReportText::title(kind));
  connect(kind_, &QComboBox::activated, this, &ReportsPage::chooseKind);
  form_->addRow(tr("Type"), kind_);

  summary_ = caption(QString(), Palette::textSecondary, formFrame);
  summary_->setObjectName(QStringLiteral("reports.summary"));
  form_->addRow(summary_);

  range_ = new QComboBox(formFrame);
  range_->setObjectName(QStringLiteral("reports.period"));
  for (HistoryRange range : HistoryRanges::allCases()) range_->addItem(HistoryRanges::title(range));
  connect(range_, &QComboBox::activated, this, &ReportsPage::chooseRange);
  form_->addRow(tr("Period"), range_);

  incident_ = new QDateTimeEdit(formFrame);
  incident_->setObjectName(QStringLiteral("reports.incidentDate"));
  incident_->setCalendarPopup(true);
  incident_->setDisplayFormat(QLocale().dateTimeFormat(QLocale::ShortFormat));
  connect(incident_, &QDateTimeEdit::dateTimeChanged, this, &ReportsPage::chooseIncident);
  form_->addRow(tr("Moment of the incident"), incident_);
  incidentNote_ = caption(tr("The report covers 30 minutes before and after that moment."),
                          Palette::textTertiary, formFrame);
  form_->addRow(incidentNote_);

  host_ = new QCheckBox(tr("Include this computer's host name"), formFrame);
  host_->setObjectName(QStringLiteral("reports.includeHost"));
  connect(host_, &QCheckBox::clicked, this,
          [this](bool checked) { settings_.setIncludeHostInReports(checked); });
  form_->addRow(host_);
  form_->addRow(
      caption(tr("Off by default. Reports never contain the serial number, IP addresses or user names."),
              Palette::textTertiary, formFrame));
  card->addContent(formFrame);
  card->body()->addStretch(1);
  return card;
}

QWidget* ReportsPage::buildExportCard() {
  auto* card = new Card(QStringLiteral("Export"));
  auto* buttons = new QWidget(card);
  // One line when the card is wide enough; a narrow card puts the rest of the buttons below.
  auto* row = new FlowLayout(6, 6, buttons);
  refresh_ = new QPushButton(tr("Refresh"), buttons);
  refresh_->setObjectName(QStringLiteral("reports.refresh"));
  refresh_->setToolTip(tr("Rebuild the report with the latest stored samples"));
  connect(refresh_, &QPushButton::clicked, this, [this] {
    ++choices_.refresh;
    rebuildIfChanged();
  });
  row->addWidget(refresh_);
  auto* between = new Hairline(Qt::Vertical, buttons);
  between->setFixedHeight(16);
  row->addWidget(between);
  for (ReportFormat format : ReportFormats::allCases) {
    auto* button = new QPushButton(ReportFormats::buttonTitle(format), buttons);
    button->setObjectName(QStringLiteral("reports.export.") + ReportFormats::rawValue(format));
    connect(button, &QPushButton::clicked, this, [this, format] { exportReport(format); });
    row->addWidget(button);
    exportButtons_.push_back(button);
  }
  card->addContent(buttons);
  card->addContent(
      caption(tr("PDF includes charts. CSV holds every stored bucket in long format. JSON holds the "
                 "complete report and can be compared later."),
              Palette::textSecondary, card));
  card->addContent(new Hairline(Qt::Horizontal, card));

  auto* compare = new QPushButton(tr("Compare Two Saved Reports…"), card);
  compare->setObjectName(QStringLiteral("reports.compare"));
  connect(compare, &QPushButton::clicked, this, &ReportsPage::compareReports);
  auto* compareRow = new QHBoxLayout;
  compareRow->addWidget(compare);
  compareRow->addStretch(1);
  card->body()->addLayout(compareRow);
  card->addContent(
      caption(tr("Choose two JSON reports exported earlier to see averages and peaks side by side."),
              Palette::textSecondary, card));

  messageRow_ = new QWidget(card);
  messageRow_->setObjectName(QStringLiteral("reports.messageRow"));
  auto* message = bareRow(messageRow_, 6);
  messageIcon_ = new QLabel(messageRow_);
  messageIcon_->setFixedSize(kIconSize, kIconSize);
  messageText_ = caption(QString(), Palette::warning, messageRow_);
  messageText_->setObjectName(QStringLiteral("reports.message"));
  message->addWidget(messageIcon_, 0, Qt::AlignTop);
  message->addWidget(messageText_, 1);
  card->addContent(messageRow_);
  card->body()->addStretch(1);
  refreshIcons();
  return card;
}

QWidget* ReportsPage::buildComparisonCard() {
  comparisonCard_ = new Card(QStringLiteral("Comparison"));
  comparisonCard_->setObjectName(QStringLiteral("reports.comparison"));
  comparisonNames_ = caption(QString(), Palette::textSecondary, comparisonCard_);
  comparisonNames_->setObjectName(QStringLiteral("reports.comparisonNames"));
  comparisonTable_ = new ReportTableView(comparisonCard_);
  comparisonTable_->setObjectName(QStringLiteral("reports.comparisonTable"));
  comparisonCard_->addContent(comparisonNames_);
  comparisonCard_->addContent(comparisonTable_);
  return comparisonCard_;
}

void ReportsPage::chooseKind(int index) {
  const auto kinds = ReportKinds::allCases();
  if (index < 0 || index >= static_cast<int>(kinds.size())) return;
  choices_.kind = kinds[static_cast<std::size_t>(index)];
  if (choices_.kind == ReportKind::incident) limitIncidentDate();
  showChoices();
  rebuildIfChanged();
}

void ReportsPage::chooseRange(int index) {
  const auto ranges = HistoryRanges::allCases();
  if (index < 0 || index >= static_cast<int>(ranges.size())) return;
  choices_.range = ranges[static_cast<std::size_t>(index)];
  rebuildIfChanged();
}

void ReportsPage::chooseIncident(const QDateTime& local) {
  // Only the user's edits arrive here: the page fills the edit under a signal blocker. The typed
  // figures are read again, so a time the clocks show twice is the first of the two.
  choices_.incidentDate = ReportBuilding::incidentMoment(local.date(), local.time());
  rebuildIfChanged();
}

void ReportsPage::hostSettingChanged() {
  choices_.includeHostName = settings_.includeHostInReports();
  {
    const QSignalBlocker blocker(host_);
    host_->setChecked(choices_.includeHostName);
  }
  rebuildIfChanged();
}

void ReportsPage::rebuildIfChanged() {
  if (builtIdentity_ == choices_.identity()) return;
  build();
}

void ReportsPage::build() {
  // Without a history nothing is built and nothing on the page changes.
  if (!model_.hasHistory()) return;
  builtIdentity_ = choices_.identity();
  builtWithoutSnapshot_ = !model_.snapshot();
  builtWithoutProcesses_ = !model_.processes();
  const QDateTime now = QDateTime::currentDateTimeUtc();
  const ReportPeriod period =
      ReportBuilding::period(choices_.kind, choices_.range, choices_.incidentDate, now);
  ReportInputs inputs = ReportBuilding::gather(model_, settings_, choices_.kind, period);
  const std::uint64_t number = ++requested_;
  building_ = true;
  showState();
  model_.query(
      this,
      [inputs = std::move(inputs), formatter = model_.format(), number, now](TimeSeriesStore& store) mutable {
        ReportBuilding::queryHistory(store, inputs, now);
        ReportBuild result;
        result.number = number;
        result.report = ReportGenerator::build(inputs, formatter, ReportBuilding::localize(), now);
        result.preview = ReportsPresenter::preview(*result.report, formatter, ReportBuilding::localize());
        return result;
      },
      [this](ReportBuild result) { apply(std::move(result)); });
}

void ReportsPage::apply(ReportBuild build) {
  // A build that a newer request superseded is dropped: it never replaces a newer preview
  // and never ends the busy state of the build still under way.
  if (build.number != requested_) return;
  building_ = false;
  if (build.report) {
    report_ = std::move(build.report);
    previewCard_->setPreview(build.preview);
  }
  showState();
}

void ReportsPage::showChoices() {
  const bool incident = choices_.kind == ReportKind::incident;
  kind_->setCurrentIndex(static_cast<int>(choices_.kind));
  summary_->setText(ReportText::summary(choices_.kind));
  range_->setCurrentIndex(static_cast<int>(choices_.range));
  {
    const QSignalBlocker blocker(incident_);
    incident_->setDateTime(choices_.incidentDate.toLocalTime());
  }
  host_->setChecked(choices_.includeHostName);
  form_->setRowVisible(range_, !incident);
  form_->setRowVisible(incident_, incident);
  form_->setRowVisible(incidentNote_, incident);
}

void ReportsPage::showState() {
  for (QPushButton* button : exportButtons_) button->setEnabled(report_.has_value());
  progress_->setVisible(!report_ && building_);
  previewCard_->setVisible(report_.has_value());
}

void ReportsPage::showComparison() {
  // Without a shared metric the message says so: no card of headers alone.
  const bool shown = comparison_ && !comparison_->table.rows.isEmpty();
  comparisonCard_->setVisible(shown);
  if (!shown) return;
  comparisonNames_->setText(ReportsPresenter::comparisonNames(*comparison_));
  comparisonTable_->setTable(comparison_->table);
}

void ReportsPage::setMessage(std::optional<QString> message) {
  message_ = std::move(message);
  messageText_->setText(message_.value_or(QString()));
  messageRow_->setVisible(message_.has_value());
}

void ReportsPage::exportReport(ReportFormat format) {
  if (!report_) return;
  // The bytes first: a report that cannot be encoded never gets as far as a file.
  const ExportData data =
      ReportsPresenter::exportData(*report_, format, model_.format(), ReportBuilding::localize());
  if (!data.bytes) {
    setMessage(data.error);
    return;
  }
  const QString proposed = ReportFormats::proposedFileName(*report_, format);
  const QPointer<ReportsPage> self(this);
  const std::shared_ptr<ReportFileDialogs> dialogs = dialogs_;
  const std::optional<QString> path = dialogs->saveLocation(this, proposed, format);
  if (!self || !path) return;
  std::optional<QString> failure = ReportFile::write(*path, *data.bytes);
  // Reports to compare are most likely where the last one went.
  if (!failure) savedFolder_ = QFileInfo(*path).absolutePath();
  setMessage(std::move(failure));
}

void ReportsPage::compareReports() {
  const QPointer<ReportsPage> self(this);
  const std::shared_ptr<ReportFileDialogs> dialogs = dialogs_;
  const std::optional<QStringList> paths = dialogs->reportsToCompare(this, savedFolder_);
  if (!self || !paths) return;
  ComparisonOutcome outcome = ReportsPresenter::compare(*paths, model_.format(), ReportBuilding::localize());
  if (outcome.comparison) {
    comparison_ = std::move(outcome.comparison);
    showComparison();
  }
  setMessage(std::move(outcome.message));
}

void ReportsPage::limitIncidentDate() {
  const QSignalBlocker blocker(incident_);
  incident_->setMaximumDateTime(QDateTime::currentDateTime());
}

void ReportsPage::refreshIcons() {
  if (!refresh_ || !messageIcon_) return;
  refresh_->setIcon(Icons::icon(QStringLiteral("arrow.clockwise"), palette().color(QPalette::ButtonText)));
  messageIcon_->setPixmap(Icons::pixmap(QStringLiteral("info.circle"), kIconSize,
                                        Palette::warning.resolve(this), devicePixelRatioF()));
}

void ReportsPage::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange) refreshIcons();
  Page::changeEvent(event);
}

void ReportsPage::showEvent(QShowEvent* event) {
  // Only moments up to the present can be chosen; the limit is taken afresh when shown.
  limitIncidentDate();
  Page::showEvent(event);
}

}  // namespace kivo
