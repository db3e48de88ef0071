// Tab "送信設定": the main phrase table.
#include "app/win32/main_pages.h"

namespace talvorine::win32 {

namespace {

LogicalRect Filling(const LogicalRect& page) {
  return {0, 0, page.width, page.height};
}

}  // namespace

SendSettingsPage::SendSettingsPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                                   MainWindowModel& model)
    : Panel(guard, parent, rect),
      ValueListEditor1(*this,
                       {.id = 101,
                        .rect = Filling(rect),
                        .hint = "[Insert]キーで行挿入、[CTRL}+[Delete]キーで行削除出来ます。"},
                       {.key_title = "割り当て", .value_title = "送信値"}, model.main_table) {}

void SendSettingsPage::Refresh() {
  ValueListEditor1.Refresh();
}

void SendSettingsPage::Resize(const LogicalRect& rect) {
  PlaceAt(rect);
  ValueListEditor1.MoveTo(Filling(rect));
}

}  // namespace talvorine::win32
