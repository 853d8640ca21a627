#!/usr/bin/env bash
# Private PostgreSQL 15 server for the database tests.
#
#   scripts/pgserver.sh start DIR    create (first time) and start the server of DIR
#   scripts/pgserver.sh stop DIR     stop it again (nothing left running)
#
# Everything lives in DIR: the cluster (DIR/data), the certificates, the unix
# socket, the server log and DIR/env.sh with the KIV_TEST_PG* variables that
# the tests read. The server listens on 127.0.0.1 only, port ${KIV_PG_PORT:-6543},
# with TLS on (server certificate signed by a CA made here, written to
# DIR/telvorCA-chain.pem) and password authentication (scram-sha-256) for the
# role marlek (LOGIN, CREATEDB). The superuser is reachable only through the
# socket in DIR, by peer authentication of the server's system user.
#
# The cluster is a scratch cluster for tests: it runs with fsync off, so data
# does not survive a machine crash. No other cluster of the machine is touched
# (no pg_ctlcluster, no Debian default cluster).
set -euo pipefail

PGBIN="${KIV_PG_BIN:-/usr/lib/postgresql/15/bin}"
PORT="${KIV_PG_PORT:-6543}"
ROLE="marlek"

usage()
{
    echo "usage: $0 start|stop DIR" >&2
    exit 2
}

[ $# -eq 2 ] || usage
ACTION="$1"
case "$ACTION" in start|stop) ;; *) usage ;; esac

if [ "$ACTION" = stop ] && [ ! -d "$2" ]; then
    exit 0
fi
mkdir -p "$2"
DIR="$(cd "$2" && pwd)"
DATA="$DIR/data"
LOG="$DIR/server.log"
PWFILE="$DIR/marlek.password"

# The server refuses to run as root: as root it runs as the postgres system user.
if [ "$(id -u)" -eq 0 ]; then
    PGUSER_OS="postgres"
    as_pg()
    {
        (cd "$DIR" && runuser -u "$PGUSER_OS" -- "$@")
    }
else
    PGUSER_OS="$(id -un)"
    as_pg()
    {
        (cd "$DIR" && "$@")
    }
fi

