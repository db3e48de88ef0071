#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <memory>
#include <string_view>

#include "app/main_window.h"
#include "ui/win32/controls.h"
#include "app/win32/main_pages.h"
#include "app/win32/main_window_events.h"
#include "app/win32/tray_icon.h"
#include "ui/win32/window.h"

namespace talvorine::win32 {

// The tray icon's hint and the ids of its menu PopupMenu1.
inline constexpr std::string_view kTrayHint = "要約筆記入力補助ツール Talvorine";
inline constexpr int kMenuV1 = 1001;  // 画面を表示(&V)...
inline constexpr int kMenuQ1 = 1002;  // 現状保存して終了(&Q)
// Ctrl+Tab and Ctrl+Shift+Tab page through the tabs.
inline constexpr int kNextTab = 1003;
inline constexpr int kPreviousTab = 1004;

// The main window Form1: every setting on six tabs, the tray icon with its menu, and the
// messages of the hotkeys, the dropped files and the shutdown. It starts hidden. Its behaviour
// is the core's TForm1; this class turns messages into MainWindowEvents and carries out what
// the core asks of the window (app::MainWindowView).
class MainWindow : public Window, public app::MainWindowView {
 public:
  // The client size at 96 DPI.
  static constexpr int kClientWidth = 407;
  static constexpr int kClientHeight = 517;

  MainWindow(HandlerGuard& guard, MainWindowModel model);
  ~MainWindow() override;

  // The record's memo on "エラー記録".
  Memo& ErrorRecordMemo() { return about_->ErrorRecordMemo(); }
  // The monitor box and the address box of the LAN tab.
  void SetEdit1Text(std::string_view text) { network_->SetEdit1Text(text); }
  void SetIPaddrText(std::string_view text) { network_->SetIPaddrText(text); }
  // The table changed from outside (a phrase list was loaded).
  void RefreshMainTable() { send_settings_->Refresh(); }
  // The location list changed from outside (files were dropped).
  void RefreshWordFiles() { word_files_->Refresh(); }
  void StartTrayAnimation();
  void StopTrayAnimation();
  // The tab in front, by position (0 "送信設定" to 5 "単語ファイル").
  void SelectTab(int index);
  int SelectedTab() const { return PageControl1->SelectedIndex(); }
  // Runs when the window is being destroyed, while its controls still exist.
  std::function<void()> on_destroy;

  // app::MainWindowView
  void FillLanKeyLists() override;
  void AcceptDroppedFiles() override;
  void RefreshFromSettings() override;
  void RefreshCkNWUse() override;
  void ShowMainWindow() override;
  void ShowInFront() override;
  void RestoreIfMinimized() override;
  void HideTrayIcon() override;
  void EndApplication() override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) override;
  void OnMenuCommand(int id) override;
  void OnDpiChanged() override;

 private:
  void PlacePages();
  void ShowPage(int index);
  void TrayIconMessage(UINT event);
  void ShowTrayMenu();
  void DropFiles(HDROP drop);

  MainWindowModel model_;
  HICON icon_large_ = nullptr;
  HICON icon_small_ = nullptr;
  std::unique_ptr<TabControl> PageControl1;
  std::unique_ptr<SendSettingsPage> send_settings_;
  std::unique_ptr<EnvironmentPage> environment_;
  std::unique_ptr<NetworkPage> network_;
  std::unique_ptr<AboutPage> about_;
  std::unique_ptr<UsagePage> usage_;
  std::unique_ptr<WordFilesPage> word_files_;
  std::unique_ptr<TrayIcon> TrayIcon1;
  HMENU PopupMenu1 = nullptr;
  HACCEL accelerators_ = nullptr;
  int animation_frame_ = 0;
};

}  // namespace talvorine::win32
