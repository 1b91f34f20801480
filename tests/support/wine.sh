# The Wine and Xvfb harness, sourced by the test scripts and the run script.
#
# Every prefix lives under build/wine/NAME and is initialised once; every
# process started here is ended here, by PID or by `wineserver -k` of our own
# prefix. An end-to-end script typically reads:
#
#   source tests/support/wine.sh
#   tw_begin shell_modes 800x600x24     # prefix, private display, cleanup trap
#   tw_stage plain                      # a directory with a copy of tidewater.scr
#   tw_reg_set HKCU "$TW_CONFIG_KEY" DISPLAY dword 3
#   tw_platform legacy; tw_reg_apply    # one regedit import for the lot
#   tw_start /s; tw_window_wait "Screen Saver" 10
#   tw_key Escape; tw_wait_exit 10; tw_expect_eq "key closes" "$TW_EXIT" 0
#   tw_finish                           # summary; exit status = failures
#
# Debug output of the programs (OutputDebugStringA, hence DebugLog) is
# captured from Wine's stderr with WINEDEBUG=-all,+debugstr; tw_log prints it.

TW_TOP=${TW_TOP:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
TW_WINE_ROOT=$TW_TOP/build/wine
# The target build whose products the tests run.
TW_BUILD=${TW_BUILD:-$TW_TOP/build/win32}
TW_SAVER_NAME=tidewater.scr

# The configuration key (TW_CONFIG_KEY), its value names (TW_CONFIG_VALUES)
# and the first-run values (TW_FIRST_RUN_VALUES, NAME NUMBER pairs), as the
# build wrote them from cmake/config_values.cmake.
if [ -f "$TW_BUILD/generated/config_values.sh" ]; then
  source "$TW_BUILD/generated/config_values.sh"
else
  echo "wine.sh: no $TW_BUILD/generated/config_values.sh; configure the build (cmake --preset win32)" >&2
fi

# ---------------------------------------------------------------- prefix

# Wine's own programs and libraries are nine tenths of a prefix's 590 MB, so
# wineboot makes one template prefix and every prefix is a copy of it in
# which those files are hard links. Nothing writes them; every other file
# (the registry, the .ini files) is copied, so each prefix stays its own.
# A prefix and the template are ready for the Wine that made them only: a
# newer Wine would update its files in place, and so in every prefix at once.
TW_WINE_SHARED='dll|exe|drv|sys|nls|ocx|cpl|acm|vxd|tlb|ax|com|ds|icm|mod|msstyles'
TW_WINE_VERSION=$(wine --version 2>/dev/null)

# tw_prefix_ready DIR: DIR is a whole prefix made by this Wine.
tw_prefix_ready() {
  [ -n "$TW_WINE_VERSION" ] && [ "$(cat "$1/.tw-ready" 2>/dev/null)" = "$TW_WINE_VERSION" ]
}

# tw_prefix_template: makes $TW_WINE_ROOT/.template once (its caller holds
# no other Wine lock but the prefix's own).
tw_prefix_template() {
  local template=$TW_WINE_ROOT/.template
  (
    flock 8
    tw_prefix_ready "$template" && exit 0
    rm -rf "$template"
    if ! WINEPREFIX=$template DISPLAY= wineboot -i >/dev/null 2>&1; then
      echo "tw_prefix: wineboot could not make $template" >&2
      exit 1
    fi
    WINEPREFIX=$template wineserver -w
    echo "$TW_WINE_VERSION" > "$template/.tw-ready"
  ) 8>"$TW_WINE_ROOT/.template.lock"
}

# tw_prefix_copy DIR: DIR becomes a copy of the template, sharing only the
# files named by TW_WINE_SHARED.
tw_prefix_copy() {
  local dir=$1 file
  cp -al "$TW_WINE_ROOT/.template" "$dir" || return 1
  rm -f "$dir/.tw-ready"
  while IFS= read -r -d '' file; do
    cp -p "$file" "$file.tw-own" && mv -f "$file.tw-own" "$file" || return 1
  done < <(find "$dir" -type f -regextype posix-extended \
             ! -iregex ".*\\.($TW_WINE_SHARED)" -print0)
}

# tw_prefix NAME: sets WINEPREFIX to build/wine/NAME, initialising it once;
# fails when the prefix could not be made. Native DLLs beside a program win
# over Wine's own for MPR.DLL, so that the test stand-in is found.
tw_prefix() {
  export WINEPREFIX=$TW_WINE_ROOT/$1
  export WINEARCH=win32
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;mpr=n,b"
  export WINEDEBUG=${WINEDEBUG:--all}
  mkdir -p "$TW_WINE_ROOT"
  (
    flock 9
    tw_prefix_ready "$WINEPREFIX" && exit 0
    rm -rf "$WINEPREFIX" "$WINEPREFIX.new"
    if ! tw_prefix_template || ! tw_prefix_copy "$WINEPREFIX.new"; then
      echo "tw_prefix: could not make $WINEPREFIX" >&2
      rm -rf "$WINEPREFIX.new"
      exit 1
    fi
    mv "$WINEPREFIX.new" "$WINEPREFIX" && echo "$TW_WINE_VERSION" > "$WINEPREFIX/.tw-ready"
  ) 9>"$TW_WINE_ROOT/.$1.lock"
}

# tw_wine_stop: ends every process of the current prefix.
tw_wine_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
}

