#!/usr/bin/env bash
# Builds the Debian package from build/ and runs lintian on it. Not part of CI:
# the package lacks a copyright file and a changelog, which lintian reports as
# errors of its own; this script fails only on errors about the files this
# project installs for users (the program, its manual page, its completion).
#   bash scripts/check_package.sh     (after bash scripts/test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
dpkg-query -W -f='${Status}' lintian 2>/dev/null | grep -q "install ok installed" ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends lintian
(cd build && rm -f tonvik_*.deb && cpack -G DEB >/dev/null)
report=$(lintian --tag-display-limit 0 build/tonvik_*.deb 2>&1 | grep -v "^running with root" || true)
echo "$report"
if echo "$report" | grep -E "^E: " | grep -Ei "manual|manpage|man1|completion|usr/bin|usr/lib/tonvik"; then
    echo "lintian: errors about the installed files" >&2
    exit 1
fi
echo "lintian: no error about the program, its manual page or its completion"
# The manual page as installed: rendered without a warning.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x build/tonvik_*.deb "$unpacked"
warnings=$(man --warnings -E UTF-8 -l "$unpacked/usr/share/man/man1/tonvik.1.gz" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
    echo "$warnings" >&2
    exit 1
fi
echo "man: the installed page renders without warnings"
