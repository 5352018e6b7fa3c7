#!/bin/sh
# What the Windows zip holds, as a user unpacks it: no demo stand-in (Models/ is there, empty, for
# the aircraft's own variants), the read-me files, the notices and licence texts of the software
# of others with the versions that were shipped, the least Windows named (10), and in merovan.exe
# the application manifest (Windows 10 and 11), the icon in every size Windows shows, the version
# record with its copyright, and no Unix path.
#   tst_windows_zip.sh <zip> <windres>
set -eu
ZIP=$1
WINDRES=$2
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
TMP=$(mktemp -d)
trap 'rm -rf "$TMP"' EXIT
(cd "$TMP" && cmake -E tar xf "$ZIP") || fail "could not unpack $ZIP"
P="$TMP/Merovan"
exe="$P/merovan.exe"
[ -f "$exe" ] || fail "no merovan.exe in the zip"

[ -d "$P/Models" ] || fail "no Models folder"
[ -z "$(ls -A "$P/Models")" ] || fail "Models is not empty: $(ls -A "$P/Models" | tr '\n' ' ')"
# (The program itself knows the stand-ins' marker line, to refuse them.)
found=$( (find "$P" -iname '*.mdl'; grep -rl --exclude=merovan.exe "Merovan demo stand-in" "$P") || true)
[ -z "$found" ] || fail "demo stand-ins in the zip: $found"

for file in LIESMICH.txt README.txt THIRD-PARTY-NOTICES.txt licenses/LGPL-3.txt licenses/GPL-3.txt \
    licenses/qt6-base-copyright.txt licenses/gcc-mingw-w64-copyright.txt licenses/mingw-w64-copyright.txt; do
    [ -s "$P/$file" ] || fail "$file is missing"
done
notices="$P/THIRD-PARTY-NOTICES.txt"
qt=$(dpkg-query -W -f='${source:Version}' libqt6core6)
grep -q "qt6-base, version $qt" "$notices" || fail "the notices do not name qt6-base $qt"
grep -q "public domain" "$notices" || fail "the notices say nothing of SQLite"
grep -q "GNU LESSER GENERAL PUBLIC LICENSE" "$P/licenses/LGPL-3.txt" || fail "LGPL-3.txt is not the LGPL"
grep -q "GCC RUNTIME LIBRARY EXCEPTION" "$P/licenses/gcc-mingw-w64-copyright.txt" ||
    fail "the GCC runtime library exception is missing"
for dll in $(cd "$P" && find . -name '*.dll'); do
    name=$(basename "$dll")
    grep -q "$name" "$notices" || fail "$name is shipped but not in the notices"
done
grep -q 'Models' "$P/LIESMICH.txt" && grep -q '2\.mdl' "$P/README.txt" || fail "the read-me files do not say where the variants go"
[ "$(head -c 3 "$P/README.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no byte-order mark"
grep -q "$(printf '\r')\$" "$P/README.txt" || fail "README.txt does not end its lines with CR LF"

grep -aq '<activeCodePage[^>]*>UTF-8</activeCodePage>' "$exe" || fail "the manifest does not ask for UTF-8"
grep -aq '<dpiAwareness[^>]*>PerMonitorV2' "$exe" || fail "the manifest is not per-monitor DPI aware"
grep -aq '<longPathAware[^>]*>true</longPathAware>' "$exe" || fail "the manifest does not take long paths"
[ "$(grep -ao '<supportedOS Id=' "$exe" | wc -l)" -eq 1 ] &&
    grep -aq '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' "$exe" ||
    fail "the manifest does not name Windows 10 and 11 alone"
for readme in LIESMICH.txt README.txt; do
    grep -q 'Windows 10' "$P/$readme" || fail "$readme does not name Windows 10 as the least"
done
grep -aq 'requestedExecutionLevel level="asInvoker"' "$exe" || fail "the manifest does not run as the user"

"$WINDRES" -i "$exe" -O rc -o "$TMP/resources.rc" || fail "$WINDRES cannot read the resources of merovan.exe"
sizes=""
for octal in $(sed -n '/RT_GROUP_ICON/,/^END/p' "$TMP/resources.rc" | sed -n 's/^ *"\\\([0-7]*\)\\.*/\1/p'); do
    size=$(printf '%d' "0$octal")
    [ "$size" -eq 0 ] && size=256
    sizes="$sizes $size"
done
[ "$sizes" = " 16 24 32 48 256" ] || fail "the exe's icon has the sizes$sizes, not 16 24 32 48 256"
grep -q 'VALUE "LegalCopyright", "Copyright (C) [0-9]* Velmora' "$TMP/resources.rc" ||
    fail "the version record has no LegalCopyright"

unix=$(grep -aoE '/(usr|root|home|tmp|opt)/[[:print:]]*' "$exe" | head -n 3 || true)
[ -z "$unix" ] || fail "Unix paths in merovan.exe: $unix"
echo "PASS"
