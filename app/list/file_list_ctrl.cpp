#include "list/file_list_ctrl.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "shell/icon_set.h"
#include "list/shell_file_info.h"

namespace {
constexpr char kBackgroundResource[] = ":/list_background.svg";
constexpr int kHeaderFontPixels = 16;
}  // namespace

int FileListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_shown; }

int FileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  const Row* row = At(index.row());
  if (!row || index.row() >= m_shown) return {};
  switch (role) {
    case Qt::DisplayRole:
      return index.column() == 0 ? row->name : row->type;
    case Qt::DecorationRole:
      if (index.column() == 0 && m_images) return m_images->Icon(row->image);
      return {};
    case Qt::ToolTipRole:
      // The info tip of a row: its name in full.
      return row->name;
    default:
      return {};
  }
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::FontRole) return HeaderFont();
  if (role != Qt::DisplayRole) return {};
  return section == 0 ? QStringLiteral("File Name") : QStringLiteral("File Type");
}

QFont FileListModel::HeaderFont() {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(kHeaderFontPixels);
  font.setWeight(QFont::Bold);
  return font;
}

int FileListModel::Append(Row row) {
  m_rows.push_back(std::move(row));
  const int index = Count() - 1;
  if (m_batchDepth == 0) {
    beginInsertRows({}, m_shown, index);
    m_shown = Count();
    endInsertRows();
  }
  return index;
}

void FileListModel::BeginBatch() { ++m_batchDepth; }

void FileListModel::EndBatch() {
  if (m_batchDepth == 0 || --m_batchDepth > 0) return;
  if (m_shown == Count()) return;
  beginInsertRows({}, m_shown, Count() - 1);
  m_shown = Count();
  endInsertRows();
}

void FileListModel::Clear() {
  beginResetModel();
  m_rows.clear();
  m_rows.shrink_to_fit();
  m_shown = 0;
  endResetModel();
}

CTarvelRightViewListCtrl::CTarvelRightViewListCtrl(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("fileList"));
  setModel(&m_model);
  setShowGrid(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setContextMenuPolicy(Qt::PreventContextMenu);
  setWordWrap(false);
  setSortingEnabled(false);
  setCornerButtonEnabled(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setIconSize(QSize(16, 16));
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), iconSize().height()) + 6);

  QHeaderView* head = horizontalHeader();
  head->setFont(FileListModel::HeaderFont());
  head->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  head->setHighlightSections(false);
  head->setSectionsClickable(false);
  head->setSectionResizeMode(QHeaderView::Interactive);
  // The last column takes whatever width is left.
  head->setStretchLastSection(true);
  setColumnWidth(0, kNameWidth);
  setColumnWidth(1, kTypeWidth);
}

void CTarvelRightViewListCtrl::SetImageList(const ShellImageList* images) {
  m_model.SetImageList(images);
  viewport()->update();
}

int CTarvelRightViewListCtrl::AppendRow(const QString& name, int image, const QString& type) {
  return m_model.Append({name, type, image});
}

void CTarvelRightViewListCtrl::DeleteAllItems() { m_model.Clear(); }

QString CTarvelRightViewListCtrl::GetItemText(int row, int column) const {
  const FileListModel::Row* r = m_model.At(row);
  if (!r) return {};
  return column == 0 ? r->name : column == 1 ? r->type : QString();
}

int CTarvelRightViewListCtrl::GetItemImage(int row) const {
  const FileListModel::Row* r = m_model.At(row);
  return r ? r->image : -1;
}

int CTarvelRightViewListCtrl::GetSelectionMark() const {
  const QModelIndex current = currentIndex();
  return current.isValid() ? current.row() : -1;
}

void CTarvelRightViewListCtrl::SelectRow(int row) {
  if (row < 0 || row >= m_model.rowCount()) return;
  selectionModel()->setCurrentIndex(m_model.index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int CTarvelRightViewListCtrl::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void CTarvelRightViewListCtrl::SendPreview(int row) {
  if (m_target) m_target->SendMessage(UM_SHOW_PREVIEW, uintptr_t(row), 0);
}

void CTarvelRightViewListCtrl::mousePressEvent(QMouseEvent* event) {
  QTableView::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) SendPreview(index.row());
}

void CTarvelRightViewListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (index.isValid()) emit rowOpened(index.row());
}

void CTarvelRightViewListCtrl::PreviewMarkedRow(QKeyEvent* event) {
  if (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down) return;
  const int mark = GetSelectionMark();
  if (mark < 0 || mark >= m_model.rowCount()) return;
  SelectRow(mark);
  SendPreview(mark);
}

void CTarvelRightViewListCtrl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    const int row = GetSelectionMark();
    if (row >= 0 && row < m_model.rowCount()) {
      event->accept();
      emit rowOpened(row);
      return;
    }
  }
  PreviewMarkedRow(event);
  QTableView::keyPressEvent(event);
}

void CTarvelRightViewListCtrl::keyReleaseEvent(QKeyEvent* event) {
  PreviewMarkedRow(event);
  QTableView::keyReleaseEvent(event);
}

void CTarvelRightViewListCtrl::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  UpdateBackground();
}

void CTarvelRightViewListCtrl::UpdateBackground() {
  const QSize size = viewport()->size();
  if (size.isEmpty()) {
    m_background = QPixmap();
    return;
  }
  const qreal ratio = devicePixelRatioF();
  m_background = QPixmap::fromImage(icons::RenderSvg(QString::fromLatin1(kBackgroundResource), size * ratio));
  m_background.setDevicePixelRatio(ratio);
}

void CTarvelRightViewListCtrl::paintEvent(QPaintEvent* event) {
  if (!m_background.isNull()) {
    QPainter painter(viewport());
    painter.drawPixmap(0, 0, m_background);
  }
  QTableView::paintEvent(event);
}
