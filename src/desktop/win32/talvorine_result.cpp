#include "desktop/win32/talvorine_result.h"

#include <imm.h>

#include <algorithm>
#include <climits>
#include <string>

#include "ui/win32/dpi.h"
#include "ui/win32/wide_text.h"

namespace talvorine::win32 {
namespace {

constexpr wchar_t kClassName[] = L"TalvorineTForm2";
// The window as it was designed: client area 108 x 197 at 96 DPI; the settings set the outer
// size after loading.
constexpr int kDesignClientWidth = 108;
constexpr int kDesignClientHeight = 197;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER;  // fixed single border
constexpr DWORD kExStyle = WS_EX_TOPMOST;
constexpr int kStrokeColumnWidth = 45;
constexpr int kPhraseColumnWidth = 61;

}  // namespace

CandidateWindow::CandidateWindow(HandlerGuard& guard, HWND main_window,
                                 const desktop::CandidateWindowParts& parts)
    : Window(guard), form_(parts, *this) {
  const SIZE outer =
      OuterSizeForClient(kDesignClientWidth, kDesignClientHeight, kStyle, kExStyle, DpiForSystem());
  CreateParams params;
  params.class_name = kClassName;
  params.title = Cp932ToWide("候補");
  params.style = kStyle;
  params.ex_style = kExStyle;
  params.width = outer.cx;
  params.height = outer.cy;
  params.parent = main_window;  // the owner: no taskbar button, gone with the program
  CreateHandle(params);

  CreateArgs list_args;
  list_args.rect = {0, 0, kDesignClientWidth, kDesignClientHeight};
  list_ = std::make_unique<ListView>(*this, list_args,
                                     [this](int row, int column) { return CellText(row, column); });
  list_->SetFont(FontSpec{L"ＭＳ Ｐゴシック", 12});
  list_->AddColumn("キー", kStrokeColumnWidth);
  list_->AddColumn("値", kPhraseColumnWidth);
  list_->SetMessageFilter([this](UINT message, WPARAM w_param, LPARAM l_param, LRESULT& result) {
    return FilterListMessage(message, w_param, l_param, result);
  });
  FillClientArea();
  RefreshList();
}

void CandidateWindow::ConnectTimers(MessageWindow& timers) {
  timers.SetTickHandler(TimerId::kForm2Timer1, [this] { form_.Timer1Timer(); });
  timers.SetTickHandler(TimerId::kForm2Timer2, [this] { form_.Timer2Timer(); });
}

std::string CandidateWindow::CellText(int row, int column) const {
  const desktop::TForm2& form = form_;
  if (row < 0 || static_cast<std::size_t>(row) >= form.lookup().candidate_count()) {
    return {};  // the one empty row of an empty list
  }
  const std::string_view line = form.lookup().candidate(static_cast<std::size_t>(row));
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) {
    return column == 0 ? std::string(line) : std::string();
  }
  return std::string(column == 0 ? line.substr(0, equals) : line.substr(equals + 1));
}

bool CandidateWindow::FilterListMessage(UINT message, WPARAM w_param, LPARAM l_param,
                                        LRESULT& result) {
  switch (message) {
    case WM_KEYDOWN:
      // Every key goes to the lookup first; the list's own moves then follow from TForm2, so
      // the list itself must not move the selection as well.
      form_.ValueListEditor1KeyDown(static_cast<std::uint16_t>(w_param));
      result = 0;
      return true;
    case WM_SYSKEYDOWN:
      // A stroke typed with Alt held counts as typed without it; the system still gets the key
      // (Alt+F4, the window menu).
      form_.ValueListEditor1KeyDown(static_cast<std::uint16_t>(w_param));
      return false;
    case WM_CHAR:
      // The list's type-ahead search would move the selection behind the lookup's back.
      result = 0;
      return true;
    case WM_GETDLGCODE:
      result = DLGC_WANTALLKEYS;
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      SetFocus(list_->hwnd());
      const POINT point{static_cast<short>(LOWORD(l_param)), static_cast<short>(HIWORD(l_param))};
      int column = 0;
      const int row = list_->RowAt(point, &column);
      if (row >= 0) {
        form_.ValueListEditor1SelectCell({static_cast<std::size_t>(row) + 1, column});
      }
      result = 0;
      return true;
    }
    default:
      return false;
  }
}

