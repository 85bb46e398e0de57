#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that the programs
# start from the prefix's bin and find the files installed beside them.
# Usage: install_and_start.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
export ONDRELLE_VIRTUAL_DIR="$prefix/virtual"
cmake --install "$build" --prefix "$prefix" >/dev/null

for program in ondrelle ondrelle-cli; do
  [ -L "$prefix/bin/$program" ] || { echo "no link $prefix/bin/$program"; exit 1; }
done
[ -f "$prefix/share/applications/ondrelle.desktop" ] || { echo "no desktop file"; exit 1; }
[ -f "$prefix/share/icons/hicolor/256x256/apps/ondrelle.png" ] || { echo "no icon"; exit 1; }
grep -qx 'Name=Ondrelle' "$prefix/lib/ondrelle/lame.dll" || grep -q '^Name=Ondrelle' "$prefix/lib/ondrelle/lame.dll" \
  || { echo "lame.dll lacks the product name"; exit 1; }

# Started through the link, the wizard looks beside the real program.
files=$("$prefix/bin/ondrelle" --files)
echo "$files"
echo "$files" | grep -q "^found $prefix/lib/ondrelle/lame.dll$" || { echo "lame.dll not found"; exit 1; }
for template in Emberline_VideoCD.iso Emberline_SuperVideoCD.iso; do
  if [ -f "$build/app/$template" ]; then
    echo "$files" | grep -q "^found $prefix/lib/ondrelle/$template$" || { echo "$template not found"; exit 1; }
  fi
done
"$prefix/bin/ondrelle-cli" --version >/dev/null
echo ok
