#!/usr/bin/env bash
# Starts the program under Xvfb on a generated catalog of 2 000 books and saves a
# picture of the main window in each of the three layout modes to docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/shelfmark_bench --write 2000 "$work/books" >/dev/null
mkdir -p docs "$work/config/Shelfmark" "$work/data"
for mode in 1 2 3; do
    printf '[Misc]\r\nButton Bar=%s\r\nMain Window Width=800\r\nMain Window Height=560\r\nShow Tips=No\r\nLast Database=%s\r\n' \
        "$mode" "$work/books/BOOKS.DBF" > "$work/config/Shelfmark/SHMKLIB.INI"
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" xvfb-run -a -s "-screen 0 800x600x24" \
        bash -c "build/src/shelfmark & pid=\$!; sleep 4; import -window root -crop 800x560+0+0 +repage docs/main-window-mode$mode.png; kill \$pid"
    echo "docs/main-window-mode$mode.png"
done
