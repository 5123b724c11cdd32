#!/usr/bin/env bash
# Installs the build into a staging prefix, makes the prefix read-only and runs the staged programs
# as a user of an installed package does, with a temporary HOME: the user's files must land in the
# XDG folders and nothing may change below the prefix.
# Usage: StagedInstallTest.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d /tmp/qinglan-staged.XXXXXX)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/qinglan-cli share/qinglan/ccdb.db share/man/man1/qinglan-cli.1 \
            share/bash-completion/completions/qinglan-cli; do
  [[ -f $prefix/$file ]] || fail "$file not installed"
done
[[ ! -e $prefix/bin/ccdb.db && ! -e $prefix/bin/qinglan-screenshots ]] || fail "demo or portable files installed"
if [[ -f $prefix/bin/qinglan ]]; then
  [[ -f $prefix/share/doc/qinglan/manual.html ]] || fail "the manual not installed"
  desktop-file-validate "$prefix"/share/applications/*.desktop
  appstreamcli validate --no-net "$prefix"/share/metainfo/*.metainfo.xml > /dev/null
  [[ $("$prefix/bin/qinglan" --version) == "qinglan $version" ]] || fail "qinglan --version"
fi
chmod -R a-w "$prefix"
listing() { find "$prefix" -printf '%p %s %T@\n' | sort; }
before=$(listing)

export HOME=$work/home
mkdir "$HOME"
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_STATE_HOME QINGLAN_VOLUMES
cli=$prefix/bin/qinglan-cli
[[ $("$cli" --version) == "qinglan-cli $version" ]] || fail "qinglan-cli --version"

# The first start gives the user a writable copy of the rules; the user's choice then survives.
"$cli" rules > /dev/null
user_db=$HOME/.local/share/qinglan/ccdb.db
[[ -w $user_db ]] || fail "no writable user copy at $user_db"
sqlite3 "$user_db" "UPDATE ccdb SET UnScan=1 WHERE Id=1"
"$cli" rules --json | tr -d ' \n' | grep -q '"id":"1","name":"[^"]*","unScan":"1","excluded":true' || fail "the user's choice was lost"

"$cli" silence 1002 1.0 > /dev/null
grep -q '^1002=1.0' "$HOME/.config/qinglan/wb.lst" || fail "wb.lst not in the configuration folder"
XDG_CONFIG_HOME=$work/config "$cli" silence 1003 "" > /dev/null
grep -q '^1003=1' "$work/config/qinglan/wb.lst" || fail "XDG_CONFIG_HOME not followed"
mkdir "$work/app"
"$cli" silence 1004 2.0 --app-dir "$work/app" > /dev/null
grep -q '^1004=2.0' "$work/app/wb.lst" || fail "--app-dir not followed"

# A scan of a small cache reads the user's copy of the rules.
mkdir -p "$work/volume/CloudCache/1001/0"
printf '[Info]\nName=demo\n' > "$work/volume/CloudCache/1001/Resource.ini"
echo junk > "$work/volume/CloudCache/1001/0/run.tmp"
# Read to the end: the rows stream, and a reader that leaves early would end the scan with SIGPIPE.
scanned=$(QINGLAN_VOLUMES="$work/volume/=fixed" "$cli" scan --json)
grep -q '"name":"run.tmp"' <<< "$scanned" || fail "scan found nothing"

[[ $(listing) == "$before" ]] || fail "the installation folder changed"
echo "staged installation works"
