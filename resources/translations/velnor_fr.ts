<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en">
<context>
    <name>AboutDialog</name>
    <message>
        <source>&lt;h3&gt;Velnor %1&lt;/h3&gt;&lt;p&gt;Renames many files at once.&lt;/p&gt;&lt;p&gt;Copyright © 2026 Velnor&lt;/p&gt;&lt;p&gt;Velnor is free software: you may share and change it under the terms of the GNU General Public License, version 3 or any later version (%2). It comes with no warranty.&lt;/p&gt;&lt;p&gt;Uses Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%4&quot;&gt;%4&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Velnor %1&lt;/h3&gt;&lt;p&gt;Renomme de nombreux fichiers en une fois.&lt;/p&gt;&lt;p&gt;Copyright © 2026 Velnor&lt;/p&gt;&lt;p&gt;Velnor est un logiciel libre&#xa0;: vous pouvez le redistribuer et le modifier selon les termes de la licence publique générale GNU, version&#xa0;3 ou toute version ultérieure (%2). Il est fourni sans aucune garantie.&lt;/p&gt;&lt;p&gt;Utilise Qt %3 (LGPL-3.0).&lt;/p&gt;&lt;p&gt;&lt;a href=&quot;%4&quot;&gt;%4&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>About Velnor</source>
        <translation>À propos de Velnor</translation>
    </message>
</context>
<context>
    <name>AccessGrant</name>
    <message>
        <source>Folder Access</source>
        <translation>Accès aux dossiers</translation>
    </message>
    <message>
        <source>Allow Renaming</source>
        <translation>Autoriser le renommage</translation>
    </message>
    <message>
        <source>Velnor asks before it renames files in a folder for the first time. The answer is remembered for the chosen folder and every folder inside it, so you are not asked there again. Choose a folder higher up to allow more at once.</source>
        <translation>Velnor demande avant de renommer des fichiers dans un dossier pour la première fois. La réponse est retenue pour le dossier choisi et pour chaque dossier qu’il contient : la question n’y sera plus posée. Choisissez un dossier plus haut pour en autoriser davantage à la fois.</translation>
    </message>
    <message>
        <source>No files were renamed. Velnor renames files only in folders you have allowed.</source>
        <translation>Aucun fichier n’a été renommé. Velnor ne renomme des fichiers que dans les dossiers que vous avez autorisés.</translation>
    </message>
</context>
<context>
    <name>CountText</name>
    <message>
        <source>No files</source>
        <translation>Aucun fichier</translation>
    </message>
    <message numerus="yes">
        <source>%n file(s)</source>
        <translation>
            <numerusform>%n fichier</numerusform>
            <numerusform>%n fichiers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileTableModel</name>
    <message>
        <source>Old Name</source>
        <translation>Ancien nom</translation>
    </message>
    <message>
        <source>New Name</source>
        <translation>Nouveau nom</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Emplacement</translation>
    </message>
    <message>
        <source>Typed by hand</source>
        <translation>Saisi à la main</translation>
    </message>
    <message>
        <source>Moves with %1</source>
        <translation>Renommé avec %1</translation>
    </message>
    <message>
        <source>Reading metadata…</source>
        <translation>Lecture des métadonnées…</translation>
    </message>
</context>
<context>
    <name>FolderAccessDialog</name>
    <message>
        <source>Folder Access</source>
        <translation>Accès aux dossiers</translation>
    </message>
    <message>
        <source>Velnor renames files without asking in these folders and in every folder inside them.</source>
        <translation>Velnor renomme les fichiers sans demander dans ces dossiers et dans chaque dossier qu’ils contiennent.</translation>
    </message>
    <message>
        <source>No folders allowed yet.</source>
        <translation>Aucun dossier autorisé pour l’instant.</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>Re&amp;tirer</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>Re&amp;do</source>
        <translation>&amp;Rétablir</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>Rename History</source>
        <translation>Historique des renommages</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation>Interrompu</translation>
    </message>
    <message>
        <source>Renamed</source>
        <translation>Renommé</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Annulé</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Rétabli</translation>
    </message>
    <message>
        <source>Undo interrupted</source>
        <translation>Annulation interrompue</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>En cours</translation>
    </message>
    <message>
        <source>1 journal could not be read</source>
        <translation>1 journal illisible</translation>
    </message>
    <message>
        <source>%1 journals could not be read</source>
        <translation>%1 journaux illisibles</translation>
    </message>
    <message>
        <source>Partly undone</source>
        <translation>Partiellement annulé</translation>
    </message>
