# Sourced by the packaging tests: counts failed checks, reports them, and
# makes the test fail at the end if any did.
failures=0
check() { # description command...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
finish() {
  echo "$failures check(s) failed"
  [ "$failures" -eq 0 ]
}
