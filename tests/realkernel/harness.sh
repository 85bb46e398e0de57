# Host side of the real-kernel sessions (sourced by bash): boots the guest
# in QEMU with the partners' drives, relays its reports into files and
# answers its requests.
#
#   session_dir DIR          the session's scratch folder (one per run, DIR links to it)
#   skip_session REASON      records a skip for the checks and ends with 77
#   boot_guest CPIO QEMU_ARGS...   starts QEMU, the guest runs its script
#   relay_session SECONDS    until the guest is done: reports land in
#                            DIR/results/NAME.out and NAME.rc; "@@HOST event"
#                            lines call the session's on_host_event
#   monitor COMMAND          one command to QEMU's monitor
#   run_with_two_discs CPIO FIRST SECOND
#                            boots the guest with the images FIRST and SECOND
#                            read-only in the two drives of the second IDE
#                            bus, relays the session to its end and marks it
#                            complete
#
# Skips (exit 77) are for machines that cannot run the guest at all; once
# the guest has started, anything wrong is a failure.

: "${REALKERNEL_MEMORY:=1536}"
# The emulator; another name tries the skips on a machine that has QEMU.
: "${REALKERNEL_QEMU:=qemu-system-x86_64}"

# Each run gets a folder of its own beside BASE; BASE becomes a link to it
# for the checks. Folders of earlier runs whose session has ended go.
session_dir() {
  local base=$1 old pid
  mkdir -p "$(dirname "$base")"
  for old in "$base".run.*; do
    [ -d "$old" ] || continue
    pid=$(cat "$old/pid" 2>/dev/null) || pid=""
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null && continue
    rm -rf "$old"
  done
  [ -L "$base" ] || rm -rf "$base"
  SESSION=$(mktemp -d "$base.run.XXXXXX")
  echo $$ >"$SESSION/pid"
  mkdir -p "$SESSION/results"
  ln -sfn "$SESSION" "$base"
}

skip_session() {
  echo "skip: $*" | tee "$SESSION/skipped" >&2
  exit 77
}

fail_session() {
  echo "realkernel: $*" | tee "$SESSION/failed" >&2
  exit 1
}

# Whether this machine can boot the guest; skips with the reason if not.
require_guest_tools() {
  command -v "$REALKERNEL_QEMU" >/dev/null || skip_session "$REALKERNEL_QEMU is not installed (package qemu-system-x86)"
  [ -x /bin/busybox ] || skip_session "busybox-static is not installed"
  local kernel
  kernel=$("$REALKERNEL_DIR/make-guest.sh" --kernel) || skip_session "no kernel in /boot (package linux-image-amd64)"
  [ -r "$kernel" ] || skip_session "$kernel is not readable"
  [ -d "/lib/modules/${kernel#/boot/vmlinuz-}" ] || skip_session "no modules for $kernel"
  GUEST_KERNEL=$kernel
}

# The kernel unpacked for QEMU's direct (PVH) boot: under TCG the packed
# kernel spends most of its boot unpacking itself.
unpack_kernel() {
  local magic offset
  for magic in $'\xfd7zXZ' $'\x28\xb5\x2f\xfd' $'\x1f\x8b\x08'; do
    offset=$(LC_ALL=C grep -abo "$magic" "$GUEST_KERNEL" 2>/dev/null | head -n1 | cut -d: -f1) || true
    [ -n "$offset" ] || continue
    case "$magic" in
      $'\xfd7zXZ') tail -c +$((offset + 1)) "$GUEST_KERNEL" | xz -dc >"$SESSION/vmlinux" 2>/dev/null || true ;;
      $'\x28\xb5\x2f\xfd') tail -c +$((offset + 1)) "$GUEST_KERNEL" | zstd -qdc >"$SESSION/vmlinux" 2>/dev/null || true ;;
      *) tail -c +$((offset + 1)) "$GUEST_KERNEL" | gzip -dc >"$SESSION/vmlinux" 2>/dev/null || true ;;
    esac
    # Trailing bytes after the stream make the unpackers complain; the ELF header tells.
    if [ "$(head -c4 "$SESSION/vmlinux" 2>/dev/null | od -An -c | tr -d ' ')" = '177ELF' ]; then
      GUEST_KERNEL=$SESSION/vmlinux
      return
    fi
  done
  rm -f "$SESSION/vmlinux"
}

