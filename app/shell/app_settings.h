#pragma once
// The per-user settings store "CorvaneQuillonRepDemov22.0". The program keeps
// one value of its own there, "ApplicationLook".

#include <QSettings>
#include <cstdint>

inline constexpr char kSettingsKey[] = "CorvaneQuillonRepDemov22.0";
inline constexpr char kApplicationLookValue[] = "ApplicationLook";

class AppSettings {
 public:
  AppSettings();

  // "ApplicationLook", or fallback when it is missing or not an integer.
  uint32_t ReadLook(uint32_t fallback) const;
  // Writes "ApplicationLook" and puts it on disk at once (the process may end
  // without any clean-up).
  void WriteLook(uint32_t id);

  QString FileName() const { return m_settings.fileName(); }

 private:
  mutable QSettings m_settings;
};
