#include "shell/app_settings.h"

AppSettings::AppSettings()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kSettingsKey)) {}

uint32_t AppSettings::ReadLook(uint32_t fallback) const {
  m_settings.sync();
  bool ok = false;
  const uint value = m_settings.value(QString::fromLatin1(kApplicationLookValue)).toUInt(&ok);
  return ok ? value : fallback;
}

void AppSettings::WriteLook(uint32_t id) {
  m_settings.setValue(QString::fromLatin1(kApplicationLookValue), id);
  m_settings.sync();
}
