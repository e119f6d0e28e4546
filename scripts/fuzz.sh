#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer) and runs each fuzz target for a
# while. Usage: scripts/fuzz.sh [SECONDS]   (default 30 per target)
# Crashes are written to build/fuzz/findings/<target>/ and fail the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets=(fuzz_ppd_reader fuzz_bpd_reader fuzz_stream_decoder fuzz_image_readers fuzz_devmode
  fuzz_printer_data_ui fuzz_printer_data_render fuzz_escape fuzz_labels_json
  fuzz_page_placement fuzz_pdf_pages fuzz_job_media)
# Only these targets when named after the seconds: scripts/fuzz.sh 600 fuzz_devmode
if [ "$#" -gt 1 ]; then targets=("${@:2}"); fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)" --target "${targets[@]}"

work=build/fuzz/corpus
for target in fuzz_ppd_reader fuzz_bpd_reader fuzz_stream_decoder fuzz_image_readers fuzz_devmode \
    fuzz_printer_data_ui fuzz_printer_data_render fuzz_escape fuzz_labels_json \
    fuzz_page_placement fuzz_pdf_pages fuzz_job_media; do mkdir -p "$work/$target"; done
# Seeds: the model descriptions and the hand-made files of tests/fuzz/corpus.
cp -n ppd/*.ppd tests/fuzz/corpus/ppd/* "$work/fuzz_ppd_reader/"
cp -n tests/fuzz/corpus/bpd/* "$work/fuzz_bpd_reader/"
cp -n tests/fuzz/corpus/stream/* "$work/fuzz_stream_decoder/"
cp -n tests/fuzz/corpus/image/* "$work/fuzz_image_readers/"
cp -n tests/fuzz/corpus/devmode/* "$work/fuzz_devmode/"
cp -n tests/fuzz/corpus/printerdata/* "$work/fuzz_printer_data_ui/"
cp -n tests/fuzz/corpus/printerdata/* "$work/fuzz_printer_data_render/"
cp -n tests/fuzz/corpus/escape/* "$work/fuzz_escape/"
cp -n tests/fuzz/corpus/labels/* "$work/fuzz_labels_json/"
cp -n tests/fuzz/corpus/image/* "$work/fuzz_page_placement/"
cp -n tests/fuzz/corpus/pdf/* "$work/fuzz_pdf_pages/"
cp -n tests/fuzz/corpus/ipp/* "$work/fuzz_job_media/"

status=0
for target in "${targets[@]}"; do
  findings="build/fuzz/findings/$target"
  mkdir -p "$findings"
  echo "== $target: ${seconds}s"
  if ! LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -artifact_prefix="$findings/" "$work/$target" 2>"build/fuzz/$target.log"; then
    echo "$target: failure, see build/fuzz/$target.log and $findings/"
    tail -n 30 "build/fuzz/$target.log"
    status=1
  else
    grep -E "^(Done|#[0-9]+ +DONE)" "build/fuzz/$target.log" | tail -n 1 || true
  fi
done
exit "$status"
