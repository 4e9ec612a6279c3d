#include "notify_bridge.h"

#include <QMetaObject>
#include <QThread>

NotifyBridge::NotifyBridge(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler)) {}

bool NotifyBridge::OnOwnThread() const { return QThread::currentThread() == thread(); }

void NotifyBridge::RunBlocking(const std::function<void()>& task) {
  if (OnOwnThread()) {
    task();
    return;
  }
  QMetaObject::invokeMethod(this, [&task] { task(); }, Qt::BlockingQueuedConnection);
}

intptr_t NotifyBridge::Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  intptr_t result = 0;
  RunBlocking([&] { result = m_handler(message, wParam, lParam); });
  return result;
}

void NotifyBridge::Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  QMetaObject::invokeMethod(
      this, [this, message, wParam, lParam] { m_handler(message, wParam, lParam); }, Qt::QueuedConnection);
}
