# Helpers for the scene's end-to-end tests, on top of wine.sh: the stock
# background table, expected pictures composed from the resource library,
# screenshots of the running scene and the measurements made on them (pixel
# differences, changed regions, colours), and runs of the tick-trace build
# with the rules of motion checked on their traces.
#
#   source tests/support/scene.sh
#   tw_begin scene_x 800x600x24; tw_stage plain
#   ts_config_reset; ts_set FISHES dword 0; ts_set DISPLAY dword 3; tw_reg_apply
#   ts_scene_start 800 600 || tw_fail ...      # saver up, first frame drawn
#   ts_scene_shot "$TW_WORK/shot.png"         # the scene's rectangle only
#   ts_expected 3 800 "$TW_WORK/want.png"     # background with its overlays
#   ts_differing "$TW_WORK/shot.png" "$TW_WORK/want.png"
#   ts_scene_stop
#
# Every helper prints its result on standard output; failures are left to the
# caller's tw_expect*.

source "$(dirname "${BASH_SOURCE[0]}")/wine.sh"

# The host rera tool the target build makes for itself, else the host build's.
TS_RERA=${TS_RERA:-$TW_BUILD/rera-host/bin/rera}
[ -x "$TS_RERA" ] || TS_RERA=$TW_TOP/build/host/bin/rera
TS_LIBRARY=${TS_LIBRARY:-$TW_BUILD/bin/ReraDOR.dll}

# Colour distance (percent of full scale) below which two pixels count as the
# same: generous enough for the rounding of 24-bit kernels, far below any
# real change of picture.
TS_FUZZ=${TS_FUZZ:-2}
# Grey-level difference (percent) that marks a pixel as changed in moving
# region measurements.
TS_CHANGE=${TS_CHANGE:-6}

# Where the scene lies on the display (set by ts_scene_start).
TS_W=0
TS_H=0
TS_X=0
TS_Y=0
# 1: screenshots are taken of the saver window instead of the root window
# (8-bit displays: the root's dump shows the default colour map, not the
# saver's private one).
TS_WINDOW_SHOTS=${TS_WINDOW_SHOTS:-0}

# ---------------------------------------------------------------- configuration

# ts_config_reset: queues the removal of every saver setting and of the
# 8-bit display settings (prefixes are kept between runs, so each script
# starts from nothing), then MUTE = 1.
ts_config_reset() {
  tw_reg_drop HKCU "$TW_CONFIG_KEY"
  tw_reg_drop HKLM "$TW_CONFIG_KEY"
  ts_palette_display off
  ts_set MUTE dword 1
}

# ts_set NAME TYPE VALUE: queues one user setting (HKCU); fails for a name
# the saver does not read.
ts_set() {
  tw_config_name "$1" || return 1
  tw_reg_set HKCU "$TW_CONFIG_KEY" "$@"
}

# ts_set_raw NAME REGTYPE:DATA: queues a user setting written as .reg text,
# for values of any registry type ("hex:01,02", "hex(b):...", "dword:...").
ts_set_raw() {
  tw_config_name "$1" || return 1
  TW_REG_LINES+=("[HKEY_CURRENT_USER\\$TW_CONFIG_KEY]" "\"$1\"=$2")
}

# ts_palette_display on|off: what Wine needs to show the saver's own palette
# on an 8-bit display: a private colour map, and drawing done by the X server
# (with Wine's default client-side drawing, windows get only the 20 static
# colours whatever palette is realised).
ts_palette_display() {
  local key='Software\Wine\X11 Driver'
  case "$1" in
    on)
      tw_reg_set HKCU "$key" PrivateColorMap string Y
      tw_reg_set HKCU "$key" ClientSideGraphics string N ;;
    off)
      tw_reg_unset HKCU "$key" PrivateColorMap
      tw_reg_unset HKCU "$key" ClientSideGraphics ;;
  esac
}

# ---------------------------------------------------------------- stock pictures

# Index 0 to 7: the name stem, then overlay A and overlay B as x,y for the
# L / M / S variants; "-" where the background has no such overlay.
TS_STOCK_TABLE=(
  "13 335,273/262,213/213,175 160,390/130,300/107,242"
  "01 500,500/395,390/300,315 -"
  "03 0,360/0,280/0,230 410,68/325,50/255,45"
  "06 400,260/308,200/250,160 230,296/184,230/150,180"
  "07 130,112/100,80/80,65 -"
  "08 0,0/0,0/0,0 -"
  "09 480,290/385,230/305,180 -"
  "12 - -"
)

# ts_stock INDEX WIDTH: sets TS_BG to the background's resource name and
# TS_OVERLAY_A / TS_OVERLAY_B to "NAME X Y" (empty when absent) for the
# variant of the scene width (640 S, 800 M, any other L).
ts_stock() {
  local size field=1 stem a b
  case "$2" in
    640) size=S; field=3 ;;
    800) size=M; field=2 ;;
    *) size=L ;;
  esac
  read -r stem a b <<< "${TS_STOCK_TABLE[$1]}"
  TS_BG=$stem$size
  TS_OVERLAY_A=
  TS_OVERLAY_B=
  if [ "$a" != - ]; then
    TS_OVERLAY_A="${stem}A$size $(cut -d/ -f"$field" <<< "$a" | tr , ' ')"
  fi
  if [ "$b" != - ]; then
    TS_OVERLAY_B="${stem}B$size $(cut -d/ -f"$field" <<< "$b" | tr , ' ')"
  fi
}

