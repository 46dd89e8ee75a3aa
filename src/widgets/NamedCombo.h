#pragma once

class QComboBox;

namespace zot {

// Makes a screen reader name a combo box by its accessible name on Linux too.
// There Qt names a combo box by its text and leaves what it is to a label's
// relation, so a box without a label beside it would be read as its value
// ("50%"). The value stays readable: the box's value and the text of its edit.
// Call right after creating the box, before anything asks for its interface.
void nameComboForScreenReaders(QComboBox* combo);

} // namespace zot
