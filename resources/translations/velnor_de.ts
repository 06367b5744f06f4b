<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>&lt;h3&gt;Velnor %1&lt;/h3&gt;&lt;p&gt;Renames many files at once.&lt;/p&gt;&lt;p&gt;Copyright © 2026 Velnor&lt;/p&gt;&lt;p&gt;Velnor is free software: you may share and change it under the terms of the GNU General Public License, version 3 or any later version (%2). It comes with no warranty.&lt;/p&gt;&lt;p&gt;Uses Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%4&quot;&gt;%4&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Velnor %1&lt;/h3&gt;&lt;p&gt;Benennt viele Dateien auf einmal um.&lt;/p&gt;&lt;p&gt;Copyright © 2026 Velnor&lt;/p&gt;&lt;p&gt;Velnor ist freie Software: Sie dürfen es nach den Bedingungen der GNU General Public License, Version 3 oder jeder späteren Version (%2), weitergeben und verändern. Es kommt ohne jede Gewährleistung.&lt;/p&gt;&lt;p&gt;Verwendet Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%4&quot;&gt;%4&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>About Velnor</source>
        <translation>Über Velnor</translation>
    </message>
</context>
<context>
    <name>AccessGrant</name>
    <message>
        <source>Folder Access</source>
        <translation>Ordnerzugriff</translation>
    </message>
    <message>
        <source>Allow Renaming</source>
        <translation>Umbenennen erlauben</translation>
    </message>
    <message>
        <source>Velnor asks before it renames files in a folder for the first time. The answer is remembered for the chosen folder and every folder inside it, so you are not asked there again. Choose a folder higher up to allow more at once.</source>
        <translation>Velnor fragt, bevor es zum ersten Mal Dateien in einem Ordner umbenennt. Die Antwort gilt für den gewählten Ordner und jeden Ordner darin, dort werden Sie nicht wieder gefragt. Wählen Sie einen höher gelegenen Ordner, um mehr auf einmal zu erlauben.</translation>
    </message>
    <message>
        <source>No files were renamed. Velnor renames files only in folders you have allowed.</source>
        <translation>Es wurden keine Dateien umbenannt. Velnor benennt Dateien nur in Ordnern um, die Sie erlaubt haben.</translation>
    </message>
</context>
<context>
    <name>CountText</name>
    <message>
        <source>No files</source>
        <translation>Keine Dateien</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n Datei</numerusform>
            <numerusform>%n Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileTableModel</name>
    <message>
        <source>Old Name</source>
        <translation>Alter Name</translation>
    </message>
    <message>
        <source>New Name</source>
        <translation>Neuer Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Typed by hand</source>
        <translation>Von Hand eingegeben</translation>
    </message>
    <message>
        <source>Moves with %1</source>
        <translation>Wird zusammen mit %1 umbenannt</translation>
    </message>
    <message>
        <source>Reading metadata…</source>
        <translation>Metadaten werden gelesen…</translation>
    </message>
</context>
<context>
    <name>FolderAccessDialog</name>
    <message>
        <source>Folder Access</source>
        <translation>Ordnerzugriff</translation>
    </message>
    <message>
        <source>Velnor renames files without asking in these folders and in every folder inside them.</source>
        <translation>In diesen Ordnern und in jedem Ordner darin benennt Velnor Dateien um, ohne zu fragen.</translation>
    </message>
    <message>
        <source>No folders allowed yet.</source>
        <translation>Noch keine Ordner erlaubt.</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Rename History</source>
        <translation>Verlauf der Umbenennungen</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation>Unterbrochen</translation>
    </message>
    <message>
        <source>Renamed</source>
        <translation>Umbenannt</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Rückgängig gemacht</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Wiederholt</translation>
    </message>
    <message>
        <source>Undo interrupted</source>
        <translation>Rückgängig unterbrochen</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>1 journal could not be read</source>
        <translation>1 Protokoll konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 journals could not be read</source>
        <translation>%1 Protokolle konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Partly undone</source>
        <translation>Teilweise rückgängig gemacht</translation>
    </message>
