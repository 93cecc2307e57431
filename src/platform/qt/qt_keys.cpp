#include "platform/qt/qt_keys.h"

#include <Qt>

namespace kavelune::qt {

Key keyFromQt(int qtKey) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        return static_cast<Key>(static_cast<int>(Key::Digit0) + (qtKey - Qt::Key_0));
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        return static_cast<Key>(static_cast<int>(Key::A) + (qtKey - Qt::Key_A));
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return static_cast<Key>(static_cast<int>(Key::F1) + (qtKey - Qt::Key_F1));
    }
    switch (qtKey) {
        case Qt::Key_Escape: return Key::Escape;
        case Qt::Key_Space: return Key::Space;
        default: return Key::Other;
    }
}

}  // namespace kavelune::qt
