#include "shell/icon_set.h"

#include <QPainter>
#include <QSvgRenderer>

namespace icons {

namespace {

QString CommandResource(int image) {
  switch (image) {
    case 0: return QStringLiteral(":/icons/open.svg");
    case 1: return QStringLiteral(":/icons/stop.svg");
    case 2: return QStringLiteral(":/icons/save.svg");
    case 3: return QStringLiteral(":/icons/search.svg");
    case 5: return QStringLiteral(":/icons/log.svg");
    case 6: return QStringLiteral(":/icons/snapshot_load.svg");
    case 7: return QStringLiteral(":/icons/snapshot_save.svg");
    case 8: return QStringLiteral(":/icons/help.svg");
    case 9: return QStringLiteral(":/icons/about.svg");
    default: return {};
  }
}

// An icon with pictures at the given sizes, at one and two device pixels per unit.
QIcon SvgIcon(const QString& resource, std::initializer_list<int> sizes) {
  QIcon icon;
  if (resource.isEmpty()) return icon;
  for (int size : sizes) {
    for (int scale : {1, 2}) {
      QPixmap pixmap = QPixmap::fromImage(RenderSvg(resource, QSize(size * scale, size * scale)));
      pixmap.setDevicePixelRatio(scale);
      icon.addPixmap(pixmap);
    }
  }
  return icon;
}

}  // namespace

QImage RenderSvg(const QString& resource, const QSize& size) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QSvgRenderer renderer(resource);
  if (renderer.isValid()) {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
  }
  return image;
}

QIcon CommandIcon(int image) { return SvgIcon(CommandResource(image), {16, 32}); }

QIcon PanelIcon(int image) {
  return SvgIcon(image == 2 ? QStringLiteral(":/icons/panel_snapshot.svg") : QStringLiteral(":/icons/panel_repair.svg"),
                 {16});
}

QIcon AppIcon() { return SvgIcon(QStringLiteral(":/icons/logo.svg"), {16, 32, 42, 64, 128}); }

QIcon InfoIcon() { return SvgIcon(QStringLiteral(":/icons/info.svg"), {16, 24}); }

}  // namespace icons
