#include "shell/ribbon_bar.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QHelpEvent>
#include <QResizeEvent>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include "shell/icon_set.h"
#include "shell/ribbon_commands.h"

namespace {
constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;
constexpr int kBodySideMargin = 6;

// A command button whose tooltip names the command's shortcut as well.
class RibbonButton : public QToolButton {
 public:
  using QToolButton::QToolButton;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::ToolTip && defaultAction()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), ToolTipWithShortcut(*defaultAction()), this);
      return true;
    }
    return QToolButton::event(event);
  }
};
}  // namespace

CTarvelMFCRibboBarCls::CTarvelMFCRibboBarCls(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ribbonBar"));
  setAttribute(Qt::WA_StyledBackground);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // The width is the ribbon's own business: panels fold instead of widening the window.
  layout->setSizeConstraint(QLayout::SetNoConstraint);
  layout->addWidget(BuildHeader());

  m_body = new QFrame(this);
  m_body->setObjectName(QStringLiteral("ribbonBody"));
  BuildPanels(m_body);
  layout->addWidget(m_body);
}

QWidget* CTarvelMFCRibboBarCls::BuildHeader() {
  auto* header = new QWidget(this);
  header->setObjectName(QStringLiteral("ribbonHeader"));
  header->setAttribute(Qt::WA_StyledBackground);
  auto* row = new QHBoxLayout(header);
  row->setContentsMargins(4, 3, 8, 0);
  row->setSpacing(10);

  const QString appText = QString::fromLatin1(kAppButtonText);
  m_appButton = new QToolButton(header);
  m_appButton->setObjectName(QStringLiteral("ribbonAppButton"));
  m_appButton->setFixedSize(kAppButtonSize, kAppButtonSize);
  m_appButton->setIcon(icons::AppIcon());
  m_appButton->setIconSize(QSize(kAppButtonSize - 4, kAppButtonSize - 4));
  m_appButton->setAutoRaise(true);
  m_appButton->setToolTip(QString::fromLatin1(kAppButtonTooltip));
  m_appButton->setText(appText.section(QLatin1Char('\n'), 0, 0));
  m_appButton->setProperty("keyTip", appText.section(QLatin1Char('\n'), 1));
  m_appButton->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F));
  m_appButton->setFocusPolicy(Qt::NoFocus);
  row->addWidget(m_appButton, 0, Qt::AlignVCenter);

  m_categoryTab = new QLabel(QString::fromLatin1(kRibbonCategory), header);
  m_categoryTab->setObjectName(QStringLiteral("ribbonCategoryTab"));
  m_categoryTab->setAlignment(Qt::AlignCenter);
  row->addWidget(m_categoryTab, 0, Qt::AlignBottom);
  row->addStretch(1);
  return header;
}

