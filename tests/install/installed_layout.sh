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

# The upkeep units: an instance per plan, zmrctl by its installed path, the report of a
# failed run, and what systemd makes of them (the instance links stand in for an enabled
# plan "north"). systemd need not be PID 1 for verify and the offline security rating.
units=$prefix/lib/systemd/system
service=$units/zmr-upkeep@.service
failed=$units/zmr-upkeep-failed@.service
[ -f "$units/zmr-upkeep@.timer" ] || fail "no upkeep timer unit"
grep -qx "ExecStart=$prefix/bin/zmrctl --settings /etc/zmr-console upkeep /etc/zmr-console/plans/%i.toml" "$service" ||
  fail "the upkeep service does not run the installed zmrctl"
grep -qx "ExecStart=$prefix/bin/zmrctl --settings /etc/zmr-console --state /var/lib/zmr-console on-failure /etc/zmr-console/plans/%i.toml" "$failed" ||
  fail "the failure report does not run the installed zmrctl"
for line in DynamicUser=yes SupplementaryGroups=dialout StateDirectory=zmr-console Type=oneshot \
            OnFailure=zmr-upkeep-failed@%i.service DevicePolicy=closed "DeviceAllow=char-ttyUSB rw" UMask=0077; do
  grep -qx "$line" "$service" || fail "the upkeep service lacks $line"
done
grep -qx "ConditionFileIsExecutable=/etc/zmr-console/on-failure" "$failed" || fail "the failure report runs without a hook"
for line in OnCalendar=hourly Persistent=true WantedBy=timers.target; do
  grep -qx "$line" "$units/zmr-upkeep@.timer" || fail "the upkeep timer lacks $line"
done
mkdir "$work/units"
for unit in zmr-upkeep@.service zmr-upkeep@.timer zmr-upkeep-failed@.service; do
  cp "$units/$unit" "$work/units/"
  ln -s "$unit" "$work/units/$(echo "$unit" | sed 's/@\./@north./')"
done
man_check=--man=no
command -v man >/dev/null && man_check=--man=yes
MANPATH=$prefix/share/man systemd-analyze verify "$man_check" "$work/units/zmr-upkeep@north.service" \
  "$work/units/zmr-upkeep@north.timer" "$work/units/zmr-upkeep-failed@north.service" ||
  fail "systemd-analyze verify of the upkeep units"
# The job runs unattended with a network port open: its exposure stays at 2.0 or below.
systemd-analyze security --offline=true "$work/units/zmr-upkeep@north.service" >"$work/security.txt" 2>&1 ||
  { cat "$work/security.txt"; fail "systemd-analyze security"; }
exposure=$(sed -n 's/.*Overall exposure level for zmr-upkeep@north.service: \([0-9.]*\).*/\1/p' "$work/security.txt")
[ -n "$exposure" ] || { cat "$work/security.txt"; fail "no exposure level"; }
awk -v e="$exposure" 'BEGIN { exit !(e <= 2.0) }' || { grep '✗' "$work/security.txt"; fail "exposure $exposure is above 2.0"; }
echo "upkeep service exposure: $exposure"

# The installed commands start from the PATH.
export PATH="$prefix/bin:$PATH" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
zmrctl --help | grep -q '^Usage: zmrctl' || fail "zmrctl --help"
zmrctl ports | grep -q '^[ *] COM1' || fail "zmrctl ports"

# A plan installed by the installed zmrctl into a scratch root stands alone there, and
# zmrctl jobs lists it.
site=$work/site
mkdir -p "$site/plans"
printf 'day,time,pulse,kind,title\nMon,08:00,5,Pulse,First lesson\n' >"$site/week.csv"
zmrctl import "$site/week.csv" "$site/plans/normal.zmr" --new >/dev/null || fail "zmrctl import"
printf 'port = "tcp://10.0.4.20:4001"\nweek = "normal.zmr"\n' >"$site/plans/north.toml"
zmrctl install "$site/plans/north.toml" --root "$site/root" >"$work/install.txt" || { cat "$work/install.txt"; fail "zmrctl install"; }
grep -qx "systemctl enable --now zmr-upkeep@north.timer" "$work/install.txt" || fail "zmrctl install names the job's command"
[ -r "$site/root/etc/zmr-console/plans/north/1/normal.zmr" ] || fail "the installed plan's week"
zmrctl plan "$site/root/etc/zmr-console/plans/north.toml" --days 1 >/dev/null || fail "the installed plan does not read"
zmrctl jobs --root "$site/root" | grep -qx "  port:         tcp://10.0.4.20:4001" || fail "zmrctl jobs"

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
