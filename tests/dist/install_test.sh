#!/usr/bin/env bash
# Installs the build tree given as $1 into a temporary prefix and checks what the desktop
# needs: the two programs, a valid menu entry, the icons at their sizes, the user guide, and
# *.inf known as text/x-inform once the type database is built.
set -uo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
passed=0 failed=0
check() { # description, command...
  local what=$1; shift
  if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

# The width and height a PNG file declares.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'; }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }
share=$prefix/share

check "torvane installed" test -x "$prefix/bin/torvane"
check "torvane-cli installed and runs" "$prefix/bin/torvane-cli" --help
desktop=$share/applications/torvane.desktop
check "desktop entry valid" desktop-file-validate "$desktop"
check "desktop entry opens files" grep -qx 'Exec=torvane %F' "$desktop"
check "desktop entry type" grep -qx 'MimeType=text/x-inform;' "$desktop"
check "desktop entry icon" grep -qx 'Icon=torvane' "$desktop"
for size in 16 32 48 64 128 256; do
  for icon in apps/torvane mimetypes/text-x-inform; do
    file=$share/icons/hicolor/${size}x$size/$icon.png
    check "$icon ${size}x$size" test "$(png_size "$file")" = "${size}x$size"
  done
done
check "user guide installed" grep -q '<h1>Torvane User Guide</h1>' "$share/doc/torvane/guide.html"
check "type database built" update-mime-database "$share/mime"
check "*.inf is text/x-inform" grep -qx 'text/x-inform:\*\.inf' \
  <(cut -d: -f2- "$share/mime/globs2")
check "text/x-inform is text" grep -qx 'text/x-inform text/plain' "$share/mime/subclasses"
check "nothing but the programs in bin" test "$(ls "$prefix/bin" | tr '\n' ' ')" = "torvane torvane-cli "

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
