#!/usr/bin/env bash
# Runs every benchmark program of the bench build, and the scene's and the
# sound format chain's benchmarks under Wine. Each prints its own comparison
# lines ("ratio A/B V", "setup_ms X", ...); they are gathered at the end so
# the summary reads in one place.
#   scripts/bench.sh [NAME...]   only these programs (scene_bench, acm_chain_bench:
#                                the Wine ones)
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
dir=$top/build/bench/benchmarks
summary=$top/build/bench/summary.txt
: > "$summary"
: > "$summary.raw"
status=0
selected=("$@")
wanted() { [ ${#selected[@]} -eq 0 ] || [[ " ${selected[*]} " == *" $1 "* ]]; }
for program in "$dir"/*; do
  [ -x "$program" ] || continue
  wanted "$(basename "$program")" || continue
  echo "== $(basename "$program")"
  # Repetitions of the cases are interleaved, so that a burst of load from
  # elsewhere falls on both sides of a comparison.
  "$program" --benchmark_min_time=0.2 --benchmark_enable_random_interleaving=true 2>&1 |
    tee -a "$summary.raw" |
    grep -E '^(ratio|[a-z_0-9]+_ms|[a-z_0-9]*_realtime[a-z_0-9]* |build_)' >> "$summary"
  # The program's own status (a pipeline's status is its last command's).
  [ "${PIPESTATUS[0]}" = 0 ] || { echo "$(basename "$program") failed"; status=1; }
done
# The scene's tick, on the target under Wine: scene_bench of the win32 build
# (made here when missing), on a private 1024 x 768 display of each depth, in
# its own prefix, with all species, a text line and background 0 (both
# overlays); once more on 24 bits over background 7, which has no overlays,
# and there with three small species only (clown, neon, aul); on a
# 1920 x 1080 display with the scene filling it ("FILLSCREEN" 1); and on
# 24 bits with the clock ("CLOCK" 2), whose ticks with and without the clock
# are compared within the run; edge to edge ("FILLSCREEN" 2) on one
# 3840 x 2160 monitor, on two 1920 x 1080 monitors each with its own scene,
# and on two 3840 x 2160 monitors, for the memory it takes. Two monitors are
# two heads of a nested X server (SIZE+SIZE). On 3840 x 2160 the scene is
# composed from the twice-size art at 2730 x 1536 and scaled each tick; on a
# 2730 x 1536 monitor it is shown as composed, plain copies: the tick that
# art scaled once, at setup, to the monitor's pixels would give, at that size.
# The 24-bit 1024 x 768 run and the two edge-to-edge ones that the ratios
# compare with it are run three times each (repeated_runs).
scene_bench_runs() {
  local win32=$top/build/win32 bench_exe line depth label display
  [ -f "$win32/build.ninja" ] || cmake --preset win32 > /dev/null || return 1
  cmake --build "$win32" --target scene_bench rerador -j 2 > "$top/build/bench/scene_bench.build.log" 2>&1 ||
    { echo "scene_bench: build failed (build/bench/scene_bench.build.log)"; return 1; }
  bench_exe=$win32/bin/scene_bench.exe
  (
    source "$top/tests/support/scene.sh"
    TW_WORK=$top/build/bench
    trap 'tw_wine_stop; tw_xvfb_stop' EXIT
    tw_prefix bench || return 1
    for run in 1024x768:24:32:0:0x1FFFF:0:0 1024x768:16:16:0:0x1FFFF:0:0 \
               1024x768:8:8:0:0x1FFFF:0:0 1024x768:24:32_no_overlays:7:0x1FFFF:0:0 \
               1024x768:24:32_three_small:7:0x481:0:0 1920x1080:24:fill_1920:0:0x1FFFF:1:0 \
               1024x768:24:32_clock:0:0x1FFFF:0:2 3840x2160:24:edge_3840:0:0x1FFFF:2:0 \
               2730x1536:24:edge_1536:0:0x1FFFF:2:0 \
               1920x1080+1920x1080:24:edge_2x1080:0:0x1FFFF:2:0 \
               3840x2160+3840x2160:24:edge_2x2160:0:0x1FFFF:2:0 \
               $(repeated_runs); do
      IFS=: read -r size depth label display fishes fill clock <<< "$run"
      bench_display "$size" "$depth" || return 1
      tw_reg_drop HKCU "$TW_CONFIG_KEY"
      tw_reg_drop HKLM "$TW_CONFIG_KEY"
      tw_reg_set HKCU "$TW_CONFIG_KEY" MUTE dword 1
      tw_reg_set HKCU "$TW_CONFIG_KEY" FISHES dword "$fishes"
      tw_reg_set HKCU "$TW_CONFIG_KEY" DISPLAY dword "$display"
      tw_reg_set HKCU "$TW_CONFIG_KEY" FILLSCREEN dword "$fill"
      tw_reg_set HKCU "$TW_CONFIG_KEY" CLOCK dword "$clock"
      tw_reg_set HKCU "$TW_CONFIG_KEY" CUSTOMTEXT string "Tidewater benchmark"
      tw_reg_set HKCU "$TW_CONFIG_KEY" FONTCOLOR dword 0xFF00FF
      # Bold 32-pixel Tahoma, not antialiased (quality 3).
      tw_reg_set HKCU "$TW_CONFIG_KEY" FONT string "$(ts_font_hex -32 700 3 Tahoma)"
      # An 8-bit display shows the saver's palette only with a private colour
      # map and drawing done by the X server.
      if [ "$depth" = 8 ]; then ts_palette_display on; else ts_palette_display off; fi
      tw_reg_apply
      echo "-- ${depth}-bit display, $size"
      (cd "$win32/bin" && WINEDEBUG=-all wine "$bench_exe" 250 "$label") 2>&1 ||
        echo "scene_bench_failed $label"
      tw_wine_stop
      tw_xephyr_stop
      tw_xvfb_stop
    done
  )
}

# The runs whose ticks the edge-to-edge ratios compare, twice more, in turn:
# a tick at the saver's pace moves by 15% from one run to the next on this
# kind of machine (all its phases together: the machine, not the scene), so
# those ratios take the median of three runs of each.
repeated_runs() {
  local pass
  for pass in 2 3; do
    echo "1024x768:24:32:0:0x1FFFF:0:0 3840x2160:24:edge_3840:0:0x1FFFF:2:0"
    echo "1920x1080+1920x1080:24:edge_2x1080:0:0x1FFFF:2:0"
  done
}

# bench_display SIZE DEPTH: a private display of SIZE ("WxH"), or two
# monitors side by side ("WxH+WxH": the heads of a nested X server inside a
# display that holds both), with Wine's setting to see them queued.
bench_display() {
  local heads
  if [[ "$1" != *+* ]]; then
    tw_reg_unset HKCU 'Software\Wine\X11 Driver' UseXRandR
    tw_xvfb_start "${1}x$2"
    return
  fi
  IFS=+ read -ra heads <<< "$1"
  tw_xvfb_start "$(awk -F'[x+]' '{ printf "%dx%d", $1 + $3 + 64, ($2 > $4 ? $2 : $4) + 64 }' \
    <<< "$1")x$2" || return 1
  tw_xephyr_start "${heads[@]}" || return 1
  tw_monitors_setting
}

# cpu_ticks PID: the user and system time of a process, in clock ticks.
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk 'NF { print $12 + $13 }'; }

# cpu_share PID SECONDS: the process's share of one core over that long, in
# percent; fails when it ended meanwhile.
cpu_share() {
  local c0 c1 t0 t1
  t0=$(date +%s.%N)
  c0=$(cpu_ticks "$1")
  sleep "$2"
  c1=$(cpu_ticks "$1")
  t1=$(date +%s.%N)
  [ -n "$c0" ] && [ -n "$c1" ] || return 1
  awk -v c=$((c1 - c0)) -v hz="$(getconf CLK_TCK)" -v t0="$t0" -v t1="$t1" \
    'BEGIN { printf "%.2f\n", 100 * c / hz / (t1 - t0) }'
}

# The saver's CPU share with the display off. The trace build, for its test
# power message (tests/support/post_power.exe sends the display-off message
# as the platform does), at the saver's own 80 ms tick, full screen on a
# private 1024 x 768 display with every species, a text line, the clock and
# its sound (recorded, tests/support/sound.sh). The user and system time of
# its Wine process (/proc/PID/stat) over 10 s with the display on (the trace
# build's per-tick lines included), then over 10 s from the moment the
# saver has stopped its frame loop and closed its wave device:
#   traced_cpu_percent_display_on X
#   idle_cpu_percent_display_off X
idle_display_off_run() {
  local win32=$top/build/win32
  [ -f "$win32/build.ninja" ] || cmake --preset win32 > /dev/null || return 1
  cmake --build "$win32" --target tidewater_trace post_power rerador -j 2 \
    > "$top/build/bench/idle.build.log" 2>&1 ||
    { echo "idle_cpu: build failed (build/bench/idle.build.log)"; return 1; }
  (
    source "$top/tests/support/scene.sh"
    source "$top/tests/support/sound.sh"
    TW_WORK=$top/build/bench/idle
    rm -rf "$TW_WORK"
    mkdir -p "$TW_WORK"
    trap 'tw_stop_all; tw_xvfb_stop' EXIT
    tw_prefix bench && tw_xvfb_start 1024x768x24 && ts_stage_traced idle post_power.exe &&
      tw_sound_capture "$TW_WORK/capture" || return 1
    ts_config_reset
    ts_set FISHES dword 0x1FFFF
    ts_set MUTE dword 0
    ts_set CUSTOMTEXT string "Tidewater benchmark"
    ts_set CLOCK dword 2
    tw_sound_driver alsa
    tw_reg_apply
    if ! TS_TRACE_TICK_MS=80 ts_traced_start 1024 768 1 || ! tw_log_wait '^T 50 ' 30; then
      echo "idle_cpu: the saver did not come up"
      return 1
    fi
    echo "traced_cpu_percent_display_on $(cpu_share "$TW_PID" 10)"
    (cd "$TW_STAGE" && WINEDEBUG=-all wine post_power.exe off 2>/dev/null)
    if ! tw_log_wait 'display off; frame loop stopped' 10 || ! tw_log_wait 'wave device closed' 10; then
      echo "idle_cpu: the display-off message was not handled"
      return 1
    fi
    echo "idle_cpu_percent_display_off $(cpu_share "$TW_PID" 10)"
    ts_scene_stop
  )
}

if wanted scene_bench; then
  echo "== scene_bench (Wine)"
  mkdir -p "$top/build/bench"
  scene_bench_runs | tee "$top/build/bench/scene_bench.txt"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  echo "-- the display off"
  idle_display_off_run | tee -a "$top/build/bench/scene_bench.txt"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  grep -q '^scene_bench_failed\|^scene_bench: \|^idle_cpu: ' "$top/build/bench/scene_bench.txt" &&
    status=1
  grep -E '^(ratio|[a-z_0-9]+_ms|[a-z_]+_cpu_percent_|memory_mb_)' \
    "$top/build/bench/scene_bench.txt" >> "$summary" || true
  # The headline: setup on the 32-bit back surface, the full redraw against
  # our tick over the three depths together, the 16-bit tick against the
  # 32-bit one, and the 1024 x 768 tick against the one filling 1920 x 1080
  # (at the saver's pace, and back to back), the tick with the clock against
  # the one without it (same run).
  awk '$1 == "setup_ms_32" { print "setup_ms", $2 }
       $1 == "ratio" && $2 ~ /^TickClock\/Tick_/ { print "ratio TickClock/Tick", $3 }
       $1 ~ /^tick_ms_(32|16|8)$/ && !seen[$1]++ { tick += $2 }
       $1 ~ /^full_ms_(32|16|8)$/ && !seen[$1]++ { full += $2 }
       $1 ~ /^tick_ms_/ { label = substr($1, 9); n[label]++; runs[label, n[label]] = $2
                          if (n[label] == 1) t[label] = $2 }
       $1 ~ /^unpaced_tick_ms_/ { u[substr($1, 17)] = $2 }
       END { # A label run three times counts with its median.
             for (label in n) if (n[label] == 3) {
               a = runs[label, 1]; b = runs[label, 2]; c = runs[label, 3]
               t[label] = a + b + c - (a < b ? (a < c ? a : c) : (b < c ? b : c)) \
                                    - (a > b ? (a > c ? a : c) : (b > c ? b : c))
               printf "tick_ms_%s_median_of_3 %.3f (%s %s %s)\n", label, t[label], a, b, c }
             if (tick > 0) printf "ratio FullRedraw/Tick %.2f\n", full / tick
             if (t["16"] > 0) printf "ratio Tick32/Tick16 %.2f\n", t["32"] / t["16"]
             if (t["fill_1920"] > 0) printf "ratio Tick1024/TickFill1920 %.2f\n", t["32"] / t["fill_1920"]
             if (t["edge_3840"] > 0) printf "ratio Tick1024/TickEdge3840 %.2f\n", t["32"] / t["edge_3840"]
             # Art scaled once to the pixels of the monitor: every part of a
             # tick (restore, draw, copy) grows with the pixels, so its
             # 3840 x 2160 tick is the plain 2730 x 1536 one times their ratio.
             if (t["edge_1536"] > 0 && t["edge_3840"] > 0) {
               est = t["edge_1536"] * (3840 * 2160) / (2730 * 1536)
               printf "tick_ms_edge_3840_art_scaled_at_setup_est %.3f\n", est
               printf "ratio ArtScaledAtSetup/ScaledEachTick_3840 %.2f\n", est / t["edge_3840"] }
             if (t["edge_2x1080"] > 0)
               printf "ratio Tick1024/TickEdge2x1080 %.2f\n", t["32"] / t["edge_2x1080"]
             if (u["fill_1920"] > 0)
               printf "ratio UnpacedTick1024/TickFill1920 %.2f\n", u["32"] / u["fill_1920"] }' \
    "$top/build/bench/scene_bench.txt" >> "$summary"
fi

# The sound format chain, on the target under Wine (its conversions are the
# platform's): acm_chain_bench of the win32 build, made here when missing.
acm_chain_run() {
  local win32=$top/build/win32
  [ -f "$win32/build.ninja" ] || cmake --preset win32 > /dev/null || return 1
  cmake --build "$win32" --target acm_chain_bench -j 2 > "$top/build/bench/acm_chain.build.log" 2>&1 ||
    { echo "acm_chain_bench: build failed (build/bench/acm_chain.build.log)"; return 1; }
  (
    source "$top/tests/support/wine.sh"
    trap 'tw_wine_stop' EXIT
    tw_prefix bench || return 1
    (cd "$win32/bin" && DISPLAY= WINEDEBUG=-all wine "$win32/bin/acm_chain_bench.exe") 2>&1
  )
}

if wanted acm_chain_bench; then
  echo "== acm_chain_bench (Wine)"
  mkdir -p "$top/build/bench"
  acm_chain_run | tee "$top/build/bench/acm_chain.txt"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  grep -E '^acm_chain_(ms|realtime) ' "$top/build/bench/acm_chain.txt" >> "$summary" || status=1
fi

# What a user downloads and installs.
for product in ReraDOR.dll Tidewater-Setup.exe; do
  file=$top/build/win32/bin/$product
  [ -f "$file" ] && awk -v n="$product" -v b="$(stat -c %s "$file")" \
    'BEGIN { printf "size_mb %s %.1f\n", n, b / 1048576 }' >> "$summary"
done

echo "== summary"
cat "$summary"
exit $status
