#pragma once
// Menus whose captions share an access key ("&Hardware" and "&Help", "&Print" and
// "&Properties"): the first press reaches the first of them, each press again the next,
// round and round, as desktop menus do; also when the one reached opened its submenu
// and took the keys with it.
class QMenuBar;

namespace zmr {

// Watches the keys of the bar's window and of its menus.
void CycleSharedAccessKeys(QMenuBar& bar);

}  // namespace zmr
