// SPDX-License-Identifier: GPL-3.0-or-later
// The help text of velnor-rename, which the manual page is also made from.
#include "cli/cliargs.h"

QString CliArgs::helpText()
{
    return QStringLiteral(
        R"(Usage: velnor-rename [OPTIONS] PATH...

Renames many files at once, with the rules of the Velnor window. Every PATH is
listed in the order given: a folder is walked at every depth (hidden files
included unless --no-hidden), a path listed twice counts once. Without
--apply nothing on disk changes: a table shows each file's old name, new name
and location.

Name:
  --name TEMPLATE      name template (default "[N]"). Tokens: [N] the old
                       base name; [C] the counter; [N3] [N2,3] [N2-4] [N-3]
                       [N5-] characters of the old base name (from 1; a
                       count after a comma, a range after a hyphen); from the
                       file's date (see --date-from) in local time: [Y] [M]
                       [D] year, month, day and runs of them such as [YMD]
                       [DMY] [MD], [h] [m] [s] hour (12-hour clock unless
                       --24-hour), minute, second and
                       runs such as [hms] [hm]; [date:PATTERN] the date in
                       a Unicode date pattern, month names in English
                       ([date:yyyy-MM-dd HH.mm], [date:MMM]). From inside
                       the file, read only when the template asks:
                       [Make] [Model] [Lens] [Width] [Height] (photos,
                       videos), [Artist] [AlbumArtist] [Album] [Title]
                       [Track] [Disc] [Year] [Genre] (audio), [meta:KEY]
                       any exiv2 key (Exif.Photo.FNumber) or audio property
                       (COMPOSER). A "/" in a value becomes "_", control
                       characters are dropped. [TOKEN|TEXT] gives TEXT where
                       the file lacks the value; without "|" such a file is
                       not renamed ("invalid: no Artist"). [P] the name of
                       the file's folder, [P2] the folder above it, and so
                       on (empty above the root), as it stands: a token in
                       a folder's name stays as typed. Example: --name
                       '[P] - [C]' --digits 3 turns Holiday 2024/IMG_12.JPG
                       into Holiday 2024/Holiday 2024 - 001.JPG
  --24-hour            the hour of [h] and its runs on the 24-hour clock,
                       00 to 23
  --date-from SOURCES  where the date and time tokens and --sort date take
                       a file's date: a comma-separated list of modified
                       (the default), created (birth time, where the file
                       system keeps one) and taken (the photo's shot time as
                       its camera's clock showed it; a video's creation time
                       in local time); the first with a date wins. A file
                       with none is not renamed ("invalid: no date taken")
  --ext TEMPLATE       extension template (default "[E]"). Tokens: [E] the
                       old extension; [C] the counter; [E1] [E1-3] and the
                       like, characters of the old extension; [X] the
                       extension of the file's type as its first bytes show
                       it (a PNG named photo.jpg gives photo.png, a PDF
                       named report gives report.pdf), the old extension
                       where they say nothing definite (plain text, an empty
                       or unreadable file) or agree with it (.JPEG stays). An
                       empty extension drops the dot
  --search TEXT        text to find in the name the templates made, dot and
                       extension included; case-sensitive unless
                       --ignore-case (default empty: nothing is replaced)
  --replace TEXT       what replaces each occurrence (default empty: delete)
  --regex              TEXT of --search is a Perl-compatible regular
                       expression; every match is replaced, left to right.
                       In --replace, $0 is the whole match, $1 to $99 a group
                       (two digits at most: $100 is group 10, then "0"),
                       ${name} or ${12} a group by name or number, $$ a
                       dollar sign; any other text, a lone "$" at the end
                       included, is literal. A pattern that does not compile
                       or a group the pattern lacks: exit 2. A name whose
                       matching backtracks without end is left unreplaced.
                       Example: --regex --search '(\d+)' --replace 'n$1'
                       turns IMG_0042.jpg into IMG_n0042.jpg
  --ignore-case        --search ignores case, literal text or pattern, and so
                       do --include and --exclude.
                       Example: --search img --ignore-case --replace photo
  --ascii              after every other rule, the name in plain ASCII:
                       accents dropped, sharp s to ss, Cyrillic, Greek and
                       other scripts in Latin letters (ICU's Any-Latin;
                       Latin-ASCII); what is still not ASCII, and a byte
                       that is not UTF-8, becomes "_". Example: the Russian
                       name of Moscow, .txt, gives Moskva.txt
  --companions         files of one folder that share a stem up to a dot
                       (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.CR3.xmp) move
                       as one: the first shown takes the rules and counts
                       once, the others take its new name with their own
                       extensions (Trip-001.cr3, Trip-001.JPG,
                       Trip-001.cr3.xmp). When one of them cannot be
                       renamed, none is
  --unique             a new name that is taken, by a file that is not
                       listed or stays, or by the new name of a file shown
                       before it, gets a number in brackets before its
                       extension, from 2 on ("scan (2).pdf"): the first
                       number free in that folder, in the folder's case
                       rule. A name freed by another listed file's move is
                       not taken. Without it such a file is not renamed
                       ("invalid: ..."); nor is a file whose name is taken
                       in a folder below (--make-folders). Example:
                       --name scan --unique on ten PDFs gives scan.pdf,
                       scan (2).pdf, ... scan (10).pdf
  --make-folders       each "/" of the new name is a folder below the
                       file's own folder; missing folders are made (and
                       recorded, so that an undo removes them once empty).
                       A name that starts with "/", or has an empty part,
                       "." or "..", is refused. Example: --name '[Y]/[M]/[N]'
                       moves Trip/IMG_0412.JPG to Trip/2024/05/IMG_0412.JPG
  --rename-folders     the folders are rows too: each PATH that is a folder,
                       and every folder below it, is renamed with the
                       files, by the same rules and counter (a folder has
                       an extension only where its name has a dot). A
                       folder is renamed once all in it has been, and a
                       file and a folder of one folder cannot take one
                       name; an undo takes them all back. Not with
                       --make-folders
  --only-folders       as --rename-folders, but only the folders are rows:
                       the files in them keep their names. Example:
                       --only-folders --name 'Disc [C]' album/*/
  --case keep|lower|upper|title|sentence
                       case of the new name after the replacing (default
                       keep): lower and upper convert the whole name,
                       extension included; title and sentence only the part
                       before the extension. title: each word's first letter
                       or digit upper case, the rest lower; a word starts at
                       the start and after a space - _ . ( [ ("won't stop"
                       gives "Won't Stop"). sentence: the first letter upper
                       case, every other lower ("HELLO world.TXT" gives
                       "Hello world.TXT")

Counter ([C]):
  --start N            value of the first file (default 1)
  --step N             added for each further file (default 1)
  --digits N           minimum width, padded with zeros, 0 to 32 (default 1)
                       N of --start and --step is a signed 32-bit integer.
                       Each file is counted by its place in the list as shown.
  --counter-per-folder [C] counts each file by its place among the listed
                       files of its own folder, so every folder starts at
                       --start. Example: --name '[C]' --counter-per-folder
                       a/x b/y gives a/1 and b/1

Order:
  --sort COLUMN[:desc] sort by old-name, size, date or location (names and
                       paths without regard to case); ":desc" shows and
                       counts the list in descending direction. Without
                       --sort the list keeps the order of the PATHs.
  --natural            old-name and location sorts compare runs of digits by
                       value: a2 before a10, a02 after a2.
                       Example: --sort old-name --natural

Input:
  --files-from FILE    also list the paths in FILE ("-": standard input), one
                       a line, in the order given, as if they were PATHs at
                       this place: one list, one counter. Empty lines are
                       skipped; every other byte counts.
  --include GLOB       of the files found in folders, list only those whose
                       name matches GLOB (a shell pattern: * ? [...]); may be
                       given again, a name matching any is listed. Case
                       counts unless --ignore-case. A PATH naming a file is
                       always listed. Example: --include '*.jpg' --ignore-case
                       lists IMG_1.JPG and b.jpg
  --exclude GLOB       of the files found in folders, leave out those whose
                       name matches GLOB; may be given again; wins over
                       --include
  --no-hidden          leave out files found in folders whose name starts
                       with a dot, and do not enter such folders (.git)
  --null               the paths of --files-from end with NUL bytes instead.
                       Example: find . -name '*.jpg' -print0 |
                         velnor-rename --files-from - --null --name '[C]'

New names by hand (one of the three; each name as it stands: no template,
search, case or counter; checked, run, journaled and undone like any name):
  --names-from FILE    the new names in FILE ("-": standard input), one a
                       line, given to the listed files in the order shown.
                       Bytes as given ("\r" too); an empty line, or a count
                       other than the files': exit 2, nothing renamed.
                       Example: ls *.mkv | velnor-rename --files-from -
                         --names-from titles.txt
  --map FILE           CSV of two columns, path and new name, no header row
                       (RFC 4180: "..." quotes a field that holds commas,
                       line ends or "" for a quote; CRLF or LF). Every path
                       is listed, in the map's order, as if given as a PATH
                       at this place (relative to the current folder); other
                       PATHs get the rules' names. A path in two rows, one
                       that does not exist or is a folder, a row without two
                       columns or with an empty field: exit 2 naming the row.
                       Example row: "Trip/IMG 1,2.jpg",Beach.jpg
  --edit               open the new names, one a line, in $VISUAL, else
                       $EDITOR, else vi (run by the shell: "code --wait"
                       works), and take the lines back: a line left as it
                       was keeps the rules' name. A changed count of lines,
                       an empty line, an editor that exits non-zero or a new
                       name holding a line end: exit 2, nothing renamed.
                       A preset never keeps names by hand.

Presets (shared with the window's Presets menu):
  --preset NAME        load the saved preset's settings; options after it
                       override them. Unknown NAME: exit 2
  --save-preset NAME   save the settings given by the other options as NAME
                       and exit. Example: velnor-rename --name '[N]_[C]'
                         --digits 3 --save-preset 'weekly photos'
  --list-presets       print the names of the saved presets and exit

Action and output:
  --apply              rename the files. A file is never moved out of its
                       folder and never replaces another; a file whose new
                       name equals its name is left alone; a refused name
                       (empty, ".", "..", holding "/", longer than 255 bytes)
                       and every failed move are logged on standard error and
                       the run goes on. A summary line with the counts ends.
                       The run first writes its plan to a journal in
                       $XDG_STATE_HOME/Velnor/runs (default ~/.local/state),
                       which lets --undo take it back; when that folder
                       cannot be written, nothing is renamed (exit 1).
  --no-journal         with --apply: rename without a journal. Such a run
                       cannot be undone.
  --json               print one JSON object instead of the table or the
                       summary line:
                       {"files":[{"path":..., "name":..., "newName":...,
                       "status":...}], "renamed":N, "failed":N, "unchanged":N}
                       Status: "rename", "unchanged" or "invalid: REASON"
                       without --apply; "renamed", "unchanged" or
                       "failed: REASON" with it, or "not attempted" for a
                       file a stopped run did not come to (then counted
                       in "notAttempted":N after "unchanged"). Without
                       --apply the counts tell what the run would do:
                       "renamed" the planned moves, "failed" the names it
                       would refuse or find taken (by a file on disk or an
                       earlier move).
                       Text is UTF-8; bytes of a path or new name that are
                       not valid UTF-8 show as U+FFFD and the entry has
                       "undecodable": true, "pathBytes" and "newNameBytes":
                       the exact bytes of the path and of the new name in
                       base64 (no newNameBytes for a name refused as too
                       long; such a name is shortened).

History (the runs of the window and of velnor-rename, the last 100 kept):
  --history            list the runs, newest first, one a line:
                       ID  TIME  FILES  STATE  FOLDER
                       TIME in local time, FILES the files the run renamed
                       (as the window's history counts them), STATE
                       complete, interrupted, undone, redone or
                       undo-interrupted. With --json one object:
                       {"runs":[{"id":..., "time":..., "files":N,
                       "renamed":N, "failed":N, "state":..., "folder":...}]}
                       ("folderBytes" in base64 when the folder is not
                       UTF-8).
  --undo [ID]          take back the last run that has not been undone, or
                       the run ID: each file it moved goes back to its old
                       name, in reverse order. A file changed since the run,
                       or whose old name is taken, stays where it is and is
                       logged on standard error with the reason; the rest go
                       back. A summary line ends. An interrupted run is taken
                       back from the files as they are on disk; an undo that
                       was interrupted is finished by the next --undo.
  --redo [ID]          rename the files of the last undone run, or of the
                       undone run ID, again, by the same rules (also after
                       an undo that was interrupted).
                       --history, --undo and --redo take no PATH and no
                       other option but --json.

  --help               show this help and exit
  --version            show the version and exit
  --                   every later argument is a PATH

Table marks: "=" the new name equals the name (left alone); "!" the run would
refuse the new name or find it taken, for the reason shown.
The table writes a byte of a name that is not UTF-8 as \xNN (it is kept as
that byte in the new name), control characters as \xNN or \uNNNN and the
bidirectional controls U+200E, U+200F, U+202A-U+202E and U+2066-U+2069 as
\uNNNN, so that no name can pass for another. A TEMPLATE or TEXT given as
bytes that are not UTF-8 keeps those bytes. Names longer than 80 characters
refused as too long show their first 60, an ellipsis and their length.

Exit status: 0 success (a preview always); 1 some file could not be renamed
(or taken back), the journal could not be written, or the output could not be
written; 2 bad arguments, a PATH that does not exist or an unknown run ID
(nothing is renamed); 130 and 143 interrupted by SIGINT or SIGTERM: the moves
in flight end, the journal is closed and the summary line shows what was done
(a second SIGINT stops at once; the journal still tells what was done). A
reader that closes the output early stops the writing, not the run.
A progress line shows on standard error, when it is a terminal, for listings
and runs that take longer than a second.
)");
}
