#!/usr/bin/env bash
# The desk a window test was given: CTest hands each test that asks for
# one (RESOURCE_GROUPS desk:1) a desk of those scripts/run-tests.sh made,
# in CTEST_RESOURCE_GROUP_0_DESK ("id:N,slots:1"), and this points the
# test at that desk's display, Wine prefix, home and temporary folder.
# Sourced by scripts/wine-run.sh; run as `desk.sh COMMAND...` for the
# tests that are scripts.  A test given no desk keeps the run's own
# display and prefix.
if [ -n "${CTEST_RESOURCE_GROUP_0_DESK:-}" ] && [ -n "${TRESKEL_DESKS:-}" ]; then
  _desk="${CTEST_RESOURCE_GROUP_0_DESK#id:}"
  . "$TRESKEL_DESKS/${_desk%%,*}/env" || { echo "desk.sh: no desk ${_desk%%,*} in $TRESKEL_DESKS" >&2; exit 1; }
  unset _desk
fi
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  exec "$@"
fi
