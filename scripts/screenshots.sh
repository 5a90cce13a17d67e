#!/usr/bin/env bash
# Makes the picture gallery of the program's windows in docs/gallery/ (not
# committed): every window at each of the four screen sizes, shown on a screen
# of that size, and the main window, record editor, viewer configuration and
# search window in each of the twelve colour presets. The pictures come from
# the screens and colour tests, which check the same windows as they take
# them. Also refreshes docs/main-window-mode1..3.png and the pictures of the
# report window and of a report's preview (docs/report-*.png) for the README.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
gallery=docs/gallery
rm -rf "$gallery"
mkdir -p "$gallery"
for screen in 640x480 800x600 1024x768 1280x1024; do
    SHELFMARK_GALLERY="$PWD/$gallery" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${screen}x24" \
        build/tests/test_screens dialogsFitTheScreen >/dev/null
done
SHELFMARK_GALLERY="$PWD/$gallery" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
    build/tests/test_config textsStandOutInEveryPreset >/dev/null 2>&1 || true
echo "$(ls "$gallery" | wc -l) pictures in $gallery"

# The main window in its three layout modes, on a generated catalog of 2 000 books.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/shelfmark_bench --write 2000 "$work/books" >/dev/null
mkdir -p "$work/config/Shelfmark" "$work/data"
for mode in 1 2 3; do
    printf '[Misc]\r\nButton Bar=%s\r\nMain Window Width=800\r\nMain Window Height=560\r\nShow Tips=No\r\nLast Database=%s\r\n' \
        "$mode" "$work/books/BOOKS.DBF" > "$work/config/Shelfmark/SHMKLIB.INI"
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" xvfb-run -a -s "-screen 0 800x600x24" \
        bash -c "build/src/shelfmark & pid=\$!; sleep 4; import -window root -crop 800x560+0+0 +repage docs/main-window-mode$mode.png; kill \$pid"
    echo "docs/main-window-mode$mode.png"
done

# The report window (Navigate > Reports), then View of its first report: the
# status screen's OK, and the preview at the page's width. No window manager
# runs, so each window is given the focus by name.
printf '[Reports]\r\nReport Viewing Window Width=800\r\nReport Viewing Window Height=600\r\n' > "$work/books/BOOKS.INI"
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" xvfb-run -a -s "-screen 0 800x600x24" bash -c '
    build/src/shelfmark & pid=$!
    sleep 4
    xdotool search --name "^Shelfmark Books" windowfocus; sleep 0.5
    xdotool key ctrl+r; sleep 1.5
    import -window "$(xdotool search --name "^Reports\$")" docs/report-window.png
    xdotool search --name "^Reports\$" windowfocus; sleep 0.3
    xdotool key Return; sleep 3
    xdotool search --name "^Report Status Screen\$" windowfocus; sleep 0.3
    xdotool key Return; sleep 1.5
    xdotool search --name "^Short Narrow Report\$" windowfocus; sleep 0.3
    xdotool key ctrl+z; sleep 1
    import -window root docs/report-preview.png
    kill $pid'
echo "docs/report-window.png"
echo "docs/report-preview.png"
