# shellcheck shell=bash
# What the burn checks share (sourced by bash after `set -euo pipefail`,
# with the check's own arguments): the program and the fixtures' folders, a
# scratch folder removed on exit in which the virtual writers record, and
# the ways a check fails or is skipped.
#
#   source burn_scratch.sh CLI VIDEO_FIXTURES_DIR DVD_FIXTURES_DIR
#                      sets cli (the program's whole path), fixtures, dvd and
#                      work, and exports ONDRELLE_VIRTUAL_DIR=$work/virtual
#   fail TEXT          says FAIL: TEXT and ends the check (status 1)
#   skip_without TOOL  ends the check as skipped (status 77) without TOOL
#   need_fixtures MPEG [dvd]
#                      fails unless $fixtures/MPEG exists and, with "dvd",
#                      the VIDEO_TS folders in $dvd
#   make_data_source   makes $work/src: readme.txt and photos/beach.jpg
#                      (300000 random bytes)
# shellcheck disable=SC2034 # cli, fixtures and dvd are for the checks that source this
{
  cli=$(realpath "$1")
  fixtures=$2
  dvd=$3
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export ONDRELLE_VIRTUAL_DIR="$work/virtual"

fail() { echo "FAIL: $*" >&2; exit 1; }
skip_without() { command -v "$1" >/dev/null || { echo "skip: $1 is missing" >&2; exit 77; }; }
need_fixtures() {
  [ -f "$fixtures/$1" ] || fail "no MPEG sources in $fixtures (build the video-fixtures target)"
  [ "${2:-}" != dvd ] || [ -d "$dvd/one-title" ] || fail "no VIDEO_TS folders in $dvd (build the dvd-fixtures target)"
}
make_data_source() {
  mkdir -p "$work/src/photos"
  echo "first" >"$work/src/readme.txt"
  head -c 300000 /dev/urandom >"$work/src/photos/beach.jpg"
}
