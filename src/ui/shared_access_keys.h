#pragma once
// Menus whose items share an access key ("&Print" and "&Properties"): pressing the key
// again moves on to the next of them, as desktop menus do, also when the one reached
// first opened its submenu and took the keys with it.
class QMenuBar;

namespace zmr {

// Watches every menu of the bar and their submenus, as they stand now.
void CycleSharedAccessKeys(QMenuBar& bar);

}  // namespace zmr
