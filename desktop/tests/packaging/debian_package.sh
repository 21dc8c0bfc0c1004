#!/usr/bin/env bash
# Packages this build tree as a .deb and installs it into an empty root: the package is named as
# Debian names it, declares Node.js and Qt among its dependencies, carries a valid desktop entry and
# AppStream metainfo, installs with dpkg, and the installed `kestrin --version` runs. A packaged copy
# has no update feed.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")

(cd "$build" && cpack -G DEB -B "$work/out" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb="$work/out/kestrin_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no $deb"; ls "$work/out"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
for needed in nodejs libqt6core6 libqt6widgets6 libqcoro6core0; do
    grep -q "$needed" <<< "$depends" || { echo "Depends lacks $needed: $depends"; exit 1; }
done

# Installed by dpkg into a root of its own, as into a fresh container.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status" "$root/var/lib/dpkg/available"
dpkg --root="$root" --log=/dev/null --force-depends --force-not-root --force-script-chrootless -i "$deb" \
    > "$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; exit 1; }
grep -q "^Package: kestrin$" "$root/var/lib/dpkg/status"

desktop-file-validate "$root/usr/share/applications/com.mossgate.corvane.mac.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/com.mossgate.corvane.mac.metainfo.xml" \
    > "$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; exit 1; }
[ -f "$root/usr/share/icons/hicolor/scalable/apps/kestrin.svg" ]
[ "$(readlink "$root/opt/kestrin/Contents/Helpers/node")" = /usr/bin/node ]
[ -f "$root/opt/kestrin/Contents/Resources/server/dist/index.js" ]
ls "$root"/opt/kestrin/Contents/Resources/Fonts/*.ttf > /dev/null
# The package's own Info.json, which never names a feed, whatever the build was given.
cmp -s "$root/opt/kestrin/Contents/Info.json" "$build/desktop/app/Info-packaged.json"
if grep -q SUFeedURL "$root/opt/kestrin/Contents/Info.json"; then
    echo "the package carries an update feed"
    exit 1
fi

reported=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/kestrin" --version)
[ "$reported" = "Kestrin $version" ] || { echo "kestrin --version said: $reported"; exit 1; }
echo "debian package: ok ($(basename "$deb"))"
