#pragma once
// Child-window identifiers of the main window's controls. They stay clear of
// IDOK (1) and IDCANCEL (2), so no key handling of the system's can mistake
// a control for a dialog's default or cancel button.

namespace urlcheck {

enum ControlId : int {
  kSecondsLabelId = 101,
  kIntervalBoxId = 102,
  kSpareButtonId = 103,
  kStartStopButtonId = 104,
  kStatusBoxId = 105,
};

// The window class of the main window, for finding it from outside.
inline constexpr wchar_t kMainWindowClass[] = L"urlcheck.MainWindow";

}  // namespace urlcheck
