#!/bin/sh
# The include check itself, on small made-up trees: each case puts one include into one
# file and expects the check's finding (empty: the tree passes).
check="$(dirname "$0")/include_layers.sh"
tree=$(mktemp -d) || exit 2
trap 'rm -rf "$tree"' EXIT
failed=0

while IFS='|' read -r file include expected; do
  [ -n "$file" ] || continue
  rm -rf "$tree/src"
  (cd "$tree" && mkdir -p src/app src/base src/project src/link src/hardware/ui src/editor/ui src/report/paint \
    src/report/ui src/exchange src/plan/ui src/ui src/windows "src/$(dirname "$file")")
  printf '#include "%s"\n' "$include" >"$tree/src/$file"
  got=$(sh "$check" "$tree/src")
  status=$?
  if [ "$got" != "$expected" ] || { [ -n "$expected" ] && [ $status -ne 1 ]; } ||
     { [ -z "$expected" ] && [ $status -ne 0 ]; }; then
    printf '%s including %s: expected "%s" (status %s), got "%s"\n' "$file" "$include" "$expected" \
      "$([ -n "$expected" ] && echo 1 || echo 0)" "$got"
    failed=1
  fi
done <<'CASES'
plan/upkeep.cpp|hardware/download.h|
plan/upkeep.cpp|base/errors.h|
exchange/csv.cpp|editor/entry_checks.h|
report/paint/page.cpp|report/schedule_feed.h|
hardware/download.cpp|hardware/download_view.h|
link/timer_link.cpp|hardware/download.h|link points up: link/timer_link.cpp includes hardware/
base/errors.h|project/settings.h|base points up: base/errors.h includes project/
hardware/download.cpp|plan/week_state.h|hardware points up: hardware/download.cpp includes plan/
editor/grid.cpp|link/timer_link.h|editor points up: editor/grid.cpp includes link/
report/schedule_feed.cpp|report/paint/band_report.h|report points up: report/schedule_feed.cpp includes report/paint/
plan/plan_edit.cpp|plan/ui/yearplan.h|plan points up: plan/plan_edit.cpp includes plan/ui/
project/settings.cpp|ui/qt_prompts.h|project points up: project/settings.cpp includes ui/
fleet/view.cpp|link/timer_link.h|fleet is not in the core's layer table
ui/help_window.cpp|plan/ui/yearplan.h|the window kit includes a window: ui/help_window.cpp
plan/ui/yearplan.cpp|plan/plan_edit.h|
CASES
exit $failed
