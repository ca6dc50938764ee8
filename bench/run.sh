#!/usr/bin/env bash
# Benchmarks Zarvane.exe under Wine against minimal Win32 references, and cp as the Linux
# reference, then prints a table. Usage: bench/run.sh
# Settings from the environment:
#   BENCH_DIR        build and work folder (default build/bench); the Wine prefix lives in it
#   BENCH_RUNS       start-up runs of each program (default 15)
#   BENCH_COPY_RUNS  copy runs of each program and data set (default 5)
#   ZARVANE_EXE      the program to measure (default build/win64/Zarvane.exe, built when missing)
#   ZARVANE_OLD_EXE  the earlier build the settings part compares with (default: built from
#                    ZARVANE_OLD_COMMIT, 0eea79b, in a worktree BENCH_DIR/old-<commit>)
#   ZARVANE_BASE_EXE an earlier Zarvane.exe whose copies are timed side by side with it
#   BENCH_CHECK_RUNS runs of the folder checks beside the copy (default 3)
#   BENCH_PARTS      what to run: any of startup, copy, settings, check (default all four); or
#                    single start-up series: copy_floor, options_floor, crowded, free_number,
#                    format_menu; shell_state (Windows 11's menu: GetState for 1,000 files)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench_dir=$(mkdir -p "${BENCH_DIR:-$root/build/bench}" && cd "${BENCH_DIR:-$root/build/bench}" && pwd)
runs=${BENCH_RUNS:-15}
copy_runs=${BENCH_COPY_RUNS:-5}
check_runs=${BENCH_CHECK_RUNS:-3}
parts=${BENCH_PARTS:-startup,copy,settings,check,shell_state}
wants() { [[ ",$parts," == *",$1,"* ]]; }
# What benchdriver.exe runs: every part but the folder checks, which have their own program.
driver_parts=$(printf '%s' ",$parts," | sed 's/,check,/,/g; s/^,//; s/,$//')

. "$root/scripts/deps.sh"
zv_install_deps || { echo "could not install the build prerequisites"; exit 1; }

export WINEPREFIX=$bench_dir/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES=mscoree,mshtml=   # no Mono or Gecko installer at the first boot
export LC_ALL=ja_JP.UTF-8
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

log() { printf '%s\n' "$*" >&2; }
winpath() { local full; full=$(realpath -s -- "$1"); printf 'Z:%s' "${full//\//\\}"; }
now_ns() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# --- build --------------------------------------------------------------------------------
zarvane=${ZARVANE_EXE:-$root/build/win64/Zarvane.exe}
if [ ! -f "$zarvane" ]; then
  log "building Zarvane.exe in $bench_dir/zarvane-win64"
  cmake -S "$root" -B "$bench_dir/zarvane-win64" --toolchain "$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >"$bench_dir/zarvane-configure.log" 2>&1 ||
    { tail -n 40 "$bench_dir/zarvane-configure.log"; exit 1; }
  cmake --build "$bench_dir/zarvane-win64" --target Zarvane -j "$(nproc)" >"$bench_dir/zarvane-build.log" 2>&1 ||
    { tail -n 40 "$bench_dir/zarvane-build.log"; exit 1; }
  zarvane=$bench_dir/zarvane-win64/Zarvane.exe
