// The user's actions on the check-box tree: mouse, keyboard and tooltips. The
// tree widget's own mouse handling is not used, so that selection, opening
// and the messages follow the control's rules alone.

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include "tree/check_tree_ctrl.h"

void CCheckTreeCtrl::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton)
    OnLeftButtonDown(pos);
  else if (event->button() == Qt::RightButton)
    OnRightButtonDown(pos);
  event->accept();
}

void CCheckTreeCtrl::OnLeftButtonDown(const QPoint& pos) {
  CancelPendingEdit();
  QTreeWidgetItem* item = nullptr;
  const uint32_t hit = HitTest(pos, &item);
  if (!item) return;
  if (hit == kTreeHitCheckBox) {
    OnCheckBoxClick(item);
    return;
  }
  QTreeWidgetItem* previous = currentItem();
  if (hit == kTreeHitButton) {
    OnButtonClick(item, hit);
    return;
  }
  SelectAsUser(item);
  if (hit == kTreeHitLabel || hit == kTreeHitIcon) {
    // A second, slow click on the label of the selected item edits it.
    if (hit == kTreeHitLabel && item == previous) m_editCandidate = item;
    Send(UM_TREE_SELECT, hit, Handle(item));
  }
}

void CCheckTreeCtrl::OnButtonClick(QTreeWidgetItem* item, uint32_t hit) {
  // The tree opens or closes the item, the item becomes the selected one,
  // then the main window hears of it.
  item->setExpanded(!item->isExpanded());
  SelectAsUser(item);
  Send(UM_TREE_EXPAND, hit, Handle(item));
}

void CCheckTreeCtrl::OnCheckBoxClick(QTreeWidgetItem* item) {
  if (!m_bReadOnlyChecks)
    if (const CHECKTREEDATA* record = GetRecord(item)) SetCheck(item, record->checked ? 0 : 1);
  // Selected without UM_TREE_SELECT: the file list is not refreshed.
  SelectItem(item);
  SetHotItem(item);
}

void CCheckTreeCtrl::OnRightButtonDown(const QPoint& pos) {
  if (topLevelItemCount() == 0) return;
  CancelPendingEdit();
  QTreeWidgetItem* item = nullptr;
  const uint32_t hit = HitTest(pos, &item);
  // With no item under the pointer the selection stays.
  if (item) SelectAsUser(item);
  Send(UM_TREE_CONTEXT, hit, Handle(item));
}

void CCheckTreeCtrl::SelectAsUser(QTreeWidgetItem* item) { SelectItem(item); }

void CCheckTreeCtrl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && m_editCandidate) {
    QTreeWidgetItem* item = nullptr;
    if (HitTest(event->position().toPoint(), &item) == kTreeHitLabel && item == m_editCandidate)
      m_editTimer.start(QApplication::doubleClickInterval());
    else
      CancelPendingEdit();
  }
  event->accept();
}

void CCheckTreeCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
  CancelPendingEdit();
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  QTreeWidgetItem* item = nullptr;
  const uint32_t hit = HitTest(event->position().toPoint(), &item);
  if (!item) return;
  // The second click of a double click on the box or the button counts as a
  // click of its own.
  if (hit == kTreeHitCheckBox) {
    OnCheckBoxClick(item);
  } else if (hit == kTreeHitButton) {
    OnButtonClick(item, hit);
  } else if (item->childCount() > 0) {
    const bool open = !item->isExpanded();
    if (CCheckTreeItem* ours = CCheckTreeItem::From(item)) ours->Record().expanded = open ? 1 : 0;
    item->setExpanded(open);
  }
}

void CCheckTreeCtrl::mouseMoveEvent(QMouseEvent* event) {
  // No drag selection: a pressed button only ever acts where it went down.
  event->accept();
}

void CCheckTreeCtrl::SetHotItem(QTreeWidgetItem* item) {
  if (m_hotItem == item) return;
  m_hotItem = item;
  viewport()->update();
}

void CCheckTreeCtrl::CancelPendingEdit() {
  m_editCandidate = nullptr;
  m_editTimer.stop();
}

void CCheckTreeCtrl::keyPressEvent(QKeyEvent* event) {
  if (m_bEditing) {
    QTreeWidget::keyPressEvent(event);
    return;
  }
  CancelPendingEdit();
  QTreeWidgetItem* current = currentItem();
  const bool keypad = event->modifiers() & Qt::KeypadModifier;
  switch (event->key()) {
    case Qt::Key_Space:
      if (event->text() == QStringLiteral(" ")) {
        if (!m_bReadOnlyChecks)
          if (const CHECKTREEDATA* record = GetRecord(current)) SetCheck(current, record->checked ? 0 : 1);
        event->accept();
        return;
      }
      break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (OnArrowKey(event)) {
        event->accept();
        return;
      }
      break;
    case Qt::Key_Asterisk:
    case Qt::Key_Plus:
    case Qt::Key_Minus:
      if (keypad) {
        if (current) {
          if (event->key() == Qt::Key_Asterisk) {
            ExpandBranch(current);
            scrollToItem(current);
            horizontalScrollBar()->setValue(0);
          } else {
            current->setExpanded(event->key() == Qt::Key_Plus);
          }
        }
        event->accept();
        return;
      }
      // Typed on the main keyboard they are characters like any other.
      if (!event->text().isEmpty()) {
        keyboardSearch(event->text());
        event->accept();
        return;
      }
      break;
    default:
      break;
  }
  QTreeWidget::keyPressEvent(event);
}

bool CCheckTreeCtrl::OnArrowKey(QKeyEvent* event) {
  QTreeWidgetItem* current = currentItem();
  if (!current) return false;
  const int key = event->key();
  if (key == Qt::Key_Left || key == Qt::Key_Right) {
    CCheckTreeItem* ours = CCheckTreeItem::From(current);
    const bool hasDescendants = ours ? ours->Record().descendants > 0 : current->childCount() > 0;
    if (hasDescendants) {
      const bool wantOpen = key == Qt::Key_Right;
      const bool markedOpen = ours ? ours->Record().expanded != 0 : current->isExpanded();
      if (markedOpen != wantOpen) {
        if (ours) ours->Record().expanded = wantOpen ? 1 : 0;
        current->setExpanded(wantOpen);
        return true;
      }
    }
    // The tree's own handling: into the first child of an open item, or out
    // to the parent; no message.
    if (key == Qt::Key_Right) {
      if (current->isExpanded() && current->childCount() > 0) SelectItem(current->child(0));
    } else if (current->parent()) {
      SelectItem(current->parent());
    }
    return true;
  }
  QTreeWidgetItem* next = key == Qt::Key_Down ? itemBelow(current) : itemAbove(current);
  if (!next) return false;
  SelectAsUser(next);
  Send(UM_TREE_SELECT, 0, Handle(next));
  return true;
}

bool CCheckTreeCtrl::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip:
      ShowTooltip(static_cast<QHelpEvent*>(event));
      return true;
    case QEvent::Leave:
      SetHotItem(nullptr);
      break;
    default:
      break;
  }
  return QTreeWidget::viewportEvent(event);
}

void CCheckTreeCtrl::ShowTooltip(QHelpEvent* event) {
  QTreeWidgetItem* item = nullptr;
  HitTest(event->pos(), &item);
  if (item) {
    const QRect label = PartRect(item, Part::Label);
    // Only a label that the view cuts off needs its tip.
    if (label.right() >= viewport()->width() - 3) {
      QToolTip::showText(event->globalPos(), GetItemText(item).left(kTooltipChars), viewport(), label);
      return;
    }
  }
  QToolTip::hideText();
  event->ignore();
}
