#pragma once
// Carries the window messages of the worker threads to the user-interface
// thread: a blocking send runs the handler there and waits for its result, a
// post queues it and returns at once. On the user-interface thread itself a
// send is a direct call.

#include <QObject>
#include <cstdint>
#include <functional>

class NotifyBridge : public QObject {
  Q_OBJECT
 public:
  using Handler = std::function<intptr_t(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

  // The bridge belongs to the thread that creates it, the user-interface thread.
  explicit NotifyBridge(Handler handler, QObject* parent = nullptr);

  // Blocking send: returns the handler's result once it ran on the bridge's thread.
  intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Queued post: the handler runs later on the bridge's thread.
  void Post(uint32_t message, uintptr_t wParam, intptr_t lParam);
  // Runs task on the bridge's thread and waits until it has finished; an
  // error the task raises is raised again in the calling thread.
  void RunBlocking(const std::function<void()>& task);

  bool OnOwnThread() const;

 private:
  Handler m_handler;
};
