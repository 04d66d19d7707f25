#!/usr/bin/env bash
# Draws the uninstaller's skin: every picture the program loads as a "PNG"
# resource, written to res/skin/<id>.png (32-bit RGBA, exact sizes, button and
# check-box states laid out as equal-width frames from left to right).
#
# Needs ImageMagick and the WenQuanYi Micro Hei font (Debian: imagemagick,
# fonts-wqy-microhei; tools/install-packages.sh installs both).
#
#   tools/make-skin.sh            # writes res/skin/*.png
#   tools/make-skin.sh OUTDIR     # writes somewhere else
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/res/skin}
mkdir -p "$out"

if command -v magick >/dev/null 2>&1; then IM=(magick); else IM=(convert); fi
FONT=${SKIN_FONT:-}
if [ -z "$FONT" ]; then
  for f in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
           /usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc; do
    [ -f "$f" ] && { FONT=$f; break; }
  done
fi
[ -n "$FONT" ] || { echo "no CJK font found (install fonts-wqy-microhei)" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

im() { "${IM[@]}" "$@"; }

# Final write: strip metadata, force RGBA, best zlib compression.
save() { # src id
  im "$1" +repage -strip -define png:compression-level=9 -define png:compression-filter=5 \
     -define png:exclude-chunks=date,time "PNG32:$out/$2.png"
}

# ---------------------------------------------------------------- palette --
BLUE='#1E7BFF'; BLUE_H='#3E90FF'; BLUE_P='#1264DC'
NAVY_T='#0F3479'; NAVY_B='#081F50'
INK='#1F2D3D'; SUB='#7D8899'; HINT='#B4BCC8'; LINE='#D5DCE6'
LINK='rgb(25,171,255)'

# ---------------------------------------------------------------- helpers --
# Anti-aliased white-on-black mask of a rounded rectangle.
mask_rr() { # out W H x0 y0 x1 y1 r
  im -size "$2x$3" xc:black -fill white -draw "roundrectangle $4,$5,$6,$7,$8,$8" -alpha off "$1"
}

# Soft drop shadow of a rounded rectangle, carried by the alpha channel.
shadow_rr() { # out W H x0 y0 x1 y1 r opacity blur dy
  local dy=${11}
  im -size "$2x$3" xc:none -fill "rgba(8,30,70,$9)" \
     -draw "roundrectangle $4,$(( $5 + dy )),$6,$(( $7 + dy )),$8,$8" -channel A -blur "0x${10}" +channel "$1"
}

# Cuts an opaque picture to a mask (the mask's grey level becomes alpha).
clip() { # out picture mask
  im "$2" -alpha off "$3" -alpha off -compose CopyOpacity -composite "$1"
}

# Brand mark: a rounded blue tile with a white "K".
logo() { # out size
  local s=$2 r=$(( $2 / 4 ))
  im -size "${s}x${s}" xc:none \
     \( -size "${s}x${s}" gradient:'#4FA3FF-#1264DC' \) \
     \( -size "${s}x${s}" xc:black -fill white -draw "roundrectangle 0,0,$((s-1)),$((s-1)),$r,$r" -alpha off \) \
     -delete 0 -alpha off -compose CopyOpacity -composite -compose Over \
     -fill white -stroke none -draw "polygon $((s*27/100)),$((s*22/100)) $((s*41/100)),$((s*22/100)) $((s*41/100)),$((s*78/100)) $((s*27/100)),$((s*78/100))" \
     -draw "polygon $((s*44/100)),$((s*50/100)) $((s*62/100)),$((s*22/100)) $((s*79/100)),$((s*22/100)) $((s*56/100)),$((s*52/100)) $((s*80/100)),$((s*78/100)) $((s*62/100)),$((s*78/100))" \
     "$1"
}

# Text centred on (cx, cy) of a picture.
text_at() { # picture out text size colour cx cy [bold]
  local bold=${8:-0} st=none sw=0 wh w h
  [ "$bold" = 1 ] && { st=$5; sw=0.6; }
  wh=$(im "$1" -format '%w %h' info:); w=${wh% *}; h=${wh#* }
  im "$1" -font "$FONT" -pointsize "$4" -fill "$5" -stroke "$st" -strokewidth "$sw" \
     -gravity center -annotate "$(printf '%+d%+d' $(( $6 - w / 2 )) $(( $7 - h / 2 )))" "$3" "$2"
}

# Text with its top-left corner at (x, y).
text_nw() { # picture out text size colour x y [bold]
  local bold=${8:-0} st=none sw=0
  [ "$bold" = 1 ] && { st=$5; sw=0.6; }
  im "$1" -font "$FONT" -pointsize "$4" -fill "$5" -stroke "$st" -strokewidth "$sw" \
     -gravity NorthWest -annotate "+$6+$7" "$3" "$2"
}

# A flat rounded button face with a soft top-to-bottom sheen.
button_face() { # out W H r top bottom border
  local w=$2 h=$3 r=$4
  im \( -size "${w}x${h}" gradient:"$5-$6" \) \
     \( -size "${w}x${h}" xc:black -fill white -draw "roundrectangle 0,0,$((w-1)),$((h-1)),$r,$r" -alpha off \) \
     -alpha off -compose CopyOpacity -composite -compose Over \
     -fill none -stroke "$7" -strokewidth 1 -draw "roundrectangle 0.5,0.5,$((w-1)).5,$((h-1)).5,$r,$r" \
     "$1"
}

# Joins frames left to right and pads the strip to its exact width.
strip() { # out W H frame...
  local o=$1 w=$2 h=$3
  shift 3
  im -background none "$@" +append +repage -gravity West -extent "${w}x${h}" "$o"
}

# ------------------------------------------------------------ 237 241 242 --
# Message-box buttons: three frames of 106 x 40 in a 319 x 40 strip.
button_face "$tmp/b0.png" 106 40 5 '#3A8EFF' '#1E7BFF' '#1A70EA'
button_face "$tmp/b1.png" 106 40 5 '#5BA3FF' '#3A8EFF' '#2F83F5'
button_face "$tmp/b2.png" 106 40 5 '#1668E0' '#1159C7' '#0F52B8'
strip "$tmp/237.png" 319 40 "$tmp/b0.png" "$tmp/b1.png" "$tmp/b2.png"; save "$tmp/237.png" 237

button_face "$tmp/b0.png" 106 40 5 '#FAFBFC' '#F0F2F5' '#D3D9E1'
button_face "$tmp/b1.png" 106 40 5 '#FFFFFF' '#F5F8FC' '#9DBDEB'
button_face "$tmp/b2.png" 106 40 5 '#E4E8EE' '#E9EDF2' '#B9C2CE'
strip "$tmp/241.png" 319 40 "$tmp/b0.png" "$tmp/b1.png" "$tmp/b2.png"; save "$tmp/241.png" 241

button_face "$tmp/b0.png" 96 32 5 '#F1F7FF' '#E6F1FF' '#A9CBFF'
button_face "$tmp/b1.png" 96 32 5 '#E8F2FF' '#DBEBFF' '#6EA9FF'
button_face "$tmp/b2.png" 96 32 5 '#D3E5FF' '#DCEAFF' '#4D93F7'
strip "$tmp/242.png" 288 32 "$tmp/b0.png" "$tmp/b1.png" "$tmp/b2.png"; save "$tmp/242.png" 242

# ------------------------------------------------------------ 307 323 304 --
# Ghost button for dark backgrounds: white outline, white caption.
ghost() { # out fill-alpha border-alpha
  im -size 96x32 xc:none -fill "rgba(255,255,255,$2)" -stroke "rgba(255,255,255,$3)" -strokewidth 1 \
     -draw "roundrectangle 0.5,0.5,95.5,31.5,5,5" "$1"
}
ghost "$tmp/b0.png" 0.10 0.80
ghost "$tmp/b1.png" 0.22 1.0
ghost "$tmp/b2.png" 0.04 0.60
strip "$tmp/307.png" 288 32 "$tmp/b0.png" "$tmp/b1.png" "$tmp/b2.png"; save "$tmp/307.png" 307

button_face "$tmp/b0.png" 96 32 5 '#3A8EFF' '#1E7BFF' '#1A70EA'
button_face "$tmp/b1.png" 96 32 5 '#5BA3FF' '#3A8EFF' '#2F83F5'
button_face "$tmp/b2.png" 96 32 5 '#1668E0' '#1159C7' '#0F52B8'
strip "$tmp/323.png" 288 32 "$tmp/b0.png" "$tmp/b1.png" "$tmp/b2.png"; save "$tmp/323.png" 323

# Some windows draw it 296 pixels wide, which shows the first 126 columns of
# the next frame beside a frame: small corners, no rim and close tints keep
# that seam quiet.
button_face "$tmp/b0.png" 170 44 3 '#3A8EFF' '#1E7BFF' none
button_face "$tmp/b1.png" 170 44 3 '#4E9AFF' '#2D85FF' none
button_face "$tmp/b2.png" 170 44 3 '#1C6CE2' '#1262D6' none
strip "$tmp/304.png" 510 44 "$tmp/b0.png" "$tmp/b1.png" "$tmp/b2.png"; save "$tmp/304.png" 304

# -------------------------------------------------------------------- 255 --
# Outlined "cancel" button that carries its caption.
for s in 0 1 2; do
  case $s in
    0) fill='#FFFFFF'; bd='#C9D1DC'; fg='#4A5565' ;;
    1) fill='#F4F9FF'; bd="$BLUE";   fg="$BLUE" ;;
    2) fill='#E3EEFF'; bd="$BLUE_P"; fg="$BLUE_P" ;;
  esac
  im -size 96x32 xc:none -fill "$fill" -stroke "$bd" -strokewidth 1 \
     -draw "roundrectangle 0.5,0.5,95.5,31.5,5,5" "$tmp/f.png"
  text_at "$tmp/f.png" "$tmp/b$s.png" "取消卸载" 14 "$fg" 48 16
