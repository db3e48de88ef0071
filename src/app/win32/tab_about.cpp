// Tab "このソフトについて": version information, change history and the error record, on a
// page control of its own with the tabs on the right.

#include "app/main_window.h"
#include "app/win32/main_pages.h"
#include "app/win32/memo_texts.h"
#include "app/win32/resource_ids.h"
#include "common/error_record.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

constexpr int kSideTabThickness = 24;  // 96-DPI units

}  // namespace

// ---------------------------------------------------------------------------------------------

IconBox::IconBox(Window& owner, const CreateArgs& args, int icon_resource)
    : Control(owner, L"STATIC", args, SS_ICON | SS_REALSIZECONTROL | SS_CENTERIMAGE),
      icon_resource_(icon_resource) {
  LoadIcon();
}

IconBox::~IconBox() {
  if (icon_ != nullptr) {
    DestroyIcon(icon_);
  }
}

void IconBox::LoadIcon() {
  const int size = owner().Scale(rect().width);
  HICON icon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon_resource_),
                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  SendMessageW(hwnd(), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  if (icon_ != nullptr) {
    DestroyIcon(icon_);
  }
  icon_ = icon;
}

void IconBox::Layout() {
  Control::Layout();
  LoadIcon();
}

// ---------------------------------------------------------------------------------------------

SideTabControl::SideTabControl(Window& owner, const CreateArgs& args,
                               std::function<void(int)> on_change)
    : TabControl(owner,
                 {.id = args.id,
                  .rect = args.rect,
                  .style = TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE | TCS_OWNERDRAWFIXED |
                           TCS_FIXEDWIDTH | args.style},
                 std::move(on_change)) {}

void SideTabControl::AddSideTab(std::string_view text) {
  captions_.push_back(Cp932ToWide(text));
  AddTab(text);
  Layout();
}

void SideTabControl::Layout() {
  TabControl::Layout();
  // Every tab is as long as the longest caption written top to bottom.
  HDC dc = GetDC(hwnd());
  HGDIOBJ old = SelectObject(dc, CurrentFont());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(hwnd(), dc);
  std::size_t longest = 0;
  for (const std::wstring& caption : captions_) {
    longest = std::max(longest, caption.size());
  }
  const int length = static_cast<int>(longest) * metrics.tmHeight + owner().Scale(16);
  SendMessageW(hwnd(), TCM_SETITEMSIZE, 0, MAKELPARAM(length, owner().Scale(kSideTabThickness)));
}

bool SideTabControl::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID >= captions_.size()) {
    return false;
  }
  const std::wstring& caption = captions_[item.itemID];
  HDC dc = item.hDC;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_WINDOW : COLOR_BTNFACE));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  HGDIOBJ old = SelectObject(dc, CurrentFont());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  // One character under the other, centred: Japanese reads naturally this way.
  const int total = static_cast<int>(caption.size()) * metrics.tmHeight;
  int y = item.rcItem.top + (item.rcItem.bottom - item.rcItem.top - total) / 2;
  for (wchar_t character : caption) {
    RECT cell{item.rcItem.left, y, item.rcItem.right, y + metrics.tmHeight};
    DrawTextW(dc, &character, 1, &cell, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    y += metrics.tmHeight;
  }
  SelectObject(dc, old);
  return true;
}

// ---------------------------------------------------------------------------------------------

