#!/usr/bin/env bash
# Sources the bash completion of tallyvault-cli and checks what it offers:
#   CheckCompletion.sh path/to/tallyvault-cli.bash
set -u
shopt -s extglob
# shellcheck disable=SC1090
source "$1"
failures=0

expect() {  # expect "WORDS..." "EXPECTED REPLY"
    read -r -a COMP_WORDS <<<"$1"
    [[ "$1" == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tallyvault_cli
    local got="${COMPREPLY[*]}"
    if [[ "$got" != "$2" ]]; then
        echo "completion of '$1': got '$got', expected '$2'"
        failures=$((failures + 1))
    fi
}

expect "tallyvault-cli ver" "verify"
expect "tallyvault-cli va" "validate"
expect "tallyvault-cli verify --" "--card --report --all-findings --scale-key --json"
expect "tallyvault-cli --data-dir /tmp verify --a" "--all-findings"
expect "tallyvault-cli validate --" "--archive-log --card --report --json"
expect "tallyvault-cli archive co" "complete continue"
expect "tallyvault-cli archive date --f" "--from"
expect "tallyvault-cli --d" "--data-dir"
expect "tallyvault-cli identify --purpose v" "verify"

# Paths: a folder of the test's own is offered after verify and after --report.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/archives"
touch "$dir/a.csv" "$dir/report.html"
expect "tallyvault-cli verify $dir/arc" "$dir/archives"
expect "tallyvault-cli verify $dir/a.c" "$dir/a.csv"
expect "tallyvault-cli verify x --report $dir/rep" "$dir/report.html"

if [[ $failures -gt 0 ]]; then exit 1; fi
echo "bash completion: all cases passed"
