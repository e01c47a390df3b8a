# Sourced by the script tests.  own_environment DIR: the test's home and
# temporary folder are DIR/home and DIR/tmp, and no setting of the caller's
# that names a folder, a Wine, a session or a test knob (XDG_*, WINE*,
# TRESKEL_*, DBUS_*, PULSE_*) reaches the scripts under test or the Wine
# they start, so that they read and write only below DIR whatever the
# caller's environment holds.  DISPLAY stays: the test run's own display
# (scripts/run-tests.sh).
own_environment() {
  local v
  for v in $(compgen -e); do
    case "$v" in
      XDG_* | WINE* | TRESKEL_* | DBUS_* | PULSE_*) unset "$v" ;;
    esac
  done
  mkdir -p "$1/home" "$1/tmp"
  export HOME="$1/home" TMPDIR="$1/tmp"
}
