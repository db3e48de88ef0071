#include "app/win32/talvorine_main.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "ui/win32/dpi.h"
#include "app/win32/resource_ids.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr UINT_PTR kAnimationTimer = 1;
constexpr UINT kAnimationInterval = 1000;  // one frame a second while a file is sent
constexpr int kAboutTab = 3;

HICON LoadProgramIcon(int metric_x, int metric_y) {
  return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TALVORINE),
                                       IMAGE_ICON, GetSystemMetrics(metric_x),
                                       GetSystemMetrics(metric_y), LR_DEFAULTCOLOR));
}

}  // namespace

MainWindow::MainWindow(HandlerGuard& guard, MainWindowModel model)
    : Window(guard), model_(model) {
  icon_large_ = LoadProgramIcon(SM_CXICON, SM_CYICON);
  icon_small_ = LoadProgramIcon(SM_CXSMICON, SM_CYSMICON);
  CreateParams params;
  params.class_name = L"TalvorineForm1";
  params.title = L"Talvorine";
  params.style = kStyle;
  params.ex_style = kExStyle;
  params.icon = icon_large_;
  CreateHandle(params);
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_large_));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_small_));
  const SIZE outer = OuterSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle, dpi());
  SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  PageControl1 =
      std::make_unique<TabControl>(*this,
                                   CreateArgs{.id = 10,
                                              .rect = {0, 0, kClientWidth, kClientHeight},
                                              .style = TCS_MULTILINE | TCS_HOTTRACK},
                                   [this](int index) { ShowPage(index); });
  for (std::string_view caption : {"送信設定", "環境設定", "ネットワーク連携", "このソフトについて",
                                   "使い方", "単語ファイル"}) {
    PageControl1->AddTab(caption);
  }
  const LogicalRect area = PageControl1->PageArea();
  send_settings_ = std::make_unique<SendSettingsPage>(guard, *this, area, model_);
  environment_ = std::make_unique<EnvironmentPage>(guard, *this, area, model_);
  network_ = std::make_unique<NetworkPage>(guard, *this, area, model_);
  about_ = std::make_unique<AboutPage>(guard, *this, area, model_);
  usage_ = std::make_unique<UsagePage>(guard, *this, area);
  word_files_ = std::make_unique<WordFilesPage>(guard, *this, area, model_);
  SelectTab(kAboutTab);

  TrayIcon1 = std::make_unique<TrayIcon>(hwnd(), kTrayHint);
  PopupMenu1 = CreatePopupMenu();
  AppendMenuW(PopupMenu1, MF_STRING, kMenuV1, Cp932ToWide("画面を表示(&V)...").c_str());
  AppendMenuW(PopupMenu1, MF_STRING, kMenuQ1, Cp932ToWide("現状保存して終了(&Q)").c_str());
  // Shown from the creation of the window until the close sequence.
  TrayIcon1->Show();
  ACCEL keys[] = {{FVIRTKEY | FCONTROL, VK_TAB, kNextTab},
                  {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, kPreviousTab}};
  accelerators_ = CreateAcceleratorTableW(keys, 2);
  EnableDialogKeys(hwnd(), accelerators_);
}

MainWindow::~MainWindow() {
  TrayIcon1.reset();
  if (PopupMenu1 != nullptr) {
    DestroyMenu(PopupMenu1);
  }
  if (accelerators_ != nullptr) {
    DestroyAcceleratorTable(accelerators_);
  }
  // The controls go before the window whose handle they live in.
  word_files_.reset();
  usage_.reset();
  about_.reset();
  network_.reset();
  environment_.reset();
  send_settings_.reset();
  PageControl1.reset();
  if (hwnd() != nullptr) {
    DestroyWindow(hwnd());
  }
  if (icon_large_ != nullptr) {
    DestroyIcon(icon_large_);
  }
  if (icon_small_ != nullptr) {
    DestroyIcon(icon_small_);
  }
}

void MainWindow::SelectTab(int index) {
  PageControl1->Select(index);
  ShowPage(index);
}

