# Sourced by the end-to-end check scripts, which define fail(). The promise every command keeps
# on bad input: one line naming what is wrong, and exit status 2.
# expect_error NAME EXPECTED_TEXT COMMAND...
expect_error() {
  local name=$1 expected=$2; shift 2
  local out status
  out=$("$@" 2>&1); status=$?
  if [ $status -ne 2 ]; then fail "$name: exit $status: $out"; return; fi
  if [ "$(printf '%s\n' "$out" | wc -l)" -ne 1 ]; then fail "$name: more than one line: $out"; return; fi
  case $out in
    *"$expected"*) echo "ok $name: $out" ;;
    *) fail "$name: expected '$expected' in: $out" ;;
  esac
}
