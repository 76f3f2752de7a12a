#!/bin/sh
# Includes point down only; $1 is the source folder (src). Every finding is one line, and
# the status is 1 when there is one.
#
# The core: each folder includes only the folders named beside it below (itself among
# them), so base <- project <- link <- hardware <- plan runs one way, and editor, report
# and exchange stand on the project beside it. A folder of the core that the table does
# not name is a finding too, so a new one cannot slip past.
#
# The windows: the kit (src/ui) includes no window; a subsystem's windows include the kit,
# never the main window's folder nor another subsystem's windows; only src/windows (and
# main) brings every subsystem's windows together.
cd "$1" || exit 2
status=0
offend() { printf '%s\n' "$1"; status=1; }

core_layers='
base          base
project       base project
link          base project link
hardware      base project link hardware
editor        base project editor
report        base project report
report/paint  base project report report/paint
exchange      base project editor exchange
plan          base project link hardware plan
plan/paint    base project link hardware plan report report/paint plan/paint
'

for folder in $(find . -mindepth 1 -maxdepth 2 -type d | sed 's|^\./||' | sort); do
  case "$folder" in ui | windows | app | */ui) continue ;; esac
  echo "$core_layers" | grep -q "^$folder " || offend "$folder is not in the core's layer table"
done
findings=$(while read -r folder allowed; do
  [ -n "$folder" ] && [ -d "$folder" ] || continue
  # "file folder" for each include that names a folder, in the folder's own files only
  grep -HE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' "$folder"/*.h "$folder"/*.cpp 2>/dev/null |
    sed 's|^\([^:]*\):.*"\(.*\)/[^/"]*".*|\1 \2|' | sort -u | while read -r file used; do
      case " $allowed " in
        *" $used "*) ;;
        *) echo "$folder points up: $file includes $used/" ;;
      esac
    done
done <<LAYERS
$core_layers
LAYERS
)
[ -z "$findings" ] || offend "$findings"

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
