// Tab "単語ファイル": the locations of the web word files and their refresh period.
#include <vector>

#include "app/win32/main_pages.h"

namespace talvorine::win32 {

WordFilesPage::WordFilesPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                             MainWindowModel& model)
    : Panel(guard, parent, rect),
      model_(model),
      Label21(*this, {.id = 601,
                      .rect = {8, 6, 383, 30},
                      .text = "この機能を使うと、サーバにある単語ファイル内容を反映でできます。"}),
      InetWordFiles(*this, {.id = 602, .rect = {20, 62, 359, 150}}),
      Label22(*this, {.id = 603,
                      .rect = {20, 218, 359, 16},
                      .text = "ファイルについては、ドラック&ドロップも可能です。"}),
      Label23(*this,
              {.id = 604,
               .rect = {20, 236, 359, 30},
               .text = "tvwファイルと同じ形式（ストローク＝単語）形式のテキストが使えます。"}),
      Button5(*this, {.id = 605, .rect = {20, 272, 90, 25}, .text = "追加"},
              [this] {
                model_.events.Button5Click();
                Refresh();
              }),
      Button6(*this, {.id = 606, .rect = {120, 272, 90, 25}, .text = "削除"},
              [this] {
                std::vector<std::size_t> selected;
                for (int index : InetWordFiles.SelectedIndices()) {
                  selected.push_back(static_cast<std::size_t>(index));
                }
                model_.events.Button6Click(selected);
                Refresh();
              }),
      Label24(*this, {.id = 607, .rect = {20, 312, 64, 16}, .text = "更新周期"}),
      ReloadTime(*this, {.id = 608, .rect = {88, 308, 60, 22}}, files::kReloadTimeRange, 10,
                 [this](int value) {
                   model_.settings.ReloadTime = value;
                   model_.events.ReloadTimeChange();
                 }),
      Label25(*this, {.id = 609, .rect = {154, 312, 24, 16}, .text = "分"}),
      GroupBox5(*this, {.id = 610, .rect = {8, 40, 383, 304}, .text = "単語ファイル"}) {
  Refresh();
}

void WordFilesPage::Refresh() {
  InetWordFiles.SetItems(model_.settings.InetWordFiles);
  ReloadTime.SetValue(model_.settings.ReloadTime);
}

}  // namespace talvorine::win32