fi
# The program as it was before its own settings engine (the profile functions read the file).
zarvane_old=${ZARVANE_OLD_EXE:-}
if wants settings && [ -z "$zarvane_old" ]; then
  old_commit=${ZARVANE_OLD_COMMIT:-0eea79b}
  old_src=$bench_dir/old-${old_commit//[^0-9A-Za-z]/_}
  if [ ! -d "$old_src" ]; then
    log "checking out $old_commit in $old_src"
    git -C "$root" worktree add --detach "$old_src" "$old_commit" >/dev/null 2>&1 ||
      { log "cannot check out $old_commit"; exit 1; }
  fi
  zarvane_old=$old_src/build/win64/Zarvane.exe
  if [ ! -f "$zarvane_old" ]; then
    log "building the earlier Zarvane.exe in $old_src/build/win64"
    (cd "$old_src" && cmake --preset win64 && cmake --build --preset win64 --target Zarvane -j "$(nproc)") \
      >"$bench_dir/old-build.log" 2>&1 || { tail -n 40 "$bench_dir/old-build.log"; exit 1; }
  fi
fi
log "building the benchmark programs in $bench_dir/win64"
cmake -S "$root/bench" -B "$bench_dir/win64" --toolchain "$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >"$bench_dir/bench-configure.log" 2>&1 ||
  { tail -n 40 "$bench_dir/bench-configure.log"; exit 1; }
cmake --build "$bench_dir/win64" -j "$(nproc)" >"$bench_dir/bench-build.log" 2>&1 ||
  { tail -n 40 "$bench_dir/bench-build.log"; exit 1; }

# --- data, on the same disk as the copies ------------------------------------------------
data=$(mktemp -d "$bench_dir/data.XXXXXX")
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -rf "$data"
}
trap cleanup EXIT
log "preparing data in $data"
printf 'quarterly figures\r\n' >"$data/small.txt"
# The same source among 5,000 files and among 5.
mkdir -p "$data/crowded" "$data/few"
(cd "$data/crowded" && seq -f 'n%04g.txt' 1 4999 | xargs touch && cp ../small.txt report.txt)
(cd "$data/few" && touch n1.txt n2.txt n3.txt n4.txt && cp ../small.txt report.txt)
if wants copy || wants check; then
  head -c 200M /dev/urandom >"$data/big.bin"
  for d in $(seq -w 0 19); do
    mkdir -p "$data/tree/d$d"
    head -c $((100 * 4096)) /dev/urandom | split -b 4096 -d -a 3 --additional-suffix=.dat - "$data/tree/d$d/f"
  done
  [ "$(find "$data/tree" -type f | wc -l)" -eq 2000 ] || { log "tree preparation failed"; exit 1; }
fi
if wants check; then
  # 20,000 files of 1 KB in 200 folders; 100,000 empty files in 1,000 folders (101,000 items).
  for d in $(seq -w 0 199); do
    mkdir -p "$data/tree20k/d$d"
    head -c $((100 * 1024)) /dev/urandom | split -b 1024 -d -a 3 --additional-suffix=.dat - "$data/tree20k/d$d/f"
  done
  for d in $(seq -w 0 999); do mkdir -p "$data/tree100k/d$d" && (cd "$data/tree100k/d$d" && touch f{000..099}.txt); done
  [ "$(find "$data/tree20k" -type f | wc -l)" -eq 20000 ] && [ "$(find "$data/tree100k" | wc -l)" -eq 101001 ] ||
    { log "check tree preparation failed"; exit 1; }
fi
if wants settings; then
  # A real [Option] section, then about 2 MB of comment lines and a section of 15,000 filler
  # keys (values of 200 characters: the profile functions read at most 511), [SYSTEM] last.
  # The small file is the same without the filler. ASCII, CR LF: the same text for both builds.
  awk -v big="$data/settings-big.ini" -v small="$data/settings-small.ini" 'BEGIN {
    ORS = "\r\n"
    split("PrevInstance=1|OpenFileExt1=txt html htm|OpenFileExt2=html htm bat vbs|OpenAplPath=|OpenOriginalCheck=0|" \
          "OpenFolderCheck=1|DispExt=1|IMEMode=0|TopMost=0|StartUpPos=0|NotConfirmReplaceFile=0|ShellExecOpen=0|" \
          "FolderOnly=0|FileNameFormat=%F_copy|ExtNameFormat=|FolderNameFormat=%F_copy|CopyToFolder=0|" \
          "CopyToFolderPath=|Attribute=0|AttrArchive=0|AttrReadOnly=0|AttrHidden=0|AttrSystem=0|AutoNo=0|" \
          "SkipUsedNo=1|StartUpLeft=0|StartUpTop=0", keys, "|")
    for (f = 0; f < 2; f++) {
      out = f ? big : small
      print "; Zarvane settings" > out
      print "[Option]" > out
      for (i = 1; i in keys; i++) print keys[i] > out
      if (f) {
        pad = sprintf("%0200d", 0); gsub("0", "x", pad)
        for (i = 1; i <= 30000; i++) printf "; note %05d: kept by the user, as editors leave such lines behind%s", i, ORS > out
        print "" > out
        print "[Filler]" > out
        for (i = 1; i <= 15000; i++) printf "Key%05d=%s%05d%s", i, substr(pad, 1, 195), i, ORS > out
      }
      print "" > out
      print "[SYSTEM]" > out
      print "HkcrExt=" > out
      close(out)
    }
  }'
  log "settings files: $(stat -c %s "$data/settings-big.ini") and $(stat -c %s "$data/settings-small.ini") bytes"
