# "cmake --install" of the build tree into a fresh prefix: the program runs from its bin folder
# and the README and the licence are the sources' own, under share/doc/tarvolin; the manual page
# reads with man and the completions are where the shells look.
# windows: the install layout of the Linux build (the Windows one is its .zip)
sources=$(dirname "$(realpath "$0")")/../../..
cmake --install "$BINDIR" --prefix "$PWD/prefix" >/dev/null || exit 1
prefix/bin/tarvolin abc
for f in README.md LICENSE; do
  cmp "$sources/$f" "prefix/share/doc/tarvolin/$f" && echo "$f installed"
done
# The manual page reads with man, and each completion loads in its shell.
if command -v man >/dev/null; then
  man -l prefix/share/man/man1/tarvolin.1 2>&1 | grep -m1 -o "tarvolin - file and text checksum"
else
  echo "SKIPPED LOUDLY: man is not installed"
fi
bash -c 'source prefix/share/bash-completion/completions/tarvolin && complete -p tarvolin'
ls prefix/share/zsh/vendor-completions/_tarvolin prefix/share/fish/vendor_completions.d/tarvolin.fish
