#include "search/search_dlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/prompt.h"
#include "log/output_pane.h"
#include "save/save_job_log.h"
#include "system/window_messages.h"
#include "scanner.h"
#include "search/search_result_list.h"
#include "shell/icon_set.h"
#include "shell/main_frame.h"

namespace {

constexpr char kBackgroundResource[] = ":/list_background.svg";
// The solid colour behind the check box and the group box.
const QColor kControlBackground(217, 222, 228);

template <class Widget>
Widget* Named(Widget* widget, int id, const QString& accessibleName) {
  widget->setObjectName(QStringLiteral("searchControl%1").arg(id));
  widget->setProperty("controlId", id);
  widget->setAccessibleName(accessibleName);
  return widget;
}

void PaintSolid(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, kControlBackground);
  // Dark text on the light colour, whatever the look's own text colour is.
  palette.setColor(QPalette::WindowText, Qt::black);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace

CTarvelDlgSearchBkfFiles::CTarvelDlgSearchBkfFiles(CMainFrame& frame, ApplicationState& state, QWidget* parent)
    : QDialog(parent ? parent : &frame),
      m_frame(frame),
      m_state(state),
      m_bridge([this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return message == UM_SEARCH_ITEM_CLICKED ? OnItemClicked(wParam, lParam) : intptr_t(0);
      }) {
  setObjectName(QStringLiteral("searchWindow"));
  setWindowTitle(QString::fromLatin1(kSearchWindowTitle));
  setWindowIcon(icons::AppIcon());
  setAccessibleName(QString::fromLatin1(kSearchWindowTitle));
  setModal(true);
  m_saveLog = new SaveJobLog(
      [this](const QStringList& lines, uint64_t progress) {
        if (!lines.isEmpty()) m_frame.OutputWnd()->AppendLogLines(lines);
        m_progress->setValue(int(std::min<uint64_t>(progress, uint64_t(m_progress->maximum()))));
      },
      this);
  BuildControls();
  if (const bkf* scanner = m_frame.Scanner()) m_nFoundCount = scanner->m_files.Count();
  resize(860, 520);
}

CTarvelDlgSearchBkfFiles::~CTarvelDlgSearchBkfFiles() = default;

void CTarvelDlgSearchBkfFiles::BuildControls() {
  m_lblPrompt = Named(new QLabel(QStringLiteral("Enter text to search:")), IDC_SEARCH_PROMPT_LABEL,
                      QStringLiteral("Enter text to search:"));
  m_editPattern = Named(new QLineEdit(QStringLiteral("*.*")), IDC_SEARCH_PATTERN, QStringLiteral("Search pattern"));
  m_lblPrompt->setBuddy(m_editPattern);
  m_btnSearch = Named(new QPushButton(icons::AppIcon(), QStringLiteral("Search file(s)...")), IDC_SEARCH_START,
                      QStringLiteral("Search file(s)"));
  m_btnSearch->setDefault(true);

  m_group = Named(new QGroupBox, IDC_SEARCH_GROUP, QStringLiteral("Destination"));
  PaintSolid(m_group);
  m_editDestination = Named(new QLineEdit, IDC_SEARCH_DESTINATION, QStringLiteral("Destination folder"));
  m_btnBrowse = Named(new QToolButton, IDC_SEARCH_DESTINATION, QStringLiteral("Browse for the destination folder"));
  m_btnBrowse->setObjectName(QStringLiteral("searchBrowse"));
  m_btnBrowse->setProperty("controlId", QVariant());
  m_btnBrowse->setText(QStringLiteral("..."));
  m_btnBrowse->setToolTip(QStringLiteral("Browse for the destination folder"));
  m_btnSave = Named(new QPushButton(icons::CommandIcon(2), QStringLiteral("Save file(s)")), IDC_SEARCH_SAVE,
                    QStringLiteral("Save file(s)"));
  m_btnRemove = Named(new QPushButton(QIcon(QStringLiteral(":/icons/remove.svg")), QStringLiteral("Remove file(s)")),
                      IDC_SEARCH_REMOVE, QStringLiteral("Remove file(s)"));
  m_chkHierarchy = Named(new QCheckBox(QStringLiteral("Save files in folder hierarchy")), IDC_SEARCH_HIERARCHY,
                         QStringLiteral("Save files in folder hierarchy"));
  m_chkHierarchy->setChecked(true);
  PaintSolid(m_chkHierarchy);
  m_chkSaveResults = Named(new QCheckBox(QStringLiteral("Save search files")), IDC_SEARCH_SAVE_RESULTS,
                           QStringLiteral("Save search files"));
  m_chkSaveResults->hide();

  m_list = new CTarvelListCtrl;
  m_list->setObjectName(QStringLiteral("searchControl%1").arg(IDC_SEARCH_LIST));
  m_list->setProperty("controlId", IDC_SEARCH_LIST);
  m_list->SetNotifyTarget(this);
  m_list->SetShellInfo(&m_frame.ShellFileInfo());

  m_progress = Named(new QProgressBar, IDC_SEARCH_PROGRESS, QStringLiteral("Search progress"));
  m_progress->setValue(0);
  m_progress->setTextVisible(false);
  m_lblTotal = Named(new QLabel(QStringLiteral("Total No. of files :")), IDC_SEARCH_TOTAL_LABEL,
                     QStringLiteral("Total No. of files :"));
  m_lblCount = Named(new QLabel, IDC_SEARCH_COUNT, QStringLiteral("Number of files"));
  m_lblBusy = Named(new QLabel(QStringLiteral("Please wait while process is running....")), IDC_SEARCH_BUSY,
                    QStringLiteral("Busy"));
  m_lblFound = Named(new QLabel(QStringLiteral("File found:")), IDC_SEARCH_FOUND_LABEL, QStringLiteral("File found:"));
  m_lblFoundCount = Named(new QLabel, IDC_SEARCH_FOUND_COUNT, QStringLiteral("Files found so far"));
  m_btnStop = Named(new QPushButton(icons::CommandIcon(1), QStringLiteral("Stop")), IDC_SEARCH_STOP,
                    QStringLiteral("Stop"));
  m_btnOk = Named(new QPushButton(QIcon(QStringLiteral(":/icons/ok.svg")), QStringLiteral("OK")), IDC_SEARCH_OK,
                  QStringLiteral("OK"));
  for (QWidget* hidden : {static_cast<QWidget*>(m_progress), static_cast<QWidget*>(m_lblTotal),
                          static_cast<QWidget*>(m_lblCount), static_cast<QWidget*>(m_lblBusy),
                          static_cast<QWidget*>(m_lblFound), static_cast<QWidget*>(m_lblFoundCount),
                          static_cast<QWidget*>(m_btnStop)})
    hidden->hide();

  auto* top = new QHBoxLayout;
  top->addWidget(m_lblPrompt);
  top->addWidget(m_editPattern, 1);
  top->addWidget(m_btnSearch);

  auto* destination = new QHBoxLayout;
  destination->addWidget(m_editDestination, 1);
  destination->addWidget(m_btnBrowse);
  destination->addWidget(m_btnSave);
  destination->addWidget(m_btnRemove);
  auto* groupLayout = new QVBoxLayout(m_group);
  groupLayout->addLayout(destination);
  auto* checkRow = new QHBoxLayout;
  checkRow->addWidget(m_chkHierarchy);
  checkRow->addStretch(1);
  groupLayout->addLayout(checkRow);

  auto* status = new QHBoxLayout;
  status->addWidget(m_progress, 1);
  status->addWidget(m_lblFound);
  status->addWidget(m_lblFoundCount);
  status->addWidget(m_lblBusy);
  status->addWidget(m_lblTotal);
  status->addWidget(m_lblCount);
  status->addStretch(0);
  // Stop and OK take the same place, one shown at a time.
  status->addWidget(m_btnStop);
  status->addWidget(m_btnOk);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(m_group);
  layout->addWidget(m_list, 1);
  layout->addLayout(status);

  connect(m_btnSearch, &QPushButton::clicked, this, &CTarvelDlgSearchBkfFiles::OnSearch);
  connect(m_btnSave, &QPushButton::clicked, this, &CTarvelDlgSearchBkfFiles::OnSaveFiles);
  connect(m_btnRemove, &QPushButton::clicked, this, &CTarvelDlgSearchBkfFiles::RemoveRows);
  connect(m_btnStop, &QPushButton::clicked, this, &CTarvelDlgSearchBkfFiles::OnStop);
  connect(m_btnOk, &QPushButton::clicked, this, &CTarvelDlgSearchBkfFiles::accept);
  connect(m_btnBrowse, &QToolButton::clicked, this, &CTarvelDlgSearchBkfFiles::BrowseDestination);
}

void CTarvelDlgSearchBkfFiles::SetRunningLayout(bool running) {
  for (QWidget* input : {static_cast<QWidget*>(m_btnOk), static_cast<QWidget*>(m_btnSearch),
                         static_cast<QWidget*>(m_editPattern), static_cast<QWidget*>(m_editDestination),
                         static_cast<QWidget*>(m_btnBrowse), static_cast<QWidget*>(m_btnSave),
                         static_cast<QWidget*>(m_btnRemove), static_cast<QWidget*>(m_chkHierarchy)})
    input->setEnabled(!running);
  m_btnOk->setVisible(!running);
  m_btnStop->setVisible(running);
  m_progress->setVisible(running);
  m_lblBusy->setVisible(running);
}

void CTarvelDlgSearchBkfFiles::BrowseDestination() {
  FileDialogRequest request;
  request.mode = FileDialogRequest::Mode::Folder;
  request.initialName = m_editDestination->text();
  if (const std::optional<QString> folder = Prompt().FileDialog(this, request)) m_editDestination->setText(*folder);
}

void CTarvelDlgSearchBkfFiles::OnStop() {
  if (!IsBusy()) return;
  if (ShowMessage(this, QString::fromLatin1(kSearchStopQuestionText), MsgIcon::Question, MsgButtons::YesNo) ==
      MsgResult::Yes)
    m_state.m_bProcessRunning.store(0);
}

bool CTarvelDlgSearchBkfFiles::MayClose() {
  if (!IsBusy()) {
    // A search that was just stopped may still be restoring the layout.
    m_worker.Wait();
    return true;
  }
  ShowMessage(this, QString::fromLatin1(kSearchBusyCloseText));
  return false;
}

void CTarvelDlgSearchBkfFiles::accept() {
  if (MayClose()) QDialog::accept();
}

void CTarvelDlgSearchBkfFiles::reject() {
  if (MayClose()) QDialog::reject();
}

intptr_t CTarvelDlgSearchBkfFiles::OnItemClicked(uintptr_t, intptr_t) { return IsBusy() ? 0 : 1; }

intptr_t CTarvelDlgSearchBkfFiles::SendMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return m_bridge.Send(message, wParam, lParam);
}

void CTarvelDlgSearchBkfFiles::PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  m_bridge.Post(message, wParam, lParam);
}

MsgResult CTarvelDlgSearchBkfFiles::MessageBox(const std::u16string& text, const std::u16string& caption,
                                               MsgButtons buttons, MsgIcon icon) {
  MsgResult result = MsgResult::Ok;
  m_bridge.RunBlocking([&] {
    result = Prompt().MessageBox(this, QString::fromStdU16String(text), QString::fromStdU16String(caption), buttons,
                                 icon);
  });
  return result;
}

void CTarvelDlgSearchBkfFiles::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const qreal ratio = devicePixelRatioF();
  m_background = QPixmap::fromImage(icons::RenderSvg(QString::fromLatin1(kBackgroundResource), size() * ratio));
  m_background.setDevicePixelRatio(ratio);
}

void CTarvelDlgSearchBkfFiles::paintEvent(QPaintEvent* event) {
  // The program's picture stretched over the whole window.
  if (!m_background.isNull()) {
    QPainter painter(this);
    painter.drawPixmap(rect(), m_background);
  }
  QDialog::paintEvent(event);
}