fi

load_before=$(uptime)

# --- Linux reference: cp on the same data -----------------------------------------------
cp_times() {  # <cp args...> <source> <target>
  local target=${*: -1} i t0 t1
  for i in $(seq 0 "$copy_runs"); do
    rm -rf "$target"
    t0=$(now_ns); cp "$@"; t1=$(now_ns)
    [ "$i" -eq 0 ] || echo $(((t1 - t0) / 1000))  # the first run warms up
  done
  rm -rf "$target"
}
cp_file_us=0 cp_tree_us=0
if wants copy; then
  log "timing cp"
  cp_file_us=$(cp_times "$data/big.bin" "$data/big_cp.bin" | median)
  cp_tree_us=$(cp_times -r "$data/tree" "$data/tree_cp" | median)
fi

# --- Linux side: the program's tree reading against find on the 101,000-item tree ------------
find_us=0 treeread_us=0 treefloor_us=0
if wants check; then
  log "timing find and the tree reading on Linux"
  g++ -O2 -std=c++20 -I "$root/src" "$root/bench/src/treeread.cpp" "$root/src/copy/TreeCheck.cpp" \
    "$root/src/core/PathText.cpp" "$root/src/core/FileNameCase.cpp" -o "$bench_dir/treeread"
  find_us=$(for i in $(seq 0 "$check_runs"); do
    t0=$(now_ns); find "$data/tree100k" >/dev/null; t1=$(now_ns)
    [ "$i" -eq 0 ] || echo $(((t1 - t0) / 1000))
  done | median)
  treeread_us=$("$bench_dir/treeread" "$data/tree100k" $((check_runs + 1)) | tail -n +2 | median)
  treefloor_us=$("$bench_dir/treeread" "$data/tree100k" $((check_runs + 1)) floor | tail -n +2 | median)
fi

# --- Wine: boot a private prefix on a virtual display and run the driver ---------------
results=$bench_dir/results.tsv
driver_log=$bench_dir/driver.log
rm -f "$results"
args_file=$bench_dir/driver-args
printf '%s\0' --zarvane "$(winpath "$zarvane")" --mindialog "$(winpath "$bench_dir/win64/mindialog.exe")" \
  --floorcopy "$(winpath "$bench_dir/win64/floorcopy.exe")" --flooroptions "$(winpath "$bench_dir/win64/flooroptions.exe")" \
  --mincopy "$(winpath "$bench_dir/win64/mincopy.exe")" --data "$(winpath "$data")" \
  --out "$(winpath "$results")" --runs "$runs" --copy-runs "$copy_runs" --parts "$driver_parts" \
  ${ZARVANE_BASE_EXE:+--baseline "$(winpath "$ZARVANE_BASE_EXE")"} >"$args_file"
[ -z "$zarvane_old" ] || printf '%s\0' --zarvane-old "$(winpath "$zarvane_old")" >>"$args_file"
# The handler beside the program measured, as the archive has it.
shell_dll=$(dirname "$zarvane")/ZarvaneShell.dll
shell_args=()
if wants shell_state; then
  [ -f "$shell_dll" ] || { log "no $shell_dll beside the program measured"; exit 1; }
  shell_args=("$(winpath "$shell_dll")" "$(winpath "$data/selection")" "$(winpath "$results")")
fi
export wine wineserver driver="$bench_dir/win64/benchdriver.exe" driver_log args_file
export shellstate="$bench_dir/win64/shellstate.exe" shell_args_line="${shell_args[*]@Q}"
check_out=$bench_dir/check.tsv
rm -f "$check_out"
export check_runs check_out treecheck="$bench_dir/win64/treecheck.exe" \
  check_data="$(winpath "$data")" check_target="$(winpath "$bench_dir")"
