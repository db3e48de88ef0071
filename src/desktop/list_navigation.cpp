#include "desktop/list_navigation.h"

#include <algorithm>

#include "desktop/desktop.h"

namespace talvorine::desktop {
namespace {

constexpr std::uint16_t kVkPrior = 0x21;
constexpr std::uint16_t kVkNext = 0x22;
constexpr std::uint16_t kVkEnd = 0x23;
constexpr std::uint16_t kVkHome = 0x24;
constexpr std::uint16_t kVkLeft = 0x25;
constexpr std::uint16_t kVkUp = 0x26;
constexpr std::uint16_t kVkRight = 0x27;
constexpr std::uint16_t kVkDown = 0x28;

}  // namespace

std::optional<ListCell> NavigateList(ListCell at, std::size_t row_count, std::size_t page_rows,
                                     std::uint16_t virtual_key, bool ctrl_down, bool shift_down) {
  const std::size_t last = std::max<std::size_t>(row_count, 1);
  const std::size_t page = std::max<std::size_t>(page_rows, 1);
  const std::size_t row = std::clamp<std::size_t>(at.row, 1, last);
  const auto up_by = [&](std::size_t n) { return row > n ? row - n : 1; };
  const auto down_by = [&](std::size_t n) { return std::min(row + n, last); };

  switch (virtual_key) {
    case kVkUp:
      return ListCell{ctrl_down ? 1 : up_by(1), at.column};
    case kVkLeft:
      return ListCell{up_by(1), at.column};
    case kVkDown:
      return ListCell{ctrl_down ? last : down_by(1), at.column};
    case kVkRight:
      return ListCell{down_by(1), at.column};
    case kVkPrior:
      return ListCell{up_by(page), at.column};
    case kVkNext:
      return ListCell{down_by(page), at.column};
    case kVkHome:
      return ListCell{1, at.column};
    case kVkEnd:
      return ListCell{last, at.column};
    case kVkTab:
      if (shift_down) {
        if (at.column == 1) {
          return ListCell{row, 0};
        }
        return ListCell{row == 1 ? last : row - 1, 1};
      }
      if (at.column == 0) {
        return ListCell{row, 1};
      }
      return ListCell{row == last ? 1 : row + 1, 0};
    default:
      return std::nullopt;
  }
}

}  // namespace talvorine::desktop
