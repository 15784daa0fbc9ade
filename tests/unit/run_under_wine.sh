#!/bin/sh
# run_under_wine.sh WINE PROGRAM [ARGS...]: one unit test program under Wine,
# its output kept in a file and shown when it ends. A Wine process that the
# program starts on its way (the desktop, a service) inherits that file
# rather than ctest's pipe: ctest reads a test's output to its end, and would
# otherwise wait for such a process, which lives as long as any other test of
# the run does.
out=$(mktemp ./.unit-output.XXXXXX) || exit 1
"$@" >"$out" 2>&1
rc=$?
cat "$out"
rm -f "$out"
exit $rc
