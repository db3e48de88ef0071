// Program entry Talvorine: the application titled "Talvorine", its windows and one message
// loop. The main window stays hidden until the start-up sequence decides.
#include <windows.h>

#include <commctrl.h>

#include <exception>
#include <string>

#include "app/win32/program.h"
#include "ui/win32/wide_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES |
                                                     ICC_TAB_CLASSES | ICC_UPDOWN_CLASS |
                                                     ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  try {
    talvorine::win32::Program program;
    return program.Run();
  } catch (const std::exception& error) {
    // Before the message loop runs, nothing can go to the error record: the standard box.
    const std::wstring message = talvorine::win32::Cp932ToWide(error.what());
    MessageBoxW(nullptr, message.c_str(), L"Talvorine", MB_OK | MB_ICONERROR);
  } catch (...) {
    MessageBoxW(nullptr, L"", L"Talvorine", MB_OK | MB_ICONERROR);
  }
  return 1;
}
