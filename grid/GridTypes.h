// Small value types shared by the string grid and the sortable grid: cell
// coordinates and rectangles, draw states, grid options, shift states,
// colours in the toolkit's 32-bit form (0x00BBGGRR, or 0x80000000 plus a
// system colour index) and the scroll-information record of the thumb
// interface. Plain data, no behaviour beyond conversions.
#pragma once

#include <cstdint>

namespace grid {

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // Right and Bottom exclusive
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

struct TGridCoord {
    int X = 0, Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // inclusive cell indexes
    bool operator==(const TGridRect&) const = default;
};

// TGridDrawState: a set of these flags.
enum : unsigned { gdSelected = 1u << 0, gdFocused = 1u << 1, gdFixed = 1u << 2 };
using TGridDrawState = unsigned;

// TGridOptions: a set of these flags.
enum : unsigned {
    goFixedVertLine = 1u << 0,
    goFixedHorzLine = 1u << 1,
    goVertLine = 1u << 2,
    goHorzLine = 1u << 3,
    goRangeSelect = 1u << 4,
    goRowSelect = 1u << 5,
    goColSizing = 1u << 6,
    goThumbTracking = 1u << 7,
    goEditing = 1u << 8,
    goAlwaysShowEditor = 1u << 9,
};
using TGridOptions = unsigned;

// TShiftState: keyboard modifiers and mouse buttons held down.
enum : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

enum TGridState : std::uint8_t { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

enum TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

// Virtual key codes the grid's key handling speaks.
enum : int {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_ESCAPE = 27, VK_PRIOR = 33, VK_NEXT = 34,
    VK_END = 35, VK_HOME = 36, VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40,
    VK_INSERT = 45, VK_DELETE = 46, VK_F2 = 113,
};

using TColor = std::uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;

// The scroll-information record of the thumb interface (28 bytes).
struct TScrollInfo {
    std::uint32_t cbSize = sizeof(TScrollInfo);
    std::uint32_t fMask = 0;
    std::int32_t nMin = 0;
    std::int32_t nMax = 0;
    std::uint32_t nPage = 0;
    std::int32_t nPos = 0;
    std::int32_t nTrackPos = 0;
};
static_assert(sizeof(TScrollInfo) == 28);

enum : int { SB_HORZ = 0, SB_VERT = 1 };
enum : std::uint32_t { SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_TRACKPOS = 0x10,
                       SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS };

// Keeps an index into a list that had one entry moved from `from` to `to`
// pointing at the same entry.
inline void AdjustMovedIndex(int& index, int from, int to) {
    if (index == from) index = to;
    else if (index > from && index <= to) --index;
    else if (index < from && index >= to) ++index;
}

}  // namespace grid
