#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "files/settings.h"
#include "lookup/phrase_table.h"

namespace talvorine::win32 {

// What the main window's controls and messages set off. The window writes control values into
// the settings itself; everything with behaviour goes through here to the core.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual void Button1Click() = 0;  // 設定の読込
  virtual void Button2Click() = 0;  // 設定の保存
  virtual void Button3Click() = 0;  // 語句リストの読込
  virtual void Button4Click() = 0;  // 語句リストの保存
  virtual void RegKeyClick() = 0;
  virtual void UnRegKeyClick() = 0;
  virtual void NWKeySetClick() = 0;
  virtual void NWKeyUnsetClick() = 0;
  // WindowWait or ReloadTime took a new value.
  virtual void ReloadTimeChange() = 0;
  virtual void Button5Click() = 0;                                       // 追加
  virtual void Button6Click(std::span<const std::size_t> selected) = 0;  // 削除
  virtual void FormDropFiles(std::span<const std::string> paths) = 0;
  virtual void Label6Click() = 0;
  virtual void Label11Click() = 0;
  virtual void WMHotKey(std::uintptr_t id) = 0;
  virtual void V1Click() = 0;
  virtual void Q1Click() = 0;
  virtual void TrayIcon1Restore() = 0;
  // WM_CLOSE: the close sequence, then the end.
  virtual void Close() = 0;
  virtual std::intptr_t WMEndSession(std::uint32_t message, std::uintptr_t w_param) = 0;
};

// What the main window shows and edits.
struct MainWindowModel {
  files::Settings& settings;
  lookup::PhraseTable& main_table;
  MainWindowEvents& events;
};

}  // namespace talvorine::win32
