#!/usr/bin/env bash
# Whole commands side by side, CPU and wall time, in one run: lblctl print of a
# 4 x 6 inch label at 300 dpi (monochrome, ordered dither) against netpbm,
# ImageMagick and Ghostscript on the same PNG, PPM and 1-, 10- and 100-page PDFs.
# Usage: bench/compare.sh [BUILD_DIR]   (default build/release; needs hyperfine, jq
# and python3; a peer that is not installed is skipped with a message)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build/release}")"
lblctl="$build/tools/lblctl/lblctl"
[ -x "$lblctl" ] || { echo "compare: build lblctl first: cmake --build --preset release --target lblctl" >&2; exit 1; }
for tool in hyperfine jq python3; do
  command -v "$tool" >/dev/null || { echo "compare: $tool is not installed (scripts/setup.sh installs it)" >&2; exit 1; }
done
runs="${RUNS:-20}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# The pictures: a busy label (strokes, bars, a ramp, colour fields) and label PDFs
# with bars, a block and text.
python3 - "$tmp" <<'PY'
import struct, sys, zlib
d = sys.argv[1]
w, h = 1200, 1800
rows = []
colours = [(0, 255, 255), (255, 0, 255), (255, 255, 0), (255, 0, 0), (0, 160, 0), (0, 0, 255)]
for y in range(h):
    r = bytearray()
    for x in range(w):
        if y < h // 4:
            v = 0 if ((x // 6) * 7 + (y // 9) * 3) % 5 == 0 else 255; r += bytes((v, v, v))
        elif y < h // 2:
            v = 0 if (((x // 4) * 2654435761) >> 7) % 3 == 0 else 255; r += bytes((v, v, v))
        elif y < 5 * h // 8:
            v = 255 * x // (w - 1); r += bytes((v, v, v))
        else:
            r += bytes(colours[x * 6 // w])
    rows.append(bytes(r))
def chunk(t, b): return struct.pack(">I", len(b)) + t + b + struct.pack(">I", zlib.crc32(t + b) & 0xFFFFFFFF)
raw = b"".join(b"\x01" + bytes((row[i] - (row[i - 3] if i >= 3 else 0)) & 255 for i in range(len(row))) for row in rows)
open(f"{d}/label.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                                  + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))
open(f"{d}/label.ppm", "wb").write(b"P6\n%d %d\n255\n" % (w, h) + b"".join(rows))
def pdf(n, path):
    content = (b"0 0 0 rg\n" + b"".join(b"%d 300 %d 120 re f\n" % (36 + i * 6, 1 + i % 3) for i in range(40))
               + b"BT /F1 24 Tf 36 200 Td (LABEL 0123456789) Tj ET\n36 36 216 100 re f\n")
    objs = [b"<< /Type /Catalog /Pages 2 0 R >>", None, b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
            b"<< /Length %d >>\nstream\n" % len(content) + content + b"endstream"]
    kids = []
    for _ in range(n):
        kids.append(len(objs) + 1)
        objs.append(b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 288 432] /Resources << /Font << /F1 3 0 R >> >> /Contents 4 0 R >>")
    objs[1] = b"<< /Type /Pages /Kids [" + b" ".join(b"%d 0 R" % k for k in kids) + b"] /Count %d >>" % n
    out, offs = b"%PDF-1.4\n", []
    for i, o in enumerate(objs):
        offs.append(len(out)); out += b"%d 0 obj\n" % (i + 1) + o + b"\nendobj\n"
    x = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objs) + 1) + b"".join(b"%010d 00000 n \n" % o for o in offs)
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objs) + 1, x)
    open(path, "wb").write(out)
for n in (1, 10, 100): pdf(n, f"{d}/label{n}.pdf")
PY

# A 300-dpi printer with a 4 x 6 inch label.
ctl=("$lblctl" --spool "$tmp/spool")
"${ctl[@]}" printer add "Bench" --ppd ppd/model7.ppd --port "$tmp/port.prn" >/dev/null
"${ctl[@]}" labels export "Bench" |
  jq '. + [(.[0] | .szLabelName = "4x6" | .lWidth = 101600 | .lHeight = 152400 | .lPitch = 1554)]' >"$tmp/labels.json"
"${ctl[@]}" labels import "Bench" "$tmp/labels.json" >/dev/null
print="${ctl[*]} print Bench --label 4x6 --color mono --halftone dither1 --output $tmp/out.prn"

im=""
for c in convert-im6.q16 magick convert; do command -v "$c" >/dev/null && { im="$c"; break; }; done
have() { command -v "$1" >/dev/null || { echo "compare: $1 not installed, its rows are skipped" >&2; return 1; }; }

results=()
bench() {  # NAME COMMAND...
  local name="$1"; shift
  local json="$tmp/$(echo "$name" | tr -c 'A-Za-z0-9' '_').json"
  hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" "$@" >/dev/null 2>&1 ||
    hyperfine --warmup 2 --runs "$runs" --export-json "$json" "$@" >/dev/null 2>&1 || { echo "compare: $name failed" >&2; return; }
  results+=("$json")
}

bench "png lblctl" "$print $tmp/label.png"
have pngtopnm && bench "png netpbm" "sh -c 'pngtopnm $tmp/label.png | ppmtopgm | pamditherbw -dither8 >/dev/null'"
[ -n "$im" ] && bench "png imagemagick" "$im $tmp/label.png -colorspace Gray -ordered-dither o8x8 pbm:/dev/null"
bench "ppm lblctl" "$print $tmp/label.ppm"
have ppmtopgm && bench "ppm netpbm" "sh -c 'ppmtopgm $tmp/label.ppm | pamditherbw -dither8 >/dev/null'"
[ -n "$im" ] && bench "ppm imagemagick" "$im $tmp/label.ppm -colorspace Gray -ordered-dither o8x8 pbm:/dev/null"
for n in 1 10 100; do
  r=$runs; [ "$n" = 100 ] && runs=$(( runs < 5 ? runs : 5 ))
  bench "pdf$n lblctl" "$print $tmp/label$n.pdf"
  have gs && bench "pdf$n ghostscript" "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r300 -sOutputFile=/dev/null $tmp/label$n.pdf"
  runs=$r
done

printf '%-28s %12s %12s\n' "command" "wall ms" "CPU ms"
for json in "${results[@]}"; do
  jq -r '.results[0] | [(.command | split(" ")[0] | split("/")[-1]), (.mean * 1000), ((.user + .system) * 1000)] | @tsv' "$json" |
    while IFS=$'\t' read -r cmd wall cpu; do
      printf '%-28s %12.1f %12.1f\n' "$(basename "$json" .json | tr '_' ' ' | sed 's/ *$//')" "$wall" "$cpu"
    done
done
