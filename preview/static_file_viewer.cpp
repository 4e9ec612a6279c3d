#include "static_file_viewer.h"

#include <QPainter>
#include <QResizeEvent>

CTarvelStaticFileViewer::CTarvelStaticFileViewer(QWidget* parent)
    : QWidget(parent), m_strWindowText(QString::fromLatin1(kFileViewerText)) {
  setObjectName(QStringLiteral("fileViewer"));
  setProperty("controlId", IDC_TARVEL_BOTTOM_STATIC);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CTarvelStaticFileViewer::~CTarvelStaticFileViewer() = default;

void CTarvelStaticFileViewer::SetChildView(QWidget* view) {
  DestroyChildView();
  m_pChildView = view;
  if (!view) return;
  view->setParent(this);
  view->setGeometry(rect());
  view->show();
}

void CTarvelStaticFileViewer::DestroyChildView() {
  delete m_pChildView;
  m_pChildView = nullptr;
}

void CTarvelStaticFileViewer::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
}

void CTarvelStaticFileViewer::resizeEvent(QResizeEvent* event) {
  if (m_pChildView) m_pChildView->setGeometry(0, 0, event->size().width(), event->size().height());
}
