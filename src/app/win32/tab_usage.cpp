// Tab "使い方": the usage text.
#include "app/win32/main_pages.h"
#include "app/win32/memo_texts.h"

namespace talvorine::win32 {

UsagePage::UsagePage(HandlerGuard& guard, Window& parent, const LogicalRect& rect)
    : Panel(guard, parent, rect),
      Memo2(*this, {.id = 501, .rect = {0, 0, rect.width, rect.height}, .style = WS_VSCROLL}) {
  Memo2.SetValue(kUsageText);
}

void UsagePage::Resize(const LogicalRect& rect) {
  PlaceAt(rect);
  Memo2.MoveTo({0, 0, rect.width, rect.height});
}

}  // namespace talvorine::win32
