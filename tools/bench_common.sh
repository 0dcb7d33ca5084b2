# Shared by the timing scripts: median_ms SETUP ARGS... runs SETUP
# (untimed; ":" for none), then gorvtool ARGS, five times, and prints the
# median in milliseconds. Needs $build.
median_ms() {
  local setup=$1
  shift
  local times=()
  for _ in 1 2 3 4 5; do
    eval "$setup"
    local start end
    start=$(date +%s%N)
    "$build/gorvtool" "$@" </dev/null >/dev/null
    end=$(date +%s%N)
    times+=($(((end - start) / 1000)))
  done
  local median
  median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
  printf '%d.%d ms' $((median / 1000)) $((median % 1000 / 100))
}
