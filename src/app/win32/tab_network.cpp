// Tab "ネットワーク連携": LAN sharing, its four hotkeys and the paste buffer monitor.
#include <array>
#include <string_view>

#include "app/win32/main_pages.h"
#include "desktop/hotkey_binding.h"

namespace talvorine::win32 {

namespace {

// Rows of the hotkey group: label, then the two lists below it.
constexpr int kFirstRowTop = 184;
constexpr int kRowStep = 40;

LogicalRect RowLabel(int row) {
  return {20, kFirstRowTop + row * kRowStep, 356, 16};
}
LogicalRect RowMetakey(int row) {
  return {20, kFirstRowTop + 17 + row * kRowStep, 130, 22};
}
LogicalRect RowPlus(int row) {
  return {156, kFirstRowTop + 21 + row * kRowStep, 14, 16};
}
LogicalRect RowKey(int row) {
  return {174, kFirstRowTop + 17 + row * kRowStep, 120, 22};
}

}  // namespace

NetworkPage::NetworkPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                         MainWindowModel& model)
    : Panel(guard, parent, rect),
      model_(model),
      CkNWUse(*this, {.id = 301, .rect = {20, 26, 356, 20}, .text = "ネットワーク連携機能を使う"},
              [this](bool on) { model_.settings.CkNWUse = on; }),
      Label12(*this, {.id = 302, .rect = {20, 54, 150, 16}, .text = "ブロードキャストアドレス"}),
      IPaddr(*this, {.id = 303, .rect = {176, 50, 150, 22}},
             [this](std::string text) { model_.settings.IPaddr = std::move(text); }),
      Label17(*this,
              {.id = 304,
               .rect = {20, 76, 366, 16},
               .text = "※空欄ならば、IP自動取得。手動変更後は一度連携OFFが必要。"},
              kNoteGreen),
      Label14(*this, {.id = 305, .rect = {20, 102, 70, 16}, .text = "チャンネル"}),
      NWChannel(*this, {.id = 306, .rect = {96, 98, 60, 22}}, files::kNWChannelRange, 1,
                [this](int value) { model_.settings.NWChannel = value; }),
      Label20(*this,
              {.id = 307,
               .rect = {20, 126, 366, 16},
               .text = "※使用ポートは（５５０４＋チャンネル）、通信形式はUDPです。"},
              kNoteGreen),
      Label7(*this, {.id = 310, .rect = RowLabel(0), .text = "受け取りに使うキーバインド"}),
      Metakey_get(*this, {.id = 311, .rect = RowMetakey(0)},
                  [this](int index) { model_.settings.Metakey_get = index; }),
      Key_get(*this, {.id = 312, .rect = RowKey(0)},
              [this](int index) { model_.settings.Key_get = index; }),
      Label10(*this, {.id = 313, .rect = RowLabel(1), .text = "受け渡しに使うキーバインド"}),
      Metakey_set(*this, {.id = 314, .rect = RowMetakey(1)},
                  [this](int index) { model_.settings.Metakey_set = index; }),
      Key_set(*this, {.id = 315, .rect = RowKey(1)},
              [this](int index) { model_.settings.Key_set = index; }),
      Label15(*this,
              {.id = 316, .rect = RowLabel(2), .text = "クリップボードへコピー＆送信キーバインド"}),
      Metakey_send_set(*this, {.id = 317, .rect = RowMetakey(2)},
                       [this](int index) { model_.settings.Metakey_send_set = index; }),
      Key_send_set(*this, {.id = 318, .rect = RowKey(2)},
                   [this](int index) { model_.settings.Key_send_set = index; }),
      Label18(*this, {.id = 319, .rect = RowLabel(3), .text = "ファイル送信用キーバインド"}),
      Metakey_fsend_set(*this, {.id = 320, .rect = RowMetakey(3)},
                        [this](int index) { model_.settings.Metakey_fsend_set = index; }),
      Key_fsend_set(*this, {.id = 321, .rect = RowKey(3)},
                    [this](int index) { model_.settings.Key_fsend_set = index; }),
      NWKeySet(*this, {.id = 330, .rect = {20, 346, 110, 25}, .text = "キー設定"},
               [this] { model_.events.NWKeySetClick(); }),
      NWKeyUnset(*this, {.id = 331, .rect = {140, 346, 110, 25}, .text = "キー解除"},
                 [this] { model_.events.NWKeyUnsetClick(); }),
      CkNwLoadKey(
          *this,
          {.id = 332, .rect = {20, 378, 356, 20}, .text = "起動時、自動的にキー設定を行う。"},
          [this](bool on) { model_.settings.CkNwLoadKey = on; }),
      Label13(*this, {.id = 333, .rect = {8, 414, 250, 16}, .text = "張り付け用バッファモニタ"}),
      Edit1(*this, {.id = 334, .rect = {8, 432, 383, 22}, .style = ES_READONLY}),
      GroupBox3(*this, {.id = 335, .rect = {8, 6, 383, 144}, .text = "通信設定"}),
      GroupBox4(*this, {.id = 336, .rect = {8, 158, 383, 248}, .text = "キーバインド"}) {
  for (int row = 0; row < 4; ++row) {
    plus_labels_.push_back(std::make_unique<Label>(
        *this, CreateArgs{.id = 340 + row, .rect = RowPlus(row), .text = "+"}));
  }
  // The frame must stay below the "+" labels made after it.
  SetWindowPos(GroupBox4.hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Refresh();
}

std::vector<NetworkPage::KeyRow> NetworkPage::KeyRows() {
  files::Settings& s = model_.settings;
  return {{&Label7, &Metakey_get, &Key_get, &s.Metakey_get, &s.Key_get},
          {&Label10, &Metakey_set, &Key_set, &s.Metakey_set, &s.Key_set},
          {&Label15, &Metakey_send_set, &Key_send_set, &s.Metakey_send_set, &s.Key_send_set},
          {&Label18, &Metakey_fsend_set, &Key_fsend_set, &s.Metakey_fsend_set, &s.Key_fsend_set}};
}

void NetworkPage::FillKeyLists() {
  std::array<std::string_view, 45> keys;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    keys[i] = desktop::kKeyItems[i].text;
  }
  for (const KeyRow& row : KeyRows()) {
    row.metakey->SetItems(desktop::kModifierItems);
    row.key->SetItems(keys);
  }
  Refresh();
}

