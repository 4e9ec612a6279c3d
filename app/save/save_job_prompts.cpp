#include "save/save_job_prompts.h"

#include <QString>

#include "bkf_file.h"
#include "dialogs/prompt.h"
#include "save_log.h"
#include "system/notify_bridge.h"
#include "text.h"

SaveJobPrompts::SaveJobPrompts(QWidget* owner, NotifyBridge& bridge, const bkf& scanner)
    : m_owner(owner), m_bridge(bridge), m_scanner(scanner) {}

bool SaveJobPrompts::ConfirmStartsEarlier(const FoundFileRecord& record) {
  const int64_t index = record.index;
  const std::u16string name = m_scanner.m_files.IsValid(index) ? m_scanner.m_files.Name(index) : u"";
  const QString text = QString::fromStdU16String(name + quillon::kStartsEarlierQuestion);
  MsgResult answer = MsgResult::No;
  m_bridge.RunBlocking([&] { answer = ShowMessage(m_owner, text, MsgIcon::Information, MsgButtons::YesNo); });
  return answer == MsgResult::Yes;
}

NextPartAnswer SaveJobPrompts::RequestNextPart() {
  NextPartAnswer answer;
  m_bridge.RunBlocking([&] { answer = AskNextPart(); });
  return answer;
}

NextPartAnswer SaveJobPrompts::AskNextPart() {
  const QString noPart = QString::fromStdU16String(quillon::kNoNextPart);
  for (;;) {
    if (ShowMessage(m_owner, QString::fromStdU16String(quillon::kNextPartQuestion), MsgIcon::Information,
                    MsgButtons::YesNo) != MsgResult::Yes) {
      ShowMessage(m_owner, noPart);
      return NextPartAnswer::None();
    }
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.filter = QString::fromLatin1(kNextPartFilter);
    request.defaultExtension = QStringLiteral("bkf");
    request.initialName = QStringLiteral("*.bkf");
    request.fileMustExist = true;
    request.hideReadOnly = true;
    const std::optional<QString> path = Prompt().FileDialog(m_owner, request);
    if (!path || path->isEmpty()) {
      ShowMessage(m_owner, noPart);
      return NextPartAnswer::None();
    }
    auto file = std::make_unique<BkfFile>();
    if (file->Open(quillon::PathFromUtf16(path->toStdU16String()))) return NextPartAnswer::Part(std::move(file));
  }
}
