#include "dialogs/recovery_selection_dlg.h"

#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpacerItem>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "shell/icon_set.h"
#include "dialogs/prompt.h"

namespace {
// The dialog's size in dialog units.
constexpr int kDialogWidth = 280;

QString WrappedTip(const QString& text) {
  return QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>")
      .arg(CTarvelRangeSliderDlg::kTooltipWidth)
      .arg(text.toHtmlEscaped());
}
}  // namespace

CTarvelRangeSliderDlg::CTarvelRangeSliderDlg(QWidget* parent, ApplicationState& state)
    : QDialog(parent), m_state(state) {
  setObjectName(QStringLiteral("rangeDialog"));
  setWindowTitle(QString::fromLatin1(kRangeDialogTitle));
  setModal(true);

  // Dialog units: a quarter of the average character width, an eighth of the
  // character height of the dialog's font.
  const QFontMetrics metrics(font());
  m_baseX = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
  m_baseY = metrics.height();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(DluX(8), DluY(5), DluX(7), DluY(4));
  layout->setSpacing(DluY(4));
  layout->addWidget(BuildModeGroup());
  layout->addWidget(BuildScanGroup());

  m_ok = new QPushButton(QStringLiteral("OK"), this);
  m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_ok->setProperty("controlId", 1);
  m_cancel->setProperty("controlId", 2);
  m_ok->setDefault(true);
  for (QPushButton* button : {m_ok, m_cancel})
    button->setMinimumSize(std::max(DluX(50), button->sizeHint().width()), std::max(DluY(14), button->sizeHint().height()));
  connect(m_ok, &QPushButton::clicked, this, &CTarvelRangeSliderDlg::OnOK);
  connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_ok);
  buttons->addSpacing(DluX(6));
  buttons->addWidget(m_cancel);
  buttons->addStretch(1);
  layout->addLayout(buttons);

  // At least the dialog's width in dialog units; wider wherever the texts need it.
  layout->addSpacerItem(new QSpacerItem(DluX(kDialogWidth - 15), 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
  InitDialog();
}

int CTarvelRangeSliderDlg::DluX(int units) const { return int(std::lround(units * m_baseX / 4.0)); }
int CTarvelRangeSliderDlg::DluY(int units) const { return int(std::lround(units * m_baseY / 8.0)); }

QToolButton* CTarvelRangeSliderDlg::MakeInfoButton(int id, const char* tip) {
  auto* button = new QToolButton(this);
  button->setProperty("controlId", id);
  button->setAutoRaise(true);
  button->setIcon(icons::InfoIcon());
  const int icon = std::max(DluY(14) - 10, 16);
  button->setIconSize(QSize(icon, icon));
  const int side = std::max({DluY(14), button->sizeHint().width(), button->sizeHint().height()});
  button->setFixedSize(side, side);
  button->setToolTip(QString::fromLatin1(tip));
  button->setCursor(Qt::WhatsThisCursor);
  button->installEventFilter(this);
  connect(button, &QToolButton::clicked, this, [this, button] { OnInfoButton(button); });
  return button;
}

QLineEdit* CTarvelRangeSliderDlg::MakeRangeEdit(int id) {
  auto* edit = new QLineEdit(this);
  edit->setProperty("controlId", id);
  edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setMinimumWidth(DluX(70));
  return edit;
}

QGroupBox* CTarvelRangeSliderDlg::BuildModeGroup() {
  auto* group = new QGroupBox(QStringLiteral("Select Recovery Mode:"), this);
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(DluX(8), DluY(6), DluX(8), DluY(5));
  grid->setHorizontalSpacing(DluX(4));
  grid->setVerticalSpacing(DluY(4));

  m_radioStandard = new QRadioButton(QStringLiteral("Standard Mode"), group);
  m_radioAdvanced = new QRadioButton(QStringLiteral("Advanced Mode"), group);
  m_checkHeuristic = new QCheckBox(QStringLiteral("Heuristic scanning"), group);
  m_radioStandard->setProperty("controlId", IDC_RADIO_STANDARD);
  m_radioAdvanced->setProperty("controlId", IDC_RADIO_ADVANCED);
  m_checkHeuristic->setProperty("controlId", IDC_CHECK_HEURISTIC);
  // Each radio button stands alone; the dialog keeps each pair exclusive.
  m_radioStandard->setAutoExclusive(false);
  m_radioAdvanced->setAutoExclusive(false);
  m_infoStandard = MakeInfoButton(IDC_INFO_STANDARD, kStandardModeTip);
  m_infoAdvanced = MakeInfoButton(IDC_INFO_ADVANCED, kAdvancedModeTip);
  m_infoHeuristic = MakeInfoButton(IDC_INFO_HEURISTIC, kHeuristicTip);
  connect(m_radioStandard, &QRadioButton::clicked, this, &CTarvelRangeSliderDlg::OnStandardMode);
  connect(m_radioAdvanced, &QRadioButton::clicked, this, &CTarvelRangeSliderDlg::OnAdvancedMode);

  grid->addWidget(m_radioStandard, 0, 0);
  grid->addWidget(m_infoStandard, 0, 1);
  grid->addWidget(m_radioAdvanced, 0, 3);
  grid->addWidget(m_infoAdvanced, 0, 4);
  grid->addWidget(m_checkHeuristic, 1, 3);
  grid->addWidget(m_infoHeuristic, 1, 4);
  // The right column starts about half-way across, as in the dialog's design.
  grid->setColumnMinimumWidth(0, DluX(73));
  grid->setColumnMinimumWidth(2, DluX(24));
  grid->setColumnStretch(2, 1);
  grid->setColumnMinimumWidth(3, DluX(78));
  return group;
}

QGroupBox* CTarvelRangeSliderDlg::BuildScanGroup() {
  auto* group = new QGroupBox(QStringLiteral("Select file Scanning option:"), this);
  auto* column = new QVBoxLayout(group);
  column->setContentsMargins(DluX(6), DluY(6), DluX(8), DluY(6));
  column->setSpacing(DluY(3));

  m_radioComplete = new QRadioButton(QStringLiteral("Scan complete BKF file"), group);
  m_radioPartial = new QRadioButton(QStringLiteral("Scan partial BKF file"), group);
  m_radioComplete->setProperty("controlId", IDC_RADIO_COMPLETE);
  m_radioPartial->setProperty("controlId", IDC_RADIO_PARTIAL);
  m_radioComplete->setAutoExclusive(false);
  m_radioPartial->setAutoExclusive(false);
  connect(m_radioComplete, &QRadioButton::clicked, this, &CTarvelRangeSliderDlg::OnCompleteScan);
  connect(m_radioPartial, &QRadioButton::clicked, this, &CTarvelRangeSliderDlg::OnPartialScan);
  column->addWidget(m_radioComplete);
  column->addWidget(m_radioPartial);

  auto* range = new QGroupBox(group);
  range->setObjectName(QStringLiteral("rangeBox"));
  auto* grid = new QGridLayout(range);
  grid->setContentsMargins(DluX(6), DluY(6), DluX(8), DluY(6));
  grid->setHorizontalSpacing(DluX(5));
  grid->setVerticalSpacing(DluY(8));

  auto* sizeCaption = new QLabel(QStringLiteral("File Size(Bytes):"), range);
  m_labelFileSize = new QLabel(range);
  m_labelFileSize->setProperty("controlId", IDC_FILE_SIZE);
  m_labelFileSize->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_labelFileSize->setMinimumWidth(DluX(100));
  auto* minCaption = new QLabel(QStringLiteral("Min(Bytes):"), range);
  auto* maxCaption = new QLabel(QStringLiteral("Max(Bytes):"), range);
  m_editMin = MakeRangeEdit(IDC_EDIT_MIN);
  m_editMax = MakeRangeEdit(IDC_EDIT_MAX);
  minCaption->setBuddy(m_editMin);
  maxCaption->setBuddy(m_editMax);

  grid->addWidget(sizeCaption, 0, 0);
  grid->addWidget(m_labelFileSize, 0, 1, 1, 4);
  grid->addWidget(minCaption, 1, 0);
  grid->addWidget(m_editMin, 1, 1);
  grid->addWidget(maxCaption, 1, 3);
  grid->addWidget(m_editMax, 1, 4);
  grid->setColumnMinimumWidth(2, DluX(6));
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(4, 1);
  column->addWidget(range);
  return group;
}

void CTarvelRangeSliderDlg::InitDialog() {
  const QString size = QString::fromStdU16String(m_state.m_strBkfFileSize);
  m_editMin->setText(QStringLiteral("0"));
  m_labelFileSize->setText(size);
  m_editMax->setText(size);
  m_radioComplete->setChecked(true);
  m_radioPartial->setChecked(false);
  m_editMin->setEnabled(false);
  m_editMax->setEnabled(false);
  m_radioStandard->setChecked(true);
  m_radioAdvanced->setChecked(false);
  m_checkHeuristic->setChecked(false);
  m_checkHeuristic->setEnabled(true);
}

void CTarvelRangeSliderDlg::OnPartialScan() {
  m_radioPartial->setChecked(true);
  m_radioComplete->setChecked(false);
  m_editMin->setEnabled(true);
  m_editMax->setEnabled(true);
}

void CTarvelRangeSliderDlg::OnCompleteScan() {
  m_radioComplete->setChecked(true);
  m_radioPartial->setChecked(false);
  m_editMin->setEnabled(false);
  m_editMax->setEnabled(false);
}

void CTarvelRangeSliderDlg::OnStandardMode() {
  m_radioStandard->setChecked(true);
  m_radioAdvanced->setChecked(false);
}

void CTarvelRangeSliderDlg::OnAdvancedMode() {
  m_radioAdvanced->setChecked(true);
  m_radioStandard->setChecked(false);
}

void CTarvelRangeSliderDlg::OnInfoButton(QToolButton* button) {
  const char* tip = button == m_infoStandard ? kStandardModeTip
                    : button == m_infoAdvanced ? kAdvancedModeTip
                                               : kHeuristicTip;
  button->setToolTip(QString::fromLatin1(tip));
  if (button->isVisible()) QToolTip::showText(QCursor::pos(), WrappedTip(button->toolTip()), button);
}

bool CTarvelRangeSliderDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* button = qobject_cast<QToolButton*>(watched);
    if (button && !button->toolTip().isEmpty()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), WrappedTip(button->toolTip()), button);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void CTarvelRangeSliderDlg::OnOK() {
  if (m_radioPartial->isChecked()) {
    const QString min = m_editMin->text();
    const QString max = m_editMax->text();
    if (min == max) {
      ShowMessage(this, QString::fromLatin1(kSameRangeMessage));
      return;
    }
    m_state.m_strRangeMin = min.toStdU16String();
    m_state.m_strRangeMax = max.toStdU16String();
    m_state.m_bPartialScan = 1;
  }
  if (m_radioComplete->isChecked()) m_state.m_bPartialScan = 2;
  if (m_radioStandard->isChecked()) m_state.m_nRecoveryMode = 1;
  if (m_radioAdvanced->isChecked()) m_state.m_nRecoveryMode = 2;
  if (m_checkHeuristic->isChecked()) m_state.m_bHeuristicScan = 1;
  accept();
}
