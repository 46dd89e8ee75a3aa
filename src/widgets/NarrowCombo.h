#pragma once

class QComboBox;

namespace zot {

// Makes an editable combo box that is laid out too narrow for the style's
// margins and arrow show its whole text: a slim drop-down arrow, no text
// margins, and a font that shrinks, only as far as needed, when a typed text
// is still too wide. The box keeps its geometry.
void fitNarrowCombo(QComboBox* combo);

// The smallest font size, in points, that fitNarrowCombo goes down to.
inline constexpr double kNarrowComboMinPointSize = 5.0;

} // namespace zot
