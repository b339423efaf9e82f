#include "features/network/NetworkPage.h"

#include "design/Accessibility.h"
#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/KeyValueRow.h"
#include "design/KeyedGrid.h"
#include "design/LiveChart.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/Readout.h"
#include "design/SourcesCard.h"
#include "design/SymbolView.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/network/LatencyRunner.h"
#include "features/network/NetworkPresenter.h"
#include "model/MonitorModel.h"
#include "settings/AppSettings.h"
#include "texts/Localized.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <array>

namespace kivo {

namespace {

const QString kDash = QStringLiteral("—");

ToneLabel* message(const QString& text, QWidget* parent) {
  return new ToneLabel(text, Typeface::system(12), Palette::textSecondary, parent);
}

QWidget* hbox(QWidget* parent, int spacing, QHBoxLayout** layout) {
  auto* row = new QWidget(parent);
  auto* box = bareRow(row, spacing);
  *layout = box;
  return row;
}

}  // namespace

NetworkPage::NetworkPage(MonitorModel& model, AppSettings& settings, QWidget* parent)
    : NetworkPage(model, settings, nullptr, parent) {}

NetworkPage::NetworkPage(MonitorModel& model, AppSettings& settings, LatencyRunner* runner, QWidget* parent)
    : Page(parent), model_(model), settings_(settings), runner_(runner ? runner : new LatencyRunner(this)) {
  runner_->setParent(this);
  build();
  refreshSnapshot();
  refreshLive();
  refreshWiFi();
  refreshDNS();
  refreshChanges();
  refreshLatency();
  connect(&model_, &MonitorModel::snapshotChanged, this, &NetworkPage::refreshSnapshot);
  // The first snapshot is when the model first looks for a Wi-Fi adapter, found or not.
  connect(&model_, &MonitorModel::snapshotChanged, this, [this] {
    if (wifiLooked_ || !model_.snapshot()) return;
    wifiLooked_ = true;
    refreshWiFi();
  });
  connect(&model_, &MonitorModel::liveChanged, this, &NetworkPage::refreshLive);
  connect(&model_, &MonitorModel::wifiChanged, this, &NetworkPage::refreshWiFi);
  connect(&model_, &MonitorModel::dnsChanged, this, [this] {
    refreshDNS();
    refreshSnapshot();
  });
  connect(&model_, &MonitorModel::networkEventsChanged, this, &NetworkPage::refreshChanges);
  connect(&settings_, &AppSettings::privacyMaskChanged, this, [this] {
    refreshDNS();
    refreshSnapshot();
  });
  connect(&settings_, &AppSettings::latencyHostChanged, this, [this] {
    if (host_->text() != settings_.latencyHost()) {
      const QSignalBlocker blocker(host_);
      host_->setText(settings_.latencyHost());
    }
    refreshLatency();
  });
  connect(runner_, &LatencyRunner::stateChanged, this, &NetworkPage::refreshLatency);
}

void NetworkPage::build() {
  header_ = new PageHeader(QStringLiteral("Network"), std::nullopt, MetricFamily::network);
  addWidget(header_);

  // Throughput beside Wi-Fi and DNS.
  auto* top = new CardRow;
  auto* throughput = new Card(QStringLiteral("Throughput"), MetricFamily::network);
  QHBoxLayout* readouts = nullptr;
  QWidget* readoutRow = hbox(throughput, 24, &readouts);
  down_ = new Readout(std::nullopt, QStringLiteral("Download"), 26, Palette::textPrimary, readoutRow);
  up_ = new Readout(std::nullopt, QStringLiteral("Upload"), 26, Palette::textPrimary, readoutRow);
  readouts->addStretch();
  readouts->addWidget(down_);
  readouts->addWidget(up_);
  readouts->addStretch();
  throughput->addContent(readoutRow);
  chart_ = new LiveChart(throughput);
  chart_->setObjectName(QStringLiteral("network.chart"));
  LiveChartOptions options;
  options.format = [format = model_.format()](double value) { return format.rate(value); };
  options.axis = AxisUnit::bytes(false, QStringLiteral("/s"));
  options.height = 180;
  chart_->setOptions(std::move(options));
  throughput->addContent(chart_);
  throughput->addContent(ToneLabel::note(
      tr("Totals add Wi-Fi, Ethernet and cellular links. VPN tunnels are listed below but not "
         "added, since their traffic already crosses one of those links."),
      throughput));
  series_ = {LiveSeries{QStringLiteral("down"), tr("Download"), ChartColor::of(MetricFamily::network), {}},
             LiveSeries{QStringLiteral("up"), tr("Upload"), ChartColor::of(MetricFamily::gpu), {}}};
  top->addWidget(throughput);

  auto* side = new QWidget;
  side->setMinimumWidth(300);
  side->setMaximumWidth(400);
  auto* sideColumn = bareColumn(side, 16);
  auto* wifi = new Card(QStringLiteral("Wi-Fi link"), MetricFamily::network, std::nullopt, side);
  wifi->setObjectName(QStringLiteral("network.wifi"));
  for (const char* label : {"Signal (RSSI)", "Noise", "Signal-to-noise", "Link rate", "Channel"}) {
    auto* row = new KeyValueRow(tr(label), std::nullopt, std::nullopt, std::nullopt, wifi);
    wifiRows_.push_back(row);
    wifi->addContent(row);
  }
  wifiMessage_ = message(QString(), wifi);
  wifi->addContent(wifiMessage_);
  wifi->addContent(ToneLabel::note(tr("The network name is not shown: KIVO Monitor never reads it."), wifi));
  sideColumn->addWidget(wifi);
  auto* dns = new Card(QStringLiteral("DNS and routing"), MetricFamily::network, std::nullopt, side);
  dns->setObjectName(QStringLiteral("network.dns"));
  for (const char* label : {"Primary interface", "Router", "DNS servers", "Search domains"}) {
    auto* row = new KeyValueRow(tr(label), std::nullopt, std::nullopt, std::nullopt, dns);
    dnsRows_.push_back(row);
    dns->addContent(row);
  }
  // The DNS card takes what the throughput card leaves, so the column ends with it (no strip of
  // canvas under a short Wi-Fi card on a computer without Wi-Fi).
  sideColumn->addWidget(dns, 1);
  top->addWidget(side);
  addWidget(top);

  // Interfaces.
  auto* interfaces = new Card(QStringLiteral("Interfaces"), MetricFamily::network);
  showInactive_box_ = new QCheckBox(tr("Show inactive interfaces"), interfaces);
  showInactive_box_->setObjectName(QStringLiteral("network.showInactive"));
  showInactive_box_->setFont(Typeface::system(12));
  connect(showInactive_box_, &QCheckBox::clicked, this, [this](bool on) {
    showInactive_ = on;
    refreshInterfaces();
  });
  interfaces->addContent(showInactive_box_);
  interfaces_ =
      new KeyedGrid({QStringLiteral("Interface"), QStringLiteral("Kind"), QStringLiteral("Status"),
                     QStringLiteral("Addresses"), QStringLiteral("Download"), QStringLiteral("Upload"),
                     QStringLiteral("Received"), QStringLiteral("Sent"), QStringLiteral("Errors")},
                    6, interfaces);
  interfaces_->setObjectName(QStringLiteral("network.interfaces"));
  // Errors, the totals, the kind and the addresses go first when the card is narrow.
  interfaces_->setDropOrder({8, 7, 6, 1, 3});
  interfaces->addContent(interfaces_);
  addWidget(interfaces);

  // Latency test beside the network changes.
  auto* bottom = new CardRow;
  bottom->addWidget(buildLatencyCard());
  auto* changes = new Card(QStringLiteral("Network changes"), MetricFamily::network);
  changes->setObjectName(QStringLiteral("network.changes"));
  noChanges_ = message(tr("No change since KIVO Monitor started."), changes);
  changes->addContent(noChanges_);
  for (int i = 0; i < NetworkPresenter::kChangeLines; ++i) {
    QHBoxLayout* line = nullptr;
    QWidget* row = hbox(changes, 8, &line);
    row->setObjectName(QStringLiteral("network.change"));
    ChangeLineView view{
        row, new SymbolView(QStringLiteral("network"), ChartColor::of(Palette::success), 14, row),
        new ToneLabel(QString(), Typeface::system(12, QFont::Medium), Palette::textPrimary, row),
        new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, row),
        new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, row)};
    line->addWidget(view.symbol);
    line->addWidget(view.title);
    line->addWidget(view.interfaces);
    line->addStretch();
    line->addWidget(view.time);
    changes->addContent(row);
    changes_.push_back(view);
  }
  changes->body()->addStretch();
  bottom->addWidget(changes);
  addWidget(bottom);

  auto* unavailable = new Card(QStringLiteral("Not available"), MetricFamily::network);
  unavailable->addContent(new UnavailableRow(tr("Per-process network traffic"),
                                             tr("Linux keeps no per-process traffic counters; counting them "
                                                "would mean intercepting traffic, which KIVO "
                                                "Monitor does not do."),
                                             unavailable));
  addWidget(unavailable);

  static constexpr std::array kSources{MetricID::netDown, MetricID::netUp};
  addWidget(new SourcesCard(kSources));
}