# The unix socket path must fit into sockaddr_un (107 bytes); a very deep DIR
# gets a short private socket folder under /tmp instead.
SOCKDIR="$DIR"
if [ ${#SOCKDIR} -gt 90 ]; then
    SOCKDIR="/tmp/kivpg-$(printf '%s' "$DIR" | sha1sum | cut -c1-12)"
    mkdir -p "$SOCKDIR"
    chmod 700 "$SOCKDIR"
    [ "$(id -u)" -ne 0 ] || chown "$PGUSER_OS" "$SOCKDIR"
fi

is_running()
{
    [ -f "$DATA/PG_VERSION" ] && as_pg "$PGBIN/pg_ctl" status -D "$DATA" >/dev/null 2>&1
}

psql_super()
{
    as_pg "$PGBIN/psql" -X -q -v ON_ERROR_STOP=1 -h "$SOCKDIR" -p "$PORT" -U "$PGUSER_OS" -d postgres "$@"
}

write_env()
{
    local password
    password="$(cat "$PWFILE")"
    local tmp="$DIR/env.sh.tmp"
    {
        echo "# Written by scripts/pgserver.sh: connection of the private test server."
        echo "export KIV_TEST_PGHOST=127.0.0.1"
        echo "export KIV_TEST_PGPORT=$PORT"
        echo "export KIV_TEST_PGUSER=$ROLE"
        echo "export KIV_TEST_PGPASSWORD=$password"
        echo "export KIV_TEST_PGCAFILE=$(printf '%q' "$DIR/telvorCA-chain.pem")"
        echo "export KIV_TEST_PGSOCKETDIR=$(printf '%q' "$SOCKDIR")"
        echo "# Superuser access: $( [ "$(id -u)" -eq 0 ] && echo "runuser -u $PGUSER_OS -- ")$PGBIN/psql -h $(printf '%q' "$SOCKDIR") -p $PORT -U $PGUSER_OS -d postgres"
        echo "export KIV_TEST_PGSUPERUSER=$PGUSER_OS"
    } > "$tmp"
    mv "$tmp" "$DIR/env.sh"
}

# The server's system user must be able to reach DIR: every parent folder
# needs the search right for others.
make_reachable()
{
    [ "$(id -u)" -eq 0 ] || return 0
    local d="$DIR"
    while [ "$d" != "/" ]; do
        d="$(dirname "$d")"
        if ! runuser -u "$PGUSER_OS" -- test -x "$d" 2>/dev/null; then
            chmod o+x "$d"
        fi
    done
    chown "$PGUSER_OS" "$DIR"
    chmod 755 "$DIR"
}

make_certificates()
{
    local ca_key="$DIR/ca.key" ca_crt="$DIR/telvorCA-chain.pem"
    local srv_key="$DIR/server.key" srv_crt="$DIR/server.crt" srv_csr="$DIR/server.csr"
    local ext="$DIR/server.ext"
    if [ -s "$ca_crt" ] && [ -s "$srv_crt" ] && [ -s "$srv_key" ]; then
        return 0
    fi
    openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 \
        -keyout "$ca_key" -out "$ca_crt" -subj "/O=Telvor Test/CN=Telvor Test CA" \
        -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
    openssl req -newkey rsa:2048 -nodes -sha256 \
        -keyout "$srv_key" -out "$srv_csr" -subj "/O=Telvor Test/CN=127.0.0.1" 2>/dev/null
    printf '%s\n' \
        "basicConstraints=critical,CA:FALSE" \
        "keyUsage=critical,digitalSignature,keyEncipherment" \
        "extendedKeyUsage=serverAuth" \
        "subjectAltName=IP:127.0.0.1,DNS:localhost" > "$ext"
    openssl x509 -req -sha256 -days 3650 -in "$srv_csr" -CA "$ca_crt" -CAkey "$ca_key" \
        -set_serial "0x$(openssl rand -hex 8)" -extfile "$ext" -out "$srv_crt" 2>/dev/null
    rm -f "$srv_csr" "$ext"
    chmod 600 "$ca_key" "$srv_key"
    chmod 644 "$ca_crt" "$srv_crt"
    if [ "$(id -u)" -eq 0 ]; then
        chown "$PGUSER_OS" "$srv_key" "$srv_crt"
    fi
}

init_cluster()
{
    if [ ! -s "$PWFILE" ]; then
        openssl rand -hex 16 > "$PWFILE"
        chmod 600 "$PWFILE"
    fi
    as_pg "$PGBIN/initdb" -D "$DATA" -U "$PGUSER_OS" -E UTF8 --locale=C.UTF-8 \
        --auth-local=peer --auth-host=reject >"$DIR/initdb.log" 2>&1 \
        || { cat "$DIR/initdb.log" >&2; exit 1; }
    cat >> "$DATA/postgresql.conf" <<EOF

# Private test server (scripts/pgserver.sh)
listen_addresses = '127.0.0.1'
port = $PORT
unix_socket_directories = '$SOCKDIR'
unix_socket_permissions = 0700
password_encryption = 'scram-sha-256'
ssl = on
ssl_cert_file = '$DIR/server.crt'
ssl_key_file = '$DIR/server.key'
max_connections = 60
shared_buffers = 32MB
fsync = off
synchronous_commit = off
full_page_writes = off
log_min_messages = warning
EOF
    cat > "$DATA/pg_hba.conf" <<EOF
# Private test server (scripts/pgserver.sh)
# TYPE   DATABASE USER ADDRESS       METHOD
local    all      $PGUSER_OS         peer
hostssl  all      all  127.0.0.1/32  scram-sha-256
host     all      all  127.0.0.1/32  scram-sha-256
EOF
}

start_server()
{
    if ! as_pg "$PGBIN/pg_ctl" start -w -t 60 -D "$DATA" -l "$LOG" -o "-p $PORT" >/dev/null; then
        echo "pgserver: the server of $DIR did not start; end of $LOG:" >&2
        tail -n 20 "$LOG" >&2 || true
        exit 1
    fi
    local i
    for i in $(seq 1 60); do
        if "$PGBIN/pg_isready" -q -h 127.0.0.1 -p "$PORT" -t 2; then
            return 0
        fi
        sleep 0.5
    done
    echo "pgserver: the server of $DIR does not accept connections on 127.0.0.1:$PORT" >&2
    exit 1
}

# Creates the test role, or gives it the password of PWFILE again.
create_role()
{
    local password
    password="$(cat "$PWFILE")"
    psql_super -v role="$ROLE" -v pw="$password" <<'EOF'
SELECT NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = :'role') AS missing \gset
\if :missing
CREATE ROLE :"role" LOGIN CREATEDB PASSWORD :'pw';
\else
ALTER ROLE :"role" LOGIN CREATEDB PASSWORD :'pw';
\endif
EOF
}

case "$ACTION" in
start)
    if is_running; then
        write_env
        exit 0
    fi
    make_reachable
    make_certificates
    if [ ! -f "$DATA/PG_VERSION" ]; then
        init_cluster
    fi
    start_server
    create_role
    write_env
    ;;
stop)
    if is_running; then
        as_pg "$PGBIN/pg_ctl" stop -w -t 60 -m fast -D "$DATA" >/dev/null
    fi
    ;;
esac
