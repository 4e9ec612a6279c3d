#pragma once
// The one worker thread of the main window. The worker reaches the windows
// only through blocking calls that the user-interface thread handles, so the
// user-interface thread never simply joins it: Wait keeps handling those
// calls until the worker has ended, then joins. An ended worker is also
// joined as soon as the user-interface thread is free, and the thread object
// is always joined before it goes, so it can never end the process.

#include <QObject>
#include <atomic>
#include <functional>
#include <thread>

class WorkerThread {
 public:
  // Made on the user-interface thread.
  WorkerThread() = default;
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Runs work on a new thread; a previous worker is waited for first.
  void Start(std::function<void()> work);
  // True from Start until the work has returned.
  bool Running() const { return !m_done.load(); }
  // Called on the user-interface thread: handles the worker's calls (not the
  // user's input) until the work has returned, then joins the thread.
  void Wait();

 private:
  void JoinEnded();

  std::thread m_thread;
  std::atomic<bool> m_done{true};
  // Receives the worker's last post on the user-interface thread; a post
  // still queued when the object goes is dropped with it.
  QObject m_receiver;
};
