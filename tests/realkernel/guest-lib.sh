# Helpers for the guest's script (busybox sh). Everything the host reads
# goes over /dev/ttyS1 as lines; a command's output is framed by
#   @@BEGIN name / @@END name exit-status
# and the host answers "@@HOST event ..." with one line when it has acted.

say() {
  echo "$*" >/dev/ttyS1
}

# Sends the output of the finished command `name` (kept in /tmp/out.name).
report() {
  say "@@BEGIN $1"
  sed 's/^@@/@ @/' "/tmp/out.$1" >/dev/ttyS1
  say "@@END $1 $2"
}

# run name command...: runs the command, both streams into its report.
run() {
  local name=$1
  shift
  "$@" >"/tmp/out.$name" 2>&1
  report "$name" $?
}

# run_bg name command...: starts the command; finish name reports it, and
# /tmp/pid.name holds the program's own process id (for signals).
run_bg() {
  local name=$1
  shift
  (
    "$@" >"/tmp/out.$name" 2>&1 &
    echo $! >"/tmp/pid.$name"
    wait $!
    # Renamed into place, so nobody reads a status half written.
    echo $? >"/tmp/rc.$name.new"
    mv "/tmp/rc.$name.new" "/tmp/rc.$name"
  ) &
  while [ ! -s "/tmp/pid.$name" ]; do usleep 100000; done
}

# finish name [seconds]: waits for a run_bg command; one still running
# after the time is reported with status "hung" and killed.
finish() {
  local name=$1 left=${2:-600}
  while [ ! -e "/tmp/rc.$name" ] && [ "$left" -gt 0 ]; do
    sleep 1
    left=$((left - 1))
  done
  if [ -e "/tmp/rc.$name" ]; then
    report "$name" "$(cat "/tmp/rc.$name")"
  else
    kill -KILL "$(cat "/tmp/pid.$name")" 2>/dev/null
    report "$name" hung
  fi
}

# wait_output name pattern [seconds]: until the command's output matches.
wait_output() {
  local left=${3:-300}
  while ! grep -q "$2" "/tmp/out.$1" 2>/dev/null; do
    [ "$left" -gt 0 ] || return 1
    [ -e "/tmp/rc.$1" ] && return 1
    sleep 1
    left=$((left - 1))
  done
}

# wait_path path [seconds]: until the path exists (device nodes come late).
wait_path() {
  local left=${2:-60}
  while [ ! -e "$1" ]; do
    [ "$left" -gt 0 ] || return 1
    sleep 1
    left=$((left - 1))
  done
}

# host event [arguments]: asks the host to act (eject, change, unplug) and
# waits for its answer.
host() {
  local reply
  say "@@HOST $*"
  read -r reply </dev/ttyS1
}
