#!/usr/bin/env bash
# Builds everything for 64-bit Windows (the save library, quellhart-cli, the editor,
# their tests and the installer) and checks it under Wine, in a real X server (Xvfb):
#   - the library's, the command-line tool's and the editor window's tests;
#   - the Windows program's `show --json` (output, errors, exit code) equals the Linux
#     one's on every save of a small table;
#   - the editor as a user runs it: a save on its command line, a name typed, Ctrl+S,
#     the question answered, the save then read back by the Linux program;
#   - the installer, silently: the files, the Start menu entry and the .ess file type
#     (a save "opened" through it starts the editor on it); the programs stripped and
#     declaring long paths, a save under a path over 260 characters set and
#     restored; a setup cancelled over the installed copy leaving it working; then
#     the uninstaller, which leaves no key of ours.
#   scripts/check-windows-build.sh LINUX_BUILD_FOLDER
set -euo pipefail
cd "$(dirname "$0")/.."
linux_build=$(realpath "$1")
build=build-windows

if [ "${2:-}" != "--inside-x" ]; then
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DQH_WERROR=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j"$(nproc)"
    (cd "$build" && cpack -G NSIS >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$1" --inside-x
fi

# shellcheck source=scripts/x-windows.sh
source scripts/x-windows.sh

# A Wine prefix of its own, made anew inside the build folder: Wine's own fonts, so
# that "MS Sans Serif" has its real metrics, and windows Wine draws and focuses itself,
# as Windows does. No window manager runs: it would add seconds to every window, and
# one that takes the X focus when a window of Wine's closes (openbox does, on a busy
# machine after Wine has handed the focus back) leaves keys reaching no window.
export WINEPREFIX="$PWD/$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$WINEPREFIX"
wineboot --init >/dev/null 2>&1 || true
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

for tests in "$build/tests/savefile_tests.exe" "$build/tests/cli/cli_tests.exe" \
    "$build/tests/ui/ui_tests.exe"; do
    # Wine's own server may drop its client ("wine client error: ... Connection reset by
    # peer") with no test failed: that run is Wine's failure, and goes once more.
    if ! wine "$tests" >"$tests.log" 2>&1 &&
        ! { grep -q "wine client error" "$tests.log" && ! grep -q "FAILED" "$tests.log" &&
            wineserver -w && wine "$tests" >"$tests.log" 2>&1; }; then
        grep -E "Failure|FAILED" -A8 "$tests.log" | head -60
        tail -3 "$tests.log"
        exit 1
    fi
    passed=$(tr -d '\r' <"$tests.log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p')
    skipped=$(tr -d '\r' <"$tests.log" | sed -n 's/^\[  SKIPPED \] \([0-9]*\) tests\?, listed below:/\1/p')
    echo "$(basename "$tests") under Wine: $passed passed, ${skipped:-0} skipped (not on Windows)"
done

# The windows again at the scales of most laptops (150 and 200 %), set for the whole
# system as a user sets it: laid out from the start at that scale, and moved to the
# monitors above it.
for dpi in 144 192; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wineserver -w
    log="$build/tests/ui/ui_tests-$dpi.log"
    if ! wine "$build/tests/ui/ui_tests.exe" --gtest_filter='Win32Layout*:Keys/*:KeyboardTest*' >"$log" 2>&1; then
        grep -E "Failure|FAILED" -A8 "$log" | head -60
        exit 1
    fi
    echo "ui_tests.exe at $dpi DPI: $(tr -d '\r' <"$log" | sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\./\1/p') passed"
done
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
wineserver -w

samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
"$linux_build/tests/make-sample-saves" "$samples"
windows_cli=$(realpath "$build/cli/quellhart-cli.exe")
same=0
for save in "$samples"/*.ess; do
    name=$(basename "$save")
    # The same relative name on both sides, so that the "file" fields match too.
    linux=$(cd "$samples" && { "$linux_build/cli/quellhart-cli" show "$name" --json 2>&1; echo "exit $?"; })
    windows=$(cd "$samples" && { wine "$windows_cli" show "$name" --json 2>&1; echo "exit $?"; })
    if [ "$linux" != "$windows" ]; then
        echo "show --json differs for $name:"
        diff <(echo "$linux") <(echo "$windows") | head -20
        exit 1
    fi
    same=$((same + 1))
done
echo "show --json: Windows and Linux agree on all $same sample saves"

# A Russian player's save on a Russian system: Wine takes its ANSI code page (1251)
# from the locale, as Windows does, and the Linux program the code page Windows gives
# the locale's language; both read the same name.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
    echo "no ru_RU.UTF-8 locale here: the Russian save's check is left out"
else
    cp "$samples/normal.ess" "$samples/russian.ess"
    "$linux_build/cli/quellhart-cli" set "$samples/russian.ess" --name "Иван Грозный" --code-page 1251 --yes >/dev/null
    linux=$(cd "$samples" && LC_ALL=ru_RU.UTF-8 "$linux_build/cli/quellhart-cli" show russian.ess --json)
    windows=$(cd "$samples" && LC_ALL=ru_RU.UTF-8 wine "$windows_cli" show russian.ess --json 2>&1)
    if [ "$linux" != "$windows" ] || ! grep -q '"codePage": 1251, .*"name": "Иван Грозный"' <<<"$windows"; then
        echo "a Russian save on a Russian system:"
        diff <(echo "$linux") <(echo "$windows") | head -10
        exit 1
    fi
    echo "a Russian save on a Russian system: both read \"Иван Грозный\" in code page 1251"
fi

caption="Quellhart Savegame Editor 2.1"
# Waits up to $2 tenths of a second for a window named $1 to be shown; fails when none
# comes.
expect_window() {
    local id
    id=$(window_named "$1" "$2")
    [ -n "$id" ] || { echo "no \"$1\" window appeared" >&2; return 1; }
    for _ in $(seq "$2"); do
        xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && break
        sleep 0.1
    done
    echo "$id"
}
# Presses key $2 in window $1 until the window is gone; the key is pressed again if it
# did nothing, as a user would. (Alt+F4 would be a window manager's.)
press_until_gone() {
    for _ in 1 2 3; do
        xdotool windowfocus --sync "$1" 2>/dev/null || true
        xdotool key "$2"
        for _ in $(seq 50); do xwininfo -id "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done
    done
    echo "the \"$(xdotool getwindowname "$1")\" window did not close on $2" >&2
    return 1
}

# The editor as a user runs it. The name field is found where the template puts it,
# in proportion to the window, whatever the dialog units come to.
save="$samples/normal.ess"
cp "$save" "$samples/original.ess.orig"
wine "$build/ui/quellhart-editor.exe" "$(winepath -w "$save")" >/dev/null 2>&1 &
editor=$!
main=$(expect_window "$caption" 300)
sleep 1  # the save loads once the window is up
read -r width height < <(xwininfo -id "$main" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" $((width * 253 / 669)) $((height * 175 / 461)) click 1
sleep 0.3
xdotool key End shift+Home
xdotool type --delay 20 "Wanderer"
xdotool key ctrl+s
question=$(expect_window "Please Confirm" 100)
press_until_gone "$question" Return
done_box=$(expect_window "Done" 100)
press_until_gone "$done_box" Return
if ! "$linux_build/cli/quellhart-cli" show "$save" --json | grep -q '"name": "Wanderer"'; then
    echo "the name typed in the Windows editor is not in the save" >&2
    exit 1
fi
cmp -s "$samples/normal.bak" "$samples/original.ess.orig" || { echo "the backup is not the old save" >&2; exit 1; }
# Escape is the dialog's Cancel command, which closes it and ends the program.
press_until_gone "$main" Escape
for _ in $(seq 100); do kill -0 "$editor" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$editor" 2>/dev/null; then
    echo "the editor did not end when its window was closed" >&2
    exit 1
fi
echo "the Windows editor: a save from its command line edited, committed with Ctrl+S, and read back"

# The installer, silently, then the file type at work, then the uninstaller.
ess_default() { wine reg query 'HKLM\Software\Classes\.ess' /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ {print $NF}'; }
open_with() { wine reg query 'HKLM\Software\Classes\.ess\OpenWithProgids' 2>/dev/null | tr -d '\r'; }
setup=$(ls "$build"/quellhart-editor-*-setup.exe)
wine "$setup" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Quellhart Savegame Editor"
for file in bin/quellhart-editor.exe bin/quellhart-cli.exe Uninstall.exe; do
    [ -f "$installed/$file" ] || { echo "the installer did not install $file" >&2; exit 1; }
done
start_menu=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Quellhart Savegame Editor*' \
    -name 'Quellhart Savegame Editor.lnk' | head -1)
[ -n "$start_menu" ] || { echo "no Start menu entry" >&2; exit 1; }
command=$(wine reg query 'HKLM\Software\Classes\Quellhart.SaveGame\shell\open\command' /ve 2>/dev/null | tr -d '\r')
grep -qF 'quellhart-editor.exe" "%1"' <<<"$command" || { echo "no .ess file type: $command" >&2; exit 1; }
[ "$(ess_default)" = Quellhart.SaveGame ] || { echo "the editor does not open .ess files: $(ess_default)" >&2; exit 1; }
# A file that is no save: the editor's "Error" box shows that it was handed the file.
cp "$samples/not-a-save.ess" "$samples/opened.ess"
wine cmd /c start "" "$(winepath -w "$samples/opened.ess")" >/dev/null 2>&1 &
expect_window "$caption" 300 >/dev/null
expect_window "Error" 100 >/dev/null
# While the editor runs, a second setup stops before it replaces anything.
touch -d 2001-01-01 "$installed/bin/quellhart-editor.exe"
if wine "$setup" /S; then echo "the setup went on while the editor ran" >&2; exit 1; fi
[ "$(stat -c %Y "$installed/bin/quellhart-editor.exe")" = "$(date -d 2001-01-01 +%s)" ] ||
    { echo "the setup replaced the running editor" >&2; exit 1; }
wineserver -k
echo "the installer: the programs, a Start menu entry, and .ess saves open with the editor; it waits for a running editor"

# The programs ship without their debugging information, and declare long paths.
editor_size=$(stat -c %s "$installed/bin/quellhart-editor.exe")
[ "$editor_size" -lt 4000000 ] || { echo "the installed editor is not stripped: $editor_size bytes" >&2; exit 1; }
for program in quellhart-editor quellhart-cli; do
    grep -qa '<longPathAware' "$installed/bin/$program.exe" ||
        { echo "$program.exe does not declare long paths" >&2; exit 1; }
done
# A save deeper than 260 characters: set, then restore, with the installed tool.
deep="$samples/$(printf 'a%.0s' $(seq 120))/$(printf 'b%.0s' $(seq 120))/$(printf 'c%.0s' $(seq 60))"
mkdir -p "$deep"
cp "$samples/original.ess.orig" "$deep/deep.ess"
deep_save="Z:$(tr / '\\' <<<"$deep/deep.ess")"  # (winepath stops at 260 characters)
[ ${#deep_save} -gt 260 ] || { echo "the deep path is only ${#deep_save} characters" >&2; exit 1; }
installed_cli="$installed/bin/quellhart-cli.exe"
wine "$installed_cli" set "$deep_save" --name Deep --yes >/dev/null 2>&1 ||
    { echo "set refused a save under a ${#deep_save}-character path" >&2; exit 1; }
wine "$installed_cli" show "$deep_save" --json 2>&1 | grep -q '"name": "Deep"' ||
    { echo "the deep save does not hold the name set" >&2; exit 1; }
wine "$installed_cli" restore "$deep_save" --yes >/dev/null 2>&1 && cmp -s "$deep/deep.ess" "$samples/original.ess.orig" ||
    { echo "the deep save's backup was not restored" >&2; exit 1; }
echo "the installed programs: ${editor_size} bytes of editor, long paths declared, a save under a ${#deep_save}-character path set and restored"

# Setup over the installed copy: Enter on its first window (Next; Yes, were it asked
# whether to remove the old copy first), then cancelled (Escape, and Yes to the
# question whether to quit): the old copy stays.
wine "$setup" >/dev/null 2>&1 &
setup_run=$!
wizard=$(expect_window "Quellhart Savegame Editor Setup" 300)
sleep 1
xdotool windowfocus --sync "$wizard" 2>/dev/null || true
xdotool key Return
sleep 2
# (From its second page on, the wizard's caption ends in a space.)
wizard=$(xdotool search --name '^Quellhart Savegame Editor Setup ?$' 2>/dev/null | head -1)
[ -n "$wizard" ] || { echo "the setup's wizard went away" >&2; exit 1; }
xdotool windowfocus --sync "$wizard" 2>/dev/null || true
xdotool key Escape
quit=""
for _ in $(seq 100); do
    quit=$(xdotool search --name '^Quellhart Savegame Editor Setup ?$' 2>/dev/null | grep -vx "$wizard" | head -1)
    [ -n "$quit" ] && break
    sleep 0.1
done
[ -n "$quit" ] || { echo "cancelling setup asked nothing" >&2; exit 1; }
press_until_gone "$quit" Return
for _ in $(seq 100); do kill -0 "$setup_run" 2>/dev/null || break; sleep 0.1; done
wineserver -w
for file in bin/quellhart-editor.exe bin/quellhart-cli.exe Uninstall.exe; do
    [ -f "$installed/$file" ] || { echo "a cancelled setup removed the installed $file" >&2; exit 1; }
done
wine "$installed_cli" --version >/dev/null 2>&1 || { echo "the old copy no longer starts" >&2; exit 1; }
echo "a setup cancelled over an installed copy leaves it installed and working"
# And run to its end, it replaces the copy: the programs, the file type, one entry in
# the list of installed apps.
wine "$setup" /S
wineserver -w
for file in bin/quellhart-editor.exe bin/quellhart-cli.exe Uninstall.exe; do
    [ -f "$installed/$file" ] || { echo "a setup over an installed copy left no $file" >&2; exit 1; }
done
[ "$(ess_default)" = Quellhart.SaveGame ] || { echo "a setup over an installed copy lost the file type" >&2; exit 1; }
wine "$installed_cli" --version >/dev/null 2>&1 || { echo "the replaced copy does not start" >&2; exit 1; }
echo "a setup run over an installed copy replaces it"

wine "$installed/Uninstall.exe" /S
wineserver -w
for _ in $(seq 100); do [ -e "$installed/bin" ] || break; sleep 0.1; done
if [ -e "$installed/bin" ] || [ -e "$start_menu" ] || [ -n "$(ess_default)" ] ||
    wine reg query 'HKLM\Software\Classes\Quellhart.SaveGame' >/dev/null 2>&1 ||
    wine reg query 'HKLM\Software\Quellhart editor developers' >/dev/null 2>&1; then
    echo "the uninstaller left the programs or the file type behind" >&2
    exit 1
fi
echo "the uninstaller: programs, Start menu entry and file type removed"

# Where another program already opens .ess files, it keeps them, the editor is only
# in their "Open with" list, and uninstalling leaves the other program's entries.
wine reg add 'HKLM\Software\Classes\.ess' /ve /d Other.Save /f >/dev/null 2>&1
wine reg add 'HKLM\Software\Classes\.ess\OpenWithProgids' /v Other.Save /d "" /f >/dev/null 2>&1
wine "$setup" /S
wineserver -w
[ "$(ess_default)" = Other.Save ] || { echo "the installer took .ess from its owner: $(ess_default)" >&2; exit 1; }
grep -q Quellhart.SaveGame <<<"$(open_with)" || { echo "the editor is not in .ess's Open with list" >&2; exit 1; }
wine "$installed/Uninstall.exe" /S
wineserver -w
for _ in $(seq 100); do [ -e "$installed/bin" ] || break; sleep 0.1; done
[ "$(ess_default)" = Other.Save ] || { echo "the uninstaller changed .ess's owner: $(ess_default)" >&2; exit 1; }
if grep -q Quellhart.SaveGame <<<"$(open_with)" || ! grep -q Other.Save <<<"$(open_with)"; then
    echo "the uninstaller left the editor or removed another program in Open with: $(open_with)" >&2
    exit 1
fi
echo "the installer beside another .ess program: it stays the default, the editor is in Open with, and both stay so after uninstalling"