# ts_scene_height WIDTH: the logical height of a scene width.
ts_scene_height() {
  case "$1" in 640) echo 480 ;; 800) echo 600 ;; *) echo 768 ;; esac
}

# ts_art NAME: prints the path of a picture of the resource library as PNG
# (keyed and masked pictures with their transparency), extracting it once.
ts_art() {
  local dir=$TW_WORK/art out
  out=$dir/$1.png
  mkdir -p "$dir"
  [ -f "$out" ] || "$TS_RERA" extract "$TS_LIBRARY" "$1" "$out" >&2 || return 1
  echo "$out"
}

# ts_cover_art NAME SCENE_W SCENE_H OUT_W OUT_H OUT: picture NAME of the
# library cropped to the shape of a SCENE_W x SCENE_H scene, its middle
# across and, down, keeping its floor, then scaled smoothly to OUT_W x OUT_H.
ts_cover_art() {
  local art pw ph cw ch y
  art=$(ts_art "$1") || return 1
  read -r pw ph < <(identify -format '%w %h\n' "$art")
  if [ $((pw * $3)) -ge $((ph * $2)) ]; then
    ch=$ph cw=$(( (ph * $2 + $3 / 2) / $3 ))
  else
    cw=$pw ch=$(( (pw * $3 + $2 / 2) / $2 ))
  fi
  y=$((ph - ch))
  convert "$art" -crop "${cw}x$ch+$(( (pw - cw) / 2 ))+$y" +repage \
    -filter Triangle -resize "${4}x$5!" "$6"
}

# ts_expected INDEX WIDTH OUT: the still scene of a stock background, its
# picture with overlay A and then overlay B drawn at their places.
ts_expected() {
  ts_stock "$1" "$2"
  local args=() overlay name x y art
  art=$(ts_art "$TS_BG") || return 1
  for overlay in "$TS_OVERLAY_A" "$TS_OVERLAY_B"; do
    [ -n "$overlay" ] || continue
    read -r name x y <<< "$overlay"
    args+=("$(ts_art "$name")" -geometry "+$x+$y" -composite)
  done
  convert "$art" "${args[@]}" -alpha off "$3"
}

# ts_overlay_mask INDEX WIDTH A|B OUT: white where the overlay is opaque, at
# scene coordinates, black elsewhere.
ts_overlay_mask() {
  ts_stock "$1" "$2"
  local overlay name x y h
  h=$(ts_scene_height "$2")
  [ "$3" = A ] && overlay=$TS_OVERLAY_A || overlay=$TS_OVERLAY_B
  read -r name x y <<< "$overlay"
  convert -size "${2}x$h" xc:black \( "$(ts_art "$name")" -alpha extract -threshold 50% \) \
    -geometry "+$x+$y" -composite "$4"
}

# ---------------------------------------------------------------- the running scene

# ts_saver_window: the X window id of the saver's window.
ts_saver_window() {
  xdotool search --name '^Screen Saver$' 2>/dev/null | head -n 1
}

# ts_shot FILE: a screenshot of the display (or of the saver's window, see
# TS_WINDOW_SHOTS). FILE.xwd keeps the raw dump (fast); any other name is
# converted.
ts_shot() {
  local source=(-root)
  if [ "$TS_WINDOW_SHOTS" = 1 ]; then
    local id
    id=$(ts_saver_window)
    [ -n "$id" ] || return 1
    source=(-id "$id")
  fi
  case "$1" in
    *.xwd) xwd "${source[@]}" -silent > "$1" ;;
    *) xwd "${source[@]}" -silent | convert xwd:- "$1" ;;
  esac
}

# ts_scene_shot FILE: the scene's rectangle of a screenshot.
ts_scene_shot() {
  local raw=$TW_WORK/.shot-$$.xwd
  ts_shot "$raw" || return 1
  convert "$raw" -crop "${TS_W}x${TS_H}+${TS_X}+${TS_Y}" +repage "$1"
  rm -f "$raw"
}

