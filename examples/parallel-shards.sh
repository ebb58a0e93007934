#!/bin/bash
# A study split into shards run by GNU parallel, here or on other machines, then merged:
#
#   bash examples/parallel-shards.sh STUDY.json RESULTS SHARDS [parallel options, e.g. --sshlogin 4/node1,4/node2]
#
# Shard K goes to RESULTS/shard-K, parallel's job log to RESULTS/logs/parallel.log. Run again
# with the same arguments, only the shards that failed or never ran are made again (each
# resumes its finished rows), then the merge. Paths are made absolute and passed quoted, so
# with --sshlogin the study file, the results folder and gyro-study must be reachable under
# the same paths on every machine (a shared file system). gyro-study is taken from PATH, or
# from GYRO_STUDY; GYRO_STUDY_OPTIONS adds options (e.g. "--lanes 1").
set -euo pipefail
if [[ $# -lt 3 ]]; then
  echo "Запуск: $0 ИССЛЕДОВАНИЕ.json ПАПКА ЧИСЛО_ЧАСТЕЙ [ключи parallel]" >&2
  exit 2
fi
study=$(realpath -- "$1") out=$(realpath -m -- "$2") shards=$3
shift 3
tool=${GYRO_STUDY:-gyro-study}
if [[ $tool == */* ]]; then
  tool=$(realpath -- "$tool")
fi
read -r -a options <<<"${GYRO_STUDY_OPTIONS:-}"
mkdir -p "$out/logs"
# parallel starts remote jobs with $SHELL, and with SHELL unset (cron, CI, some batch systems) its
# remote wrapper fails to start them yet reports them done: name a shell that is always there.
export PARALLEL_SHELL=${PARALLEL_SHELL:-/bin/sh}

status=0
seq 1 "$shards" | parallel --will-cite --joblog "$out/logs/parallel.log" --resume-failed -q "$@" \
  "$tool" "$study" --out "$out/shard-{}" --shard "{}/$shards" --workers 1 "${options[@]}" || status=$?
# The shard folders, not parallel's status alone, say whether every shard finished; they name
# the ones that did not.
if [[ $status -eq 0 ]] && ! "$tool" status "$out" >/dev/null 2>&1; then
  status=1
  # parallel logged as done shards that are not: set its log aside, so the next call runs them.
  mv -f "$out/logs/parallel.log" "$out/logs/parallel.log.unreliable"
fi
if [[ $status -ne 0 ]]; then
  "$tool" status "$out" >&2 || true
  echo "$0: объединение не выполнено: не все части закончены (журнал: $out/logs/parallel.log);" \
       "тот же вызов запустит снова только их" >&2
  exit 1
fi
"$tool" merge --out "$out" "$out"/shard-*