done
strip "$tmp/255.png" 288 32 "$tmp/b0.png" "$tmp/b1.png" "$tmp/b2.png"; save "$tmp/255.png" 255

# ------------------------------------------------------------ 238 301 316 --
# Close crosses. 238 sits on the message box's blue title band; 301 must read
# on the blue title bands and on white, so it stands on a translucent disc;
# 316 sits on a white card.
cross() { # out size disc-colour cross-colour arm width
  local s=$2 a=$5
  local lo hi
  lo=$(awk -v s="$s" -v a="$a" 'BEGIN{printf "%.2f", s/2-a}')
  hi=$(awk -v s="$s" -v a="$a" 'BEGIN{printf "%.2f", s/2+a}')
  local ctr rad
  ctr=$(awk -v s="$s" 'BEGIN{printf "%.2f", s/2-0.5}')
  rad=$(awk -v s="$s" 'BEGIN{printf "%.2f", s/2-1}')
  im -size "${s}x${s}" xc:none -fill "$3" -stroke none \
     -draw "translate $ctr,$ctr circle 0,0 $rad,0" \
     -stroke "$4" -strokewidth "$6" \
     -draw "stroke-linecap round line $lo,$lo $(awk -v h="$hi" 'BEGIN{print h-1}'),$(awk -v h="$hi" 'BEGIN{print h-1}')" \
     -draw "stroke-linecap round line $(awk -v h="$hi" 'BEGIN{print h-1}'),$lo $lo,$(awk -v h="$hi" 'BEGIN{print h-1}')" \
     "$1"
}
cross "$tmp/c0.png" 18 'rgba(255,255,255,0)'    '#FFFFFF' 4.2 1.6
cross "$tmp/c1.png" 18 'rgba(255,255,255,0.25)' '#FFFFFF' 4.2 1.6
cross "$tmp/c2.png" 18 'rgba(0,20,60,0.30)'     '#FFFFFF' 4.2 1.6
strip "$tmp/238.png" 54 18 "$tmp/c0.png" "$tmp/c1.png" "$tmp/c2.png"; save "$tmp/238.png" 238