rc=0
if [ -n "$driver_parts" ]; then
  log "running benchdriver.exe under Wine (log: $driver_log)"
  set +e
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$wineserver" -k >/dev/null 2>&1
    # Wine helper processes keep the output of the first program open: boot with it sent nowhere.
    "$wine" wineboot >/dev/null 2>&1 </dev/null
    # Unmanaged windows: no window-manager waits on the virtual display.
    "$wine" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1 </dev/null
    mapfile -d "" args <"$args_file"
    "$wine" "$driver" "${args[@]}" >"$driver_log" 2>&1 </dev/null
    rc=$?
    if [ $rc -eq 0 ] && [ -n "$shell_args_line" ]; then
      eval "shell_args=($shell_args_line)"
      "$wine" "$shellstate" "${shell_args[@]}" >>"$driver_log" 2>&1 </dev/null || rc=$?
    fi
    "$wineserver" -k >/dev/null 2>&1
    exit $rc
  '
  rc=$?
  set -e
  load_after=$(uptime)
  if [ $rc -ne 0 ] || [ ! -s "$results" ]; then
    log "benchdriver.exe failed ($rc):"
    tail -n 20 "$driver_log" >&2
    exit 1
  fi
fi
if [ $rc -eq 0 ] && wants check; then
  log "running treecheck.exe under Wine"
  set +e
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    "$wineserver" -k >/dev/null 2>&1
    "$wine" wineboot >/dev/null 2>&1 </dev/null
    for set in big.bin tree tree20k; do
      "$wine" "$treecheck" copy "$check_data\\$set" "$check_target\\check_copy" "$check_runs" </dev/null 2>/dev/null |
        tr -d "\r" | sed "s/^/$set\t/" >>"$check_out" || exit 1
    done
    "$wine" "$treecheck" read "$check_data\\tree100k" "$((check_runs + 1))" </dev/null 2>/dev/null |
      tr -d "\r" | tail -n +2 | sed "s/^/tree100k\t/" >>"$check_out" || exit 1
    "$wine" "$treecheck" floor "$check_data\\tree100k" "$((check_runs + 1))" </dev/null 2>/dev/null |
      tr -d "\r" | tail -n +2 | sed "s/^/floor100k\t/" >>"$check_out"
    rc=$?
    "$wineserver" -k >/dev/null 2>&1
    exit $rc
  '
  rc=$?
  set -e
  [ $rc -eq 0 ] && [ "$(wc -l <"$check_out")" -eq $((5 * check_runs)) ] || { log "treecheck.exe failed ($rc)"; exit 1; }
fi
load_after=$(uptime)
touch "$results"

