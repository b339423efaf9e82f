#include "collectors/GPUCollector.h"

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

// Cards come and go only with an external enclosure; look again every few minutes of ticks.
constexpr unsigned kReadsBetweenScans = 120;

std::optional<QString> vendorName(std::uint32_t vendor) {
  switch (vendor) {
    case 0x1002:
      return QStringLiteral("AMD");
    case 0x10de:
      return QStringLiteral("NVIDIA");
    case 0x8086:
      return QStringLiteral("Intel");
    default:
      return std::nullopt;
  }
}

std::optional<std::string_view> firstLine(const std::string& text) {
  std::string_view rest = text;
  std::string_view line;
  if (!KernelText::nextLine(rest, line)) return std::nullopt;
  return KernelText::trim(line);
}

}  // namespace

GPUCollector::GPUCollector(std::string root, std::shared_ptr<NvidiaManagement> nvidia)
    : files_(std::move(root)), nvidia_(std::move(nvidia)) {}

QString GPUCollector::cardName(const KernelFiles& files, const DrmCard& card) {
  if (card.vendor && card.device) {
    if (const auto name = DrmCards::pciDeviceName(files, *card.vendor, *card.device)) {
      return QString::fromStdString(*name);
    }
  }
  if (card.vendor) {
    if (const auto vendor = vendorName(*card.vendor)) return *vendor + QStringLiteral(" GPU");
  }
  if (card.driver) return QStringLiteral("GPU (%1)").arg(QString::fromStdString(*card.driver));
  return QStringLiteral("GPU");
}

std::vector<GPUDevice> GPUCollector::devices() const {
  std::vector<GPUDevice> result;
  for (const auto& card : DrmCards::read(files_)) {
    GPUDevice d;
    d.id = static_cast<std::uint64_t>(card.number);
    d.name = cardName(files_, card);
    d.vendorID = card.vendor;
    d.deviceID = card.device;
    if (card.driver) d.driver = QString::fromStdString(*card.driver);
    d.isRemovable = card.removable;
    d.isHeadless = !card.displayConnected;
    result.push_back(std::move(d));
  }
  return result;
}

std::optional<GPUStatistics> GPUCollector::parse(const QString& name,
                                                 std::optional<std::string_view> busyPercent,
                                                 std::optional<std::string_view> vramUsed) {
  GPUStatistics s(name);
  if (busyPercent) {
    if (const auto busy = KernelText::parseInt(*busyPercent)) {
      s.deviceUtilization = std::clamp(static_cast<double>(*busy), 0.0, 100.0);
    }
  }
  if (vramUsed) s.memoryInUse = KernelText::parseUInt(*vramUsed);
  if (!s.hasFigures()) return std::nullopt;
  return s;
}

GPUStatistics GPUCollector::fromNvidia(const NvidiaReading& reading) {
  GPUStatistics s(reading.name.empty() ? QStringLiteral("NVIDIA GPU") : QString::fromStdString(reading.name));
  if (reading.utilization && std::isfinite(*reading.utilization)) {
    s.deviceUtilization = std::clamp(*reading.utilization, 0.0, 100.0);
  }
  s.memoryInUse = reading.memoryUsed;
  return s;
}

void GPUCollector::rescan() {
  std::vector<CardFiles> previous = std::move(cards_);
  cards_.clear();
  for (const auto& card : DrmCards::read(files_)) {
    // Only drivers that publish these files have statistics; the others are not listed.
    const bool busy = files_.exists(card.devicePath + "/gpu_busy_percent");
    const bool vram = files_.exists(card.devicePath + "/mem_info_vram_used");
    if (!busy && !vram) continue;
    // The id database is large: name a card once and keep its name across scans.
    const std::string busyPath = files_.path(card.devicePath + "/gpu_busy_percent");
    QString name;
    for (const auto& known : previous) {
      if (known.busy.path() == busyPath && known.vendor == card.vendor && known.device == card.device) {
        name = known.name;
      }
    }
    if (name.isEmpty()) name = cardName(files_, card);
    cards_.push_back(CardFiles{std::move(name), card.vendor, card.device, KernelFile(busyPath),
                               KernelFile(files_.path(card.devicePath + "/mem_info_vram_used")),
                               KernelFile(files_.path(card.devicePath + "/power/runtime_status"))});
  }
  readsSinceScan_ = 0;
  scanned_ = true;
}

std::vector<GPUStatistics> GPUCollector::statistics() {
  if (!scanned_ || ++readsSinceScan_ >= kReadsBetweenScans) rescan();
  std::vector<GPUStatistics> result;
  for (auto& card : cards_) {
    // A powered-down card is idle; reading its files would wake it, so do not.
    if (card.runtimeStatus.read(buffer_) && firstLine(buffer_) == std::string_view("suspended")) {
      GPUStatistics idle(card.name);
      idle.deviceUtilization = 0.0;
      result.push_back(std::move(idle));
      continue;
    }
    const bool busyOk = card.busy.read(buffer_);
    const bool vramOk = card.vramUsed.read(secondBuffer_);
    const auto busyText = busyOk ? firstLine(buffer_) : std::nullopt;
    const auto vramText = vramOk ? firstLine(secondBuffer_) : std::nullopt;
    if (auto stats = parse(card.name, busyText, vramText)) result.push_back(std::move(*stats));
  }
  if (nvidia_) {
    for (const auto& reading : nvidia_->read()) result.push_back(fromNvidia(reading));
  }
  return result;
}

}  // namespace kivo
