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
  // One picture pixel per device pixel, whatever the screen's scale (set once
  // here: changing it on a shared copy would copy every pixel).
  m_image.setDevicePixelRatio(devicePixelRatioF());
  setAccessibleDescription(QStringLiteral("%1 x %2 pixels").arg(m_image.width()).arg(m_image.height()));
  update();
}

void CPictureView::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.fillRect(event->rect(), Qt::white);
  if (m_image.isNull()) return;
  painter.drawImage(QPoint(0, 0), m_image);
}
