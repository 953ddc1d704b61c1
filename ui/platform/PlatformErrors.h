// Errors raised by the window's own platform layer.
//
// Like the map model's errors, what() is the exact text the user sees; the
// window's error handler adds the closing full stop.
//
//   EInvalidOperation  "Scrollbar property out of range" (a scroll bar refused a range)
#pragma once

#include <stdexcept>

class EInvalidOperation : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
