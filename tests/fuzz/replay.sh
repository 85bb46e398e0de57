#!/usr/bin/env bash
# Replays one fuzz target's seed corpus (made from the test fixtures) through
# its replay build. Usage: replay.sh REPLAY_BINARY TARGET VIDEO_FIXTURES DVD_FIXTURES
set -euo pipefail
binary=${1:?usage: replay.sh REPLAY_BINARY TARGET VIDEO_FIXTURES DVD_FIXTURES}
target=${2:?}
video=${3:?}
dvd=${4:?}
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/fuzz-replay-$target-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
"$here/make-seeds.sh" "$scratch/seeds" "$video" "$dvd"
"$binary" "$scratch/seeds/$target"
