#!/usr/bin/env bash
# The user's own picture (DISPLAY = 8) under Wine: bitmap files of every
# depth written by ImageMagick. 8-, 16- (5-5-5 and 5-6-5), 24- and 32-bit
# ones, with the 40-byte header or the later 124-byte one, are shown scaled
# to the whole scene; 1- and 4-bit ones, corrupt, foreign and missing files
# fall back to a stock background (exactly one of the eight pictures with its
# overlays) and the saver keeps running. Then the
# preview pane: the saver runs as a child of a 152 x 112 host window, with
# stock and custom pictures, and ends when its host goes.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_custom 800x600x24
tw_stage plain preview_host.exe

pictures=$TW_WORK/pictures
mkdir -p "$pictures"
# A picture unlike any stock background: a four-colour gradient with a white
# block and a dark disc, 300 x 200, so that scaling to 800 x 600 stretches it
# unevenly.
src=$pictures/source.png
convert -size 300x200 xc: \
  -sparse-color bilinear '0,0 #ff4000 299,0 #00c0ff 0,199 #40ff40 299,199 #8000c0' \
  -fill white -draw 'rectangle 40,30 120,90' -fill '#202020' -draw 'circle 210,130 250,130' \
  -alpha off -depth 8 "$src"

convert "$src" -type Palette -colors 256 -compress none BMP3:"$pictures/8.bmp"
convert "$src" -type Palette -colors 256 BMP3:"$pictures/8-rle.bmp"
# 16-bit files carry their masks in the later (124-byte) header form; the
# 40-byte form ImageMagick writes for 16 bits says BI_BITFIELDS but leaves
# the three masks out, so its bits start where the masks should be.
convert "$src" -define bmp:subtype=RGB555 BMP:"$pictures/16-555.bmp"
convert "$src" -define bmp:subtype=RGB565 BMP:"$pictures/16-565.bmp"
convert "$src" -define bmp:subtype=RGB565 BMP3:"$pictures/16-no-masks.bmp"
convert "$src" -type TrueColor BMP3:"$pictures/24.bmp"
convert "$src" -type TrueColor BMP:"$pictures/24-v5.bmp"
convert "$src" -alpha set -define bmp3:alpha=true BMP3:"$pictures/32.bmp"
convert "$src" -alpha set BMP:"$pictures/32-v5.bmp"
convert "$src" -type Palette -colors 16 -compress none BMP3:"$pictures/4.bmp"
convert "$src" -type Bilevel BMP3:"$pictures/1.bmp"
# Corrupt and foreign files.
head -c 3000 "$pictures/24.bmp" > "$pictures/truncated.bmp"
{ printf 'BM'; head -c 4000 /dev/urandom; } > "$pictures/garbage.bmp"
# A valid header claiming 30000 x 30000 pixels over the 300 x 200 of bits.
cp "$pictures/24.bmp" "$pictures/huge.bmp"
printf '\x30\x75\x00\x00\x30\x75\x00\x00' |
  dd of="$pictures/huge.bmp" bs=1 seek=18 conv=notrunc 2>/dev/null
# Top-down rows (negative height), which a device-independent bitmap may have.
cp "$pictures/24.bmp" "$pictures/top-down.bmp"
printf '\x38\xff\xff\xff' | dd of="$pictures/top-down.bmp" bs=1 seek=22 conv=notrunc 2>/dev/null
cp "$src" "$pictures/png-named.bmp"
: > "$pictures/empty.bmp"

# Pixel depths as the files say (a check that ImageMagick wrote what we asked).
depth_of() { od -An -tu2 -j28 -N2 "$1" | tr -d ' '; }
for d in 8 16-555 16-565 16-no-masks 24 24-v5 32 32-v5 4 1; do
  tw_expect_eq "the $d bitmap has ${d%%-*} bits a pixel" "$(depth_of "$pictures/$d.bmp")" "${d%%-*}"
done

# custom_run FILE: full screen with DISPLAY 8 and that CUSTOMFILE; SHOT is
# the scene.
custom_run() {
  ts_config_reset
  ts_set FISHES dword 0
  ts_set DISPLAY dword 8
  ts_set CUSTOMFILE string "$(tw_winpath "$1")"
  tw_reg_apply
  SHOT=$TW_WORK/shot-$(basename "$1" .bmp).png
  rm -f "$SHOT"
  if ts_scene_start 800 600; then
    tw_expect "a screenshot of the scene with $(basename "$1")" ts_scene_shot "$SHOT"
    sleep 0.5
    tw_expect "the saver still runs with $(basename "$1")" tw_running
  else
    tw_fail "no scene with $(basename "$1")"
  fi
  ts_scene_stop
  tw_expect_eq "the saver ends normally with $(basename "$1")" "$TW_EXIT" 0
}

