#pragma once
// The splash window shown while the main window is built: the splash picture
// in the outline of its non-magenta pixels with "v22.0" in its centre, on top
// of everything, without taking the focus. It fades in, closes itself after
// 2000 ms and never holds up the start.

#include <QImage>
#include <QTimer>
#include <QWidget>

class QPropertyAnimation;

inline constexpr char kSplashClassName[] = "QuillonSplashClass";
inline constexpr char kSplashVersionText[] = "v22.0";
inline constexpr QRgb kSplashKeyColour = 0xFFFF00FF;  // RGB(255, 0, 255)

class CSplashWnd : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kShowMilliseconds = 2000;
  static constexpr int kFadeInMilliseconds = 500;
  static constexpr int kFadeOutMilliseconds = 200;

  // Creates the window owned by owner and shows it; it destroys itself.
  static CSplashWnd* ShowSplashScreen(QWidget* owner);

  // The splash picture: the artwork on the key colour.
  static QImage SplashBitmap();

  const QImage& Bitmap() const { return m_bitmap; }
  QTimer& Timer() { return m_timer; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  explicit CSplashWnd(QWidget* owner);
  void OnTimer();

  QImage m_bitmap;
  QTimer m_timer;
  QPropertyAnimation* m_fade = nullptr;
};
