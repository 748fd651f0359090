#!/usr/bin/env bash
# Builds the Debian package from a finished build tree, unpacks it into a
# temporary root and checks it as the desktop and a user would meet it.
#   deb_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/out/skedra_*.deb)
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"

# Depends are found from what is linked: Qt's widgets and print support
# (the print preview), zlib for the PNG library, libical for the iCalendar
# bridge, the C++ runtime; plus the platform plugins Qt loads at start.
for p in libqt6widgets6 libqt6printsupport6 libqt6core6 zlib1g libical3 libstdc++6 qt6-qpa-plugins; do
  [[ "$depends" == *"$p"* ]] || fail "Depends lacks $p"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"

expect_file() { [ -f "$root/$1" ] || fail "missing /$1"; }
expect_file usr/lib/skedra/skedra
expect_file usr/lib/skedra/skedra-vcs
expect_file usr/lib/skedra/libhexmill.so
expect_file usr/lib/skedra/librasterly.so
expect_file usr/lib/skedra/Skedra.html
expect_file usr/share/applications/skedra.desktop
expect_file usr/share/icons/hicolor/scalable/apps/skedra.svg
for size in 16 22 24 32 48 64 128 256; do
  expect_file "usr/share/icons/hicolor/${size}x${size}/apps/skedra.png"
done
expect_file usr/share/man/man1/skedra-vcs.1.gz
for command in skedra skedra-vcs; do
  [ -L "$root/usr/bin/$command" ] || fail "/usr/bin/$command is not a link"
  [ "$(readlink "$root/usr/bin/$command")" = "../lib/skedra/$command" ] || fail "/usr/bin/$command points elsewhere"
done

# The desktop entry starts the linked command on the file and names an icon
# that the package installs.
desktop="$root/usr/share/applications/skedra.desktop"
grep -qx 'Exec=skedra %f' "$desktop" || fail "Exec line"
grep -qx 'Icon=skedra' "$desktop" || fail "Icon line"
grep -qx 'MimeType=text/x-vcalendar;text/calendar;' "$desktop" || fail "MimeType line"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
gzip -t "$root/usr/share/man/man1/skedra-vcs.1.gz" || fail "man page"

# The unpacked tool, started through its link, finds its libraries beside the
# real file and copies the sample byte for byte.
"$root/usr/bin/skedra-vcs" copy "$source/examples/sample.vcs" "$work/copy.vcs" || fail "skedra-vcs copy"
cmp "$source/examples/sample.vcs" "$work/copy.vcs" || fail "copy differs from the sample"
if ldd "$root/usr/lib/skedra/skedra" | grep -q "not found"; then
  ldd "$root/usr/lib/skedra/skedra" >&2
  fail "the program misses a library"
fi
echo "debian package: all checks passed"
