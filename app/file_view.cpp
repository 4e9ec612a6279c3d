#include "file_view.h"

#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "command_ids.h"

CFileView::CFileView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("fileViewFrame"));
  setAttribute(Qt::WA_StyledBackground);
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  m_wndFileView = new QTreeWidget(this);
  m_wndFileView->setObjectName(QStringLiteral("bkfTree"));
  m_wndFileView->setProperty("controlId", IDC_BKF_TREE);
  m_wndFileView->setHeaderHidden(true);
  m_wndFileView->setColumnCount(1);
  layout->addWidget(m_wndFileView);
  setFocusProxy(m_wndFileView);
}

bool CFileView::IsEmpty() const { return m_wndFileView->topLevelItemCount() == 0; }

bool CFileView::HasCheckedItem() const {
  for (QTreeWidgetItemIterator it(m_wndFileView, QTreeWidgetItemIterator::Checked); *it; ++it) return true;
  return false;
}

void CFileView::DeleteAllItems() { m_wndFileView->clear(); }

void CFileView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  m_wndFileView->setFocus();
}
