#include "list/file_list_view.h"

#include <QVBoxLayout>

#include "list/file_list_ctrl.h"

CHalvernView::CHalvernView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("halvernView"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_wndList = new CTarvelRightViewListCtrl(this);
  layout->addWidget(m_wndList);
}

void CHalvernView::DeleteAllItems() { m_wndList->DeleteAllItems(); }