QWidget* NetworkPage::buildLatencyCard() {
  auto* card = new Card(QStringLiteral("Latency test"), MetricFamily::network);
  card->setObjectName(QStringLiteral("network.latency"));
  QHBoxLayout* controls = nullptr;
  QWidget* controlRow = hbox(card, 8, &controls);
  host_ = new QLineEdit(controlRow);
  host_->setObjectName(QStringLiteral("network.latencyHost"));
  host_->setPlaceholderText(tr("Host"));
  Accessibility::nameAfterPlaceholder(host_);
  host_->setMaximumWidth(220);
  host_->setText(settings_.latencyHost());
  // Every keystroke is saved; text set by the page is not.
  connect(host_, &QLineEdit::textEdited, this,
          [this](const QString& text) { settings_.setLatencyHost(text); });
  run_ = new QPushButton(tr("Run Test"), controlRow);
  run_->setObjectName(QStringLiteral("network.latencyRun"));
  connect(run_, &QPushButton::clicked, this, [this] { runner_->run(settings_.latencyHost()); });
  controls->addWidget(host_);
  controls->addWidget(run_);
  controls->addStretch();
  card->addContent(controlRow);

  QHBoxLayout* failureLayout = nullptr;
  failureRow_ = hbox(card, 6, &failureLayout);
  failureRow_->setObjectName(QStringLiteral("network.latencyFailure"));
  failureLayout->addWidget(
      new SymbolView(QStringLiteral("xmark.octagon"), ChartColor::of(Palette::danger), 14, failureRow_));
  failure_ = new ToneLabel(QString(), Typeface::system(12), Palette::danger, failureRow_);
  failure_->setWordWrap(true);
  failureLayout->addWidget(failure_, 1);
  card->addContent(failureRow_);

  QHBoxLayout* figuresLayout = nullptr;
  figuresRow_ = hbox(card, 24, &figuresLayout);
  figuresRow_->setObjectName(QStringLiteral("network.latencyFigures"));
  figuresLayout->addStretch();
  for (const char* caption : {"Average", "Fastest", "Slowest", "Failed"}) {
    auto* readout =
        new Readout(std::nullopt, QString::fromLatin1(caption), 22, Palette::textPrimary, figuresRow_);
    figures_.push_back(readout);
    figuresLayout->addWidget(readout);
  }
  figuresLayout->addStretch();
  card->addContent(figuresRow_);
  card->addContent(ToneLabel::note(
      tr("Times five TCP handshakes to port 443 of the host you enter, only when you press the "
         "button. Nothing is sent after the handshake. This is connection time, which includes more "
         "than a ping's round trip."),
      card));
  card->body()->addStretch();
  return card;
}

