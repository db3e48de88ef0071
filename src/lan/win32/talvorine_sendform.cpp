#include "lan/win32/talvorine_sendform.h"

#include <climits>

#include "ui/win32/dpi.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {

namespace {

constexpr wchar_t kClassName[] = L"TalvorineTSendForm";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
constexpr int kLabel1Id = 1;
constexpr int kLabel2Id = 2;
constexpr int kProgressBar1Id = 3;

}  // namespace

ProgressBar::ProgressBar(Window& owner, const CreateArgs& args)
    : Control(owner, PROGRESS_CLASSW, args, 0) {
  SetMax(100);
  SetPosition(0);
}

void ProgressBar::SetMax(std::uint64_t maximum) {
  maximum_ = maximum;
  shift_ = 0;
  while ((maximum >> shift_) > static_cast<std::uint64_t>(INT_MAX)) {
    ++shift_;
  }
  SendMessageW(hwnd(), PBM_SETRANGE32, 0, static_cast<LPARAM>(maximum >> shift_));
}

void ProgressBar::SetPosition(std::uint64_t position) {
  if (position > maximum_) {
    position = maximum_;
  }
  SendMessageW(hwnd(), PBM_SETPOS, static_cast<WPARAM>(position >> shift_), 0);
}

int ProgressBar::NativeMax() const {
  return static_cast<int>(SendMessageW(hwnd(), PBM_GETRANGE, FALSE, 0));
}

int ProgressBar::NativePosition() const {
  return static_cast<int>(SendMessageW(hwnd(), PBM_GETPOS, 0, 0));
}

TSendForm::TSendForm(HandlerGuard& guard, HWND owner) : Window(guard) {
  const SIZE outer =
      OuterSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle, DpiForSystem());
  CreateParams params;
  params.class_name = kClassName;
  params.title = Cp932ToWide("ネットワーク上PCへの一斉送付");
  params.style = kStyle;
  params.ex_style = kExStyle;
  params.width = outer.cx;
  params.height = outer.cy;
  params.parent = owner;
  CreateHandle(params);

  const FontSpec font{L"ＭＳ Ｐゴシック", 12};
  CreateArgs label1_args;
  label1_args.id = kLabel1Id;
  label1_args.rect = {8, 8, 64, 16};
  label1_args.text = "作業状況：";
  Label1 = std::make_unique<Label>(*this, label1_args);
  Label1->SetFont(font);

  CreateArgs label2_args;
  label2_args.id = kLabel2Id;
  label2_args.rect = {72, 8, 306, 16};
  Label2 = std::make_unique<Label>(*this, label2_args);
  Label2->SetFont(font);

  CreateArgs bar_args;
  bar_args.id = kProgressBar1Id;
  bar_args.rect = {8, 32, 370, 20};
  ProgressBar1 = std::make_unique<ProgressBar>(*this, bar_args);
}

TSendForm::~TSendForm() {
  // The controls go before the window whose handle they live in.
  ProgressBar1.reset();
  Label2.reset();
  Label1.reset();
}

void TSendForm::ShowForm() {
  ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
  // Painted at once: the send loop lets messages through only between chunks.
  UpdateWindow(hwnd());
}

void TSendForm::HideForm() {
  ShowWindow(hwnd(), SW_HIDE);
}

LRESULT TSendForm::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  // The close box hides the form; it lives for the whole run and the send goes on.
  if (message == WM_CLOSE) {
    HideForm();
    return 0;
  }
  return Window::HandleMessage(message, w_param, l_param);
}

}  // namespace talvorine::win32