# --- table --------------------------------------------------------------------------------
table=$bench_dir/results.txt
{
  echo "Zarvane benchmark  $(date '+%Y-%m-%d %H:%M %Z')  commit $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo '?')"
  echo "Zarvane.exe: $zarvane ($(date -r "$zarvane" '+%Y-%m-%d %H:%M'))"
  [ -z "$zarvane_old" ] || echo "earlier Zarvane.exe: $zarvane_old ($(date -r "$zarvane_old" '+%Y-%m-%d %H:%M'))"
  echo "$(nproc) cores; load before:${load_before##*load average:}; after:${load_after##*load average:}"
  echo
  awk -F'\t' -v cpf="$cp_file_us" -v cpt="$cp_tree_us" -v runs="$copy_runs" '
    { med[$1] = $2; lo[$1] = $3; hi[$1] = $4; n[$1] = $5 }
    function row(label, k) { printf "  %-44s %9.1f %9.1f %9.1f %5d\n", label, med[k], lo[k], hi[k], n[k] }
    function cp(label, us) { printf "  %-44s %9.1f %9s %9s %5d\n", label, us / 1000, "", "", runs }
    function ratio(label, a, b, target) {
      printf "  %-44s %9.3fx", label, a / b
      if (target) printf "   (target <= %.1fx: %s)", target, a / b <= target ? "met" : "NOT met"
      printf "\n"
    }
    function paired(k) {
      printf "  %-44s %9.3fx   (min %.2fx, max %.2fx)\n", "  run by run (median of the pairs)", med[k ".ratio"], lo[k ".ratio"], hi[k ".ratio"]
    }
    function copy(k, title, cplabel, cpus) {
      print title
      row("Zarvane.exe (OK pressed until exit)", k ".zarvane")
      row("mincopy.exe (start until exit)", k ".reference")
      row("  of which inside SHFileOperationW", k ".shfileop")
      cp(cplabel, cpus)
      ratio("Zarvane / mincopy", med[k ".zarvane"], med[k ".reference"], 1.1)
      paired(k)
      ratio("Zarvane / SHFileOperationW alone", med[k ".zarvane"], med[k ".shfileop"], 0)
      ratio("mincopy / " cplabel, med[k ".reference"], cpus / 1000, 0)
    }
    # The per-pair median decides: it is what load from elsewhere disturbs least.
    function startup(k, title, zlabel, rlabel, rname, target) {
      if (!((k ".ratio") in med)) return  # a series left out by BENCH_PARTS
      print title
      row(zlabel, k ".zarvane")
      row(rlabel, k ".reference")
      ratio("Zarvane / " rname, med[k ".zarvane"], med[k ".reference"], 0)
      printf "  %-44s %9.3fx   (min %.2fx, max %.2fx)   (target <= %.2fx: %s)\n", "  run by run (median of the pairs)",
             med[k ".ratio"], lo[k ".ratio"], hi[k ".ratio"], target, med[k ".ratio"] <= target ? "met" : "NOT met"
    }
    END {
      printf "  %-44s %9s %9s %9s %5s\n", "", "median ms", "min", "max", "runs"
      {
        # Start-up: from CreateProcessW until a key typed the moment the dialog is shown is in its text box.
        startup("startup", "start-up (start until a key typed at once shows)", "Zarvane.exe", "mindialog.exe", "mindialog", 1.5)
        startup("copy_floor", "start-up of the copy dialog against its floor", "Zarvane.exe", "floorcopy.exe", "floor", 1.1)
        startup("options_floor", "start-up of the options dialog against its floor", "Zarvane.exe (no source)", "flooroptions.exe", "floor", 1.1)
        startup("crowded", "start-up with 5,000 files beside the source", "Zarvane.exe, 5,000 files", "Zarvane.exe, 5 files", "5 files", 1.2)
        startup("free_number", "start-up among them, n%R with n0001 to n4999 taken", "SkipUsedNo=1: proposes n5000",
                "SkipUsedNo=0: proposes n0001", "not skipping", 1.2)
      }
      if ("format_menu.zarvane" in med) {
        print "the menu of formats, nine named n%R among the 5,000 (click until shown)"
        row("Zarvane.exe", "format_menu.zarvane")
        printf "  %-44s %9.1f ms (target < 100 ms: %s)\n", "  median", med["format_menu.zarvane"],
               med["format_menu.zarvane"] < 100 ? "met" : "NOT met"
      }
      if ("shell_state" in med) {
        print "Windows 11 menu: GetState for 1,000 selected files of ten registered extensions"
        row("ZarvaneShell.dll", "shell_state")
        printf "  %-44s %9.1f ms (target < 10 ms: %s)\n", "  median", med["shell_state"], med["shell_state"] < 10 ? "met" : "NOT met"
      }
      if ("settings.ratio" in med) {
        print "start-up with a 5 MB settings file (/INI), this build against the earlier one"
        row("Zarvane.exe, 5 MB file", "settings.zarvane")
        row("earlier Zarvane.exe, 5 MB file", "settings.reference")
        printf "  %-44s %9.3fx   (min %.2fx, max %.2fx)   (target < 1.20x: %s)\n", "  run by run (median of the pairs)",
               med["settings.ratio"], lo["settings.ratio"], hi["settings.ratio"], med["settings.ratio"] < 1.2 ? "met" : "NOT met"
        row("Zarvane.exe, small file", "settings_small.zarvane")
        row("earlier Zarvane.exe, small file", "settings_small.reference")
        paired("settings_small")
        printf "  %-44s %9.3fx   (min %.2fx, max %.2fx)\n", "5 MB / small, this build, run by run", med["settings_new.ratio"],
               lo["settings_new.ratio"], hi["settings_new.ratio"]
        printf "  %-44s %9.3fx   (min %.2fx, max %.2fx)\n", "5 MB / small, earlier build, run by run", med["settings_old.ratio"],
               lo["settings_old.ratio"], hi["settings_old.ratio"]
      }
      if ("copy_file.ratio" in med) {
        copy("copy_file", "copy, one 200 MB file", "cp (Linux)", cpf)
        copy("copy_tree", "copy, 2,000 files of 4 KB in 20 folders", "cp -r (Linux)", cpt)
      }
      startup("copy_file_base", "copy, one 200 MB file, against the baseline", "Zarvane.exe", "baseline", "baseline", 1.02)
      startup("copy_tree_base", "copy, the 2,000-file tree, against the baseline", "Zarvane.exe", "baseline", "baseline", 1.05)
    }' "$results"
  if wants check; then
    # Per run: (reading + comparing) / copying; the median of those decides.
    awk -F'\t' -v find="$find_us" -v linux="$treeread_us" -v floor="$treefloor_us" '
      function median(list, n,   i, j, t) {
        for (i = 2; i <= n; i++) for (j = i; j > 1 && list[j - 1] > list[j]; j--) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
        return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
      }
      { k = $1; n[k]++; rd[k, n[k]] = $2; cp[k, n[k]] = $3; cm[k, n[k]] = $4 }
      function series(k, title,   i, a, b, c, r) {
        for (i = 1; i <= n[k]; i++) { a[i] = rd[k, i] / 1000; b[i] = cp[k, i] / 1000; c[i] = cm[k, i] / 1000; r[i] = (rd[k, i] + cm[k, i]) / cp[k, i] }
        print title
        printf "  %-44s %9.1f\n", "reading before the copy, median ms", median(a, n[k])
        printf "  %-44s %9.1f\n", "the copy (SHFileOperationW), median ms", median(b, n[k])
        printf "  %-44s %9.1f\n", "comparing after the copy, median ms", median(c, n[k])
        m = median(r, n[k])
        printf "  %-44s %8.1f%%   (target <= 5%%: %s)   runs: %d\n", "(reading + comparing) / copy, run by run", 100 * m,
               m <= 0.05 ? "met" : "NOT met", n[k]
      }
      END {
        series("big.bin", "folder checks beside the copy, one 200 MB file (kind and size)")
        series("tree", "folder checks beside the copy, 2,000 files of 4 KB in 20 folders")
        series("tree20k", "folder checks beside the copy, 20,000 files of 1 KB in 200 folders")
        for (i = 1; i <= n["tree100k"]; i++) w[i] = rd["tree100k", i] / 1000
        print "reading a tree of 101,000 items (1,000 folders of 100 empty files)"
        printf "  %-44s %9.1f\n", "find on Linux, median ms", find / 1000
        printf "  %-44s %9.1f   %6.2fx find   (target <= 1.5x: %s)\n", "the reading on Linux (readdir, stat), median ms",
               linux / 1000, linux / find, linux / find <= 1.5 ? "met" : "NOT met"
        printf "  %-44s %9.1f   %6.2fx find\n", "the reading under Wine (treecheck.exe), median ms", median(w, n["tree100k"]),
               median(w, n["tree100k"]) * 1000 / find
        # Beside the least each system needs for names, kinds and sizes.
        for (i = 1; i <= n["floor100k"]; i++) f[i] = rd["floor100k", i] / 1000
        printf "  %-44s %9.1f   reading %5.2fx it\n", "a bare readdir and stat walk on Linux, median ms", floor / 1000,
               linux / floor
        printf "  %-44s %9.1f   reading %5.2fx it\n", "a bare FindFirstFileExW walk under Wine, median ms",
               median(f, n["floor100k"]), median(w, n["tree100k"]) / median(f, n["floor100k"])
      }' "$check_out"
  fi
} | tee "$table"
echo "(table: $table, samples: $results, driver log: $driver_log)"
