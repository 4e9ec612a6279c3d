#include "dialogs/about_dlg.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/icon_set.h"
#include "dialogs/prompt.h"
#include "shell/url_opener.h"

namespace {
constexpr int kPictureSize = 72;
}

CTarvelAboutDlg::CTarvelAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("aboutDialog"));
  setWindowTitle(ProductCaptionText());
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 16);
  layout->setSpacing(10);

  auto* picture = new QLabel(this);
  picture->setPixmap(icons::AppIcon().pixmap(kPictureSize, kPictureSize));
  picture->setAlignment(Qt::AlignCenter);
  layout->addWidget(picture);

  m_caption = new QLabel(ProductCaptionText(), this);
  QFont bold(QStringLiteral("Arial"));
  bold.setPixelSize(15);
  bold.setWeight(QFont::DemiBold);
  m_caption->setFont(bold);
  m_caption->setAlignment(Qt::AlignCenter);
  layout->addWidget(m_caption);

  auto* blurb = new QLabel(QStringLiteral("Recovers files from damaged NTBackup (.bkf) backup files."), this);
  blurb->setAlignment(Qt::AlignCenter);
  blurb->setWordWrap(true);
  layout->addWidget(blurb);

  auto* separator = new QFrame(this);
  separator->setFrameShape(QFrame::HLine);
  separator->setFrameShadow(QFrame::Sunken);
  layout->addWidget(separator);

  m_website = MakeLink(QString::fromLatin1(kCompanyWebsite), QString::fromLatin1(kCompanyWebsite),
                       QStringLiteral("Company website"));
  m_support = MakeLink(QString::fromLatin1(kSupportEmail), QStringLiteral("mailto:") + kSupportEmail,
                       QStringLiteral("Support email address"));
  m_sales = MakeLink(QString::fromLatin1(kSalesEmail), QStringLiteral("mailto:") + kSalesEmail,
                     QStringLiteral("Sales email address"));
  layout->addWidget(m_website);
  layout->addWidget(m_support);
  layout->addWidget(m_sales);

  m_ok = new QPushButton(QStringLiteral("OK"), this);
  m_ok->setAutoDefault(false);
  m_ok->setDefault(false);
  m_ok->setMinimumWidth(88);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_ok);
  buttons->addStretch(1);
  layout->addSpacing(4);
  layout->addLayout(buttons);
  setMinimumWidth(440);
}

QLabel* CTarvelAboutDlg::MakeLink(const QString& text, const QString& url, const QString& tooltip) {
  auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(url.toHtmlEscaped(), text.toHtmlEscaped()), this);
  link->setTextFormat(Qt::RichText);
  link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  link->setAlignment(Qt::AlignCenter);
  link->setToolTip(tooltip);
  link->setProperty("url", url);
  link->setCursor(Qt::PointingHandCursor);
  connect(link, &QLabel::linkActivated, this, [](const QString& target) { OpenUrlExternally(QUrl(target)); });
  return link;
}

void CTarvelAboutDlg::reject() {}

void CTarvelAboutDlg::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void CTarvelAboutDlg::closeEvent(QCloseEvent* event) {
  if (result() != QDialog::Accepted) event->ignore();
}

void CTarvelAboutDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    event->accept();
    return;
  }
  QDialog::mousePressEvent(event);
}

void CTarvelAboutDlg::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragging && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - m_dragOffset);
    event->accept();
    return;
  }
  QDialog::mouseMoveEvent(event);
}

void CTarvelAboutDlg::mouseReleaseEvent(QMouseEvent* event) {
  m_dragging = false;
  QDialog::mouseReleaseEvent(event);
}
