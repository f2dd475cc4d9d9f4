#!/usr/bin/env bash
# Packs the built program as a .deb, unpacks it into a temporary root and starts the unpacked
# program on a virtual X display until its main window is shown, so a broken install layout
# (a missing skin, launcher or library) fails the tests.
#   scripts/check-package.sh <build-dir>
set -euo pipefail

build_dir=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build_dir" && cpack -G DEB -B "$work/pack" >/dev/null)
deb=$(find "$work/pack" -maxdepth 1 -name 'tambrel_*.deb' | head -n 1)
[[ -n $deb ]] || { echo "cpack made no .deb"; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 qt6-translations-l10n; do
  [[ $depends == *"$needed"* ]] || { echo "Depends lacks $needed: $depends"; exit 1; }
done
recommends=$(dpkg-deb -f "$deb" Recommends)
[[ $recommends == *fcitx5-frontend-qt6* ]] ||
  { echo "Recommends lacks fcitx5-frontend-qt6: $recommends"; exit 1; }

root="$work/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/tambrel usr/lib/tambrel/tambrel usr/lib/tambrel/Pf.she \
            usr/share/applications/tambrel.desktop \
            usr/share/icons/hicolor/16x16/apps/tambrel.png \
            usr/share/icons/hicolor/32x32/apps/tambrel.png \
            usr/share/icons/hicolor/48x48/apps/tambrel.png; do
  [[ -e $root/$file ]] || { echo "missing from the package: /$file"; exit 1; }
done

# The main window is titled "Tambrel"; without its skin the program would show only "警告".
# shellcheck disable=SC2016
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  "$1/usr/bin/tambrel" >/dev/null 2>&1 &
  pid=$!
  shown=no
  for _ in $(seq 1 150); do
    for id in $(xwininfo -root -tree | awk '"'"'/"Tambrel":/ {print $1}'"'"'); do
      if xwininfo -id "$id" | grep -q "Map State: IsViewable"; then shown=yes; fi
    done
    [[ $shown == yes ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  [[ $shown == yes ]] || { echo "the installed program never showed its window"; exit 1; }
' _ "$root"
echo "package installs and starts: $(basename "$deb")"
