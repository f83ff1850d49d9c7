# The steps the scripts share, sourced by them: the job count, running as
# root, the locales, a display of our own, waiting for a window, the build's
# Wine prefix and copies of it, a sample host. Sourcing it only defines; it
# installs, builds and starts nothing (scripts/install-deps and
# scripts/build-windows do that).

qm_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# How many jobs every build and test run of the scripts uses: QM_JOBS, or
# the machine's cores.
qm_jobs=${QM_JOBS:-$(nproc)}
if [[ ! $qm_jobs =~ ^[1-9][0-9]*$ ]]; then
  echo "QM_JOBS must be a whole number of jobs, 1 or more, not \"$qm_jobs\"" >&2
  return 2
fi

# Runs a command as root: as it is for root, through sudo for anyone else.
as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  else
    sudo "$@"
  fi
}

# ensure_locales LOCALE... generates those of the locales (de_DE.UTF-8, ...)
# the system does not have yet. A window in German needs the German locale
# to exist, and Wine takes the user's language from it.
ensure_locales() {
  local want
  for want in "$@"; do
    locale -a 2>/dev/null | grep -qix "${want/UTF-8/utf8}" && continue
    echo "Generating the locale $want"
    if ! grep -q "^$want UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$want UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
    fi
    as_root locale-gen >/dev/null
  done
}

# start_xvfb [WIDTHxHEIGHT] [--window-manager] starts Xvfb on a display no
# one uses and exports DISPLAY; stop_xvfb ends it (and the window manager).
# Several scripts, of several checkouts, may do this at the same time: a
# display is taken only when Xvfb itself could lock it, and the next one is
# tried when another server got there first.
#
# With --window-manager, openbox runs on it as on a desktop: without one a
# closed dialog leaves the window inactive, and shortcuts such as Ctrl+Z do
# nothing. QM_DISPLAY_FROM picks where the search starts (100 by default).
xvfb_pid=""
xvfb_wm_pid=""

start_xvfb() {
  local size=1024x768 wm=no arg
  for arg in "$@"; do
    case $arg in
      --window-manager) wm=yes ;;
      *) size=$arg ;;
    esac
  done
  local first=${QM_DISPLAY_FROM:-100} n
  for ((n = first + RANDOM % 40; n < first + 400; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    local waited
    for waited in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    # Ours only if it runs and its lock names it.
    if kill -0 "$xvfb_pid" 2>/dev/null && [[ $(tr -d ' ' </tmp/.X$n-lock 2>/dev/null) == "$xvfb_pid" ]]; then
      export DISPLAY=:$n
      if [[ $wm == yes ]]; then
        openbox >/dev/null 2>&1 &
        xvfb_wm_pid=$!
        sleep 0.5
      fi
      return 0
    fi
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  echo "No free X display from :$first on" >&2
  return 1
}

stop_xvfb() {
  local pid
  for pid in $xvfb_wm_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  xvfb_pid=""
  xvfb_wm_pid=""
  return 0
}

# wait_for_window TITLE [SECONDS] prints the id of the first visible window
# of DISPLAY whose title holds TITLE, waiting up to SECONDS (60) for it;
# fails when none came.
wait_for_window() {
  local title=$1 tries=$((${2:-60} * 5)) id
  for ((; tries > 0; tries--)); do
    id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1 || true)
    if [[ -n $id ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# use_wine points WINEPREFIX at the build's Wine prefix, whose account is
# "Büro" (scripts/wine-run), and boots it when it is new; it sets wine_run,
# qmhost_exe and app_exe. A prefix made for another account is made anew.
# The tests start from this prefix: whatever is installed for a run goes
# into a copy (copy_wine_prefix).
use_wine() {
  export WINEPREFIX=$qm_top/build/windows/wineprefix
  wine_run=$qm_top/scripts/wine-run
  qmhost_exe=$qm_top/build/windows/host/qmhost.exe
  app_exe=$qm_top/build/windows/window/QMReplace.exe
  if [[ -f $WINEPREFIX/system.reg && ! -d "$WINEPREFIX/drive_c/users/${QM_WINE_USER:-Büro}" ]]; then
    echo "The Wine prefix $WINEPREFIX has no account ${QM_WINE_USER:-Büro}: making it anew"
    rm -rf "$WINEPREFIX"
  fi
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "Making the Wine prefix $WINEPREFIX (once)"
    start_xvfb
    "$wine_run" cmd /c exit >/dev/null 2>&1 || true
    wineserver -w || true
    stop_xvfb
  fi
  # A program that crashes ends at once, with Wine's word on the crash,
  # instead of waiting for a debugger that never comes until ctest gives up
  # on it minutes later.
  if [[ ! -f $WINEPREFIX/.no-crash-debugger ]]; then
    "$wine_run" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
      /v Debugger /t REG_SZ /d false /f >/dev/null 2>&1 &&
      timeout 60 wineserver -w && touch "$WINEPREFIX/.no-crash-debugger"
  fi
}

# copy_wine_prefix DEST [--keep] makes DEST a copy of the booted prefix (a
# registry of its own, in a moment) and points WINEPREFIX at it. With
# --keep a copy already there is used as it is.
copy_wine_prefix() {
  local dest=$1 keep=${2:-}
  if [[ $keep != --keep || ! -f $dest/system.reg ]]; then
    rm -rf "$dest"
    mkdir -p "$(dirname "$dest")"
    cp -a "$WINEPREFIX" "$dest"
  fi
  export WINEPREFIX=$dest
}

# The host functions run qmhost as the array qmhost_cmd says: the Linux
# program, or ("$wine_run" "$qmhost_exe") under Wine.
#
# default_collection prints the ID of the host's default collection.
default_collection() {
  "${qmhost_cmd[@]}" list | tr -d '\r' | awk -F'\t' '$4 == "*" { print $1; exit }'
}

# install_host EDITION FOLDER installs a host there and prints the ID of its
# default collection.
install_host() {
  "${qmhost_cmd[@]}" install --edition "$1" --install-dir "$2" >/dev/null
  default_collection
}

# make_sample_host EDITION FOLDER installs a host and fills its default
# collection with the sample every script shows: 5000 documents in 60
# folders, always the same ones.
make_sample_host() {
  local collection
  collection=$(install_host "$1" "$2")
  "${qmhost_cmd[@]}" generate --collection "$collection" --documents 5000 --folders 60 --seed 7 >/dev/null
}
