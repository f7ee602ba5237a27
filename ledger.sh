#!/usr/bin/env bash
# Set-up, build, test and run of the ledger.
#   ./ledger.sh deps    install the Debian packages the project needs (only the missing ones)
#   ./ledger.sh build   deps + configure + build into build/
#   ./ledger.sh test    build + a throwaway PostgreSQL on loopback + every test with CTest;
#                       without arguments also the package check: build the .deb, install it,
#                       start the installed program as a normal user, upgrade it, remove it
#   ./ledger.sh package build + the Debian package in build/package/, checked with lintian
#   ./ledger.sh run     build + prepare the working folder run/ on SQLite + start the program
#   ./ledger.sh demo    build + fill run/'s database with demo data dated around today and
#                       print the demo's accounts
#   ./ledger.sh bench   build + run the benchmarks (with the throwaway PostgreSQL)
# LEDGER_BUILD_DIR (default build/) and LEDGER_RUN_DIR (default run/) move the two folders.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD="${LEDGER_BUILD_DIR:-$ROOT/build}"
RUNDIR="${LEDGER_RUN_DIR:-$ROOT/run}"

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-tools-dev qt6-tools-dev-tools
    libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
    qt6-webengine-dev qt6-webchannel-dev libgl-dev
    libquazip1-qt6-dev libgsf-1-dev libsqlite3-dev libpq-dev
    postgresql unixodbc-dev odbc-postgresql tdsodbc
    fonts-noto-cjk fonts-wqy-microhei xvfb sqlite3 python3 python3-xlrd python3-openpyxl python3-xlwt
    poppler-utils qt6-translations-l10n
    file lintian appstream
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

cmd_deps() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "installing: ${missing[*]}"
        as_root apt-get update -qq
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >/dev/null
    fi
}

# The T-SQL grammar the SQL Server statements are checked against (node-sql-parser, pinned by
# tools/tsql/package-lock.json).
tsql_deps() {
    if ! command -v npm >/dev/null; then
        as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            nodejs npm >/dev/null
    fi
    if [ ! -d "$ROOT/tools/tsql/node_modules/node-sql-parser" ]; then
        npm ci --prefix "$ROOT/tools/tsql" --no-audit --no-fund --silent
    fi
}

cmd_build() {
    cmd_deps
    cmake -S "$ROOT" -B "$BUILD" -G Ninja >/dev/null
    cmake --build "$BUILD" -j "$(nproc)"
}

# A throwaway PostgreSQL server: its own data folder, a free loopback port, stopped on exit.
PG_DIR=""
PG_BIN=""
pg_stop() {
    if [ -n "$PG_DIR" ] && [ -d "$PG_DIR" ]; then
        runuser -u postgres -- "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -m fast stop >/dev/null 2>&1 || true
        rm -rf "$PG_DIR"
    fi
}
pg_start() {
    PG_BIN="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)"
    PG_DIR="$(mktemp -d /tmp/ledger-pg.XXXXXX)"
    trap pg_stop EXIT
    chown postgres "$PG_DIR"
    local port
    port="$(/usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')"
    runuser -u postgres -- "$PG_BIN/initdb" -D "$PG_DIR/data" -A trust -U postgres -E UTF8 \
        --locale=C.UTF-8 >/dev/null
    runuser -u postgres -- "$PG_BIN/pg_ctl" -D "$PG_DIR/data" -w -l "$PG_DIR/log" \
        -o "-c listen_addresses=127.0.0.1 -c port=$port -c fsync=off -c unix_socket_directories=$PG_DIR" \
        start >/dev/null
    export LEDGER_TEST_PG="host=127.0.0.1 port=$port user=postgres"
    echo "test PostgreSQL on 127.0.0.1:$port"
}

