#include "system/worker_thread.h"

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
    // Joins the thread on the user-interface thread, and wakes a Wait that
    // sleeps in the event loop.
    QMetaObject::invokeMethod(&m_receiver, [this] { JoinEnded(); }, Qt::QueuedConnection);
  });
}

void WorkerThread::JoinEnded() {
  if (m_done.load() && m_thread.joinable()) m_thread.join();
}

void WorkerThread::Wait() {
  while (!m_done.load())
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
  JoinEnded();
}
