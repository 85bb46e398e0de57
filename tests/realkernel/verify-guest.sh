# Guest script of the verify session (busybox sh, guest-lib.sh's helpers):
# sr0 holds the image as it was made, sr1 the copy with one byte changed.
# Only the drives of the partners: no virtual writers beside them.
export ONDRELLE_VIRTUAL_WRITERS=none
wait_path /dev/sr1 120 || say "no /dev/sr1 after 120 s"
run devices ondrelle-cli devices --all
run verify-same ondrelle-cli verify --device CdRom0 --source /guest/source --no-rock-ridge --label VERIFYME
run verify-changed ondrelle-cli verify --device CdRom1 --source /guest/source --no-rock-ridge --label VERIFYME
