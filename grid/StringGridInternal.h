// Shared by the string grid's source files; not part of its interface.
#pragma once

namespace grid::detail {

// The range the scroll bars use whenever there is something to scroll.
constexpr int kScrollMax = 127;
// Qt needs some page for a thumb; this stands for the platform's default.
constexpr int kDefaultThumbPage = 10;

}  // namespace grid::detail
