#pragma once
// The recovery selection dialog "Recovery Selection": the recovery mode, the
// heuristic option and the scan of the whole file or of a byte range. OK
// writes the choices into the application state; Cancel writes nothing.

#include <QDialog>

#include "app_state.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

inline constexpr char kRangeDialogTitle[] = "Recovery Selection";
inline constexpr char kStandardModeTip[] =
    "Select Standard mode recovery to handle common corruption issues in corrupt bkf file(Faster).";
inline constexpr char kAdvancedModeTip[] =
    "Advanced mode recovery handle other corruption issues in corrupt bkf file which cannot be handled by "
    "standard mode(Fast).";
inline constexpr char kHeuristicTip[] =
    "Heuristic scanning option allows scanning algorithm to handle unknown tags which can vary from OS to OS. "
    "Recommended to use only when advanced mode recover partial data from BKF file.";
inline constexpr char kSameRangeMessage[] = "Set range properly, both value cannot be same.";

// Control ids.
inline constexpr int IDC_RADIO_STANDARD = 1076;
inline constexpr int IDC_INFO_STANDARD = 1078;
inline constexpr int IDC_RADIO_ADVANCED = 1077;
inline constexpr int IDC_INFO_ADVANCED = 1079;
inline constexpr int IDC_CHECK_HEURISTIC = 1080;
inline constexpr int IDC_INFO_HEURISTIC = 1081;
inline constexpr int IDC_RADIO_COMPLETE = 1074;
inline constexpr int IDC_RADIO_PARTIAL = 1073;
inline constexpr int IDC_FILE_SIZE = 1075;
inline constexpr int IDC_EDIT_MIN = 1071;
inline constexpr int IDC_EDIT_MAX = 1032;

class CTarvelRangeSliderDlg : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kTooltipWidth = 400;

  explicit CTarvelRangeSliderDlg(QWidget* parent = nullptr, ApplicationState& state = AppState());

  // The click handlers.
  void OnPartialScan();
  void OnCompleteScan();
  void OnStandardMode();
  void OnAdvancedMode();
  void OnInfoButton(QToolButton* button);
  void OnOK();

  QRadioButton* StandardMode() const { return m_radioStandard; }
  QRadioButton* AdvancedMode() const { return m_radioAdvanced; }
  QCheckBox* Heuristic() const { return m_checkHeuristic; }
  QRadioButton* CompleteScan() const { return m_radioComplete; }
  QRadioButton* PartialScan() const { return m_radioPartial; }
  QLabel* FileSize() const { return m_labelFileSize; }
  QLineEdit* MinEdit() const { return m_editMin; }
  QLineEdit* MaxEdit() const { return m_editMax; }
  QToolButton* InfoStandard() const { return m_infoStandard; }
  QToolButton* InfoAdvanced() const { return m_infoAdvanced; }
  QToolButton* InfoHeuristic() const { return m_infoHeuristic; }
  QPushButton* OkButton() const { return m_ok; }
  QPushButton* CancelButton() const { return m_cancel; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Dialog units of the dialog's font, in pixels.
  int DluX(int units) const;
  int DluY(int units) const;

  QGroupBox* BuildModeGroup();
  QGroupBox* BuildScanGroup();
  QToolButton* MakeInfoButton(int id, const char* tip);
  QLineEdit* MakeRangeEdit(int id);
  void InitDialog();

  ApplicationState& m_state;
  double m_baseX = 0;
  double m_baseY = 0;
  QRadioButton* m_radioStandard = nullptr;
  QRadioButton* m_radioAdvanced = nullptr;
  QCheckBox* m_checkHeuristic = nullptr;
  QRadioButton* m_radioComplete = nullptr;
  QRadioButton* m_radioPartial = nullptr;
  QLabel* m_labelFileSize = nullptr;
  QLineEdit* m_editMin = nullptr;
  QLineEdit* m_editMax = nullptr;
  QToolButton* m_infoStandard = nullptr;
  QToolButton* m_infoAdvanced = nullptr;
  QToolButton* m_infoHeuristic = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
};