cross "$tmp/c0.png" 18 'rgba(10,35,80,0.30)' '#FFFFFF' 3.8 1.6
cross "$tmp/c1.png" 18 'rgba(240,72,72,0.95)' '#FFFFFF' 3.8 1.6
cross "$tmp/c2.png" 18 'rgba(200,40,40,1)'   '#FFE6E6' 3.8 1.6
strip "$tmp/301.png" 54 18 "$tmp/c0.png" "$tmp/c1.png" "$tmp/c2.png"; save "$tmp/301.png" 301

cross "$tmp/c0.png" 23 'rgba(255,255,255,0)' '#9AA3AE' 5 1.6
cross "$tmp/c1.png" 23 '#EEF1F5'             '#5C6673' 5 1.6
cross "$tmp/c2.png" 23 '#DEE3EA'             '#3E4753' 5 1.6
strip "$tmp/316.png" 69 23 "$tmp/c0.png" "$tmp/c1.png" "$tmp/c2.png"; save "$tmp/316.png" 316

# -------------------------------------------------------------------- 302 --
# Minimise bar, white with a faint dark rim so that it also reads on white.
mini() { # out bar rim
  im -size 20x6 xc:none -fill "$3" -stroke none -draw "roundrectangle 3,1,16,4,1.5,1.5" \
     -fill "$2" -draw "rectangle 4,2,15,3" "$1"
}
mini "$tmp/m0.png" 'rgba(255,255,255,0.95)' 'rgba(10,35,80,0.35)'
mini "$tmp/m1.png" '#FFFFFF'                'rgba(10,35,80,0.60)'
mini "$tmp/m2.png" '#CFE3FF'                'rgba(10,35,80,0.75)'
strip "$tmp/302.png" 60 6 "$tmp/m0.png" "$tmp/m1.png" "$tmp/m2.png"; save "$tmp/302.png" 302

# ------------------------------------------------------------ 239 240 --
# Waiting dots: eight dots on a ring, the bright one walks round.
dots() { # out size ring-radius dot-radius
  local s=$2 i k frames=()
  for k in 0 1 2 3 4 5 6 7; do
    local args=()
    for i in 0 1 2 3 4 5 6 7; do
      local age=$(( (k - i + 8) % 8 ))
      local a
      a=$(awk -v g="$age" 'BEGIN{v=1-g*0.13; if(v<0.15)v=0.15; printf "%.2f", v}')
      local x y
      x=$(awk -v s="$s" -v r="$3" -v i="$i" 'BEGIN{printf "%.2f", s/2-0.5+r*sin(i*3.14159265/4)}')
      y=$(awk -v s="$s" -v r="$3" -v i="$i" 'BEGIN{printf "%.2f", s/2-0.5-r*cos(i*3.14159265/4)}')
      args+=(-fill "rgba(30,123,255,$a)" -draw "translate $x,$y circle 0,0 $4,0")
    done
    im -size "${s}x${s}" xc:none "${args[@]}" "$tmp/d$k.png"
    frames+=("$tmp/d$k.png")
  done
  strip "$1" $(( s * 8 )) "$s" "${frames[@]}"
}
dots "$tmp/239.png" 18 6.2 1.7; save "$tmp/239.png" 239
dots "$tmp/240.png" 14 4.8 1.35; save "$tmp/240.png" 240

# -------------------------------------------------------------------- 245 --
# Check box, 20 x 20: frames 0-3 unchecked, 4-7 checked (normal, hover,
# pressed, disabled).
box() { # out fill border tick
  im -size 20x20 xc:none -fill "$2" -stroke "$3" -strokewidth 1 \
     -draw "roundrectangle 2.5,2.5,17.5,17.5,3,3" "$tmp/bx.png"
  if [ "$4" != none ]; then
    im "$tmp/bx.png" -fill none -stroke "$4" -strokewidth 1.9 \
       -draw "stroke-linecap round stroke-linejoin round polyline 6,10.2 8.8,13 14,7.2" "$1"
  else
    cp "$tmp/bx.png" "$1"
  fi
}
box "$tmp/k0.png" '#FFFFFF' '#BFC8D4' none
box "$tmp/k1.png" '#FFFFFF' "$BLUE"   none
box "$tmp/k2.png" '#E3EEFF' "$BLUE_P" none
box "$tmp/k3.png" '#F2F3F5' '#DADEE3' none
box "$tmp/k4.png" "$BLUE"   "$BLUE"   '#FFFFFF'
box "$tmp/k5.png" "$BLUE_H" "$BLUE_H" '#FFFFFF'
box "$tmp/k6.png" "$BLUE_P" "$BLUE_P" '#FFFFFF'
box "$tmp/k7.png" '#A9C9F7' '#A9C9F7' '#FFFFFF'
strip "$tmp/245.png" 160 20 "$tmp"/k[0-7].png; save "$tmp/245.png" 245

