#include "shell/splash_wnd.h"

#include <QBitmap>
#include <QPixmap>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QScreen>

#include "shell/icon_set.h"

namespace {
constexpr QSize kSplashSize(520, 300);
constexpr int kVersionTextHeight = 25;

// The interface font at a cell height of at most 25 pixels.
QFont VersionFont() {
  QFont font;
  for (int pixels = kVersionTextHeight; pixels > 6; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).height() <= kVersionTextHeight) break;
  }
  return font;
}
}  // namespace

QImage CSplashWnd::SplashBitmap() {
  // The artwork's smooth edges are cut at half coverage: every pixel is either
  // the key colour or an opaque picture pixel.
  const QImage art = icons::RenderSvg(QStringLiteral(":/splash.svg"), kSplashSize)
                         .convertToFormat(QImage::Format_ARGB32);
  QImage bitmap(art.size(), QImage::Format_RGB32);
  for (int y = 0; y < art.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(art.constScanLine(y));
    QRgb* out = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    for (int x = 0; x < art.width(); ++x)
      out[x] = qAlpha(in[x]) < 128 ? kSplashKeyColour : (in[x] | 0xFF000000u);
  }
  return bitmap;
}

namespace {
// Window systems that draw no translucent windows: the splash simply appears
// and disappears there.
bool CanFade() {
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}
}  // namespace

CSplashWnd* CSplashWnd::ShowSplashScreen(QWidget* owner) {
  auto* splash = new CSplashWnd(owner);
  if (CanFade()) splash->m_fade->start();
  splash->show();
  splash->m_timer.start();
  return splash;
}

CSplashWnd::CSplashWnd(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      m_bitmap(SplashBitmap()) {
  setObjectName(QString::fromLatin1(kSplashClassName));
  setAttribute(Qt::WA_DeleteOnClose);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(m_bitmap.size());
  // Pixels of the key colour are cut out of the window's shape.
  setMask(QPixmap::fromImage(m_bitmap).createMaskFromColor(QColor::fromRgb(kSplashKeyColour), Qt::MaskInColor));

  const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen) {
    QRect area(QPoint(0, 0), size());
    area.moveCenter(screen->availableGeometry().center());
    move(area.topLeft());
  }

  m_fade = new QPropertyAnimation(this, "windowOpacity", this);
  m_fade->setDuration(kFadeInMilliseconds);
  m_fade->setStartValue(0.0);
  m_fade->setEndValue(1.0);

  m_timer.setSingleShot(true);
  m_timer.setInterval(kShowMilliseconds);
  connect(&m_timer, &QTimer::timeout, this, &CSplashWnd::OnTimer);
}

void CSplashWnd::OnTimer() {
  m_timer.stop();
  if (!CanFade()) {
    close();
    return;
  }
  m_fade->stop();
  m_fade->setDuration(kFadeOutMilliseconds);
  m_fade->setStartValue(windowOpacity());
  m_fade->setEndValue(0.0);
  connect(m_fade, &QPropertyAnimation::finished, this, &QWidget::close);
  m_fade->start();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, m_bitmap);
  painter.setFont(VersionFont());
  painter.setPen(Qt::black);
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, QString::fromLatin1(kSplashVersionText));
}

// Clicks and keys do not close the splash early.
void CSplashWnd::mousePressEvent(QMouseEvent* event) { event->accept(); }
void CSplashWnd::keyPressEvent(QKeyEvent* event) { event->accept(); }
