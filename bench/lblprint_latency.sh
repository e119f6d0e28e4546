#!/usr/bin/env bash
# Time from job submission to the last byte written, lblprint vs lblctl print,
# for a 4 x 6 in label at 300 dpi (model 9, label "Box 4x6").
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-$PWD/build/release}
B=$build/tools/lblprint/lblprint; L=$build/tools/lblctl/lblctl
dir=$(mktemp -d /tmp/lblprint-latency.XXXXXX)
convert samples/sample-label.png -resize "1200x1800!" -type TrueColor $dir/label4x6.png; export TMPDIR=$dir
port=$((30000 + RANDOM % 10000))
$B server -o spool-directory=$dir/state -o server-port=$port -o log-level=error > $dir/log 2>&1 &
srv=$!; trap "kill $srv; rm -rf $dir" EXIT
sleep 1.5
touch $dir/out.prn
cat > $dir/create.test <<T
{
OPERATION Create-Printer
GROUP operation-attributes-tag
ATTR charset attributes-charset utf-8
ATTR naturalLanguage attributes-natural-language en
ATTR uri system-uri \$uri
ATTR keyword printer-service-type print
ATTR keyword smi55357-driver lbl-model9
ATTR uri smi55357-device-uri file://$dir/out.prn
GROUP printer-attributes-tag
ATTR name printer-name Wide
STATUS successful-ok
}
T
ipptool -T 30 ipp://localhost:$port/ipp/system $dir/create.test >/dev/null
$L --spool $dir/state/spool labels add Wide "Box 4x6" lWidth=101600 lHeight=152400 lPitch=1564 >/dev/null
sleep 3
cat > $dir/print.test <<T
{
OPERATION Print-Job
GROUP operation-attributes-tag
ATTR charset attributes-charset utf-8
ATTR naturalLanguage attributes-natural-language en
ATTR uri printer-uri \$uri
ATTR name requesting-user-name bench
ATTR mimeMediaType document-format image/png
GROUP job-attributes-tag
ATTR keyword media om_box-4x6_101.6x152.4mm
FILE $dir/label4x6.png
STATUS successful-ok
}
T
for run in 1 2 3 4 5; do
  rm -f $dir/out.prn
  t0=$(date +%s.%N)
  ipptool -T 30 ipp://localhost:$port/ipp/print/Wide $dir/print.test >/dev/null
  while [ ! -f $dir/out.prn ]; do sleep 0.002; done
  t1=$(date +%s.%N)
  t2=$(date +%s.%N)
  $L --spool $dir/state/spool print Wide $dir/label4x6.png --label "Box 4x6" --output $dir/ref.prn >/dev/null
  t3=$(date +%s.%N)
  same=$(cmp -s $dir/out.prn $dir/ref.prn && echo identical || echo DIFFERENT)
  printf "run %d: lblprint %.3f s, lblctl print %.3f s, %s bytes, %s\n" $run $(echo "$t1 - $t0" | bc) $(echo "$t3 - $t2" | bc) $(stat -c %s $dir/out.prn) $same
done
