#!/usr/bin/env bash
# The Debian package as a shop gets it: installed with apt, started by a normal user with an
# empty home (as from the desktop menu), upgraded over an older package and removed again.
#   installed_program.sh <package.deb> <older package.deb>
# Checks that the installed program comes up to sign-in working in the user's data folder
# (~/.local/share/shop-ledger, with its configuration and SQLite database) and writes nothing into
# the folder it was started from; that an upgrade keeps the user's data and store; and that
# removing the package leaves the data as it was. Runs as root; leaves the package uninstalled.
set -euo pipefail

PACKAGE=shop-ledger
ACCOUNT=shop-ledger-check
TABLES="tb_sm_finance_info tb_sm_person_info tb_sm_prestore_info tb_sm_product_info tb_sm_user"
# How long the program may take to come up to sign-in on a loaded machine.
START_SECONDS=120

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

[ $# -eq 2 ] || fail "usage: $0 <package.deb> <older package.deb>"
[ "$(id -u)" -eq 0 ] || fail "the check installs a package: run it as root"

# One check at a time on this machine: the package and the account are the machine's.
exec 9>/tmp/shop-ledger-package-check.lock
flock 9

installed() {
    dpkg-query -W -f='${Status}' "$PACKAGE" 2>/dev/null | grep -q 'install ok installed'
}
if installed; then
    fail "$PACKAGE is installed on this machine already; the check does not replace an" \
        "installation it did not make (remove it with apt-get purge $PACKAGE first)"
fi

WORK="$(mktemp -d /tmp/shop-ledger-check.XXXXXX)"
chmod 755 "$WORK"
MADE_ACCOUNT=0
PROGRAM_PID=""
cleanup() {
    if [ -n "$PROGRAM_PID" ]; then kill "$PROGRAM_PID" 2>/dev/null || true; fi
    if installed; then
        DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$PACKAGE" >/dev/null 2>&1 || true
    fi
    if [ "$MADE_ACCOUNT" -eq 1 ]; then userdel "$ACCOUNT" >/dev/null 2>&1 || true; fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# apt reads local packages as its own unprivileged user: give it copies it may read.
cp "$1" "$WORK/new.deb"
cp "$2" "$WORK/older.deb"
chmod 644 "$WORK"/*.deb

if ! id -u "$ACCOUNT" >/dev/null 2>&1; then
    useradd --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin --user-group \
        "$ACCOUNT"
    MADE_ACCOUNT=1
fi
HOME_DIR="$WORK/home"
RUNTIME_DIR="$WORK/runtime"
mkdir -m 755 "$HOME_DIR"
mkdir -m 700 "$RUNTIME_DIR"
chown "$ACCOUNT:" "$HOME_DIR" "$RUNTIME_DIR"
DATA="$HOME_DIR/.local/share/$PACKAGE"

install_deb() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$1" >"$WORK/apt.log" 2>&1 ||
        { cat "$WORK/apt.log" >&2; fail "apt-get install $1"; }
}

# What the user's data folder holds, file by file.
fingerprint() {
    (cd "$DATA" && find . -type f -print0 | sort -z | xargs -0 sha256sum)
}

store_number() {
    sed -n '/^\[StoreNo\]/,/^\[/s/^No=//p' "$DATA/InitParam/dBConfig.ini"
}

# Starts the installed program as the account, from its empty home, offscreen, and waits until
# it has come up to sign-in: it says so on its debug output just before the sign-in box opens,
# and must still be running a moment later (waiting in the box). Then it is stopped.
start_to_sign_in() {
    local log="$WORK/$1.log"
    (cd "$HOME_DIR" &&
        exec setpriv --reuid="$ACCOUNT" --regid="$ACCOUNT" --init-groups \
            env -i HOME="$HOME_DIR" USER="$ACCOUNT" LOGNAME="$ACCOUNT" PATH=/usr/bin:/bin \
            LANG=C.UTF-8 XDG_RUNTIME_DIR="$RUNTIME_DIR" QT_QPA_PLATFORM=offscreen \
            QT_LOGGING_RULES=default.debug=true \
            "$PACKAGE") >"$log" 2>&1 &
    PROGRAM_PID=$!
    local waited=0
    until grep -q 'sign-in open' "$log"; do
        if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
            cat "$log" >&2
            fail "$1: the installed program ended before sign-in"
        fi
        [ "$waited" -lt $((START_SECONDS * 10)) ] || { cat "$log" >&2; fail "$1: no sign-in"; }
        sleep 0.1
        waited=$((waited + 1))
    done
    sleep 2
    kill -0 "$PROGRAM_PID" 2>/dev/null || { cat "$log" >&2; fail "$1: ended at sign-in"; }
    kill "$PROGRAM_PID"
    wait "$PROGRAM_PID" 2>/dev/null || true
    PROGRAM_PID=""
    echo "$1: the installed program reached sign-in"
}

# The user's data folder after a start: the configuration selecting SQLite with a store number,
# the database with the program's tables, all the user's own; nothing in the start folder.
check_data_folder() {
    [ -f "$DATA/InitParam/dBConfig.ini" ] || fail "$1: no configuration in $DATA"
    grep -qx 'TYPE=QSQLITE' "$DATA/InitParam/dBConfig.ini" ||
        fail "$1: the configuration does not select SQLite"
    store_number | grep -Eqx '[0-9]{17}LINK' || fail "$1: no store number in the configuration"
    [ -f "$DATA/ledger.db" ] || fail "$1: no database in $DATA"
    local tables
    tables="$(sqlite3 -readonly "$DATA/ledger.db" \
        "select name from sqlite_master where type = 'table' and name like 'tb_sm_%' order by name" |
        tr '\n' ' ')"
    [ "$tables" = "$TABLES " ] || fail "$1: the database holds the tables '$tables'"
    [ -z "$(find "$HOME_DIR/.local" ! -user "$ACCOUNT")" ] ||
        fail "$1: files in the data folder that are not the user's"
    for start_file in InitParam ledger.db TabDateSave DbDateSave InfoDateSave; do
        [ ! -e "$HOME_DIR/$start_file" ] || fail "$1: the program wrote $start_file into its start folder"
    done
}

# The older package first, as a shop that installed it some time ago. (The manual page and the
# documents are left out of the files looked for: slim systems tell dpkg to skip them.)
install_deb "$WORK/older.deb"
[ "$(command -v "$PACKAGE")" = "/usr/bin/$PACKAGE" ] || fail "$PACKAGE is not on the PATH"
for file in "/usr/share/applications/$PACKAGE.desktop" "/usr/share/metainfo/$PACKAGE.metainfo.xml" \
    "/usr/share/icons/hicolor/scalable/apps/$PACKAGE.svg" \
    "/usr/share/icons/hicolor/48x48/apps/$PACKAGE.png" "/usr/share/$PACKAGE/html/HistoGram.html" \
    "/usr/share/$PACKAGE/dBConfig.ini"; do
    [ -f "$file" ] || fail "the package did not install $file"
done
start_to_sign_in "first start"
check_data_folder "first start"
STORE="$(store_number)"
BEFORE="$(fingerprint)"

# The upgrade touches no user's data, and the upgraded program keeps the user's store.
install_deb "$WORK/new.deb"
[ "$(dpkg-query -W -f='${Version}' "$PACKAGE")" = "$(dpkg-deb -f "$WORK/new.deb" Version)" ] ||
    fail "the upgrade did not install the new version"
[ "$(fingerprint)" = "$BEFORE" ] || fail "the upgrade changed the user's data"
start_to_sign_in "after the upgrade"
check_data_folder "after the upgrade"
[ "$(store_number)" = "$STORE" ] || fail "the upgraded program made a new store number"

# Removing the package, its configuration files included, leaves the user's data alone.
BEFORE="$(fingerprint)"
DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$PACKAGE" >"$WORK/apt.log" 2>&1 ||
    { cat "$WORK/apt.log" >&2; fail "apt-get purge $PACKAGE"; }
! installed || fail "the package is still installed"
[ ! -e "/usr/bin/$PACKAGE" ] || fail "the program is still on the PATH"
[ "$(fingerprint)" = "$BEFORE" ] || fail "removing the package changed the user's data"
echo "the user's data in $DATA outlived the package"
echo "package check passed"
