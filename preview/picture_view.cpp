#include "picture_view.h"

#include <QPaintEvent>
#include <QPainter>

CPictureView::CPictureView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("pictureView"));
  setProperty("controlId", IDC_PICTURE_VIEW);
  setAccessibleName(QStringLiteral("Picture"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPictureView::SetImage(QImage image) {
  m_image = std::move(image);
  setAccessibleDescription(QStringLiteral("%1 x %2 pixels").arg(m_image.width()).arg(m_image.height()));
  update();
}

void CPictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  if (m_image.isNull()) return;
  // One picture pixel per device pixel, whatever the screen's scale.
  QImage shown = m_image;
  shown.setDevicePixelRatio(devicePixelRatioF());
  painter.drawImage(QPoint(0, 0), shown);
}
