// SettingsDialog: the settings program's one dialog (target only). It
// starts from the stored values, keeps every change in the edited values at
// once, and writes them on OK and Apply; Cancel and the close box write
// nothing. Preview runs the saver with the edited values.
#pragma once

#include <windows.h>

#include "settings/background_preview.h"
#include "settings/saver_preview.h"
#include "settings/settings_values.h"

class SettingsDialog {
 public:
  explicit SettingsDialog(HINSTANCE instance);
  SettingsDialog(const SettingsDialog&) = delete;
  SettingsDialog& operator=(const SettingsDialog&) = delete;
  ~SettingsDialog();

  // Shows the dialog until it is closed; IDOK or IDCANCEL.
  INT_PTR Run();

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnInit();
  void OnCommand(WORD id, WORD code);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnVolumeScroll();
  void OnPreviewTick();
  void LogGeometry();

  void ShowValues();
  void SelectScene();
  void ShowSoundAndClock();
  void EnableDependents();
  void PickMinutes(int box);
  void PickClock();
  void PickFill();
  void Changed();
  void RefreshSampleFont();
  bool Store();

  void PickScene();
  void Browse();
  void ChooseTextFont();
  void ChooseTextColour();
  void StartPreview();
  void DrawSample(const DRAWITEMSTRUCT& item);

  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  SettingsValues stored_;
  SettingsValues edited_;
  BackgroundPreview picture_;
  SaverPreview saver_;
  HFONT sampleFont_ = nullptr;
  COLORREF customColours_[16] = {};
  bool showing_ = false;  // controls are being filled: their notifications are ours
};
