#pragma once

#include <QString>

namespace apptest {

// Renders the main window in both languages (connected to the simulator,
// after a synchronisation) and each dialog of the application shell, one
// PNG each named by dialog id and language. Returns the number of files
// written, -1 on a failure. `suffix` ends every file name ("@2x").
int RenderAppSnapshots(const QString& outDir, const QString& suffix = QString());

}  // namespace apptest
