#!/usr/bin/env bash
# Regenerates the toolbar, navigator and application icons in resources/icons
# with ImageMagick, and resources/resources.qrc that lists them, and the
# application icon's sizes for the desktop in packaging/icons. Every glyph is
# drawn at four times its size (96x96) and
# box-filtered down 4:1, so edges come out antialiased; an edge on a multiple
# of 4 falls on a pixel boundary, so a 4-wide stroke centred on 4k+2 is one
# crisp pixel.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C          # fixed file order in the resource list
command -v convert >/dev/null || { echo "make-icons: needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }

OUT=resources/icons
mkdir -p "$OUT"
S=96                      # drawing canvas of a 24x24 icon
FONT=DejaVu-Sans-Bold

# Palette: each colour has a darker partner used for its 1-px outline.
INK=#3a4452   INK_L=#6b7686
PAPER=#fdfcf7 PAPER_D=#9aa3ae PAPER_S=#e4e1d8
BLUE=#3f7fcc  BLUE_D=#24508c  BLUE_L=#d6e6f8
BLUE_M=#86acdd BLUE_MD=#4d70a0
GREEN=#3ca04c GREEN_D=#25723a
RED=#dc4437   RED_D=#9e2a22
GOLD=#f3c24f  GOLD_D=#b48519
ORANGE=#f09433 ORANGE_D=#b3621a
GREY=#a9b2bf  GREY_D=#5f6b7b  GREY_L=#dde2e8
NAV=#4468a0   NAV_D=#2a4472

# ---------------------------------------------------------------- rendering
# icon NAME BASE-MVG [CUT-MVG OVERLAY-MVG]
# Draws BASE on a transparent canvas; if given, punches CUT out of it (a
# transparent gap that separates a badge from what lies under it) and draws
# OVERLAY on top. Writes a 24x24 PNG without time stamps, so reruns of the
# script produce identical files.
icon() {
    local name=$1 base=$2 cut=${3:-} over=${4:-}
    local args=(-size "${S}x${S}" xc:none -draw "$base")
    if [[ -n $cut ]]; then
        args+=( \( -size "${S}x${S}" xc:none -draw "$cut" \) -compose DstOut -composite -compose Over )
    fi
    [[ -z $over ]] || args+=(-draw "$over")
    convert "${args[@]}" -filter Box -resize 24x24 -strip \
        -define png:exclude-chunks=date,time PNG32:"$OUT/$name"
}

# Black fill and a wide stroke: the shape of a gap around a badge.
CUTSTYLE="fill black stroke black stroke-width 8 stroke-linejoin round"

# ---------------------------------------------------------------- pieces
# book X0 Y0 X1 Y1 COLOUR DARK: an upright book seen from the front, with the
# page edges showing at the foot, a spine band and a title label.
book() {
    local x0=$1 y0=$2 x1=$3 y1=$4 c=$5 d=$6
    echo "stroke $d stroke-width 4 stroke-linejoin round
          fill $d roundrectangle $x0,$y0 $x1,$y1 6,6
          fill $PAPER stroke $PAPER_D rectangle $((x0+10)),$((y1-16)) $((x1-4)),$((y1-8))
          stroke $d fill $c roundrectangle $x0,$y0 $x1,$((y1-16)) 6,6
          stroke none fill $d rectangle $((x0+8)),$((y0+2)) $((x0+11)),$((y1-18))
          fill $PAPER rectangle $((x0+20)),$((y0+14)) $((x1-8)),$((y0+24))"
}

# Round badge in the lower right corner (centre 72,72, radius 20) and its gap.
BADGE_CUT="$CUTSTYLE circle 72,72 72,48"
badge() { echo "stroke $2 stroke-width 4 fill $1 circle 72,72 72,54"; }
plus_badge()  { badge $GREEN $GREEN_D; echo "stroke none fill white rectangle 68,60 76,84 rectangle 60,68 84,76"; }
cross_badge() { badge $RED $RED_D; echo "stroke white stroke-width 8 stroke-linecap round line 64,64 80,80 line 80,64 64,80"; }
arrow_badge() { badge $BLUE $BLUE_D; echo "stroke none fill white rectangle 60,68 72,76 polygon 70,60 84,72 70,84"; }

# pencil X Y ANGLE LENGTH: a pencil whose point is at X,Y, lying at ANGLE
# degrees (screen coordinates, -45 points the body up and to the right).
pencil_shape() { echo "polygon 0,0 16,-9 $4,-9 $4,9 16,9"; }
pencil() {
    local x=$1 y=$2 a=$3 l=$4
    echo "push graphic-context translate $x,$y rotate $a
          stroke $INK stroke-width 4 stroke-linejoin round
          fill #f5dca8 polygon 0,0 16,-9 16,9
          fill $ORANGE rectangle 16,-9 $((l-16)),9
          stroke none fill $ORANGE_D rectangle 18,1 $((l-18)),7
          stroke $INK fill $GREY rectangle $((l-16)),-9 $((l-9)),9
          fill #ee8f9c rectangle $((l-9)),-9 $l,9
          stroke none fill $INK polygon 0,0 6,-3.5 6,3.5
          pop graphic-context"
}
pencil_cut() { echo "push graphic-context translate $1,$2 rotate $3 $CUTSTYLE $(pencil_shape "$@") pop graphic-context"; }

# star CX CY R: a five-pointed star with outer radius R.
star() {
    awk -v cx="$1" -v cy="$2" -v R="$3" 'BEGIN {
        pi = atan2(0, -1); s = "polygon"
        for (i = 0; i < 10; i++) {
            r = (i % 2) ? R * 0.45 : R; a = -pi / 2 + i * pi / 5
            s = s sprintf(" %.1f,%.1f", cx + r * cos(a), cy + r * sin(a))
        }
        print s }'
}