# ts_scene_geometry SCREEN_W SCREEN_H: sets TS_W, TS_H, TS_X, TS_Y to the
# logical scene of that screen and its centred place; with TS_FILL=1 to the
# place and size of the scene scaled to fill the screen ("FILLSCREEN" 1: the
# shape kept, the other side rounded to the nearest pixel, centred); with
# TS_FILL=2 (edge to edge) to the whole screen.
# TS_SCENE_W and TS_SCENE_H are the logical size in every case: edge to edge
# the 4:3 size of the largest 4:3 box inside the screen gives the height, and
# the width is that height times the screen's aspect, rounded.
TS_FILL=${TS_FILL:-0}
ts_scene_geometry() {
  local box=$1
  [ "$TS_FILL" = 2 ] && [ $(( $2 * 4 / 3 )) -lt "$box" ] && box=$(( $2 * 4 / 3 ))
  if [ "$box" -lt 800 ]; then TS_W=640; elif [ "$box" -lt 1024 ]; then TS_W=800; else TS_W=1024; fi
  TS_H=$(ts_scene_height "$TS_W")
  TS_SCENE_W=$TS_W
  TS_SCENE_H=$TS_H
  if [ "$TS_FILL" = 2 ]; then
    TS_SCENE_W=$(( (TS_H * $1 + $2 / 2) / $2 ))
    TS_W=$1 TS_H=$2 TS_X=0 TS_Y=0
    return 0
  fi
  if [ "$TS_FILL" = 1 ]; then
    if [ $(( $1 * TS_H )) -le $(( $2 * TS_W )) ]; then
      TS_H=$(( ($1 * TS_H + TS_W / 2) / TS_W )); TS_W=$1
    else
      TS_W=$(( ($2 * TS_W + TS_H / 2) / TS_H )); TS_H=$2
    fi
  fi
  TS_X=$(( ($1 - TS_W) / 2 ))
  TS_Y=$(( ($2 - TS_H) / 2 ))
  [ "$TS_X" -lt 0 ] && TS_X=0
  [ "$TS_Y" -lt 0 ] && TS_Y=0
  return 0
}

# ts_covered NAME SHOT: checks that no row and no column of the picture is
# black all over (edge to edge: the scene reaches every side).
ts_covered() {
  local w h rows cols
  read -r w h < <(identify -format '%w %h\n' "$2")
  rows=$(convert "$2" -grayscale Brightness -threshold 0 -scale "1x$h!" -format '%[fx:minima>0]' info:)
  cols=$(convert "$2" -grayscale Brightness -threshold 0 -scale "${w}x1!" -format '%[fx:minima>0]' info:)
  tw_expect_eq "$1: every row and every column holds the scene" "$rows $cols" "1 1"
}

# ts_black_around SCREEN_W SCREEN_H SHOT: checks that the parts of a
# screenshot outside the scene (TS_X, TS_Y, TS_W, TS_H) are black, each band
# that exists.
ts_black_around() {
  local sw=$1 sh=$2 shot=$3 right=$((TS_X + TS_W)) bottom=$((TS_Y + TS_H))
  local bands=() band
  [ "$TS_Y" -gt 0 ] && bands+=("${sw}x${TS_Y}+0+0")
  [ "$bottom" -lt "$sh" ] && bands+=("${sw}x$((sh - bottom))+0+$bottom")
  [ "$TS_X" -gt 0 ] && bands+=("${TS_X}x${sh}+0+0")
  [ "$right" -lt "$sw" ] && bands+=("$((sw - right))x${sh}+$right+0")
  for band in "${bands[@]}"; do
    tw_expect_eq "black around the scene on ${sw}x$sh ($band)" \
      "$(convert "$shot" -crop "$band" +repage -format '%[fx:maxima]' info:)" 0
  done
}

# ts_scene_start SCREEN_W SCREEN_H [ARG...]: starts the saver full screen
# (default "/s") and waits until its first frame is on the screen: the scene
# rectangle no longer shows the black loading notice. Fails after 20 s.
ts_scene_start() {
  ts_scene_geometry "$1" "$2"
  shift 2
  [ $# -gt 0 ] || set -- /s
  tw_start "$@"
  tw_saver_ready 20 || return 1
  ts_wait_drawn 20
}

# ts_wait_drawn SECONDS: waits until the scene's rectangle is mostly not black.
ts_wait_drawn() {
  local deadline=$((SECONDS + $1)) raw=$TW_WORK/.wait-$$.xwd mean
  while :; do
    if ts_shot "$raw" 2>/dev/null; then
      mean=$(convert "$raw" -crop "${TS_W}x${TS_H}+${TS_X}+${TS_Y}" +repage \
               -format '%[fx:int(255*mean+0.5)]' info: 2>/dev/null)
      if [ "${mean:-0}" -gt 12 ]; then
        rm -f "$raw"
        sleep 0.3  # let the first frame's copy finish
        return 0
      fi
    fi
    [ "$SECONDS" -ge "$deadline" ] && { rm -f "$raw"; return 1; }
    sleep 0.1
  done
}

# ts_scene_stop: ends the saver with a key (killing it when it does not end;
# TW_EXIT is then "timeout").
ts_scene_stop() {
  tw_key a
  if ! tw_wait_exit 10; then
    tw_kill
    TW_EXIT=timeout
  fi
}

# ---------------------------------------------------------------- measurements

# ts_differing A B [FUZZ]: how many pixels of two pictures of the same size
# differ by more than FUZZ percent (default TS_FUZZ).
# A picture that is missing or cannot be read prints "error" (and fails),
# never a count.
ts_differing() {
  local said status
  said=$(compare -metric AE -fuzz "${3:-$TS_FUZZ}%" "$1" "$2" null: 2>&1)
  status=$?
  # compare exits 0 (alike) or 1 (different) after printing the count, 2 on
  # an error.
  if [ "$status" -gt 1 ] || ! [[ "$said" =~ ^[0-9.]+(e\+?[0-9]+)?$ ]]; then
    echo "ts_differing $1 $2: $said" >&2
    echo error
    return 1
  fi
  awk -v n="$said" 'BEGIN { printf "%d\n", n }'
}

# ts_mean_delta A B [WxH+X+Y]: the mean absolute difference of two pictures
# over a region (all of it by default), 0 to 255, averaged over the channels.
ts_mean_delta() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  convert \( "$1" "${crop[@]}" \) \( "$2" "${crop[@]}" \) -alpha off \
    -compose difference -composite -format '%[fx:255*mean]\n' info:
}