cmd_test() {
    cmd_build
    tsql_deps
    pg_start
    export QT_QPA_PLATFORM=offscreen
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        XDG_RUNTIME_DIR="$(mktemp -d /tmp/ledger-xdg.XXXXXX)"
        # A runtime folder made here goes with the throwaway server.
        trap 'pg_stop; rm -rf "$XDG_RUNTIME_DIR"' EXIT
    fi
    export XDG_RUNTIME_DIR
    chmod 700 "$XDG_RUNTIME_DIR"
    export QTWEBENGINE_DISABLE_SANDBOX=1
    ctest --test-dir "$BUILD" --output-on-failure -j "$(nproc)" "$@"
    # A run narrowed by arguments (such as -R app) is about the tests it names.
    if [ $# -eq 0 ]; then check_package; fi
}

# The .deb of the build folder, in $1, with the version $2 (the project's when empty); prints
# its path.
make_deb() {
    local args=(--config "$BUILD/CPackConfig.cmake" -B "$1")
    if [ -n "${2:-}" ]; then args+=(-D "CPACK_PACKAGE_VERSION=$2"); fi
    rm -f "$1"/*.deb
    cpack "${args[@]}" >/dev/null
    ls "$1"/*.deb
}

# Builds the package and holds it against Debian's rules: lintian errors and AppStream metadata
# errors fail; warnings are printed (the README says which are left and why).
build_package() {
    local deb
    deb="$(make_deb "$BUILD/package")"
    echo "package: $deb"
    lintian --fail-on error --info "$deb"
    local appstream
    appstream="$(appstreamcli validate --no-net "$BUILD/packaging/shop-ledger.metainfo.xml" |
        grep '^[EWI]:' || true)"
    echo "$appstream"
    if grep -q '^E:' <<<"$appstream"; then
        echo "the AppStream metadata has errors" >&2
        exit 1
    fi
    echo "package checked: no lintian or AppStream error"
    PACKAGE_DEB="$deb"
}

cmd_package() {
    cmd_build
    build_package
}

# Installs the package on this machine, runs it as a normal user, upgrades over an older build
# and removes it again (tests/package/installed_program.sh).
check_package() {
    build_package
    local folder older status=0
    folder="$(mktemp -d /tmp/ledger-deb.XXXXXX)"
    older="$(make_deb "$folder" "$(dpkg-deb -f "$PACKAGE_DEB" Version)~older")" || status=$?
    if [ "$status" -eq 0 ]; then
        as_root "$ROOT/tests/package/installed_program.sh" "$PACKAGE_DEB" "$older" || status=$?
    fi
    rm -rf "$folder"
    return "$status"
}

cmd_bench() {
    cmd_build
    pg_start
    export QT_QPA_PLATFORM=offscreen
    for b in "$BUILD"/bench/*/bench_*; do
        # Only the programs: the build's bench_*_autogen folders match the pattern too.
        [ -f "$b" ] && [ -x "$b" ] || continue
        echo "== $(basename "$b")"
        "$b"
    done
}

prepare_rundir() {
    mkdir -p "$RUNDIR/InitParam" "$RUNDIR/html"
    # The configuration an installation gives each new user: SQLite in the working folder.
    if [ ! -f "$RUNDIR/InitParam/dBConfig.ini" ]; then
        cp "$ROOT/packaging/dBConfig.ini" "$RUNDIR/InitParam/dBConfig.ini"
    fi
    if [ -d "$ROOT/html" ]; then cp -r "$ROOT/html/." "$RUNDIR/html/"; fi
}

cmd_run() {
    cmd_build
    prepare_rundir
    if [ ! -x "$BUILD/src/app/ledger" ]; then
        echo "the main window is not built yet" >&2
        exit 1
    fi
    cd "$RUNDIR"
    # The web engine's sandbox refuses to start as root; every other user keeps it.
    if [ "$(id -u)" -eq 0 ]; then export QTWEBENGINE_DISABLE_SANDBOX=1; fi
    exec "$BUILD/src/app/ledger"
}

cmd_demo() {
    cmd_build
    prepare_rundir
    "$BUILD/tools/generator/ledger_generate" --config "$RUNDIR/InitParam/dBConfig.ini" \
        --stores 1 --goods 3000 --money 1500 --days 60 --use-store-of-config
    echo "start the program with ./ledger.sh run and sign in with one of these accounts"
}

case "${1:-}" in
deps) cmd_deps ;;
build) cmd_build ;;
test) shift; cmd_test "$@" ;;
bench) cmd_bench ;;
package) cmd_package ;;
run) cmd_run ;;
demo) cmd_demo ;;
*)
    sed -n '2,13p' "$0"
    exit 2
    ;;
esac