# -------------------------------------------------------------------- 246 --
# Frame of the suggestion box (nine-grid: 3 left, 10 top, 3 right, 10 bottom).
im -size 10x30 xc:none -fill '#FFFFFF' -stroke '#CDD5E0' -strokewidth 1 \
   -draw "roundrectangle 0.5,0.5,9.5,29.5,2.5,2.5" "$tmp/246.png"; save "$tmp/246.png" 246

# ------------------------------------------------------------ 247 248 --
# Progress bar, drawn on the dark lower half of the progress window.
im -size 489x10 xc:none -fill 'rgba(255,255,255,0.16)' -stroke 'rgba(255,255,255,0.10)' -strokewidth 1 \
   -draw "roundrectangle 0.5,0.5,488.5,9.5,4.5,4.5" "$tmp/247.png"; save "$tmp/247.png" 247
im \( -size 10x489 gradient:'#2F86FF-#45E0FF' -rotate 90 \) \
   \( -size 489x10 gradient:'rgba(255,255,255,0.35)-rgba(255,255,255,0)' \) -compose Over -composite \
   \( -size 489x10 xc:black -fill white -draw "roundrectangle 0,0,488,9,5,5" -alpha off \) \
   -alpha off -compose CopyOpacity -composite "$tmp/248.png"; save "$tmp/248.png" 248

# -------------------------------------------------------------------- 252 --
# Red packet.
im -size 60x60 xc:none \
   \( -size 44x54 gradient:'#FF5A4E-#E8322B' \( -size 44x54 xc:black -fill white -draw "roundrectangle 0,0,43,53,6,6" -alpha off \) \
      -alpha off -compose CopyOpacity -composite \) -geometry +8+3 -compose Over -composite \
   -fill '#C9231E' -stroke none -draw "path 'M 8,15 Q 30,33 52,15 L 52,9 Q 52,3 46,3 L 14,3 Q 8,3 8,9 Z'" \
   -fill '#FF6F62' -draw "path 'M 8,14 Q 30,31 52,14 L 52,12 Q 30,29 8,12 Z'" \
   -fill '#FFD24A' -stroke '#F0A81C' -strokewidth 1 -draw "circle 30,25 30,34" \
   "$tmp/252a.png"
text_at "$tmp/252a.png" "$tmp/252b.png" "¥" 12 '#D5401F' 30 25 1
im "$tmp/252b.png" -font "$FONT" -pointsize 10 -fill 'rgba(255,225,150,0.95)' -gravity center -annotate +0+16 "红包" "$tmp/252c.png"
im \( "$tmp/252c.png" -background 'rgb(150,20,20)' -shadow 35x2+0+1 \) "$tmp/252c.png" -background none \
   -layers merge -gravity center -extent 60x60 "$tmp/252.png"
save "$tmp/252.png" 252

# -------------------------------------------------------------------- 312 --
# Success mark: blue disc with a white tick and a soft shadow under it.
im -size 79x84 xc:none \
   -fill 'rgba(18,80,200,0.35)' -draw "translate 39,44 circle 0,0 33,0" -channel A -blur 0x4 +channel \
   \( -size 72x72 radial-gradient:'#5DAAFF-#1E7BFF' \
      \( -size 72x72 xc:black -fill white -draw "circle 35.5,35.5 35.5,1" -alpha off \) \
      -alpha off -compose CopyOpacity -composite \) -geometry +3+2 -compose Over -composite \
   -fill none -stroke 'rgba(255,255,255,0.35)' -strokewidth 2 -draw "circle 38.5,37.5 38.5,7" \
   -stroke white -strokewidth 6 \
   -draw "stroke-linecap round stroke-linejoin round polyline 24,39 34,49 54,28" "$tmp/312.png"
save "$tmp/312.png" 312

# -------------------------------------------------------------------- 320 --
# Reward received: a gold wallpaper bean coin with sparkles.
im -size 96x96 xc:none \
   -fill 'rgba(255,170,0,0.18)' -draw "circle 48,50 48,8" \
   -fill 'rgba(170,90,0,0.35)' -draw "circle 48,52 48,18" -channel A -blur 0x3 +channel \
   \( -size 64x64 radial-gradient:'#FFE58A-#FFB300' \
      \( -size 64x64 xc:black -fill white -draw "circle 31.5,31.5 31.5,0.5" -alpha off \) \
      -alpha off -compose CopyOpacity -composite \) -geometry +16+16 -compose Over -composite \
   -fill none -stroke '#E89A00' -strokewidth 3 -draw "circle 47.5,47.5 47.5,22" \
   -fill '#FFFFFF' -stroke none \
   -draw "path 'M 82,12 L 84.5,18 L 90,20 L 84.5,22 L 82,28 L 79.5,22 L 74,20 L 79.5,18 Z'" \
   -draw "path 'M 14,66 L 15.8,70.5 L 20,72 L 15.8,73.5 L 14,78 L 12.2,73.5 L 8,72 L 12.2,70.5 Z'" \
   "$tmp/320a.png"
im "$tmp/320a.png" -fill '#FFC21A' -draw "path 'M 82,12 L 84.5,18 L 90,20 L 84.5,22 L 82,28 L 79.5,22 L 74,20 L 79.5,18 Z'" \
   -fill '#7CC4FF' -draw "path 'M 14,66 L 15.8,70.5 L 20,72 L 15.8,73.5 L 14,78 L 12.2,73.5 L 8,72 L 12.2,70.5 Z'" "$tmp/320b.png"
text_at "$tmp/320b.png" "$tmp/320.png" "豆" 28 '#C46A00' 48 47 1
save "$tmp/320.png" 320

