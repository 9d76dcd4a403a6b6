#!/usr/bin/env perl
# The text handling of run_case.sh (the placeholders are described there):
#
#   expectations.pl normalise <actual file>
#       prints the actual output with the run's own values replaced by @TARVOLIN@, @BINDIR@,
#       @SCRATCH@, @DATE@, @YEAR@ and @BUILD@;
#   expectations.pl expand <expectation file> [<text of a missing file>]
#       prints the expectation with the platform placeholders (@/@, @"@, @EXE@, @TEMP@, @CR@)
#       replaced by this platform's text;
#   expectations.pl update <normalised actual file> <common file> <Windows file> [<default>]
#       rewrites the expectation files from an actual output (see run_case.sh --update) and
#       prints what it changed; <default> is what a missing common file stands for (empty, or
#       "0\n" for an exit code), and a common file that would hold just that is removed.
#
# The platform comes from WINDOWS (true or false); the run's values from BINARY, BINDIR,
# SCRATCH_PATH and, for Windows, WIN_BINARY, WIN_BINDIR, WIN_SCRATCH and WIN_TEMP.
use strict;
use warnings;
no warnings 'recursion';

my $windows = ($ENV{WINDOWS} // '') eq 'true';

# What each platform placeholder stands for, on each platform; unify() tries them in this order.
my @platform = ('@/@', '@"@', '@EXE@', '@TEMP@', '@CR@');
my %posix_text = ('@/@' => '/', '@"@' => '', '@EXE@' => '', '@TEMP@' => '/tmp', '@CR@' => '');
my %windows_text = (
  '@/@' => '\\', '@"@' => '"', '@EXE@' => '.EXE', '@TEMP@' => $ENV{WIN_TEMP} // '', '@CR@' => "\r");
my %here = $windows ? %windows_text : %posix_text;
# Every placeholder, read from left to right, so that "@SCRATCH@/@x" is @SCRATCH@ then "/@x".
my $placeholder = qr/\@(?:TARVOLIN|BINDIR|SCRATCH|DATE|YEAR|BUILD|TEMP|EXE|CR|\/|")\@/;

sub slurp {  # slurp(file, text of a missing file)
  my ($file, $missing) = @_;
  return $missing unless -f $file;
  open(my $in, '<:raw', $file) or die "$file: $!\n";
  local $/;
  my $text = <$in>;
  return $text // '';
}

sub lines { return split /(?<=\n)/, $_[0]; }

sub expand {  # expand(text, placeholder texts)
  my ($text, $texts) = @_;
  $text =~ s/($placeholder)/exists $texts->{$1} ? $texts->{$1} : $1/ge;
  return $text;
}

sub normalise {
  my ($text) = @_;
  my @out;
  for (lines($text)) {
    if ($windows) {
      s/\Q$ENV{WIN_BINARY}\E/\@TARVOLIN\@/g;
      s/\Q$ENV{WIN_BINDIR}\E/\@BINDIR\@/g;
      s/\Q$ENV{WIN_SCRATCH}\E/\@SCRATCH\@/g;
      my $rooted = substr($ENV{WIN_SCRATCH}, 2);  # without "Z:", taken relative to the root
      s/\Q$rooted\E/\@SCRATCH\@/g;
    }
    s/\Q$ENV{BINARY}\E/\@TARVOLIN\@/g;
    s/\Q$ENV{BINDIR}\E/\@BINDIR\@/g;
    s/\Q$ENV{SCRATCH_PATH}\E/\@SCRATCH\@/g;
    s/ \([0-9]{2} [A-Z][a-z]{2} [0-9]{4}\) - / (\@DATE\@) - /;
    s/^Copyright \(c\) [0-9]{4} /Copyright (c) \@YEAR\@ /;
    s/ was compiled on [0-9]{2} [A-Z][a-z]{2} [0-9]{4} \@ [0-9]{2}:00:00 using .*$/ was compiled on \@BUILD\@/;
    push @out, $_;
  }
  return join '', @out;
}

# The new text of an expectation: the actual lines, each written as the template line that
# already expands to it where the two line up (a longest common subsequence), so that
# unchanged lines keep their placeholders, else as reverse(actual line).
sub merge {  # merge(template text, placeholder texts, actual text, reverse)
  my ($template, $texts, $actual, $reverse) = @_;
  my @t = lines($template);
  my @e = map { expand($_, $texts) } @t;
  my @a = lines($actual);
  my ($n, $m) = (scalar @e, scalar @a);
  my @match;  # actual line -> template line
  my ($p, $s) = (0, 0);  # lines alike at the start, at the end
  for (; $p < $n && $p < $m && $e[$p] eq $a[$p]; $p++) { $match[$p] = $p; }
  for (; $s < $n - $p && $s < $m - $p && $e[$n - 1 - $s] eq $a[$m - 1 - $s]; $s++) {
    $match[$m - 1 - $s] = $n - 1 - $s;
  }
  my ($n1, $m1) = ($n - $s, $m - $s);
  my @length;
  for (my $i = $n1; $i >= $p; $i--) {
    for (my $j = $m1; $j >= $p; $j--) {
      if ($i == $n1 || $j == $m1) { $length[$i][$j] = 0; }
      elsif ($e[$i] eq $a[$j]) { $length[$i][$j] = $length[$i + 1][$j + 1] + 1; }
      else {
        my ($down, $right) = ($length[$i + 1][$j], $length[$i][$j + 1]);
        $length[$i][$j] = $down > $right ? $down : $right;
      }
    }
  }
  my ($i, $j) = ($p, $p);
  while ($i < $n1 && $j < $m1) {
    if ($e[$i] eq $a[$j]) { $match[$j++] = $i++; }
    elsif ($length[$i + 1][$j] >= $length[$i][$j + 1]) { $i++; }
    else { $j++; }
  }
  return join '', map { defined $match[$_] ? $t[$match[$_]] : $reverse->($a[$_]) } 0 .. $m - 1;
}

# A line with placeholders that expands to the POSIX line $posix and the Windows line $win,
# or undef: literal characters where the two agree, placeholders where they differ.
sub unify_line {
  my ($posix, $win) = @_;
  my %memo;
  my $walk;
  $walk = sub {
    my ($i, $j) = @_;
    return '' if $i == length($posix) && $j == length($win);
    my $key = "$i $j";
    return $memo{$key} if exists $memo{$key};
    my $found;
    if ($i < length($posix) && $j < length($win) && substr($posix, $i, 1) eq substr($win, $j, 1)) {
      my $rest = $walk->($i + 1, $j + 1);
      $found = substr($posix, $i, 1) . $rest if defined $rest;
    }
    for my $name (@platform) {
      last if defined $found;
      my ($p, $w) = ($posix_text{$name}, $windows_text{$name});
      next if $i + length($p) > length($posix) || $j + length($w) > length($win);
      next if substr($posix, $i, length $p) ne $p || substr($win, $j, length $w) ne $w;
      next if $name eq '@CR@' && substr($win, $j + 1) !~ /\A\n?\z/;  # only at a line's end
      my $rest = $walk->($i + length($p), $j + length($w));
      $found = $name . $rest if defined $rest;
    }
    return $memo{$key} = $found;
  };
  my $line = $walk->(0, 0);
  undef $walk;
  return $line;
}

# The common expectation rewritten so that it expands to the same POSIX text as before and to
# the Windows text $actual, or undef when the two differ in more than placeholders.
sub unify {
  my ($common, $actual) = @_;
  my @t = lines($common);
  my @a = lines($actual);
  return undef unless @t == @a;
  my @out;
  for my $k (0 .. $#t) {
    if (expand($t[$k], \%windows_text) eq $a[$k]) { push @out, $t[$k]; next; }
    my $line = unify_line(expand($t[$k], \%posix_text), $a[$k]);
    return undef unless defined $line;
    push @out, $line;
  }
  my $text = join '', @out;
  return undef
    unless expand($text, \%posix_text) eq expand($common, \%posix_text)
    && expand($text, \%windows_text) eq $actual;
  return $text;
}

sub store {  # store(file, text): writes the file unless it holds the text already
  my ($file, $text) = @_;
  return if -f $file && slurp($file, '') eq $text;
  open(my $out, '>:raw', $file) or die "$file: $!\n";
  print $out $text;
  close($out) or die "$file: $!\n";
  print "UPDATED: $file\n";
}

sub remove {
  my ($file) = @_;
  return unless -e $file;
  unlink($file) or die "$file: $!\n";
  print "REMOVED: $file\n";
}

sub update {
  my ($actual_file, $common_file, $windows_file, $default) = @_;
  my $actual = slurp($actual_file, '');
  my $common = slurp($common_file, $default);
  if (!$windows) {
    return if expand($common, \%posix_text) eq $actual;
    my $text = merge($common, \%posix_text, $actual, sub { $_[0] });
    die "$common_file: the new text does not expand to the actual output\n"
      unless expand($text, \%posix_text) eq $actual;
    if ($text eq $default) { remove($common_file); } else { store($common_file, $text); }
    return;
  }
  # Windows: the common expectation where it serves (with placeholders added where the two
  # platforms differ only in them), else the Windows one.
  if (expand($common, \%windows_text) eq $actual) { remove($windows_file); return; }
  my $unified = unify($common, $actual);
  if (defined $unified) {
    store($common_file, $unified);
    remove($windows_file);
    return;
  }
  my $template = slurp($windows_file, $common);
  return if -f $windows_file && expand($template, \%windows_text) eq $actual;
  my $temp = $windows_text{'@TEMP@'};
  my $text = merge($template, \%windows_text, $actual, sub {
    my ($line) = @_;
    $line =~ s/\Q$temp\E/\@TEMP\@/g;
    $line =~ s/\r(\n?)\z/\@CR\@$1/;
    return $line;
  });
  die "$windows_file: the new text does not expand to the actual output\n"
    unless expand($text, \%windows_text) eq $actual;
  store($windows_file, $text);
}

binmode STDOUT;
my $command = shift @ARGV // '';
if ($command eq 'normalise' && @ARGV == 1) {
  print normalise(slurp($ARGV[0], ''));
} elsif ($command eq 'expand' && (@ARGV == 1 || @ARGV == 2)) {
  print expand(slurp($ARGV[0], $ARGV[1] // ''), \%here);
} elsif ($command eq 'update' && (@ARGV == 3 || @ARGV == 4)) {
  update(@ARGV[0 .. 2], $ARGV[3] // '');
} else {
  die "usage: expectations.pl normalise <file> | expand <file> [<missing>] |"
    . " update <actual> <common> <windows> [<default>]\n";
}