# tw_winpath PATH: the Windows name of a Unix path (through drive Z:).
tw_winpath() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s' "${p//\//\\}"
}

# ---------------------------------------------------------------- display

# tw_xvfb_start WxHxD: starts a private Xvfb on a free display number and
# exports DISPLAY. TW_XVFB_PID holds its PID. Depths 8, 16 and 24 all work
# under Wine (8 is a palette display). The server picks the number itself
# (-displayfd), so that scripts running side by side never share a display.
tw_xvfb_start() {
  tw_x_server TW_XVFB_PID Xvfb -screen 0 "$1"
}

# tw_xephyr_start WxH...: two or more monitors. A nested X server inside the
# private Xvfb, one head per size, side by side (Xinerama); DISPLAY then
# names it and Wine sees the monitors once its XRandR use is off
# (tw_monitors_setting). TW_XEPHYR_PID holds its PID.
tw_xephyr_start() {
  local heads=() size
  for size in "$@"; do heads+=(-screen "$size"); done
  tw_x_server TW_XEPHYR_PID Xephyr +xinerama "${heads[@]}"
}

tw_xephyr_stop() { tw_x_stop TW_XEPHYR_PID; }

# tw_monitors_setting: queues what Wine needs to see Xinerama's monitors.
tw_monitors_setting() {
  tw_reg_set HKCU 'Software\Wine\X11 Driver' UseXRandR string N
}

# tw_x_server PID_VARIABLE SERVER ARG...: starts an X server that picks its
# own display number, exports DISPLAY and puts the server's PID in the
# variable; fails when no display came up within 10 s.
tw_x_server() {
  local variable=$1 number i said pid
  shift
  said=$(mktemp)
  "$@" -displayfd 3 -nolisten tcp -ac 3> "$said" > /dev/null 2>&1 &
  pid=$!
  printf -v "$variable" '%s' "$pid"
  for i in $(seq 1 100); do
    number=$(head -n 1 "$said")
    if [ -n "$number" ]; then
      rm -f "$said"
      export DISPLAY=:$number
      return 0
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$said"
  kill "$pid" 2>/dev/null || true
  printf -v "$variable" '%s' ""
  echo "tw_x_server: $1 could not start a display" >&2
  return 1
}

tw_xvfb_stop() { tw_x_stop TW_XVFB_PID; }

# tw_x_stop PID_VARIABLE: ends the X server whose PID the variable holds.
tw_x_stop() {
  local pid=${!1:-}
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  printf -v "$1" '%s' ""
}

