#!/bin/bash
# A batch run as three parts on two machines by GNU parallel over ssh, as
# the README shows it: two sshd of our own on 127.0.0.1 stand for the
# machines, with their own host and user keys, in a scratch folder. The
# design and the batch travel with --basefile, the logos come back with
# --return, and every file must be byte for byte what one run writes.
#
#   ssh-shards-test.sh ZOTMAKER_CLI DESIGN_DIR
# Exits 77 (skipped) where sshd, GNU parallel or rsync is missing, or when
# not run as root (sshd then cannot take logins for the test's user key).
set -u
cli=$1
design=$2

for tool in /usr/sbin/sshd ssh ssh-keygen parallel rsync python3; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
[ "$(id -u)" = 0 ] || { echo "SKIP: needs root to run sshd"; exit 77; }

scratch=$(mktemp -d)
pids=()
# The servers are stopped whatever happens, the scratch folder removed.
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A port nobody listens on, on loopback only.
free_port() {
    python3 -c '
import socket
while True:
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    if port != 2024:
        print(port)
        break'
}

mkdir -p /run/sshd # where sshd drops its privileges
mkdir -p "$scratch/home/.ssh" "$scratch/local" "$scratch/remote"
ssh-keygen -q -t ed25519 -N '' -f "$scratch/user_key"
cp "$scratch/user_key.pub" "$scratch/authorized_keys"
: >"$scratch/known_hosts"
: >"$scratch/ssh_config"
for host in h1 h2; do
    port=$(free_port)
    ssh-keygen -q -t ed25519 -N '' -f "$scratch/$host.key"
    cat >"$scratch/$host.sshd_config" <<EOF
ListenAddress 127.0.0.1
Port $port
HostKey $scratch/$host.key
PidFile $scratch/$host.pid
AuthorizedKeysFile $scratch/authorized_keys
StrictModes no
PermitRootLogin prohibit-password
PasswordAuthentication no
KbdInteractiveAuthentication no
UsePAM no
EOF
    /usr/sbin/sshd -D -e -f "$scratch/$host.sshd_config" 2>"$scratch/$host.log" &
    pids+=($!)
    echo "[127.0.0.1]:$port $(cut -d' ' -f1,2 "$scratch/$host.key.pub")" >>"$scratch/known_hosts"
    cat >>"$scratch/ssh_config" <<EOF
Host $host
    HostName 127.0.0.1
    Port $port
    User root
    IdentityFile $scratch/user_key
    IdentitiesOnly yes
    UserKnownHostsFile $scratch/known_hosts
    StrictHostKeyChecking yes
    BatchMode yes
EOF
done
# parallel --ssh: the one ssh that knows the keys and the two "machines".
cat >"$scratch/ssh" <<EOF
#!/bin/sh
exec ssh -F $scratch/ssh_config "\$@"
EOF
chmod +x "$scratch/ssh"

for host in h1 h2; do
    ready=no
    for _ in $(seq 100); do
        if "$scratch/ssh" "$host" true 2>/dev/null; then
            ready=yes
            break
        fi
        sleep 0.1
    done
    if [ $ready != yes ]; then
        echo "FAIL: sshd for $host did not take the login"
        cat "$scratch/$host.log"
        exit 1
    fi
done

# A design whose logos depend on the lines before them (its heading is
# aligned fill: a one-letter heading keeps the spacing of the one before),
# and 300 lines, some names repeated.
cp -r "$design" "$scratch/local/Design"
cd "$scratch/local" || exit 1
for i in $(seq 0 299); do
    if [ $((i % 5)) = 0 ]; then heading=X; else heading="DAY $((i * 37 % 1000))"; fi
    echo "$heading;soup $((i % 7));logo$((i % 250)).bmp"
done >batch.txt

mkdir one
"$cli" batch Design batch.txt one --jobs 1 || { echo "FAIL: one run failed"; exit 1; }

# Sanitizer settings reach the remote runs too.
envs=()
for var in ASAN_OPTIONS LSAN_OPTIONS UBSAN_OPTIONS; do
    [ -n "${!var:-}" ] && export "${var?}" && envs+=(--env "$var")
done
HOME=$scratch/home parallel --ssh "$scratch/ssh" --sshlogin 2/h1,1/h2 --wd "$scratch/remote" \
    --halt now,fail=1 "${envs[@]}" --basefile Design --basefile batch.txt --return out/ \
    "mkdir -p out && '$cli' batch Design batch.txt out --jobs 1 --shard {}/3" ::: 1 2 3
status=$?
[ $status -eq 0 ] || { echo "FAIL: parallel exited with $status"; exit 1; }

# Each machine got the design and ran its part.
for host in h1 h2; do
    grep -q "Accepted publickey" "$scratch/$host.log" || { echo "FAIL: $host took no login"; exit 1; }
done
expected=$(ls one | wc -l)
got=$(ls out | wc -l)
echo "one run: $expected files; three parts over ssh: $got files"
[ "$expected" -gt 200 ] || { echo "FAIL: one run wrote only $expected files"; exit 1; }
if ! diff -r one out; then
    echo "FAIL: the parts' files differ from one run's"
    exit 1
fi
if ls -A out | grep -q '\.tmp$'; then
    echo "FAIL: temporary files came back"
    exit 1
fi
echo "all $got files byte for byte as one run wrote them"
