#!/bin/sh
# A study split into shards run by GNU parallel, here or on other machines, then merged:
#
#   parallel-shards.sh STUDY.json RESULTS SHARDS [parallel options, e.g. --sshlogin 4/node1,4/node2]
#
# With --sshlogin the study file, the results folder and gyro-study must be reachable under the
# same paths on every machine (a shared file system). GYRO_STUDY names the tool when it is not on PATH.
set -eu
study=$1 out=$2 shards=$3
shift 3
tool=${GYRO_STUDY:-gyro-study}
seq 1 "$shards" | parallel --will-cite "$@" \
  "$tool" "$study" --out "$out/shard-{}" --shard "{}/$shards" --workers 1
"$tool" merge --out "$out" "$out"/shard-*