void NetworkPage::Refresh() {
  RefreshCkNWUse();
  IPaddr.SetValue(model_.settings.IPaddr);
  NWChannel.SetValue(model_.settings.NWChannel);
  for (const KeyRow& row : KeyRows()) {
    row.metakey->Select(*row.metakey_setting);
    row.key->Select(*row.key_setting);
  }
  CkNwLoadKey.SetChecked(model_.settings.CkNwLoadKey);
}

void NetworkPage::RefreshCkNWUse() {
  CkNWUse.SetChecked(model_.settings.CkNWUse);
}

namespace {
// One frame of a 60 Hz screen.
constexpr UINT kFrameMilliseconds = 16;
}  // namespace

void NetworkPage::SetEdit1Text(std::string_view text) {
  edit1_next_.assign(text);
  if (!edit1_frame_due_) {
    // The timer's id is this page; it goes with Edit1's window.
    edit1_frame_due_ = SetTimer(Edit1.hwnd(), reinterpret_cast<UINT_PTR>(this), kFrameMilliseconds,
                                Edit1FrameTimer) != 0;
    if (!edit1_frame_due_) {
      Edit1.SetValue(edit1_next_);
    }
  }
}

void CALLBACK NetworkPage::Edit1FrameTimer(HWND hwnd, UINT /*message*/, UINT_PTR id,
                                           DWORD /*time*/) {
  KillTimer(hwnd, id);
  auto* self = reinterpret_cast<NetworkPage*>(id);
  self->edit1_frame_due_ = false;
  try {
    self->Edit1.SetValue(self->edit1_next_);
  } catch (...) {
    // Out of memory while converting: the next text tries again, and the loop must go on.
  }
}

void NetworkPage::SetIPaddrText(std::string_view text) {
  IPaddr.SetValue(text);
}

}  // namespace talvorine::win32
