#include "features/disk/DiskPage.h"

#include "design/BareLayout.h"
#include "design/Card.h"
#include "design/CardRow.h"
#include "design/Environment.h"
#include "design/Hairline.h"
#include "design/KeyedGrid.h"
#include "design/LiveChart.h"
#include "design/Meter.h"
#include "design/MetricFamily.h"
#include "design/PageHeader.h"
#include "design/Readout.h"
#include "design/SourcesCard.h"
#include "design/SymbolView.h"
#include "design/Tokens.h"
#include "design/ToneLabel.h"
#include "design/UnavailableRow.h"
#include "features/disk/DiskPresenter.h"
#include "model/MonitorModel.h"
#include "texts/Localized.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <array>

namespace kivo {

namespace {

// A volume's small capsule label ("STARTUP").
class Tag : public QWidget {
 public:
  Tag(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    font_ = Typeface::system(9, QFont::DemiBold);
    const QFontMetrics metrics(font_);
    setFixedSize(metrics.horizontalAdvance(text_) + 10, metrics.height() + 4);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Palette::surfaceRaised.resolve(this));
    const QRectF box(rect());
    painter.drawRoundedRect(box, box.height() / 2, box.height() / 2);
    painter.setFont(font_);
    painter.setPen(Palette::textSecondary.resolve(this));
    painter.drawText(box, Qt::AlignCenter, text_);
  }

 private:
  QString text_;
  QFont font_;
};

}  // namespace

// One volume: name, tags and space; the used meter; file system, mount point and device.
class VolumeView : public QWidget {
 public:
  explicit VolumeView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("disk.volume"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 0, 4);
    column->setSpacing(5);
    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    symbol_ = new SymbolView(QStringLiteral("internaldrive"), ChartColor::of(MetricFamily::disk), 16, this);
    name_ = new ToneLabel(QString(), Typeface::system(13, QFont::DemiBold), Palette::textPrimary, this);
    tags_ = new QHBoxLayout;
    tags_->setSpacing(4);
    space_ = new ToneLabel(QString(), Typeface::value(), Palette::textPrimary, this);
    top->addWidget(symbol_);
    top->addWidget(name_);
    top->addLayout(tags_);
    top->addStretch();
    top->addWidget(space_);
    column->addLayout(top);
    meter_ = new Meter(0.0, MetricFamilies::color(MetricFamily::disk, false), 8, this);
    column->addWidget(meter_);
    auto* below = new QHBoxLayout;
    below->setSpacing(16);
    caption_ = new QHBoxLayout;
    caption_->setSpacing(16);
    below->addLayout(caption_);
    below->addStretch();
    meterText_ = new ToneLabel(QString(), Typeface::caption(), Palette::textSecondary, this);
    meterText_->setObjectName(QStringLiteral("disk.volume.meterText"));
    below->addWidget(meterText_);
    column->addLayout(below);
    divider_ = new Hairline(Qt::Horizontal, this);
    column->addSpacing(4);
    column->addWidget(divider_);
  }

  void show(const DiskPresenter::VolumeBlock& block, bool last) {
    symbol_->setSymbol(block.symbol, ChartColor::of(MetricFamily::disk));
    name_->setText(block.name);
    space_->setText(block.space);
    if (block.tags != tagTexts_) {
      tagTexts_ = block.tags;
      while (QLayoutItem* item = tags_->takeAt(0)) {
        delete item->widget();
        delete item;
      }
      for (const QString& tag : block.tags) tags_->addWidget(new Tag(tag, this));
    }
    meter_->setFraction(block.fraction);
    meterText_->setText(block.meterText);
    meter_->setAccessibleName(block.meterText);
    meter_->setColor(block.danger
                         ? Palette::danger
                         : MetricFamilies::color(MetricFamily::disk, Environment::colorBlindSafe(this)));
    if (block.caption != captionTexts_) {
      captionTexts_ = block.caption;
      while (QLayoutItem* item = caption_->takeAt(0)) {
        delete item->widget();
        delete item;
      }
      for (const QString& part : block.caption) {
        caption_->addWidget(new ToneLabel(part, Typeface::caption(), Palette::textSecondary, this));
      }
    }
    divider_->setVisible(!last);
    setAccessibleName(block.name + QStringLiteral(", ") + block.space);
  }

  Meter* meter() const { return meter_; }

 private:
  SymbolView* symbol_;
  ToneLabel* name_;
  QHBoxLayout* tags_;
  ToneLabel* space_;
  Meter* meter_;
  ToneLabel* meterText_;
  QHBoxLayout* caption_;
  Hairline* divider_;
  QStringList tagTexts_;
  QStringList captionTexts_;
};

