#!/usr/bin/env bash
# scripts/setup against a stand-in apt-get, dpkg and dpkg-query first on PATH:
# a mirror mid-sync (one index fails its size check), a security suite whose
# amd64 libraries have no i386 twins yet (install fails until -t <release>), and
# both failing at once; and a host that runs no 32-bit code, which needs the
# 64-bit Wine and compilers too.
set -uo pipefail
SETUP="$(cd "$(dirname "$0")/../.." && pwd)/scripts/setup"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0

mkdir -p "$WORK/bin"
cat >"$WORK/bin/dpkg-query" <<'SH'
#!/usr/bin/env bash
pkg="${!#}"
grep -qxF "$pkg" "$STATE/absent" && exit 1
echo "install ok installed"
SH
cat >"$WORK/bin/dpkg" <<'SH'
#!/usr/bin/env bash
[ "$1" = --print-foreign-architectures ] && echo i386
exit 0
SH
cat >"$WORK/bin/sudo" <<'SH'
#!/usr/bin/env bash
exec "$@"
SH
# APT_UPDATE=fail: one index fails as a mirror mid-sync makes it.
# APT_INSTALL=ok | release (only with -t) | fail.
cat >"$WORK/bin/apt-get" <<'SH'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STATE/calls"
if [ "$1" = update ]; then
  echo "Hit:1 http://deb.example/debian bookworm InRelease"
  [ "$APT_UPDATE" = fail ] || exit 0
  echo "Err:6 http://deb.example/debian-security bookworm-security/main i386 Packages"
  echo "E: Failed to fetch http://deb.example/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?"
  exit 100
fi
case "$APT_INSTALL:$*" in
  ok:*|release:*" -t "*) ;;
  *) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;;
esac
for a in "$@"; do grep -vxF -- "$a" "$STATE/absent" >"$STATE/absent.new"; mv "$STATE/absent.new" "$STATE/absent"; done
SH
chmod +x "$WORK/bin"/*
printf 'ID=debian\nVERSION_CODENAME=testrel\n' >"$WORK/os-release"

# name | host's Windows tree | update | install | absent packages | rc | expected apt-get calls (;-separated) | stderr must match
CASES=(
  "stale index|win32|fail|ok|wine32:i386 nsis|0|update -q;install -y -q --no-install-recommends wine32:i386 nsis|warning: .*every index.*Err:6 .*i386 Packages"
  "held broken pairs|win32|ok|release|wine32:i386|0|update -q;install -y -q --no-install-recommends wine32:i386;install -y -q --no-install-recommends -t testrel wine32:i386|retrying with the release's own versions \(-t testrel\)"
  "both fail|win32|fail|fail|wine32:i386 nsis|1|update -q;install -y -q --no-install-recommends wine32:i386 nsis;install -y -q --no-install-recommends -t testrel wine32:i386 nsis|could not install: wine32:i386 nsis.*retry with: sudo apt-get update; sudo apt-get install -y --no-install-recommends -t testrel wine32:i386 nsis"
  "nothing missing|win32|fail|fail||0||^$"
  "64-bit-only host|win64|ok|ok|wine64|0|update -q;install -y -q --no-install-recommends wine64|^$"
)

for row in "${CASES[@]}"; do
  IFS='|' read -r name tree update install absent want_rc want_calls want_err <<<"$row"
  export STATE="$WORK/state-${name// /-}"
  mkdir -p "$STATE"; : >"$STATE/calls"
  tr ' ' '\n' <<<"$absent" | sed '/^$/d' >"$STATE/absent"
  ORV_WIN_TREE="$tree" PATH="$WORK/bin:$PATH" APT_UPDATE="$update" APT_INSTALL="$install" ORV_OS_RELEASE="$WORK/os-release" \
    bash "$SETUP" >"$STATE/out" 2>"$STATE/err"
  rc=$?
  calls="$(sed 's/^apt-get //' "$STATE/calls" | paste -sd';')"
  err="$(tr '\n' ' ' <"$STATE/err")"
  problems=()
  [ "$rc" = "$want_rc" ] || problems+=("rc $rc, want $want_rc")
  [ "$calls" = "$want_calls" ] || problems+=("apt-get calls [$calls], want [$want_calls]")
  grep -qE -- "$want_err" <<<"$err" || problems+=("stderr [$err] does not match [$want_err]")
  if [ ${#problems[@]} -eq 0 ]; then
    echo "ok   $name"
  else
    echo "FAIL $name: ${problems[*]}"; failures=$((failures + 1))
  fi
done
exit "$failures"