# ts_region_deltas A B COLS ROWS: the mean difference of every cell of a
# COLS x ROWS grid, one number per line.
ts_region_deltas() {
  local w h cw ch i j
  read -r w h < <(identify -format '%w %h\n' "$1")
  cw=$((w / $3))
  ch=$((h / $4))
  for ((j = 0; j < $4; j++)); do
    for ((i = 0; i < $3; i++)); do
      ts_mean_delta "$1" "$2" "${cw}x${ch}+$((i * cw))+$((j * ch))"
    done
  done
}

# ts_change_mask A B OUT: white where two pictures differ by more than
# TS_CHANGE percent in grey level.
ts_change_mask() {
  convert "$1" "$2" -alpha off -compose difference -composite -colorspace gray \
    -threshold "$TS_CHANGE%" "$3"
}

# ts_changed_in A B MASK: how many pixels inside the white of MASK differ.
ts_changed_in() {
  convert "$1" "$2" -alpha off -compose difference -composite -colorspace gray \
    -threshold "$TS_CHANGE%" "$3" -compose multiply -composite \
    -format '%[fx:int(mean*w*h+0.5)]\n' info:
}

# ts_change_box A B: "X Y W H COUNT" of the pixels that differ between two
# pictures: their bounding box and their number ("0 0 0 0 0" for none).
ts_change_box() {
  convert "$1" "$2" -alpha off -compose difference -composite -colorspace gray \
    -threshold "$TS_CHANGE%" -bordercolor black -border 1 \
    -format '%@ %[fx:int(mean*w*h+0.5)]\n' info: 2>/dev/null |
    awk '{ split($1, g, /[x+]/); if ($2 == 0) print "0 0 0 0 0";
           else print g[3] - 1, g[4] - 1, g[1], g[2], $2 }'
}

# ts_colour_box FILE R G B [FUZZ]: "X Y W H COUNT" of the pixels of one colour.
ts_colour_box() {
  convert "$1" -alpha off -fuzz "${5:-3}%" -fill white -opaque "rgb($2,$3,$4)" \
    -fill black +opaque white -bordercolor black -border 1 \
    -format '%@ %[fx:int(mean*w*h+0.5)]\n' info: 2>/dev/null |
    awk '{ split($1, g, /[x+]/); if ($2 == 0) print "0 0 0 0 0";
           else print g[3] - 1, g[4] - 1, g[1], g[2], $2 }'
}

# ts_font_hex HEIGHT WEIGHT QUALITY FACE: a "FONT" value, the hexadecimal
# dump of a LOGFONTA record with those fields (the others 0).
ts_font_hex() {
  printf '%s%s%s%s%s' "$(ts_le32 "$1")" "$(ts_le32 0)" "$(ts_le32 0)" "$(ts_le32 0)" \
    "$(ts_le32 "$2")"
  printf '000000000000%02X00' "$3"
  local face=$4 i
  for ((i = 0; i < 32; i++)); do
    if [ "$i" -lt "${#face}" ] && [ "$i" -lt 31 ]; then
      printf '%02X' "'${face:i:1}"
    else
      printf '00'
    fi
  done
  echo
}

# ts_le32 NUMBER: the four bytes of a 32-bit number, low first, in hexadecimal.
ts_le32() { printf '%08X' $(( $1 & 0xFFFFFFFF )) | sed -E 's/(..)(..)(..)(..)/\4\3\2\1/'; }

# ts_which_stock SHOT WIDTH: "INDEX COUNT" of the stock background (with its
# overlays) that a still scene shot matches best, and how many pixels differ.
ts_which_stock() {
  local index best=-1 least=-1 n want
  for index in 0 1 2 3 4 5 6 7; do
    want=$TW_WORK/art/still-$2-$index.png
    [ -f "$want" ] || ts_expected "$index" "$2" "$want"
    n=$(ts_differing "$1" "$want")
    if [ "$least" -lt 0 ] || [ "$n" -lt "$least" ]; then
      least=$n
      best=$index
    fi
  done
  echo "$best $least"
}

