#!/bin/bash
# The README's distributed commands, run as written: a private one-node Slurm cluster (munged,
# slurmctld, slurmd under a temporary folder) runs the study as a job array and merges it; an
# array with a shard left out is named by the merge and by `status`, and that shard alone
# submitted again completes it; GNU parallel runs it here and through ssh (a stand-in that
# starts the command in another folder, as a remote login would), with spaces in every path,
# and a failed shard is named and made again alone. Every merged runs.csv and summary.json must
# equal the unsharded study's byte for byte.
#
#   cluster_test.sh SOURCE_DIR BIN_DIR
#
# Needs root (the daemons) and Debian's slurm-wlm, munge and parallel (scripts/deps.sh). When it
# cannot run it fails with the reason; GYRO_SKIP_SLURM_TEST=1 skips it, saying so.
set -euo pipefail
src=$(realpath "$1") bin=$(realpath "$2")

fail() { echo "FAIL: $*" >&2; exit 1; }
if [[ ${GYRO_SKIP_SLURM_TEST:-} == 1 ]]; then
  echo "SKIPPED: GYRO_SKIP_SLURM_TEST=1: the Slurm and GNU parallel commands were not tried"
  exit 77
fi
[[ $(id -u) -eq 0 ]] || fail "the private Slurm cluster needs root (its daemons); run as root or set GYRO_SKIP_SLURM_TEST=1"
for cmd in munged slurmctld slurmd sbatch squeue scontrol sinfo scancel parallel runuser; do
  command -v "$cmd" >/dev/null || fail "$cmd is missing: scripts/deps.sh installs slurm-wlm, munge and parallel"
done
id munge >/dev/null 2>&1 || fail "no user munge: the munge package is not installed properly"

