#include "tree/check_tree_item.h"

#include "tree/check_tree_ctrl.h"

CCheckTreeItem::CCheckTreeItem(const QString& label, int image, int selectedImage)
    : QTreeWidgetItem(kType), m_label(label), m_image(image), m_selectedImage(selectedImage) {
  setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
}

QVariant CCheckTreeItem::data(int column, int role) const {
  if (column != 0) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return m_label;
    case Qt::DecorationRole:
      if (auto* tree = qobject_cast<CCheckTreeCtrl*>(treeWidget())) return tree->ImageIcon(m_image);
      return {};
    default:
      return QTreeWidgetItem::data(column, role);
  }
}

void CCheckTreeItem::setData(int column, int role, const QVariant& value) {
  if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole)) {
    const QString label = value.toString();
    if (label == m_label) return;
    m_label = label;
    emitDataChanged();
    return;
  }
  QTreeWidgetItem::setData(column, role, value);
}