</context>
<context>
    <name>JobBar</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 files found</source>
        <translation>%1 Dateien gefunden</translation>
    </message>
    <message>
        <source>Renaming %1 of %2</source>
        <translation>Umbenennen: %1 von %2</translation>
    </message>
    <message>
        <source>1 folder could not be read</source>
        <translation>1 Ordner konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 folders could not be read</source>
        <translation>%1 Ordner konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>Redoing %1 of %2</source>
        <translation>Wiederhole %1 von %2</translation>
    </message>
    <message>
        <source>Undoing %1 of %2</source>
        <translation>Mache %1 von %2 rückgängig</translation>
    </message>
    <message>
        <source>Reading metadata %1 of %2</source>
        <translation>Metadaten werden gelesen: %1 von %2</translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n file(s) listed, the list is incomplete</source>
        <translation>
            <numerusform>Abgebrochen: %n Datei aufgelistet, die Liste ist unvollständig</numerusform>
            <numerusform>Abgebrochen: %n Dateien aufgelistet, die Liste ist unvollständig</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListingControls</name>
    <message>
        <source>Add Fol&amp;der…</source>
        <translation>&amp;Ordner hinzufügen…</translation>
    </message>
    <message>
        <source>Add a folder and every file below it to the list</source>
        <translation>Einen Ordner mit allen Dateien darunter zur Liste hinzufügen</translation>
    </message>
    <message>
        <source>Filter: *.jpg *.png</source>
        <translation>Filter: *.jpg *.png</translation>
    </message>
    <message>
        <source>Of the folders added from now on, list only the files whose names match one of these patterns (* any text, ? one character), without regard to case. Empty: every file</source>
        <translation>Von den ab jetzt hinzugefügten Ordnern nur die Dateien auflisten, deren Namen zu einem dieser Muster passen (* beliebiger Text, ? ein Zeichen), ohne Rücksicht auf Groß- und Kleinschreibung. Leer: jede Datei</translation>
    </message>
    <message>
        <source>&amp;Hidden files</source>
        <translation>&amp;Punktdateien</translation>
    </message>
    <message>
        <source>List the files of the folders added from now on whose names start with a dot, and the folders so named (.git)</source>
        <translation>Aus den ab jetzt hinzugefügten Ordnern auch Dateien auflisten, deren Namen mit einem Punkt beginnen, und solche Ordner (.git) durchsuchen</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
</context>
<context>
    <name>MetaControls</name>
    <message>
        <source>24-hour c&amp;lock</source>
        <translation>24-Stunden-&amp;Uhr</translation>
    </message>
    <message>
        <source>Write the hour of the time tokens as 00 to 23</source>
        <translation>Die Stunde der Uhrzeit-Platzhalter als 00 bis 23 schreiben</translation>
    </message>
    <message>
        <source>Where the date and time tokens, the Date column and the sort by date take each file&apos;s date from; the first source that has a date gives it. A file without one is not renamed.</source>
        <translation>Woher die Datums- und Uhrzeit-Platzhalter, die Spalte Datum und die Sortierung nach Datum das Datum jeder Datei nehmen; die erste Quelle mit einem Datum gibt es. Eine Datei ohne Datum wird nicht umbenannt.</translation>
    </message>
    <message>
        <source>Photos and videos</source>
        <translation>Fotos und Videos</translation>
    </message>
    <message>
        <source>Camera mak&amp;er</source>
        <translation>Kamera&amp;hersteller</translation>
    </message>
    <message>
        <source>Camera &amp;model</source>
        <translation>Kamera&amp;modell</translation>
    </message>
    <message>
        <source>&amp;Lens</source>
        <translation>&amp;Objektiv</translation>
    </message>
    <message>
        <source>&amp;Width</source>
        <translation>&amp;Breite</translation>
    </message>
    <message>
        <source>&amp;Height</source>
        <translation>H&amp;öhe</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>&amp;Artist</source>
        <translation>&amp;Interpret</translation>
    </message>
    <message>
        <source>Album a&amp;rtist</source>
        <translation>&amp;Album-Interpret</translation>
    </message>
    <message>
        <source>Al&amp;bum</source>
        <translation>A&amp;lbum</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>&amp;Titel</translation>
    </message>
    <message>
        <source>Track &amp;number</source>
        <translation>Titel&amp;nummer</translation>
    </message>
    <message>
        <source>&amp;Disc number</source>
        <translation>&amp;CD-Nummer</translation>
    </message>
    <message>
        <source>&amp;Year</source>
        <translation>&amp;Jahr</translation>
    </message>
    <message>
        <source>&amp;Genre</source>
        <translation>&amp;Genre</translation>
    </message>
    <message>
        <source>Other &amp;Field…</source>
        <translation>Anderes &amp;Feld…</translation>
    </message>
    <message>
        <source>modified</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>created</source>
        <translation>erstellt</translation>
    </message>
    <message>
        <source>taken</source>
        <translation>aufgenommen</translation>
    </message>
    <message>
        <source>, else </source>
        <comment>between date sources</comment>
        <translation>, sonst </translation>
    </message>
    <message>
        <source>Other Field</source>
        <translation>Anderes Feld</translation>
    </message>
    <message>
        <source>The field&apos;s key: an Exif, IPTC or XMP key such as Exif.Photo.FNumber or Xmp.dc.title, or an audio tag such as COMPOSER.</source>
        <translation>Der Schlüssel des Feldes: ein Exif-, IPTC- oder XMP-Schlüssel wie Exif.Photo.FNumber oder Xmp.dc.title, oder ein Audio-Tag wie COMPOSER.</translation>
    </message>
    <message>
        <source>Metadata</source>
        <translation>Metadaten</translation>
    </message>
    <message>
        <source>Append a value from inside the file: camera, song, any field (%1)</source>
        <translation>Einen Wert aus der Datei anhängen: Kamera, Lied, beliebiges Feld (%1)</translation>
    </message>
    <message>
        <source>Dates from:</source>
        <translation>Datumsquelle:</translation>
    </message>