# The munge daemon's user must reach its socket folder: the temporary folder is opened to all.
tmp=$(mktemp -d /tmp/gyro-cluster.XXXXXX)
chmod 755 "$tmp"
stop_cluster() {
  set +e
  if [[ -n ${SLURM_CONF:-} && -f $tmp/slurm/slurmctld.pid ]]; then
    scancel --quiet --user=root >/dev/null 2>&1
  fi
  for pidfile in "$tmp/slurm/slurmd.pid" "$tmp/slurm/slurmctld.pid" "$tmp/munge/munged.pid"; do
    [[ -f $pidfile ]] || continue
    pid=$(cat "$pidfile")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$tmp"
}
trap stop_cluster EXIT
logs() { tail -n 20 "$tmp"/slurm/log/*.log "$tmp"/munge/munged.log 2>/dev/null >&2 || true; }

# --- munge: a key of its own, readable by its user only.
mkdir -p "$tmp/munge"
dd if=/dev/urandom of="$tmp/munge/munge.key" bs=1024 count=1 status=none
chown -R munge:munge "$tmp/munge"
chmod 711 "$tmp/munge"
chmod 400 "$tmp/munge/munge.key"
runuser -u munge -- munged --socket="$tmp/munge/munge.socket" --key-file="$tmp/munge/munge.key" \
  --pid-file="$tmp/munge/munged.pid" --log-file="$tmp/munge/munged.log" --seed-file="$tmp/munge/munged.seed" \
  || { logs; fail "munged did not start"; }

# --- Slurm: one node with this machine's CPUs, no cgroups, no accounting, ports that are free.
free_port() {
  local port
  for _ in $(seq 100); do
    port=$(( 20000 + RANDOM % 30000 ))
    # Nothing answers there: free.
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || { echo "$port"; return; }
  done
  fail "no free TCP port found"
}
host=$(hostname -s)
mkdir -p "$tmp/slurm/state" "$tmp/slurm/spool" "$tmp/slurm/log"
cat > "$tmp/slurm/slurm.conf" <<EOF
ClusterName=gyrotest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=$(free_port)
SlurmdPort=$(free_port)
SlurmUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$tmp/munge/munge.socket
StateSaveLocation=$tmp/slurm/state
SlurmdSpoolDir=$tmp/slurm/spool
SlurmctldPidFile=$tmp/slurm/slurmctld.pid
SlurmdPidFile=$tmp/slurm/slurmd.pid
SlurmctldLogFile=$tmp/slurm/log/slurmctld.log
SlurmdLogFile=$tmp/slurm/log/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
MpiDefault=none
NodeName=$host NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=gyro Nodes=$host Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$tmp/slurm/slurm.conf
slurmctld -f "$SLURM_CONF" || { logs; fail "slurmctld did not start"; }
slurmd -f "$SLURM_CONF" || { logs; fail "slurmd did not start"; }
for _ in $(seq 100); do
  [[ $(sinfo -h -o %t 2>/dev/null) == idle ]] && break
  sleep 0.2
done
[[ $(sinfo -h -o %t 2>/dev/null) == idle ]] || { logs; fail "the Slurm node did not come up idle"; }

# Waits until the private cluster has no job left.
drain() {
  for _ in $(seq 600); do
    [[ -z $(squeue -h -o %i) ]] && return
    sleep 0.1
  done
  squeue >&2
  logs
  fail "jobs still queued after 60 s"
}

# The README's command blocks, each after a marker line "<!-- cluster test: NAME -->".
readme_block() {
  awk -v mark="<!-- cluster test: $1 -->" '
    $0 == mark { found = 1; next }
    found && /^```/ { if (inside) exit; inside = 1; next }
    inside { print }' "$src/README.md"
}
for block in slurm slurm-rerun parallel; do
  [[ -n $(readme_block "$block") ]] || fail "README.md has no command block '$block'"
done

# A small study whose runs differ in drive frequency, so that lanes mix frequencies.
work="$tmp/study work"
mkdir -p "$work"
ln -s "$src/examples" "$work/examples"
cat > "$work/study.json" <<'EOF'
{"model": "pelisond", "set": {"StopTime": 0.004},
 "grid": {"BaseRate": {"linspace": [-1, 1, 5]}, "DriveFrequency": [60000, 61000]},
 "figures": {"fi": {"series": "Fi", "stat": "amplitude", "frequency": "DriveFrequency", "from": 0.5},
             "drift": {"series": "Drift", "stat": "mean", "from": 0.5}}}
EOF
export PATH="$bin:$PATH"
read -r -a study_options <<<"${GYRO_STUDY_OPTIONS:-}"
gyro-study "$work/study.json" --out "$work/whole" --workers 2 "${study_options[@]}" >/dev/null \
  || fail "the unsharded study did not run"

same_as_whole() {
  for file in runs.csv summary.json; do
    [[ -f $1/$file ]] || fail "$2: no merged $file in $1"
    cmp -s "$work/whole/$file" "$1/$file" || fail "$2: merged $file differs from the unsharded study's"
  done
  echo "ok: $2 gives the unsharded study's runs.csv and summary.json"
}

# --- Slurm: the README's two commands as written.
(cd "$work" && bash -euo pipefail -c "$(readme_block slurm)") >/dev/null || fail "the README's Slurm commands failed"
drain
same_as_whole "$work/results" "Slurm array and merge"
ls "$work/results/logs/"gyro-study-*_1.log >/dev/null 2>&1 || fail "no task log named by job and task in results/logs"
ls "$work/results/logs/"gyro-study-merge-*.log >/dev/null 2>&1 || fail "no merge log in results/logs"
gyro-study status "$work/results" >/dev/null || fail "status calls the merged study unfinished"

# An array with shard 3 left out: the merge and status name it; submitted alone, it completes the study.
rm -rf "$work/results"
commands=$(readme_block slurm)
[[ $commands == *--array=1-4* ]] || fail "the README's array is not --array=1-4"
(cd "$work" && bash -euo pipefail -c "${commands//--array=1-4/--array=1,2,4 --export=ALL,SHARDS=4}") >/dev/null \
  || fail "the array without shard 3 was not submitted"
drain
[[ ! -f $work/results/runs.csv ]] || fail "the merge wrote results with shard 3 missing"
merge_log=$(cat "$work/results/logs/"gyro-study-merge-*.log)
grep -q "Не закончены части 3 из 4" <<<"$merge_log" || fail "the merge log does not name shard 3: $merge_log"
grep -q -- "--array=3 " <<<"$merge_log" || fail "the merge log does not say how to submit shard 3 again: $merge_log"
set +e
report=$(gyro-study status "$work/results")
code=$?
set -e
[[ $code -eq 3 ]] || fail "status of an unfinished array exits $code, not 3"
grep -q "часть 3/4: нет" <<<"$report" || fail "status does not name shard 3 as missing: $report"
rm "$work/results/logs/"gyro-study-merge-*.log
# In the same shell as the first commands, so with their STUDY and OUT.
(cd "$work" && export STUDY="$work/study.json" OUT="$work/results" && bash -euo pipefail -c "$(readme_block slurm-rerun)") \
  >/dev/null || fail "the README's resubmission failed"
drain
same_as_whole "$work/results" "Slurm array with shard 3 submitted again"

# --- GNU parallel: here, and through ssh to machines sharing the file system. Shard 3 fails
# first (a file stands where its folder goes): named, no merge; the same call again makes it alone.
# SHELL is unset, as under cron or a CI runner: parallel then fails remote jobs yet logs them done.
remote="$tmp/remote home"
mkdir -p "$remote" "$tmp/tool dir"
ln -s "$bin/gyro-study" "$tmp/tool dir/gyro-study"
cat > "$tmp/ssh" <<EOF
#!/bin/bash
# Stands in for ssh: skips the options and the host, runs the command in another folder.
while [[ \$1 == -* ]]; do shift; done
shift
[[ \$1 == -- ]] && shift
cd "$remote" && exec bash -c "\$*"
EOF
chmod +x "$tmp/ssh"
export GYRO_STUDY="$tmp/tool dir/gyro-study" PARALLEL_SSH=$tmp/ssh
while IFS= read -r line; do
  [[ -n $line ]] || continue
  rm -rf "$work/results"
  mkdir -p "$work/results"
  touch "$work/results/shard-3"
  set +e
  out=$(cd "$work" && env -u SHELL PATH=/usr/bin:/bin bash -c "$line" 2>&1)
  code=$?
  set -e
  [[ $code -ne 0 ]] || fail "parallel: a failed shard was reported as success: $line"
  grep -q "Не закончены части 3 из 4" <<<"$out" || fail "parallel: the failed shard is not named: $out"
  [[ ! -f $work/results/runs.csv ]] || fail "parallel: merged with shard 3 missing"
  rm "$work/results/shard-3"
  runs_before=$(wc -l < "$work/results/logs/parallel.log")
  (cd "$work" && env -u SHELL PATH=/usr/bin:/bin bash -c "$line") >/dev/null 2>&1 || fail "parallel: the second call failed: $line"
  [[ $(( $(wc -l < "$work/results/logs/parallel.log") - runs_before )) -eq 1 ]] \
    || fail "parallel: the second call ran more than the failed shard: $(cat "$work/results/logs/parallel.log")"
  same_as_whole "$work/results" "GNU parallel ($line)"
done <<<"$(readme_block parallel)"
echo "PASSED"
