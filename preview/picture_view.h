#pragma once
// The picture view of the preview pane: a decoded picture at its natural
// size, one picture pixel per screen pixel, its top-left corner at the view's
// top-left corner, cut at the right and bottom edges; never scaled and
// without scroll bars.

#include <QImage>
#include <QWidget>

inline constexpr int IDC_PICTURE_VIEW = 318;

class CPictureView : public QWidget {
  Q_OBJECT
 public:
  explicit CPictureView(QWidget* parent = nullptr);
  // Hands the view its picture and redraws it.
  void SetImage(QImage image);
  const QImage& Image() const { return m_image; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_image;
};