</context>
<context>
    <name>PlanMarks</name>
    <message numerus="yes">
        <source>%n file(s) cannot be renamed</source>
        <translation>
            <numerusform>%n nicht umbenennbar</numerusform>
            <numerusform>%n nicht umbenennbar</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PresetMenu</name>
    <message>
        <source>Prese&amp;ts</source>
        <translation>&amp;Vorlagen</translation>
    </message>
    <message>
        <source>&amp;Save Settings as Preset…</source>
        <translation>Einstellungen als Vorlage &amp;sichern…</translation>
    </message>
    <message>
        <source>&amp;Delete Preset</source>
        <translation>Vorlage &amp;löschen</translation>
    </message>
    <message>
        <source>Save Settings as Preset</source>
        <translation>Einstellungen als Vorlage sichern</translation>
    </message>
    <message>
        <source>Preset name:</source>
        <translation>Name der Vorlage:</translation>
    </message>
    <message>
        <source>A preset named “%1” exists. Replace it?</source>
        <translation>Eine Vorlage „%1“ gibt es schon. Ersetzen?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
</context>
<context>
    <name>RenamePlan</name>
    <message>
        <source>The folder cannot be opened: %1</source>
        <translation>Der Ordner kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>The folder is on a read-only file system.</source>
        <translation>Der Ordner liegt auf einem schreibgeschützten Dateisystem.</translation>
    </message>
    <message>
        <source>The folder cannot be written: %1</source>
        <translation>In den Ordner kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The new name holds a control character, which a %1 folder cannot hold.</source>
        <translation>Der neue Name enthält ein Steuerzeichen, das ein %1-Ordner nicht aufnehmen kann.</translation>
    </message>
    <message>
        <source>The new name holds “%1”, which a %2 folder cannot hold.</source>
        <translation>Der neue Name enthält „%1“, das ein %2-Ordner nicht aufnehmen kann.</translation>
    </message>
    <message>
        <source>The new name ends in a dot or a space, which a %1 folder cannot hold.</source>
        <translation>Der neue Name endet auf einen Punkt oder ein Leerzeichen, was ein %1-Ordner nicht aufnehmen kann.</translation>
    </message>
    <message>
        <source>“%1” is a reserved name on a %2 folder.</source>
        <translation>„%1“ ist auf einem %2-Ordner ein reservierter Name.</translation>
    </message>
    <message>
        <source>The new name is longer than 255 UTF-16 units, more than a %1 folder can hold.</source>
        <translation>Der neue Name ist länger als 255 UTF-16-Einheiten, mehr als ein %1-Ordner aufnehmen kann.</translation>
    </message>
    <message>
        <source>row %1 (%2)</source>
        <translation>Zeile %1 (%2)</translation>
    </message>
    <message>
        <source>The same file as %1, listed twice.</source>
        <translation>Dieselbe Datei wie %1, doppelt aufgelistet.</translation>
    </message>
    <message>
        <source>The new name is taken by %1, which is not renamed.</source>
        <translation>Der neue Name gehört %1, die nicht umbenannt wird.</translation>
    </message>
    <message>
        <source>%1 is taken by a file that is not listed.</source>
        <translation>%1 gehört einer Datei, die nicht in der Liste steht.</translation>
    </message>
    <message>
        <source>The same new name as %1.</source>
        <translation>Derselbe neue Name wie %1.</translation>
    </message>
    <message>
        <source>The new name looks the same as that of %1 (the two are canonically equivalent).</source>
        <translation>Der neue Name sieht aus wie der von %1 (beide sind kanonisch gleichwertig).</translation>
    </message>
    <message>
        <source>The new name differs only in case from that of %1, and this folder does not tell case apart.</source>
        <translation>Der neue Name unterscheidet sich von dem von %1 nur in der Groß- und Kleinschreibung, und dieser Ordner unterscheidet sie nicht.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 ist kein Ordner.</translation>
    </message>
    <message>
        <source>%1 is taken in the folder %2.</source>
        <translation>%1 ist im Ordner %2 schon vergeben.</translation>
    </message>
    <message>
        <source>%1 in the folder %2 is the new name of %3.</source>
        <translation>%1 im Ordner %2 ist der neue Name von %3.</translation>
    </message>
    <message>
        <source>It moves with %1, which cannot be renamed.</source>
        <translation>Sie gehört zu %1, und diese Datei kann nicht umbenannt werden.</translation>
    </message>
    <message>
        <source>A companion file, %1, cannot be renamed.</source>
        <translation>Eine Begleitdatei, %1, kann nicht umbenannt werden.</translation>
    </message>
