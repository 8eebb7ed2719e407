#!/usr/bin/env bash
# Draws the pictures of the language packs with ImageMagick: the window banner, the two tree
# state images (question mark = not verified, check mark = verified), the application icon and
# the about box picture. The PNG files are kept in the repository; run this script only to
# change them, then rebuild (the packs' digests in the demo settings follow automatically).
#
#   resources/images/make_images.sh [LANG_DIR]     (default: resources/lang next to this script)
#
# Small pictures are drawn at 8 (icon: 4) times their size and scaled down, which gives clean
# anti-aliased edges. Date chunks are left out, so that a run without changes gives the same
# bytes as before.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
lang_dir=${1:-"$(dirname "$here")/lang"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The product's colours.
blue_dark='#0a2242'     # banner and about header, left
blue_mid='#1a4578'      # banner and about header, right
blue='#1f5fa8'          # shield
blue_light='#2b74c7'    # shield highlight
blue_edge='#123e72'     # shield rim
accent='#3d8bd8'        # thin accent line
trace='#2f5f96'         # bus lines of the banner
node='#3f78b8'          # I/O modules on the bus lines
green='#1e8c32'         # check mark
slate='#3d5f82'         # question mark
slate_rim='#5a7896'
font=DejaVu-Sans
font_bold=DejaVu-Sans-Bold

# PNG output without time stamps or other metadata, 8 bits per channel.
png=(-define "png:exclude-chunks=date,time" -strip -depth 8)

# 16x16 state images, transparent background.
convert -size 128x128 xc:none -fill none -stroke "$green" -strokewidth 24 \
    -draw "stroke-linecap round stroke-linejoin round polyline 20,68 52,100 108,28" \
    -resize 16x16 "${png[@]}" PNG32:"$work/check.png"
convert -size 128x128 xc:none -fill '#eef3f8' -stroke "$slate_rim" -strokewidth 9 \
    -draw "circle 64,64 64,8" -stroke none -fill "$slate" -font "$font_bold" -pointsize 100 \
    -gravity center -annotate +0+4 '?' -resize 16x16 "${png[@]}" PNG32:"$work/question.png"

# 64x64 application icon: a shield with a check mark.
convert -size 256x256 xc:none -stroke none \
    -fill "$blue_edge" \
    -draw "path 'M128,10 L230,48 L230,118 C230,184 186,226 128,248 C70,226 26,184 26,118 L26,48 Z'" \
    -fill "$blue" \
    -draw "path 'M128,24 L216,57 L216,118 C216,176 178,212 128,232 C78,212 40,176 40,118 L40,57 Z'" \
    -fill "$blue_light" \
    -draw "path 'M128,24 L216,57 L216,118 C216,130 214,140 212,150 L128,150 Z'" \
    -fill none -stroke white -strokewidth 26 \
    -draw "stroke-linecap round stroke-linejoin round polyline 78,128 114,164 180,92" \
    "${png[@]}" PNG32:"$work/icon-large.png"
convert "$work/icon-large.png" -resize 64x64 "${png[@]}" PNG32:"$work/icon.png"

# 1600x42 banner: a calm dark-blue field with the product name on the left and a field bus
# with a few I/O modules running out to the right. It is drawn a second time at twice the size
# (banner@2x.png), so that it stays sharp on a screen scaled by 2.
banner() { # scale, output file
    local k=$1
    local w=$((1600 * k)) h=$((42 * k))
    convert -size ${h}x${w} gradient:"$blue_dark"-"$blue_mid" -rotate -90 \
        \( -size ${w}x${h} xc:none -stroke "$trace" -strokewidth $k -fill none \
           -draw "line $((760 * k)),$((14 * k)) $w,$((14 * k))" \
           -draw "line $((820 * k)),$((27 * k)) $w,$((27 * k))" \
           -draw "line $((1000 * k)),$((14 * k)) $((1020 * k)),$((27 * k))" \
           -draw "line $((1240 * k)),$((27 * k)) $((1260 * k)),$((14 * k))" \
           -draw "line $((1420 * k)),$((14 * k)) $((1440 * k)),$((27 * k))" \
           -fill "$trace" -draw "circle $((760 * k)),$((14 * k)) $((762 * k)),$((14 * k))" \
           -draw "circle $((820 * k)),$((27 * k)) $((822 * k)),$((27 * k))" \
           -fill "$node" -stroke none \
           -draw "rectangle $((1096 * k)),$((10 * k)) $((1104 * k)),$((18 * k))" \
           -draw "rectangle $((1316 * k)),$((23 * k)) $((1324 * k)),$((31 * k))" \
           -draw "rectangle $((1516 * k)),$((10 * k)) $((1524 * k)),$((18 * k))" \) -composite \
        -fill "$accent" -stroke none -draw "rectangle 0,$((40 * k)) $((w - 1)),$((42 * k - 1))" \
        \( "$work/icon-large.png" -resize $((30 * k))x$((30 * k)) \) \
        -geometry +$((10 * k))+$((5 * k)) -composite \
        -font "$font_bold" -pointsize $((19 * k)) -fill white \
        -annotate +$((50 * k))+$((28 * k)) 'Norvane Safety Configurator' \
        "${png[@]}" PNG24:"$2"
}
banner 1 "$work/banner.png"
banner 2 "$work/banner@2x.png"

# 498x290 about box picture; the lower part stays quiet, the OK button lies over it. The about
# box writes "Version" and the program's version below the name itself (DejaVu Sans, 14 px,
# #b9d3f0, baseline at 105,86), so that the picture never names another version than the
# program.
about() { # output file, tagline (may hold a line break), copyright line
    convert -size 498x290 xc:'#f4f7fb' \
        \( -size 120x498 gradient:"$blue_dark"-"$blue_mid" -rotate -90 \) -geometry +0+0 -composite \
        -fill "$accent" -stroke none -draw "rectangle 0,120 497,122" \
        "$work/icon.png" -geometry +24+28 -composite \
        -font "$font_bold" -pointsize 22 -fill white -annotate +104+58 'Norvane Safety Configurator' \
        -font "$font" -pointsize 13 -fill '#1d2b3a' -interline-spacing 4 -annotate +24+160 "$2" \
        -font "$font" -pointsize 12 -fill '#4a5a6a' -annotate +24+210 "$3" \
        -fill '#d5dde7' -draw "rectangle 24,226 473,226" \
        "${png[@]}" PNG24:"$1"
}
about "$work/about-en.png" 'Safety CRC tool for safety-related remote I/O' \
    '© 2026 Norvane Automation'
about "$work/about-de.png" $'Sicherheits-CRC-Werkzeug für sicherheitsgerichtete\ndezentrale Peripherie' \
    '© 2026 Norvane Automation'

for lang in en de; do
    mkdir -p "$lang_dir/$lang/images"
    for image in banner banner@2x question check icon; do
        cp "$work/$image.png" "$lang_dir/$lang/images/$image.png"
    done
    cp "$work/about-$lang.png" "$lang_dir/$lang/images/about.png"
done
echo "images written to $lang_dir/{en,de}/images"