# tw_display_restart WxHxD: a fresh private display of another size or depth
# (the programs of the prefix are ended first).
tw_display_restart() {
  tw_stop_all
  tw_xvfb_stop
  tw_xvfb_start "$1"
}

# ---------------------------------------------------------------- session

TW_PIDS=()
TW_FAILURES=0
TW_CHECKS=0

# tw_begin NAME [WxHxD]: prefix "e2e-NAME", a private display (default
# 800x600x24), a work directory build/e2e/NAME (TW_WORK), and a trap that
# cleans up whatever this session started.
tw_begin() {
  TW_SESSION=$1
  TW_WORK=$TW_TOP/build/e2e/$1
  rm -rf "$TW_WORK"
  mkdir -p "$TW_WORK"
  trap tw_cleanup EXIT
  tw_prefix "e2e-$1" || { echo "no Wine prefix" >&2; exit 1; }
  tw_wine_stop
  tw_xvfb_start "${2:-800x600x24}" || { echo "no display" >&2; exit 1; }
  echo "session $1: prefix $WINEPREFIX, display $DISPLAY, work $TW_WORK"
}

# tw_stop_all: ends the programs this session started, then the prefix's
# wineserver (which takes any Windows process they left behind).
tw_stop_all() {
  local pid
  for pid in "${TW_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${TW_PIDS[@]}"; do
    wait "$pid" 2>/dev/null || true
  done
  TW_PIDS=()
  tw_wine_stop
}

tw_cleanup() {
  tw_stop_all
  tw_xephyr_stop
  tw_xvfb_stop
}

# ---------------------------------------------------------------- checks

tw_pass() { TW_CHECKS=$((TW_CHECKS + 1)); echo "ok   $1"; }
tw_fail() {
  TW_CHECKS=$((TW_CHECKS + 1))
  TW_FAILURES=$((TW_FAILURES + 1))
  echo "FAIL $1"
}

# tw_expect_eq DESCRIPTION GOT WANT
tw_expect_eq() {
  if [ "$2" = "$3" ]; then tw_pass "$1"; else tw_fail "$1: got '$2', want '$3'"; fi
}

# tw_expect DESCRIPTION COMMAND...: passes when the command succeeds.
tw_expect() {
  local what=$1
  shift
  if "$@"; then tw_pass "$what"; else tw_fail "$what"; fi
}

# tw_expect_range DESCRIPTION VALUE LOW HIGH (numbers, bounds included); a
# VALUE that is no number (an empty or failed measurement) fails.
tw_expect_range() {
  if ! [[ "$2" =~ ^-?[0-9]+(\.[0-9]*)?([eE][-+]?[0-9]+)?$ ]]; then
    tw_fail "$1: '$2' is no number"
  elif awk -v v="$2" -v lo="$3" -v hi="$4" 'BEGIN { exit !(v >= lo && v <= hi) }'; then
    tw_pass "$1 ($2)"
  else
    tw_fail "$1: $2 not within $3..$4"
  fi
}

# tw_finish: prints the summary and exits non-zero when a check failed or
# none was made.
tw_finish() {
  echo "$TW_SESSION: $((TW_CHECKS - TW_FAILURES)) of $TW_CHECKS checks passed"
  exit $((TW_FAILURES > 0 || TW_CHECKS == 0))
}

# ---------------------------------------------------------------- registry

TW_REG_LINES=()

# tw_reg_set ROOT KEY NAME TYPE VALUE: queues a value for the next
# tw_reg_apply. ROOT is HKCU or HKLM; TYPE is dword (decimal or 0x hex) or
# string.
tw_reg_set() {
  local root key=$2 name=$3 type=$4 value=$5
  root=$(tw_reg_root "$1") || return 1
  case "$type" in
    dword) TW_REG_LINES+=("[$root\\$key]" "\"$name\"=dword:$(printf '%08x' "$value")") ;;
    string) TW_REG_LINES+=("[$root\\$key]" "\"$name\"=\"$(tw_reg_escape "$value")\"") ;;
    *) echo "tw_reg_set: unknown type $type" >&2; return 1 ;;
  esac
}

