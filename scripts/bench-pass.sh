#!/usr/bin/env bash
# Measures the echo layer of a test pass against fping and ping, in network
# namespaces of its own (removed again on exit).
set -euo pipefail

usage() {
  cat <<'TEXT'
usage: scripts/bench-pass.sh [--runs K] [--build-dir DIR] [--no-build]

Must run as root: it creates network namespaces (and removes them on exit).

  Pass time   N = 30 and N = 300 loopback addresses (127.0.1.1 onwards) in a
              namespace of their own: our pass (one thread per address, all at
              once, 10 s time-out) against 'fping -c1' with its default
              interval and with '-i 1'. Median of K runs each (default 5).
              Prints  ratio pass_vs_fping_i1_300 VALUE
                      ratio pass_vs_fping_default_300 VALUE   (ours / fping's time)
  Accuracy    an address behind a veth pair whose namespace answers echoes
              after 40 ms (tools/echo_responder, kernel replies off): the median
              of 10 EchoOnce values against the median of 'ping -c 10'.
              Prints  delta rtt_vs_ping_ms VALUE               (absolute difference)

Our time runs from the start of the pass to the last reply; fping's is the
wall time of the fping process.

  --runs K         runs per measurement (default 5)
  --build-dir DIR  Release build directory (default build/bench-pass)
  --no-build       use the programs already built in DIR
TEXT
}

runs=5
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/bench-pass"
do_build=1
while [[ $# -gt 0 ]]; do
  case "$1" in
    -h|--help) usage; exit 0 ;;
    --runs) runs=${2:?--runs needs a number}; shift 2 ;;
    --build-dir) build=${2:?--build-dir needs a directory}; shift 2 ;;
    --no-build) do_build=0; shift ;;
    *) echo "bench-pass.sh: unknown argument '$1' (see --help)" >&2; exit 1 ;;
  esac
done

if [[ $(id -u) -ne 0 ]]; then
  echo "bench-pass.sh: must run as root (network namespaces, raw sockets)" >&2
  exit 1
fi
for tool in ip fping ping g++ cmake; do
  command -v "$tool" >/dev/null || { echo "bench-pass.sh: '$tool' is missing" >&2; exit 1; }
done

probe="$build/bench/bench_pass_probe"
responder="$build/echo_responder"
if [[ $do_build -eq 1 ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLARK_GUI=OFF >/dev/null
  cmake --build "$build" --target bench_pass_probe -j 2 >/dev/null
  g++ -std=c++20 -O2 -Wall -Wextra -o "$responder" "$root/tools/echo_responder.cpp"
fi

ns_pass="qlk-pass-$$" ns_near="qlk-near-$$" ns_far="qlk-far-$$"
responder_pid=""
cleanup() {
  if [[ -n "$responder_pid" ]]; then
    kill "$responder_pid" 2>/dev/null || true
    wait "$responder_pid" 2>/dev/null || true
  fi
  for ns in "$ns_pass" "$ns_near" "$ns_far"; do ip netns del "$ns" 2>/dev/null || true; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }

# N loopback addresses from 127.0.1.1 on, counted as numbers (300 end at 127.0.2.44).
hosts() {
  local n=$1 i h
  for ((i = 0; i < n; i++)); do
    h=$((257 + i))
    echo "127.$((h >> 16)).$(((h >> 8) & 255)).$((h & 255))"
  done
}

# Our pass over the given addresses, in milliseconds from its start to the
# last reply. This is the one place that says what "our pass" is: replace it
# with the real test pass when that exists.
our_pass_ms() {
  ip netns exec "$ns_pass" "$probe" --timeout-ms 10000 "$@" | awk '/^pass_ms/ { print $2 }'
}

# Wall time of a command in milliseconds.
wall_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1 || true
  end=$(date +%s%N)
  awk -v ns=$((end - start)) 'BEGIN { printf "%.3f", ns / 1e6 }'
}

fping_ms() {
  local interval=$1; shift
  if [[ $interval == default ]]; then
    wall_ms ip netns exec "$ns_pass" fping -c1 -q "$@"
  else
    wall_ms ip netns exec "$ns_pass" fping -c1 -q -i "$interval" "$@"
  fi
}

measure_pass_time() {
  ip netns add "$ns_pass"
  ip -n "$ns_pass" link set lo up
  local n addresses ours default i1 run
  for n in 30 300; do
    mapfile -t addresses < <(hosts "$n")
    ours=() default=() i1=()
    for ((run = 0; run < runs; run++)); do
      ours+=("$(our_pass_ms "${addresses[@]}")")
      default+=("$(fping_ms default "${addresses[@]}")")
      i1+=("$(fping_ms 1 "${addresses[@]}")")
    done
    local m_ours m_default m_i1
    m_ours=$(printf '%s\n' "${ours[@]}" | median)
    m_default=$(printf '%s\n' "${default[@]}" | median)
    m_i1=$(printf '%s\n' "${i1[@]}" | median)
    echo "pass_ms N=$n ours $m_ours fping_default $m_default fping_i1 $m_i1 (median of $runs)"
    if [[ $n -eq 300 ]]; then
      echo "ratio pass_vs_fping_i1_300 $(ratio "$m_ours" "$m_i1")"
      echo "ratio pass_vs_fping_default_300 $(ratio "$m_ours" "$m_default")"
    fi
  done
}

measure_accuracy() {
  local near_addr=10.231.0.1 far_addr=10.231.0.2 delay_ms=40
  ip netns add "$ns_near"
  ip netns add "$ns_far"
  ip link add qlkn$$ netns "$ns_near" type veth peer name qlkf$$ netns "$ns_far"
  ip -n "$ns_near" addr add "$near_addr/24" dev qlkn$$
  ip -n "$ns_far" addr add "$far_addr/24" dev qlkf$$
  for ns in "$ns_near" "$ns_far"; do
    ip -n "$ns" link set lo up
    ip -n "$ns" link set "qlk$([[ $ns == "$ns_near" ]] && echo n || echo f)$$" up
  done
  ip netns exec "$ns_far" sysctl -qw net.ipv4.icmp_echo_ignore_all=1
  ip netns exec "$ns_far" "$responder" --delay-ms "$delay_ms" --seconds 120 2>/dev/null &
  responder_pid=$!
  sleep 0.5

  local ping_median ours_median
  ping_median=$(ip netns exec "$ns_near" ping -n -c 10 -i 0.2 "$far_addr" |
    sed -n 's/.*time=\([0-9.]*\) ms.*/\1/p' | median)
  ours_median=$(ip netns exec "$ns_near" "$probe" --passes 10 --print-values "$far_addr" |
    awk '/^echo/ { print $3 }' | median)
  echo "rtt_ms echo_once_median $ours_median ping_median $ping_median (responder delay $delay_ms ms)"
  echo "delta rtt_vs_ping_ms $(awk -v a="$ours_median" -v b="$ping_median" \
    'BEGIN { d = a - b; printf "%.3f", d < 0 ? -d : d }')"
}

measure_pass_time
measure_accuracy