void NetworkPage::refreshSnapshot() {
  const TelemetrySnapshot* snapshot = model_.snapshot().get();
  header_->setSubtitle(NetworkPresenter::primarySubtitle(snapshot, model_.dns(), settings_.privacyMask()));
  refreshInterfaces();
}

void NetworkPage::refreshLive() {
  const ValueFormatter& format = model_.format();
  const auto rate = [&](MetricID metric) -> std::optional<QString> {
    if (const auto value = model_.latest(metric)) return format.rate(*value);
    return std::nullopt;
  };
  down_->setValue(rate(MetricID::netDown));
  up_->setValue(rate(MetricID::netUp));
  series_[0].assign(model_.live(MetricID::netDown));
  series_[1].assign(model_.live(MetricID::netUp));
  chart_->setSeries(series_);
}

void NetworkPage::refreshWiFi() {
  const auto card = NetworkPresenter::wifiCard(model_.wifi(), model_.snapshot() != nullptr, model_.format());
  for (std::size_t i = 0; i < wifiRows_.size(); ++i) {
    const bool shown = i < card.rows.size();
    wifiRows_[i]->setVisible(shown);
    if (shown) wifiRows_[i]->setValue(card.rows[i].value);
  }
  wifiMessage_->setText(card.message);
  wifiMessage_->setVisible(card.rows.empty());
}

