#pragma once

#include "app/menu/keyboard.h"

namespace kavelune::qt {

// The toolkit-neutral key of a Qt key code (Key::Other for keys the window does not bind).
Key keyFromQt(int qtKey);

}  // namespace kavelune::qt
