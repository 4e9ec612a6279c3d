#include "shell/status_bar.h"

#include <QLabel>
#include <QProgressBar>

#include "shell/command_ids.h"

namespace {
constexpr int kLinkTextWidth = 360;

void MarkElement(QWidget* element, int id) {
  element->setProperty("controlId", id);
  element->setProperty("elementLabel", QString::fromLatin1(kStatusElementLabel));
}

// A text pane as wide as its first text, so that later texts do not make the
// status bar jump.
QLabel* MakeTextPane(QWidget* parent, int id, const char* name, const char* text) {
  auto* pane = new QLabel(QString::fromLatin1(text), parent);
  pane->setObjectName(QString::fromLatin1(name));
  pane->setTextFormat(Qt::PlainText);
  MarkElement(pane, id);
  pane->setMinimumWidth(pane->sizeHint().width());
  return pane;
}
}  // namespace

CMyRibbonStatusBar::CMyRibbonStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName(QStringLiteral("statusBar"));
  setSizeGripEnabled(false);

  m_pane = new QLabel(QString::fromLatin1(kStatusPaneText), this);
  m_pane->setObjectName(QStringLiteral("statusPane"));
  m_pane->setProperty("controlId", ID_STATUSBAR_PANE1);
  m_pane->setProperty("elementLabel", QString::fromLatin1(kStatusElementLabel));
  addWidget(m_pane);

  m_link = new QLabel(this);
  m_link->setObjectName(QStringLiteral("statusLink"));
  m_link->setProperty("controlId", ID_STATUSBAR_LINK);
  m_link->setProperty("elementLabel", QString::fromLatin1(kStatusElementLabel));
  m_link->setTextFormat(Qt::RichText);
  m_link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
  m_link->setCursor(Qt::PointingHandCursor);
  connect(m_link, &QLabel::linkActivated, this, [this] { emit linkClicked(ID_STATUSBAR_LINK); });
  addPermanentWidget(m_link);
}

ProcessElements CMyRibbonStatusBar::AddProcessElements() {
  RemoveProcessElements();
  ProcessElements elements;
  auto* bar = new QProgressBar(this);
  bar->setObjectName(QStringLiteral("statusProgressBar"));
  MarkElement(bar, ID_STATUS_PROGRESS_BAR);
  bar->setFixedSize(kProgressBarWidth, kProgressBarHeight);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  elements.progressBar = bar;
  elements.percent = MakeTextPane(this, ID_STATUS_PERCENT, "statusPercent", kPercentPaneText);
  elements.progress = MakeTextPane(this, ID_STATUS_PROGRESS, "statusProgress", kProgressPaneText);
  elements.filesFound = MakeTextPane(this, ID_STATUS_FILES_FOUND, "statusFilesFound", kFilesFoundPaneText);
  for (QWidget* element : {static_cast<QWidget*>(bar), static_cast<QWidget*>(elements.percent.data()),
                           static_cast<QWidget*>(elements.progress.data()),
                           static_cast<QWidget*>(elements.filesFound.data())}) {
    addWidget(element);
    element->show();
  }
  return elements;
}

void CMyRibbonStatusBar::RemoveProcessElements() {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    const int id = child->property("controlId").toInt();
    if (id == ID_STATUS_PROGRESS_BAR || id == ID_STATUS_PERCENT || id == ID_STATUS_PROGRESS ||
        id == ID_STATUS_FILES_FOUND) {
      // Deleted without removeWidget: the status bar forgets a child that goes
      // (Qt 6.4's removeWidget hides the element after the removed one).
      delete child;
    }
  }
}

void CMyRibbonStatusBar::SetLinkAddress(const QUrl& address) {
  const QString full = address.toDisplayString();
  const QString shown = m_link->fontMetrics().elidedText(full, Qt::ElideMiddle, kLinkTextWidth);
  m_link->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(full.toHtmlEscaped(), shown.toHtmlEscaped()));
  m_link->setToolTip(full);
}