</context>
<context>
    <name>RenameRun</name>
    <message>
        <source> (the file was left as “%1”)</source>
        <translation> (die Datei heißt jetzt „%1“)</translation>
    </message>
    <message>
        <source>The new name is empty.</source>
        <translation>Der neue Name ist leer.</translation>
    </message>
    <message>
        <source>The new name “%1” is not allowed.</source>
        <translation>Der neue Name „%1“ ist nicht erlaubt.</translation>
    </message>
    <message>
        <source>The new name contains “/”.</source>
        <translation>Der neue Name enthält „/“.</translation>
    </message>
    <message>
        <source>The new name contains a NUL character.</source>
        <translation>Der neue Name enthält ein NUL-Zeichen.</translation>
    </message>
    <message>
        <source>The new name holds half of a character (a lone surrogate).</source>
        <translation>Der neue Name enthält ein halbes Zeichen (ein einzelnes Surrogat).</translation>
    </message>
    <message>
        <source>The new name is longer than 255 bytes.</source>
        <translation>Der neue Name ist länger als 255 Bytes.</translation>
    </message>
    <message>
        <source>%1 renamed successfully.</source>
        <translation>%1 erfolgreich umbenannt.</translation>
    </message>
    <message>
        <source>Cancelled: %1 not attempted.</source>
        <translation>Abgebrochen: %1 nicht versucht.</translation>
    </message>
    <message>
        <source>%1 could not be renamed:</source>
        <translation>%1 nicht umbenannt:</translation>
    </message>
    <message>
        <source>and %1 more (see the details).</source>
        <translation>und %1 weitere (siehe Details).</translation>
    </message>
    <message>
        <source>“%1” to “%2”: %3</source>
        <translation>„%1“ in „%2“: %3</translation>
    </message>
    <message>
        <source>Cannot rename “%1” to “%2”: %3</source>
        <translation>„%1“ kann nicht in „%2“ umbenannt werden: %3</translation>
    </message>
    <message>
        <source>cannot write the journal in %1: %2</source>
        <translation>das Protokoll kann nicht in %1 geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The journal could no longer be written (%1), so the run stopped.</source>
        <translation>Das Protokoll konnte nicht mehr geschrieben werden (%1), daher wurde die Umbenennung angehalten.</translation>
    </message>
    <message>
        <source>The new name starts with “/”.</source>
        <translation>Der neue Name beginnt mit „/“.</translation>
    </message>
    <message>
        <source>The new name has an empty folder name.</source>
        <translation>Der neue Name enthält einen leeren Ordnernamen.</translation>
    </message>
</context>
<context>
    <name>RuleControls</name>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>Regulärer Ausdruc&amp;k</translation>
    </message>
    <message>
        <source>Search with a Perl-compatible pattern; the replacement may use $0, $1 to $99, ${name} and $$</source>
        <translation>Mit einem Perl-kompatiblen Muster suchen; die Ersetzung kann $0, $1 bis $99, ${name} und $$ verwenden</translation>
    </message>
    <message>
        <source>I&amp;gnore case</source>
        <translation>Gro&amp;ß-/Kleinschreibung ignorieren</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Wortanfänge Groß</translation>
    </message>
    <message>
        <source>Sentence case</source>
        <translation>Satzanfang groß</translation>
    </message>
    <message>
        <source>Restart in each fol&amp;der</source>
        <translation>In &amp;jedem Ordner neu beginnen</translation>
    </message>
    <message>
        <source>Count each file among the files of its own folder</source>
        <translation>Jede Datei unter den Dateien ihres eigenen Ordners zählen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>Ans&amp;icht</translation>
    </message>
    <message>
        <source>&amp;Natural Order</source>
        <translation>&amp;Natürliche Reihenfolge</translation>
    </message>
    <message>
        <source>Sort names and locations with numbers by value: 2 before 10</source>
        <translation>Namen und Orte mit Zahlen nach deren Wert sortieren: 2 vor 10</translation>
    </message>
    <message>
        <source>Invalid regular expression: %1 at offset %2. Names are not searched.</source>
        <translation>Ungültiger regulärer Ausdruck: %1 an Stelle %2. Namen werden nicht durchsucht.</translation>
    </message>
    <message>
        <source>Replacement: %1 at offset %2. Names are not searched.</source>
        <translation>Ersetzung: %1 an Stelle %2. Namen werden nicht durchsucht.</translation>
    </message>
    <message>
        <source>Keep companion files &amp;together</source>
        <translation>Begleitdateien &amp;zusammenhalten</translation>
    </message>
    <message>
        <source>Files that share a name up to a dot (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp) move as one: the first takes the new name and counts once, the others follow it with their own extensions</source>
        <translation>Dateien, deren Namen bis zu einem Punkt übereinstimmen (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp), werden gemeinsam umbenannt: die erste erhält den neuen Namen und zählt einmal, die anderen folgen ihr mit ihren eigenen Endungen</translation>
    </message>
    <message>
        <source>Plain ASCII onl&amp;y</source>
        <translation>Nur einfaches ASC&amp;II</translation>
    </message>
    <message>
        <source>After the other rules, letters lose their accents and other scripts are written in Latin letters: Café Zürich becomes Cafe Zurich</source>
        <translation>Nach den anderen Regeln verlieren Buchstaben ihre Akzente, und andere Schriften werden in lateinischen Buchstaben geschrieben: aus Café Zürich wird Cafe Zurich</translation>
    </message>
    <message>
        <source>Make names uni&amp;que</source>
        <translation>Namen ein&amp;deutig machen</translation>
    </message>
    <message>
        <source>A new name that is taken gets &quot; (2)&quot;, &quot; (3)&quot;, … before its extension, the first number free in its folder</source>
        <translation>Ein neuer Name, der schon vergeben ist, bekommt „ (2)“, „ (3)“, … vor seiner Endung: die erste in seinem Ordner freie Zahl</translation>
    </message>
    <message>
        <source>[P] Directory</source>
        <translation>[&amp;P] Ordner</translation>
    </message>
    <message>
        <source>Append the name of the file&apos;s folder ([P2] the folder above it, and so on)</source>
        <translation>Den Namen des Ordners der Datei anhängen ([P2] den Ordner darüber, und so weiter)</translation>
    </message>
    <message>
        <source>Allow / to make fol&amp;ders</source>
        <translation>Mit / &amp;Ordner anlegen</translation>
    </message>
    <message>
        <source>Each / in the new name is a folder below the file&apos;s own, made where it is missing: [Y]/[M]/[N] moves Trip/IMG_0412.JPG to Trip/2024/05/IMG_0412.JPG</source>
        <translation>Jeder / im neuen Namen ist ein Ordner unterhalb des Ordners der Datei, angelegt, wo er fehlt: [Y]/[M]/[N] verschiebt Reise/IMG_0412.JPG nach Reise/2024/05/IMG_0412.JPG</translation>
    </message>
    <message>
        <source>Rename:</source>
        <translation>Umbenennen:</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Files and Folders</source>
        <translation>Dateien und Ordner</translation>
    </message>
    <message>
        <source>What the folders added from now on list: their files, the folders themselves and every folder below them, or both</source>
        <translation>Was die ab jetzt hinzugefügten Ordner auflisten: ihre Dateien, die Ordner selbst und jeden Ordner darunter, oder beides</translation>
    </message>
