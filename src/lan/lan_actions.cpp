#include "lan/lan_actions.h"

#include <array>
#include <exception>

#include "desktop/hotkey_binding.h"
#include "lan/datagram.h"

namespace talvorine::lan {

using desktop::KeyDirection;

namespace {

constexpr std::uint16_t kVkA = 0x41;
constexpr std::uint16_t kVkX = 0x58;

struct ModifierKey {
  std::uint16_t virtual_key;
  std::uint32_t flag;
};
// Always handled in this order.
constexpr std::array<ModifierKey, 3> kModifierKeys = {{
    {desktop::kVkControl, desktop::kModControl},
    {desktop::kVkShift, desktop::kModShift},
    {desktop::kVkMenu, desktop::kModAlt},
}};

void Tap(desktop::Desktop& desktop, std::uint16_t virtual_key) {
  desktop.KeyEvent(virtual_key, KeyDirection::kDown);
  desktop.KeyEvent(virtual_key, KeyDirection::kUp);
}

// Key events for each modifier whose flag is in the set, in the fixed order.
void ModifierEvents(desktop::Desktop& desktop, std::uint32_t flags, KeyDirection direction) {
  for (const ModifierKey& key : kModifierKeys) {
    if (flags & key.flag) {
      desktop.KeyEvent(key.virtual_key, direction);
    }
  }
}

}  // namespace

LanActions::LanActions(LanService& service, Receiver& receiver, FileSender& file_sender,
                       desktop::Desktop& desktop, desktop::TextInserter& inserter)
    : service_(service),
      receiver_(receiver),
      file_sender_(file_sender),
      desktop_(desktop),
      inserter_(inserter) {}

bool LanActions::OnHotKey(int id) {
  switch (id) {
    case desktop::HK_GET:
      Paste();
      return true;
    case desktop::HK_SET:
      HandOver();
      return true;
    case desktop::HK_SEND:
      CutAndHandOver();
      return true;
    case desktop::HK_FSEND:
      SendFile();
      return true;
    default:
      return false;
  }
}

void LanActions::Paste() {
  inserter_.InsertText(receiver_.PasteBuffer(), desktop::InsertAfter::kHotkey);
}

void LanActions::HandOver() {
  const bool has_text = desktop_.ClipboardHasText();
  try {
    if (has_text) {
      receiver_.SetPasteBuffer(desktop_.ClipboardText());
    }
  } catch (const std::exception&) {
  }
  if (!service_.settings().CkNWUse) {
    return;
  }
  // The sender's own "CB" comes back through the endpoint and shows in the monitor box then.
  try {
    const std::string datagram = MakeTextDatagram(receiver_.PasteBuffer());
    service_.DetermineBroadcastAddress();
    service_.SendDatagram(datagram);
  } catch (const std::exception&) {
  }
}

void LanActions::CutAndHandOver() {
  std::uint32_t held = 0;
  for (const ModifierKey& key : kModifierKeys) {
    if (desktop_.IsKeyDown(key.virtual_key)) {
      held |= key.flag;
    }
  }
  desktop_.Sleep(kSendPauseMilliseconds);
  ModifierEvents(desktop_, held, KeyDirection::kUp);

  desktop_.KeyEvent(desktop::kVkControl, KeyDirection::kDown);
  Tap(desktop_, kVkA);
  Tap(desktop_, kVkX);
  desktop_.KeyEvent(desktop::kVkControl, KeyDirection::kUp);
  desktop_.Sleep(kSendPauseMilliseconds);

  const files::Settings& settings = service_.settings();
  const std::uint32_t binding =
      desktop::ModifiersFromItemText(desktop::ModifierItemText(settings.Metakey_set));
  ModifierEvents(desktop_, binding, KeyDirection::kDown);
  Tap(desktop_, desktop::VirtualKeyFromIndex(settings.Key_set));
  ModifierEvents(desktop_, binding, KeyDirection::kUp);

  ModifierEvents(desktop_, held, KeyDirection::kDown);
  desktop_.Sleep(kSendPauseMilliseconds);
}

}  // namespace talvorine::lan