LRESULT CandidateWindow::HandleMessage(UINT message, WPARAM w_param, LPARAM l_param) {
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(w_param) == WA_INACTIVE) {
        form_.FormDeactivate();
      } else if (list_) {
        SetFocus(list_->hwnd());
      }
      return 0;
    case WM_SETFOCUS:
      if (list_) {
        SetFocus(list_->hwnd());
      }
      return 0;
    case WM_SIZE:
      FillClientArea();
      return 0;
    case WM_DPICHANGED:
      if (placing_) {
        ApplyDpi(HIWORD(w_param));
        return 0;
      }
      // Dragged onto a monitor of another scale: the system's suggested rectangle keeps the
      // size the same at the new DPI.
      return Window::HandleMessage(message, w_param, l_param);
    case WM_CLOSE:
      // The window lives as long as the program; closing it only hides it.
      form_.Hide();
      return 0;
    default:
      return Window::HandleMessage(message, w_param, l_param);
  }
}

void CandidateWindow::FillClientArea() {
  if (!list_) {
    return;
  }
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int width = MulDiv(client.right, 96, static_cast<int>(dpi()));
  const int height = MulDiv(client.bottom, 96, static_cast<int>(dpi()));
  list_->MoveTo({0, 0, width, height});
  // The phrase column takes what the stroke column leaves of the width.
  SendMessageW(list_->hwnd(), LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

bool CandidateWindow::IsVisible() {
  return IsWindowVisible(hwnd()) != FALSE;
}

void CandidateWindow::ShowWindow() {
  ::ShowWindow(hwnd(), SW_SHOW);
  SetFocus(list_->hwnd());
}

void CandidateWindow::RaiseToTop() {
  SetWindowPos(hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void CandidateWindow::Hide() {
  ::ShowWindow(hwnd(), SW_HIDE);
}

desktop::Size CandidateWindow::OuterSize() {
  RECT outer{};
  GetWindowRect(hwnd(), &outer);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

void CandidateWindow::SetOuterSize(desktop::Size size) {
  SetWindowPos(hwnd(), nullptr, 0, 0, size.width, size.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CandidateWindow::Place(const desktop::Rect& outer) {
  placing_ = true;
  SetWindowPos(hwnd(), nullptr, outer.left, outer.top, outer.width(), outer.height(),
               SWP_NOZORDER | SWP_NOACTIVATE);
  placing_ = false;
}

unsigned CandidateWindow::Dpi() {
  return dpi();
}

void CandidateWindow::OnDpiChanged() {
  // The font and the column widths are scaled by now; the phrase column fills what is left.
  FillClientArea();
}

void CandidateWindow::SwitchImeOff() {
  if (HIMC context = ImmGetContext(hwnd())) {
    ImmSetOpenStatus(context, FALSE);
    ImmReleaseContext(hwnd(), context);
  }
}

void CandidateWindow::RefreshList() {
  const desktop::TForm2& form = form_;
  const std::size_t rows = std::max<std::size_t>(form.lookup().candidate_count(), 1);
  list_->SetRowCount(static_cast<int>(std::min<std::size_t>(rows, INT_MAX)));
  list_->SelectRow(static_cast<int>(form.lookup().selection_row()) - 1);
}

std::size_t CandidateWindow::VisibleRowCount() {
  const LRESULT rows = SendMessageW(list_->hwnd(), LVM_GETCOUNTPERPAGE, 0, 0);
  return rows > 0 ? static_cast<std::size_t>(rows) : 1;
}

}  // namespace talvorine::win32
