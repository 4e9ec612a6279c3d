#pragma once
// The ribbon's command table: one category with three panels.

#include <span>

inline constexpr char kRibbonCategory[] = "Corvane Quillon Repair";

struct RibbonPanelInfo {
  const char* caption;
  int collapsedImage;  // picture of the collapsed panel
};

struct RibbonCommandInfo {
  int panel;  // index into RibbonPanels()
  int id;
  const char* label;
  const char* tooltip;
  int image;  // number in the image strips
  const char* shortcut;  // the usual key for the command (QKeySequence text), or none
};

// The tooltip a ribbon button shows: the command's tooltip, with its
// shortcut in parentheses when it has one, e.g. "Open BKF file (Ctrl+O)".
class QAction;
class QString;
QString ToolTipWithShortcut(const QAction& action);

std::span<const RibbonPanelInfo> RibbonPanels();
std::span<const RibbonCommandInfo> RibbonCommands();
