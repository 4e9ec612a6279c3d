#pragma once
// The save job's log lines and progress on their way from the worker to the
// windows. The worker never waits for the user-interface thread here: lines
// and the progress position are handed over under a short lock, and one
// queued call delivers everything that gathered since the last delivery. So
// a job of many small files is not held to the pace at which the window can
// draw, and the window still shows every line in order.

#include <QObject>
#include <QStringList>
#include <functional>
#include <mutex>

#include "save_job.h"

class SaveJobLog : public QObject, public quillon::ISaveJobSink {
  Q_OBJECT
 public:
  // Runs on the user-interface thread with the lines gathered since the last
  // call and the latest progress position.
  using Deliver = std::function<void(const QStringList& lines, uint64_t progress)>;

  // Made on the user-interface thread.
  explicit SaveJobLog(Deliver deliver, QObject* parent = nullptr);

  void LogLine(std::u16string_view line) override;
  void Progress(uint64_t position, uint64_t total) override;
  // On the user-interface thread: delivers what is waiting now.
  void DeliverPending();
  // Queued calls made so far (for measurements).
  uint64_t Deliveries() const { return m_deliveries; }

 private:
  void Schedule();

  Deliver m_deliver;
  std::mutex m_mutex;
  QStringList m_lines;
  uint64_t m_progress = 0;
  bool m_progressChanged = false;
  bool m_scheduled = false;
  uint64_t m_deliveries = 0;
};
