#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a small atlas on a one-node Slurm cluster and compares it with `atlas run`:
#     scripts/test-slurm.sh [BUILD FOLDER]
# It starts munged, slurmctld and slurmd from Debian's munge and slurm-wlm (scripts/install-deps.sh
# installs them; this script installs nothing) with their key, configuration and state in a temporary
# folder, the node named by `hostname` with `nproc` CPUs, submits the atlas with
# `taonscope-cli atlas slurm --submit`, waits for its merge and stops the daemons again. Without root,
# or where the daemons cannot start, it says that the test is SKIPPED (status 0, never "passed");
# a Slurm run whose atlas differs from `atlas run`, or that does not finish, fails it (status 1).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli=$(realpath "$build/src/cli/taonscope-cli")

skip() {
    echo "Slurm test SKIPPED: $*"
    exit 0
}
[[ -x $cli ]] || { echo "Slurm test: $cli is missing (build first)"; exit 1; }
[[ $(id -u) -eq 0 ]] || skip "it must run as root to start munged, slurmctld and slurmd"
for program in munged mungekey slurmctld slurmd sbatch squeue sinfo; do
    command -v "$program" > /dev/null || skip "$program is not installed (scripts/install-deps.sh installs munge and slurm-wlm)"
done

state=$(mktemp -d /tmp/taonscope-slurm-XXXXXX)
pids=()
stop() {
    for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2> /dev/null || true; done
    rm -rf "$state"
}
trap stop EXIT
# Says what the daemons logged, then skips: this machine cannot run Slurm.
cannot_start() {
    for log in "$state"/*.log; do [[ -f $log ]] && { echo "--- $log"; tail -n 15 "$log"; }; done
    skip "$*"
}

# Two free ports for the controller and the node, found from a random start.
free_port() {
    local port=$((20000 + RANDOM % 20000))
    while (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null; do port=$((port + 1)); done
    echo "$port"
}
ctld_port=$(free_port)
slurmd_port=$(free_port)
[[ $slurmd_port != "$ctld_port" ]] || slurmd_port=$((ctld_port + 1))

node=$(hostname)
mkdir -p "$state/ctld" "$state/spool" "$state/munge" "$state/jobs"
chmod 700 "$state/munge"
mungekey --create --keyfile="$state/munge/munge.key" > /dev/null 2>&1 || cannot_start "mungekey could not make a key"
munged --force --key-file="$state/munge/munge.key" --socket="$state/munge/munge.socket" \
    --pid-file="$state/munge/munged.pid" --log-file="$state/munged.log" --seed-file="$state/munge/munged.seed" \
    --foreground > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [[ -S $state/munge/munge.socket ]] && break; sleep 0.1; done
[[ -S $state/munge/munge.socket ]] || cannot_start "munged did not start"

cat > "$state/slurm.conf" << EOF
ClusterName=taonscope
SlurmctldHost=$node
SlurmUser=root
SlurmdUser=root
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
AuthInfo=socket=$state/munge/munge.socket
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
MpiDefault=none
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
StateSaveLocation=$state/ctld
SlurmdSpoolDir=$state/spool
SlurmctldPidFile=$state/slurmctld.pid
SlurmdPidFile=$state/slurmd.pid
SlurmctldLogFile=$state/slurmctld.log
SlurmdLogFile=$state/slurmd.log
JobCompType=jobcomp/none
AccountingStorageType=accounting_storage/none
JobAcctGatherType=jobacct_gather/none
NodeName=$node CPUs=$(nproc) State=UNKNOWN
PartitionName=atlas Nodes=$node Default=YES MaxTime=INFINITE State=UP
EOF
export SLURM_CONF=$state/slurm.conf
slurmctld -D -i -f "$SLURM_CONF" > /dev/null 2>&1 &
pids+=($!)
slurmd -D -f "$SLURM_CONF" -N "$node" > /dev/null 2>&1 &
pids+=($!)
ready=
for _ in $(seq 100); do
    if [[ $(sinfo -h -n "$node" -o %T 2> /dev/null) == idle* ]]; then ready=1; break; fi
    sleep 0.3
done
[[ -n $ready ]] || cannot_start "the node did not become idle within 30 seconds"
echo "Slurm test: one node $node with $(nproc) CPUs is up"

cat > "$state/jobs/small.atlas.json" << 'EOF'
{"title": "Slurm against atlas run",
 "base": {"scenario": "cloud", "seed": 4, "side": 14, "min_distance": 2, "kinds": [30, 10, 0]},
 "vary": [{"parameter": "A", "from": 0.5, "to": 2, "count": 3, "spacing": "log"},
          {"parameter": "B1", "from": 2.4, "to": 3.2, "count": 2}],
 "repetitions": 2, "protocol": {"steps": 300, "cool": true}}
EOF
# A folder name that a shell would split or run: the scripts quote it.
slurm="$state/jobs/Slurm's atlas (a;b)"
"$cli" atlas plan "$state/jobs/small.atlas.json" "$slurm"
"$cli" atlas plan "$state/jobs/small.atlas.json" "$state/jobs/local"
"$cli" atlas slurm "$slurm" --cells-per-task 5 --time 10 --submit
"$cli" atlas run "$state/jobs/local" --jobs 2 2> /dev/null

for _ in $(seq 240); do
    [[ -f $slurm/atlas.csv ]] && [[ -z $(squeue -h 2> /dev/null) ]] && break
    sleep 0.5
done
if [[ ! -f $slurm/atlas.csv ]]; then
    echo "Slurm test FAILED: the jobs did not write atlas.csv within two minutes"
    squeue || true
    cat "$slurm"/slurm/*.out 2> /dev/null | tail -n 20 || true
    exit 1
fi
for file in atlas.csv atlas.json; do
    if ! cmp "$slurm/$file" "$state/jobs/local/$file"; then
        echo "Slurm test FAILED: $file of the Slurm jobs differs from that of atlas run"
        exit 1
    fi
done
echo "Slurm test passed: $(($(wc -l < "$slurm/atlas.csv") - 1)) cells in $(ls "$slurm"/slurm/cells-*.out | wc -l) array tasks, atlas.csv and atlas.json byte for byte those of atlas run"
