#include "settings/settings_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "gfx/debug_log.h"
#include "scene/saver_constants.h"
#include "scene/creature_table.h"
#include "settings/settings_names.h"
#include "settings/settings_resource.h"
#include "settings/settings_store.h"

namespace {

constexpr UINT_PTR kPreviewTimer = 1;
constexpr UINT kPreviewPollMs = 200;
constexpr const char* kSampleFiller = "Tidewater";
constexpr const char* kMyPicture = "My picture";
constexpr const char* kRandomScene = "Random";

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// The scene box's entries: their "DISPLAY" values in list order.
int SceneEntryCount() { return kBackgroundCount + 2; }
std::int32_t SceneEntryValue(int entry) {
  if (entry == 0) return kDisplayRandom;
  if (entry <= kBackgroundCount) return entry - 1;
  return kDisplayCustom;
}
const char* SceneEntryText(int entry) {
  if (entry == 0) return kRandomScene;
  if (entry <= kBackgroundCount) return SceneLabel(entry - 1);
  return kMyPicture;
}

// The sound schedule boxes: each entry's minutes ride along as its item
// data, so a stored number the boxes do not offer gets an entry of its own.
const char* const kSoundMinutesLabels[kSoundChoiceCount] = {
    "As long as it runs", "15 minutes", "30 minutes", "60 minutes"};
const char* const kSoundChangeLabels[kSoundChoiceCount] = {
    "Never", "Every minute", "Every 5 minutes", "Every 15 minutes"};

void AddEntry(HWND box, const char* text, std::uint32_t data) {
  const LRESULT at = SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  if (at >= 0) SendMessageA(box, CB_SETITEMDATA, at, static_cast<LPARAM>(data));
}

void FillMinutesBox(HWND box, const std::uint32_t (&choices)[kSoundChoiceCount],
                    const char* const (&labels)[kSoundChoiceCount], const char* otherFormat,
                    std::uint32_t stored) {
  for (int i = 0; i < kSoundChoiceCount; ++i) AddEntry(box, labels[i], choices[i]);
  if (SoundChoiceIndex(choices, stored) < kSoundChoiceCount) return;
  char text[48];
  wsprintfA(text, otherFormat, static_cast<unsigned>(stored));
  AddEntry(box, text, stored);
}

// Selects the entry whose item data is `data` (the first when none is).
void SelectEntry(HWND box, std::uint32_t data) {
  const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
  LRESULT entry = 0;
  for (LRESULT i = 0; i < count; ++i)
    if (static_cast<std::uint32_t>(SendMessageA(box, CB_GETITEMDATA, i, 0)) == data) entry = i;
  SendMessageA(box, CB_SETCURSEL, entry, 0);
}

// The item data of the selected entry; false when nothing is selected.
bool SelectedData(HWND box, std::uint32_t& data) {
  const LRESULT entry = SendMessageA(box, CB_GETCURSEL, 0, 0);
  if (entry == CB_ERR) return false;
  data = static_cast<std::uint32_t>(SendMessageA(box, CB_GETITEMDATA, entry, 0));
  return true;
}

// The fill box's entries, in the order of kFillChoices.
const char* const kFillLabels[kFillChoiceCount] = {"Edge to edge", "Whole picture with bars",
                                                   "Actual size"};

// What the user is told when Preview could not run the saver.
const char* PreviewFailure(SaverPreview::StartResult result) {
  switch (result) {
    case SaverPreview::StartResult::kNoSaver:
      return "The screen saver tidewater.scr was not found.";
    case SaverPreview::StartResult::kNotStored:
      return "The settings to preview could not be stored.";
    default:
      return "The screen saver tidewater.scr could not be started.";
  }
}

void RecordToFont(const std::uint8_t* record, LOGFONTA& font) {
  static_assert(sizeof(LOGFONTA) == kFontRecordSize, "LOGFONTA is the stored record");
  std::memcpy(&font, record, sizeof font);
}

}  // namespace