void CTarvelMFCRibboBarCls::BuildPanels(QWidget* body) {
  auto* row = new QHBoxLayout(body);
  row->setContentsMargins(kBodySideMargin, 4, kBodySideMargin, 3);
  row->setSpacing(0);
  row->setSizeConstraint(QLayout::SetNoConstraint);

  const auto panels = RibbonPanels();
  for (int p = 0; p < int(panels.size()); ++p) {
    Panel panel;
    panel.frame = new QFrame(body);
    panel.frame->setObjectName(QStringLiteral("ribbonPanel"));
    auto* column = new QVBoxLayout(panel.frame);
    column->setContentsMargins(6, 0, 6, 0);
    column->setSpacing(2);

    panel.expanded = new QWidget(panel.frame);
    auto* buttons = new QHBoxLayout(panel.expanded);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(2);

    auto* menu = new QMenu(panel.frame);
    menu->setToolTipsVisible(true);
    for (const RibbonCommandInfo& info : RibbonCommands()) {
      if (info.panel != p) continue;
      auto* action = new QAction(icons::CommandIcon(info.image), QString::fromLatin1(info.label), this);
      action->setToolTip(QString::fromLatin1(info.tooltip));
      action->setData(info.id);
      if (info.shortcut) {
        action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        // Held by the ribbon itself, so that the key works while the
        // command's panel is collapsed too.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
      }
      const int id = info.id;
      connect(action, &QAction::triggered, this, [this, id] { emit commandTriggered(id); });
      m_commands.insert(id, action);
      m_commandOrder.append(id);
      panel.commands.append(id);
      menu->addAction(action);

      auto* button = new RibbonButton(panel.expanded);
      button->setObjectName(QStringLiteral("ribbonButton"));
      button->setDefaultAction(action);
      button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      button->setIconSize(QSize(kLargeIcon, kLargeIcon));
      button->setAutoRaise(true);
      button->setFocusPolicy(Qt::NoFocus);
      button->setProperty("controlId", id);
      m_buttons.insert(id, button);
      buttons->addWidget(button);
    }

    panel.collapsed = new QToolButton(panel.frame);
    panel.collapsed->setObjectName(QStringLiteral("ribbonCollapsedPanel"));
    panel.collapsed->setText(QString::fromLatin1(panels[p].caption));
    panel.collapsed->setIcon(icons::PanelIcon(panels[p].collapsedImage));
    panel.collapsed->setIconSize(QSize(kSmallIcon, kSmallIcon));
    panel.collapsed->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    panel.collapsed->setPopupMode(QToolButton::InstantPopup);
    panel.collapsed->setAutoRaise(true);
    panel.collapsed->setFocusPolicy(Qt::NoFocus);
    panel.collapsed->setMenu(menu);
    panel.collapsed->hide();

    panel.caption = new QLabel(QString::fromLatin1(panels[p].caption), panel.frame);
    panel.caption->setObjectName(QStringLiteral("ribbonPanelCaption"));
    panel.caption->setAlignment(Qt::AlignCenter);
    // A collapsed panel shows its caption on its button, in the space of the
    // buttons and the caption line together.
    panel.collapsed->setMinimumHeight(panel.expanded->sizeHint().height() + column->spacing() +
                                      panel.caption->sizeHint().height());

    column->addWidget(panel.expanded, 1, Qt::AlignHCenter);
    column->addWidget(panel.collapsed, 1, Qt::AlignHCenter);
    column->addWidget(panel.caption);
    row->addWidget(panel.frame);
    auto* separator = new QFrame(body);
    separator->setObjectName(QStringLiteral("ribbonSeparator"));
    separator->setAttribute(Qt::WA_StyledBackground);
    separator->setFixedWidth(1);
    row->addWidget(separator);
    m_panels.append(panel);
  }
  row->addStretch(1);
}

QString CTarvelMFCRibboBarCls::CategoryName() const { return m_categoryTab->text(); }

QString CTarvelMFCRibboBarCls::PanelCaption(int panel) const {
  return panel >= 0 && panel < m_panels.size() ? m_panels[panel].caption->text() : QString();
}

QList<int> CTarvelMFCRibboBarCls::PanelCommands(int panel) const {
  return panel >= 0 && panel < m_panels.size() ? m_panels[panel].commands : QList<int>();
}

bool CTarvelMFCRibboBarCls::IsPanelCollapsed(int panel) const {
  return panel >= 0 && panel < m_panels.size() && !m_panels[panel].collapsed->isHidden();
}

int CTarvelMFCRibboBarCls::PanelWidth(const Panel& panel, bool collapsed) const {
  const QMargins margins = panel.frame->layout()->contentsMargins();
  const int content = collapsed ? panel.collapsed->sizeHint().width()
                                : std::max(panel.expanded->sizeHint().width(), panel.caption->sizeHint().width());
  return content + margins.left() + margins.right() + 2 * panel.frame->frameWidth() + 1;
}

QSize CTarvelMFCRibboBarCls::minimumSizeHint() const {
  int width = 2 * kBodySideMargin;
  for (const Panel& panel : m_panels) width += PanelWidth(panel, true);
  return QSize(width, QWidget::minimumSizeHint().height());
}

void CTarvelMFCRibboBarCls::UpdateCollapsedPanels() {
  const int available = width() - 2 * kBodySideMargin;
  int total = 0;
  for (const Panel& panel : m_panels) total += PanelWidth(panel, false);
  QList<bool> collapse(m_panels.size(), false);
  for (int p = int(m_panels.size()) - 1; p >= 0 && total > available; --p) {
    collapse[p] = true;
    total -= PanelWidth(m_panels[p], false) - PanelWidth(m_panels[p], true);
  }
  for (int p = 0; p < m_panels.size(); ++p) {
    m_panels[p].expanded->setHidden(collapse[p]);
    m_panels[p].caption->setHidden(collapse[p]);
    m_panels[p].collapsed->setHidden(!collapse[p]);
  }
}

void CTarvelMFCRibboBarCls::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  UpdateCollapsedPanels();
}
