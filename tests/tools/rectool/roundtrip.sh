#!/bin/sh
# The record tool end to end: a demo container checks, resaves byte for byte, and takes back an
# exported parameter record unchanged; a changed value lands, and a bad text fails at its column.
set -eu
rectool="$1"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"

"$rectool" --help | grep -q "ttc pack"
"$rectool" mkdemo x && "$rectool" check x && "$rectool" recipe x >recipe && "$rectool" resave x y && cmp x y
grep -q "^\* 1 0 'Gains'" recipe
for form in line win csv join; do
    "$rectool" render x --form "$form" | grep -q "^database 'Devices'"
done

"$rectool" export x 0 1 >exported
cp x before
"$rectool" import x 0 1 "$(cat exported)"
cmp x before

"$rectool" import x 0 1 "['rate'](\$0123)"
"$rectool" export x 0 1 | grep -q ';\$0123;'
if "$rectool" import x 0 1 "['rate'](\$01x3)" 2>errors; then
    exit 1
fi
grep -q "1:" errors

"$rectool" ttc unpack "$("$rectool" ttc pack "29/02/2024 13:30:00")" | grep -q "29/02/2024 13:30:00"
echo "rectool round trip ok"
