#!/usr/bin/env bash
# scripts/release on two clones of the committed HEAD, each compiling every object itself:
# the same bytes; the zip's files and versions; the .deb's qEnv on a store seeded by qreg
# import; signing; the signed qEnv.exe under Wine; bad certificates and a dirty tree refused.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d /tmp/qenv-release.XXXXXX)
trap 'WINEPREFIX=$tmp/wine wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
fail() { echo "release test: $*" >&2 && exit 1; }
trap 'echo "release test: line $LINENO failed" >&2' ERR
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER QENV_REGISTRY
version=$(sed -nE 's/^project\(qEnv VERSION ([0-9.]+) .*/\1/p' "$root/CMakeLists.txt")
arch=$(dpkg --print-architecture)
zip=qEnv-$version-windows-x86.zip deb=qenv_${version}_$arch.deb
release() { (cd "$tmp/$1" && scripts/release "${@:2}") >"$tmp/$1.log" 2>&1; }
names() { cut -c67- "$tmp/$1/build/release/SHA256SUMS" | tr '\n' ' '; }
start=$(date +%s)
for c in a b; do
  git clone -q "$root" "$tmp/$c"
  release $c || { tail -30 "$tmp/$c.log" && fail "scripts/release failed in clone $c"; }
  echo "release test: clone $c built by $(($(date +%s) - start)) s"
done
diff -r "$tmp/a/build/release" "$tmp/b/build/release" || fail "two runs of one commit differ"
out=$tmp/a/build/release
(cd "$out" && sha256sum -c --quiet SHA256SUMS) && [ "$(names a)" = "$zip $deb " ] &&
  [ "$(ls "$out" | wc -l)" = 3 ] || fail "build/release holds $(ls "$out")"
[ "$(unzip -Z1 "$out/$zip" | tr '\n' ' ')" = "qEnv.exe qreg.exe LICENSE THIRD-PARTY.txt README.txt " ] || fail "zip"
unzip -q "$out/$zip" -d "$tmp/zip"
for exe in qEnv qreg; do
  i686-w64-mingw32-windres -i "$tmp/zip/$exe.exe" -O rc >"$tmp/$exe.rc"
  grep -qx " FILEVERSION ${version//./, }, 0" "$tmp/$exe.rc" &&
    grep -q "VALUE \"ProductVersion\", \"$version\"" "$tmp/$exe.rc" || fail "$exe.exe's version resource"
done
dpkg -x "$out/$deb" "$tmp/root"
bin=$tmp/root/opt/qenv/bin
[ "$(dpkg-deb -f "$out/$deb" Version)" = "$version" ] && [ "$("$bin/qreg" --version)" = "qreg $version" ] &&
  [ "$(readlink "$tmp/root/usr/bin/qreg")" = /opt/qenv/bin/qreg ] || fail "the .deb's version or link"
loads=$(objdump -p "$bin/qEnv" "$bin/qreg" | grep -c 'NEEDED *libsqlite3' || true)
[ "$((loads > 0))" = "$(dpkg-deb -f "$out/$deb" Depends | grep -c libsqlite3-0)" ] || fail "Depends"
mkdir "$tmp/agent"
"$bin/qreg" import "$root/scripts/demo_identity.reg"
"$bin/qreg" add 'HKLM\SOFTWARE\DORAZA' /v InstallationPath /d "$tmp/agent" /f >/dev/null
"$bin/qEnv" '%QARNAGENTID%_%QARNSITEID%'
[ "$(tr -d '\r' <"$bin/EnvironmentVar.txt")" = 1234_7 ] || fail "the installed qEnv's result"
grep -q "Exe Version :: $version.0" "$tmp/agent/ApplicationLog/qRTKLog/"*.txt || fail "the log banner"
cd "$tmp"
for c in cert other; do openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=$c" -keyout $c.key -out $c.pem 2>/dev/null; done
! release a --sign missing.pem cert.key && grep -q "missing.pem cannot be read" a.log &&
  [ ! -e a/build/release ] || fail "a missing certificate: $(cat a.log)"
! release a --sign "$tmp/other.pem" "$tmp/cert.key" && grep -q "does not belong to the certificate" a.log &&
  [ ! -e a/build/release ] || fail "a wrong certificate: $(cat a.log)"
for c in a b; do release $c --sign "$tmp/cert.pem" "$tmp/cert.key" || fail "signing: $(cat $c.log)"; done
diff -r a/build/release b/build/release || fail "two signed runs differ"
unzip -q "$out/$zip" -d signed
for exe in qEnv qreg; do
  osslsigncode verify -CAfile cert.pem -in signed/$exe.exe >verify.log 2>&1 ||
    fail "$exe.exe's signature: $(cat verify.log)"
done
echo >>b/README.md
! release b && grep -q "changes not committed" b.log && [ ! -e b/build/release ] || fail "a dirty tree"
release b --allow-dirty && [ "$(names b)" = "qEnv-$version-dirty-windows-x86.zip qenv_$version-dirty_$arch.deb " ] ||
  fail "--allow-dirty: $(cat b.log)"
# Wine's 32-bit loader is a Linux i386 program; a kernel without 32-bit support cannot start
# it, and then nothing can run the signed programs on this machine: say so, don't fail.
if ! why=$(/usr/lib/wine/wine --version 2>&1 >/dev/null); then
  echo "release test: passed in $(($(date +%s) - start)) s; the signed qEnv.exe NOT run under Wine: this machine cannot start 32-bit programs (${why##*: })"
  exit 0
fi
export WINEPREFIX=$tmp/wine WINEDEBUG=-all
WINEARCH=win32 wineboot -i >wineboot.log 2>&1 || fail "wineboot failed, the signed programs cannot run: $(tail -3 wineboot.log)"
wine signed/qreg.exe import "Z:${root//\//\\}\\scripts\\demo_identity.reg" </dev/null
wine signed/qreg.exe add 'HKLM\SOFTWARE\DORAZA' /v InstallationPath /d 'C:\' /f </dev/null >/dev/null
wine signed/qEnv.exe '%QARNAGENTID%_%QARNSITEID%' </dev/null
[ "$(tr -d '\r' <signed/EnvironmentVar.txt)" = 1234_7 ] || fail "the signed qEnv.exe under Wine"
echo "release test: passed in $(($(date +%s) - start)) s"
