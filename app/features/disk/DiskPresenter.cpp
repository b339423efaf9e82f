#include "features/disk/DiskPresenter.h"
#include "metrics/OutsideText.h"

#include "texts/HomePath.h"
#include "texts/Localized.h"

namespace kivo {

namespace {
const QString kDash = QStringLiteral("—");
}

QString DiskPresenter::subtitle(std::size_t volumes, std::size_t devices) {
  const QString v = volumes == 1 ? tr("1 volume") : tr("%1 volumes", QString::number(volumes));
  const QString d = devices == 1 ? tr("1 block device") : tr("%1 block devices", QString::number(devices));
  return v + QStringLiteral(" · ") + d;
}

DiskPresenter::VolumeBlock DiskPresenter::volumeBlock(const VolumeInfo& volume, const ValueFormatter& format,
                                                      const QString& home) {
  VolumeBlock block;
  block.id = volume.mountPoint;
  block.symbol = volume.isNetwork    ? QStringLiteral("externaldrive.connected.to.line.below")
                 : volume.isInternal ? QStringLiteral("internaldrive")
                                     : QStringLiteral("externaldrive");
  block.name = OutsideText::visible(volume.name);
  if (volume.isRoot) block.tags.append(tr("Startup").toUpper());
  if (volume.isReadOnly) block.tags.append(tr("Read-only").toUpper());
  if (volume.isRemovable) block.tags.append(tr("Removable").toUpper());
  block.space = tr("%1 available of %2", format.bytes(static_cast<double>(volume.available), false),
                   format.bytes(static_cast<double>(volume.total), false));
  block.fraction = volume.usedFraction();
  // Blocks reserved for root count here too, so the bar can be far above what df calls used.
  block.meterText = tr("%1 used or reserved", format.percent(block.fraction * 100, 0));
  block.danger = block.fraction > kDangerFraction;
  if (!volume.format.isEmpty()) block.caption.append(OutsideText::visible(volume.format));
  block.caption.append(OutsideText::visible(HomePath::abbreviated(volume.mountPoint, home)));
  if (volume.bsdName) {
    QString device = OutsideText::visible(*volume.bsdName);
    if (volume.containerBSDName)
      device += QStringLiteral(" → ") + OutsideText::visible(*volume.containerBSDName);
    block.caption.append(device);
  }
  if (volume.connection) block.caption.append(*volume.connection);
  return block;
}

DiskPresenter::DeviceRow DiskPresenter::deviceRow(const PhysicalDisk& disk, const ValueFormatter& format) {
  DeviceRow row;
  row.id = disk.bsdName;
  row.secondary = disk.isDiskImage;
  if (disk.isDiskImage) {
    row.model = tr("Disk image");
    row.connection = kDash;
  } else {
    // Virtual disks publish no model: the kernel name is already the row's first column.
    row.model = disk.model.isEmpty() ? kDash : OutsideText::visible(disk.model);
    QStringList parts;
    if (disk.interconnect) parts.append(*disk.interconnect);
    if (disk.mediumType) parts.append(*disk.mediumType);
    row.connection = parts.join(QStringLiteral(" · "));
  }
  row.size = disk.size ? format.bytes(static_cast<double>(*disk.size), false) : kDash;
  row.read = disk.readRate ? format.rate(*disk.readRate) : kDash;
  row.write = disk.writeRate ? format.rate(*disk.writeRate) : kDash;
  row.totalRead = format.bytes(static_cast<double>(disk.totalBytesRead), false);
  row.totalWritten = format.bytes(static_cast<double>(disk.totalBytesWritten), false);
  return row;
}

}  // namespace kivo
