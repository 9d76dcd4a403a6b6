# "cmake --install" of the build tree into a fresh prefix: the program runs from its bin folder
# and the README and the licence are the sources' own, under share/doc/tarvolin.
# windows: the install layout of the Linux build (the Windows one is its .zip)
sources=$(dirname "$(realpath "$0")")/../../..
cmake --install "$BINDIR" --prefix "$PWD/prefix" >/dev/null || exit 1
prefix/bin/tarvolin abc
for f in README.md LICENSE; do
  cmp "$sources/$f" "prefix/share/doc/tarvolin/$f" && echo "$f installed"
done
