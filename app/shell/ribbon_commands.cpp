#include "shell/ribbon_commands.h"

#include <QAction>
#include <QString>

#include "shell/command_ids.h"

namespace {
constexpr RibbonPanelInfo kPanels[] = {
    {"BKF Repair", 1},
    {"BKF File Snapshots", 2},
    {"About BKF Repair", 1},
};

constexpr RibbonCommandInfo kCommands[] = {
    {0, ID_FILE_OPEN_BKF, "Open", "Open BKF file", 0, "Ctrl+O"},
    {0, ID_STOP_PROCESS, "Stop", "Stop running recovery process", 1, nullptr},
    {0, ID_SAVE_RECOVERED, "Save", "Save recovered data", 2, "Ctrl+S"},
    {0, ID_SEARCH_FILES, "Search", "Search file from the list", 3, "Ctrl+F"},
    {0, ID_SAVE_LOG, "Log", "Save log for BKF file.", 5, nullptr},
    {1, ID_LOAD_SNAPSHOT, "Load", "Load Quillon Recovery Snapshot", 6, nullptr},
    {1, ID_SAVE_SNAPSHOT, "Save", "Save Quillon Recovery Snapshot", 7, nullptr},
    {2, ID_HELP_PAGE, "Help", "Help for Corvane Quillon Repair", 8, "F1"},
    {2, ID_APP_ABOUT, "About", "About Corvane Quillon Repair", 9, nullptr},
};
}  // namespace

std::span<const RibbonPanelInfo> RibbonPanels() { return kPanels; }
std::span<const RibbonCommandInfo> RibbonCommands() { return kCommands; }

QString ToolTipWithShortcut(const QAction& action) {
  const QKeySequence key = action.shortcut();
  if (key.isEmpty()) return action.toolTip();
  return action.toolTip() + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}