</context>
<context>
    <name>JobBar</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>%1 files found</source>
        <translation>Fichiers trouvés&#xa0;: %1</translation>
    </message>
    <message>
        <source>Renaming %1 of %2</source>
        <translation>Renommage&#xa0;: %1 sur %2</translation>
    </message>
    <message>
        <source>Redoing %1 of %2</source>
        <translation>Rétablissement&#xa0;: %1 sur %2</translation>
    </message>
    <message>
        <source>Undoing %1 of %2</source>
        <translation>Annulation&#xa0;: %1 sur %2</translation>
    </message>
    <message>
        <source>1 folder could not be read</source>
        <translation>1 dossier illisible</translation>
    </message>
    <message>
        <source>%1 folders could not be read</source>
        <translation>%1 dossiers illisibles</translation>
    </message>
    <message>
        <source>Reading metadata %1 of %2</source>
        <translation>Lecture des métadonnées %1 sur %2</translation>
    </message>
    <message numerus="yes">
        <source>Cancelled: %n file(s) listed, the list is incomplete</source>
        <translation>
            <numerusform>Annulé&#xa0;: %n fichier listé, la liste est incomplète</numerusform>
            <numerusform>Annulé&#xa0;: %n fichiers listés, la liste est incomplète</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ListingControls</name>
    <message>
        <source>Add Fol&amp;der…</source>
        <translation>Ajouter un &amp;dossier…</translation>
    </message>
    <message>
        <source>Add a folder and every file below it to the list</source>
        <translation>Ajouter à la liste un dossier et tous les fichiers qu’il contient</translation>
    </message>
    <message>
        <source>Filter: *.jpg *.png</source>
        <translation>Filtre : *.jpg *.png</translation>
    </message>
    <message>
        <source>Of the folders added from now on, list only the files whose names match one of these patterns (* any text, ? one character), without regard to case. Empty: every file</source>
        <translation>Des dossiers ajoutés désormais, ne lister que les fichiers dont le nom correspond à l’un de ces motifs (* tout texte, ? un caractère), sans tenir compte de la casse. Vide : tous les fichiers</translation>
    </message>
    <message>
        <source>&amp;Hidden files</source>
        <translation>Fichiers ca&amp;chés</translation>
    </message>
    <message>
        <source>List the files of the folders added from now on whose names start with a dot, and the folders so named (.git)</source>
        <translation>Lister aussi, dans les dossiers ajoutés désormais, les fichiers dont le nom commence par un point, et parcourir les dossiers ainsi nommés (.git)</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ajouter un dossier</translation>
    </message>
</context>
<context>
    <name>MetaControls</name>
    <message>
        <source>24-hour c&amp;lock</source>
        <translation>&amp;24 heures</translation>
    </message>
    <message>
        <source>Write the hour of the time tokens as 00 to 23</source>
        <translation>Écrire l&apos;heure des jetons d&apos;heure de 00 à 23</translation>
    </message>
    <message>
        <source>Where the date and time tokens, the Date column and the sort by date take each file&apos;s date from; the first source that has a date gives it. A file without one is not renamed.</source>
        <translation>D&apos;où les jetons de date et d&apos;heure, la colonne Date et le tri par date prennent la date de chaque fichier ; la première source qui a une date la donne. Un fichier sans date n&apos;est pas renommé.</translation>
    </message>
    <message>
        <source>Photos and videos</source>
        <translation>Photos et vidéos</translation>
    </message>
    <message>
        <source>Camera mak&amp;er</source>
        <translation>&amp;Marque de l&apos;appareil</translation>
    </message>
    <message>
        <source>Camera &amp;model</source>
        <translation>M&amp;odèle de l&apos;appareil</translation>
    </message>
    <message>
        <source>&amp;Lens</source>
        <translation>Ob&amp;jectif</translation>
    </message>
    <message>
        <source>&amp;Width</source>
        <translation>&amp;Largeur</translation>
    </message>
    <message>
        <source>&amp;Height</source>
        <translation>&amp;Hauteur</translation>
    </message>
    <message>
        <source>Audio</source>
        <translation>Audio</translation>
    </message>
    <message>
        <source>&amp;Artist</source>
        <translation>&amp;Artiste</translation>
    </message>
    <message>
        <source>Album a&amp;rtist</source>
        <translation>A&amp;rtiste de l&apos;album</translation>
    </message>
    <message>
        <source>Al&amp;bum</source>
        <translation>Al&amp;bum</translation>
    </message>
    <message>
        <source>&amp;Title</source>
        <translation>&amp;Titre</translation>
    </message>
    <message>
        <source>Track &amp;number</source>
        <translation>&amp;Numéro de piste</translation>
    </message>
    <message>
        <source>&amp;Disc number</source>
        <translation>Numéro de &amp;disque</translation>
    </message>
    <message>
        <source>&amp;Year</source>
        <translation>Ann&amp;ée</translation>
    </message>
    <message>
        <source>&amp;Genre</source>
        <translation>&amp;Genre</translation>
    </message>
    <message>
        <source>Other &amp;Field…</source>
        <translation>Autre &amp;champ…</translation>
    </message>
    <message>
        <source>modified</source>
        <translation>modification</translation>
    </message>
    <message>
        <source>created</source>
        <translation>création</translation>
    </message>
    <message>
        <source>taken</source>
        <translation>prise de vue</translation>
    </message>
    <message>
        <source>, else </source>
        <comment>between date sources</comment>
        <translation>, sinon </translation>
    </message>
    <message>
        <source>Other Field</source>
        <translation>Autre champ</translation>
    </message>
    <message>
        <source>The field&apos;s key: an Exif, IPTC or XMP key such as Exif.Photo.FNumber or Xmp.dc.title, or an audio tag such as COMPOSER.</source>
        <translation>La clé du champ : une clé Exif, IPTC ou XMP comme Exif.Photo.FNumber ou Xmp.dc.title, ou une étiquette audio comme COMPOSER.</translation>
    </message>
    <message>
        <source>Metadata</source>
        <translation>Métadonnées</translation>
    </message>
    <message>
        <source>Append a value from inside the file: camera, song, any field (%1)</source>
        <translation>Ajouter une valeur lue dans le fichier : appareil, morceau, tout champ (%1)</translation>
    </message>
    <message>
        <source>Dates from:</source>
        <translation>Dates prises de :</translation>
    </message>
