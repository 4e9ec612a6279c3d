#pragma once
// The save job's answers to the extractor's two questions, asked from the
// job's worker thread: each box and the open-file dialog is shown on the
// user-interface thread through the prompt layer, owned by the host window.

#include "save_job.h"

class NotifyBridge;
class QWidget;

inline constexpr char kNextPartFilter[] = ".bkf Files (*.bkf)|*bkf||";

class SaveJobPrompts : public quillon::ISaveJobPrompts {
 public:
  // `names` gives the name of a record for the earlier-part question.
  SaveJobPrompts(QWidget* owner, NotifyBridge& bridge, const bkf& scanner);

  // A box with Yes and No: the record's name followed by the question.
  bool ConfirmStartsEarlier(const FoundFileRecord& record) override;
  // Yes and No, then the open-file dialog for the next part; asked again
  // while the picked file cannot be opened.
  NextPartAnswer RequestNextPart() override;

 private:
  NextPartAnswer AskNextPart();

  QWidget* m_owner;
  NotifyBridge& m_bridge;
  const bkf& m_scanner;
};
