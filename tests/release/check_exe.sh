#!/usr/bin/env bash
# Checks what the built program tells Windows about itself, as the toolchain
# reads it back: machine, subsystem, imports, icon group, its one manifest and version record.
#   check_exe.sh EXE i686|x86_64
set -euo pipefail
exe=$1 arch=$2
headers=$("$arch-w64-mingw32-objdump" -p "$exe")
resources=$("$arch-w64-mingw32-windres" -i "$exe" -O rc)
status=0
expect() { # WHAT ACTUAL EXPECTED
  [ "$2" = "$3" ] || { printf 'check_exe: %s\n  is:       %s\n  expected: %s\n' "$1" "$2" "$3" >&2; status=1; }
}

# The release is one small file.
[ "$arch" = x86_64 ] || expect "size within 300 KiB" "$(( $(stat -c %s "$exe") <= 300 * 1024 ))" 1
expect "machine" "$(grep -o 'file format .*' <<<"$headers")" \
  "file format $([ "$arch" = i686 ] && echo pei-i386 || echo pei-x86-64)"
expect "subsystem" "$(grep -o '^Subsystem.*' <<<"$headers" | tr -s '\t' ' ')" "Subsystem 00000002 (Windows GUI)"
expect "imports, all of them part of Windows" \
  "$(awk '/DLL Name:/ { print toupper($3) }' <<<"$headers" | grep -v -x -E \
     'ADVAPI32.DLL|COMCTL32.DLL|GDI32.DLL|KERNEL32.DLL|MSVCRT.DLL|OLE32.DLL|OLEAUT32.DLL|USER32.DLL' || true)" ""
# One group of three images: 32x32 in 2 colours, 32x32 and 16x16 in 16 colours;
# each image's bitmap header: size 40, width, twice the height, 1 plane and its bits.
expect "icon group" "$(grep -o '"\\[0-9]*\\[0-9]*\\[0-9]*\\000", 1, [0-9]' <<<"$resources" | tr '\n' ' ')" \
  '"\040\040\002\000", 1, 1 "\040\040\020\000", 1, 4 "\020\020\020\000", 1, 4 '
expect "icon images" "$(awk '/^[0-9]+ 3 \/\* RT_ICON/ { getline; getline; printf "%s %s %s %s; ", $1, $3, $5, $7 }' <<<"$resources")" \
  "0x28L 0x20L 0x40L 0x10001L; 0x28L 0x20L 0x40L 0x40001L; 0x28L 0x10L 0x20L 0x40001L; "
expect "manifests" "$(grep -c 'RT_MANIFEST' <<<"$resources")" 1
manifest=$(sed -n '/RT_MANIFEST/,/^END/p' <<<"$resources")
for wanted in 'name=""Microsoft.Windows.Common-Controls"" version=""6.0.0.0""' PerMonitorV2 true/pm \
              'level=""asInvoker""'; do
  expect "manifest asks for $wanted" "$(grep -c -F "$wanted" <<<"$manifest")" 1
done
expect "version record" "$(sed -n '/VERSIONINFO/,/^END/p' <<<"$resources" | grep -v FILEFLAGSMASK)" "$(cat <<'VERSION'
1 VERSIONINFO
 FILEVERSION 1, 1, 0, 0
 PRODUCTVERSION 1, 1, 0, 0
 FILEOS 0x4
 FILETYPE 0x1
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040704B0"
    BEGIN
      VALUE "FileDescription", L"Tool zum Ausf\374llen von Schriftkopfdaten in Solidworksdokumenten"
      VALUE "FileVersion", "1.01"
      VALUE "InternalName", "blattkopf"
      VALUE "OriginalFilename", "blattkopf.exe"
      VALUE "ProductName", "blattkopf"
      VALUE "ProductVersion", "1.01"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x407, 1200
  END
END
VERSION
)"
[ $status -eq 0 ] && echo "check_exe: $exe is as released"
exit $status
