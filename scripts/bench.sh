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
# and there with three small species only (clown, neon, aul); and on a
# 1920 x 1080 display with the scene filling it ("FILLSCREEN" 1).
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
    for run in 1024x768:24:32:0:0x1FFFF:0 1024x768:16:16:0:0x1FFFF:0 1024x768:8:8:0:0x1FFFF:0 \
               1024x768:24:32_no_overlays:7:0x1FFFF:0 1024x768:24:32_three_small:7:0x481:0 \
               1920x1080:24:fill_1920:0:0x1FFFF:1; do
      IFS=: read -r size depth label display fishes fill <<< "$run"
      tw_xvfb_start "${size}x$depth" || return 1
      tw_reg_drop HKCU "$TW_CONFIG_KEY"
      tw_reg_drop HKLM "$TW_CONFIG_KEY"
      tw_reg_set HKCU "$TW_CONFIG_KEY" MUTE dword 1
      tw_reg_set HKCU "$TW_CONFIG_KEY" FISHES dword "$fishes"
      tw_reg_set HKCU "$TW_CONFIG_KEY" DISPLAY dword "$display"
      tw_reg_set HKCU "$TW_CONFIG_KEY" FILLSCREEN dword "$fill"
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
      tw_xvfb_stop
    done
  )
}

if wanted scene_bench; then
  echo "== scene_bench (Wine)"
  mkdir -p "$top/build/bench"
  scene_bench_runs | tee "$top/build/bench/scene_bench.txt"
  [ "${PIPESTATUS[0]}" = 0 ] || status=1
  grep -q '^scene_bench_failed\|^scene_bench: ' "$top/build/bench/scene_bench.txt" && status=1
  grep -E '^(ratio|[a-z_0-9]+_ms)' "$top/build/bench/scene_bench.txt" >> "$summary" || true
  # The headline: setup on the 32-bit back surface, the full redraw against
  # our tick over the three depths together, the 16-bit tick against the
  # 32-bit one, and the 1024 x 768 tick against the one filling 1920 x 1080
  # (at the saver's pace, and back to back).
  awk '$1 == "setup_ms_32" { print "setup_ms", $2 }
       $1 ~ /^tick_ms_(32|16|8)$/ { tick += $2 } $1 ~ /^full_ms_(32|16|8)$/ { full += $2 }
       $1 ~ /^tick_ms_/ { t[substr($1, 9)] = $2 } $1 ~ /^unpaced_tick_ms_/ { u[substr($1, 17)] = $2 }
       END { if (tick > 0) printf "ratio FullRedraw/Tick %.2f\n", full / tick
             if (t["16"] > 0) printf "ratio Tick32/Tick16 %.2f\n", t["32"] / t["16"]
             if (t["fill_1920"] > 0) printf "ratio Tick1024/TickFill1920 %.2f\n", t["32"] / t["fill_1920"]
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

echo "== summary"
cat "$summary"
exit $status