</context>
<context>
    <name>RunConfirmation</name>
    <message numerus="yes">
        <source>%n of %1 files cannot be renamed. Rename the other %2?</source>
        <translation>
            <numerusform>%n von %1 Dateien kann nicht umbenannt werden. Die anderen %2 umbenennen?</numerusform>
            <numerusform>%n von %1 Dateien können nicht umbenannt werden. Die anderen %2 umbenennen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>None of the %n file(s) can be renamed.</source>
        <translation>
            <numerusform>Die Datei kann nicht umbenannt werden.</numerusform>
            <numerusform>Keine der %n Dateien kann umbenannt werden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Rename %n File(s)</source>
        <translation>
            <numerusform>%n Datei umbenennen</numerusform>
            <numerusform>%n Dateien umbenennen</numerusform>
        </translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>“%1”: %2</source>
        <translation>„%1“: %2</translation>
    </message>
</context>
<context>
    <name>Tutorial</name>
    <message numerus="yes">
        <source>Your %n file(s) and your settings come back when the tutorial ends.</source>
        <translation>
            <numerusform>Ihre Datei und Ihre Einstellungen kommen zurück, wenn das Tutorial endet.</numerusform>
            <numerusform>Ihre %n Dateien und Ihre Einstellungen kommen zurück, wenn das Tutorial endet.</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Close Tutorial</source>
        <translation>Tutorial &amp;schließen</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Weiter</translation>
    </message>
</context>
<context>
    <name>UndoControl</name>
    <message>
        <source>The last rename was interrupted after %1 of %2 files. Undo those %1?</source>
        <translation>Das letzte Umbenennen wurde nach %1 von %2 Dateien unterbrochen. Diese %1 rückgängig machen?</translation>
    </message>
    <message>
        <source>Folder: %1</source>
        <translation>Ordner: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>&amp;Behalten</translation>
    </message>
    <message>
        <source>The last rename was interrupted before any file was recorded as renamed. Undo what it renamed?</source>
        <translation>Das letzte Umbenennen wurde unterbrochen, bevor eine Datei als umbenannt verzeichnet war. Rückgängig machen, was es umbenannt hat?</translation>
    </message>
