#!/bin/sh
# The Windows installer under Wine, as a user runs it (silently, /S):
# - it asks for no administrator rights, installs exactly the zip's program folder (and its
#   uninstaller) into %LOCALAPPDATA%\Programs\Merovan, as for a first start, makes the Start-menu
#   entry, registers .tqload for the user (HKCU\Software\Classes, nothing in HKLM) and appears among
#   the installed apps;
# - a loading file with blanks and letters outside the Western code page in its name, opened by the
#   command the file type registers, with %1 replaced by the file, as Explorer runs it on a double
#   click, is the loading on screen: exported into the FS2000 folder, it gives the expected bytes
#   (Wine 8's `start` looks only at HKLM's classes, not the user's, so the command is run as read);
# - installed again, it keeps the user's settings, loadings and model variants;
# - the uninstaller (/S) removes the program, the Start-menu entry and the registrations, and keeps
#   the loadings, the changed settings, recent.cfg and the model variants; the FS2000 folder and its
#   backups stay as the export left them, and so does the loading file;
# - installed into a folder of the user's choice (/D=) and uninstalled before any use, it leaves
#   nothing of it behind.
#   tst_windows_installer.sh <installer.exe> <zip> <staged program folder> <wine-run>
INSTALLER=$1
ZIP=$2
STAGED=$3
WINE_RUN=$4
. "$(dirname "$0")/lib.sh"
SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
# Without Wine's menu builder: it would carry the Start-menu entry and the file type over into the
# menus and the MIME database of the Linux home.
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
CLASSES='HKCU\Software\Classes'
UNINSTALL='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Merovan'

