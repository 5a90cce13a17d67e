#pragma once

class QComboBox;

// Makes an editable combo box offer its items without ever replacing what the
// user typed: completions come in a popup the user may pick from, and only an
// item spelt exactly as typed (case included) counts as chosen. (Inline
// completion would turn "Book" + Tab into "Bookstore", and the usual
// case-blind match would turn "gift" into "Gift".) Its width does not follow
// its items, however many or long.
void keepTypedText(QComboBox *combo);
