#pragma once
// The console's pictures, drawn with QPainter so that they are ours and stay sharp.
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSize>
#include <functional>

namespace zmr {

enum class Glyph {
  NewProject, OpenProject, CloseProject, Properties, Preview, Print,
  Schedule, Download, Activate, Deactivate,
};

inline constexpr QSize kMainPictureSize{640, 480};
inline constexpr int kBigButtonSize = 112;
inline constexpr int kToolIconSize = 20;

QPixmap BackgroundPicture(QSize size);
// The picture under the big buttons.
QPixmap MainPicture();
// A glyph with an explicit greyed state for disabled buttons.
QIcon GlyphIcon(Glyph glyph, int size);

// A picture that `draw` paints in a 100 x 100 box, scaled to size, in its normal form and
// a disabled one faded to `disabled_opacity`: the way every button glyph is made.
QIcon BoxedIcon(int size, qreal disabled_opacity, const std::function<void(QPainter&)>& draw);
// The vertical strip at the left of the dialogs.
QPixmap SideStrip(QSize size);
// The product: a small timer box with its bell.
QPixmap ProductPicture(QSize size);

}  // namespace zmr