SettingsDialog::SettingsDialog(HINSTANCE instance)
    : instance_(instance), stored_(LoadSettings()), edited_(stored_) {
  for (COLORREF& c : customColours_) c = RGB(255, 255, 255);
}

SettingsDialog::~SettingsDialog() {
  if (sampleFont_) DeleteObject(sampleFont_);
}

INT_PTR SettingsDialog::Run() {
  return DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, Procedure,
                         reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK SettingsDialog::Procedure(HWND dialog, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<SettingsDialog*>(lParam);
    self->dialog_ = dialog;
    self->OnInit();
    return TRUE;
  }
  auto* self = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  return self ? self->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR SettingsDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Item(dialog_, IDC_VOLUME)) OnVolumeScroll();
      return TRUE;
    case WM_TIMER:
      if (wParam == kPreviewTimer) OnPreviewTick();
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog_, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

void SettingsDialog::OnInit() {
  HICON big = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_SETTINGS), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON),
                                            GetSystemMetrics(SM_CYICON), 0));
  HICON little = static_cast<HICON>(LoadImageA(instance_, MAKEINTRESOURCEA(IDI_SETTINGS),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0));
  SendMessageA(dialog_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(dialog_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little));
  for (int i = 0; i < kSpeciesCount; ++i)
    SetDlgItemTextA(dialog_, IDC_SPECIES_FIRST + i, SpeciesLabel(i));
  HWND scenes = Item(dialog_, IDC_SCENE);
  for (int entry = 0; entry < SceneEntryCount(); ++entry)
    SendMessageA(scenes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SceneEntryText(entry)));
  SendDlgItemMessageA(dialog_, IDC_TEXT, EM_LIMITTEXT, kMaxTextLength, 0);
  SendDlgItemMessageA(dialog_, IDC_VOLUME, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  SendDlgItemMessageA(dialog_, IDC_VOLUME, TBM_SETPAGESIZE, 0, 10);
  FillMinutesBox(Item(dialog_, IDC_SOUND_MINUTES), kSoundMinutesChoices, kSoundMinutesLabels,
                 "%u minutes", edited_.SoundMinutes());
  FillMinutesBox(Item(dialog_, IDC_SOUND_CHANGE), kSoundChangeChoices, kSoundChangeLabels,
                 "Every %u minutes", edited_.SoundChange());
  for (int i = 0; i < kFillChoiceCount; ++i)
    AddEntry(Item(dialog_, IDC_FILL), kFillLabels[i], kFillChoices[i]);
  AddEntry(Item(dialog_, IDC_CLOCK_KIND), "Time", CLOCK_TIME);
  AddEntry(Item(dialog_, IDC_CLOCK_KIND), "Time and date", CLOCK_TIME_AND_DATE);
  ShowValues();
  Changed();
  SetForegroundWindow(dialog_);
  LogGeometry();
}

// Where the dialog's units land on the screen, for whoever drives it from
// outside (the end-to-end tests click its controls by their template places).
void SettingsDialog::LogGeometry() {
  POINT origin = {0, 0};
  ClientToScreen(dialog_, &origin);
  RECT units = {0, 0, 100, 100};
  MapDialogRect(dialog_, &units);
  DebugLog("Tidewater settings: dialog client at %d,%d, 100 x 100 units are %d x %d pixels\n",
           origin.x, origin.y, units.right, units.bottom);
}

void SettingsDialog::ShowValues() {
  showing_ = true;
  for (int i = 0; i < kSpeciesCount; ++i)
    CheckDlgButton(dialog_, IDC_SPECIES_FIRST + i, edited_.SpeciesOn(i) ? BST_CHECKED : BST_UNCHECKED);
  SelectScene();
  SetDlgItemTextA(dialog_, IDC_TEXT, edited_.CustomText());
  CheckDlgButton(dialog_, IDC_SOUND, edited_.Mute() ? BST_UNCHECKED : BST_CHECKED);
  SelectEntry(Item(dialog_, IDC_FILL), edited_.FillScreen());
  CheckDlgButton(dialog_, IDC_SAME_SCENE, edited_.SameScene() ? BST_CHECKED : BST_UNCHECKED);
  ShowSoundAndClock();
  showing_ = false;
}

