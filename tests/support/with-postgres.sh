#!/usr/bin/env bash
# Runs a command with a PostgreSQL server of its own: a fresh cluster in a temporary folder, listening
# only on a socket in that folder, stopped and removed afterwards whatever the command's outcome.
# The command finds the server through VQ_PG_HOST (the socket folder), VQ_PG_PORT, VQ_PG_USER,
# VQ_PG_DATABASE and VQ_PG_DRIVER (the PostgreSQL ODBC driver library).
set -uo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

pgbin=""
for d in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V); do
    [ -x "$d/initdb" ] && pgbin="$d"
done
if [ -z "$pgbin" ]; then
    echo "with-postgres: PostgreSQL is not installed (run ./vq setup)" >&2
    exit 1
fi

driver=""
for f in /usr/lib/*/odbc/psqlodbcw.so /usr/lib/odbc/psqlodbcw.so; do
    [ -f "$f" ] && driver="$f" && break
done

# PostgreSQL refuses to run as root: then the cluster belongs to the postgres system user.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

dir="$(mktemp -d "${TMPDIR:-/tmp}/vq-pg.XXXXXX")"
chmod 755 "$dir"
[ "$(id -u)" -eq 0 ] && chown postgres:postgres "$dir"
port=$((20000 + RANDOM % 20000))

cleanup() {
    as_owner "$pgbin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if ! as_owner "$pgbin/initdb" -D "$dir/data" -U postgres -A trust -E UTF8 --no-locale --no-sync >"$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    echo "with-postgres: initdb failed" >&2
    exit 1
fi
if ! as_owner "$pgbin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses='' -k $dir -p $port -c fsync=off -c max_connections=50" start >/dev/null; then
    cat "$dir/server.log" >&2
    echo "with-postgres: the server did not start" >&2
    exit 1
fi

export VQ_PG_HOST="$dir" VQ_PG_PORT="$port" VQ_PG_USER=postgres VQ_PG_DATABASE=postgres VQ_PG_DRIVER="$driver"
"$@"
exit $?
