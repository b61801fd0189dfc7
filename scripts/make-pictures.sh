#!/usr/bin/env bash
# Draws the installer's pictures and window icon with ImageMagick into
# resources/pictures and resources/icon. The results are committed, so the
# build needs no image tools; run this again after changing a picture here.
#
# Sizes and frame layouts are fixed by the skins document (resources/xml/
# skins.xml): button and check box pictures are strips of four frames side
# by side (normal, hover, pressed, disabled); the shadows are 50 x 50
# nine-grids whose margins match the layouts' shadow margins (10 for the
# main window, 11 for the boxes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/resources/pictures"
icon_dir="$root/resources/icon"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$icon_dir"

command -v convert >/dev/null || { echo "make-pictures: ImageMagick's convert is missing" >&2; exit 1; }
font_latin=$(fc-match -f '%{file}' 'DejaVu Sans:bold')
font_cjk=$(fc-match -f '%{file}' 'WenQuanYi Micro Hei')

# Colours of the design.
blue=#2F7BF5; blue_hover=#4A8DF7; blue_pressed=#1F63D6; blue_disabled=#A8C6F8
ink=#1F2A44; grey_glyph=#666666; grey_disabled=#C8CDD4
border=#CDD3DC

# Plain 8-bit RGBA files, byte-identical on every run: no page offsets, no
# time stamps, no colour or gamma chunks (none of which the decoder needs).
png_out() { echo "+repage -strip -define png:include-chunk=none +set date:create +set date:modify PNG32:$1"; }

# strip <out> <frame>...: frames joined left to right.
strip() {
  local target=$1; shift
  # shellcheck disable=SC2046
  convert "$@" -background none +append $(png_out "$target")
}

# rounded <out> <w> <h> <radius> <fill> [<stroke>]: a rounded rectangle
# filling the frame, with a 1-pixel border (the fill colour unless given) on its outer pixels
# (ImageMagick puts pixel centres on whole coordinates).
rounded() {
  local target=$1 w=$2 h=$3 r=$4 fill=$5 stroke=${6:-$5}
  convert -size "${w}x${h}" xc:none -fill "$fill" -stroke "$stroke" -strokewidth 1 \
    -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" "PNG32:$target"
}

# gradient_rounded <out> <w> <h> <radius> <top> <bottom>: a rounded rectangle
# shaded from top to bottom.
gradient_rounded() {
  local target=$1 w=$2 h=$3 r=$4 top=$5 bottom=$6
  convert -size "${w}x${h}" "gradient:$top-$bottom" \
    \( -size "${w}x${h}" xc:none -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \) \
    -alpha set -compose DstIn -composite "PNG32:$target"
}

