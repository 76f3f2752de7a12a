#pragma once
// The editor's pictures: the tool strip's glyphs and the day buttons' paste-insert mark.
#include <QIcon>

namespace zmr {

enum class EditorGlyph { Cut, Copy, Paste, Delete, DayInsert, Undo, Redo };

// Normal and greyed (disabled) forms, drawn at the given size.
QIcon EditorIcon(EditorGlyph glyph, int size);

}  // namespace zmr