# ts_start_windows ARG...: as tw_start, with Wine's window tracing on too:
# every window text the saver sets (a message box's caption and message
# among them) shows in its log as a "set_window_text" line.
ts_start_windows() {
  TW_RUNS=$((TW_RUNS + 1))
  TW_LOG=$TW_WORK/run-$TW_RUNS.log
  TW_OUT=$TW_WORK/run-$TW_RUNS.out
  echo "run $TW_RUNS: $TW_SAVER_NAME $* (window trace)" > "$TW_LOG.cmd"
  (cd "$TW_STAGE" && WINEDEBUG=-all,+debugstr,+win exec wine "$TW_SCR" "$@") \
    > "$TW_OUT" 2> "$TW_LOG" &
  TW_PID=$!
  TW_PIDS+=("$TW_PID")
}

# ts_window_texts [LOG]: the window texts set, one per line.
ts_window_texts() {
  sed -n 's/.*:trace:win:set_window_text L"\(.*\)"$/\1/p' "${1:-$TW_LOG}"
}

# ts_reduced_library OUT.dll NAME...: a resource library holding everything
# of the built one except the named resources (names as in the library:
# "13BM", "PALFISH", "WAVE" for every sound, or "*@2" for every name ending
# in "@2", the art at twice the size). The build's .res file is filtered and
# linked as rera links the full one.
ts_reduced_library() {
  local out=$1 res=$TW_BUILD/assets/ReraDOR.res
  shift
  [ -f "$res" ] || { echo "ts_reduced_library: no $res" >&2; return 1; }
  perl -e '
    use strict;
    my ($in, $out, @drop) = @ARGV;
    my %drop = map { uc($_) => 1 } @drop;
    my @endings = map { uc(substr($_, 1)) } grep { /^\*/ } @drop;
    open(my $f, "<:raw", $in) or die "$in: $!";
    local $/; my $d = <$f>; close $f;
    my ($pos, $kept) = (0, "");
    # A name or type: 0xFFFF then a 16-bit number, or a zero-ended UTF-16 string.
    my $field = sub {
      my ($at) = @_;
      my $w = unpack("v", substr($d, $at, 2));
      return (unpack("v", substr($d, $at + 2, 2)), $at + 4) if $w == 0xFFFF;
      my $s = "";
      while ((my $c = unpack("v", substr($d, $at, 2))) != 0) { $s .= chr($c); $at += 2 }
      return ($s, $at + 2);
    };
    while ($pos + 8 <= length $d) {
      my ($size, $header) = unpack("V V", substr($d, $pos, 8));
      my ($type, $after) = $field->($pos + 8);
      my ($name) = $field->($after);
      my $total = $header + (($size + 3) & ~3);
      my $drop = $drop{uc $name} || ($type eq "WAVE" && $drop{WAVE}) ||
        grep { substr(uc $name, -length $_) eq $_ } @endings;
      $kept .= substr($d, $pos, $total) unless $drop;
      $pos += $total;
    }
    open(my $o, ">:raw", $out) or die "$out: $!";
    print $o $kept; close $o;
  ' "$res" "$out.res" "$@" || return 1
  i686-w64-mingw32-windres -J res -O coff -i "$out.res" -o "$out.o" &&
    i686-w64-mingw32-gcc -shared -nostdlib -s -Wl,-e,0 -o "$out" "$out.o"
}

# ---------------------------------------------------------------- traced runs
#
# The tick-trace build of the saver (scene/tick_trace.h) logs every actor's
# state after every frame, takes the generator's seed from the environment
# (so a run repeats exactly) and can stop its frame loop after a given tick
# (so a screenshot shows a known frame). Rules of motion are checked on the
# trace, tick by tick; screenshots of paused frames check what only pixels
# show.
#
#   ts_stage_traced plain
#   ts_traced_run 640 480 7 600 "$TW_WORK/neon.trace"  # 640x480, seed 7, 600 ticks
#   ts_rules_hold "the neon swims" "$(ts_fish_rules "$TW_WORK/neon.trace" 0 30 15 -3 0)"
#   ts_paused_shot 640 480 7 212 "$TW_WORK/t212.png"   # the scene after tick 212

TS_TRACE_SAVER=$TW_BUILD/tests/support/tidewater_trace.scr
# The traced saver ticks faster than the real one: the rules are per tick.
TS_TRACE_TICK_MS=${TS_TRACE_TICK_MS:-15}

# ts_stage_traced NAME [FILE...]: tw_stage with the tick-trace build.
ts_stage_traced() { TW_SAVER_BUILD=$TS_TRACE_SAVER tw_stage "$@"; }

# ts_traced_start SCREEN_W SCREEN_H SEED [PAUSE]: starts the staged traced
# saver full screen with that seed (stopping its frame loop after tick PAUSE
# when given) and waits for its window.
ts_traced_start() {
  ts_scene_geometry "$1" "$2"
  TW_TRACE_SEED=$3 TW_TRACE_TICK_MS=$TS_TRACE_TICK_MS TW_TRACE_PAUSE=${4:-} tw_start /s
  tw_saver_ready 20
}

# ts_trace_reached TICK [LOG]: the run has traced tick TICK.
ts_trace_reached() {
  grep -q "OutputDebugStringA \"T $1 " "${2:-$TW_LOG}"
}

