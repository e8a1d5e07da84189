#!/usr/bin/env bash
# Makes the locale named as argument (for example de_DE.UTF-8) available, so that
# the tests can prove numbers ignore a comma decimal separator, and that a Russian
# system reads a Russian save's names. Best effort: without root the tests that need
# it skip and say why.
set -uo pipefail
wanted="$1"
normalised=$(echo "$wanted" | tr 'A-Z' 'a-z' | sed 's/utf-8/utf8/')
locale -a 2>/dev/null | tr 'A-Z' 'a-z' | grep -qx "$normalised" && exit 0
[ "$(id -u)" -eq 0 ] || { echo "Locale $wanted missing; its tests will skip."; exit 0; }
"$(dirname "$0")/ensure-packages.sh" locales || exit 0
sed -i "s/^# *\($wanted\)/\1/" /etc/locale.gen
grep -q "^$wanted" /etc/locale.gen || echo "$wanted UTF-8" >> /etc/locale.gen
locale-gen >/dev/null 2>&1 || echo "locale-gen failed; locale tests will skip."
