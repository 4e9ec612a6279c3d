#include "tree/folder_tree_pane.h"

#include <QVBoxLayout>

#include "tree/check_tree_ctrl.h"

CFileView::CFileView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("fileViewFrame"));
  setAttribute(Qt::WA_StyledBackground);
  setFocusPolicy(Qt::StrongFocus);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(1, 1, 1, 1);
  m_wndFileView = new CCheckTreeCtrl(this);
  m_wndFileView->SetCheckBoxes(true);
  m_wndFileView->SetPropagation(true);
  m_wndFileView->SetReadOnlyChecks(false);
  layout->addWidget(m_wndFileView);
  setFocusProxy(m_wndFileView);
}

bool CFileView::IsEmpty() const { return m_wndFileView->topLevelItemCount() == 0; }

bool CFileView::HasCheckedItem() const { return m_wndFileView->GetFirstCheckedItem() != nullptr; }

void CFileView::DeleteAllItems() { m_wndFileView->DeleteAllItems(); }

void CFileView::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  m_wndFileView->setFocus();
}