</context>
<context>
    <name>PlanMarks</name>
    <message numerus="yes">
        <source>%n file(s) cannot be renamed</source>
        <translation>
            <numerusform>%n fichier non renommable</numerusform>
            <numerusform>%n fichiers non renommables</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PresetMenu</name>
    <message>
        <source>Prese&amp;ts</source>
        <translation>Prérégla&amp;ges</translation>
    </message>
    <message>
        <source>&amp;Save Settings as Preset…</source>
        <translation>&amp;Enregistrer les réglages comme préréglage…</translation>
    </message>
    <message>
        <source>&amp;Delete Preset</source>
        <translation>&amp;Supprimer un préréglage</translation>
    </message>
    <message>
        <source>Save Settings as Preset</source>
        <translation>Enregistrer les réglages comme préréglage</translation>
    </message>
    <message>
        <source>Preset name:</source>
        <translation>Nom du préréglage&#xa0;:</translation>
    </message>
    <message>
        <source>A preset named “%1” exists. Replace it?</source>
        <translation>Un préréglage nommé «&#xa0;%1&#xa0;» existe déjà. Le remplacer&#xa0;?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Remplacer</translation>
    </message>
</context>
<context>
    <name>RenamePlan</name>
    <message>
        <source>The folder cannot be opened: %1</source>
        <translation>Le dossier ne peut pas être ouvert : %1</translation>
    </message>
    <message>
        <source>The folder is on a read-only file system.</source>
        <translation>Le dossier est sur un système de fichiers en lecture seule.</translation>
    </message>
    <message>
        <source>The folder cannot be written: %1</source>
        <translation>Le dossier ne peut pas être modifié : %1</translation>
    </message>
    <message>
        <source>The new name holds a control character, which a %1 folder cannot hold.</source>
        <translation>Le nouveau nom contient un caractère de contrôle, qu’un dossier %1 ne peut pas contenir.</translation>
    </message>
    <message>
        <source>The new name holds “%1”, which a %2 folder cannot hold.</source>
        <translation>Le nouveau nom contient « %1 », qu’un dossier %2 ne peut pas contenir.</translation>
    </message>
    <message>
        <source>The new name ends in a dot or a space, which a %1 folder cannot hold.</source>
        <translation>Le nouveau nom se termine par un point ou une espace, ce qu’un dossier %1 ne peut pas contenir.</translation>
    </message>
    <message>
        <source>“%1” is a reserved name on a %2 folder.</source>
        <translation>« %1 » est un nom réservé sur un dossier %2.</translation>
    </message>
    <message>
        <source>The new name is longer than 255 UTF-16 units, more than a %1 folder can hold.</source>
        <translation>Le nouveau nom dépasse 255 unités UTF-16, plus qu’un dossier %1 ne peut contenir.</translation>
    </message>
    <message>
        <source>row %1 (%2)</source>
        <translation>ligne %1 (%2)</translation>
    </message>
    <message>
        <source>The same file as %1, listed twice.</source>
        <translation>Le même fichier que %1, listé deux fois.</translation>
    </message>
    <message>
        <source>The new name is taken by %1, which is not renamed.</source>
        <translation>Le nouveau nom est pris par %1, qui n’est pas renommé.</translation>
    </message>
    <message>
        <source>%1 is taken by a file that is not listed.</source>
        <translation>%1 est pris par un fichier qui n’est pas dans la liste.</translation>
    </message>
    <message>
        <source>The same new name as %1.</source>
        <translation>Le même nouveau nom que %1.</translation>
    </message>
    <message>
        <source>The new name looks the same as that of %1 (the two are canonically equivalent).</source>
        <translation>Le nouveau nom a l’air identique à celui de %1 (les deux sont canoniquement équivalents).</translation>
    </message>
    <message>
        <source>The new name differs only in case from that of %1, and this folder does not tell case apart.</source>
        <translation>Le nouveau nom ne diffère de celui de %1 que par la casse, et ce dossier ne distingue pas la casse.</translation>
    </message>
    <message>
        <source>%1 is not a folder.</source>
        <translation>%1 n’est pas un dossier.</translation>
    </message>
    <message>
        <source>%1 is taken in the folder %2.</source>
        <translation>%1 est déjà pris dans le dossier %2.</translation>
    </message>
    <message>
        <source>%1 in the folder %2 is the new name of %3.</source>
        <translation>%1 dans le dossier %2 est le nouveau nom de la %3.</translation>
    </message>
    <message>
        <source>It moves with %1, which cannot be renamed.</source>
        <translation>Il se déplace avec %1, qui ne peut pas être renommé.</translation>
    </message>
    <message>
        <source>A companion file, %1, cannot be renamed.</source>
        <translation>Un fichier compagnon, %1, ne peut pas être renommé.</translation>
    </message>
