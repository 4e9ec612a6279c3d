#include "status_bar.h"

#include <QLabel>

#include "command_ids.h"

namespace {
constexpr int kLinkTextWidth = 360;
}

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

void CMyRibbonStatusBar::SetLinkAddress(const QUrl& address) {
  const QString full = address.toDisplayString();
  const QString shown = m_link->fontMetrics().elidedText(full, Qt::ElideMiddle, kLinkTextWidth);
  m_link->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(full.toHtmlEscaped(), shown.toHtmlEscaped()));
  m_link->setToolTip(full);
}