# -------------------------------------------------------------------- 321 --
# Request received: a chat bubble with a tick.
im -size 85x80 xc:none \
   -fill 'rgba(18,80,200,0.30)' -draw "roundrectangle 10,12,76,62,16,16" -channel A -blur 0x4 +channel \
   \( -size 70x62 gradient:'#58A6FF-#1E7BFF' \
      \( -size 70x62 xc:black -fill white -draw "roundrectangle 0,0,69,50,16,16" \
         -draw "polygon 14,44 34,44 12,61" -alpha off \) \
      -alpha off -compose CopyOpacity -composite \) -geometry +7+6 -compose Over -composite \
   -fill none -stroke white -strokewidth 5 \
   -draw "stroke-linecap round stroke-linejoin round polyline 28,31 38,41 57,21" \
   -fill '#FFC21A' -stroke white -strokewidth 2 -draw "circle 72,13 72,4" "$tmp/321.png"
save "$tmp/321.png" 321

# -------------------------------------------------------------------- 300 --
# Progress window and tip-window background: light upper half for grey text
# and pictures, deep blue lower half for white text, the bar and the buttons.
# Both windows fill their client area white under it, so it is drawn edge to
# edge with a hairline border instead of a drop shadow.
W=542; H=302
im -size ${W}x${H} gradient:'#FFFFFF-#E6F0FF' \
   -fill 'rgba(30,123,255,0.05)' -draw "path 'M 0,160 L 0,118 Q 50,84 110,112 Q 150,130 190,160 Z'" \
   -fill 'rgba(30,123,255,0.07)' -draw "path 'M 330,160 Q 390,96 450,104 Q 500,110 542,80 L 542,160 Z'" \
   -fill 'rgba(30,123,255,0.05)' -draw "circle 500,40 540,40" \
   -fill 'rgba(30,123,255,0.04)' -draw "circle 440,10 470,10" \
   "$tmp/l300.png"
im \( -size ${W}x${H} gradient:"$NAVY_T-$NAVY_B" \) \
   \( -size ${W}x${H} xc:black -fill white -draw "path 'M 0,153 Q 271,143 542,153 L 542,302 L 0,302 Z'" -alpha off \) \
   -alpha off -compose CopyOpacity -composite "$tmp/n300.png"
im "$tmp/l300.png" "$tmp/n300.png" -compose Over -composite \
   -fill none -stroke 'rgba(110,185,255,0.55)' -strokewidth 1.5 -draw "path 'M 0,153 Q 271,143 542,153'" \
   -stroke none -fill 'rgba(255,255,255,0.05)' -draw "circle 40,290 120,290" \
   -fill 'rgba(80,160,255,0.08)' -draw "circle 520,300 600,300" \
   "$tmp/c300.png"
logo "$tmp/logo20.png" 20
im "$tmp/c300.png" "$tmp/logo20.png" -geometry +30+20 -compose Over -composite "$tmp/c300b.png"
text_nw "$tmp/c300b.png" "$tmp/c300c.png" "Kesto壁纸" 14 '#24457A' 57 21
im "$tmp/c300c.png" -fill none -stroke 'rgba(40,80,150,0.45)' -strokewidth 1 -draw "rectangle 0.5,0.5 541.5,301.5" "$tmp/300.png"
save "$tmp/300.png" 300

# ---------------------------------------------------------------- 305 306 --
# Main window (layered): blue throughout, for the white prompt, the cards and
# the light-blue "continue" link at the bottom.
W=542; H=384
mask_rr "$tmp/m305.png" $W $H 6 4 535 377 10
shadow_rr "$tmp/s305.png" $W $H 6 4 535 377 10 0.35 4 2
im -size ${W}x${H} gradient:'#2C8BFF-#0C3B9B' \
   -fill 'rgba(255,255,255,0.06)' -draw "circle 470,40 560,40" \
   -fill 'rgba(255,255,255,0.05)' -draw "circle 400,-40 470,-40" \
   -fill 'rgba(255,255,255,0.04)' -draw "circle 20,170 90,170" \
   -fill none -stroke 'rgba(255,255,255,0.10)' -strokewidth 1.2 \
   -draw "path 'M 0,150 Q 140,120 271,150 T 542,140'" \
   -draw "path 'M 0,160 Q 150,132 280,162 T 542,150'" \
   -stroke 'rgba(255,255,255,0.12)' -strokewidth 1 -draw "line 20,318 522,318" \
   -stroke none -fill 'rgba(0,10,40,0.12)' -draw "rectangle 0,319 542,384" \
   "$tmp/c305.png"
# Help bubble beside the prompt.
im -size 64x64 xc:none -fill 'rgba(255,255,255,0.16)' -draw "circle 31.5,31.5 31.5,2" \
   -fill 'rgba(255,255,255,0.95)' -draw "roundrectangle 12,14,52,44,10,10" -draw "polygon 20,42 30,42 17,54" \
   "$tmp/bub.png"
text_at "$tmp/bub.png" "$tmp/bub2.png" "?" 22 "$BLUE" 32 29 1
logo "$tmp/logo22.png" 22
im "$tmp/c305.png" "$tmp/logo22.png" -geometry +20+15 -compose Over -composite \
   "$tmp/bub2.png" -geometry +34+70 -compose Over -composite "$tmp/c305b.png"
text_nw "$tmp/c305b.png" "$tmp/c305c.png" "Kesto壁纸" 15 '#FFFFFF' 49 16
clip "$tmp/b305.png" "$tmp/c305c.png" "$tmp/m305.png"
im "$tmp/s305.png" "$tmp/b305.png" -compose Over -composite "$tmp/305.png"
save "$tmp/305.png" 305; save "$tmp/305.png" 306

