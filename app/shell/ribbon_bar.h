#pragma once
// The ribbon of the main window: the application button, the one category
// tab and its panels of large command buttons. Panels that do not fit the
// width collapse, from the last one on, into a single button that drops down
// the panel's commands.

#include <QHash>
#include <QList>
#include <QWidget>

class QAction;
class QFrame;
class QLabel;
class QToolButton;

// The application button: no label, key tip "f".
inline constexpr char kAppButtonText[] = "\nf";
inline constexpr char kAppButtonTooltip[] = "Corvane Quillon Repair";
inline constexpr int kAppButtonSize = 42;

class CTarvelMFCRibboBarCls : public QWidget {
  Q_OBJECT
 public:
  explicit CTarvelMFCRibboBarCls(QWidget* parent = nullptr);

  // The command's action (shared by its button and the collapsed panel's menu).
  QAction* Command(int id) const { return m_commands.value(id); }
  QList<int> CommandIds() const { return m_commandOrder; }
  QToolButton* CommandButton(int id) const { return m_buttons.value(id); }
  QToolButton* ApplicationButton() const { return m_appButton; }
  QString CategoryName() const;

  int PanelCount() const { return int(m_panels.size()); }
  QString PanelCaption(int panel) const;
  QList<int> PanelCommands(int panel) const;
  bool IsPanelCollapsed(int panel) const;

  // The ribbon can be as narrow as all panels collapsed.
  QSize minimumSizeHint() const override;

 signals:
  void commandTriggered(int id);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Panel {
    QFrame* frame = nullptr;
    QWidget* expanded = nullptr;
    QToolButton* collapsed = nullptr;
    QLabel* caption = nullptr;
    QList<int> commands;
  };

  QWidget* BuildHeader();
  void BuildPanels(QWidget* body);
  int PanelWidth(const Panel& panel, bool collapsed) const;
  void UpdateCollapsedPanels();

  QToolButton* m_appButton = nullptr;
  QLabel* m_categoryTab = nullptr;
  QWidget* m_body = nullptr;
  QList<Panel> m_panels;
  QHash<int, QAction*> m_commands;
  QHash<int, QToolButton*> m_buttons;
  QList<int> m_commandOrder;
};
