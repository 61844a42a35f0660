#!/usr/bin/env bash
# The stand-in's /RegServer makes the CAD program's ProgID lead to it for 32-bit and
# 64-bit clients, and its /UnregServer leaves the registry as it found it: checked in
# a fresh 64-bit Wine prefix.
#   check_registration.sh CADSTANDIN_EXE
set -euo pipefail
server=$1
export WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
WINEPREFIX=$(mktemp -d)
wine() { /usr/lib/wine/wine64 "$@" </dev/null; }
settle() { /usr/lib/wine/wineserver64 -w; } # the registry is on disk once the server has ended
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
# The class registrations of the machine and the user, as Wine keeps them on disk,
# without the time it notes for each key.
registry() {
  sed -E -e '/^#time=/d' -e '/^$/d' -e 's/^(\[.*\]) [0-9]+$/\1/' "$WINEPREFIX"/{system,user}.reg |
    awk '/^\[/ { classes = index($0, "[Software\\\\Classes") == 1 } classes'
}

wine wineboot -i >/dev/null 2>&1
wine "$server" /UnregServer # first runs of a program leave traces of their own
settle
before=$(registry)

wine "$server" /RegServer
settle
for view in 64 32; do
  wine reg query 'HKCR\SldWorks.Application\CLSID' /reg:$view >/dev/null 2>&1 \
    || { echo "check_registration: the ProgID leads nowhere for $view-bit clients" >&2; exit 1; }
done
settle

wine "$server" /UnregServer
settle
if ! diff <(echo "$before") <(registry) >&2; then
  echo "check_registration: /UnregServer left the registry changed (above)" >&2
  exit 1
fi
echo "check_registration: registered for 32-bit and 64-bit clients, and unregistered without a trace"
