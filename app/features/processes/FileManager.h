#pragma once

#include <QString>

namespace kivo::FileManager {

// Shows the file selected in the desktop's file manager (org.freedesktop.FileManager1 on the
// session bus); without one, opens the folder that holds it. Returns at once.
void showItem(const QString& path);

}  // namespace kivo::FileManager