void MainWindow::ShowPage(int index) {
  Window* pages[] = {send_settings_.get(), environment_.get(), network_.get(),
                     about_.get(),         usage_.get(),       word_files_.get()};
  for (int i = 0; i < 6; ++i) {
    if (i == index) {
      SetWindowPos(pages[i]->hwnd(), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    } else {
      ShowWindow(pages[i]->hwnd(), SW_HIDE);
    }
  }
}

void MainWindow::PlacePages() {
  const LogicalRect area = PageControl1->PageArea();
  send_settings_->Resize(area);
  environment_->PlaceAt(area);
  network_->PlaceAt(area);
  about_->Resize(area);
  usage_->Resize(area);
  word_files_->PlaceAt(area);
}

void MainWindow::OnDpiChanged() {
  PlacePages();
}

void MainWindow::FillLanKeyLists() {
  network_->FillKeyLists();
}

void MainWindow::AcceptDroppedFiles() {
  DragAcceptFiles(hwnd(), TRUE);
}

void MainWindow::RefreshFromSettings() {
  send_settings_->Refresh();
  environment_->Refresh();
  network_->Refresh();
  word_files_->Refresh();
}

void MainWindow::RefreshCkNWUse() {
  network_->RefreshCkNWUse();
}

void MainWindow::ShowMainWindow() {
  ShowWindow(hwnd(), SW_SHOW);
}

void MainWindow::ShowInFront() {
  SetForegroundWindow(hwnd());
  BringWindowToTop(hwnd());
}

void MainWindow::RestoreIfMinimized() {
  if (IsIconic(hwnd())) {
    ShowWindow(hwnd(), SW_RESTORE);
  }
}

void MainWindow::HideTrayIcon() {
  TrayIcon1->Hide();
}

void MainWindow::EndApplication() {
  // Destroying the main window ends the message loop (WM_DESTROY posts the quit).
  DestroyWindow(hwnd());
}

void MainWindow::StartTrayAnimation() {
  animation_frame_ = 0;
  SetTimer(hwnd(), kAnimationTimer, kAnimationInterval, nullptr);
}

void MainWindow::StopTrayAnimation() {
  KillTimer(hwnd(), kAnimationTimer);
  animation_frame_ = 0;
  TrayIcon1->ShowFrame(0);
}

void MainWindow::ShowTrayMenu() {
  POINT at;
  GetCursorPos(&at);
  // Without the window in front the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(hwnd());
  TrackPopupMenuEx(PopupMenu1, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, at.x, at.y, hwnd(),
                   nullptr);
  PostMessageW(hwnd(), WM_NULL, 0, 0);
}

void MainWindow::TrayIconMessage(UINT event) {
  // Only the release of the left button opens the menu; no click shows the window.
  if (event == WM_LBUTTONUP) {
    ShowTrayMenu();
  }
}

void MainWindow::OnMenuCommand(int id) {
  switch (id) {
    case kMenuV1:
      model_.events.V1Click();
      break;
    case kMenuQ1:
      model_.events.Q1Click();
      break;
    case kNextTab:
    case kPreviousTab: {
      constexpr int kTabs = 6;
      const int step = id == kNextTab ? 1 : kTabs - 1;
      SelectTab((SelectedTab() + step) % kTabs);
      break;
    }
    default:
      break;
  }
}

void MainWindow::DropFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, i, path.data(), length + 1);
    path.resize(length);
    paths.push_back(WideToCp932(path));
  }
  DragFinish(drop);
  model_.events.FormDropFiles(paths);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  if (TrayIcon1 && message == TrayIcon1->taskbar_created_message()) {
    TrayIcon1->Readd();
    return 0;
  }
  switch (message) {
    case TrayIcon::kCallbackMessage:
      TrayIconMessage(TrayIcon::EventOf(l_param));
      return 0;
    case WM_HOTKEY:
      model_.events.WMHotKey(w_param);
      return 0;
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(w_param));
      return 0;
    case WM_QUERYENDSESSION:
    case 0x003B:
    case WM_ENDSESSION:
      return model_.events.WMEndSession(message, w_param);
    case WM_CLOSE:
      // Closing never hides to the tray: it runs the close sequence and ends the program,
      // or leaves the window open when the sequence fails.
      model_.events.Close();
      return 0;
    case WM_SIZE:
      if (w_param == SIZE_MINIMIZED && TrayIcon1 && TrayIcon1->IsShown()) {
        // Only the tray icon remains.
        ShowWindow(hwnd(), SW_HIDE);
      }
      break;
    case WM_SYSCOMMAND:
      if ((w_param & 0xFFF0) == SC_RESTORE && IsIconic(hwnd())) {
        const LRESULT result = DefaultHandling(message, w_param, l_param);
        model_.events.TrayIcon1Restore();
        return result;
      }
      break;
    case WM_TIMER:
      if (w_param == kAnimationTimer) {
        animation_frame_ = (animation_frame_ + 1) % TrayIcon1->frame_count();
        TrayIcon1->ShowFrame(animation_frame_);
        return 0;
      }
      break;
    case WM_DESTROY:
      if (on_destroy) {
        on_destroy();
      }
      TrayIcon1->Hide();
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(message, w_param, l_param);
}

}  // namespace talvorine::win32