# -------------------------------------------------------------------- 254 --
# Questionnaire (plain window, opaque): blue title band, white body, footer.
W=542; H=384
im -size ${W}x56 gradient:'#2C8BFF-#1A6FEF' \
   -fill 'rgba(255,255,255,0.07)' -draw "circle 470,0 540,0" -draw "circle 380,70 420,70" "$tmp/h254.png"
im -size ${W}x${H} xc:white "$tmp/h254.png" -geometry +0+0 -compose Over -composite \
   -fill '#F6F8FB' -draw "rectangle 0,322 542,384" -fill '#E6EBF2' -draw "line 0,322 542,322" \
   "$tmp/logo20.png" -geometry +20+18 -compose Over -composite "$tmp/c254.png"
text_nw "$tmp/c254.png" "$tmp/c254b.png" "Kesto壁纸卸载" 15 '#FFFFFF' 48 18
im "$tmp/c254b.png" -fill none -stroke '#9FBCE6' -strokewidth 1 -draw "rectangle 0.5,0.5 541.5,383.5" "$tmp/254.png"
save "$tmp/254.png" 254

# -------------------------------------------------------------------- 244 --
# Message box (opaque dialog): blue title band, white body, light footer.
W=542; H=255
im -size ${W}x50 gradient:'#2C8BFF-#1A6FEF' -fill 'rgba(255,255,255,0.07)' -draw "circle 470,0 530,0" "$tmp/h244.png"
im -size ${W}x${H} xc:white "$tmp/h244.png" -geometry +0+0 -compose Over -composite \
   -fill '#F6F8FB' -draw "rectangle 0,178 542,255" -fill '#E6EBF2' -draw "line 0,178 542,178" \
   "$tmp/logo20.png" -geometry +20+15 -compose Over -composite \
   -fill none -stroke '#9FBCE6' -strokewidth 1 -draw "rectangle 0.5,0.5 541.5,254.5" "$tmp/244.png"
save "$tmp/244.png" 244

# ---------------------------------------------------------------- 308-311 --
# Problem cards: frames 0-3 unselected, 4-7 selected (normal, hover, pressed,
# disabled), each carrying an icon, a title and a one-line description.
icon() { # out colour-top colour-bottom glyph glyph-size
  im -size 44x44 xc:none -fill 'rgba(0,0,0,0.12)' -draw "circle 22,23.5 22,3" -channel A -blur 0x1.5 +channel \
     \( -size 42x42 gradient:"$2-$3" \( -size 42x42 xc:black -fill white -draw "circle 20.5,20.5 20.5,0.5" -alpha off \) \
        -alpha off -compose CopyOpacity -composite \) -geometry +1+1 -compose Over -composite "$tmp/ic.png"
  text_at "$tmp/ic.png" "$1" "$4" "$5" '#FFFFFF' 22 21 1
}
card() { # out-strip W H icon title desc
  local w=$2 h=$3 s frames=()
  for s in 0 1 2 3 4 5 6 7; do
    local fill='#FFFFFF' ring=none ringw=0 tcol="$INK" dcol="$SUB" ia=1 badge=0
    case $s in
      0) fill='rgba(255,255,255,0.94)' ;;
      1) fill='#FFFFFF'; ring='#9CC8FF'; ringw=1.5 ;;
      2) fill='#EAF2FF'; ring='#6EA9FF'; ringw=1.5 ;;
      3) fill='rgba(255,255,255,0.75)'; tcol='#7F8A9A'; dcol='#98A2B0'; ia=0.5 ;;
      4) fill='#F4F9FF'; ring="$BLUE"; ringw=2; badge=1 ;;
      5) fill='#EAF3FF'; ring="$BLUE_H"; ringw=2; badge=1 ;;
      6) fill='#DCEAFF'; ring="$BLUE_P"; ringw=2; badge=1 ;;
      7) fill='rgba(244,249,255,0.78)'; ring='#A9C9F7'; ringw=2; tcol='#7F8A9A'; dcol='#98A2B0'; ia=0.5; badge=2 ;;
    esac
    im -size "${w}x${h}" xc:none -fill 'rgba(0,15,60,0.25)' -draw "roundrectangle 2,4,$((w-3)),$((h-2)),8,8" \
       -channel A -blur 0x2 +channel \
       -fill "$fill" -stroke none -draw "roundrectangle 1,1,$((w-2)),$((h-3)),8,8" "$tmp/cf.png"
    if [ "$ring" != none ]; then
      local o
      o=$(awk -v r="$ringw" 'BEGIN{printf "%.2f", 1+r/2+1}')
      im "$tmp/cf.png" -fill none -stroke "$ring" -strokewidth "$ringw" \
         -draw "roundrectangle $o,$o,$(awk -v w="$w" -v o="$o" 'BEGIN{print w-1-o}'),$(awk -v h="$h" -v o="$o" 'BEGIN{print h-3-o}'),7,7" "$tmp/cf.png"
    fi
    im "$4" -channel A -evaluate multiply "$ia" +channel "$tmp/ica.png"
    im "$tmp/cf.png" "$tmp/ica.png" -geometry +14+$(( (h - 2) / 2 - 22 )) -compose Over -composite "$tmp/cf.png"
    text_nw "$tmp/cf.png" "$tmp/cf.png" "$5" 16 "$tcol" 68 $(( h / 2 - 25 )) 1
    text_nw "$tmp/cf.png" "$tmp/cf.png" "$6" 12 "$dcol" 68 $(( h / 2 + 4 ))
    if [ "$badge" != 0 ]; then
      local bc="$ring"
      im "$tmp/cf.png" -fill "$bc" -stroke none -draw "path 'M $((w-36)),1.5 L $((w-10)),1.5 Q $((w-2)),1.5 $((w-2)),10 L $((w-2)),36 Z'" \
         -fill none -stroke white -strokewidth 1.8 \
         -draw "stroke-linecap round stroke-linejoin round polyline $((w-19)),11 $((w-15)),15 $((w-8)),7.5" "$tmp/cf.png"
    fi
    cp "$tmp/cf.png" "$tmp/card$s.png"
    frames+=("$tmp/card$s.png")
  done
  strip "$1" $(( w * 8 )) "$h" "${frames[@]}"
}
icon "$tmp/i308.png" '#FFA24C' '#FF6A2B' "AD" 15
card "$tmp/308.png" 216 106 "$tmp/i308.png" "广告太多" "弹窗广告频繁打扰"; save "$tmp/308.png" 308
icon "$tmp/i309.png" '#FFD15A' '#FFA800' "豆" 18
card "$tmp/309.png" 200 108 "$tmp/i309.png" "壁纸豆丢失" "壁纸豆莫名不见了"; save "$tmp/309.png" 309
icon "$tmp/i310.png" '#A98BFF' '#7450F5' "¥" 20
card "$tmp/310.png" 200 108 "$tmp/i310.png" "动态壁纸要付费" "想用的动态壁纸收费"; save "$tmp/310.png" 310
icon "$tmp/i311.png" '#FF7C7C' '#F0454B' "!" 22
card "$tmp/311.png" 216 106 "$tmp/i311.png" "壁纸无法使用" "设置失败或不显示壁纸"; save "$tmp/311.png" 311

