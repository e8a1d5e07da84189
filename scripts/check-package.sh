#!/usr/bin/env bash
# Builds the Debian package from a build folder and checks it as a user would get it:
# its files, its dependencies, and its two programs run from the unpacked package.
#   scripts/check-package.sh BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")

rm -f "$build"/quellhart-editor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
package=$(ls "$build"/quellhart-editor_*.deb)
echo "package: $(basename "$package")"

files=$(dpkg-deb -c "$package" | awk '{print $6}')
for expected in \
    ./usr/bin/quellhart-editor ./usr/bin/quellhart-cli \
    ./usr/share/applications/org.quellhart.SavegameEditor.desktop \
    ./usr/share/metainfo/org.quellhart.SavegameEditor.metainfo.xml \
    ./usr/share/mime/packages/quellhart-editor.xml \
    ./usr/share/icons/hicolor/scalable/apps/quellhart-editor.svg \
    ./usr/share/man/man1/quellhart-editor.1.gz ./usr/share/man/man1/quellhart-cli.1.gz \
    ./usr/share/bash-completion/completions/quellhart-cli \
    ./usr/share/doc/quellhart-editor/copyright; do
    grep -qx -- "$expected" <<<"$files" || { echo "missing from the package: $expected" >&2; exit 1; }
done
for size in 16 24 32 48 64 128 256; do
    grep -qx -- "./usr/share/icons/hicolor/${size}x${size}/apps/quellhart-editor.png" <<<"$files" ||
        { echo "missing from the package: the ${size} px icon" >&2; exit 1; }
done
depends=$(dpkg-deb -f "$package" Depends)
grep -q libqt6widgets6 <<<"$depends" || { echo "no Qt in the dependencies: $depends" >&2; exit 1; }
echo "depends: $depends"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$package" "$root"
"$root/usr/bin/quellhart-cli" --version
# The editor's options are answered without a display, as in a terminal over SSH.
(
    unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
    "$root/usr/bin/quellhart-editor" --version | grep -q "Quellhart_Editor" ||
        { echo "quellhart-editor --version gave no answer without a display" >&2; exit 1; }
    "$root/usr/bin/quellhart-editor" --help | grep -q "^Usage: quellhart-editor" ||
        { echo "quellhart-editor --help gave no answer without a display" >&2; exit 1; }
    status=0
    "$root/usr/bin/quellhart-editor" --bogus 2>/dev/null || status=$?
    [ "$status" -eq 2 ] || { echo "quellhart-editor --bogus exited $status, not 2" >&2; exit 1; }
)
echo "quellhart-editor: --version and --help answered without a display, --bogus exits 2"
"$build/tests/make-sample-saves" "$root"
scripts/check-editor-in-x.sh "$root/usr/bin/quellhart-editor" "$root/normal.ess" "$root/not-a-save.ess"
