#include "desktop/hotkeys.h"

#include <string_view>

#include "desktop/hotkey_binding.h"

namespace talvorine::desktop {
namespace {

constexpr std::string_view kFailureCaption = "割り当て失敗";
constexpr std::string_view kUnregisteredCaption = "割り当て解除";
constexpr std::string_view kUnregisteredText = "キーを解除しました。";

struct Binding {
  int files::Settings::*modifier_index;
  int files::Settings::*key_index;
  std::string_view failure_text;
};

// By id: the lists that bind it and the text shown when its combination is taken.
constexpr Binding kBindings[] = {
    {&files::Settings::Metakey, &files::Settings::Key,
     "現在の設定キーは、別のアプリケーションにより使用されています。別のキーに割り当てなおしてく"
     "ださい。"},
    {&files::Settings::Metakey_get, &files::Settings::Key_get,
     "現在の設定キー（受け取り）は、別のアプリケーションにより使用されています。別のキーに割り当"
     "てなおしてください。"},
    {&files::Settings::Metakey_set, &files::Settings::Key_set,
     "現在の設定キー(受け渡し)は、別のアプリケーションにより使用されています。別のキーに割り当て"
     "なおしてください。"},
    {&files::Settings::Metakey_send_set, &files::Settings::Key_send_set,
     "現在の設定キー(コピー&送信)は、別のアプリケーションにより使用されています。別のキーに割り"
     "当てなおしてください。"},
    {&files::Settings::Metakey_fsend_set, &files::Settings::Key_fsend_set,
     "現在の設定キー(ファイル送信)は、別のアプリケーションにより使用されています。別のキーに割り"
     "当てなおしてください。"},
};

constexpr int kLanIds[] = {HK_GET, HK_SET, HK_SEND, HK_FSEND};

}  // namespace

Hotkeys::Hotkeys(Desktop& desktop, const files::Settings& settings)
    : desktop_(desktop), settings_(settings) {}

void Hotkeys::Register(int id) {
  const Binding& binding = kBindings[id];
  std::uint32_t modifiers =
      ModifiersFromItemText(ModifierItemText(settings_.*binding.modifier_index));
  if (id == HK_START) {
    // Held down, the start key would place the window again at every key repeat (with its
    // 100 ms wait each time) and keep the keyboard from the user.
    modifiers |= kModNoRepeat;
  }
  const std::uint16_t key = VirtualKeyFromIndex(settings_.*binding.key_index);
  // No unregistering first: an earlier binding of the id stays in force beside the new one.
  if (!desktop_.RegisterHotKey(id, modifiers, key)) {
    desktop_.ShowMessageBox(binding.failure_text, kFailureCaption, MessageBoxStyle::kOk);
  }
}

void Hotkeys::RegKeyClick() {
  Register(HK_START);
}

void Hotkeys::UnRegKeyClick() {
  desktop_.UnregisterHotKey(HK_START);
  desktop_.ShowMessageBox(kUnregisteredText, kUnregisteredCaption, MessageBoxStyle::kOk);
}

void Hotkeys::NWKeySetClick() {
  for (const int id : kLanIds) {
    Register(id);
  }
}

void Hotkeys::NWKeyUnsetClick() {
  for (const int id : kLanIds) {
    desktop_.UnregisterHotKey(id);
  }
  desktop_.ShowMessageBox(kUnregisteredText, kUnregisteredCaption, MessageBoxStyle::kOk);
}

void Hotkeys::RegisterAtStartup() {
  if (settings_.CkAutoKey) {
    RegKeyClick();
  }
  if (settings_.CkNwLoadKey) {
    NWKeySetClick();
  }
}

void Hotkeys::UnregisterAll() {
  for (int id = HK_START; id <= HK_FSEND; ++id) {
    desktop_.UnregisterHotKey(id);
  }
}

void WMHotKey(std::uintptr_t id, HotkeyActions& actions) {
  switch (id) {
    case HK_START:
      actions.PlaceAtCaret();
      break;
    case HK_GET:
      actions.PasteReceived();
      break;
    case HK_SET:
      actions.HandOver();
      break;
    case HK_SEND:
      actions.CutAndHandOver();
      break;
    case HK_FSEND:
      actions.SendFile();
      break;
    default:
      break;
  }
}

}  // namespace talvorine::desktop