// The clock's kind stays on "Time" while there is no clock, ready for the
// box to be checked.
void SettingsDialog::ShowSoundAndClock() {
  SendDlgItemMessageA(dialog_, IDC_VOLUME, TBM_SETPOS, TRUE, edited_.Volume());
  SetDlgItemInt(dialog_, IDC_VOLUME_TEXT, edited_.Volume(), FALSE);
  SelectEntry(Item(dialog_, IDC_SOUND_MINUTES), edited_.SoundMinutes());
  SelectEntry(Item(dialog_, IDC_SOUND_CHANGE), edited_.SoundChange());
  const bool clock = edited_.Clock() != CLOCK_NONE;
  CheckDlgButton(dialog_, IDC_CLOCK, clock ? BST_CHECKED : BST_UNCHECKED);
  SelectEntry(Item(dialog_, IDC_CLOCK_KIND), clock ? edited_.Clock() : CLOCK_TIME);
  EnableDependents();
}

// The sound's controls only while there is sound, the clock's kind only
// while there is a clock.
void SettingsDialog::EnableDependents() {
  const BOOL sound = edited_.Mute() ? FALSE : TRUE;
  for (int id : {IDC_VOLUME_LABEL, IDC_VOLUME, IDC_VOLUME_TEXT, IDC_SOUND_MINUTES_LABEL,
                 IDC_SOUND_MINUTES, IDC_SOUND_CHANGE_LABEL, IDC_SOUND_CHANGE})
    EnableWindow(Item(dialog_, id), sound);
  EnableWindow(Item(dialog_, IDC_CLOCK_KIND), edited_.Clock() != CLOCK_NONE);
}

void SettingsDialog::SelectScene() {
  int entry = 0;
  while (entry < SceneEntryCount() - 1 && SceneEntryValue(entry) != edited_.Display()) ++entry;
  SendDlgItemMessageA(dialog_, IDC_SCENE, CB_SETCURSEL, entry, 0);
  SetDlgItemTextA(dialog_, IDC_FILE_NAME,
                  edited_.Display() == kDisplayCustom ? edited_.CustomFile() : "");
  picture_.Choose(edited_.Display(), edited_.CustomFile(), edited_.FillScreen() == FILL_EDGE);
  InvalidateRect(Item(dialog_, IDC_PICTURE), nullptr, FALSE);
}

// After any change: Apply is offered while the edited values differ from
// the stored ones, and the sample shows the current font and colour.
void SettingsDialog::Changed() {
  EnableWindow(Item(dialog_, IDC_APPLY), edited_ != stored_);
  RefreshSampleFont();
  InvalidateRect(Item(dialog_, IDC_SAMPLE), nullptr, FALSE);
}

void SettingsDialog::RefreshSampleFont() {
  LOGFONTA font;
  RecordToFont(edited_.FontRecord(), font);
  HFONT made = CreateFontIndirectA(&font);
  if (!made) return;
  if (sampleFont_) DeleteObject(sampleFont_);
  sampleFont_ = made;
}

bool SettingsDialog::Store() {
  if (!SaveSettings(edited_)) {
    MessageBoxA(dialog_, "The settings could not be saved.", "Tidewater Settings",
                MB_ICONWARNING);
    return false;
  }
  DebugLog("Tidewater settings: saved\n");
  stored_ = edited_;
  Changed();
  return true;
}

