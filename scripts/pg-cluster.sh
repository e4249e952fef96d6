#!/bin/sh
# A throw-away PostgreSQL cluster for tests: listens on a Unix socket in DIR only, never on TCP.
#   scripts/pg-cluster.sh start DIR   makes and starts the cluster; prints the ODBC connection string
#   scripts/pg-cluster.sh stop DIR    stops it and removes DIR
# Run as root, the cluster belongs to the system user tamarind-pg (made when missing), since the
# server refuses to run as root.
set -eu

usage() { echo "usage: $0 start|stop DIR" >&2; exit 2; }
[ $# -eq 2 ] || usage
action=$1
dir=$2

bin=${PG_BIN:-}
if [ -z "$bin" ]; then
  for b in /usr/lib/postgresql/*/bin; do [ -x "$b/initdb" ] && bin=$b; done
fi
[ -n "$bin" ] && [ -x "$bin/initdb" ] || { echo "$0: no PostgreSQL server found (initdb)" >&2; exit 1; }

user=$(id -un)
run() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  user=tamarind-pg
  if ! id -u "$user" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$user" 2>/dev/null || id -u "$user" >/dev/null
  fi
  run() { runuser -u "$user" -- "$@"; }
fi

case $action in
  start)
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    [ "$(id -u)" -eq 0 ] && chown "$user" "$dir"
    chmod 700 "$dir"
    run test -w "$dir" || { echo "$0: $user cannot reach $dir (every folder above it must be searchable)" >&2; exit 1; }
    run "$bin/initdb" -D "$dir/data" -U "$user" -A trust -E UTF8 --locale=C.UTF-8 >"$dir/initdb.log" 2>&1 ||
      { cat "$dir/initdb.log" >&2; exit 1; }
    run "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
      -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off -c full_page_writes=off" start \
      >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    echo "Driver={PostgreSQL Unicode};Servername=$dir;Port=5432;Database=postgres;Uid=$user;"
    ;;
  stop)
    [ -d "$dir" ] || exit 0
    if [ -f "$dir/data/postmaster.pid" ]; then
      run "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    rm -rf "$dir"
    ;;
  *) usage ;;
esac