# ts_trace_save OUT [LOG]: the run's trace lines, "TICK SLOT KIND ..." each.
ts_trace_save() {
  tw_log "${2:-$TW_LOG}" | sed -n 's/^T //p' > "$1"
}

# ts_traced_run SCREEN_W SCREEN_H SEED TICKS OUT: a traced run of TICKS
# ticks (at least; it is stopped after that), its trace in OUT. Fails when
# the saver did not come up or did not get that far within a minute and a
# half.
ts_traced_run() {
  local deadline=$((SECONDS + 90)) ok=0
  if ts_traced_start "$1" "$2" "$3"; then
    while [ "$SECONDS" -lt "$deadline" ] && tw_running; do
      ts_trace_reached "$4" && { ok=1; break; }
      sleep 0.2
    done
  fi
  ts_scene_stop
  ts_trace_save "$5"
  [ "$ok" = 1 ] || echo "ts_traced_run: tick $4 not reached (seed $3)" >&2
  [ "$ok" = 1 ]
}

# ts_steady_shot OUT.xwd: screenshots (ts_shot) a tenth of a second apart
# until two in a row are the same, so that the last copy to the screen is in;
# the last of them in OUT.xwd. Fails when none came steady within 5 s.
ts_steady_shot() {
  local next=$1.next.xwd i
  ts_shot "$1"
  for i in $(seq 1 50); do
    sleep 0.1
    ts_shot "$next" || break
    if cmp -s "$1" "$next"; then rm -f "$next"; return 0; fi
    mv "$next" "$1"
  done
  rm -f "$next"
  return 1
}

# ts_paused_shot SCREEN_W SCREEN_H SEED TICK OUT.png: the scene's rectangle
# as the saver shows it after tick TICK of a run with that seed (the frame
# loop stopped there), a steady shot; the run's trace goes to OUT.trace.
ts_paused_shot() {
  local raw=$TW_WORK/.paused-$$.xwd ok=0
  if ts_traced_start "$1" "$2" "$3" "$4" && tw_log_wait '^trace paused' 60 &&
     ts_steady_shot "$raw"; then
    ok=1
    convert "$raw" -crop "${TS_W}x${TS_H}+${TS_X}+${TS_Y}" +repage "$5"
  fi
  rm -f "$raw"
  ts_scene_stop
  ts_trace_save "$5.trace"
  [ "$ok" = 1 ] || echo "ts_paused_shot: no steady frame after tick $4 (seed $3)" >&2
  [ "$ok" = 1 ]
}

# ts_still_screen SCREEN_W SCREEN_H OUT: the scene as configured, once its
# screen is steady: the whole screen in OUT.screen.png and the scene's
# rectangle in OUT; the scene is stopped after. Fails when it did not come up
# or never held still.
ts_still_screen() {
  local ok=0
  if ts_scene_start "$1" "$2" && ts_steady_shot "$3.xwd"; then
    convert "$3.xwd" "$3.screen.png"
    convert "$3.xwd" -crop "${TS_W}x${TS_H}+${TS_X}+${TS_Y}" +repage "$3"
    ok=1
  fi
  ts_scene_stop
  [ "$ok" = 1 ]
}

# ts_moving_boxes TRACE TICK: the scene rectangles "X Y W H" of everything
# that moves at tick TICK of a trace: the fish that are not still (still ones
# are the background's overlays), the puffer, the text and the bubble bursts.
ts_moving_boxes() {
  awk -v t="$2" '$1 != t { next }
    $3 != "fish" || $9 != 0 { print $4, $5, $6, $7 }
    $3 == "fish" && $14 == 1 { print $16, $17, 160, 120 }' "$1"
}

# ts_scaled_boxes TRACE TICK SCENE_W SCENE_H SHOWN_W SHOWN_H: the boxes of
# ts_moving_boxes, scaled from the scene to the size it is shown at and
# widened by what the smoothing filter reads, as "LEFT TOP RIGHT BOTTOM".
ts_scaled_boxes() {
  ts_moving_boxes "$1" "$2" | awk -v w="$3" -v h="$4" -v sx="$5" -v sy="$6" '
    { l = int($1 * sx / w) - 3; t = int($2 * sy / h) - 3
      printf "%d %d %d %d\n", l, t, l + int($3 * sx / w) + 7, t + int($4 * sy / h) + 7 }'
}