# band CX CY R W A0 A1: a curved band W wide along the circle of radius R
# round CX,CY, from angle A0 to A1 (degrees, clockwise from 3 o'clock), as a
# filled polygon; stroking an open polyline of many points draws a closing
# chord in ImageMagick 6, so curves are filled rather than stroked.
band() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v w="$4" -v a0="$5" -v a1="$6" 'BEGIN {
        pi = atan2(0, -1); n = int((a1 - a0) / 4) + 1; s = "polygon"
        for (i = 0; i <= n; i++) { a = (a0 + (a1 - a0) * i / n) * pi / 180
            s = s sprintf(" %.2f,%.2f", cx + (r + w / 2) * cos(a), cy + (r + w / 2) * sin(a)) }
        for (i = n; i >= 0; i--) { a = (a0 + (a1 - a0) * i / n) * pi / 180
            s = s sprintf(" %.2f,%.2f", cx + (r - w / 2) * cos(a), cy + (r - w / 2) * sin(a)) }
        print s }'
}

# Magnifying glass: lens centred at 40,40.
magnifier() {
    echo "stroke $INK stroke-width 14 stroke-linecap round line 62,62 82,82
          stroke $INK stroke-width 8 fill $BLUE_L circle 40,40 40,14
          stroke none fill white $(band 40 40 16 5 190 260)"
}

# Target: rings and cross hairs centred at CX,CY with outer radius R.
target() {
    local cx=$1 cy=$2 r=$3 i=$(( $3 * 11 / 20 )) h=$(( $3 / 5 ))
    echo "stroke $RED stroke-width 6 fill white circle $cx,$cy $cx,$((cy-r))
          fill none circle $cx,$cy $cx,$((cy-i))
          stroke none fill $RED circle $cx,$cy $cx,$((cy-h))
          stroke $INK stroke-width 4
          line $cx,$((cy-r-8)) $cx,$((cy-i+2)) line $cx,$((cy+i-2)) $cx,$((cy+r+8))
          line $((cx-r-8)),$cy $((cx-i+2)),$cy line $((cx+i-2)),$cy $((cx+r+8)),$cy"
}

# In-tray seen from the front, for import and export.
tray() {
    echo "stroke $GREY_D stroke-width 4 stroke-linejoin round fill $GREY_L
          polygon 8,56 28,56 34,68 62,68 68,56 88,56 88,86 8,86"
}

# ---------------------------------------------------------------- speed bar
icon new-database.png \
    "stroke $INK_L stroke-width 4 stroke-linejoin round
     fill $PAPER polygon 18,6 58,6 78,26 78,90 18,90
     fill $PAPER_S polygon 58,6 58,26 78,26
     stroke $PAPER_D line 30,40 62,40 line 30,52 54,52" \
    "$CUTSTYLE $(star 70 70 24)" \
    "stroke $GOLD_D stroke-width 4 stroke-linejoin round fill $GOLD $(star 70 70 22)"