</context>
<context>
    <name>UndoRun</name>
    <message>
        <source>The journal cannot be read: %1</source>
        <translation>Das Protokoll kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The journal holds no moves.</source>
        <translation>Das Protokoll enthält keine Umbenennungen.</translation>
    </message>
    <message>
        <source>The journal is damaged: move %1 is not one of a file in its folder.</source>
        <translation>Das Protokoll ist beschädigt: Umbenennung %1 betrifft keine Datei in ihrem Ordner.</translation>
    </message>
    <message>
        <source>This run has been undone already.</source>
        <translation>Dieses Umbenennen wurde bereits rückgängig gemacht.</translation>
    </message>
    <message>
        <source>This run has not been undone, so there is nothing to redo.</source>
        <translation>Dieses Umbenennen wurde nicht rückgängig gemacht, es gibt also nichts zu wiederholen.</translation>
    </message>
    <message>
        <source>The journal cannot be written: %1</source>
        <translation>Das Protokoll kann nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>cannot be told apart from another file of the run</source>
        <translation>nicht von einer anderen Datei des Laufs zu unterscheiden</translation>
    </message>
    <message>
        <source>changed since the run</source>
        <translation>seit dem Lauf verändert</translation>
    </message>
    <message>
        <source>renamed since the run (now “%1”)</source>
        <translation>seit dem Lauf umbenannt (jetzt „%1“)</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>fehlt</translation>
    </message>
    <message>
        <source>new name taken</source>
        <translation>neuer Name vergeben</translation>
    </message>
    <message>
        <source>old name taken</source>
        <translation>alter Name vergeben</translation>
    </message>
    <message>
        <source>%1 renamed again.</source>
        <translation>%1 erneut umbenannt.</translation>
    </message>
    <message>
        <source>%1 restored.</source>
        <translation>%1 wiederhergestellt.</translation>
    </message>
    <message>
        <source>Cancelled: %1 not attempted.</source>
        <translation>Abgebrochen: %1 nicht versucht.</translation>
    </message>
    <message>
        <source>%1 could not be renamed again:</source>
        <translation>%1 konnten nicht erneut umbenannt werden:</translation>
    </message>
    <message>
        <source>%1 could not go back:</source>
        <translation>%1 konnten nicht zurückbenannt werden:</translation>
    </message>
    <message>
        <source>and %1 more (see the details).</source>
        <translation>und %1 weitere (siehe Details).</translation>
    </message>
    <message>
        <source>“%1”: %2</source>
        <translation>„%1“: %2</translation>
    </message>
    <message>
        <source>“%1” stays, not “%2”: %3</source>
        <translation>„%1“ bleibt, nicht „%2“: %3</translation>
    </message>
    <message>
        <source>The folder “%1” that the run made stays: it is not empty.</source>
        <translation>Der Ordner „%1“, den der Lauf angelegt hat, bleibt: Er ist nicht leer.</translation>
    </message>
    <message>
        <source>The journal is damaged: the folder “%1” is not one below the folders of its files.</source>
        <translation>Das Protokoll ist beschädigt: Der Ordner „%1“ liegt nicht unter den Ordnern seiner Dateien.</translation>
    </message>