# -------------------------------------------------------------------- 314 --
# Backdrop of the "binding done" page (opaque, behind the card 313).
W=543; H=416
im -size ${W}x${H} gradient:'#EAF3FF-#CFE2FF' \
   -fill 'rgba(255,255,255,0.45)' -draw "circle 80,360 180,360" \
   -fill 'rgba(30,123,255,0.08)' -draw "circle 500,60 590,60" \
   -fill 'rgba(30,123,255,0.06)' -draw "circle 40,40 80,40" \
   -fill 'rgba(255,255,255,0.35)' -draw "circle 470,400 540,400" \
   "$tmp/logo20.png" -geometry +20+15 -compose Over -composite "$tmp/c314.png"
text_nw "$tmp/c314.png" "$tmp/314.png" "Kesto壁纸" 14 '#24457A' 47 16
save "$tmp/314.png" 314

# -------------------------------------------------------------------- 313 --
# White card of the "binding done" page with a tick badge at the top.
W=404; H=264
mask_rr "$tmp/m313.png" $W $H 4 2 399 257 12
shadow_rr "$tmp/s313.png" $W $H 4 2 399 257 12 0.28 3 2
im -size ${W}x${H} xc:white \
   -fill '#E8F2FF' -draw "circle 202,22 202,6" -fill "$BLUE" -draw "circle 202,22 202,10" \
   -fill none -stroke white -strokewidth 2.2 \
   -draw "stroke-linecap round stroke-linejoin round polyline 196.5,22.5 200.5,26.5 208,18.5" "$tmp/c313.png"
clip "$tmp/b313.png" "$tmp/c313.png" "$tmp/m313.png"
im "$tmp/s313.png" "$tmp/b313.png" -compose Over -composite "$tmp/313.png"; save "$tmp/313.png" 313

# -------------------------------------------------------------------- 315 --
# "Beans lost" explanation card; the link "登录找回" sits where the window
# puts its clickable label (150..220, 80..110).
W=476; H=223
mask_rr "$tmp/m315.png" $W $H 2 1 473 220 10
im -size ${W}x${H} xc:white \
   -fill '#F5F9FF' -draw "roundrectangle 18,122 458,184 8,8" \
   "$tmp/i309.png" -geometry +24+22 -compose Over -composite "$tmp/c315.png"
text_nw "$tmp/c315.png" "$tmp/c315.png" "壁纸豆丢失了？别担心" 18 "$INK" 82 20 1
text_nw "$tmp/c315.png" "$tmp/c315.png" "多半是换了账号登录。绑定手机号后重新登录即可找回。" 13 '#5E6A7A' 82 50
text_nw "$tmp/c315.png" "$tmp/c315.png" "已绑定过手机号？" 13 '#5E6A7A' 46 87
text_nw "$tmp/c315.png" "$tmp/c315.png" "登录找回" 14 "$LINK" 154 86
im "$tmp/c315.png" -stroke "$LINK" -strokewidth 1 -draw "line 154,105 210,105" \
   -fill none -stroke "$LINK" -strokewidth 1.4 -draw "stroke-linecap round stroke-linejoin round polyline 212,90 216,95 212,100" "$tmp/c315.png"
step() { # picture n x text
  im "$1" -fill "$BLUE" -stroke none -draw "circle $(( $3 + 11 )),153 $(( $3 + 11 )),142" "$1"
  text_at "$1" "$1" "$2" 13 '#FFFFFF' $(( $3 + 11 )) 152 1
  text_nw "$1" "$1" "$4" 13 "$INK" $(( $3 + 28 )) 144
}
step "$tmp/c315.png" 1 38 "绑定手机号"
im "$tmp/c315.png" -fill none -stroke '#A9C9F7' -strokewidth 1.4 -draw "line 146,153 170,153" -draw "stroke-linecap round stroke-linejoin round polyline 166,149 170,153 166,157" "$tmp/c315.png"
step "$tmp/c315.png" 2 182 "重新登录"
im "$tmp/c315.png" -fill none -stroke '#A9C9F7' -strokewidth 1.4 -draw "line 277,153 301,153" -draw "stroke-linecap round stroke-linejoin round polyline 297,149 301,153 297,157" "$tmp/c315.png"
step "$tmp/c315.png" 3 313 "找回壁纸豆"
clip "$tmp/b315.png" "$tmp/c315.png" "$tmp/m315.png"
im -size ${W}x${H} xc:none -fill 'rgba(8,30,70,0.22)' -draw "roundrectangle 2,2,473,222,10,10" -channel A -blur 0x1.2 +channel \
   "$tmp/b315.png" -compose Over -composite "$tmp/315.png"; save "$tmp/315.png" 315