DiskPage::DiskPage(MonitorModel& model, QWidget* parent) : Page(parent), model_(model) {
  build();
  refreshSnapshot();
  refreshLive();
  connect(&model_, &MonitorModel::snapshotChanged, this, &DiskPage::refreshSnapshot);
  connect(&model_, &MonitorModel::liveChanged, this, &DiskPage::refreshLive);
}

bool DiskPage::event(QEvent* event) {
  if (event->type() == Environment::changedEventType()) refreshSnapshot();
  return Page::event(event);
}

void DiskPage::build() {
  header_ = new PageHeader(QStringLiteral("Disk"), DiskPresenter::subtitle(0, 0), MetricFamily::disk);
  addWidget(header_);

  volumesCard_ = new Card(QStringLiteral("Volumes"), MetricFamily::disk);
  volumesCard_->setObjectName(QStringLiteral("disk.volumes"));
  volumesCard_->addContent(
      ToneLabel::note(tr("Volumes are logical: several can share one container and one physical disk, so "
                         "their capacities must not be added together."),
                      volumesCard_));
  auto* list = new QWidget(volumesCard_);
  volumeColumn_ = bareColumn(list, 0);
  volumesCard_->addContent(list);
  noVolumes_ = ToneLabel::note(tr("Collecting samples…"), volumesCard_, false);
  volumesCard_->addContent(noVolumes_);
  addWidget(volumesCard_);

  auto* row = new CardRow;
  auto* throughput = new Card(QStringLiteral("Throughput"), MetricFamily::disk);
  auto* readouts = new QWidget(throughput);
  auto* readoutRow = bareRow(readouts, 24);
  read_ = new Readout(std::nullopt, QStringLiteral("Read"), 24, Palette::textPrimary, readouts);
  write_ = new Readout(std::nullopt, QStringLiteral("Write"), 24, Palette::textPrimary, readouts);
  readoutRow->addStretch();
  readoutRow->addWidget(read_);
  readoutRow->addWidget(write_);
  readoutRow->addStretch();
  throughput->addContent(readouts);
  throughput_ = new LiveChart(throughput);
  LiveChartOptions rates;
  rates.format = [format = model_.format()](double value) { return format.rate(value); };
  rates.axis = AxisUnit::bytes(false, QStringLiteral("/s"));
  rates.height = 180;
  throughput_->setOptions(std::move(rates));
  throughput->addContent(throughput_);
  throughputSeries_ = {
      LiveSeries{QStringLiteral("read"), tr("Read"), ChartColor::of(MetricFamily::disk), {}},
      LiveSeries{QStringLiteral("write"), tr("Write"), ChartColor::of(MetricFamily::gpu), {}}};
  row->addWidget(throughput);

  auto* space = new Card(QStringLiteral("Available space, startup volume"), MetricFamily::disk);
  free_ = new Readout(std::nullopt, QStringLiteral("Space an ordinary user can still write"), 24,
                      Palette::textPrimary, space);
  space->addContent(free_);
  space_ = new LiveChart(space);
  LiveChartOptions bytes;
  bytes.format = [format = model_.format()](double value) { return format.bytes(value, false); };
  bytes.axis = AxisUnit::bytes(false);
  bytes.height = 180;
  space_->setOptions(std::move(bytes));
  space->addContent(space_);
  spaceSeries_ = {
      LiveSeries{QStringLiteral("free"), tr("Available"), ChartColor::of(MetricFamily::disk), {}}};
  row->addWidget(space);
  addWidget(row);

  auto* devices = new Card(QStringLiteral("Block devices"), MetricFamily::disk);
  devices->addContent(ToneLabel::note(
      tr("Activity is counted on physical devices. Disk images are listed but excluded from the "
         "totals, because their I/O already appears on the device that holds them."),
      devices));
  devices_ = new KeyedGrid({QStringLiteral("Device"), QStringLiteral("Model"), QStringLiteral("Connection"),
                            QStringLiteral("Size"), QStringLiteral("Read"), QStringLiteral("Write"),
                            QStringLiteral("Total read"), QStringLiteral("Total written")},
                           6, devices);
  devices_->setObjectName(QStringLiteral("disk.devices"));
  // The totals, the connection and the model go first when the card is narrow.
  devices_->setDropOrder({7, 6, 2, 1});
  devices->addContent(devices_);
  devices->addContent(ToneLabel::note(tr("Totals count from the last restart."), devices, false));
  addWidget(devices);

  auto* unavailable = new Card(QStringLiteral("Not available"), MetricFamily::disk);
  unavailable->addContent(new UnavailableRow(
      tr("SSD health, wear level and temperature"),
      tr("SMART data needs root. KIVO Monitor runs without privileges and shows none rather than guess."),
      unavailable));
  unavailable->addContent(new UnavailableRow(
      tr("Per-process disk throughput"),
      tr("Only cumulative bytes per process are available; see the Processes page."), unavailable));
  addWidget(unavailable);

  static constexpr std::array kSources{MetricID::diskRead, MetricID::diskWrite, MetricID::diskFree};
  addWidget(new SourcesCard(kSources));
}

