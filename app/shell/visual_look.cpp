#include "shell/visual_look.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

namespace visual_look {

namespace {

bool g_darkApplied = false;

QPalette DarkPalette() {
  const QColor window(0x2B, 0x2D, 0x30);
  const QColor base(0x1E, 0x1F, 0x22);
  const QColor text(0xDF, 0xE1, 0xE5);
  const QColor disabledText(0x6F, 0x73, 0x7A);
  const QColor button(0x3A, 0x3D, 0x41);
  const QColor highlight(0x2E, 0x63, 0xC7);

  QPalette p;
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, QColor(0x25, 0x27, 0x2A));
  p.setColor(QPalette::ToolTipBase, QColor(0x3C, 0x3F, 0x44));
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(0x8B, 0x8E, 0x94));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, button);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::BrightText, QColor(0xFF, 0x6B, 0x6B));
  p.setColor(QPalette::Light, QColor(0x4A, 0x4D, 0x52));
  p.setColor(QPalette::Midlight, QColor(0x40, 0x43, 0x48));
  p.setColor(QPalette::Mid, QColor(0x33, 0x35, 0x39));
  p.setColor(QPalette::Dark, QColor(0x1A, 0x1B, 0x1E));
  p.setColor(QPalette::Shadow, QColor(0x10, 0x10, 0x12));
  p.setColor(QPalette::Highlight, highlight);
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::Link, QColor(0x6E, 0xA8, 0xFE));
  p.setColor(QPalette::LinkVisited, QColor(0xA9, 0x8B, 0xF5));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, disabledText);
  p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x3A, 0x3D, 0x41));
  p.setColor(QPalette::Disabled, QPalette::Base, window);
  return p;
}

constexpr char kStyleSheet[] = R"(
#ribbonBar { background: #232427; }
#ribbonHeader { background: #1B1C1F; }
#ribbonAppButton { border: none; border-radius: 21px; background: transparent; }
#ribbonAppButton:hover { background: rgba(255, 255, 255, 0.08); }
#ribbonCategoryTab {
  color: #FFFFFF; background: #2B2D30; padding: 5px 16px 6px 16px;
  border: 1px solid #3A3D42; border-bottom: none;
  border-top-left-radius: 5px; border-top-right-radius: 5px;
  border-top: 2px solid #3D8EF0;
}
#ribbonBody { background: #2B2D30; border-top: 1px solid #3A3D42; border-bottom: 1px solid #17181A; }
#ribbonSeparator { background: #44474D; margin: 2px 0 4px 0; }
#ribbonPanelCaption { color: #9A9EA6; padding: 1px 4px 2px 4px; }
#ribbonButton, #ribbonCollapsedPanel {
  color: #E4E6EA; border: 1px solid transparent; border-radius: 4px;
  padding: 3px 6px 2px 6px; min-width: 44px;
}
#ribbonButton:hover, #ribbonCollapsedPanel:hover { background: #3A3E45; border-color: #4A4F57; }
#ribbonButton:pressed, #ribbonCollapsedPanel:pressed { background: #2E63C7; border-color: #3D8EF0; }
#ribbonButton:disabled { color: #6F737A; }
#ribbonCollapsedPanel::menu-indicator { subcontrol-position: bottom center; }

QMainWindow::separator { background: #1E1F22; width: 4px; height: 4px; }
QMainWindow::separator:hover { background: #3D8EF0; }
QDockWidget { color: #C9CCD1; }
QDockWidget::title {
  background: #25272A; padding: 5px 8px; border-bottom: 1px solid #3A3D42; text-align: left;
}
#fileViewFrame { background: #1E1F22; border: 1px solid #3A3D42; }
#outputTabs QTabBar::tab {
  background: #25272A; color: #AEB2B9; padding: 4px 14px; border: 1px solid #3A3D42; border-top: none;
  margin-right: 1px;
}
#outputTabs QTabBar::tab:selected { background: #1E1F22; color: #FFFFFF; border-bottom: 2px solid #3D8EF0; }
#outputTabs QTabBar::tab:hover:!selected { background: #303236; color: #E4E6EA; }
#outputTabs::pane { border: none; }
#logList, #bkfTree, #fileList { border: none; background: #1E1F22; }
#fileList QHeaderView::section {
  background: #2B2D30; color: #C9CCD1; padding: 4px 6px; border: none;
  border-right: 1px solid #3A3D42; border-bottom: 1px solid #3A3D42;
}
QStatusBar { background: #1B1C1F; color: #AEB2B9; border-top: 1px solid #3A3D42; }
QStatusBar::item { border: none; }
#statusPane { padding: 2px 6px; }
#statusLink { padding: 2px 8px; }
#statusProgressBar { background: #25272A; border: 1px solid #3A3D42; border-radius: 3px; margin: 1px 0; }
#statusProgressBar::chunk { background: #2E63C7; border-radius: 2px; }
#statusPercent, #statusProgress, #statusFilesFound { padding: 2px 6px; }
QToolTip { color: #E4E6EA; background: #3C3F44; border: 1px solid #55595F; padding: 4px; }
QRadioButton, QCheckBox { spacing: 0.45em; }
QRadioButton::indicator, QCheckBox::indicator { width: 1.05em; height: 1.05em; }
QRadioButton::indicator:unchecked { image: url(:/icons/radio_off.svg); }
QRadioButton::indicator:checked { image: url(:/icons/radio_on.svg); }
QRadioButton::indicator:unchecked:disabled { image: url(:/icons/radio_off_disabled.svg); }
QRadioButton::indicator:checked:disabled { image: url(:/icons/radio_on_disabled.svg); }
QCheckBox::indicator:unchecked { image: url(:/icons/check_off.svg); }
QCheckBox::indicator:checked { image: url(:/icons/check_on.svg); }
QCheckBox::indicator:unchecked:disabled { image: url(:/icons/check_off_disabled.svg); }
QCheckBox::indicator:checked:disabled { image: url(:/icons/check_on_disabled.svg); }
QMenu { background: #2B2D30; border: 1px solid #4A4F57; padding: 4px; }
QMenu::item { padding: 5px 22px 5px 10px; border-radius: 3px; }
QMenu::item:selected { background: #2E63C7; color: #FFFFFF; }
)";

}  // namespace

void ApplyDarkScheme(QApplication& app) {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
  app.setPalette(DarkPalette());
  app.setStyleSheet(QString::fromLatin1(kStyleSheet));
  g_darkApplied = true;
}

bool DarkSchemeApplied() { return g_darkApplied; }

}  // namespace visual_look
