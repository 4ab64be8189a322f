#!/usr/bin/env bash
# Renders the committed PNG icons from brelmont.svg (Debian's librsvg2-bin); run after changing it.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" brelmont.svg -o "brelmont-$size.png"
done
