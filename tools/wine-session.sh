# Sourced by the scripts that run the program or its tests: a Wine prefix of
# the build's own and an Xvfb display, both stopped again on exit.
# Expects BUILD_DIR to be set.

export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64

# Every script, ctest and the benchmarks' harness call Wine by the name
# `wine`, which here is a shim of the build's own. The x64 build's always
# takes the 64-bit loader (Debian's `wine` takes the 32-bit one whenever
# wine32 is installed). A test that ctest marks ORVEK_SESSION=2 runs in the
# second session (orvek_start_second_session), in its prefix and on its
# display; anything else runs in the first.
if [ "${ORVEK_ARCH:-x86}" = x64 ]; then
  export WINELOADER=/usr/lib/wine/wine64
  orvek_loader=$WINELOADER
else
  orvek_loader=/usr/bin/wine
fi
mkdir -p "$BUILD_DIR/wine-bin"
cat >"$BUILD_DIR/wine-bin/wine" <<SHIM
#!/bin/sh
if [ "\${ORVEK_SESSION:-1}" = 2 ] && [ -n "\${ORVEK_SESSION2_PREFIX:-}" ]; then
  export WINEPREFIX="\$ORVEK_SESSION2_PREFIX" DISPLAY="\$ORVEK_SESSION2_DISPLAY"
fi
exec $orvek_loader "\$@"
SHIM
chmod +x "$BUILD_DIR/wine-bin/wine"
export PATH="$BUILD_DIR/wine-bin:$PATH"
ORVEK_PREFIXES=("$WINEPREFIX")
ORVEK_XVFB_PIDS=()
ORVEK_KEEPER_FDS=()

orvek_wine_init() {
  if [ ! -f "$WINEPREFIX/.orvek-ready" ]; then
    echo "wine: creating the prefix $WINEPREFIX (about half a minute)"
    mkdir -p "$WINEPREFIX"
    # Wine's first start would offer to install Mono and Gecko; nothing here needs them.
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      echo "wine: could not create the prefix $WINEPREFIX: \`wine cmd /c exit\` says:" >&2
      wine cmd /c exit >&2 || true
      return 1
    fi
    # Wine draws the window frame itself (Xvfb has no window manager), and
    # a crashing test program ends at once instead of opening a debugger.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Wine makes its message boxes' font with the Western character set,
    # which picks a Latin-only face whatever the display language (Wine's
    # own Arabic "OK" came out as boxes); with the default set the face
    # follows the language, as the boxes of Windows show every script.
    # English keeps its face. lfCharSet is the LOGFONT's 24th byte.
    local key='HKCU\Control Panel\Desktop\WindowMetrics' font
    font=$(wine reg query "$key" /v MessageFont 2>/dev/null | sed -n 's/.*REG_BINARY *//p' | tr -d '\r')
    if [ ${#font} -ge 48 ]; then
      wine reg add "$key" /v MessageFont /t REG_BINARY /d "${font:0:46}01${font:48}" /f >/dev/null 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.orvek-ready"
  fi
  # The frame Wine draws takes its close-box glyph from Marlett, which this
  # Wine does not find in its own fonts folder.
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  # A persistent wineserver makes each later start take well under a second.
  wineserver -p >/dev/null 2>&1 || true
  # A run stopped during the tests at another DPI leaves no other DPI behind.
  "$(dirname "${BASH_SOURCE[0]}")/log-pixels.sh" restore
}

# Y on a desktop with a window manager; N under Xvfb, which has none: Wine
# then draws the frame itself and does not wait for a manager when a window
# goes away (about 2 s a window otherwise).
orvek_wine_managed() {
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$1" /f >/dev/null 2>&1
}

orvek_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  ORVEK_XVFB_PIDS+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 50); do
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      orvek_wine_managed N
      # The session's services and desktop start with the first program
      # that needs them (one importing setupapi does) and keep its output
      # open; started here, on this display, they hold /dev/null instead of
      # a pipe that ctest waits on.
      wine cmd /c exit >/dev/null 2>&1 || true
      orvek_keep_desktop
      return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

# Wine closes the desktop about a second after the last program on it ends,
# and the next program then waits for a new desktop (up to a second more per
# start; once it has happened, after nearly every program). A command prompt
# that waits all session long for input from a FIFO keeps the one desktop
# open; it ends when the session stops or this shell closes the FIFO.
orvek_keep_desktop() {
  local fifo="$WINEPREFIX.desktop-keeper"
  local fd
  rm -f "$fifo"
  mkfifo "$fifo"
  wine cmd <"$fifo" >/dev/null 2>&1 &
  exec {fd}>"$fifo"
  rm -f "$fifo"
  ORVEK_KEEPER_FDS+=("$fd")
}

# A second session beside the first, for tests that spend most of their
# time waiting: a prefix of its own (a copy of the first, made again
# whenever the first is made again) and a display of its own. Exports
# ORVEK_SESSION2_PREFIX and ORVEK_SESSION2_DISPLAY for the shim.
orvek_start_second_session() {
  local first_prefix=$WINEPREFIX first_display=$DISPLAY
  export ORVEK_SESSION2_PREFIX="$first_prefix-2"
  if [ ! -f "$ORVEK_SESSION2_PREFIX/.orvek-ready" ] ||
     [ "$first_prefix/.orvek-ready" -nt "$ORVEK_SESSION2_PREFIX/.orvek-ready" ]; then
    rm -rf "$ORVEK_SESSION2_PREFIX"
    cp -a "$first_prefix" "$ORVEK_SESSION2_PREFIX"
    touch "$ORVEK_SESSION2_PREFIX/.orvek-ready"
  fi
  ORVEK_PREFIXES+=("$ORVEK_SESSION2_PREFIX")
  export WINEPREFIX=$ORVEK_SESSION2_PREFIX
  wineserver -p >/dev/null 2>&1 || true
  orvek_start_xvfb
  export ORVEK_SESSION2_DISPLAY=$DISPLAY
  export WINEPREFIX=$first_prefix DISPLAY=$first_display
}

orvek_session_stop() {
  local fd prefix pid
  for fd in "${ORVEK_KEEPER_FDS[@]}"; do
    exec {fd}>&-
  done
  ORVEK_KEEPER_FDS=()
  for prefix in "${ORVEK_PREFIXES[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  for pid in "${ORVEK_XVFB_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  ORVEK_XVFB_PIDS=()
}