# --- Title bar buttons: minimise (32 x 30) and close (38 x 30) ---------------
title_button() {  # <out> <w> <glyph draw> <normal glyph> <hover bg> <hover glyph> <pressed bg> <pressed glyph>
  local target=$1 w=$2 glyph=$3
  local frames=()
  local i=0
  for state in "none:$4" "$5:$6" "$7:$8" "none:$grey_disabled"; do
    local bg=${state%%:*} colour=${state#*:}
    convert -size "${w}x30" "xc:$bg" -fill none -stroke "$colour" -strokewidth 1.2 \
      -draw "$glyph" "PNG32:$work/title_$i.png"
    frames+=("$work/title_$i.png")
    i=$((i + 1))
  done
  strip "$target" "${frames[@]}"
}
title_button "$out/5002_btn_min.png" 32 "line 11,15 21,15" \
  "$grey_glyph" "rgba(0,0,0,0.07)" "#333333" "rgba(0,0,0,0.14)" "#222222"
title_button "$out/5003_btn_close.png" 38 "line 14,10 24,20 line 24,10 14,20" \
  "$grey_glyph" "#E81123" "#FFFFFF" "#B40F1E" "#FFFFFF"

# --- Box buttons: OK (primary) and Cancel (secondary), 96 x 30 -------------
rounded "$work/ok0.png" 96 30 4 "$blue"
rounded "$work/ok1.png" 96 30 4 "$blue_hover"
rounded "$work/ok2.png" 96 30 4 "$blue_pressed"
rounded "$work/ok3.png" 96 30 4 "$blue_disabled"
strip "$out/5009_btn_ok.png" "$work"/ok{0,1,2,3}.png

secondary_button() {  # <out> <w> <h> <radius>
  local target=$1 w=$2 h=$3 r=$4
  rounded "$work/sec0.png" "$w" "$h" "$r" "#FFFFFF" "$border"
  rounded "$work/sec1.png" "$w" "$h" "$r" "#F2F6FD" "#8FB3F0"
  rounded "$work/sec2.png" "$w" "$h" "$r" "#E3EBF8" "#6F9AE6"
  rounded "$work/sec3.png" "$w" "$h" "$r" "#F4F5F7" "#E1E4E8"
  strip "$target" "$work"/sec{0,1,2,3}.png
}
secondary_button "$out/5010_btn_cancel.png" 96 30 4

# --- Check boxes, 14 x 14 ----------------------------------------------------
check_frame() {  # <out> <fill> <stroke> <tick colour or none>
  local target=$1 fill=$2 stroke=$3 tick=$4
  local args=(-size 14x14 xc:none -fill "$fill" -stroke "$stroke" -strokewidth 1
              -draw "roundrectangle 0,0 13,13 2.5,2.5")
  if [ "$tick" != none ]; then
    args+=(-fill none -stroke "$tick" -strokewidth 1.8 -draw "polyline 3.3,7.2 6,9.8 10.8,4.4")
  fi
  convert "${args[@]}" "PNG32:$target"
}
check_frame "$work/on0.png" "$blue" "$blue" "#FFFFFF"
check_frame "$work/on1.png" "$blue_hover" "$blue_hover" "#FFFFFF"
check_frame "$work/on2.png" "$blue_pressed" "$blue_pressed" "#FFFFFF"
check_frame "$work/on3.png" "#B9CDEB" "#B9CDEB" "#FFFFFF"
strip "$out/5011_checkbox_checked.png" "$work"/on{0,1,2,3}.png
check_frame "$work/off0.png" "#FFFFFF" "#A9B2C0" none
check_frame "$work/off1.png" "#FFFFFF" "$blue" none
check_frame "$work/off2.png" "#EAF1FE" "$blue_pressed" none
check_frame "$work/off3.png" "#F0F1F3" "#D5D9DF" none
strip "$out/5012_checkbox_unchecked.png" "$work"/off{0,1,2,3}.png

# --- Progress bar: track (nine-grid, 50 x 3) and fill (tiled, 50 x 3) -------
# shellcheck disable=SC2046
convert -size 50x3 xc:#E2E8F0 $(png_out "$out/5013_processbg.png")
# shellcheck disable=SC2046
convert -size 50x1 xc:#5C9BFF -size 50x1 "xc:$blue" -size 50x1 xc:#2567D8 -append \
  $(png_out "$out/5014_process.png")

# --- Logo mark: a page with a folded corner and a "Z" on a blue tile --------
# logo_mark <out> <size>: drawn at 256 and scaled, so every size matches.
draw_mark_256() {
  local target=$1
  convert -size 380x380 gradient:#4C8DFF-#2450D8 -rotate -30 +repage -gravity center -crop 256x256+0+0 +repage -gravity northwest \
    \( -size 256x256 xc:none -fill white -draw "roundrectangle 0,0 255,255 56,56" \) \
    -alpha set -compose DstIn -composite -compose Over \
    -fill "#FFFFFF" -stroke none -draw "polygon 74,50 150,50 190,90 190,206 74,206" \
    -fill "#C7D8FF" -draw "polygon 150,50 150,90 190,90" \
    -fill none -stroke "#2D63E6" -strokewidth 17 -draw "stroke-linejoin round stroke-linecap round polyline 100,106 162,106 100,172 164,172" \
    "PNG32:$target"
}
draw_mark_256 "$work/mark256.png"

# --- Product logo with name (281 x 187) -------------------------------------
convert "$work/mark256.png" -resize 96x96 "PNG32:$work/mark96.png"
# shellcheck disable=SC2046
convert -size 281x187 xc:none \
  "$work/mark96.png" -geometry +92+8 -composite \
  -font "$font_latin" -pointsize 38 -kerning 0.5 \
  -fill "$ink" -annotate +58+152 "Zelk" \
  -fill "$blue" -annotate +154+152 "PDF" \
  -font "$font_cjk" -pointsize 14 -fill "#8A94A6" -gravity north -annotate +0+164 "轻巧 · 快速 · 安全的 PDF 编辑器" \
  $(png_out "$out/5022_portrait_logo_name_pdf.png")

# --- Small logo (16 x 16) ----------------------------------------------------
# shellcheck disable=SC2046
convert "$work/mark256.png" -filter Lanczos -resize 16x16 $(png_out "$out/5025_logo_pdf.png")

# --- Backgrounds: 600 x 400 (pages 503, 504) and 600 x 480 (page 502) -------
# A soft sky gradient with two faint circles and a hairline window border.
background() {  # <out> <height>
  local target=$1 h=$2
  local args=(-size "600x$h" gradient:#EDF4FF-#FFFFFF
              -fill "rgba(47,123,245,0.07)" -stroke none -draw "circle 560,30 560,200"
              -fill "rgba(47,123,245,0.05)" -draw "circle 20,330 20,450"
              -fill "rgba(109,74,255,0.04)" -draw "circle 470,120 470,190")
  if [ "$h" -gt 400 ]; then
    # The install area below the 400-pixel page: plain white under a hairline.
    args+=(-fill "#FFFFFF" -draw "rectangle 0,400 599,$((h - 1))"
           -stroke "#E3E8EF" -strokewidth 1 -draw "line 0,400 599,400")
  fi
  args+=(-fill none -stroke "#D5DCE6" -strokewidth 1 -draw "rectangle 0,0 599,$((h - 1))")
  # shellcheck disable=SC2046
  convert "${args[@]}" $(png_out "$target")
}
background "$out/5020_main_bg_pdf.png" 400
background "$out/5024_main_bg_custom_pdf.png" 480

# --- Install button (180 x 42) and folder button (75 x 24) ------------------
gradient_rounded "$work/setup0.png" 180 42 6 "#4A93FF" "#2565EB"
gradient_rounded "$work/setup1.png" 180 42 6 "#65A4FF" "#3A78F2"
gradient_rounded "$work/setup2.png" 180 42 6 "#2058D0" "#1D50C2"
rounded "$work/setup3.png" 180 42 6 "#DCE3EC"
strip "$out/5030_btn_setup.png" "$work"/setup{0,1,2,3}.png
secondary_button "$out/5031_btn_browser.png" 75 24 3

# --- Edit frame (nine-grid, 12 x 24, margins 4) ------------------------------
rounded "$work/edit.png" 12 24 3 "#FFFFFF" "$border"
# shellcheck disable=SC2046
convert "$work/edit.png" $(png_out "$out/5032_edit_bg.png")

# --- Small icons: done (16 x 16) and warning (36 x 36) ----------------------
# shellcheck disable=SC2046
convert -size 64x64 xc:none -fill "#22B573" -draw "circle 32,32 32,2" \
  -fill none -stroke "#FFFFFF" -strokewidth 7 -draw "stroke-linecap round stroke-linejoin round polyline 18,33 28,43 46,23" \
  -filter Lanczos -resize 16x16 $(png_out "$out/5040_uninstall_ico_ok.png")
# shellcheck disable=SC2046
convert -size 144x144 xc:none -fill "#F5A623" -draw "circle 72,72 72,6" \
  -fill "#FFFFFF" -stroke none -draw "roundrectangle 63,30 81,88 9,9" -draw "circle 72,108 72,98" \
  -filter Lanczos -resize 36x36 $(png_out "$out/5051_msg_ico_warning.png")

# --- Drop shadows (50 x 50): soft black with real alpha around the window ---
# The window covers the middle (margin m on each side). The shadow window
# stretches the edge bands along the window, so the alpha is a product of
# one fade per axis: even along each edge, rounded at the corners, gone at
# the picture's border. The top fades faster than the bottom, so the shadow
# seems to fall a little below the window.
shadow() {  # <out> <margin>
  local target=$1 m=$2
  local dx="max(max($m - i, i - (49 - $m)), 0)" dy="max(max($m - j, j - (49 - $m)), 0)"
  # shellcheck disable=SC2046
  convert -size 50x50 xc:black -alpha set -channel A \
    -fx "0.38 * pow(($m.5 - $dx) / $m.5, 2.2) * pow(($m.5 - $dy) / $m.5, j < $m ? 3.0 : 1.8)" +channel \
    $(png_out "$target")
}
shadow "$out/5004_shadow_main.png" 10
shadow "$out/5050_shadow_box.png" 11

# --- Window icon (group 1001) -----------------------------------------------
for size in 16 24 32 48; do
  convert "$work/mark256.png" -filter Lanczos -resize "${size}x${size}" "PNG32:$work/icon$size.png"
done
convert "$work"/icon{16,24,32,48}.png "$work/mark256.png" -strip "$icon_dir/zelkpdf.ico"

echo "make-pictures: wrote $(ls "$out" | wc -l) pictures to $out and the icon to $icon_dir"
