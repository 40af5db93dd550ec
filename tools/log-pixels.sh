#!/usr/bin/env bash
# Sets the display DPI of the Wine prefix in WINEPREFIX (LogPixels; Wine
# reads it when a program starts) and puts the value found there back.
#   tools/log-pixels.sh set <dpi>    keeps the old value beside the prefix
#   tools/log-pixels.sh restore      puts it back; nothing when none is kept
#   tools/log-pixels.sh with <dpi> <command>...   both around the command
# `wine` is the one first on PATH, as for the tests.
set -euo pipefail
key='HKCU\Control Panel\Desktop'
kept="$WINEPREFIX/.orvek-log-pixels"

case "${1:-}" in
set)
  # A value kept already is the one from before a run that did not restore.
  if [ ! -f "$kept" ]; then
    wine reg query "$key" /v LogPixels 2>/dev/null | tr -d '\r' |
      awk '$1 == "LogPixels" { print $3 }' >"$kept.new" || true
    mv "$kept.new" "$kept"
  fi
  wine reg add "$key" /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null
  ;;
restore)
  [ -f "$kept" ] || exit 0
  old=$(cat "$kept")
  if [ -n "$old" ]; then
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null
  else
    wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 || true
  fi
  rm -f "$kept"
  ;;
with)
  # Runs a command at that DPI and puts the old value back, whatever the
  # command's end; its exit status is the command's.
  dpi=$2
  shift 2
  "$0" set "$dpi"
  status=0
  "$@" || status=$?
  "$0" restore
  exit $status
  ;;
*)
  echo "usage: $0 set <dpi> | restore | with <dpi> <command>..." >&2
  exit 2
  ;;
esac
