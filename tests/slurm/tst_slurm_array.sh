#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmere Vantrel developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The job-array script on a real Slurm cluster of one node, started here on 127.0.0.1 with its own munge
# key, ports, configuration, state, logs and sockets in a temporary folder, and stopped by process id at the
# end whatever happens. Over the shared corpus: four tasks all COMPLETED and their merge equal to one plain
# run byte for byte; then a task cancelled in the middle of its shard, resumed to the same records.
# Final job states are read from Slurm's job completion log (jobcomp/filetxt), as no accounting
# database runs here.
#
#   tst_slurm_array.sh QUILLMERE-EXTRACT ARRAY-SCRIPT CORPUS-FOLDER
#
# Exit status 77 (skipped) when the corpus, Slurm or munge is missing or the cluster cannot be started.
set -euo pipefail
# -m: a corpus folder that is absent still gets a name, so the test can say it skips.
extract=$(readlink -f "$1") array_script=$(readlink -f "$2") corpus=$(readlink -m "$3")
SKIP=77

skip() {
  echo "SKIP: $*"
  exit "$SKIP"
}
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ -d "$corpus" ] || skip "the shared corpus is absent ($corpus)"
PATH=$PATH:/usr/sbin:/sbin
for tool in munged mungekey slurmctld slurmd sbatch squeue scancel python3; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (packages slurm-wlm, munge, python3)"
done

# munged wants every folder above its socket searchable by all and writable by none but its owner.
tmp=$(mktemp -d /tmp/qv-slurm.XXXXXX)
chmod 711 "$tmp"
pids=()

