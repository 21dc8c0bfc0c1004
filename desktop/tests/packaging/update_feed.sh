#!/usr/bin/env bash
# A build given an update feed and key writes both into the application folder's Info.json and
# neither into the Debian package's, which is marked as packaged instead; a feed that is not https, or a key that is not 32 bytes in
# Base64, stops the build.
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
configure() { cmake -S "$root" -B "$work/build" -G Ninja -DKESTRIN_TESTS=OFF "$@" > "$work/log" 2>&1; }
info="$work/build/desktop/app/Info.json"
packaged="$work/build/desktop/app/Info-packaged.json"
key=$(head -c 32 /dev/urandom | base64)
feed=https://updates.example.com/kestrin/appcast.xml

configure -DKESTRIN_UPDATE_FEED="$feed" -DKESTRIN_UPDATE_PUBLIC_KEY="$key"
node -e 'const fs = require("fs");
         const i = JSON.parse(fs.readFileSync(process.argv[1], "utf8"));
         const p = JSON.parse(fs.readFileSync(process.argv[2], "utf8"));
         if (i.SUFeedURL !== process.argv[3] || i.SUPublicEDKey !== process.argv[4]) process.exit(1);
         if ("SUFeedURL" in p || "SUPublicEDKey" in p || p.CFBundleShortVersionString !== i.CFBundleShortVersionString)
             process.exit(2);
         if (p.KestrinPackaged !== true || "KestrinPackaged" in i) process.exit(3);' "$info" "$packaged" "$feed" "$key"

configure -DKESTRIN_UPDATE_FEED= -DKESTRIN_UPDATE_PUBLIC_KEY=
! grep -q SUFeedURL "$info"

refused() {
    if configure "$@"; then
        echo "taken: $*" >&2
        exit 1
    fi
}
refused -DKESTRIN_UPDATE_FEED=http://updates.example.com/appcast.xml -DKESTRIN_UPDATE_PUBLIC_KEY="$key"
grep -q "KESTRIN_UPDATE_FEED must be an https address" "$work/log"
refused -DKESTRIN_UPDATE_FEED='https://updates.example.com/a"b' -DKESTRIN_UPDATE_PUBLIC_KEY="$key"
refused -DKESTRIN_UPDATE_FEED="$feed" -DKESTRIN_UPDATE_PUBLIC_KEY="$(head -c 31 /dev/urandom | base64)"
grep -q "KESTRIN_UPDATE_PUBLIC_KEY must be an Ed25519 public key" "$work/log"
refused -DKESTRIN_UPDATE_FEED="$feed" -DKESTRIN_UPDATE_PUBLIC_KEY="$(head -c 33 /dev/urandom | base64)"
echo "update feed packaging: ok"
