#include "save/save_job_log.h"

#include <QMetaObject>

SaveJobLog::SaveJobLog(Deliver deliver, QObject* parent) : QObject(parent), m_deliver(std::move(deliver)) {}

void SaveJobLog::LogLine(std::u16string_view line) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_lines << QString::fromUtf16(line.data(), qsizetype(line.size()));
  Schedule();
}

void SaveJobLog::Progress(uint64_t position, uint64_t) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_progress = position;
  m_progressChanged = true;
  Schedule();
}

// Called with the lock held.
void SaveJobLog::Schedule() {
  if (m_scheduled) return;
  m_scheduled = true;
  QMetaObject::invokeMethod(this, [this] { DeliverPending(); }, Qt::QueuedConnection);
}

void SaveJobLog::DeliverPending() {
  QStringList lines;
  uint64_t progress = 0;
  bool changed = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    lines.swap(m_lines);
    progress = m_progress;
    changed = m_progressChanged;
    m_progressChanged = false;
    m_scheduled = false;
  }
  if (lines.isEmpty() && !changed) return;
  ++m_deliveries;
  m_deliver(lines, progress);
}
