#pragma once

#include <QString>

#include <functional>

class QObject;

namespace kivo {

// Shows a file selected in the desktop's file manager (org.freedesktop.FileManager1 on the
// session bus); without one, opens the folder that holds it. Tests replace it.
class FileManager {
 public:
  virtual ~FileManager() = default;
  // Returns at once; `done` runs later, in `context`'s thread and only while it lives, with
  // false when nothing could show the file.
  virtual void showItem(const QString& path, QObject* context, std::function<void(bool shown)> done);
};

}  // namespace kivo