# shown NAME: the bitmap fills the scene, scaled (compared cell by cell with
# ImageMagick's own reading of the file, sampled to 800 x 600).
# 16-bit pixels widen to 8-bit channels by a shift, the low bits 0 (a 5-bit
# 31 is 248), where ImageMagick scales them to 255: the expected picture
# takes the same low bits out (masks for 16-bit samples: 0xF8F8, 0xFCFC).
shown() {
  local file=$pictures/$1.bmp want=$TW_WORK/want-$1.png cells worst widen=()
  case "$1" in
    16-555) widen=(-evaluate And 63736) ;;
    16-565) widen=(-channel RB -evaluate And 63736 -channel G -evaluate And 64764 +channel) ;;
  esac
  custom_run "$file"
  [ -f "$SHOT" ] || return
  convert "$file" -alpha off -depth 16 "${widen[@]}" -sample 800x600! -depth 8 "$want"
  cells=$(ts_region_deltas "$SHOT" "$want" 4 4)
  worst=$(sort -g <<< "$cells" | tail -n 1)
  tw_expect_range "the $1 bitmap is shown scaled to the scene (worst cell difference)" "$worst" 0 4
  read -r index n < <(ts_which_stock "$SHOT" 800)
  tw_expect_range "the $1 bitmap is not a stock background (pixels unlike the nearest)" \
    "$n" 100000 480000
}

# falls_back NAME: a stock background instead, exactly.
falls_back() {
  local file=$pictures/$1.bmp index n
  [ "$1" = missing ] && file=$pictures/no-such-file.bmp
  custom_run "$file"
  [ -f "$SHOT" ] || return
  read -r index n < <(ts_which_stock "$SHOT" 800)
  tw_expect_range "the $1 bitmap falls back to stock background $index (pixels unlike it)" \
    "$n" 0 240
}

for name in 8 16-555 16-565 24 24-v5 32 32-v5; do shown "$name"; done
# Run-length 8-bit and top-down files are valid bitmaps: shown or refused,
# never a black or broken scene. (Today the run-length one falls back and the
# top-down one is shown.)
for name in 8-rle top-down; do
  custom_run "$pictures/$name.bmp"
  [ -f "$SHOT" ] || continue
  want=$TW_WORK/want-$name.png
  convert "$pictures/$name.bmp" -alpha off -sample 800x600! "$want"
  worst=$(ts_region_deltas "$SHOT" "$want" 4 4 | sort -g | tail -n 1)
  read -r index n < <(ts_which_stock "$SHOT" 800)
  echo "$name: worst cell against the picture $worst; nearest stock $index with $n pixels unlike"
  tw_expect "the $name bitmap is shown or falls back to a stock background" \
    awk -v w="$worst" -v n="$n" 'BEGIN { exit !(w <= 4 || n <= 240) }'
done
for name in 4 1 16-no-masks truncated garbage huge png-named empty missing; do
  falls_back "$name"
done

# DISPLAY 8 with no CUSTOMFILE at all.
ts_config_reset
ts_set FISHES dword 0
ts_set DISPLAY dword 8
tw_reg_apply
if ts_scene_start 800 600; then
  ts_scene_shot "$TW_WORK/shot-none.png"
  read -r index n < <(ts_which_stock "$TW_WORK/shot-none.png" 800)
  tw_expect_range "DISPLAY 8 without CUSTOMFILE falls back to a stock background (pixels unlike)" \
    "$n" 0 240
else
  tw_fail "no scene for DISPLAY 8 without CUSTOMFILE"
fi
ts_scene_stop

# ---------------------------------------------------------------- preview

# preview_run SECONDS: a 152 x 112 host for that long and the saver in it;
# waits for both to end. PREVIEW_LOG is the saver's debug output.
preview_run() {
  tw_preview_host 152 112 "$1" || tw_fail "the preview host starts"
  tw_start /p "$TW_HOST_WINDOW"
  PREVIEW_LOG=$TW_LOG
  tw_saver_ready 15 || tw_fail "the preview comes up"
  tw_wait_exit $(( ${1%.*} + 10 )) "$TW_HOST_PID"
  if tw_wait_exit 10; then :; else tw_kill; fi
}

# Under Wine a child window of another process draws into nothing (its
# pixels never reach the host's window), so the pane's contents cannot be
# read back here; what shows is that the preview sets up, ticks and ends
# with its host for every kind of picture.
for case in stock:3 random:11 custom:24 custom:16-565 custom:8 custom:4 custom:garbage; do
  ts_config_reset
  case "$case" in
    stock:*) ts_set DISPLAY dword "${case#stock:}" ;;
    random:*) ts_set DISPLAY dword "${case#random:}" ;;
    custom:*)
      ts_set DISPLAY dword 8
      ts_set CUSTOMFILE string "$(tw_winpath "$pictures/${case#custom:}.bmp")" ;;
  esac
  tw_reg_apply
  preview_run 3
  tw_expect_eq "preview ($case): ends with 0 when its host goes" "$TW_EXIT" 0
  tw_expect_eq "preview ($case): runs in the host's 152 x 112 client area" \
    "$(tw_log "$PREVIEW_LOG" | grep -o 'preview scene in [0-9x]*')" "preview scene in 152x112"
  ticks=$(tw_log "$PREVIEW_LOG" | sed -n 's/.* \([0-9]*\) frame ticks in .*/\1/p')
  tw_expect_range "preview ($case): its tick ran while the host was up" "${ticks:-0}" 10 100
done

tw_finish