icon open-database.png \
    "stroke $GOLD_D stroke-width 4 stroke-linejoin round
     fill #dca53a polygon 6,14 34,14 42,24 82,24 82,80 6,80
     fill $PAPER stroke $PAPER_D rectangle 16,32 72,60
     stroke $GOLD_D fill $GOLD polygon 22,42 92,42 80,82 6,82"

icon add-record.png    "$(book 10 6 58 86 $BLUE $BLUE_D)" "$BADGE_CUT" "$(plus_badge)"
icon delete-record.png "$(book 10 6 58 86 $BLUE $BLUE_D)" "$BADGE_CUT" "$(cross_badge)"
icon edit-record.png   "$(book 10 6 58 86 $BLUE $BLUE_D)" \
    "$(pencil_cut 44 88 -45 64)" "$(pencil 44 88 -45 64)"
icon copy-record.png \
    "$(book 8 4 50 70 $BLUE_M $BLUE_MD)" \
    "$CUTSTYLE roundrectangle 40,24 88,92 6,6" \
    "$(book 40 24 88 92 $BLUE $BLUE_D)"

icon import.png "$(tray)
    stroke $GREEN_D stroke-width 4 stroke-linejoin round fill $GREEN
    polygon 40,6 56,6 56,36 70,36 48,62 26,36 40,36"
icon export.png "$(tray)
    stroke $BLUE_D stroke-width 4 stroke-linejoin round fill $BLUE
    polygon 48,4 70,30 56,30 56,62 40,62 40,30 26,30"

icon search.png "$(magnifier)"
icon end-search.png "$(magnifier)
    stroke $RED stroke-width 8 stroke-linecap round line 30,30 50,50 line 50,30 30,50"
icon locate.png "$(target 48 48 34)"
icon locate-next.png "$(target 40 40 28)" "$BADGE_CUT" "$(arrow_badge)"

icon reports.png \
    "stroke $INK stroke-width 4 stroke-linejoin round
     fill $PAPER rectangle 26,6 70,34
     fill $GREY roundrectangle 8,30 88,72 8,8
     fill $INK rectangle 20,60 76,66
     stroke none fill $GREEN circle 76,42 76,38
     stroke $INK fill $PAPER rectangle 26,62 70,90
     stroke $INK_L line 34,72 62,72 line 34,80 54,80"

icon viewer.png \
    "stroke $INK stroke-width 4 stroke-linejoin round
     fill $PAPER roundrectangle 8,14 88,82 4,4
     fill $BLUE rectangle 8,14 88,32
     stroke $GREY line 36,32 36,80 line 62,32 62,80 line 10,50 86,50 line 10,66 86,66
     stroke $INK fill none roundrectangle 8,14 88,82 4,4"

icon color.png \
    "stroke #a67c45 stroke-width 4 fill #f1d7a8 ellipse 48,50 42,36 0,360" \
    "fill black circle 64,68 64,60" \
    "stroke #a67c45 stroke-width 4 fill none circle 64,68 64,60
     stroke none fill $RED circle 28,38 28,30
     fill $GOLD circle 48,26 48,18
     fill $BLUE circle 70,34 70,26
     fill $GREEN circle 26,62 26,54"

icon sort-order.png \
    "font $FONT font-size 42 fill $INK stroke none text 6,42 'A' text 8,90 'Z'
     stroke $BLUE_D stroke-width 4 stroke-linejoin round fill $BLUE
     polygon 62,8 74,8 74,60 86,60 68,88 50,60 62,60"

icon help.png \
    "stroke $BLUE_D stroke-width 4 fill $BLUE circle 48,48 48,6
     font $FONT font-size 66 fill white stroke none gravity center text 0,2 '?'"

# ---------------------------------------------------------------- navigator
TRI="stroke $NAV_D stroke-width 4 stroke-linejoin round fill $NAV"
icon nav-prior.png "$TRI polygon 64,18 64,78 28,48"
icon nav-next.png  "$TRI polygon 32,18 32,78 68,48"
icon nav-first.png "$TRI rectangle 20,18 30,78 polygon 74,18 74,78 38,48"
icon nav-last.png  "$TRI rectangle 66,18 76,78 polygon 22,18 22,78 58,48"
icon nav-insert.png "stroke $GREEN_D stroke-width 4 fill $GREEN
    polygon 40,14 56,14 56,40 82,40 82,56 56,56 56,82 40,82 40,56 14,56 14,40 40,40"