boot_guest() {
  local cpio=$1
  shift
  mkfifo "$SESSION/ctl.in" "$SESSION/mon.in"
  : >"$SESSION/ctl.out"
  : >"$SESSION/mon.out"
  unpack_kernel
  # KVM is not asked for: where nesting does not work it can hang the guest
  # without an error; REALKERNEL_ACCEL=kvm opts in.
  local accel=${REALKERNEL_ACCEL:-tcg}
  "$REALKERNEL_QEMU" -machine pc,accel=$accel -m "$REALKERNEL_MEMORY" -smp 1 -nodefaults -display none \
    -no-reboot -kernel "$GUEST_KERNEL" -initrd "$cpio" \
    -append "console=ttyS0 panic=-1 rdinit=/init no_timer_check" \
    -serial "file:$SESSION/console.log" -serial "pipe:$SESSION/ctl" -monitor "pipe:$SESSION/mon" \
    "$@" >"$SESSION/qemu.log" 2>&1 &
  QEMU_PID=$!
  # Read-write opens never wait for the other side.
  exec {CTL_IN}<>"$SESSION/ctl.in" {MON_IN}<>"$SESSION/mon.in"
}

monitor() {
  echo "$*" >&"$MON_IN"
  # The monitor answers at once; give the device model time to act.
  sleep 1
}

stop_guest() {
  if [ -n "${QEMU_PID:-}" ]; then
    if kill -0 "$QEMU_PID" 2>/dev/null; then
      echo quit >&"$MON_IN" 2>/dev/null || true
      sleep 2
      kill "$QEMU_PID" 2>/dev/null || true
    fi
    wait "$QEMU_PID" 2>/dev/null || true
    QEMU_PID=
  fi
  # The unpacked kernel is large and made again for every run.
  rm -f "${SESSION:?}/vmlinux"
}

run_with_two_discs() {
  local cpio=$1 first=$2 second=$3
  trap stop_guest EXIT
  boot_guest "$cpio" \
    -drive "if=none,id=disc0,media=cdrom,readonly=on,format=raw,file=$first" \
    -device ide-cd,drive=disc0,bus=ide.1,unit=0,id=ide1-cd0 \
    -drive "if=none,id=disc1,media=cdrom,readonly=on,format=raw,file=$second" \
    -device ide-cd,drive=disc1,bus=ide.1,unit=1,id=ide1-cd1
  relay_session "${REALKERNEL_TIMEOUT:-900}"
  touch "$SESSION/complete"
}

# Relays the guest's lines until it says @@DONE; fails on a time-out or a
# guest that stops without finishing.
relay_session() {
  local limit=$1 start=$SECONDS done=0 total line name current="" hello=0
  while :; do
    total=$(wc -l <"$SESSION/ctl.out")
    if [ "$total" -gt "$done" ]; then
      while IFS= read -r line; do
        if [ -n "$current" ]; then
          case "$line" in
            "@@END $current "*)
              echo "${line##* }" >"$SESSION/results/$current.rc"
              echo "guest: $current ended: ${line##* }"
              current=""
              ;;
            *) printf '%s\n' "$line" >>"$SESSION/results/$current.out" ;;
          esac
          continue
        fi
        case "$line" in
          "@@HELLO "*) hello=1; echo "guest: kernel ${line#@@HELLO } up after $((SECONDS - start)) s" ;;
          "@@BEGIN "*) current=${line#@@BEGIN }; : >"$SESSION/results/$current.out" ;;
          "@@HOST "*)
            echo "guest asks: ${line#@@HOST }"
            # shellcheck disable=SC2086
            on_host_event ${line#@@HOST }
            echo go >&"$CTL_IN"
            ;;
          "@@DONE") echo "guest: done after $((SECONDS - start)) s"; return 0 ;;
          *) printf '%s\n' "$line" >>"$SESSION/guest-notes.log" ;;
        esac
      done < <(sed -n "$((done + 1)),${total}p" "$SESSION/ctl.out")
      done=$total
    fi
    if ! kill -0 "$QEMU_PID" 2>/dev/null; then
      local status=0
      wait "$QEMU_PID" 2>/dev/null || status=$?
      QEMU_PID=
      # QEMU that ends with an error before the kernel printed anything could
      # not run here at all; a guest that started and broke is a failure.
      [ "$hello" = 1 ] || [ -s "$SESSION/console.log" ] || [ "$status" = 0 ] || skip_session "QEMU could not start the guest (status $status): $(tail -n3 "$SESSION/qemu.log" "$SESSION/console.log" | tr '\n' ' ')"
      fail_session "the guest stopped before its script was done; see $SESSION/console.log"
    fi
    [ $((SECONDS - start)) -lt "$limit" ] || fail_session "the guest did not finish within $limit s; see $SESSION/console.log"
    sleep 1
  done
}
