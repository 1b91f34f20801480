#!/usr/bin/env bash
# "FILLSCREEN" 1 on an 8-bit 1920 x 1080 screen under Wine: the 1024 x 768
# scene is scaled to 1440 x 1080 at (240, 0) with black bars, nearest
# neighbour (palette indices do not mix). The still filled picture is the
# centred 1:1 picture of the same screen scaled by a nearest-neighbour
# mapping written here, to the pixel, and has no colour the 1:1 picture lacks;
# with every species swimming, a paused frame long after the start equals the
# still picture wherever no creature is (no seams where dirty rectangles
# meet, no trails).
# On 8 bits Wine shows the saver's palette only with a private colour map and
# the X server drawing, and only a dump of the saver's own window shows it.
set -u
source "$(dirname "$0")/../support/scene.sh"
tw_begin scene_fill8 1920x1080x8
ts_stage_traced plain
TS_WINDOW_SHOTS=1

# pictures scale|foreign ARG...: the two measurements made in Python on raw
# RGB pixels (pictures read through ImageMagick as binary PPM):
#   scale SRC OUT W H   SRC scaled to W x H by the saver's nearest-neighbour
#                       mapping, computed here in integers, written to OUT
#   foreign PIC OTHER   how many pixels of PIC have a colour no pixel of OTHER has
# The mapping: destination pixel d of n, from a source of s pixels, samples at
# u = (d + 1/2) * s / n - 1/2 and takes the pixel round(u) = floor(u + 1/2) =
# floor((2d + 1) * s / (2n)), clamped to the picture (the value is always below
# s and never below 0, so the clamp changes nothing). The kernel computes
# u128 = floor((2d + 1) * s * 64 / n) - 64 and takes floor(u128 / 128), plus 1
# when u128's low seven bits are at least 64: floor((u128 + 64) / 128), which is
# floor(floor((2d + 1) * s * 64 / n) / 128) = floor((2d + 1) * s / (2n)), the
# same pixel, with no rounding of its own; its edge cases (u128 below 0 reads
# pixel 0, past the last pixel the last) give the same 0 and s - 1.
pictures() {
  python3 -c '
import subprocess, sys

def read(path):
    data = subprocess.run(["convert", path, "-alpha", "off", "-depth", "8", "ppm:-"],
                          check=True, stdout=subprocess.PIPE).stdout
    # The header: P6, width, height, 255, each field after white space or a
    # comment line, then one white space byte.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at) + 1
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    assert fields[0] == b"P6" and fields[3] == b"255", fields
    w, h = int(fields[1]), int(fields[2])
    pixels = data[at + 1:]
    assert len(pixels) == w * h * 3
    return w, h, pixels

def scale(src, out, w, h):
    sw, sh, pixels = read(src)
    columns = [(2 * x + 1) * sw // (2 * w) for x in range(w)]
    rows = [(2 * y + 1) * sh // (2 * h) for y in range(h)]
    lines = {}
    for r in set(rows):
        line = pixels[r * sw * 3:(r + 1) * sw * 3]
        lines[r] = b"".join(line[3 * c:3 * c + 3] for c in columns)
    body = b"".join(lines[r] for r in rows)
    subprocess.run(["convert", "ppm:-", out], input=b"P6 %d %d 255\n" % (w, h) + body,
                   check=True)

def foreign(path, other):
    known = read(other)[2]
    known = {known[i:i + 3] for i in range(0, len(known), 3)}
    pixels = read(path)[2]
    print(sum(1 for i in range(0, len(pixels), 3) if pixels[i:i + 3] not in known))

if sys.argv[1] == "scale":
    scale(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]))
else:
    foreign(sys.argv[2], sys.argv[3])
' "$@"
}

# configure FILL FISHES [TEXT]: background 0 on the palette screen with
# "FILLSCREEN" FILL, the species of the FISHES mask and the text, if any.
configure() {
  ts_config_reset
  ts_palette_display on
  ts_set DISPLAY dword 0
  ts_set FILLSCREEN dword "$1"
  ts_set FISHES dword "$2"
  [ -n "${3:-}" ] && ts_set CUSTOMTEXT string "$3"
  tw_reg_apply
}

