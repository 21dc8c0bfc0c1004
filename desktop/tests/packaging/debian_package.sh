#!/usr/bin/env bash
# Makes the release package as scripts/package does (in <build>/package) and checks it as Debian would:
# lintian finds no error or warning that is not overridden with a reason, the package stays small,
# declares Node.js, Qt and Qt's Wayland platform among its dependencies, carries a valid desktop
# entry and AppStream metainfo, a manual page, a systemd user service, a copyright file that holds the
# display faces' licence and a changelog of this version; it installs with dpkg into an empty root, its links resolve inside
# it, and the installed `kestrin --version` runs. A packaged copy has no update feed.
# Usage: debian_package.sh <source root> <build folder>
set -euo pipefail
source_root=$1
build=$2/package
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

"$source_root/scripts/build-deb" "$build" > "$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/kestrin_${version}_amd64.deb"
[ -f "$deb" ] || { ls "$build"; fail "no $deb"; }

lintian --fail-on error,warning --display-info "$deb" > "$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian rejects $(basename "$deb")"; }
size=$(stat -c %s "$deb")
((size < 12 * 1024 * 1024)) || fail "the package weighs $size bytes, over 12 MB"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in nodejs libqt6core6 libqt6widgets6 libqt6network6 libqcoro6core0 qt6-wayland; do
    grep -q "$needed" <<< "$depends" || fail "Depends lacks $needed: $depends"
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

app="$root/usr/lib/kestrin/Contents"
# The links stay inside the tree they were installed into.
[ "$(readlink -f "$root/usr/bin/kestrin")" = "$(readlink -f "$app/bin/kestrin")" ] ||
    fail "/usr/bin/kestrin leads to $(readlink "$root/usr/bin/kestrin")"
# kestrin hands the tray to the program beside it.
[ -f "$app/bin/kestrin-tray" ] && [ -x "$app/bin/kestrin-tray" ] || fail "there is no kestrin-tray beside kestrin"
# Fetching from the internet is a module of its own, found from the programs' folder.
[ -f "$app/lib/kestrin-network.so" ] || fail "there is no lib/kestrin-network.so beside bin"
[ "$(readlink -m "$app/Helpers/node")" = "$(readlink -m "$root/usr/bin/node")" ] ||
    fail "Helpers/node leads to $(readlink "$app/Helpers/node")"
[ -f "$app/Resources/server/dist/index.js" ]
ls "$app"/Resources/Fonts/*.ttf > /dev/null
grep -q "SIL OPEN FONT LICENSE Version 1.1" "$app/Resources/Fonts/OFL.txt"

docs="$root/usr/share/doc/kestrin"
head -1 "$docs/copyright" | grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
grep -q "^License: OFL-1.1$" "$docs/copyright"
grep -q "^ SIL OPEN FONT LICENSE Version 1.1" "$docs/copyright" || fail "the copyright file lacks the OFL's text"
zcat "$docs/changelog.gz" | head -1 | grep -q "^kestrin ($version) " || fail "the changelog's newest entry is not $version"

# The user service runs the installed kestrin headless, and systemd reads it without a complaint.
unit="$root/usr/lib/systemd/user/kestrin.service"
grep -qx "ExecStart=/usr/bin/kestrin --headless" "$unit" || fail "the user service does not run kestrin --headless"
sed -e "s|^ExecStart=/usr/bin/kestrin|ExecStart=$root/usr/bin/kestrin|" -e '/^Documentation=/d' "$unit" \
    > "$work/kestrin.service"
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" systemd-analyze verify --user "$work/kestrin.service" > "$work/unit.log" 2>&1 ||
    { cat "$work/unit.log"; fail "systemd rejects the user service"; }
[ ! -s "$work/unit.log" ] || { cat "$work/unit.log"; fail "systemd complains about the user service"; }

# The manual page, with every section a reader looks for.
manual="$root/usr/share/man/man1/kestrin.1.gz"
for section in NAME SYNOPSIS OPTIONS '"EXIT STATUS"' ENVIRONMENT FILES; do
    zcat "$manual" | grep -q "^\.SH $section$" || fail "the manual page has no $section section"
done
zcat "$manual" | grep -qF -- '\-\-headless' || fail "the manual page does not tell --headless"

# The package's own Info.json, which never names a feed, whatever the build was given.
cmp -s "$app/Info.json" "$build/desktop/app/Info-packaged.json"
if grep -q SUFeedURL "$app/Info.json"; then
    fail "the package carries an update feed"
fi

reported=$(QT_QPA_PLATFORM=offscreen "$root/usr/bin/kestrin" --version)
[ "$reported" = "Kestrin $version" ] || fail "kestrin --version said: $reported"
echo "debian package: ok ($(basename "$deb"), $size bytes, lintian clean)"