void DiskPage::refreshSnapshot() {
  const TelemetrySnapshot* snapshot = model_.snapshot().get();
  const std::size_t volumes = snapshot ? snapshot->volumes.size() : 0;
  const std::size_t disks = snapshot && snapshot->disk ? snapshot->disk->disks.size() : 0;
  header_->setSubtitle(DiskPresenter::subtitle(volumes, disks));
  refreshVolumes();

  QStringList ids;
  std::vector<DiskPresenter::DeviceRow> rows;
  if (snapshot && snapshot->disk) {
    for (const PhysicalDisk& disk : snapshot->disk->disks) {
      rows.push_back(DiskPresenter::deviceRow(disk, model_.format()));
      ids.append(disk.bsdName);
    }
  }
  devices_->setRows(ids, [](QWidget* parent) {
    std::vector<QWidget*> cells;
    for (int column = 0; column < 8; ++column) {
      auto* cell = new ToneLabel(QString(), column == 0 ? Typeface::mono() : Typeface::value(),
                                 Palette::textPrimary, parent);
      if (column == 0) cell->setTextInteractionFlags(Qt::TextSelectableByMouse);
      cells.push_back(cell);
    }
    return cells;
  });
  for (const auto& row : rows) {
    const auto& cells = devices_->cells(row.id);
    const std::array<QString, 8> texts{row.id,   row.model, row.connection, row.size,
                                       row.read, row.write, row.totalRead,  row.totalWritten};
    for (std::size_t i = 0; i < texts.size(); ++i) {
      auto* cell = static_cast<ToneLabel*>(cells[i]);
      cell->setText(texts[i]);
      cell->setTone(row.secondary ? Palette::textSecondary : Palette::textPrimary);
    }
  }
}

void DiskPage::refreshVolumes() {
  const TelemetrySnapshot* snapshot = model_.snapshot().get();
  static const std::vector<VolumeInfo> none;
  const std::vector<VolumeInfo>& volumes = snapshot ? snapshot->volumes : none;
  QStringList ids;
  for (const VolumeInfo& volume : volumes) ids.append(volume.mountPoint);
  if (ids != volumeOrder_) {
    for (VolumeView* view : std::as_const(volumes_)) volumeColumn_->removeWidget(view);
    for (auto it = volumes_.begin(); it != volumes_.end();) {
      if (!ids.contains(it.key())) {
        it.value()->hide();
        it.value()->deleteLater();
        it = volumes_.erase(it);
      } else {
        ++it;
      }
    }
    for (const QString& id : ids) {
      VolumeView*& view = volumes_[id];
      if (!view) view = new VolumeView(volumeColumn_->parentWidget());
      volumeColumn_->addWidget(view);
    }
    volumeOrder_ = ids;
  }
  const QString home = QDir::homePath();
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    const auto block = DiskPresenter::volumeBlock(volumes[i], model_.format(), home);
    // The last volume (by mount point) draws no divider under it.
    volumes_.value(block.id)->show(block, block.id == ids.last());
  }
  noVolumes_->setVisible(volumes.empty());
}

void DiskPage::refreshLive() {
  const ValueFormatter& format = model_.format();
  const auto value = [&](MetricID metric, bool bytes) -> std::optional<QString> {
    if (const auto latest = model_.latest(metric))
      return bytes ? format.bytes(*latest, false) : format.rate(*latest);
    return std::nullopt;
  };
  read_->setValue(value(MetricID::diskRead, false));
  write_->setValue(value(MetricID::diskWrite, false));
  free_->setValue(value(MetricID::diskFree, true));
  throughputSeries_[0].assign(model_.live(MetricID::diskRead));
  throughputSeries_[1].assign(model_.live(MetricID::diskWrite));
  throughput_->setSeries(throughputSeries_);
  spaceSeries_[0].assign(model_.live(MetricID::diskFree));
  space_->setSeries(spaceSeries_);
}

}  // namespace kivo