# tw_reg_unset ROOT KEY NAME: queues the removal of one value.
tw_reg_unset() {
  local root
  root=$(tw_reg_root "$1") || return 1
  TW_REG_LINES+=("[$root\\$2]" "\"$3\"=-")
}

# tw_reg_drop ROOT KEY: queues the removal of a key and everything under it.
tw_reg_drop() {
  local root
  root=$(tw_reg_root "$1") || return 1
  TW_REG_LINES+=("[-$root\\$2]")
}

# tw_platform legacy|current [EXE]: the Windows version Wine reports to one
# program: win98 (platform identifier 1) or the prefix's default.
tw_platform() {
  local key="Software\\Wine\\AppDefaults\\${2:-$TW_SAVER_NAME}"
  case "$1" in
    legacy) tw_reg_set HKCU "$key" Version string win98 ;;
    current) tw_reg_unset HKCU "$key" Version ;;
    *) echo "tw_platform: legacy or current" >&2; return 1 ;;
  esac
}

# tw_reg_apply: writes the queued changes as one .reg file and imports it.
tw_reg_apply() {
  [ ${#TW_REG_LINES[@]} -eq 0 ] && return 0
  local file=${TW_WORK:-$TW_TOP/build}/import-$$.reg line status=0
  {
    printf 'REGEDIT4\r\n'
    for line in "${TW_REG_LINES[@]}"; do
      case "$line" in
        \[*) printf '\r\n%s\r\n' "$line" ;;
        *) printf '%s\r\n' "$line" ;;
      esac
    done
  } > "$file"
  TW_REG_LINES=()
  DISPLAY= WINEDEBUG=-all wine regedit /S "$(tw_winpath "$file")" >/dev/null 2>&1 || status=$?
  rm -f "$file"
  return "$status"
}

# tw_reg_value ROOT KEY NAME: prints "TYPE DATA" of one value ("REG_DWORD
# 0x1ffff"), nothing when it is absent (for checks).
tw_reg_value() {
  local root
  root=$(tw_reg_root "$1") || return 1
  WINEDEBUG=-all wine reg query "$root\\$2" /v "$3" 2>/dev/null | tr -d '\r' |
    awk -v n="$3" '$1 == n { $1 = ""; sub(/^ /, ""); print }'
}

# tw_reg_query ROOT KEY NAME: prints the data of one value, without its type.
tw_reg_query() {
  tw_reg_value "$@" | sed -E 's/^[^ ]+ ?//'
}

# tw_config_name NAME: the name is one of the saver's configuration values;
# says so on standard error and fails when it is not (a misspelt name).
tw_config_name() {
  local known
  for known in "${TW_CONFIG_VALUES[@]}"; do
    [ "$known" = "$1" ] && return 0
  done
  echo "tw_config_name: $1 is no configuration value (${TW_CONFIG_VALUES[*]})" >&2
  return 1
}

# tw_first_run: queues the values the installer gives a new user.
tw_first_run() {
  local i
  for ((i = 0; i + 1 < ${#TW_FIRST_RUN_VALUES[@]}; i += 2)); do
    tw_reg_set HKCU "$TW_CONFIG_KEY" "${TW_FIRST_RUN_VALUES[i]}" dword "${TW_FIRST_RUN_VALUES[i + 1]}"
  done
}

tw_reg_root() {
  case "$1" in
    HKCU) echo HKEY_CURRENT_USER ;;
    HKLM) echo HKEY_LOCAL_MACHINE ;;
    *) echo "tw_reg: root must be HKCU or HKLM" >&2; return 1 ;;
  esac
}

tw_reg_escape() {
  local s=${1//\\/\\\\}
  printf '%s' "${s//\"/\\\"}"
}

# ---------------------------------------------------------------- programs

# tw_stage NAME [FILE...]: a directory TW_WORK/NAME holding a copy of
# tidewater.scr (of TW_SAVER_BUILD when set: another build of the saver,
# staged under the same name), the resource library ReraDOR.dll when the
# build has made it (found beside the saver), and the named support files
# (PASSWORD.CPL, MPR.DLL, preview_host.exe) from the build; later runs start
# there.
# TW_STAGE is its path, TW_SCR the saver in it.
tw_stage() {
  TW_STAGE=$TW_WORK/$1
  shift
  rm -rf "$TW_STAGE"
  mkdir -p "$TW_STAGE"
  TW_SCR=$TW_STAGE/$TW_SAVER_NAME
  cp "${TW_SAVER_BUILD:-$TW_BUILD/bin/$TW_SAVER_NAME}" "$TW_SCR" || return 1
  [ -f "$TW_BUILD/bin/ReraDOR.dll" ] && tw_place "$TW_BUILD/bin/ReraDOR.dll" "$TW_STAGE"
  local f
  for f in "$@"; do
    tw_place "$TW_BUILD/tests/support/$f" "$TW_STAGE" || return 1
  done
}

# tw_place FILE DIR: a hard link when it can be made, else a copy.
tw_place() {
  ln -f "$1" "$2/" 2>/dev/null || cp "$1" "$2/"
}

TW_RUNS=0

# tw_start ARG...: starts the staged saver with the arguments, in the
# background, from the stage directory. TW_PID is the process, TW_LOG the
# file its debug output goes to, TW_OUT its standard output.
tw_start() {
  tw_start_program "$TW_SCR" "$@"
}

# tw_start_centred [ARG...]: the pointer to the middle of the display, then
# the staged saver started (default "/s") and waited for until its window is
# up and in the foreground; a failed check when that took over 15 s.
tw_start_centred() {
  local width height
  read -r width height < <(xdotool getdisplaygeometry)
  tw_mouse_to $((width / 2)) $((height / 2))
  [ $# -gt 0 ] || set -- /s
  tw_start "$@"
  tw_saver_ready 15 || tw_fail "the saver comes up"
}

# tw_start_program PROGRAM ARG...: as tw_start for any program; with
# TW_WINE_PRELOAD set, Wine loads that library first (sound.sh's clock).
tw_start_program() {
  local program=$1
  shift
  TW_RUNS=$((TW_RUNS + 1))
  TW_LOG=$TW_WORK/run-$TW_RUNS.log
  TW_OUT=$TW_WORK/run-$TW_RUNS.out
  echo "run $TW_RUNS: $(basename "$program") $*" > "$TW_LOG.cmd"
  (cd "$(dirname "$program")" &&
    WINEDEBUG=-all,+debugstr LD_PRELOAD=${TW_WINE_PRELOAD:-${LD_PRELOAD:-}} exec wine "$program" "$@") \
    > "$TW_OUT" 2> "$TW_LOG" &
  TW_PID=$!
  TW_PIDS+=("$TW_PID")
}

# tw_preview_host WIDTH HEIGHT SECONDS: starts the test host window (staged
# preview_host.exe) and waits for it to print its window handle. Sets
# TW_HOST_PID, TW_HOST_OUT (its output) and TW_HOST_WINDOW; false when no
# handle came within 10 s.
tw_preview_host() {
  tw_start_program "$TW_STAGE/preview_host.exe" "$@"
  TW_HOST_PID=$TW_PID
  TW_HOST_OUT=$TW_OUT
  TW_HOST_WINDOW=
  local i
  for i in $(seq 1 100); do
    TW_HOST_WINDOW=$(head -n 1 "$TW_HOST_OUT" 2>/dev/null | tr -d '\r')
    [ -n "$TW_HOST_WINDOW" ] && return 0
    sleep 0.1
  done
  return 1
}

# tw_wait_exit SECONDS [PID]: waits for the program to end; TW_EXIT is its
# exit code (a Windows -1 arrives as 255). Fails, leaving it running, when
# it has not ended in time (TW_EXIT = timeout).
tw_wait_exit() {
  local pid=${2:-$TW_PID} deadline=$((SECONDS * 10 + ${1%.*} * 10))
  while kill -0 "$pid" 2>/dev/null; do
    if [ $((SECONDS * 10)) -ge "$deadline" ]; then
      TW_EXIT=timeout
      return 1
    fi
    sleep 0.1
  done
  wait "$pid"
  TW_EXIT=$?
  return 0
}

# tw_running [PID]: the program is still running.
tw_running() { kill -0 "${1:-$TW_PID}" 2>/dev/null; }

# tw_run SECONDS ARG...: starts the saver and waits for its end; TW_EXIT.
tw_run() {
  local limit=$1
  shift
  tw_start "$@"
  tw_wait_exit "$limit"
}

# tw_kill [PID]: ends one program started here.
tw_kill() {
  kill "${1:-$TW_PID}" 2>/dev/null || true
  wait "${1:-$TW_PID}" 2>/dev/null || true
}

# tw_log [FILE]: the program's debug lines, one per line, unescaped.
tw_log() {
  sed -n 's/^[0-9a-f]*:[a-z]*:debugstr:OutputDebugStringA "\(.*\)"$/\1/p' "${1:-$TW_LOG}" |
    sed -e 's/\\n$//' -e 's/\\n/\n/g' -e 's/\\t/\t/g' -e 's/\\"/"/g' -e 's/\\\\/\\/g'
}

# tw_log_count PATTERN [FILE]: how many debug lines match the extended
# regular expression.
tw_log_count() {
  tw_log "${2:-$TW_LOG}" | grep -c -E -e "$1" || true
}

# tw_log_wait PATTERN SECONDS [FILE]: waits until a debug line matches.
tw_log_wait() {
  local deadline=$((SECONDS + $2))
  while [ "$(tw_log_count "$1" "${3:-$TW_LOG}")" = 0 ]; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# ---------------------------------------------------------------- windows and input

# tw_window_wait TITLE SECONDS: waits for a mapped window with exactly this
# title and prints its X window id.
tw_window_wait() {
  local deadline=$((SECONDS + $2)) id
  while :; do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

# tw_close_box SECONDS: waits for a message box without caption (Wine titles
# it "Error") and closes it with Return; fails when none came.
tw_close_box() {
  local box
  box=$(tw_window_wait Error "$1") || return 1
  xdotool windowactivate --sync "$box" 2>/dev/null || true
  xdotool key --window "$box" Return 2>/dev/null
}

# tw_window_count TITLE: how many mapped X windows have exactly this title.
tw_window_count() {
  xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}

# tw_saver_ready SECONDS [LOG]: waits until the saver's window is up and in
# the foreground (its "window ready" line), so that input reaches it.
tw_saver_ready() {
  tw_log_wait 'window ready' "$1" "${2:-$TW_LOG}"
}

tw_key() { xdotool key --delay 30 "$@"; }
tw_mouse_to() { xdotool mousemove "$1" "$2"; }
tw_mouse_by() { xdotool mousemove_relative -- "$1" "$2"; }
tw_click() { xdotool click "$1"; }
# tw_mouse_where: prints "X Y" of the pointer.
tw_mouse_where() {
  xdotool getmouselocation --shell | awk -F= '/^X=/ { x = $2 } /^Y=/ { y = $2 } END { print x, y }'
}

# tw_screenshot FILE.png: the whole private display.
tw_screenshot() {
  xwd -root -silent | convert xwd:- "$1"
}

# tw_pixel FILE X Y: prints "R G B" (0..255) of one pixel of a picture.
tw_pixel() {
  local at="p{$2,$3}"
  convert "$1" -format \
    "%[fx:int(255*$at.r+0.5)] %[fx:int(255*$at.g+0.5)] %[fx:int(255*$at.b+0.5)]\n" info:
}

# tw_mean FILE X Y W H: prints the mean of all channels over a rectangle of
# a picture, 0 (all black) to 255 (all white).
tw_mean() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -format '%[fx:int(255*mean+0.5)]\n' info:
}

# tw_size FILE: prints "W H" of a picture.
tw_size() {
  identify -format '%w %h\n' "$1"
}
