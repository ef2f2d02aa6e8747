#!/usr/bin/env bash
# Checks a built DEB package: the files it must hold, its desktop entry and
# its AppStream metainfo.
#   scripts/check-package.sh PACKAGE.deb PREFIX
set -euo pipefail
deb=$1
prefix=${2#/}
list=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in bin/tunevale bin/tunevalectl share/applications/tunevale.desktop share/mime/packages/tunevale.xml \
         share/icons/hicolor/16x16/apps/tunevale.png share/icons/hicolor/256x256/apps/tunevale.png \
         share/metainfo/tunevale.metainfo.xml share/tunevale/packaged; do
  if ! grep -qx "./$prefix/$f" <<<"$list"; then
    echo "the package lacks /$prefix/$f" >&2
    exit 1
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"
desktop-file-validate "$work/$prefix/share/applications/tunevale.desktop"
grep -qx "Exec=\"/$prefix/bin/tunevale\" %U" "$work/$prefix/share/applications/tunevale.desktop"
if ! said=$(appstreamcli validate --no-net --explain "$work/$prefix/share/metainfo/tunevale.metainfo.xml"); then
  echo "$said" >&2
  exit 1
fi
echo "package $(basename "$deb"): $(grep -c . <<<"$list") entries, depends on: $(dpkg-deb -f "$deb" Depends)"