# ts_differing_outside A B < BOXES: how many pixels of two pictures of the
# same size differ at all, outside the boxes read as "LEFT TOP RIGHT BOTTOM"
# lines (corners included). No boxes prints "error" (and fails): a check
# that masks nothing out is not the check meant.
ts_differing_outside() {
  local draw=() left top right bottom
  while read -r left top right bottom; do
    draw+=(-draw "rectangle $left,$top $right,$bottom")
  done
  if [ ${#draw[@]} -eq 0 ]; then
    echo "ts_differing_outside: no boxes" >&2
    echo error
    return 1
  fi
  convert "$1" -fill black "${draw[@]}" "$1.outside.png" &&
    convert "$2" -fill black "${draw[@]}" "$2.outside.png" &&
    ts_differing "$1.outside.png" "$2.outside.png" 0
}

# ts_paused_check SCREEN_W SCREEN_H NAME SEED TICK TRACE: a shot of tick
# TICK in TW_WORK/NAME.png (ts_paused_shot) and a check that the paused run
# repeated the traced one (TRACE) up to there; a failed check when no steady
# frame came.
ts_paused_check() {
  local shot=$TW_WORK/$3.png
  if ts_paused_shot "$1" "$2" "$4" "$5" "$shot"; then
    tw_expect "the paused run ($3, tick $5) repeats the traced one" \
      ts_same_run "$6" "$shot.trace" "$5"
  else
    tw_fail "a steady frame after tick $5 ($3)"
  fi
}

# ts_same_run TRACE_A TRACE_B TICK: both traces agree on every tick up to
# TICK (a paused run showed the frame the first run traced).
ts_same_run() {
  cmp -s <(awk -v t="$3" '$1 <= t' "$1") <(awk -v t="$3" '$1 <= t' "$2")
}

# ts_fish_rules TRACE SLOT N M SPEED HOVER: checks the fish of one slot tick
# by tick against its rules (N frames in all, the first M of them the swim
# cycle, SPEED the species' speed, HOVER 1 when it may hover). Prints every
# broken rule ("tick T: ...", at most ten), then one line
# "ticks T turns N bursts N hovers N flips N".
ts_fish_rules() {
  awk -v s="$2" -v N="$3" -v M="$4" -v rec="$5" -v hover="$6" '
    function abs(v) { return v < 0 ? -v : v }
    function bad(what) { if (++nbad <= 10) printf "tick %d: %s\n", t, what }
    # The move of a swimming tick: the speed plus a drift of 0..spread-1 in
    # its direction.
    function moved(dx, v) { d = dx - v; return v > 0 ? d >= 0 && d < spread : d <= 0 && d > -spread }
    function out() { return px < pminx - pw || px > pmaxx }
    $2 != s { next }
    { t = $1; x = $4; y = $5; w = $6; h = $7; f = $8; st = $9; v = $10; mir = $11
      minx = $12; maxx = $13; b = $14; cnt = $15; bx = $16; by = $17 }
    {
      ticks++
      if (rec != 0 && abs(v) != abs(rec)) bad("speed " v)
      if (mir != ((v > 0) != (rec > 0) && rec != 0)) bad("mirror " mir " at speed " v)
      if (!seen) { seen = 1; keep(); next }
      if (t != pt + 1) bad("tick after " pt)
      if (pst == 0 && (x != px || y != py || f != pf || st != 0)) bad("a still actor changed")
      if (pst == 1) {
        if (x != px || y != py) bad("moved while hovering")
        if (f != (pf + 1) % cycle) bad("hover frame " f " after " pf)
        if (st != 1 && st != 2) bad("hovering went to state " st)
        if (st == 2) hovers++
      }
      if (pst == 2) {
        if (turns_on && out()) {
          if (st != 3 || f != M || x != px || v != pv) bad("no turn where the range ends")
          else turns++
        } else {
          if (st != 2 && !(st == 1 && hover)) bad("swimming went to state " st)
          if (f != (pf + 1) % cycle) bad("swim frame " f " after " pf)
          if (!turns_on && out()) {
            if (v != -pv) bad("no flip where the range ends"); else flips++
          } else if (v != pv || y != py) bad("speed or depth changed while swimming")
          if (!moved(x - px, v)) bad("moved " x - px " at speed " v)
        }
      }
      if (pst == 3) {
        if (pf + 1 < N) {
          if (st != 3 || f != pf + 1 || x != px) bad("turn frame " f " after " pf)
        } else if (st != 2 || f != 0 || v != -pv || !moved(x - px, v)) bad("turn did not end at frame " N)
      }
      if (st == 3 && f == trigger) {
        if (!b || cnt != 1 || bx != x + int((w - 160) / 2) || by != y + h - 120)
          bad("no burst at frame " trigger " (" b " " cnt " " bx " " by ")")
      } else if (pb && pcnt <= 29) {
        if (!b || cnt != pcnt + 1 || bx != pbx || by != pby) bad("burst frame " cnt " after " pcnt)
      } else if (b) bad("a burst outside a turn")
      if (pb && !b) bursts++
      keep()
    }
    function keep() { pt = t; px = x; py = y; pw = w; pf = f; pst = st; pv = v; pminx = minx
                      pmaxx = maxx; pb = b; pcnt = cnt; pbx = bx; pby = by }
    BEGIN { turns_on = N != M; cycle = turns_on ? M : N; spread = turns_on ? 3 : 2
            trigger = M + int((N - M) / 2) }
    END { if (!ticks) print "no ticks of slot " s
          printf "ticks %d turns %d bursts %d hovers %d flips %d\n", ticks, turns, bursts, hovers, flips }
  ' "$1"
}

# ts_puffer_rules TRACE SLOT: the puffer's rules, tick by tick; prints as
# ts_fish_rules, then "ticks T full N flips N".
ts_puffer_rules() {
  awk -v s="$2" '
    function bad(what) { if (++nbad <= 10) printf "tick %d: %s\n", t, what }
    $2 != s { next }
    { t = $1; x = $4; y = $5; w = $6; f = $8; tf = $9; v = $10; mir = $11; minx = $12; maxx = $13
      ticks++
      if (v != 2 && v != -2) bad("speed " v)
      if (mir != (v > 0)) bad("mirror " mir " at speed " v)
      if (f < 0 || f > tf || (tf != 4 && tf != 15)) bad("frame " f " of " tf)
      if (f == 15) full++
      if (!seen) {
        seen = 1
        if (v != -2 || f != 1) bad("does not start left at frame 1")
        pstep = 1; keep(); next
      }
      if (pf == 0 ? f != 1 : tf != ptf) bad("turning frame " tf " after " ptf " at frame " pf)
      step = pf == 0 ? 1 : pf == ptf ? -1 : pstep
      if (f != pf + step) bad("frame " f " after " pf)
      if (px < pminx - pw || px > pmaxx) {
        if (v != -pv) bad("no flip where the range ends"); else flips++
      } else if (v != pv || y != py) bad("speed or depth changed")
      if (x != px + v) bad("moved " x - px " at speed " v)
      pstep = f - pf
      keep()
    }
    function keep() { px = x; py = y; pw = w; pf = f; ptf = tf; pv = v; pminx = minx; pmaxx = maxx }
    END { if (!ticks) print "no ticks of slot " s
          printf "ticks %d full %d flips %d\n", ticks, full, flips }
  ' "$1"
}

# ts_text_rules TRACE SLOT SCENE_W SCENE_H: the text line's rules, tick by
# tick; prints as ts_fish_rules, then "ticks T bounces N".
ts_text_rules() {
  awk -v s="$2" -v W="$3" -v H="$4" '
    function bad(what) { if (++nbad <= 10) printf "tick %d: %s\n", t, what }
    $2 != s { next }
    { t = $1; l = $4; top = $5; w = $6; h = $7; v = $8
      ticks++
      if (v != 2 && v != -2) bad("speed " v)
      if (!seen) {
        seen = 1
        if (top < 0 || top >= H - 200) bad("first top " top)
        keep(); next
      }
      if (w != pw || h != ph) bad("its size changed")
      if (pl < -pw || pl > W) {
        if (v != -pv || top < 0 || top >= H - h) bad("bounce to " top " at speed " v)
        else bounces++
      } else if (v != pv || top != ptop) bad("turned or jumped in view")
      if (l != pl + v) bad("moved " l - pl " at speed " v)
      keep()
    }
    function keep() { pl = l; ptop = top; pw = w; ph = h; pv = v }
    END { if (!ticks) print "no ticks of slot " s
          printf "ticks %d bounces %d\n", ticks, bounces }
  ' "$1"
}

# ts_rules_hold DESCRIPTION REPORT: one check that a rules report (from
# ts_*_rules) lists no broken rule; prints the report's last line.
ts_rules_hold() {
  local broken
  broken=$(sed '$d' <<< "$2")
  tw_expect_eq "$1 ($(tail -n 1 <<< "$2"))" "$broken" ""
}

# ts_count REPORT NAME: a count from the last line of a rules report.
ts_count() {
  tail -n 1 <<< "$1" | awk -v n="$2" '{ for (i = 1; i < NF; i++) if ($i == n) print $(i + 1) }'
}

# ts_clip PICTURE X Y W H: the crop geometry "WxH+X+Y" of a rectangle
# clipped to a picture; nothing when nothing of it lies inside.
ts_clip() {
  local x=$2 y=$3 r=$(($2 + $4)) b=$(($3 + $5)) w h
  read -r w h < <(identify -format '%w %h\n' "$1")
  [ "$x" -lt 0 ] && x=0
  [ "$y" -lt 0 ] && y=0
  [ "$r" -gt "$w" ] && r=$w
  [ "$b" -gt "$h" ] && b=$h
  [ "$r" -gt "$x" ] && [ "$b" -gt "$y" ] && echo "$((r - x))x$((b - y))+$x+$y"
  return 0
}

# ts_changed_rect SHOT WANT X Y W H: how many pixels of a rectangle differ
# between two scene pictures.
ts_changed_rect() {
  local crop
  crop=$(ts_clip "$1" "$3" "$4" "$5" "$6")
  [ -n "$crop" ] || { echo 0; return; }
  convert \( "$1" -crop "$crop" +repage \) \( "$2" -crop "$crop" +repage \) -alpha off \
    -compose difference -composite -colorspace gray -threshold "$TS_CHANGE%" \
    -format '%[fx:int(mean*w*h+0.5)]\n' info:
}

# ts_mask_in_rect MASK X Y W H: how many white pixels of a mask lie in a
# rectangle.
ts_mask_in_rect() {
  local crop
  crop=$(ts_clip "$1" "$2" "$3" "$4" "$5")
  [ -n "$crop" ] || { echo 0; return; }
  convert "$1" -crop "$crop" +repage -format '%[fx:int(mean*w*h+0.5)]\n' info:
}
