#!/usr/bin/env bash
# A build given a glasses app ships it with its version and build in Info.json; the same build with
# the app taken back ships none and says nothing of it; a version that is missing stops the build.
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf 'not really an apk' > "$work/glasses.apk"
configure() { cmake -S "$root" -B "$work/build" -G Ninja -DKESTRIN_TESTS=OFF "$@" > "$work/log" 2>&1; }
info="$work/build/desktop/app/Info.json"
apk="$work/build/desktop/app/corvane-glasses.apk"

configure -DKESTRIN_GLASSES_APK="$work/glasses.apk" -DKESTRIN_GLASSES_APP_VERSION=1.3 -DKESTRIN_GLASSES_APP_BUILD=13
node -e 'const i = JSON.parse(require("fs").readFileSync(process.argv[1], "utf8"));
         if (i.CVGlassesAppVersion !== "1.3" || i.CVGlassesAppBuild !== "13") process.exit(1);' "$info"
cmp -s "$apk" "$work/glasses.apk"

configure -DKESTRIN_GLASSES_APK= -DKESTRIN_GLASSES_APP_VERSION= -DKESTRIN_GLASSES_APP_BUILD=
node -e 'const i = JSON.parse(require("fs").readFileSync(process.argv[1], "utf8"));
         if ("CVGlassesAppVersion" in i || "CVGlassesAppBuild" in i) process.exit(1);' "$info"
[ ! -e "$apk" ]

if configure -DKESTRIN_GLASSES_APK="$work/glasses.apk" -DKESTRIN_GLASSES_APP_VERSION=; then
    echo "a glasses app without a version was taken" >&2
    exit 1
fi
grep -q "KESTRIN_GLASSES_APP_VERSION must give" "$work/log"
echo "glasses app packaging: ok"
