#!/bin/sh
# Downloads a Debian source package with `apt-get source --download-only` into DEST, without
# touching the system's apt set-up: a private deb-src list (the Debian archive that the system's
# own sources name, this release's suite, main), private lists and cache, checked against
# Debian's archive key as apt always does.
# Usage: fetch-debian-source.sh PACKAGE[=VERSION] DEST
set -eu
request=$1
dest=$2

codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
[ -n "$codename" ] || { echo "fetch-debian-source: no VERSION_CODENAME in /etc/os-release" >&2; exit 1; }

# The archive: the first Debian URI of the system's sources (a mirror stays a mirror).
uri=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)\/\{0,1\}\([[:space:]].*\)\{0,1\}$/\1/p' \
          /etc/apt/sources.list.d/*.sources 2>/dev/null | head -n 1)
if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(sed -n 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\([^[:space:]]*\/debian\)\/\{0,1\}[[:space:]].*/\2/p' \
              /etc/apt/sources.list | head -n 1)
fi
uri=${uri:-http://deb.debian.org/debian}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

apt_dir=$dest/apt
rm -rf "$dest"
mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/parts"
cat >"$apt_dir/sources.list" <<EOF
deb-src [signed-by=$keyring] $uri $codename main
EOF
set -- -o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts" \
       -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache" -o Debug::NoLocking=1 \
       -o APT::Sandbox::User="$(id -un)"
apt-get "$@" -qq update
cd "$dest"
apt-get "$@" -qq source --download-only "$request"
rm -rf "$apt_dir"