# -------------------------------------------------------------------- 319 --
# Phone binding form (opaque). The window shows it shifted by (-3, -5): the
# fields sit under the window's click areas (130,130)/(130,190) 278 x 40.
W=540; H=341
field() { # picture x0 y0 x1 y1
  im "$1" -fill white -stroke "$LINE" -strokewidth 1 -draw "roundrectangle $2.5,$3.5,$4.5,$5.5,4,4" "$1"
}
im \( -size ${W}x150 gradient:'#EAF3FF-#FFFFFF' \) \( -size ${W}x191 xc:white \) -append +repage \
   -fill 'rgba(30,123,255,0.06)' -draw "circle 480,20 540,20" -draw "circle 60,100 90,100" \
   "$tmp/c319.png"
text_at "$tmp/c319.png" "$tmp/c319.png" "绑定手机号，免费领取 200 壁纸豆" 20 "$INK" 270 50 1
text_at "$tmp/c319.png" "$tmp/c319.png" "壁纸豆可用于购买付费动态壁纸" 13 "$SUB" 270 86
field "$tmp/c319.png" 133 135 410 174
field "$tmp/c319.png" 133 195 410 234
# Phone glyph and code glyph at the fields' left ends.
im "$tmp/c319.png" -fill none -stroke '#A7B1BF' -strokewidth 1.3 \
   -draw "roundrectangle 142.5,145.5,151.5,164.5,2,2" -draw "line 145.5,161 148.5,161" \
   -draw "roundrectangle 141.5,208.5,152.5,222.5,2,2" -draw "path 'M 144,208.5 L 144,205 Q 147,200.5 150,205 L 150,208.5'" \
   "$tmp/c319.png"
text_nw "$tmp/c319.png" "$tmp/c319.png" "请输入手机号" 13 "$HINT" 160 151
text_nw "$tmp/c319.png" "$tmp/c319.png" "请输入短信验证码" 13 "$HINT" 160 207
# The "get code" button's area: a deep-blue segment, so that the program's
# light-blue caption and countdown stand out.
im "$tmp/c319.png" -fill "$NAVY_T" -stroke none \
   -draw "path 'M 338,195.5 L 406.5,195.5 Q 410.5,195.5 410.5,199.5 L 410.5,230.5 Q 410.5,234.5 406.5,234.5 L 338,234.5 Z'" \
   -fill none -stroke '#E6ECF3' -draw "line 0,330 540,330" \
   -stroke '#9FBCE6' -strokewidth 1 -draw "rectangle 0.5,0.5 539.5,340.5" "$tmp/319.png"
save "$tmp/319.png" 319

# -------------------------------------------------------------------- 322 --
# Contact form (opaque). The window shows it shifted by (-3, 0); the field
# boxes enclose the edit boxes, labels on the left, hints where the text goes.
W=542; H=468
im -size ${W}x60 gradient:'#2C8BFF-#1A6FEF' \
   -fill 'rgba(255,255,255,0.07)' -draw "circle 470,0 540,0" -draw "circle 380,74 420,74" "$tmp/h322.png"
im -size ${W}x${H} xc:white "$tmp/h322.png" -geometry +0+0 -compose Over -composite \
   "$tmp/logo20.png" -geometry +20+20 -compose Over -composite "$tmp/c322.png"
text_nw "$tmp/c322.png" "$tmp/c322.png" "联系专属客服" 15 '#FFFFFF' 48 20
text_at "$tmp/c322.png" "$tmp/c322.png" "留下您的联系方式，客服专员会尽快联系您" 17 "$INK" 271 100 1
text_at "$tmp/c322.png" "$tmp/c322.png" "至少填写一项，信息仅用于本次问题处理" 12 "$SUB" 271 130
row() { # picture top label hint
  local t=$2 b=$(( $2 + 33 ))
  im "$1" -fill white -stroke "$LINE" -strokewidth 1 -draw "roundrectangle 133.5,$t.5,410.5,$b.5,4,4" \
     -stroke '#E3E8EF' -draw "line 178.5,$(( t + 8 )) 178.5,$(( b - 7 ))" "$1"
  text_at "$1" "$1" "$3" 13 '#5E6A7A' 156 $(( t + 17 ))
  text_nw "$1" "$1" "$4" 13 "$HINT" 186 $(( t + 9 ))
}
row "$tmp/c322.png" 177 "手机" "请输入手机号"
row "$tmp/c322.png" 233 "微信" "请输入微信号"
row "$tmp/c322.png" 283 "邮箱" "请输入邮箱地址"
row "$tmp/c322.png" 336 "QQ"   "请输入QQ号"
im "$tmp/c322.png" -fill none -stroke '#9FBCE6' -strokewidth 1 -draw "rectangle 0.5,0.5 541.5,467.5" "$tmp/322.png"
save "$tmp/322.png" 322

# ------------------------------------------------------------------ check --
for id in 237 238 239 240 241 242 244 245 246 247 248 252 254 255 300 301 302 304 305 306 307 \
          308 309 310 311 312 313 314 315 316 319 320 321 322 323; do
  [ -s "$out/$id.png" ] || { echo "missing $id.png" >&2; exit 1; }
done
echo "skin written to $out"
