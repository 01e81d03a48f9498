#pragma once
// Resource numbers of pondex.rc.
inline constexpr int kWindowIconResource = 1;
inline constexpr int kTransferIconResource = 2;
