#include "worker_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

WorkerThread::~WorkerThread() { Wait(); }

void WorkerThread::Start(std::function<void()> work) {
  Wait();
  m_done.store(false);
  m_thread = std::thread([this, work = std::move(work)] {
    work();
    m_done.store(true);
    // Wakes a Wait that sleeps in the event loop.
    if (QCoreApplication* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(app, [] {}, Qt::QueuedConnection);
  });
}

void WorkerThread::Wait() {
  while (!m_done.load()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  if (m_thread.joinable()) m_thread.join();
}