void SettingsDialog::OnCommand(WORD id, WORD code) {
  if (showing_) return;
  if (id >= IDC_SPECIES_FIRST && id < IDC_SPECIES_FIRST + kSpeciesCount) {
    edited_.SetSpecies(id - IDC_SPECIES_FIRST, IsDlgButtonChecked(dialog_, id) == BST_CHECKED);
    Changed();
    return;
  }
  switch (id) {
    case IDC_ALL:
    case IDC_NONE:
      edited_.SetAllSpecies(id == IDC_ALL);
      ShowValues();
      Changed();
      return;
    case IDC_SCENE:
      if (code == CBN_SELCHANGE) PickScene();
      return;
    case IDC_BROWSE:
      Browse();
      return;
    case IDC_TEXT:
      if (code == EN_CHANGE) {
        char text[kConfigTextSize] = "";
        GetDlgItemTextA(dialog_, IDC_TEXT, text, sizeof text);
        edited_.SetCustomText(text);
        Changed();
      }
      return;
    case IDC_FONT:
      ChooseTextFont();
      return;
    case IDC_COLOUR:
      ChooseTextColour();
      return;
    case IDC_SOUND:
      edited_.SetMute(IsDlgButtonChecked(dialog_, IDC_SOUND) != BST_CHECKED);
      EnableDependents();
      Changed();
      return;
    case IDC_SOUND_MINUTES:
    case IDC_SOUND_CHANGE:
      if (code == CBN_SELCHANGE) PickMinutes(id);
      return;
    case IDC_CLOCK:
      PickClock();
      return;
    case IDC_CLOCK_KIND:
      if (code == CBN_SELCHANGE) PickClock();
      return;
    case IDC_FILL:
      if (code == CBN_SELCHANGE) PickFill();
      return;
    case IDC_SAME_SCENE:
      edited_.SetSameScene(IsDlgButtonChecked(dialog_, IDC_SAME_SCENE) == BST_CHECKED);
      Changed();
      return;
    case IDC_PREVIEW:
      StartPreview();
      return;
    case IDC_APPLY:
      Store();
      return;
    case IDOK:
      if (Store()) EndDialog(dialog_, IDOK);
      return;
    case IDCANCEL:
      EndDialog(dialog_, IDCANCEL);
      return;
  }
}

void SettingsDialog::OnVolumeScroll() {
  if (showing_) return;
  const LRESULT position = SendDlgItemMessageA(dialog_, IDC_VOLUME, TBM_GETPOS, 0, 0);
  if (position < 0) return;
  edited_.SetVolume(static_cast<std::uint32_t>(position));
  SetDlgItemInt(dialog_, IDC_VOLUME_TEXT, edited_.Volume(), FALSE);
  Changed();
}

void SettingsDialog::PickMinutes(int box) {
  std::uint32_t minutes = 0;
  if (!SelectedData(Item(dialog_, box), minutes)) return;
  const bool taken = box == IDC_SOUND_MINUTES ? edited_.SetSoundMinutes(minutes)
                                              : edited_.SetSoundChange(minutes);
  if (taken) Changed();
}

// The picture box follows: edge to edge it shows the scene in the monitor's shape.
void SettingsDialog::PickFill() {
  std::uint32_t fill = FILL_CENTRED;
  if (!SelectedData(Item(dialog_, IDC_FILL), fill) || !edited_.SetFillScreen(fill)) return;
  SelectScene();
  Changed();
}

// The check box says whether there is a clock, the box beside it which.
void SettingsDialog::PickClock() {
  std::uint32_t kind = CLOCK_TIME;
  if (!SelectedData(Item(dialog_, IDC_CLOCK_KIND), kind)) kind = CLOCK_TIME;
  const bool on = IsDlgButtonChecked(dialog_, IDC_CLOCK) == BST_CHECKED;
  if (!edited_.SetClock(on ? kind : CLOCK_NONE)) return;
  EnableDependents();
  Changed();
}

