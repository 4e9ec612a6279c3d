#pragma once
// The program's pictures, drawn from the SVG files of its resources: the image
// strips of the ribbon (the same number gives the small and the large
// picture), the pictures of collapsed panels, the program picture and the
// info icon.

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>

namespace icons {

// The ribbon's command pictures by image number (0..9; 4 is not used).
QIcon CommandIcon(int image);
// The pictures of collapsed panels (1 and 2).
QIcon PanelIcon(int image);
// The program picture (application button, window icon, About dialog).
QIcon AppIcon();
// The info icon of the recovery selection dialog.
QIcon InfoIcon();

// Renders an SVG resource at a size (device pixels).
QImage RenderSvg(const QString& resource, const QSize& size);

}  // namespace icons