</context>
<context>
    <name>VLNWindow</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>The new file name without its extension. Tokens: [N] old name, [C] counter, [YMD] date, [hms] time, [N2-5] characters of the old name</source>
        <translation>Der neue Dateiname ohne Endung. Platzhalter: [N] alter Name, [C] Zähler, [YMD] Datum, [hms] Uhrzeit, [N2-5] Zeichen des alten Namens</translation>
    </message>
    <message>
        <source>Name template</source>
        <translation>Vorlage für den Namen</translation>
    </message>
    <message>
        <source>Append the old name</source>
        <translation>Den alten Namen anhängen</translation>
    </message>
    <message>
        <source>[N] &amp;Name</source>
        <translation>[N] Na&amp;me</translation>
    </message>
    <message>
        <source>Append the modification date</source>
        <translation>Das Änderungsdatum anhängen</translation>
    </message>
    <message>
        <source>[&amp;YMD] Date</source>
        <translation>[YMD] D&amp;atum</translation>
    </message>
    <message>
        <source>Append the counter</source>
        <translation>Den Zähler anhängen</translation>
    </message>
    <message>
        <source>[C] &amp;Counter</source>
        <translation>[C] Z&amp;ähler</translation>
    </message>
    <message>
        <source>Append the modification time</source>
        <translation>Die Änderungszeit anhängen</translation>
    </message>
    <message>
        <source>[hms] T&amp;ime</source>
        <translation>[hms] Uh&amp;rzeit</translation>
    </message>
    <message>
        <source>Extension</source>
        <translation>Endung</translation>
    </message>
    <message>
        <source>The new extension. Tokens: [E] old extension, [C] counter, [E1-2] characters of the old extension</source>
        <translation>Die neue Endung. Platzhalter: [E] alte Endung, [C] Zähler, [E1-2] Zeichen der alten Endung</translation>
    </message>
    <message>
        <source>Extension template</source>
        <translation>Vorlage für die Endung</translation>
    </message>
    <message>
        <source>Append the old extension</source>
        <translation>Die alte Endung anhängen</translation>
    </message>
    <message>
        <source>[E] E&amp;xtension</source>
        <translation>[E] End&amp;ung</translation>
    </message>
    <message>
        <source>[C] Co&amp;unter</source>
        <translation>[C] &amp;Zähler</translation>
    </message>
    <message>
        <source>Search and Replace</source>
        <translation>Suchen und Ersetzen</translation>
    </message>
    <message>
        <source>&amp;Search:</source>
        <translation>Su&amp;chen:</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Zu suchender Text</translation>
    </message>
    <message>
        <source>Re&amp;place:</source>
        <translation>&amp;Ersetzen durch:</translation>
    </message>
    <message>
        <source>Replacement (empty removes)</source>
        <translation>Ersatz (leer entfernt den Text)</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Groß- und Kleinschreibung</translation>
    </message>
    <message>
        <source>Keep Case</source>
        <translation>Schreibweise beibehalten</translation>
    </message>
    <message>
        <source>all lowercase</source>
        <translation>alles in kleinbuchstaben</translation>
    </message>
    <message>
        <source>All UPPERCASE</source>
        <translation>ALLES IN GROSSBUCHSTABEN</translation>
    </message>
    <message>
        <source>Counter</source>
        <translation>Zähler</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Startwert</translation>
    </message>
    <message>
        <source>Step &amp;by</source>
        <translation>Schrittweite</translation>
    </message>
    <message>
        <source>Di&amp;gits</source>
        <translation>Stellen</translation>
    </message>
    <message>
        <source>Add files to the list</source>
        <translation>Dateien zur Liste hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Add…</source>
        <translation>Hi&amp;nzufügen…</translation>
    </message>
    <message>
        <source>Remove the selected files from the list</source>
        <translation>Die ausgewählten Dateien aus der Liste entfernen</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>En&amp;tfernen</translation>
    </message>
    <message>
        <source>Empty the list</source>
        <translation>Die Liste leeren</translation>
    </message>
    <message>
        <source>C&amp;lear All</source>
        <translation>&amp;Liste leeren</translation>
    </message>
    <message>
        <source>Show the selected files in the file manager</source>
        <translation>Die ausgewählten Dateien in der Dateiverwaltung zeigen</translation>
    </message>
    <message>
        <source>Sh&amp;ow</source>
        <translation>Anzei&amp;gen</translation>
    </message>
    <message>
        <source>No files</source>
        <translation>Keine Dateien</translation>
    </message>
    <message>
        <source>Start &amp;Renaming</source>
        <translation>Umbenennen &amp;starten</translation>
    </message>
    <message>
        <source>S&amp;kip Tutorial</source>
        <translation>Tutorial &amp;überspringen</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Add Files…</source>
        <translation>&amp;Dateien hinzufügen…</translation>
    </message>
    <message>
        <source>&amp;Start Renaming</source>
        <translation>&amp;Umbenennen starten</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Velnor</source>
        <translation>&amp;Velnor</translation>
    </message>
    <message>
        <source>Show &amp;Tutorial</source>
        <translation>&amp;Tutorial zeigen</translation>
    </message>
    <message>
        <source>&amp;Go to Name Template</source>
        <translation>&amp;Zur Namensvorlage</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Clear All</source>
        <translation>&amp;Liste leeren</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>Copy &amp;New Name</source>
        <translation>&amp;Neuen Namen kopieren</translation>
    </message>
    <message>
        <source>Velnor &amp;Web Site</source>
        <translation>&amp;Velnor-Website</translation>
    </message>
    <message>
        <source>&amp;About Velnor</source>
        <translation>Ü&amp;ber Velnor</translation>
    </message>
    <message>
        <source>
Thank you for installing Velnor, the fastest way to rename large amounts of files.


Click Next for a quick start guide on how to use this software.</source>
        <translation>
Danke, dass Sie Velnor installiert haben, den schnellsten Weg, große Mengen von Dateien umzubenennen.


Klicken Sie auf Weiter für eine kurze Einführung in dieses Programm.</translation>
    </message>
    <message>
        <source>In this section you can search for a particular text and replace it.
Leave the replace text empty if you simply want to remove the searched text.

Try typing Test in the search textfield.</source>
        <translation>In diesem Bereich suchen Sie einen bestimmten Text und ersetzen ihn.
Lassen Sie den Ersatz leer, wenn Sie den gesuchten Text einfach entfernen wollen.

Geben Sie „Test“ in das Suchfeld ein.</translation>
    </message>
    <message>
        <source>In this section you can convert the entire file name to uppercase or lowercase

Try changing it to All UPPERCASE.</source>
        <translation>In diesem Bereich schreiben Sie den ganzen Dateinamen in Groß- oder Kleinbuchstaben

Stellen Sie auf „ALLES IN GROSSBUCHSTABEN“ um.</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Undo Rename</source>
        <translation>Umbenennen &amp;rückgängig</translation>
    </message>
    <message>
        <source>Re&amp;do Rename</source>
        <translation>Umbenennen &amp;wiederholen</translation>
    </message>
    <message>
        <source>Rename &amp;History…</source>
        <translation>&amp;Verlauf der Umbenennungen…</translation>
    </message>
    <message>
        <source>The rename could not be prepared for undo.</source>
        <translation>Das Umbenennen konnte nicht für Rückgängig vorbereitet werden.</translation>
    </message>
    <message>
        <source>%1

