#pragma once
// Looks that tell the truth about a control: a read-only field that does not look
// editable, and a one-line text that is shortened visibly instead of cut.
#include <QStringList>

class QLabel;
class QWidget;

namespace zmr {

// Gives the control the keyboard focus and has it drawn, as after a Tab.
void FocusDrawn(QWidget& control);

// A read-only field takes the window's colour instead of the white of a field that
// takes typing; `read_only` false gives it the white back.
void ShowReadOnlyLook(QWidget& field, bool read_only);

// From now on `caption` is enabled and disabled with `control`, so a caption under a
// picture button greys with its picture.
void CaptionFollowsEnabled(QWidget& control, QWidget& caption);

// From now on the label draws a text too long for it shortened in the middle with an
// ellipsis, and has the whole text as its tooltip then (set when it paints). Its
// text() stays whole.
void ElideWhenTooLong(QLabel& label);

// From now on the label shows its text whole: wrapped between words, and a word longer
// than the line (a network address) wrapped within it. Its text() stays as set.
void WrapWhole(QLabel& label);

// The lines the label draws now: wrapped for a WrapWhole label, else its one line,
// shortened in the middle when it is too long (ElideWhenTooLong).
QStringList ShownLines(const QLabel& label);

}  // namespace zmr
