#!/usr/bin/env bash
# Builds the Debian package from a built tree into a temporary folder and checks its desktop
# entry, metainfo, lintian's verdict (errors fail, warnings are listed), its systemd user unit
# (where a user manager can be set up here), and that the program unpacked from it starts.
# Installs nothing. Exit 77 (skipped) when a tool it needs is missing.
set -euo pipefail
build=$(cd "${1:?usage: package_test.sh BUILD_DIR}" && pwd)

for tool in cpack dpkg-deb dpkg-shlibdeps file desktop-file-validate appstreamcli lintian systemd-analyze; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (tools/setup.sh installs it)"; exit 77; }
done

work=$(mktemp -d /tmp/orvalis-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/*.deb)
[ -f "${debs[0]}" ] || { cat "$work/cpack.log"; echo "FAILED: cpack made no .deb"; exit 1; }
deb=${debs[0]}
depends=$(dpkg-deb --field "$deb" Depends)
for needed in bubblewrap xdg-dbus-proxy libwebkit2gtk-4.1-0 libgtkmm-3.0-1v5; do
  [[ ",$depends," == *"$needed"* ]] || fail "Depends lacks $needed"
done

root="$work/root"
dpkg -x "$deb" "$root"
# The program, entry, metainfo and unit are used below, which fails without them.
for file in usr/share/icons/hicolor/scalable/apps/org.orvalis.Orvalis.svg usr/share/man/man1/orvalis.1.gz \
    usr/share/doc/orvalis/copyright usr/share/doc/orvalis/changelog.gz; do
  [ -f "$root/$file" ] || fail "the package lacks /$file"
done

desktop-file-validate "$root/usr/share/applications/org.orvalis.Orvalis.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.orvalis.Orvalis.metainfo.xml" || fail "appstreamcli validate"

lintian --tag-display-limit 0 --display-info "$deb" >"$work/lintian.log" 2>&1 || true
sed 's/^/lintian: /' "$work/lintian.log"
grep -q '^E: ' "$work/lintian.log" && fail "lintian reports errors"

# The unit as shipped, but starting the program unpacked here; any complaint fails, not
# only those that make verify exit non-zero (an unknown key is only a warning to it).
mkdir -p "$work/unit" "$work/runtime" && chmod 700 "$work/runtime"
sed "s|/usr/bin/orvalis|$root/usr/bin/orvalis|" "$root/usr/lib/systemd/user/orvalis.service" >"$work/unit/orvalis.service"
if verdict=$(XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$work/runtime} systemd-analyze verify --user --man=no \
    "$work/unit/orvalis.service" 2>&1); then
  [ -z "$verdict" ] || fail "systemd-analyze verify: $verdict"
elif [[ "$verdict" == *"Failed to initialize manager"* ]]; then
  echo "unit check skipped: systemd-analyze cannot set up a user manager here: $verdict"
else
  fail "systemd-analyze verify: $verdict"
fi

version=$(LC_ALL=C "$root/usr/bin/orvalis" --version) || fail "--version exited with $?"
[ "$version" = "Orvalis 1.0.0" ] || fail "--version printed '$version'"

[ "$failures" -eq 0 ] || exit 1
echo "package checks passed"
