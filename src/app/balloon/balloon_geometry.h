#pragma once

namespace kavelune::balloon {

// The side of the body the tail leaves from; the values are the ones the balloon has always
// numbered them by.
enum class TailSide { Left = 0, Right = 1, Top = 2, Bottom = 3 };

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

// Where the tail's base starts along the body's side: `vertical` for left and right tails,
// counted down from the body's top; `horizontal` for top and bottom tails, counted right from
// the body's left edge.
struct TailOffsets {
    int vertical = 0;
    int horizontal = 0;
    bool operator==(const TailOffsets&) const = default;
};

}  // namespace kavelune::balloon