# still FILL OUT: background 0 without fish on the palette screen, once the
# screen is steady: the scene's rectangle in OUT and the whole screen in
# OUT.screen.png.
still() {
  configure "$1" 0
  ts_still_screen 1920 1080 "$2" ||
    tw_fail "the scene comes up and holds still with FILLSCREEN $1"
}

# ---------------------------------------------------------------- the 1:1 picture

TS_FILL=0
centred=$TW_WORK/centred.png
still 0 "$centred"
want=$TW_WORK/want-0.png
ts_expected 0 1024 "$want"
# It is the background (in the palette's colours), so that the comparisons
# below compare pictures of the scene, not two empty screens.
worst=$(ts_region_deltas "$centred" "$want" 4 4 | sort -g | tail -n 1)
tw_expect_range "the centred 1:1 scene is background 0 (worst of 16 cells)" "$worst" 0 12

# ---------------------------------------------------------------- filled

TS_FILL=1
filled=$TW_WORK/filled.png
still 1 "$filled"
# Where the picture is, measured: the bounding box of what is not black.
tw_expect_eq "the filled scene's place and size on the screen" \
  "$(convert "$filled.screen.png" -format '%@' info:)" "1440x1080+240+0"
tw_expect_eq "the saver says where its view is" \
  "$(tw_log | grep -c 'view 0 at 240,0 1440x1080 on monitor 0,0 1920x1080')" 1
ts_black_around 1920 1080 "$filled.screen.png"

reference=$TW_WORK/reference.png
pictures scale "$centred" "$reference" 1440 1080
tw_expect_eq "the filled scene is the 1:1 scene scaled nearest-neighbour (differing pixels)" \
  "$(ts_differing "$filled" "$reference" 0)" 0
tw_expect_eq "the filled scene has only colours of the 1:1 scene (pixels of other colours)" \
  "$(pictures foreign "$filled" "$centred")" 0
# The colour check tells smooth scaling apart: the same picture scaled
# bilinearly is full of mixed colours.
convert "$centred" -filter Triangle -resize 1440x1080! "$TW_WORK/smooth.png"
tw_expect_range "a smooth scaling of the 1:1 scene has mixed colours (pixels)" \
  "$(pictures foreign "$TW_WORK/smooth.png" "$centred")" 100000 1555200

# ---------------------------------------------------------------- swimming

# Every species over background 0, long after the start: outside the boxes of
# the creatures, their bubbles and the text, scaled exactly as the nearest
# mapping reaches them, the frame is the still filled picture to the pixel.
configure 1 0x1FFFF Tidewater
tick=750
shot=$TW_WORK/swimming.png
if ts_paused_shot 1920 1080 9 "$tick" "$shot"; then
  ts_moving_boxes "$shot.trace" "$tick" | awk '
    # ceil(p / q) for q > 0 and p of either sign.
    function up(p, q) { return p >= 0 ? int((p + q - 1) / q) : -int(-p / q) }
    # The first destination pixel of n whose nearest source pixel (of s) is at
    # least a: the least d with (2d + 1) * s >= 2 * a * n.
    function first(a, s, n) { return up(2 * a * n - s, 2 * s) }
    # The destination pixels showing source box x, y, w, h, as inclusive corners.
    { printf "%d %d %d %d\n", first($1, 1024, 1440), first($2, 768, 1080),
        first($1 + $3, 1024, 1440) - 1, first($2 + $4, 768, 1080) - 1 }' > "$shot.boxes"
  tw_expect_range "creatures to mask out at tick $tick" "$(wc -l < "$shot.boxes")" 10 500
  # The frame shows them (it is not the still picture left as it was).
  tw_expect_range "the creatures are on the frame (pixels unlike the still picture)" \
    "$(ts_differing "$shot" "$filled" 0)" 20000 1555200
  tw_expect_eq "where no creature is, the frame is the still picture (differing pixels)" \
    "$(ts_differing_outside "$shot" "$filled" < "$shot.boxes")" 0
else
  tw_fail "a paused frame with every species"
fi

tw_finish