// "My picture" without a picture asks for one at once; when none is
// chosen the previous choice comes back.
void SettingsDialog::PickScene() {
  LRESULT entry = SendDlgItemMessageA(dialog_, IDC_SCENE, CB_GETCURSEL, 0, 0);
  if (entry < 0 || entry >= SceneEntryCount()) return;
  std::int32_t display = SceneEntryValue(static_cast<int>(entry));
  if (display == kDisplayCustom && !edited_.CustomFile()[0]) {
    Browse();
    if (!edited_.CustomFile()[0]) SelectScene();
    return;
  }
  edited_.SetDisplay(display);
  SelectScene();
  Changed();
}

void SettingsDialog::Browse() {
  char path[MAX_PATH];
  lstrcpynA(path, edited_.CustomFile(), sizeof path);
  OPENFILENAMEA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = dialog_;
  dialog.lpstrFilter = "Bitmap files (*.bmp, *.dib)\0*.bmp;*.dib\0All files\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = sizeof path;
  dialog.lpstrTitle = "Choose a picture";
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameA(&dialog)) return;
  if (!edited_.SetCustomFile(path)) {
    MessageBoxA(dialog_, "The picture's path is too long for the screen saver.",
                "Tidewater Settings", MB_ICONWARNING);
    return;
  }
  edited_.SetDisplay(kDisplayCustom);
  SelectScene();
  Changed();
}

void SettingsDialog::ChooseTextFont() {
  LOGFONTA font;
  RecordToFont(edited_.FontRecord(), font);
  CHOOSEFONTA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = dialog_;
  dialog.lpLogFont = &font;
  dialog.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_LIMITSIZE | CF_NOVERTFONTS;
  dialog.nSizeMin = 8;
  dialog.nSizeMax = 72;
  if (!ChooseFontA(&dialog)) return;
  std::uint8_t record[kFontRecordSize];
  std::memcpy(record, &font, sizeof record);
  if (!edited_.SetFontRecord(record)) return;
  Changed();
}

void SettingsDialog::ChooseTextColour() {
  CHOOSECOLORA dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = dialog_;
  dialog.rgbResult = edited_.FontColour();
  dialog.lpCustColors = customColours_;
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
  if (!ChooseColorA(&dialog)) return;
  edited_.SetFontColour(dialog.rgbResult);
  Changed();
}

void SettingsDialog::StartPreview() {
  const SaverPreview::StartResult started = saver_.Start(edited_);
  if (started != SaverPreview::StartResult::kStarted) {
    MessageBoxA(dialog_, PreviewFailure(started), "Tidewater Settings", MB_ICONWARNING);
    return;
  }
  EnableWindow(dialog_, FALSE);
  SetTimer(dialog_, kPreviewTimer, kPreviewPollMs, nullptr);
}

void SettingsDialog::OnPreviewTick() {
  if (!saver_.Finished()) return;
  KillTimer(dialog_, kPreviewTimer);
  EnableWindow(dialog_, TRUE);
  SetForegroundWindow(dialog_);
}

void SettingsDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
  HGDIOBJ dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageA(dialog_, WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(item.hDC, dialogFont);
  if (item.CtlID == IDC_PICTURE) picture_.Draw(item.hDC, item.rcItem);
  if (item.CtlID == IDC_SAMPLE) DrawSample(item);
  SelectObject(item.hDC, previous);
}

// The text as the saver draws it, in its font and colour over water; the
// product's name stands in while there is no text.
void SettingsDialog::DrawSample(const DRAWITEMSTRUCT& item) {
  RECT area = item.rcItem;
  HBRUSH water = CreateSolidBrush(kWaterColour);
  FillRect(item.hDC, &area, water);
  DeleteObject(water);
  const char* text = edited_.CustomText()[0] ? edited_.CustomText() : kSampleFiller;
  HGDIOBJ previous = sampleFont_ ? SelectObject(item.hDC, sampleFont_) : nullptr;
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, edited_.FontColour());
  RECT inner = area;
  InflateRect(&inner, -4, 0);
  DrawTextA(item.hDC, text, -1, &inner,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (previous) SelectObject(item.hDC, previous);
  FrameRect(item.hDC, &area, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
}