stop_pid() {
  local pid=$1 i
  kill -TERM "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 100; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

cleanup() {
  local status=$? i
  set +e
  if [ -n "${SLURM_CONF:-}" ] && [ ${#pids[@]} -ge 2 ]; then
    # Jobs first, so that no job step outlives the node daemon that started it.
    scancel --user="$(id -un)" 2>/dev/null
    for ((i = 0; i < 100; i++)); do
      [ -z "$(squeue -h -o %i 2>/dev/null)" ] && break
      sleep 0.2
    done
  fi
  if [ "$status" -ne 0 ] && [ "$status" -ne "$SKIP" ]; then
    for log in "$tmp"/slurmctld.log "$tmp"/slurmd.log "$tmp"/work/run*/logs/*.log; do
      [ -f "$log" ] && { echo "--- $log"; tail -n 15 "$log"; }
    done
  fi
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    stop_pid "${pids[i]}"
  done
  rm -rf "$tmp"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mungekey -c -k "$tmp/munge.key"
munged -F --socket="$tmp/munge.sock" --key-file="$tmp/munge.key" --pid-file="$tmp/munged.pid" \
  --log-file="$tmp/munged.log" --seed-file="$tmp/munged.seed" >"$tmp/munged.out" 2>&1 &
pids+=($!)
for ((i = 0; i < 100; i++)); do
  [ -S "$tmp/munge.sock" ] && break
  kill -0 "${pids[0]}" 2>/dev/null || break
  sleep 0.1
done
[ -S "$tmp/munge.sock" ] || skip "munged did not start: $(tail -n 3 "$tmp/munged.out")"

read -r ctl_port node_port < <(python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
mkdir -p "$tmp/state" "$tmp/spool" "$tmp/work"
export SLURM_CONF=$tmp/slurm.conf
cat >"$SLURM_CONF" <<EOF
ClusterName=qvtest
SlurmctldHost=$(hostname -s)(127.0.0.1)
SlurmctldPort=$ctl_port
SlurmdPort=$node_port
SlurmUser=$(id -un)
SlurmdUser=$(id -un)
AuthType=auth/munge
AuthInfo=socket=$tmp/munge.sock
CredType=cred/munge
StateSaveLocation=$tmp/state
SlurmdSpoolDir=$tmp/spool
SlurmctldPidFile=$tmp/slurmctld.pid
SlurmdPidFile=$tmp/slurmd.pid
SlurmctldLogFile=$tmp/slurmctld.log
SlurmdLogFile=$tmp/slurmd.log
MailProg=/bin/true
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
MpiDefault=none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/filetxt
JobCompLoc=$tmp/jobcomp.txt
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
NodeName=qvnode NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=qvtest Nodes=qvnode Default=YES MaxTime=INFINITE State=UP
EOF
slurmctld -D -i -f "$SLURM_CONF" >"$tmp/slurmctld.out" 2>&1 &
pids+=($!)
slurmd -D -N qvnode -f "$SLURM_CONF" >"$tmp/slurmd.out" 2>&1 &
pids+=($!)
for ((i = 0; i < 300; i++)); do
  [ "$(sinfo -h -o %T 2>/dev/null)" = idle ] && break
  sleep 0.2
done
[ "$(sinfo -h -o %T 2>/dev/null)" = idle ] ||
  skip "the Slurm node did not come up: $(tail -n 3 "$tmp/slurmctld.log" "$tmp/slurmd.log" 2>&1)"

# The final state of a job, or of one task of an array job, from the job completion log.
state_of() {
  local pattern="^JobId=$1 "
  [ $# -eq 1 ] || pattern=" ArrayJobId=$1 ArrayTaskId=$2 "
  grep -E "$pattern" "$tmp/jobcomp.txt" 2>/dev/null | grep -o 'JobState=[A-Z_]*' | cut -d= -f2 | tail -n 1
}

# Waits until the merge job of a submission has ended; it runs after every task of its array has.
wait_for() {
  local job=$1 i
  for ((i = 0; i < 1500; i++)); do
    [ -n "$(state_of "$job")" ] && return 0
    sleep 0.2
  done
  fail "job $job did not end within 5 minutes"
}

# Reads "array job A (tasks ...), merge job M" from the script's output.
submitted() {
  sed -n 's/.*array job \([0-9]*\) .*merge job \([0-9]*\);.*/\1 \2/p' <<<"$1"
}

cd "$tmp/work"
export QUILLMERE_EXTRACT=$extract

# Four tasks over the folder: every task COMPLETED, and the merge equals one plain run.
"$extract" -q --ignore-failed-read "$corpus" >plain.jsonl
out=$(bash "$array_script" submit 4 run1 "$corpus")
read -r array merge <<<"$(submitted "$out")"
[ -n "$merge" ] || fail "no job ids in: $out"
wait_for "$merge"
for k in 0 1 2 3; do
  [ "$(state_of "$array" "$k")" = COMPLETED ] || fail "task $k ended $(state_of "$array" "$k")"
done
[ "$(state_of "$merge")" = COMPLETED ] || fail "the merge ended $(state_of "$merge")"
cmp plain.jsonl run1/records.jsonl || fail "the merged records differ from one plain run"
echo "four tasks COMPLETED; $(wc -l <plain.jsonl) records merged as one plain run writes them"

# A task cancelled in the middle of its shard. The corpus is listed ten times over, so that each shard
# takes long enough to be caught in its middle.
find "$corpus" -type f | sort >corpus.list
for i in $(seq 10); do cat corpus.list; done >long.list
"$extract" -q --ignore-failed-read -@ long.list >plain-long.jsonl
total=$(wc -l <plain-long.jsonl)
out=$(bash "$array_script" submit 4 run2 -@ long.list)
read -r array merge <<<"$(submitted "$out")"
[ -n "$merge" ] || fail "no job ids in: $out"
for ((i = 0; i < 3000; i++)); do
  [ -f run2/shard-2.jsonl ] && [ "$(wc -l <run2/shard-2.jsonl)" -ge 10 ] && break
  sleep 0.05
done
scancel "${array}_2"
wait_for "$merge"
[ "$(state_of "$array" 2)" = CANCELLED ] || fail "the cancelled task ended $(state_of "$array" 2)"
[ "$(state_of "$merge")" = FAILED ] || fail "the merge of an incomplete run ended $(state_of "$merge")"
[ ! -e run2/records.jsonl ] || fail "an incomplete run was merged"
lines=$(wc -l <run2/shard-2.jsonl)
[ "$lines" -gt 0 ] && [ "$lines" -lt $(((total - 2 + 3) / 4)) ] ||
  fail "task 2 was not stopped in the middle of its shard ($lines of $(((total - 2 + 3) / 4)) lines)"
head -n "$lines" run2/shard-2.jsonl >written-before.jsonl

out=$(bash "$array_script" resume run2)
read -r array merge <<<"$(submitted "$out")"
[ -n "$merge" ] || fail "no job ids in: $out"
wait_for "$merge"
[ "$(state_of "$array" 2)" = COMPLETED ] || fail "the resumed task ended $(state_of "$array" 2)"
[ "$(state_of "$merge")" = COMPLETED ] || fail "the merge after resuming ended $(state_of "$merge")"
grep -q "goes on after the $lines records" run2/logs/task-2.log || fail "task 2 started its shard over"
cmp -n "$(wc -c <written-before.jsonl)" written-before.jsonl run2/shard-2.jsonl ||
  fail "the records written before the cancel were rewritten"
cmp plain-long.jsonl run2/records.jsonl || fail "the resumed run's records differ from one plain run"
echo "task 2 cancelled after $lines records, resumed, $total records merged as one plain run writes them"