No file has been renamed. Without undo, this rename cannot be taken back.</source>
        <translation>%1

Keine Datei wurde umbenannt. Ohne Rückgängig lässt sich dieses Umbenennen nicht zurücknehmen.</translation>
    </message>
    <message>
        <source>Rename &amp;Without Undo</source>
        <translation>&amp;Ohne Rückgängig umbenennen</translation>
    </message>
    <message>
        <source>&amp;Paste New Names</source>
        <translation>Neue Namen ein&amp;fügen</translation>
    </message>
    <message>
        <source>The lines on the clipboard become the new names of the selected files</source>
        <translation>Die Zeilen der Zwischenablage werden die neuen Namen der ausgewählten Dateien</translation>
    </message>
    <message>
        <source>R&amp;eset New Name</source>
        <translation>Neuen Namen zurück&amp;setzen</translation>
    </message>
    <message>
        <source>The selected files take the new names the rules give again</source>
        <translation>Die ausgewählten Dateien erhalten wieder die neuen Namen aus den Regeln</translation>
    </message>
    <message>
        <source>A new name cannot be empty.</source>
        <translation>Ein neuer Name darf nicht leer sein.</translation>
    </message>
    <message>
        <source>The file keeps the new name it had.</source>
        <translation>Die Datei behält den neuen Namen, den sie hatte.</translation>
    </message>
    <message>
        <source>In this section you can change the file name based on the text you input.
Using special tokens such as [N] or [C] you can insert dynamic text into the file name.
For date and time tokens, you can change the order of units in the token itself, such as [DMY] or [hms].

Try typing [N]-[YMD] in the text field and see how the names change as you type.</source>
        <translation>In diesem Bereich ändern Sie den Dateinamen nach dem Text, den Sie eingeben.
Mit Platzhaltern wie [N] oder [C] fügen Sie veränderliche Teile in den Dateinamen ein.
Bei Datums- und Zeitplatzhaltern bestimmen Sie die Reihenfolge der Einheiten im Platzhalter selbst, etwa [DMY] oder [hms].

Geben Sie [N]-[YMD] in das Textfeld ein und sehen Sie zu, wie sich die Namen beim Tippen ändern.</translation>
    </message>
    <message>
        <source>In this section you can change the file extension based on the text you input.
Using special tokens such as [E] or [C] you can insert dynamic text into the extension.

Try typing [C] in the text field to set the extension to an increasing number.</source>
        <translation>In diesem Bereich ändern Sie die Dateiendung nach dem Text, den Sie eingeben.
Mit Platzhaltern wie [E] oder [C] fügen Sie veränderliche Teile in die Endung ein.

Geben Sie [C] in das Textfeld ein, um die Endung zu einer aufsteigenden Zahl zu machen.</translation>
    </message>
    <message>
        <source>In this section you can adjust the numerical counter linked to the [C] token.
The counter can start from a certain number and increase in value by the number next to Step by.
Digits represent the minimum amount of digits the counter will show.

Try increasing the Digits to 3.</source>
        <translation>In diesem Bereich stellen Sie den Zähler des Platzhalters [C] ein.
Der Zähler beginnt beim „Startwert“ und wächst bei jeder Datei um die Zahl neben „Schrittweite“.
„Stellen“ gibt an, wie viele Ziffern der Zähler mindestens zeigt.

Erhöhen Sie „Stellen“ auf 3.</translation>
    </message>
    <message>
        <source>That&apos;s it!
All you have to do now is drag the files or folders you want to rename onto this window, or add them with the Add… and Add Folder… buttons. Adjust the renaming parameters and click on the Start Renaming button.

If you have any questions, you can reach us by email at %1</source>
        <translation>Das war’s!
Ziehen Sie jetzt die Dateien oder Ordner, die Sie umbenennen wollen, auf dieses Fenster, oder fügen Sie sie mit „Hinzufügen…“ oder „Ordner hinzufügen…“ hinzu. Stellen Sie die Regeln ein und klicken Sie auf „Umbenennen starten“.

Bei Fragen erreichen Sie uns per E-Mail unter %1</translation>
    </message>
    <message>
        <source>Folder &amp;Access…</source>
        <translation>&amp;Ordnerzugriff…</translation>
    </message>
</context>
<context>
    <name>WindowActions</name>
    <message>
        <source>Line %1 of the clipboard is empty; nothing was changed.</source>
        <translation>Zeile %1 der Zwischenablage ist leer; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>The clipboard holds %1 lines for %2 files; nothing was changed.</source>
        <translation>Die Zwischenablage enthält %1 Zeilen für %2 Dateien; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Rename the files of the list to their new names</source>
        <translation>Die Dateien der Liste in ihre neuen Namen umbenennen</translation>
    </message>
</context>
</TS>
