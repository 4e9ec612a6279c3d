#include "dialogs/prompt.h"

#include <QStringList>

#include "dialogs/qt_prompt.h"

namespace {
IPrompt* g_prompt = nullptr;
}  // namespace

IPrompt& Prompt() {
  static QtPrompt qtPrompt;
  return g_prompt ? *g_prompt : qtPrompt;
}

void SetPrompt(IPrompt* prompt) { g_prompt = prompt; }

QString ProductCaptionText() { return QString::fromStdU16String(ProductCaption()); }

MsgResult ShowMessage(QWidget* owner, const QString& text, MsgIcon icon, MsgButtons buttons) {
  return Prompt().MessageBox(owner, text, ProductCaptionText(), buttons, icon);
}

QList<FileFilterEntry> ParseFileFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QList<FileFilterEntry> entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    entries.append({parts[i], parts[i + 1]});
  }
  return entries;
}
