#pragma once
// The copy button's picture: a clipboard with a report on it.
#include <QIcon>

namespace zmr {

QIcon ClipboardGlyph(int size);

}  // namespace zmr