AboutPage::AboutPage(HandlerGuard& guard, Window& parent, const LogicalRect& rect,
                     MainWindowModel& model)
    : Panel(guard, parent, rect),
      guard_(guard),
      model_(model),
      rect_(rect),
      PageControl2(*this, {.id = 401, .rect = {0, 0, rect.width, rect.height}},
                   [this](int index) { ShowPage(index); }) {
  PageControl2.AddSideTab("バージョン情報");
  PageControl2.AddSideTab("改変履歴");
  PageControl2.AddSideTab("エラー記録");
  const LogicalRect area = PageControl2.PageArea();
  TabSheet6 = std::make_unique<Panel>(guard_, *this, area);
  TabSheet7 = std::make_unique<Panel>(guard_, *this, area);
  TabSheet8 = std::make_unique<Panel>(guard_, *this, area);

  // バージョン情報: a panel across the top, the description below it.
  Panel1 = std::make_unique<Panel>(guard_, *TabSheet6, LogicalRect{0, 0, area.width, 112},
                                   GetSysColor(COLOR_WINDOW));
  Image1 = std::make_unique<IconBox>(*Panel1, CreateArgs{.id = 411, .rect = {12, 12, 32, 32}},
                                     IDI_TALVORINE);
  Label3 = std::make_unique<Label>(*Panel1, CreateArgs{.id = 412,
                                                       .rect = {54, 8, area.width - 60, 32},
                                                       .text = std::string(app::kVersionLabel)});
  Label3->SetFont({.height = 24, .bold = true, .italic = true});
  Label4 = std::make_unique<Label>(*Panel1,
                                   CreateArgs{.id = 413,
                                              .rect = {56, 42, area.width - 62, 16},
                                              .text = "パソコン要約筆記のための入力補助ツール"});
  Label5 = std::make_unique<Label>(*Panel1, CreateArgs{.id = 414,
                                                       .rect = {56, 60, area.width - 62, 16},
                                                       .text = "制作：Talvorine 開発チーム"});
  Label6 = std::make_unique<Label>(
      *Panel1,
      CreateArgs{
          .id = 415, .rect = {56, 76, area.width - 62, 16}, .text = std::string(kMakerMailAddress)},
      kLinkNavy, [this] { model_.events.Label6Click(); });
  Label6->SetFont({.underline = true});
  Label11 = std::make_unique<Label>(
      *Panel1,
      CreateArgs{
          .id = 416, .rect = {56, 92, area.width - 62, 16}, .text = std::string(kMakerHomePage)},
      kLinkNavy, [this] { model_.events.Label11Click(); });
  Label11->SetFont({.underline = true});
  Memo4 = std::make_unique<Memo>(
      *TabSheet6,
      CreateArgs{.id = 417, .rect = {0, 114, area.width, area.height - 114}, .style = WS_VSCROLL});
  Memo4->SetValue(kDescriptionText);

  Memo1 = std::make_unique<Memo>(
      *TabSheet7,
      CreateArgs{.id = 421, .rect = {0, 0, area.width, area.height}, .style = WS_VSCROLL});
  Memo1->SetFont({.fixed_pitch = true});
  Memo1->SetValue(kHistoryText);

  // The record: the user may type into it, and what is typed belongs to it.
  Memo3_ = std::make_unique<Memo>(*TabSheet8,
                                  CreateArgs{.id = 431,
                                             .rect = {0, 0, area.width, area.height},
                                             .style = WS_VSCROLL | WS_HSCROLL | ES_AUTOHSCROLL});
  PageControl2.Select(0);
  ShowPage(0);
}

void AboutPage::ShowPage(int index) {
  Panel* pages[] = {TabSheet6.get(), TabSheet7.get(), TabSheet8.get()};
  for (int i = 0; i < 3; ++i) {
    if (i == index) {
      SetWindowPos(pages[i]->hwnd(), HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    } else {
      pages[i]->Show(SW_HIDE);
    }
  }
}

void AboutPage::PlacePages() {
  if (!TabSheet6) {
    return;
  }
  const LogicalRect area = PageControl2.PageArea();
  TabSheet6->PlaceAt(area);
  TabSheet7->PlaceAt(area);
  TabSheet8->PlaceAt(area);
  Panel1->PlaceAt({0, 0, area.width, 112});
  Memo4->MoveTo({0, 114, area.width, area.height - 114});
  Memo1->MoveTo({0, 0, area.width, area.height});
  Memo3_->MoveTo({0, 0, area.width, area.height});
}

void AboutPage::Resize(const LogicalRect& rect) {
  rect_ = rect;
  PlaceAt(rect);
  PageControl2.MoveTo({0, 0, rect.width, rect.height});
  PlacePages();
}

}  // namespace talvorine::win32
