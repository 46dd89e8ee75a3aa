#pragma once

class QComboBox;
class QPushButton;

namespace zot {

// Makes an editable combo box that is laid out too narrow for the style's
// margins and arrow show its whole text: a slim drop-down arrow, no text
// margins, and a font that shrinks, only as far as needed, when a typed text
// is still too wide. The box keeps its geometry.
void fitNarrowCombo(QComboBox* combo);

// Makes a push button of fixed width show its whole caption, however long
// its translation or large the desktop's font: its font shrinks only as far
// as needed, down to the same smallest size.
void fitNarrowButton(QPushButton* button);

// The smallest font size, in points, that fitNarrowCombo goes down to.
inline constexpr double kNarrowComboMinPointSize = 5.0;

} // namespace zot
