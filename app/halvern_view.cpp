#include "halvern_view.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

CHalvernView::CHalvernView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("halvernView"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  m_wndList = new QTreeWidget(this);
  m_wndList->setObjectName(QStringLiteral("fileList"));
  m_wndList->setRootIsDecorated(false);
  m_wndList->setUniformRowHeights(true);
  m_wndList->setAllColumnsShowFocus(true);
  m_wndList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_wndList->setHeaderLabels({QStringLiteral("File Name"), QStringLiteral("File Type")});
  m_wndList->setColumnWidth(0, 400);
  m_wndList->setColumnWidth(1, 150);
  m_wndList->header()->setStretchLastSection(true);
  layout->addWidget(m_wndList);
}

void CHalvernView::DeleteAllItems() { m_wndList->clear(); }
