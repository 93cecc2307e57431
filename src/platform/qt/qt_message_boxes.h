#pragma once

namespace kavelune::qt {

// Installs modal Qt message boxes as the program's message box handler. Boxes asked for from
// another thread are shown on the user interface thread, the asking thread waiting for the
// answer. Needs the QApplication object; call once after creating it.
void installQtMessageBoxes();

}  // namespace kavelune::qt
