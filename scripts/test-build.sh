# Sourced by test.sh and soak.sh: installs what is missing, picks the test preset this kernel can
# run, builds the test tree (only the targets named in test_targets, when set), and starts the
# preset's Wine prefix, whose server is stopped however the caller ends. Leaves preset and prefix
# set. The shipped program the tests check comes from the release, which test.sh makes.
bash scripts/install-deps.sh

preset=$(scripts/target-arch.sh preset tests)
prefix=$PWD/build/$preset/wineprefix
# Stop this prefix's server however the run ends, or its processes outlive the script.
trap 'scripts/wine-prefix.sh "$prefix" stop' EXIT

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" ${test_targets:+--target $test_targets}
scripts/wine-prefix.sh "$prefix" start
