#pragma once
// "Save file(s)" of the search window: the core save job over the rows of the
// result list, with the window as its host (destination field, hierarchy
// box, progress bar, busy text, OK and Stop, result count) and its log lines
// in the main window's log. The extractor's questions are asked in boxes and
// the open-file dialog owned by the window.

#include <QString>

#include "save_job.h"

class CTarvelDlgSearchBkfFiles;
class NotifyBridge;
class QWidget;

inline constexpr char kSearchLongNameNotice[] =
    "The filename or extension might be too long. rename root folders in tree or file can be save in the root folder!";
inline constexpr char kSearchNextPartFilter[] = ".bkf Files (*.bkf)|*bkf||";

// The job's answers to the extractor, asked from the worker on the
// user-interface thread.
class SearchSavePrompts : public quillon::ISaveJobPrompts {
 public:
  SearchSavePrompts(QWidget* owner, NotifyBridge& bridge, const bkf& scanner)
      : m_owner(owner), m_bridge(bridge), m_scanner(scanner) {}
  bool ConfirmStartsEarlier(const FoundFileRecord& record) override;
  NextPartAnswer RequestNextPart() override;

 private:
  MsgResult Ask(const QString& text, MsgButtons buttons);

  QWidget* m_owner;
  NotifyBridge& m_bridge;
  const bkf& m_scanner;
};
