#include "system/notify_bridge.h"

#include <QMetaObject>
#include <QThread>
#include <exception>

NotifyBridge::NotifyBridge(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler)) {}

bool NotifyBridge::OnOwnThread() const { return QThread::currentThread() == thread(); }

void NotifyBridge::RunBlocking(const std::function<void()>& task) {
  if (OnOwnThread()) {
    task();
    return;
  }
  // An error raised by the task reaches the waiting thread, not the event loop.
  std::exception_ptr error;
  QMetaObject::invokeMethod(
      this,
      [&task, &error] {
        try {
          task();
        } catch (...) {
          error = std::current_exception();
        }
      },
      Qt::BlockingQueuedConnection);
  if (error) std::rethrow_exception(error);
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
