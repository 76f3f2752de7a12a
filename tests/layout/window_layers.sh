#!/bin/sh
# The windows' includes point down only: the kit (src/ui) includes no window; a
# subsystem's windows include the kit, never the main window's folder nor another
# subsystem's windows; only src/windows (and main) brings every subsystem's windows together.
cd "$1" || exit 2
status=0
offend() { printf '%s\n' "$1"; status=1; }
for hit in $(grep -rlE '#include "(windows|[a-z]+/ui)/' ui); do
  offend "the window kit includes a window: $hit"
done
for sub in base project link hardware editor report exchange plan; do
  for hit in $(grep -rlE '#include "windows/' "$sub"); do
    offend "$sub includes the main window's folder: $hit"
  done
  for other in $(grep -rhoE '#include "[a-z]+/ui/' "$sub" | sed 's/#include "//; s|/ui/||' | sort -u); do
    [ "$other" = "$sub" ] || offend "$sub includes the windows of $other: $(grep -rlE "#include \"$other/ui/" "$sub" | tr '\n' ' ')"
  done
done
exit $status
