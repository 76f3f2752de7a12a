#!/bin/sh
# Installs the build into a fresh prefix and checks it as a desktop would use it: the
# program folder, the commands on the PATH, a valid menu entry and project file type,
# icons, manual pages, the upkeep units, and that the installed commands start.
#   installed_layout.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
timer_pid=""
cleanup() {
  if [ -n "$timer_pid" ]; then kill "$timer_pid" 2>/dev/null || true; wait "$timer_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/usr
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

program=$prefix/lib/zmr-console
for f in timer zmrctl zmrsim; do
  [ -x "$program/$f" ] || fail "$program/$f is missing"
done
[ -f "$program/HTMLHelp/default.htm" ] || fail "no help pages in $program/HTMLHelp"
for pair in zmr-console:timer zmrctl:zmrctl zmrsim:zmrsim; do
  command=${pair%%:*}
  target=${pair#*:}
  [ "$(readlink -f "$prefix/bin/$command")" = "$(readlink -f "$program/$target")" ] || fail "bin/$command does not lead to $target"
done

desktop=$prefix/share/applications/zmr-console.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Name=ZMR Console' "$desktop" || fail "menu entry name"
grep -qx 'MimeType=application/x-zmr-project;' "$desktop" || fail "menu entry file type"
mime=$prefix/share/mime/packages/zmr-console.xml
xmllint --noout "$mime" || fail "xmllint"
[ "$(xmllint --xpath 'string(//*[local-name()="mime-type"]/@type)' "$mime")" = application/x-zmr-project ] || fail "MIME type name"
[ "$(xmllint --xpath 'string(//*[local-name()="glob"]/@pattern)' "$mime")" = '*.zmr' ] || fail "MIME glob"
for size in 16 24 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/zmr-console.png" ] || fail "icon ${size}x${size}"
done
xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/zmr-console.svg" || fail "SVG icon"
for page in zmrctl zmrsim; do
  grep -q "^\.TH $(echo $page | tr a-z A-Z) 1" "$prefix/share/man/man1/$page.1" || fail "man page $page"
done

# The upkeep units: an instance per plan, zmrctl by its installed path, and what systemd
# makes of them (the instance links stand in for an enabled plan "north").
units=$prefix/lib/systemd/system
service=$units/zmr-upkeep@.service
[ -f "$units/zmr-upkeep@.timer" ] || fail "no upkeep timer unit"
grep -qx "ExecStart=$prefix/bin/zmrctl --settings /etc/zmr-console upkeep /etc/zmr-console/plans/%i.toml" "$service" ||
  fail "the upkeep service does not run the installed zmrctl"
for line in DynamicUser=yes SupplementaryGroups=dialout StateDirectory=zmr-console Type=oneshot; do
  grep -qx "$line" "$service" || fail "the upkeep service lacks $line"
done
for line in OnCalendar=hourly Persistent=true WantedBy=timers.target; do
  grep -qx "$line" "$units/zmr-upkeep@.timer" || fail "the upkeep timer lacks $line"
done
mkdir "$work/units"
for kind in service timer; do
  cp "$units/zmr-upkeep@.$kind" "$work/units/"
  ln -s "zmr-upkeep@.$kind" "$work/units/zmr-upkeep@north.$kind"
done
man_check=--man=no
command -v man >/dev/null && man_check=--man=yes
MANPATH=$prefix/share/man systemd-analyze verify "$man_check" "$work/units/zmr-upkeep@north.service" \
  "$work/units/zmr-upkeep@north.timer" || fail "systemd-analyze verify of the upkeep units"

# The installed commands start from the PATH.
export PATH="$prefix/bin:$PATH" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
zmrctl --help | grep -q '^Usage: zmrctl' || fail "zmrctl --help"
zmrctl ports | grep -q '^[ *] COM1' || fail "zmrctl ports"

# The window program runs until it is closed: start it, wait for its main window's first
# show (it writes timer.ini then, in the user's configuration folder, since an installed
# program folder is the package's), check that it is still running, and end it.
ini=$XDG_CONFIG_HOME/zmr-console/timer.ini
rm -f "$ini"
zmr-console >"$work/timer.log" 2>&1 &
timer_pid=$!
i=0
while [ ! -s "$ini" ]; do
  kill -0 "$timer_pid" 2>/dev/null || { cat "$work/timer.log"; fail "the installed timer ended by itself"; }
  i=$((i + 1))
  [ $i -le 200 ] || fail "the installed timer showed no main window within 20 s"
  sleep 0.1
done
sleep 0.5
kill -0 "$timer_pid" 2>/dev/null || { cat "$work/timer.log"; fail "the installed timer ended after its start"; }
[ "$(wc -c <"$ini")" -eq 1539 ] || fail "timer.ini is not one 1539-byte record"
[ ! -e "$program/timer.ini" ] || fail "timer.ini was written into the installed program folder"
echo "installed layout ok: $prefix"
