// Texts that procedures put into the window's text boxes.
#pragma once

#include <QLineEdit>
#include <QString>

namespace tavo {

// A text set by a procedure shows its beginning, as a long well name or
// path is read from the left; an unchanged text keeps the user's cursor.
inline void set_text_if_changed(QLineEdit* box, const QString& text) {
    if (box->text() == text) return;
    box->setText(text);
    box->setCursorPosition(0);
}

}  // namespace tavo
