// Tab "環境設定": the settings and phrase list buttons, the start hotkey and the switches.
#include <array>
#include <string_view>

#include "app/win32/main_pages.h"
#include "desktop/hotkey_binding.h"

namespace talvorine::win32 {

namespace {

std::array<std::string_view, 45> KeyItemTexts() {
  std::array<std::string_view, 45> texts;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    texts[i] = desktop::kKeyItems[i].text;
  }
  return texts;
}

}  // namespace

EnvironmentPage::EnvironmentPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                                 MainWindowModel& model)
    : Panel(guard, parent, rect),
      model_(model),
      Button1(*this, {.id = 201, .rect = {20, 28, 170, 25}, .text = "設定の読込"},
              [this] { model_.events.Button1Click(); }),
      Button2(*this, {.id = 202, .rect = {206, 28, 170, 25}, .text = "設定の保存"},
              [this] { model_.events.Button2Click(); }),
      Button3(*this, {.id = 203, .rect = {20, 58, 170, 25}, .text = "語句リストの読込"},
              [this] { model_.events.Button3Click(); }),
      Button4(*this, {.id = 204, .rect = {206, 58, 170, 25}, .text = "語句リストの保存"},
              [this] { model_.events.Button4Click(); }),
      Label1(*this,
             {.id = 205, .rect = {20, 124, 350, 16}, .text = "Talvorineを起動するキーバインド"}),
      Metakey(*this, {.id = 206, .rect = {20, 144, 130, 22}},
              [this](int index) { model_.settings.Metakey = index; }),
      PlusLabel(*this, {.id = 207, .rect = {156, 148, 14, 16}, .text = "+"}),
      Key(*this, {.id = 208, .rect = {174, 144, 120, 22}},
          [this](int index) { model_.settings.Key = index; }),
      RegKey(*this, {.id = 209, .rect = {20, 174, 110, 25}, .text = "キー設定"},
             [this] { model_.events.RegKeyClick(); }),
      UnRegKey(*this, {.id = 210, .rect = {140, 174, 110, 25}, .text = "キー解除"},
               [this] { model_.events.UnRegKeyClick(); }),
      CkAutoKey(*this,
                {.id = 211, .rect = {20, 210, 356, 20}, .text = "起動時、自動的にキー設定を行う。"},
                [this](bool on) { model_.settings.CkAutoKey = on; }),
      CkAutoMin(*this,
                {.id = 212,
                 .rect = {20, 232, 356, 20},
                 .text = "初回起動時、ウインドウを自動的に最小化する。"},
                [this](bool on) { model_.settings.CkAutoMin = on; }),
      CkRecovCB(*this,
                {.id = 213, .rect = {20, 254, 356, 20}, .text = "クリップボードを毎回復帰する。"},
                [this](bool on) { model_.settings.CkRecovCB = on; }),
      CkAutoResult(*this,
                   {.id = 214,
                    .rect = {20, 276, 356, 20},
                    .text = "候補が１つになった時点で、自動確定する。"},
                   [this](bool on) { model_.settings.CkAutoResult = on; }),
      Label27(*this, {.id = 215, .rect = {20, 310, 84, 16}, .text = "切り替え待ち"}),
      WindowWait(*this, {.id = 216, .rect = {108, 306, 70, 22}}, files::kWindowWaitRange, 100,
                 [this](int value) {
                   model_.settings.WindowWait = value;
                   model_.events.ReloadTimeChange();
                 }),
      Label26(*this, {.id = 217, .rect = {184, 310, 50, 16}, .text = "ミリ秒"}),
      GroupBox1(*this, {.id = 218, .rect = {8, 6, 383, 88}, .text = "設定について"}),
      GroupBox2(*this, {.id = 219, .rect = {8, 102, 383, 240}, .text = "環境設定"}) {
  Metakey.SetItems(desktop::kModifierItems);
  const auto keys = KeyItemTexts();
  Key.SetItems(keys);
  Refresh();
}

void EnvironmentPage::Refresh() {
  const files::Settings& settings = model_.settings;
  Metakey.Select(settings.Metakey);
  Key.Select(settings.Key);
  CkAutoKey.SetChecked(settings.CkAutoKey);
  CkAutoMin.SetChecked(settings.CkAutoMin);
  CkRecovCB.SetChecked(settings.CkRecovCB);
  CkAutoResult.SetChecked(settings.CkAutoResult);
  WindowWait.SetValue(settings.WindowWait);
}

}  // namespace talvorine::win32