icon nav-delete.png "stroke $RED_D stroke-width 4 fill $RED rectangle 14,40 82,56"
icon nav-edit.png "$(pencil 14 82 -45 92)"
icon nav-post.png "stroke $GREEN stroke-width 14 stroke-linecap round stroke-linejoin round
    fill none polyline 16,50 38,72 80,26"
icon nav-cancel.png "stroke $RED stroke-width 14 stroke-linecap round
    line 24,24 72,72 line 72,24 24,72"
# Clockwise band round 48,50 (radius 30); the head sits on its end at 230
# degrees, pointing along the circle.
icon nav-refresh.png "stroke none fill $NAV $(band 48 50 30 12 0 228)
    stroke $NAV stroke-width 2 stroke-linejoin round polygon 47,11.6 14,15.8 37.2,43.4"

# ---------------------------------------------------------------- report preview
# Print Page takes reports.png (a printer) and Done nav-post.png (a tick).
icon zoom-in.png "$(magnifier)
    stroke none fill $INK rectangle 28,37 52,43 rectangle 37,28 43,52"
icon zoom-out.png "$(magnifier)
    stroke none fill $INK rectangle 28,37 52,43"
# page PAPER-OUTLINE: a sheet with three text lines.
sheet() {
    echo "stroke $INK_L stroke-width 4 stroke-linejoin round fill $PAPER rectangle $1,$2 $3,$4
          stroke $PAPER_D line $(($1+10)),$(($2+16)) $(($3-10)),$(($2+16))
          line $(($1+10)),$(($2+28)) $(($3-10)),$(($2+28)) line $(($1+10)),$(($2+40)) $(($3-18)),$(($2+40))"
}
icon zoom-page-width.png "$(sheet 22 8 74 88)
    stroke $BLUE_D stroke-width 6 line 14,66 82,66
    stroke none fill $BLUE_D polygon 4,66 18,56 18,76 polygon 92,66 78,56 78,76"
icon zoom-page.png "$(sheet 28 16 68 80)
    stroke $BLUE_D stroke-width 6 fill none
    polyline 8,24 8,6 26,6 polyline 70,6 88,6 88,24 polyline 88,72 88,90 70,90 polyline 26,90 8,90 8,72"
icon save-pdf.png "stroke $INK_L stroke-width 4 stroke-linejoin round
     fill $PAPER polygon 18,6 58,6 78,26 78,90 18,90
     fill $PAPER_S polygon 58,6 58,26 78,26
     stroke none fill $RED rectangle 8,50 88,78
     font $FONT font-size 26 fill white text 14,74 'PDF'"

# ---------------------------------------------------------------- application
# Books on a shelf, one with a ribbon bookmark, one leaning: drawn once as
# packaging/icons/shelfmark.svg, rendered at 64 for the windows and at the
# icon theme's sizes for the desktop.
command -v rsvg-convert >/dev/null || { echo "make-icons: needs rsvg-convert (apt-get install librsvg2-bin)" >&2; exit 1; }
APP_SVG=packaging/icons/shelfmark.svg
app_icon() {
    rsvg-convert -w "$1" -h "$1" "$APP_SVG" | convert - -strip -define png:exclude-chunks=date,time PNG32:"$2"
}
app_icon 64 "$OUT/app.png"
for size in 16 24 32 48 64 128 256; do
    app_icon "$size" "packaging/icons/shelfmark-$size.png"
done

# ---------------------------------------------------------------- resource file
# Lists every icon under /icons, so code loads QIcon(":/icons/add-record.png").
{
    echo '<!DOCTYPE RCC>'
    echo '<RCC version="1.0">'
    echo '    <qresource prefix="/icons">'
    for f in "$OUT"/*.png; do
        f=${f##*/}
        echo "        <file alias=\"$f\">icons/$f</file>"
    done
    echo '    </qresource>'
    echo '</RCC>'
} > resources/resources.qrc

echo "make-icons: $(ls "$OUT"/*.png | wc -l) icons in $OUT, listed in resources/resources.qrc"
