#pragma once
// One item of the check-box tree: its label, its images, the caller's item
// data and the record of its check box. The label and the images are held
// here rather than in the tree widget's generic value store, which keeps an
// item small when a folder holds many thousands of files.

#include <QString>
#include <QTreeWidgetItem>
#include <cstdint>

// The check-box record of one item.
struct CHECKTREEDATA {
  uint8_t checked = 0;             // the item's own check flag, 0 or 1
  uint8_t enabled = 1;             // the program never disables an item
  uint8_t expanded = 0;            // the open state as last set through the control
  int64_t descendants = 0;         // items below this one, at all depths
  int64_t checkedDescendants = 0;  // of those, the ones whose own flag is 1; never below 0
};

// The caller's data of an item: a kind byte (0: no data) and a list index.
struct TreeItemData {
  uint8_t kind = 0;
  int64_t index = -1;
  bool operator==(const TreeItemData&) const = default;
};

class CCheckTreeItem : public QTreeWidgetItem {
 public:
  static constexpr int kType = QTreeWidgetItem::UserType + 281;

  CCheckTreeItem(const QString& label, int image, int selectedImage);

  // Display and edit text is the label; the decoration is the image from the
  // tree's image list.
  QVariant data(int column, int role) const override;
  void setData(int column, int role, const QVariant& value) override;

  const QString& Label() const { return m_label; }
  int Image() const { return m_image; }
  int SelectedImage() const { return m_selectedImage; }
  CHECKTREEDATA& Record() { return m_record; }
  const CHECKTREEDATA& Record() const { return m_record; }
  const TreeItemData& ItemData() const { return m_data; }
  void SetItemData(const TreeItemData& data) { m_data = data; }

  // The item behind a tree widget item, or none when it is not one of ours.
  static CCheckTreeItem* From(QTreeWidgetItem* item) {
    return item && item->type() == kType ? static_cast<CCheckTreeItem*>(item) : nullptr;
  }
  static const CCheckTreeItem* From(const QTreeWidgetItem* item) {
    return item && item->type() == kType ? static_cast<const CCheckTreeItem*>(item) : nullptr;
  }

 private:
  QString m_label;
  int32_t m_image;
  int32_t m_selectedImage;
  TreeItemData m_data;
  CHECKTREEDATA m_record;
};