wine_echo() { "$WINE_RUN" cmd /c "echo $1" 2>/dev/null | tr -d '\r'; }
unix_path() { "$WINE_RUN" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
# The data of registry value $2 (/ve: the default one) of key $1, or nothing.
reg_value() {
    "$WINE_RUN" reg query "$1" $2 2>/dev/null | tr -d '\r' | sed -n 's/^ *[^ ].*  *REG_[A-Z_]*  *//p' | head -n 1
}
key_exists() { "$WINE_RUN" reg query "$1" >/dev/null 2>&1; }
# Runs a Windows program of the test to its end, and every process it started.
run_to_end() {
    "$WINE_RUN" "$@" >"$E2E_TMP/run.log" 2>&1 || fail "$* ended with status $?: $(cat "$E2E_TMP/run.log")"
    "$WINE_RUN" wineserver -w
}
snapshot() {
    (cd "$1" && find . -type f -exec sha256sum {} + | sort -k 2 && find . -type d | sort)
}
close_program() {
    click_client "$window" 8775 6030 2400 465 # cmdSchliessen
    wait_exit 15 || fail "program still running after cmdSchliessen"
    [ "$APP_STATUS" -eq 0 ] || fail "exit status $APP_STATUS"
}

LOCAL_DOS=$(wine_echo '%LOCALAPPDATA%')
APPDATA_DOS=$(wine_echo '%APPDATA%')
INSTDIR_DOS="$LOCAL_DOS\\Programs\\Merovan"
INSTDIR=$(unix_path "$INSTDIR_DOS")
SHORTCUT=$(unix_path "$APPDATA_DOS\\Microsoft\\Windows\\Start Menu\\Programs\\Merovan for TQ 58.lnk")
drive_c=$(unix_path 'C:\')
[ -n "$LOCAL_DOS" ] && [ -n "$INSTDIR" ] && [ -d "$drive_c" ] || fail "Wine gives no %LOCALAPPDATA% or no drive C:"
# What an earlier run of this test left (it runs again after a failure) goes first, and at the end.
forget_install() {
    for key in "$CLASSES\\.tqload" "$CLASSES\\Merovan.Loading" "$UNINSTALL"; do
        "$WINE_RUN" reg delete "$key" /f >/dev/null 2>&1 || true
    done
    rm -rf "$INSTDIR" "$SHORTCUT" "$drive_c/Spiele" "$drive_c/FS2000 Gry łč" "$drive_c/Beladungen"
}
forget_install
trap 'cleanup; forget_install' EXIT

grep -aq 'requestedExecutionLevel level="asInvoker"' "$INSTALLER" ||
    fail "the installer's manifest asks for more than the user's own rights"

# The user's FS2000 folder with a TQ 58 as installed, and a loading file of theirs.
FS2000="$drive_c/FS2000 Gry łč"
cp -a "$STAGED/DemoFS2000" "$FS2000"
cfg="$FS2000/Aircraft/nerova_tq58/aircraft.cfg"
cp "$SOURCE/data/demo/DemoFS2000/Aircraft/nerova_tq58/aircraft.cfg" "$cfg"
rm -rf "$FS2000/Aircraft/nerova_tq58/merovan-installed"
mkdir "$drive_c/Beladungen"
loading="$drive_c/Beladungen/Flug über Łódź.tqload"
LOADING_DOS='C:\Beladungen\Flug über Łódź.tqload'
printf 'Merovan TQ 58 loading 1\r\npilot=80\r\ncopilot=75\r\npassenger_left=\r\npassenger_right=\r\nbaggage=0\r\n' \
    >"$loading"
fs2000=$(snapshot "$FS2000")

run_to_end "$INSTALLER" /S
[ "$(snapshot "$FS2000")" = "$fs2000" ] || fail "the install changed the FS2000 folder"
# The zip's folder, as for a first start, with the uninstaller beside it.
(cd "$E2E_TMP" && cmake -E tar xf "$ZIP") || fail "could not unpack $ZIP"
[ -f "$INSTDIR/uninstall.exe" ] || fail "no uninstall.exe in $INSTDIR"
diff -r -x uninstall.exe "$E2E_TMP/Merovan" "$INSTDIR" >"$E2E_TMP/diff.log" 2>&1 ||
    fail "the installed folder is not the zip's: $(head -n 5 "$E2E_TMP/diff.log")"
[ -f "$SHORTCUT" ] || fail "no Start-menu entry $SHORTCUT"
[ "$(reg_value "$CLASSES\\.tqload" /ve)" = Merovan.Loading ] || fail ".tqload is not registered for the user"
command=$(reg_value "$CLASSES\\Merovan.Loading\\shell\\open\\command" /ve)
[ "$command" = "\"$INSTDIR_DOS\\merovan.exe\" \"%1\"" ] || fail "a double click runs: $command"
[ "$(reg_value "$UNINSTALL" '/v DisplayName')" = "Merovan for TQ 58" ] || fail "not among the installed apps"
[ "$(reg_value "$UNINSTALL" '/v QuietUninstallString')" = "\"$INSTDIR_DOS\\uninstall.exe\" /S" ] ||
    fail "the uninstall entry runs: $(reg_value "$UNINSTALL" '/v QuietUninstallString')"
for key in 'HKLM\Software\Classes\.tqload' 'HKLM\Software\Classes\Merovan.Loading' \
    'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Merovan'; do
    ! key_exists "$key" || fail "the installer wrote $key, which is the machine's"
done

# Past the first start, with the FS2000 folder chosen; the aircraft's model variants in Models\ and
# a loading in the program's Loadings\ folder, as the user has them.
printf ' 0 \r\n' >"$INSTDIR/strt.cfg"
printf 'C:\\FS2000 Gry łč\\\r\n' >"$INSTDIR/options.cfg"
cp "$STAGED"/Models/*.mdl "$INSTDIR/Models/"
mkdir "$INSTDIR/Loadings"
cp "$loading" "$INSTDIR/Loadings/Rundflug.tqload"

# A double click on the loading file: the command the file type names, "<program>" "%1", with the
# file for %1. The program's folder brings its own DLLs (Wine's search path is emptied).
program=$(printf '%s\n' "$command" | sed -n 's/^"\([^"]*\)" "%1"$/\1/p')
start_display
"$WINE_RUN" wineserver -w
(cd "$E2E_TMP" && MEROVAN_WINEPATH= QT_QPA_PLATFORM=windows exec "$WINE_RUN" "$program" "$LOADING_DOS" \
    >"$E2E_TMP/program.log" 2>&1) &
APP_PID=$!
window=$(wait_window "TQ 58 Merovan" 60) || fail "main window did not appear for a double click on the loading file"
click_client "$window" 8775 5535 2400 465 # cmdSpeichern
wait_window "Flugzeug wählen" 10 >/dev/null || fail "export window did not appear"
answer_window "Flugzeug wählen" "Down Return" "export window went away"
wait_window "Fertig" 10 >/dev/null || fail "no completion message"
answer_window "Fertig" Return "completion message went away" closes
cmp "$cfg" "$SOURCE/tests/e2e/expected/nerova_tq58-copilot-75kg.cfg" ||
    fail "the loading on screen is not the one double-clicked"
close_program
"$WINE_RUN" wineserver -w
fs2000=$(snapshot "$FS2000")
[ -d "$FS2000/Aircraft/nerova_tq58/merovan-installed" ] || fail "the export made no backups"

# Installed again: the user's settings, loadings and model variants stay.
users=$(snapshot "$INSTDIR" | grep -E ' \./(strt|options|recent)\.cfg$| \./Loadings/| \./Models/')
run_to_end "$INSTALLER" /S
[ "$(snapshot "$INSTDIR" | grep -E ' \./(strt|options|recent)\.cfg$| \./Loadings/| \./Models/')" = "$users" ] ||
    fail "the install again changed the user's settings, loadings or model variants"

run_to_end "$INSTDIR/uninstall.exe" /S
[ "$(snapshot "$FS2000")" = "$fs2000" ] || fail "the uninstall changed the FS2000 folder or its backups"
cmp "$loading" "$INSTDIR/Loadings/Rundflug.tqload" || fail "the uninstall changed the user's loading files"
[ ! -e "$SHORTCUT" ] || fail "the Start-menu entry is still there"
for key in "$CLASSES\\.tqload" "$CLASSES\\Merovan.Loading" "$UNINSTALL"; do
    ! key_exists "$key" || fail "the uninstall left $key"
done
left=$(cd "$INSTDIR" && find . | LC_ALL=C sort)
[ "$left" = ".
./Loadings
./Loadings/Rundflug.tqload
./Models
./Models/1.mdl
./Models/2.mdl
./Models/3.mdl
./Models/4.mdl
./Models/5.mdl
./options.cfg
./recent.cfg
./strt.cfg" ] || fail "after the uninstall the program folder holds: $left"

# In a folder of the user's choice, uninstalled before any use: nothing stays.
run_to_end "$INSTALLER" /S '/D=C:\Spiele\Merovan'
[ -f "$drive_c/Spiele/Merovan/merovan.exe" ] || fail "/D=C:\\Spiele\\Merovan installed elsewhere"
run_to_end 'C:\Spiele\Merovan\uninstall.exe' /S
[ ! -e "$drive_c/Spiele/Merovan" ] || fail "the uninstall left: $(cd "$drive_c/Spiele/Merovan" && find . | sort)"
! key_exists "$UNINSTALL" || fail "the uninstall from C:\\Spiele\\Merovan left $UNINSTALL"
echo "PASS"
