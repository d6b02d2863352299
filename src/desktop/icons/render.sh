#!/bin/sh
# Renders the PNG icons from quillon.svg, the one drawing they all come
# from; run it after changing the drawing (needs librsvg2-bin).
set -e
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" quillon.svg -o "quillon-$size.png"
done
