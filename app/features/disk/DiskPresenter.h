#pragma once

#include "collectors/DiskActivitySample.h"
#include "collectors/VolumeInfo.h"
#include "metrics/ValueFormatter.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kivo {

// What the disk page shows, decided without a display.
namespace DiskPresenter {

// A meter above this used fraction turns to the danger colour.
inline constexpr double kDangerFraction = 0.9;

// "<n> volumes · <m> block devices".
QString subtitle(std::size_t volumes, std::size_t devices);

struct VolumeBlock {
  QString id;      // the mount point
  QString symbol;  // network, internal or external drive
  QString name;
  QStringList tags;     // upper case: STARTUP, READ-ONLY, REMOVABLE in that order
  QString space;        // "<available> available of <total>"
  double fraction = 0;  // of the size not available to you: used, or reserved for root
  QString meterText;    // what the bar shows, so it is not read as "used"
  bool danger = false;
  QStringList caption;  // file system, shortened mount point, device, connection (present ones)
};
// `home` is the user's home directory the mount point is shortened against.
VolumeBlock volumeBlock(const VolumeInfo& volume, const ValueFormatter& format, const QString& home);

struct DeviceRow {
  QString id;  // the kernel name
  QString model;
  QString connection;
  QString size;
  QString read;
  QString write;
  QString totalRead;
  QString totalWritten;
  bool secondary = false;  // a disk image (loop device)
};
DeviceRow deviceRow(const PhysicalDisk& disk, const ValueFormatter& format);

}  // namespace DiskPresenter

}  // namespace kivo