</context>
<context>
    <name>RenameRun</name>
    <message>
        <source>The new name is empty.</source>
        <translation>Le nouveau nom est vide.</translation>
    </message>
    <message>
        <source>The new name “%1” is not allowed.</source>
        <translation>Le nouveau nom «&#xa0;%1&#xa0;» n’est pas permis.</translation>
    </message>
    <message>
        <source>The new name is longer than 255 bytes.</source>
        <translation>Le nouveau nom dépasse 255 octets.</translation>
    </message>
    <message>
        <source>The new name contains “/”.</source>
        <translation>Le nouveau nom contient «&#xa0;/&#xa0;».</translation>
    </message>
    <message>
        <source>The new name contains a NUL character.</source>
        <translation>Le nouveau nom contient un caractère NUL.</translation>
    </message>
    <message>
        <source>The new name holds half of a character (a lone surrogate).</source>
        <translation>Le nouveau nom contient une moitié de caractère (un demi-codet isolé).</translation>
    </message>
    <message>
        <source> (the file was left as “%1”)</source>
        <translation> (le fichier est resté «&#xa0;%1&#xa0;»)</translation>
    </message>
    <message>
        <source>%1 renamed successfully.</source>
        <translation>Renommage réussi&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Cancelled: %1 not attempted.</source>
        <translation>Annulé&#xa0;: %1 non traités.</translation>
    </message>
    <message>
        <source>%1 could not be renamed:</source>
        <translation>Impossible de renommer %1&#xa0;:</translation>
    </message>
    <message>
        <source>and %1 more (see the details).</source>
        <translation>et %1 de plus (voir les détails).</translation>
    </message>
    <message>
        <source>“%1” to “%2”: %3</source>
        <translation>«&#xa0;%1&#xa0;» en «&#xa0;%2&#xa0;»&#xa0;: %3</translation>
    </message>
    <message>
        <source>Cannot rename “%1” to “%2”: %3</source>
        <translation>Impossible de renommer «&#xa0;%1&#xa0;» en «&#xa0;%2&#xa0;»&#xa0;: %3</translation>
    </message>
    <message>
        <source>cannot write the journal in %1: %2</source>
        <translation>impossible d’écrire le journal dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>The journal could no longer be written (%1), so the run stopped.</source>
        <translation>Le journal ne pouvait plus être écrit (%1), le renommage a donc été arrêté.</translation>
    </message>
    <message>
        <source>The new name starts with “/”.</source>
        <translation>Le nouveau nom commence par «&#xa0;/&#xa0;».</translation>
    </message>
    <message>
        <source>The new name has an empty folder name.</source>
        <translation>Le nouveau nom contient un nom de dossier vide.</translation>
    </message>
</context>
<context>
    <name>RuleControls</name>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>&amp;Expression régulière</translation>
    </message>
    <message>
        <source>Search with a Perl-compatible pattern; the replacement may use $0, $1 to $99, ${name} and $$</source>
        <translation>Rechercher avec un motif compatible Perl&#xa0;; le remplacement peut utiliser $0, $1 à $99, ${name} et $$</translation>
    </message>
    <message>
        <source>I&amp;gnore case</source>
        <translation>I&amp;gnorer la casse</translation>
    </message>
    <message>
        <source>Title Case</source>
        <translation>Majuscule En Début De Mot</translation>
    </message>
    <message>
        <source>Sentence case</source>
        <translation>Majuscule en début de phrase</translation>
    </message>
    <message>
        <source>Restart in each fol&amp;der</source>
        <translation>&amp;Reprendre dans chaque dossier</translation>
    </message>
    <message>
        <source>Count each file among the files of its own folder</source>
        <translation>Compter chaque fichier parmi les fichiers de son propre dossier</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>Affic&amp;hage</translation>
    </message>
    <message>
        <source>&amp;Natural Order</source>
        <translation>Ordre &amp;naturel</translation>
    </message>
    <message>
        <source>Sort names and locations with numbers by value: 2 before 10</source>
        <translation>Trier les noms et emplacements contenant des nombres selon leur valeur&#xa0;: 2 avant 10</translation>
    </message>
    <message>
        <source>Invalid regular expression: %1 at offset %2. Names are not searched.</source>
        <translation>Expression régulière non valide&#xa0;: %1 à la position %2. Les noms ne sont pas parcourus.</translation>
    </message>
    <message>
        <source>Replacement: %1 at offset %2. Names are not searched.</source>
        <translation>Remplacement&#xa0;: %1 à la position %2. Les noms ne sont pas parcourus.</translation>
    </message>
    <message>
        <source>Keep companion files &amp;together</source>
        <translation>Garder les fichiers compagnons &amp;ensemble</translation>
    </message>
    <message>
        <source>Files that share a name up to a dot (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp) move as one: the first takes the new name and counts once, the others follow it with their own extensions</source>
        <translation>Les fichiers dont le nom est le même jusqu’à un point (IMG_0412.CR3, IMG_0412.JPG, IMG_0412.xmp) sont renommés ensemble : le premier reçoit le nouveau nom et compte une fois, les autres le suivent avec leur propre extension</translation>
    </message>
    <message>
        <source>Plain ASCII onl&amp;y</source>
        <translation>ASCII simple &amp;uniquement</translation>
    </message>
    <message>
        <source>After the other rules, letters lose their accents and other scripts are written in Latin letters: Café Zürich becomes Cafe Zurich</source>
        <translation>Après les autres règles, les lettres perdent leurs accents et les autres écritures passent en lettres latines : Café Zürich devient Cafe Zurich</translation>
    </message>
    <message>
        <source>Make names uni&amp;que</source>
        <translation>Rendre les noms uni&amp;ques</translation>
    </message>
    <message>
        <source>A new name that is taken gets &quot; (2)&quot;, &quot; (3)&quot;, … before its extension, the first number free in its folder</source>
        <translation>Un nouveau nom déjà pris reçoit &quot; (2)&quot;, &quot; (3)&quot;, … avant son extension : le premier numéro libre dans son dossier</translation>
    </message>
    <message>
        <source>[P] Directory</source>
        <translation>[P] Dossier</translation>
    </message>
    <message>
        <source>Append the name of the file&apos;s folder ([P2] the folder above it, and so on)</source>
        <translation>Ajouter le nom du dossier du fichier ([P2] le dossier au-dessus, et ainsi de suite)</translation>
    </message>
    <message>
        <source>Allow / to make fol&amp;ders</source>
        <translation>/ crée des &amp;dossiers</translation>
    </message>
    <message>
        <source>Each / in the new name is a folder below the file&apos;s own, made where it is missing: [Y]/[M]/[N] moves Trip/IMG_0412.JPG to Trip/2024/05/IMG_0412.JPG</source>
        <translation>Chaque / du nouveau nom est un dossier sous celui du fichier, créé s’il manque&#xa0;: [Y]/[M]/[N] déplace Voyage/IMG_0412.JPG vers Voyage/2024/05/IMG_0412.JPG</translation>
    </message>
    <message>
        <source>Rename:</source>
        <translation>Renommer :</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Fichiers</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Dossiers</translation>
    </message>
    <message>
        <source>Files and Folders</source>
        <translation>Fichiers et dossiers</translation>
    </message>
    <message>
        <source>What the folders added from now on list: their files, the folders themselves and every folder below them, or both</source>
        <translation>Ce que listent les dossiers ajoutés à partir de maintenant : leurs fichiers, les dossiers eux-mêmes et chaque dossier en dessous, ou les deux</translation>
    </message>
</context>
<context>
    <name>RunConfirmation</name>
    <message numerus="yes">
        <source>%n of %1 files cannot be renamed. Rename the other %2?</source>
        <translation>
            <numerusform>%n fichier sur %1 ne peut pas être renommé. Renommer les %2 autres ?</numerusform>
            <numerusform>%n fichiers sur %1 ne peuvent pas être renommés. Renommer les %2 autres ?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>None of the %n file(s) can be renamed.</source>
        <translation>
            <numerusform>Le fichier ne peut pas être renommé.</numerusform>
            <numerusform>Aucun des %n fichiers ne peut être renommé.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Rename %n File(s)</source>
        <translation>
            <numerusform>Renommer %n fichier</numerusform>
            <numerusform>Renommer %n fichiers</numerusform>
        </translation>
    </message>
    <message>
        <source>…</source>
        <translation>…</translation>
    </message>
    <message>
        <source>“%1”: %2</source>
        <translation>« %1 » : %2</translation>
    </message>
</context>
<context>
    <name>Tutorial</name>
    <message numerus="yes">
        <source>Your %n file(s) and your settings come back when the tutorial ends.</source>
        <translation>
            <numerusform>Votre fichier et vos réglages reviennent à la fin du tutoriel.</numerusform>
            <numerusform>Vos %n fichiers et vos réglages reviennent à la fin du tutoriel.</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Close Tutorial</source>
        <translation>&amp;Fermer le tutoriel</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
</context>
<context>
    <name>UndoControl</name>
    <message>
        <source>The last rename was interrupted before any file was recorded as renamed. Undo what it renamed?</source>
        <translation>Le dernier renommage a été interrompu avant qu’un fichier ne soit noté comme renommé. Annuler ce qu’il a renommé&#xa0;?</translation>
    </message>
    <message>
        <source>The last rename was interrupted after %1 of %2 files. Undo those %1?</source>
        <translation>Le dernier renommage a été interrompu après %1 fichiers sur %2. Annuler ces %1&#xa0;?</translation>
    </message>
    <message>
        <source>Folder: %1</source>
        <translation>Dossier&#xa0;: %1</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>&amp;Conserver</translation>
    </message>
</context>
<context>
    <name>UndoRun</name>
    <message>
        <source>cannot be told apart from another file of the run</source>
        <translation>impossible à distinguer d’un autre fichier du renommage</translation>
    </message>
    <message>
        <source>changed since the run</source>
        <translation>modifié depuis le renommage</translation>
    </message>
    <message>
        <source>renamed since the run (now “%1”)</source>
        <translation>renommé depuis (maintenant «&#xa0;%1&#xa0;»)</translation>
    </message>
    <message>
        <source>missing</source>
        <translation>introuvable</translation>
    </message>
    <message>
        <source>new name taken</source>
        <translation>nouveau nom déjà pris</translation>
    </message>
    <message>
        <source>old name taken</source>
        <translation>ancien nom déjà pris</translation>
    </message>
    <message>
        <source>%1 renamed again.</source>
        <translation>Renommage rétabli&#xa0;: %1.</translation>
    </message>
    <message>
        <source>%1 restored.</source>
        <translation>Noms d’origine rétablis&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Cancelled: %1 not attempted.</source>
        <translation>Annulé&#xa0;: %1 non traités.</translation>
    </message>
    <message>
        <source>%1 could not be renamed again:</source>
        <translation>Impossible de renommer à nouveau %1&#xa0;:</translation>
    </message>
    <message>
        <source>%1 could not go back:</source>
        <translation>Impossible de rétablir l’ancien nom de %1&#xa0;:</translation>
    </message>
    <message>
        <source>and %1 more (see the details).</source>
        <translation>et %1 de plus (voir les détails).</translation>
    </message>
    <message>
        <source>“%1”: %2</source>
        <translation>«&#xa0;%1&#xa0;»&#xa0;: %2</translation>
    </message>
    <message>
        <source>“%1” stays, not “%2”: %3</source>
        <translation>«&#xa0;%1&#xa0;» reste, et non «&#xa0;%2&#xa0;»&#xa0;: %3</translation>
    </message>
    <message>
        <source>The journal cannot be read: %1</source>
        <translation>Le journal est illisible&#xa0;: %1</translation>
    </message>
    <message>
        <source>The journal holds no moves.</source>
        <translation>Le journal ne contient aucun renommage.</translation>
    </message>
    <message>
        <source>The journal is damaged: move %1 is not one of a file in its folder.</source>
        <translation>Le journal est endommagé&#xa0;: le renommage %1 ne concerne aucun fichier de son dossier.</translation>
    </message>
    <message>
        <source>This run has been undone already.</source>
        <translation>Ce renommage a déjà été annulé.</translation>
    </message>
    <message>
        <source>This run has not been undone, so there is nothing to redo.</source>
        <translation>Ce renommage n’a pas été annulé&#xa0;: il n’y a rien à rétablir.</translation>
    </message>
    <message>
        <source>The journal cannot be written: %1</source>
        <translation>Impossible d’écrire le journal&#xa0;: %1</translation>
    </message>
    <message>
        <source>The folder “%1” that the run made stays: it is not empty.</source>
        <translation>Le dossier «&#xa0;%1&#xa0;» créé par l’opération reste&#xa0;: il n’est pas vide.</translation>
    </message>
    <message>
        <source>The journal is damaged: the folder “%1” is not one below the folders of its files.</source>
        <translation>Le journal est endommagé&#xa0;: le dossier «&#xa0;%1&#xa0;» n’est pas sous les dossiers de ses fichiers.</translation>
    </message>
</context>
<context>
    <name>VLNWindow</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>The new file name without its extension. Tokens: [N] old name, [C] counter, [YMD] date, [hms] time, [N2-5] characters of the old name</source>
        <translation>Le nouveau nom du fichier, sans son extension. Balises&#xa0;: [N] ancien nom, [C] compteur, [YMD] date, [hms] heure, [N2-5] caractères de l’ancien nom</translation>
    </message>
    <message>
        <source>Name template</source>
        <translation>Modèle de nom</translation>
    </message>
    <message>
        <source>Append the old name</source>
        <translation>Ajouter l’ancien nom</translation>
    </message>
    <message>
        <source>[N] &amp;Name</source>
        <translation>[N] N&amp;om</translation>
    </message>
    <message>
        <source>Append the modification date</source>
        <translation>Ajouter la date de modification</translation>
    </message>
    <message>
        <source>[&amp;YMD] Date</source>
        <translation>[&amp;YMD] Date</translation>
    </message>
    <message>
        <source>Append the counter</source>
        <translation>Ajouter le compteur</translation>
    </message>
    <message>
        <source>[C] &amp;Counter</source>
        <translation>[C] Com&amp;pteur</translation>
    </message>
    <message>
        <source>Append the modification time</source>
        <translation>Ajouter l’heure de modification</translation>
    </message>
    <message>
        <source>[hms] T&amp;ime</source>
        <translation>[hms] He&amp;ure</translation>
    </message>
    <message>
        <source>Extension</source>
        <translation>Extension</translation>
    </message>
    <message>
        <source>The new extension. Tokens: [E] old extension, [C] counter, [E1-2] characters of the old extension</source>
        <translation>La nouvelle extension. Balises&#xa0;: [E] ancienne extension, [C] compteur, [E1-2] caractères de l’ancienne extension</translation>
    </message>
    <message>
        <source>Extension template</source>
        <translation>Modèle d’extension</translation>
    </message>
    <message>
        <source>Append the old extension</source>
        <translation>Ajouter l’ancienne extension</translation>
    </message>
    <message>
        <source>[E] E&amp;xtension</source>
        <translation>[E] E&amp;xtension</translation>
    </message>
    <message>
        <source>[C] Co&amp;unter</source>
        <translation>[C] &amp;Compteur</translation>
    </message>
    <message>
        <source>Search and Replace</source>
        <translation>Rechercher et remplacer</translation>
    </message>
    <message>
        <source>&amp;Search:</source>
        <translation>&amp;Rechercher&#xa0;:</translation>
    </message>
    <message>
        <source>Text to find</source>
        <translation>Texte à trouver</translation>
    </message>
    <message>
        <source>Re&amp;place:</source>
        <translation>Re&amp;mplacer par&#xa0;:</translation>
    </message>
    <message>
        <source>Replacement (empty removes)</source>
        <translation>Remplacement (vide&#xa0;: supprime)</translation>
    </message>
    <message>
        <source>Case</source>
        <translation>Casse</translation>
    </message>
    <message>
        <source>Keep Case</source>
        <translation>Garder la casse</translation>
    </message>
    <message>
        <source>all lowercase</source>
        <translation>tout en minuscules</translation>
    </message>
    <message>
        <source>All UPPERCASE</source>
        <translation>TOUT EN MAJUSCULES</translation>
    </message>
    <message>
        <source>Counter</source>
        <translation>Compteur</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Début</translation>
    </message>
    <message>
        <source>Step &amp;by</source>
        <translation>Pa&amp;s</translation>
    </message>
    <message>
        <source>Di&amp;gits</source>
        <translation>Chiffr&amp;es</translation>
    </message>
    <message>
        <source>Add files to the list</source>
        <translation>Ajouter des fichiers à la liste</translation>
    </message>
    <message>
        <source>&amp;Add…</source>
        <translation>A&amp;jouter…</translation>
    </message>
    <message>
        <source>Remove the selected files from the list</source>
        <translation>Retirer de la liste les fichiers sélectionnés</translation>
    </message>
    <message>
        <source>Re&amp;move</source>
        <translation>Ret&amp;irer</translation>
    </message>
    <message>
        <source>Empty the list</source>
        <translation>Vider la liste</translation>
    </message>
    <message>
        <source>C&amp;lear All</source>
        <translation>&amp;Vider</translation>
    </message>
    <message>
        <source>Show the selected files in the file manager</source>
        <translation>Montrer les fichiers sélectionnés dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Sh&amp;ow</source>
        <translation>Mon&amp;trer</translation>
    </message>
    <message>
        <source>No files</source>
        <translation>Aucun fichier</translation>
    </message>
    <message>
        <source>Start &amp;Renaming</source>
        <translation>&amp;Lancer le renommage</translation>
    </message>
    <message>
        <source>S&amp;kip Tutorial</source>
        <translation>Passer le &amp;tutoriel</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Suivant</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Édition</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>Fe&amp;nêtre</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Add Files…</source>
        <translation>&amp;Ajouter des fichiers…</translation>
    </message>
    <message>
        <source>&amp;Start Renaming</source>
        <translation>&amp;Lancer le renommage</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Velnor</source>
        <translation>&amp;Velnor</translation>
    </message>
    <message>
        <source>Show &amp;Tutorial</source>
        <translation>Afficher le &amp;tutoriel</translation>
    </message>
    <message>
        <source>&amp;Undo Rename</source>
        <translation>&amp;Annuler le renommage</translation>
    </message>
    <message>
        <source>Re&amp;do Rename</source>
        <translation>&amp;Rétablir le renommage</translation>
    </message>
    <message>
        <source>Rename &amp;History…</source>
        <translation>&amp;Historique des renommages…</translation>
    </message>
    <message>
        <source>&amp;Go to Name Template</source>
        <translation>Aller au &amp;modèle de nom</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>Re&amp;tirer</translation>
    </message>
    <message>
        <source>&amp;Clear All</source>
        <translation>&amp;Vider la liste</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>M&amp;ontrer</translation>
    </message>
    <message>
        <source>Copy &amp;New Name</source>
        <translation>Copier le &amp;nouveau nom</translation>
    </message>
    <message>
        <source>Velnor &amp;Web Site</source>
        <translation>Site &amp;web de Velnor</translation>
    </message>
    <message>
        <source>&amp;About Velnor</source>
        <translation>À &amp;propos de Velnor</translation>
    </message>
    <message>
        <source>
Thank you for installing Velnor, the fastest way to rename large amounts of files.


Click Next for a quick start guide on how to use this software.</source>
        <translation>
Merci d’avoir installé Velnor, le moyen le plus rapide de renommer de grandes quantités de fichiers.


Cliquez sur Suivant pour une courte présentation de ce logiciel.</translation>
    </message>
    <message>
        <source>In this section you can search for a particular text and replace it.
Leave the replace text empty if you simply want to remove the searched text.

Try typing Test in the search textfield.</source>
        <translation>Dans cette partie, vous cherchez un texte précis et le remplacez.
Laissez le remplacement vide pour simplement supprimer le texte cherché.

Essayez de saisir Test dans le champ de recherche.</translation>
    </message>
    <message>
        <source>In this section you can convert the entire file name to uppercase or lowercase

Try changing it to All UPPERCASE.</source>
        <translation>Dans cette partie, vous mettez tout le nom du fichier en majuscules ou en minuscules

Essayez de choisir TOUT EN MAJUSCULES.</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Ajouter des fichiers</translation>
    </message>
    <message>
        <source>The rename could not be prepared for undo.</source>
        <translation>Le renommage n’a pas pu être préparé pour l’annulation.</translation>
    </message>
    <message>
        <source>%1

No file has been renamed. Without undo, this rename cannot be taken back.</source>
        <translation>%1

Aucun fichier n’a été renommé. Sans annulation possible, ce renommage sera définitif.</translation>
    </message>
    <message>
        <source>Rename &amp;Without Undo</source>
        <translation>Renommer &amp;sans annulation</translation>
    </message>
    <message>
        <source>&amp;Paste New Names</source>
        <translation>&amp;Coller les nouveaux noms</translation>
    </message>
    <message>
        <source>The lines on the clipboard become the new names of the selected files</source>
        <translation>Les lignes du presse-papiers deviennent les nouveaux noms des fichiers sélectionnés</translation>
    </message>
    <message>
        <source>R&amp;eset New Name</source>
        <translation>Réinitiali&amp;ser le nouveau nom</translation>
    </message>
    <message>
        <source>The selected files take the new names the rules give again</source>
        <translation>Les fichiers sélectionnés reprennent les nouveaux noms donnés par les règles</translation>
    </message>
    <message>
        <source>A new name cannot be empty.</source>
        <translation>Un nouveau nom ne peut pas être vide.</translation>
    </message>
    <message>
        <source>The file keeps the new name it had.</source>
        <translation>Le fichier garde le nouveau nom qu’il avait.</translation>
    </message>
    <message>
        <source>In this section you can change the file name based on the text you input.
Using special tokens such as [N] or [C] you can insert dynamic text into the file name.
For date and time tokens, you can change the order of units in the token itself, such as [DMY] or [hms].

Try typing [N]-[YMD] in the text field and see how the names change as you type.</source>
        <translation>Dans cette section, vous modifiez le nom du fichier d’après le texte saisi.
Avec des balises comme [N] ou [C], vous insérez du texte variable dans le nom.
Pour les balises de date et d’heure, l’ordre des unités se choisit dans la balise même, par exemple [DMY] ou [hms].

Tapez [N]-[YMD] dans le champ et regardez les noms changer à mesure que vous tapez.</translation>
    </message>
    <message>
        <source>In this section you can change the file extension based on the text you input.
Using special tokens such as [E] or [C] you can insert dynamic text into the extension.

Try typing [C] in the text field to set the extension to an increasing number.</source>
        <translation>Dans cette section, vous modifiez l’extension d’après le texte saisi.
Avec des balises comme [E] ou [C], vous insérez du texte variable dans l’extension.

Tapez [C] dans le champ pour que l’extension devienne un nombre croissant.</translation>
    </message>
    <message>
        <source>In this section you can adjust the numerical counter linked to the [C] token.
The counter can start from a certain number and increase in value by the number next to Step by.
Digits represent the minimum amount of digits the counter will show.

Try increasing the Digits to 3.</source>
        <translation>Dans cette section, vous réglez le compteur de la balise [C].
Le compteur part d’un nombre donné et augmente du nombre indiqué à côté de Pas.
Chiffres indique le nombre minimal de chiffres affichés.

Passez Chiffres à 3.</translation>
    </message>
    <message>
        <source>That&apos;s it!
All you have to do now is drag the files or folders you want to rename onto this window, or add them with the Add… and Add Folder… buttons. Adjust the renaming parameters and click on the Start Renaming button.

If you have any questions, you can reach us by email at %1</source>
        <translation>C’est tout !
Il vous suffit maintenant de glisser les fichiers ou dossiers à renommer sur cette fenêtre, ou de les ajouter avec les boutons Ajouter… et Ajouter un dossier… Réglez les paramètres puis cliquez sur Lancer le renommage.

Pour toute question, écrivez-nous à %1</translation>
    </message>
    <message>
        <source>Folder &amp;Access…</source>
        <translation>Accès aux &amp;dossiers…</translation>
    </message>
</context>
<context>
    <name>WindowActions</name>
    <message>
        <source>Line %1 of the clipboard is empty; nothing was changed.</source>
        <translation>La ligne %1 du presse-papiers est vide&#xa0;; rien n’a été modifié.</translation>
    </message>
    <message>
        <source>The clipboard holds %1 lines for %2 files; nothing was changed.</source>
        <translation>Le presse-papiers contient %1 lignes pour %2 fichiers&#xa0;; rien n’a été modifié.</translation>
    </message>
    <message>
        <source>Rename the files of the list to their new names</source>
        <translation>Renommer les fichiers de la liste selon leurs nouveaux noms</translation>
    </message>
</context>
</TS>
