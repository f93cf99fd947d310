#!/usr/bin/env bash
# Checks a built Korvane package: unpacks it, validates the installed desktop
# entry and AppStream data, and runs lintian.  Fails on any error; lintian's
# warnings are shown but do not fail.
#
#   packaging/check-package.sh build/release/korvane_3.1_amd64.deb
set -euo pipefail
deb="${1:?usage: $0 PACKAGE.deb}"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT

dpkg-deb --field "$deb" Package Version Depends Installed-Size
dpkg-deb --extract "$deb" "$root"

echo "== desktop-file-validate"
desktop-file-validate "$root"/usr/share/applications/*.desktop && echo "passed"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
echo "== lintian"
lintian --fail-on error --display-info "$deb" && echo "no errors"
