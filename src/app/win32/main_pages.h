#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/win32/controls.h"
#include "app/win32/main_window_events.h"
#include "ui/win32/value_list_editor.h"
#include "ui/win32/window.h"

namespace talvorine::win32 {

// The colours of the notes and the link labels.
inline constexpr COLORREF kNoteGreen = RGB(0, 128, 0);
inline constexpr COLORREF kLinkNavy = RGB(0, 0, 128);

// The maker's addresses on "バージョン情報": a mail address (Label6) and a home page (Label11).
inline constexpr std::string_view kMakerMailAddress = "talvorine@example.jp";
inline constexpr std::string_view kMakerHomePage = "https://www.example.jp/talvorine/";

// Tab "送信設定" (TabSheet1): the main phrase table.
class SendSettingsPage : public Panel {
 public:
  SendSettingsPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                   MainWindowModel& model);
  void Refresh();
  void Resize(const LogicalRect& rect);

 private:
  ValueListEditor ValueListEditor1;
};

// Tab "環境設定" (TabSheet2).
class EnvironmentPage : public Panel {
 public:
  EnvironmentPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                  MainWindowModel& model);
  void Refresh();

 private:
  MainWindowModel& model_;
  Button Button1, Button2, Button3, Button4;
  Label Label1;
  ComboBox Metakey;
  Label PlusLabel;
  ComboBox Key;
  Button RegKey, UnRegKey;
  CheckBox CkAutoKey, CkAutoMin, CkRecovCB, CkAutoResult;
  Label Label27;
  SpinEdit WindowWait;
  Label Label26;
  // Frames come last: at the bottom of the z-order they never paint over what they frame.
  GroupBox GroupBox1, GroupBox2;
};

// Tab "ネットワーク連携" (TabSheet5).
class NetworkPage : public Panel {
 public:
  NetworkPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
              MainWindowModel& model);
  void Refresh();
  void RefreshCkNWUse();
  // The item lists of the eight LAN key lists, given when the window is created.
  void FillKeyLists();
  // Shows the text at the next frame; of several texts within one frame only the last shows, so
  // a flood of hand-overs does not repaint the box for each.
  void SetEdit1Text(std::string_view text);
  void SetIPaddrText(std::string_view text);

 private:
  struct KeyRow {
    Label* label;
    ComboBox* metakey;
    ComboBox* key;
    int* metakey_setting;
    int* key_setting;
  };
  std::vector<KeyRow> KeyRows();

  MainWindowModel& model_;
  CheckBox CkNWUse;
  Label Label12;
  Edit IPaddr;
  Label Label17;
  Label Label14;
  SpinEdit NWChannel;
  Label Label20;
  Label Label7;
  ComboBox Metakey_get, Key_get;
  Label Label10;
  ComboBox Metakey_set, Key_set;
  Label Label15;
  ComboBox Metakey_send_set, Key_send_set;
  Label Label18;
  ComboBox Metakey_fsend_set, Key_fsend_set;
  std::vector<std::unique_ptr<Label>> plus_labels_;
  Button NWKeySet, NWKeyUnset;
  CheckBox CkNwLoadKey;
  Label Label13;
  Edit Edit1;
  GroupBox GroupBox3, GroupBox4;
  std::string edit1_next_;
  bool edit1_frame_due_ = false;
  static void CALLBACK Edit1FrameTimer(HWND hwnd, UINT message, UINT_PTR id, DWORD time);
};

// A static that shows an icon (Image1).
class IconBox : public Control {
 public:
  IconBox(Window& owner, const CreateArgs& args, int icon_resource);
  ~IconBox() override;

 protected:
  void Layout() override;

 private:
  void LoadIcon();
  int icon_resource_;
  HICON icon_ = nullptr;
};

// Tab strip whose tabs stand on the right, their captions written top to bottom.
class SideTabControl : public TabControl {
 public:
  SideTabControl(Window& owner, const CreateArgs& args, std::function<void(int)> on_change);
  void AddSideTab(std::string_view text);

 protected:
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void Layout() override;

 private:
  std::vector<std::wstring> captions_;
};

// Tab "このソフトについて" (TabSheet3) with its own page control PageControl2.
class AboutPage : public Panel {
 public:
  AboutPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
            MainWindowModel& model);
  // The record's memo, Memo3.
  Memo& ErrorRecordMemo() { return *Memo3_; }
  void Resize(const LogicalRect& rect);

 protected:
  void OnDpiChanged() override { PlacePages(); }

 private:
  void PlacePages();
  void ShowPage(int index);

  HandlerGuard& guard_;
  MainWindowModel& model_;
  LogicalRect rect_;
  SideTabControl PageControl2;
  std::unique_ptr<Panel> TabSheet6, TabSheet7, TabSheet8;
  std::unique_ptr<Panel> Panel1;
  std::unique_ptr<IconBox> Image1;
  std::unique_ptr<Label> Label3, Label4, Label5, Label6, Label11;
  std::unique_ptr<Memo> Memo4, Memo1, Memo3_;
};

// Tab "使い方" (TabSheet4).
class UsagePage : public Panel {
 public:
  UsagePage(HandlerGuard& guard, Window& parent, const LogicalRect& rect);
  void Resize(const LogicalRect& rect);

 private:
  Memo Memo2;
};

// Tab "単語ファイル" (TabSheet9).
class WordFilesPage : public Panel {
 public:
  WordFilesPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                MainWindowModel& model);
  void Refresh();

 private:
  MainWindowModel& model_;
  Label Label21;
  ListBox InetWordFiles;
  Label Label22, Label23;
  Button Button5, Button6;
  Label Label24;
  SpinEdit ReloadTime;
  Label Label25;
  GroupBox GroupBox5;
};

}  // namespace talvorine::win32