void NetworkPage::refreshDNS() {
  const auto rows = NetworkPresenter::dnsRows(model_.dns(), settings_.privacyMask());
  for (std::size_t i = 0; i < dnsRows_.size() && i < rows.size(); ++i) dnsRows_[i]->setValue(rows[i].value);
}

void NetworkPage::refreshInterfaces() {
  const auto rows = NetworkPresenter::interfaceRows(model_.snapshot().get(), showInactive_,
                                                    settings_.privacyMask(), model_.format());
  QStringList ids;
  for (const auto& row : rows) ids.append(row.id);
  interfaces_->setRows(ids, [](QWidget* parent) {
    std::vector<QWidget*> cells;
    auto* name = new QWidget(parent);
    auto* stack = bareColumn(name, 0);
    stack->addWidget(new ToneLabel(QString(), Typeface::value(), Palette::textPrimary, name));
    stack->addWidget(new ToneLabel(QString(), Typeface::caption(), Palette::textTertiary, name));
    cells.push_back(name);
    for (int column = 1; column < 9; ++column) {
      const QFont& font = column == 3 ? Typeface::mono() : Typeface::value();
      auto* cell = new ToneLabel(QString(), font, Palette::textPrimary, parent);
      if (column == 3) cell->setTextInteractionFlags(Qt::TextSelectableByMouse);
      cells.push_back(cell);
    }
    return cells;
  });
  for (const auto& row : rows) {
    const auto& cells = interfaces_->cells(row.id);
    const auto labels = cells[0]->findChildren<ToneLabel*>();
    labels[0]->setText(row.title);
    labels[1]->setText(row.subtitle.value_or(QString()));
    labels[1]->setVisible(row.subtitle.has_value());
    const std::array<QString, 8> texts{row.kind, row.status,   row.addresses, row.down,
                                       row.up,   row.received, row.sent,      row.errors};
    for (std::size_t i = 0; i < texts.size(); ++i) static_cast<ToneLabel*>(cells[i + 1])->setText(texts[i]);
    static_cast<ToneLabel*>(cells[2])->setTone(
        row.statusTone == NetworkPresenter::StatusTone::success ? Palette::success : Palette::textSecondary);
  }
}

void NetworkPage::refreshChanges() {
  const auto lines = NetworkPresenter::changeLines(model_.networkEvents());
  noChanges_->setVisible(lines.empty());
  for (std::size_t i = 0; i < changes_.size(); ++i) {
    const bool shown = i < lines.size();
    changes_[i].row->setVisible(shown);
    if (!shown) continue;
    const auto& line = lines[i];
    changes_[i].symbol->setSymbol(line.symbol,
                                  ChartColor::of(line.warning ? Palette::warning : Palette::success));
    changes_[i].title->setText(line.title);
    changes_[i].interfaces->setText(line.interfaces);
    changes_[i].time->setText(line.time);
    changes_[i].row->setAccessibleName(line.title + QStringLiteral(", ") + line.interfaces +
                                       QStringLiteral(", ") + line.time);
  }
}

void NetworkPage::refreshLatency() {
  run_->setText(runner_->isRunning() ? tr("Testing…") : tr("Run Test"));
  run_->setEnabled(runner_->canRun(settings_.latencyHost()));
  const auto& result = runner_->result();
  const auto figures =
      result ? LatencyText::figures(*result, model_.format()) : std::vector<LatencyText::Figure>{};
  failureRow_->setVisible(result && figures.empty());
  if (result && figures.empty()) failure_->setText(LatencyText::failure(*result));
  figuresRow_->setVisible(!figures.empty());
  for (std::size_t i = 0; i < figures.size() && i < figures_.size(); ++i) {
    figures_[i]->setValue(figures[i].value);
    figures_[i]->setColor(figures[i].warning ? Palette::warning : Palette::textPrimary);
  }
}

}  // namespace kivo
